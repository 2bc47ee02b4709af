// A window realised from its control table: widgets for the controls, one
// precise Qt timer that wakes for the model's timer ticks, and events passed
// to the window's logic.
#pragma once

#include "screens/form_model.h"
#include "screens/keyboard.h"
#include "screens/timer_schedule.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace screens {

class QtForm final : public QWidget {
    Q_OBJECT

public:
    // Builds the window from the logic's control table and runs its load.
    explicit QtForm(FormLogic& logic, QWidget* parent = nullptr);
    ~QtForm() override;

    QWidget* widget(ControlId id) const { return widgets_[static_cast<std::size_t>(id)]; }
    const TimerSchedule& schedule() const { return schedule_; }
    // Milliseconds since the window was loaded: the schedule's time.
    std::int64_t now() const { return clock_.elapsed(); }

    // Brings every widget and the timer schedule in line with the model.
    void mirror();

signals:
    void closed();
    // After the handler of each tick of the model's timer `timer`.
    void ticked(screens::ControlId timer);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void create(ControlId id);
    void onClick(ControlId id);
    void onWake();
    void onHidden();
    void runTicksDueBy(std::int64_t time);
    void afterEvents();
    void mirrorControl(ControlId id, std::uint8_t changes);
    // Where a control of the model is drawn: its `Top` in pixels, rounded.
    int pixelTop(ControlId id) const;
    ControlId controlOf(const QWidget* widget) const;
    void onKey(KeyPress key);
    void showFocus(bool shown);
    void moveFocus(ControlId id);

    FormLogic& logic_;
    FormModel& model_;
    std::vector<QWidget*> widgets_;
    TimerSchedule schedule_;
    Keyboard keyboard_;
    bool mirroring_ = false;
    bool closed_ = false;
    QElapsedTimer clock_;
    std::int64_t lastWake_ = 0;
    QTimer wake_;
};

}  // namespace screens
