// The program's life: the opening window first, then the game window.
#pragma once

#include "game/game_window.h"
#include "game/random.h"
#include "screens/cright.h"
#include "screens/qt/qt_form.h"
#include "screens/qt/qt_sound.h"

#include <QObject>
#include <memory>

class Program final : public QObject {
public:
    Program();
    ~Program() override;

    void start();

    // The game window's rules, once the opening has handed over.
    const game::Form1* form1() const { return game_ ? &game_->rules() : nullptr; }
    screens::QtForm* mainWindow() const { return main_.get(); }

private:
    void handOver();

    game::Rng random_;
    screens::QtSound sound_;
    screens::Cright cright_;
    screens::QtForm* opening_ = nullptr;
    std::unique_ptr<game::GameWindow> game_;
    std::unique_ptr<screens::QtForm> main_;
};
