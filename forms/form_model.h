// The live state of a window's controls: the one place where captions,
// positions, colours, visibility and timers are true. Whatever draws the
// window only mirrors this.
#pragma once

#include "control.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

struct ControlState {
    std::string caption;
    std::string spoken;  // what a screen reader calls it, where not its caption
    float top = 0;  // in the window's vertical units, exactly as last set
    bool visible = true;
    bool enabled = true;
    Colour back;
    Colour fore;
    bool pressed = false;      // toggle buttons
    int interval = 0;          // timers, in milliseconds
    std::uint32_t starts = 0;  // timers: counts every (re)start of the countdown to the next tick
};

// What changed on a control since the window was last drawn.
enum Change : std::uint8_t {
    kCaption = 1 << 0,
    kTop = 1 << 1,
    kVisible = 1 << 2,
    kEnabled = 1 << 3,
    kColours = 1 << 4,
    kTimer = 1 << 5,
    kPressed = 1 << 6,
    kSpoken = 1 << 7,
};

class FormModel {
public:
    explicit FormModel(const WindowSpec& spec);

    const WindowSpec& spec() const { return *spec_; }
    int size() const { return static_cast<int>(state_.size()); }
    const ControlSpec& design(ControlId id) const { return spec_->controls[static_cast<std::size_t>(id)]; }
    const ControlState& operator[](ControlId id) const { return state_[static_cast<std::size_t>(id)]; }

    // Setters ignore ids that name no control, so a stray index can never
    // write outside the window.
    void setCaption(ControlId id, std::string_view caption);
    void setTop(ControlId id, float top);
    void setVisible(ControlId id, bool visible);
    void setEnabled(ControlId id, bool enabled);
    void setBack(ControlId id, Colour colour);
    void setFore(ControlId id, Colour colour);
    void setPressed(ControlId id, bool pressed);
    void setSpoken(ControlId id, std::string_view spoken);
    // Words for a label that announces (Live::Announce): added to its caption
    // (after `between`) while that has not been drawn yet, so that no words
    // of one frame are lost, and in its place once it has; the same words
    // again are said again.
    void announce(ControlId id, std::string_view words, std::string_view between);

    // Timers follow these rules: enabling a stopped timer starts its
    // countdown afresh; giving a running timer a different interval starts
    // it afresh too; setting the interval it already has changes nothing;
    // disabling it cancels the tick it was counting down to.
    void setInterval(ControlId id, int milliseconds);

    // While the timers are held, time stands still for them: no timer
    // ticks, and when they are let go each one goes on exactly as far from
    // its next tick as it was (see TimerSchedule). Their intervals and
    // enabled states are not touched.
    void holdTimers(bool held);
    bool timersHeld() const { return timersHeld_; }
    // The timers' time, in milliseconds, at the event being handled, as the
    // driver tells it (TimerSchedule::time): how long things took, with
    // every pause left out. The rules read no clock but this.
    std::int64_t timersTime() const { return timersTime_; }
    void setTimersTime(std::int64_t time) { timersTime_ = time; }

    // A button takes clicks only while it is both shown and enabled.
    bool clickable(ControlId id) const;

    // The design top of a control, in the window's vertical units.
    float designTop(ControlId id) const;

    // Changes since the last clearChanges(), per control.
    bool changed() const { return anyChange_; }
    std::uint8_t changes(ControlId id) const { return changes_[static_cast<std::size_t>(id)]; }
    void clearChanges();

private:
    bool valid(ControlId id) const { return id >= 0 && id < size(); }
    ControlState* at(ControlId id) { return valid(id) ? &state_[static_cast<std::size_t>(id)] : nullptr; }
    void mark(ControlId id, Change change);

    const WindowSpec* spec_;
    std::vector<ControlState> state_;
    std::vector<std::uint8_t> changes_;
    bool anyChange_ = true;
    bool timersHeld_ = false;
    std::int64_t timersTime_ = 0;
};

}  // namespace forms
