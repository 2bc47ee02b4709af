// The kinds a link can name, and what every kind does alike.
#include "parts.h"

#include <algorithm>
#include <array>

namespace game {

bool Course::hasTable(int d) const
{
    return std::find(tables.begin(), tables.end(), d) != tables.end();
}

std::optional<std::string_view> CourseKind::fault(const Course& course) const
{
    if (!hasSums(course))
        return "このはんいでは その問題が作れません";  // not drawn
    return std::nullopt;
}

// Tables: at least one. Numbers: twice the largest, where that gives sums
// (subtracting with borrowing from 1〜9 wants 1〜18), else the nearest
// wider range that does.
std::string CourseKind::fix(const Course& course) const
{
    if (form_.tables) {
        if (course.tables.empty())
            return "だんを 1つ以上 えらびます";  // not drawn
        return fault(course) ? "だんを かえます" : "";  // not drawn
    }
    if (!fault(course))
        return {};
    const auto range = [&](int from, int to) {
        Course wider = course;
        wider.from = static_cast<Integer>(std::max<int>(from, form_.lowest));
        wider.to = static_cast<Integer>(std::min<int>(to, form_.highest));
        return fault(wider) ? std::string() : "数を " + std::to_string(wider.from) + "〜" + std::to_string(wider.to) + " にします";  // not drawn
    };
    if (std::string doubled = range(course.from, 2 * course.to); !doubled.empty())
        return doubled;
    for (int more = 1; more <= form_.highest - form_.lowest; ++more) {
        for (const std::string& wider : {range(course.from, course.to + more), range(course.from - more, course.to + more)}) {
            if (!wider.empty())
                return wider;
        }
    }
    return "べつの コースに します";  // not drawn
}

std::string CourseKind::saidWith(const Sum& sum, Answer answer) const
{
    return said(sum) + " は " + answerText(answer);
}

std::span<const CourseKind* const> courseKinds()
{
    static const std::array<const CourseKind*, 6> kKinds{
        &kinds::timesKind(), &kinds::divKind(), &kinds::addKind(),
        &kinds::subKind(),   &kinds::makeKind(), &kinds::threeKind(),
    };
    return kKinds;
}

const CourseKind* kindNamed(std::string_view word)
{
    for (const CourseKind* kind : courseKinds()) {
        if (kind->form().word == word)
            return kind;
    }
    return nullptr;
}

const CourseKind& kindOf(const Sum& sum)
{
    return sum.kind ? *sum.kind : kinds::addKind();
}

}  // namespace game
