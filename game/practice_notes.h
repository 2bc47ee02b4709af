// The words of the notice for a teacher, kept apart from the rest of the
// link's reading: they are shown in the system's own font, and the game's
// font need not carry their characters (tools/make_font_subset.py).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace game {

// Why a part of a link was left out.
enum class Note : std::uint8_t {
    Unreadable,      // not name=value, or a broken %-escape
    UnknownName,     // a name the link does not have
    UnknownCourse,   // not times, div, add or sub
    NoTables,        // times or div without its tables
    Tables,          // tables outside 1 to 9
    NoRange,         // add or sub without its numbers
    Range,           // numbers outside 1 to 99, or A above B
    CarryWord,       // add with other than :carry or :nocarry
    BorrowWord,      // sub with other than :borrow or :noborrow
    NoSums,          // no sum has the course's numbers and conditions
    SixCourses,      // a seventh course
    Time,            // time outside 30 to 600
    Pace,            // pace outside 0.25 to 1
    Sound,           // sound other than off
    Twice,           // time, pace or sound given again
    TooLong,         // the link goes on past what is read
};

// One item of the notice: the part as written (only plain characters of
// it, at most a few) and why it was left out.
std::string leftOutItem(std::string_view part, Note why);

// The line naming every item left out.
std::string noticeLine(std::string_view items);

}  // namespace game
