#include "cues.h"

namespace game {

Cue endCue(Integer perMinute)
{
    if (perMinute < 30)
        return Cue::EndLow;
    if (perMinute < 70)
        return Cue::EndMiddle;
    return Cue::EndTop;
}

void Cues::read(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Started:
        return hear(Cue::Start);
    case Outcome::Kind::Right:
        return hear(Cue::Right);
    case Outcome::Kind::Wrong:
        return hear(Cue::Wrong);
    case Outcome::Kind::Second:
        if (outcome.seconds <= 3)
            hear(Cue::Countdown);
        return;
    case Outcome::Kind::Over:
        return hear(endCue(outcome.perMinute));
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
    case Outcome::Kind::Missed:
    case Outcome::Kind::Typed:
        return;
    }
}

void Cues::hear(Cue cue) const
{
    if (on_ && listener_)
        listener_(cue);
}

}  // namespace game
