#include "session.h"

#include "forms/names.h"

namespace game {

namespace colours = forms::colours;

Cue endCue(Integer lastscore)
{
    if (lastscore < 30)
        return Cue::EndLow;
    if (lastscore < 70)
        return Cue::EndMiddle;
    return Cue::EndTop;
}

Session::Session(RandomSource& random, bool soundOn, Listener listener)
    : rules_(random), listener_(std::move(listener)), soundOn_(soundOn)
{
    forms::Names name(rules_.model().spec());
    c_ = {name("oto"), name("yasumi"), name("tsuzukeru"), name("yasumihyouji")};
    const Form1::Controls& r = rules_.controls();
    for (int n = 1; n <= 3; ++n) {
        covered_.push_back(r.mondai[n]);
        covered_.push_back(r.kigou[n]);
        for (int k = 1; k <= 3; ++k)
            covered_.push_back(r.kotae[n][k]);
        for (int row = 1; row <= 2; ++row)
            covered_.push_back(r.hissan[n][row]);
    }
    covered_.push_back(name("Line1", 0));
    covered_.push_back(name("Line2"));
    covered_.push_back(name("Line3"));
    unresolved_ = name.missing();
}

std::vector<std::string> Session::unresolvedNames() const
{
    std::vector<std::string> all = rules_.unresolvedNames();
    all.insert(all.end(), unresolved_.begin(), unresolved_.end());
    return all;
}

void Session::load()
{
    rules_.load();
    setSoundOn(soundOn_);
    model().setEnabled(c_.yasumi, false);
}

void Session::click(ControlId control)
{
    if (!model().clickable(control))
        return;
    if (control == c_.oto)
        return setSoundOn(!soundOn_);
    if (control == c_.yasumi)
        return setPaused(!paused_);
    if (control == c_.tsuzukeru)
        return setPaused(false);
    if (!paused_)
        answer(rules_.click(control));
}

void Session::tick(ControlId timer)
{
    if (!paused_)
        answer(rules_.tick(timer));
}

// Everything the game does around its rules follows from what they say
// happened, here and nowhere else.
void Session::answer(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Started:
        model().setEnabled(c_.yasumi, true);
        hear(Cue::Start);
        break;
    case Outcome::Kind::Right:
        hear(Cue::Right);
        break;
    case Outcome::Kind::Wrong:
        hear(Cue::Wrong);
        break;
    case Outcome::Kind::Second:
        if (outcome.seconds <= 3)
            hear(Cue::Countdown);
        break;
    case Outcome::Kind::Over:
        model().setEnabled(c_.yasumi, false);
        hear(endCue(outcome.score));
        break;
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
    case Outcome::Kind::Missed:
        break;
    }
}

void Session::hidden()
{
    if (phase() == Phase::Playing)
        setPaused(true);
}

// Only a game can pause; the pause toggle is enabled only while one runs.
void Session::setPaused(bool paused)
{
    if (paused && phase() != Phase::Playing)
        return;
    paused_ = paused;
    forms::FormModel& m = model();
    m.holdTimers(paused);
    for (const ControlId id : covered_)
        m.setVisible(id, !paused);
    m.setVisible(c_.tsuzukeru, paused);
    m.setVisible(c_.yasumihyouji, paused);
    m.setPressed(c_.yasumi, paused);
    m.setBack(c_.yasumi, paused ? colours::lightGreen : colours::white);
}

void Session::setSoundOn(bool on)
{
    soundOn_ = on;
    model().setPressed(c_.oto, on);
    model().setBack(c_.oto, on ? colours::lightGreen : colours::white);
}

void Session::hear(Cue cue) const
{
    if (soundOn_ && listener_)
        listener_(cue);
}

}  // namespace game
