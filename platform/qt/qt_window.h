// A window realised from its control table as Qt widgets: a widget for each
// control where the layout puts it, one precise Qt timer that wakes the
// window's driver for its timers, and the toolkit's events handed to the
// driver. The widgets only mirror the control model.
#pragma once

#include "forms/driver.h"
#include "forms/layout.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace platform {

using forms::ControlId;

class QtWindow final : public QWidget, private forms::Surface {
    Q_OBJECT

public:
    // Builds the window from the logic's control table and runs its load.
    explicit QtWindow(forms::FormLogic& logic, QWidget* parent = nullptr);
    ~QtWindow() override;

    QWidget* widget(ControlId id) const { return widgets_[static_cast<std::size_t>(id)]; }
    const forms::TimerSchedule& schedule() const { return driver_.schedule(); }
    // Milliseconds since the window was loaded: the schedule's time.
    std::int64_t now() const { return clock_.elapsed(); }

    // Brings the widgets and the timer schedule in line with a model that
    // was changed from outside the window's events.
    void mirror();
    // A line for the teacher under the game (what a link left out), in the
    // system's font, wrapped to the window's width; the window grows to
    // hold it. Empty: none.
    void showNotice(const QString& text);

signals:
    void closed();
    // After the handler of each tick of the model's timer `timer`.
    void ticked(forms::ControlId timer);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the driver asks of the window.
    void draw() override;
    ControlId focused() const override;
    void focus(ControlId id) override;
    void showFocus(bool shown) override;
    void wakeAt(std::optional<std::int64_t> time) override;
    void afterTick(ControlId timer) override { emit ticked(timer); }

    void build();
    void create(ControlId id);
    void onClick(ControlId id);
    void onHidden();
    void mirrorControl(ControlId id, std::uint8_t changes);
    // Where a control of the model is drawn: its `Top` in pixels, rounded.
    int pixelTop(ControlId id) const;
    ControlId controlOf(const QWidget* widget) const;

    forms::FormModel& model_;
    forms::Layout layout_;
    std::vector<QWidget*> widgets_;
    forms::Driver driver_;
    bool drawing_ = false;
    bool closed_ = false;
    QElapsedTimer clock_;
    QTimer wake_;
    QWidget* notice_ = nullptr;
};

}  // namespace platform
