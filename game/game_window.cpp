#include "game_window.h"

namespace game {

namespace colours = screens::colours;

Cue endCue(Integer lastscore)
{
    if (lastscore < 30)
        return Cue::EndLow;
    if (lastscore < 70)
        return Cue::EndMiddle;
    return Cue::EndTop;
}

GameWindow::GameWindow(RandomSource& random, bool soundOn, Listener listener)
    : rules_(random), listener_(std::move(listener)), soundOn_(soundOn)
{
    const screens::WindowSpec& spec = rules_.model().spec();
    c_ = {spec.find("oto"), spec.find("yasumi"), spec.find("tsuzukeru"), spec.find("yasumihyouji")};
    const Form1::Controls& r = rules_.controls();
    for (int n = 1; n <= 3; ++n) {
        covered_.push_back(r.mondai[n]);
        covered_.push_back(r.kigou[n]);
        for (int k = 1; k <= 3; ++k)
            covered_.push_back(r.kotae[n][k]);
        for (int row = 1; row <= 2; ++row)
            covered_.push_back(r.hissan[n][row]);
    }
    for (const char* bar : {"Line2", "Line3"})
        covered_.push_back(spec.find(bar));
    covered_.push_back(spec.find("Line1", 0));
}

bool GameWindow::playing() const
{
    return rules_.model()[rules_.controls().timer[4]].enabled;
}

void GameWindow::load()
{
    rules_.load();
    setSoundOn(soundOn_);
    showToggles();
}

void GameWindow::click(ControlId control)
{
    screens::FormModel& m = model();
    if (!m.clickable(control))
        return;
    if (control == c_.oto)
        return setSoundOn(!soundOn_);
    if (control == c_.yasumi)
        return setPaused(!paused_);
    if (control == c_.tsuzukeru)
        return setPaused(false);
    if (paused_)
        return;

    const bool wasPlaying = playing();
    const Integer score = rules_.vars().score;
    bool answer = false;
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k)
            answer = answer || rules_.controls().kotae[n][k] == control;
    }
    rules_.click(control);
    if (!wasPlaying && playing())
        hear(Cue::Start);
    else if (answer)
        hear(rules_.vars().score > score ? Cue::Right : Cue::Wrong);  // a right answer always scores
    showToggles();
}

void GameWindow::tick(ControlId timer)
{
    if (paused_)
        return;
    const bool wasPlaying = playing();
    const Integer timeleft = rules_.vars().timeleft;
    rules_.tick(timer);
    const Integer now = rules_.vars().timeleft;
    if (now != timeleft && now >= 1 && now <= 3)
        hear(Cue::Countdown);
    if (wasPlaying && !playing())
        hear(endCue(rules_.vars().lastscore));
    showToggles();
}

void GameWindow::hidden()
{
    if (playing() && !paused_)
        setPaused(true);
}

void GameWindow::setPaused(bool paused)
{
    if (paused && !playing())
        return;
    paused_ = paused;
    screens::FormModel& m = model();
    m.holdTimers(paused);
    for (const ControlId id : covered_)
        m.setVisible(id, !paused);
    m.setVisible(c_.tsuzukeru, paused);
    m.setVisible(c_.yasumihyouji, paused);
    m.setPressed(c_.yasumi, paused);
    m.setBack(c_.yasumi, paused ? colours::lightGreen : colours::white);
}

void GameWindow::setSoundOn(bool on)
{
    soundOn_ = on;
    model().setPressed(c_.oto, on);
    model().setBack(c_.oto, on ? colours::lightGreen : colours::white);
}

// The pause toggle works only while a game runs.
void GameWindow::showToggles()
{
    model().setEnabled(c_.yasumi, playing());
}

void GameWindow::hear(Cue cue) const
{
    if (soundOn_ && listener_)
        listener_(cue);
}

}  // namespace game
