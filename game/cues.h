// The sounds that answer a game's moments: each outcome of the rules that a
// child should hear becomes its cue, while the sound is on.
#pragma once

#include "cue.h"
#include "outcome.h"

#include <functional>

namespace game {

// What the end of a game sounds like for its points a minute: the lowest
// verdicts, the middling ones, the top ones.
Cue endCue(Integer perMinute);

class Cues final : public OutcomeReader {
public:
    using Listener = std::function<void(Cue)>;

    explicit Cues(Listener listener) : listener_(std::move(listener)) {}
    void setOn(bool on) { on_ = on; }
    void read(const Outcome& outcome) override;

private:
    void hear(Cue cue) const;

    Listener listener_;
    bool on_ = true;
};

}  // namespace game
