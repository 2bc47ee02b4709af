#include "session.h"

#include "spoken.h"

#include "forms/names.h"

#include <algorithm>
#include <cmath>

namespace game {

namespace colours = forms::colours;

Cue endCue(Integer perMinute)
{
    if (perMinute < 30)
        return Cue::EndLow;
    if (perMinute < 70)
        return Cue::EndMiddle;
    return Cue::EndTop;
}

namespace {

Form1::Settings settingsOf(const Practice& p)
{
    return {p.seconds, p.pace, p.courses.empty() ? 6 : static_cast<int>(p.courses.size())};
}

}  // namespace

Session::Session(RandomSource& random, bool soundOn, Listener listener, Practice practice)
    : practice_(std::move(practice)), rules_(random, settingsOf(practice_)), listener_(std::move(listener)),
      soundOn_(soundOn)
{
    if (!practice_.courses.empty())
        courseSums_.emplace(practice_.courses);
    forms::Names name(rules_.model().spec());
    c_.oto = name("oto");
    c_.yasumi = name("yasumi");
    c_.tsuzukeru = name("tsuzukeru");
    c_.yasumihyouji = name("yasumihyouji");
    c_.minaoshi = name("minaoshi");
    c_.minaoshihyouji = name("minaoshihyouji");
    for (int k = 1; k <= kLinesPerPage; ++k)
        c_.machigai[static_cast<std::size_t>(k)] = name("machigai", k);
    c_.mae = name("mae");
    c_.tsugi = name("tsugi");
    c_.mouichido = name("mouichido");
    c_.tojiru = name("tojiru");
    c_.shirase = name("shirase");
    const Form1::Controls& r = rules_.controls();
    for (int n = 1; n <= 3; ++n) {
        sums_.push_back(r.mondai[n]);
        sums_.push_back(r.kigou[n]);
        for (int k = 1; k <= 3; ++k)
            sums_.push_back(r.kotae[n][k]);
        for (int row = 1; row <= 2; ++row)
            sums_.push_back(r.hissan[n][row]);
    }
    sums_.push_back(name("Line1", 0));
    sums_.push_back(name("Line2"));
    sums_.push_back(name("Line3"));
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
    // A teacher's courses in place of the animals: a short name on each
    // button, the whole one for a screen reader.
    for (std::size_t k = 0; k < practice_.courses.size(); ++k) {
        const ControlId rebel = rules_.controls().rebel[k + 1];
        model().setCaption(rebel, shortName(practice_.courses[k]));
        model().setSpoken(rebel, fullName(practice_.courses[k]));
    }
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
    if (control == c_.minaoshi || control == c_.tojiru)
        return showReview(control == c_.minaoshi);
    if (control == c_.mae || control == c_.tsugi)
        return showPage(page_ + (control == c_.tsugi ? 1 : -1));
    if (control == c_.mouichido)
        return playAgain();
    if (paused_)
        return;
    const auto& rebel = rules_.controls().rebel;
    if (std::find(rebel.begin() + 1, rebel.end(), control) != rebel.end()) {
        // A course starts a game of the course's own sums.
        showReview(false);
        rules_.setSums(courseSums_ ? &*courseSums_ : nullptr);
        again_.reset();
    }
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
    const std::size_t n = static_cast<std::size_t>(std::clamp(outcome.problem, 0, 3));
    switch (outcome.kind) {
    case Outcome::Kind::Started:
        missed_.clear();
        listed_ = {};
        model().setVisible(c_.minaoshi, false);
        model().setEnabled(c_.yasumi, true);
        hear(Cue::Start);
        for (int k = 1; k <= 3; ++k)
            newSum(k);
        break;
    case Outcome::Kind::Right:
        if (again_)
            again_->answered(outcome.sum);
        listed_[n] = false;
        hear(Cue::Right);
        say(spoken::right());
        newSum(outcome.problem);
        break;
    case Outcome::Kind::Wrong:
        if (!listed_[n])
            missed_.push_back({outcome.sum, false, outcome.given});
        listed_[n] = true;
        hear(Cue::Wrong);
        say(spoken::wrong());
        break;
    case Outcome::Kind::Missed:
        if (!listed_[n])
            missed_.push_back({outcome.sum, true, 0});
        listed_[n] = false;
        newSum(outcome.problem);
        break;
    case Outcome::Kind::Second:
        if (outcome.seconds <= 3)
            hear(Cue::Countdown);
        // The time at half a minute, ten seconds and each of the last three.
        if (outcome.seconds == 30 || outcome.seconds == 10 || outcome.seconds <= 3)
            say(spoken::timeLeft(outcome.seconds));
        break;
    case Outcome::Kind::Over: {
        model().setEnabled(c_.yasumi, false);
        model().setVisible(c_.minaoshi, true);
        model().setEnabled(c_.minaoshi, !missed_.empty());
        const Integer perMinute = rules_.perMinute(outcome.score);
        hear(endCue(perMinute));
        say(spoken::over(outcome.score, evaluation(perMinute), outcome.record));
        break;
    }
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
        break;
    }
}

void Session::say(std::string_view words)
{
    model().announce(c_.shirase, words, spoken::kBetween);
}

void Session::newSum(int n)
{
    const Form1::Shown& shown = rules_.shown(n);
    for (int k = 1; k <= 3; ++k)
        model().setSpoken(rules_.controls().kotae[n][k], spoken::answer(shown.sum, shown.values[static_cast<std::size_t>(k)]));
    say(spoken::newSum(n, shown.sum));
}

std::string Session::missText(const Miss& miss)
{
    std::string line = sumText(miss.sum) + " = " + numberText(miss.sum.answer) + "　（";
    if (miss.fell)
        line += "おちた";
    else
        line += "こたえた " + (std::isfinite(miss.given) ? numberText(std::llround(miss.given)) : std::string("？"));
    return line + "）";
}

// The list takes the place of the sums, their written calculations and
// answers, the countdown and the verdict; the courses stay, and a course
// closes it.
void Session::showReview(bool open)
{
    if (open == reviewing_ || (open && (rules_.phase() != Phase::Over || missed_.empty())))
        return;
    reviewing_ = open;
    forms::FormModel& m = model();
    for (const ControlId id : sums_)
        m.setVisible(id, !open);
    m.setVisible(rules_.controls().seigenjikan, !open);
    m.setVisible(rules_.controls().hyouka, !open);
    m.setVisible(c_.minaoshi, !open);
    for (const ControlId id : {c_.minaoshihyouji, c_.mouichido, c_.tojiru})
        m.setVisible(id, open);
    if (open) {
        say(spoken::missedList(missed_.size()));
        return showPage(0);
    }
    for (int k = 1; k <= kLinesPerPage; ++k)
        m.setVisible(c_.machigai[static_cast<std::size_t>(k)], false);
    m.setVisible(c_.mae, false);
    m.setVisible(c_.tsugi, false);
}

void Session::showPage(int page)
{
    forms::FormModel& m = model();
    const int pages = static_cast<int>((missed_.size() + kLinesPerPage - 1) / kLinesPerPage);
    page_ = std::clamp(page, 0, std::max(0, pages - 1));
    std::string heading = "まちがえた もんだい";
    if (pages > 1)
        heading += "　" + numberText(page_ + 1) + "/" + numberText(pages);
    m.setCaption(c_.minaoshihyouji, heading);
    for (int k = 1; k <= kLinesPerPage; ++k) {
        const std::size_t at = static_cast<std::size_t>(page_ * kLinesPerPage + k - 1);
        const ControlId line = c_.machigai[static_cast<std::size_t>(k)];
        m.setVisible(line, at < missed_.size());
        m.setCaption(line, at < missed_.size() ? missText(missed_[at]) : std::string());
    }
    m.setVisible(c_.mae, pages > 1);
    m.setVisible(c_.tsugi, pages > 1);
    m.setEnabled(c_.mae, page_ > 0);
    m.setEnabled(c_.tsugi, page_ < pages - 1);
}

// A game of the missed sums alone, in the course they were missed in.
void Session::playAgain()
{
    std::vector<Sum> sums;
    for (const Miss& miss : missed_) {
        if (std::find(sums.begin(), sums.end(), miss.sum) == sums.end())
            sums.push_back(miss.sum);
    }
    if (sums.empty())
        return;
    showReview(false);
    again_.emplace(std::move(sums));
    rules_.setSums(&*again_);
    answer(rules_.rebelClick(rules_.vars().level));
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
    for (const ControlId id : sums_)
        m.setVisible(id, !paused);
    m.setVisible(c_.tsuzukeru, paused);
    m.setVisible(c_.yasumihyouji, paused);
    m.setPressed(c_.yasumi, paused);
    m.setBack(c_.yasumi, paused ? colours::lightGreen : colours::white);
    say(spoken::paused(paused));
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
