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

std::string CourseKind::saidWith(const Sum& sum, Answer answer) const
{
    return said(sum) + " は " + answerText(answer);
}

std::span<const CourseKind* const> courseKinds()
{
    static const std::array<const CourseKind* const, 6> kKinds{
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

std::string sumText(const Sum& sum)
{
    return kindOf(sum).label(sum);
}

Written writtenOf(const Sum& sum)
{
    return kindOf(sum).written(sum);
}

}  // namespace game
