#include "look_back.h"

#include "course.h"
#include "spoken.h"

#include <algorithm>

namespace game {

LookBack::LookBack(Form1& rules, Announcer& announcer, const Controls& controls, std::span<const ControlId> sums)
    : rules_(rules), announcer_(announcer), c_(controls), sums_(sums)
{
}

// Each sum shown is listed once, when first answered wrongly or when it
// fell; a new game, from a course or again, starts a new list.
void LookBack::read(const Outcome& outcome)
{
    forms::FormModel& m = rules_.model();
    const std::size_t n = static_cast<std::size_t>(std::clamp(outcome.problem, 0, 3));
    switch (outcome.kind) {
    case Outcome::Kind::Started:
        lines_.clear();
        slow_.clear();
        listed_ = {};
        if (!replaying_)
            again_.reset();
        replaying_ = false;
        m.setVisible(c_.minaoshi, false);
        return;
    case Outcome::Kind::Right:
        if (again_)
            again_->answered(outcome.sum, outcome.slow);
        if (outcome.slow)
            add(slow_, {outcome.sum});
        listed_[n] = false;
        return;
    case Outcome::Kind::Wrong:
        if (!listed_[n])
            add(lines_, {outcome.sum, false, outcome.given});
        listed_[n] = true;
        return;
    case Outcome::Kind::Missed:
        if (!listed_[n])
            add(lines_, {outcome.sum, true, {}});
        listed_[n] = false;
        return;
    case Outcome::Kind::Over:
        m.setVisible(c_.minaoshi, true);
        m.setEnabled(c_.minaoshi, !lines_.empty() || !slow_.empty());
        return;
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
    case Outcome::Kind::Second:
    case Outcome::Kind::Typed:
        return;
    }
}

std::optional<Outcome> LookBack::click(ControlId control)
{
    if (control == c_.mouichido)
        return playAgain();
    if (control == c_.minaoshi || control == c_.tojiru)
        show(control == c_.minaoshi);
    else if (control == c_.mae || control == c_.tsugi)
        showPage(page_ + (control == c_.tsugi ? 1 : -1));
    else
        return std::nullopt;
    return Outcome{};
}

namespace {

// "7 + 5 = 12"
std::string withAnswer(const Sum& sum)
{
    return sumText(sum) + " = " + answerText(sum.result());
}

}  // namespace

std::string LookBack::missText(const Miss& miss)
{
    return withAnswer(miss.sum) + "　（" + (miss.fell ? std::string("おちた") : "こたえた " + answerText(miss.given)) + "）";
}

// A sum missed before is counted on its own line.
void LookBack::add(std::vector<Line>& lines, const Miss& miss)
{
    const auto same = std::find_if(lines.begin(), lines.end(), [&](const Line& l) { return l.first.sum == miss.sum; });
    if (same == lines.end())
        lines.push_back({miss});
    else
        ++same->count;
}

std::string LookBack::lineText(const Line& line)
{
    if (line.count == 1)
        return missText(line.first);
    return withAnswer(line.first.sum) + "　" + numberText(line.count) + "かい";
}

std::string LookBack::slowText(const Line& line)
{
    return withAnswer(line.first.sum) + (line.count == 1 ? std::string() : "　" + numberText(line.count) + "かい");
}

// The list takes the place of the sums, their written calculations and
// answers, the countdown and the verdict; the courses stay, and a course
// closes it.
void LookBack::show(bool open)
{
    if (open == reviewing_ || (open && (rules_.phase() != Phase::Over || (lines_.empty() && slow_.empty()))))
        return;
    reviewing_ = open;
    forms::FormModel& m = rules_.model();
    for (const ControlId id : sums_)
        m.setVisible(id, !open);
    m.setVisible(rules_.controls().seigenjikan, !open);
    m.setVisible(rules_.controls().hyouka, !open);
    m.setVisible(c_.minaoshi, !open);
    for (const ControlId id : {c_.minaoshihyouji, c_.mouichido, c_.tojiru})
        m.setVisible(id, open);
    if (open) {
        announcer_.say(spoken::missedList(lines_.size(), slow_.size()));
        return showPage(0);
    }
    for (int k = 1; k <= kLinesPerPage; ++k)
        m.setVisible(c_.machigai[static_cast<std::size_t>(k)], false);
    m.setVisible(c_.mae, false);
    m.setVisible(c_.tsugi, false);
}

void LookBack::showPage(int page)
{
    forms::FormModel& m = rules_.model();
    // The missed sums, then the slow ones under a heading of their own; a
    // list of slow sums alone has it on top.
    constexpr std::string_view kSlowHeading = "ゆっくり だった もんだい";
    std::vector<std::string> list;
    for (const Line& line : lines_)
        list.push_back(lineText(line));
    if (!lines_.empty() && !slow_.empty())
        list.emplace_back(kSlowHeading);
    for (const Line& line : slow_)
        list.push_back(slowText(line));
    const int pages = static_cast<int>((list.size() + kLinesPerPage - 1) / kLinesPerPage);
    page_ = std::clamp(page, 0, std::max(0, pages - 1));
    std::string heading(lines_.empty() ? kSlowHeading : "まちがえた もんだい");
    if (pages > 1)
        heading += "　" + numberText(page_ + 1) + "/" + numberText(pages);
    m.setCaption(c_.minaoshihyouji, heading);
    for (int k = 1; k <= kLinesPerPage; ++k) {
        const std::size_t at = static_cast<std::size_t>(page_ * kLinesPerPage + k - 1);
        const ControlId line = c_.machigai[static_cast<std::size_t>(k)];
        m.setVisible(line, at < list.size());
        m.setCaption(line, at < list.size() ? list[at] : std::string());
    }
    m.setVisible(c_.mae, pages > 1);
    m.setVisible(c_.tsugi, pages > 1);
    m.setEnabled(c_.mae, page_ > 0);
    m.setEnabled(c_.tsugi, page_ < pages - 1);
}

// A game of the missed and the slow sums alone, in the course they were
// played in; a slow one must be answered within the slow line to be done.
Outcome LookBack::playAgain()
{
    std::vector<ReviewSums::Again> sums;
    for (const Line& line : lines_)
        sums.push_back({line.first.sum, false});
    for (const Line& line : slow_) {
        const auto same = std::find_if(sums.begin(), sums.end(), [&](const ReviewSums::Again& a) { return a.sum == line.first.sum; });
        if (same == sums.end())
            sums.push_back({line.first.sum, true});
        else
            same->inTime = true;
    }
    if (sums.empty())
        return {};
    show(false);
    again_.emplace(std::move(sums));
    const Outcome started = rules_.replay(*again_);
    replaying_ = started.kind == Outcome::Kind::Started;
    return started;
}

}  // namespace game
