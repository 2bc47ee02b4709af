// A teacher's link: the courses that replace the six animals for what the
// class learns this week, the length of a game and the pace of the falling
// sums. The link is the whole setting and is read as data, never as code:
// each part is checked against fixed ranges, and a part that cannot be read
// is left out and named in a notice for the teacher, never an error for the
// child. The desktop reads the same text from PERMOROPLUS_PRACTICE.
//
//   course=times:7        the 7 times table: 7 × 1 .. 7 × 9
//   course=times:2,5      tables may be listed, or given as a range: 1-9
//   course=div:2-5        divisions that come out even: (d × m) ÷ d
//   course=add:1-9:carry  both numbers from 1 to 9, only sums that carry in
//                         the ones (:nocarry, none that do; neither, any)
//   course=sub:10-99:borrow   only those that borrow (:noborrow, none)
//   time=90               seconds a game, 30 to 600
//   pace=0.5              the sums fall at this part of their pace, 0.25 to 1
//   sound=off             the game starts muted
#pragma once

#include "integer.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game {

struct Course {
    enum class Kind : std::uint8_t { Times, Divide, Add, Subtract };
    // Addition: carries in the ones or not; subtraction: borrows or not.
    enum class Carry : std::uint8_t { Any, Only, Never };

    Kind kind = Kind::Times;
    std::uint16_t dans = 0;  // Times, Divide: bit d set for each table d, 1 to 9
    Integer from = 1;        // Add, Subtract: both numbers from `from` to `to`
    Integer to = 9;
    Carry carry = Carry::Any;

    bool hasDan(int d) const { return d >= 1 && d <= 9 && (dans >> d & 1u); }
    friend bool operator==(const Course&, const Course&) = default;
};

struct Practice {
    static constexpr int kMaxCourses = 6;
    static constexpr Integer kSeconds = 60;

    std::vector<Course> courses;  // in place of the animals, in order; none: the animals
    Integer seconds = kSeconds;   // of a game
    double pace = 1;              // of the falling sums, as a part of the design's
    bool soundOff = false;
    // Each part of the link that was left out, with why, for the teacher.
    std::vector<std::string> leftOut;
};

// Reads a link's query ("course=times:7&time=90", with or without its "?").
// `alsoKnown` names parameters of the page itself, which are neither used
// nor reported.
Practice readPractice(std::string_view query, std::span<const std::string_view> alsoKnown = {});

// One line for the teacher naming what was left out; empty when nothing was.
std::string notice(const Practice& practice);

// The query that gives these settings, as the teacher's page makes it.
std::string practiceQuery(const Practice& practice);

// The name a child reads on the course's button: kana and digits, no wider
// than the design's buttons (at most five full-width characters).
std::string shortName(const Course& course);
// The whole name, for a screen reader and for the teacher.
std::string fullName(const Course& course);

// Whether a + b (Add) or a - b (Subtract) is a sum of the course: carrying
// or borrowing in the ones as the course asks, never below zero.
bool fits(const Course& course, int a, int b);

// How many sums a course can pose; 0 when its conditions leave none.
int sumCount(const Course& course);

}  // namespace game
