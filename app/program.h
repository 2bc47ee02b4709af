// The desktop program's life: the opening window first, then the game window.
#pragma once

#include "game/cright.h"
#include "game/practice.h"
#include "game/random.h"
#include "game/session.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/sound_player.h"

#include <QObject>
#include <memory>

class Program final : public QObject {
public:
    Program();
    ~Program() override;

    void start();

    // The game window's session, once the opening has handed over.
    const game::Session* session() const { return session_.get(); }
    platform::QtWindow* mainWindow() const { return main_.get(); }

private:
    void handOver();

    game::Rng random_;
    game::Practice practice_;
    platform::SoundPlayer sound_;
    game::Cright cright_;
    platform::QtWindow* opening_ = nullptr;
    std::unique_ptr<game::Session> session_;
    std::unique_ptr<platform::QtWindow> main_;
};
