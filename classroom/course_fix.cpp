// What a teacher can change of a course that cannot be played.
#include "course_fix.h"

#include <algorithm>

namespace classroom {

using namespace game;

// Tables: at least one, and leave out those the kind cannot use (dividing
// by 1 with a remainder). Numbers: twice the largest, where that gives
// sums (subtracting with borrowing from 1〜9 wants 1〜18), else the nearest
// wider range that does.
std::string courseFix(const Course& course)
{
    const CourseKind& kind = *course.kind;
    const CourseKind::Form& form = kind.form();
    if (form.tables && course.tables.empty())
        return "だんを 1つ以上 えらびます";
    if (!kind.fault(course))
        return {};
    if (form.tables) {
        for (const std::uint8_t d : course.tables) {
            Course without = course;
            std::erase(without.tables, d);
            if (!without.tables.empty() && !kind.fault(without))
                return std::to_string(d) + "の だんを はずします";
        }
        return "だんを かえます";
    }
    const auto range = [&](int from, int to) {
        Course wider = course;
        wider.from = static_cast<Integer>(std::max<int>(from, form.lowest));
        wider.to = static_cast<Integer>(std::min<int>(to, form.highest));
        return kind.fault(wider) ? std::string() : "数を " + std::to_string(wider.from) + "〜" + std::to_string(wider.to) + " にします";
    };
    if (std::string doubled = range(course.from, 2 * course.to); !doubled.empty())
        return doubled;
    for (int more = 1; more <= form.highest - form.lowest; ++more) {
        for (const std::string& wider : {range(course.from, course.to + more), range(course.from - more, course.to + more)}) {
            if (!wider.empty())
                return wider;
        }
    }
    return "べつの コースに します";
}

}  // namespace classroom
