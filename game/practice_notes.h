// The words of the notice for a teacher, kept apart from the rest of the
// link's reading: they are shown in the system's own font, and the game's
// font need not carry their characters (tools/make_font_subset.py).
#pragma once

#include "course.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace game {

// Why a part of a link was left out.
enum class Reason : std::uint8_t {
    Unreadable,     // not name=value, or a broken %-escape
    UnknownName,    // a name the link does not have
    UnknownCourse,  // no kind has that word
    NoNumbers,      // a course without its tables or numbers
    Tables,         // tables outside 1 to 9
    Range,          // numbers outside the kind's, or A above B
    Option,         // a word after the numbers that the kind does not have
    SixCourses,     // a seventh course
    Time,           // time outside 30 to 600
    Pace,           // pace outside 0.25 to 1
    Sound,          // sound other than off
    Again,          // again other than off
    Slow,           // slow outside 2 to 8 whole seconds
    Miss,           // miss other than keep
    Answer,         // answer other than type
    TypedRest,      // answer=type with a course that may leave a remainder
    Twice,          // time, pace, sound, again, slow, miss or answer given again
    TooLong,        // the link goes on past what is read
};

// Why, in a teacher's words; `form` is the course's kind, where it is known.
std::string reasonText(Reason why, const CourseKind::Form* form = nullptr);

// A part of a link as the notice quotes it: only plain characters of it,
// and at most a few.
std::string quoted(std::string_view part);

// The line naming every item left out: "part（why）", one after another.
std::string noticeLine(std::string_view items);

}  // namespace game
