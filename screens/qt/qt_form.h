// A window realised from its control table: widgets for the controls, Qt
// timers for the model's timers, and events passed to the window's logic.
#pragma once

#include "screens/form_model.h"

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

    FormLogic& logic() { return logic_; }
    QWidget* widget(ControlId id) const { return widgets_[static_cast<std::size_t>(id)]; }
    QTimer* timer(ControlId id) const { return timers_[static_cast<std::size_t>(id)]; }

    // Brings every widget and timer in line with the model now, positions
    // included. Events call it for everything but positions, which follow at
    // the next frame so that a burst of ticks costs a single repaint.
    void mirror();

    // Where a control of the model is drawn: its `Top` in pixels, rounded.
    int pixelTop(ControlId id) const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void create(ControlId id);
    void afterEvent();
    void mirrorControl(ControlId id, std::uint8_t changes);
    void mirrorTimer(ControlId id);
    void placeMoved();

    FormLogic& logic_;
    FormModel& model_;
    std::vector<QWidget*> widgets_;
    std::vector<QTimer*> timers_;
    std::vector<std::uint32_t> timerStarts_;
    std::vector<bool> moved_;
    QTimer frame_;
};

}  // namespace screens
