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
        listed_ = {};
        m.setVisible(c_.minaoshi, false);
        return;
    case Outcome::Kind::Right:
        if (again_)
            again_->answered(outcome.sum);
        listed_[n] = false;
        return;
    case Outcome::Kind::Wrong:
        if (!listed_[n])
            add({outcome.sum, false, outcome.given});
        listed_[n] = true;
        return;
    case Outcome::Kind::Missed:
        if (!listed_[n])
            add({outcome.sum, true, {}});
        listed_[n] = false;
        return;
    case Outcome::Kind::Over:
        m.setVisible(c_.minaoshi, true);
        m.setEnabled(c_.minaoshi, !lines_.empty());
        return;
    case Outcome::Kind::Nothing:
    case Outcome::Kind::Moved:
    case Outcome::Kind::Second:
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
void LookBack::add(const Miss& miss)
{
    const auto same = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) { return l.first.sum == miss.sum; });
    if (same == lines_.end())
        lines_.push_back({miss});
    else
        ++same->count;
}

std::string LookBack::lineText(const Line& line)
{
    if (line.count == 1)
        return missText(line.first);
    return withAnswer(line.first.sum) + "　×" + numberText(line.count);
}

// The list takes the place of the sums, their written calculations and
// answers, the countdown and the verdict; the courses stay, and a course
// closes it.
void LookBack::show(bool open)
{
    if (open == reviewing_ || (open && (rules_.phase() != Phase::Over || lines_.empty())))
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
        announcer_.say(spoken::missedList(lines_.size()));
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
    const std::vector<Line>& list = lines_;
    const int pages = static_cast<int>((list.size() + kLinesPerPage - 1) / kLinesPerPage);
    page_ = std::clamp(page, 0, std::max(0, pages - 1));
    std::string heading = "まちがえた もんだい";
    if (pages > 1)
        heading += "　" + numberText(page_ + 1) + "/" + numberText(pages);
    m.setCaption(c_.minaoshihyouji, heading);
    for (int k = 1; k <= kLinesPerPage; ++k) {
        const std::size_t at = static_cast<std::size_t>(page_ * kLinesPerPage + k - 1);
        const ControlId line = c_.machigai[static_cast<std::size_t>(k)];
        m.setVisible(line, at < list.size());
        m.setCaption(line, at < list.size() ? lineText(list[at]) : std::string());
    }
    m.setVisible(c_.mae, pages > 1);
    m.setVisible(c_.tsugi, pages > 1);
    m.setEnabled(c_.mae, page_ > 0);
    m.setEnabled(c_.tsugi, page_ < pages - 1);
}

// A game of the missed sums alone, in the course they were missed in.
Outcome LookBack::playAgain()
{
    std::vector<Sum> sums;
    for (const Line& line : lines())
        sums.push_back(line.first.sum);
    if (sums.empty())
        return {};
    show(false);
    again_.emplace(std::move(sums));
    return rules_.replay(*again_);
}

}  // namespace game
