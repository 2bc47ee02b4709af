#include "announcer.h"

#include "spoken.h"

namespace game {

void Announcer::read(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Started:
        for (int n = 1; n <= 3; ++n)
            newSum(n);
        return;
    case Outcome::Kind::Right:
        // A typed number may answer any sum on screen: which one is said.
        if (rules_.settings().typed)
            say(spoken::typedAnswer(outcome.problem, outcome.sum, outcome.sum.result(), true));
        else
            say(spoken::right());
        return newSum(outcome.problem);
    case Outcome::Kind::Wrong:
        if (rules_.settings().typed)
            return say(spoken::typedAnswer(outcome.problem, outcome.sum, outcome.given, false));
        return say(spoken::wrong());
    case Outcome::Kind::Typed:
        return say(spoken::typed(outcome));
    case Outcome::Kind::Missed:
        return newSum(outcome.problem);
    case Outcome::Kind::Second:
        // The time at half a minute, ten seconds and each of the last three.
        if (outcome.seconds == 30 || outcome.seconds == 10 || outcome.seconds <= 3)
            say(spoken::timeLeft(outcome.seconds));
        return;
    case Outcome::Kind::Over:
        return say(spoken::over(outcome.score, evaluation(outcome.perMinute), outcome.record));
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
        return;
    }
}

void Announcer::say(std::string_view words)
{
    model_.announce(shirase_, words, spoken::kBetween);
}

void Announcer::newSum(int n)
{
    const Form1::Shown& shown = rules_.shown(n);
    for (int k = 1; k <= 3; ++k)
        model_.setSpoken(rules_.controls().kotae[n][k], spoken::answer(shown.sum, shown.values[static_cast<std::size_t>(k)]));
    say(spoken::newSum(n, shown.sum));
}

}  // namespace game
