// A teacher's link: the courses that replace the six animals for what the
// class learns this week, the length of a game and the pace of the falling
// sums. The link is the whole setting and is read as data, never as code:
// each part is checked against fixed ranges, and a part that cannot be read
// is left out and named in a notice for the teacher, never an error for the
// child. The desktop reads the same text from PERMOROPLUS_PRACTICE.
//
//   course=times:7        a course: its kind's word, its tables or numbers,
//   course=add:1-9:carry  and perhaps a word of the kind's (course.h and
//                         the rooms of game/kinds/ say which)
//   time=90               seconds a game, 30 to 600 (kFewestSeconds, kMostSeconds)
//   pace=0.5              the sums fall at this part of their pace, 0.25 to 1
//   sound=off             the game starts muted
//   again=off             a sum missed does not come back in the same game
//   slow=4                a right answer slower than 4 seconds is slow (ゆっくり), 2 to 8
//   miss=keep             a wrong answer costs only its sum, the score stays
//   answer=type           the answer is typed on a number pad, not chosen (not
//                         with a course that may leave a remainder)
#pragma once

#include "course.h"
#include "integer.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game {

// A part of a link that was left out: the part as written (only plain
// characters of it, at most a few) and why, in a teacher's words.
struct LeftOut {
    std::string part;
    std::string why;
};

struct Practice {
    static constexpr int kMaxCourses = 6;
    static constexpr Integer kSeconds = 60;
    static constexpr Integer kFewestSeconds = 30;
    static constexpr Integer kMostSeconds = 600;
    static constexpr double kSlowestPace = 0.25;
    static constexpr int kSlow = 3;  // seconds past which a right answer is slow
    static constexpr int kFewestSlow = 2;
    static constexpr int kMostSlow = 8;

    std::vector<Course> courses;  // in place of the animals, in order; none: the animals
    Integer seconds = kSeconds;   // of a game
    double pace = 1;              // of the falling sums, as a part of the design's
    bool soundOff = false;
    bool again = true;            // a sum missed comes back soon in a teacher's course
    int slow = kSlow;             // the slow line, in whole seconds
    bool keepScore = false;       // miss=keep: a wrong answer leaves the score
    bool typed = false;           // answer=type: the answer typed, not chosen
    // Each part of the link that was left out, for the teacher.
    std::vector<LeftOut> leftOut;
};

// Reads a link's query ("course=times:7&time=90", with or without its "?"),
// or a whole link pasted ("https://…/?course=times:7#top").
// `alsoKnown` names parameters of the page itself, which are neither used
// nor reported.
Practice readPractice(std::string_view query, std::span<const std::string_view> alsoKnown = {});

// A course of a link that was read whole but gives no sums, for the
// teacher's form to show where it stands: how many of the link's courses
// come before it, and its item in Practice::leftOut.
struct WithoutSums {
    Course course;
    std::size_t at = 0;
    std::size_t item = 0;
};
// readPractice, and those courses (within six, with the courses read).
Practice readPractice(std::string_view query, std::vector<WithoutSums>& withoutSums);

// One line for the teacher naming what was left out; empty when nothing was.
std::string notice(const Practice& practice);

// A course as the link writes it: "times:2,5", "add:1-9:carry".
std::string courseText(const Course& course);

// The query that gives these settings, as the teacher's page makes it.
std::string practiceQuery(const Practice& practice);

// A course's names, as its kind gives them.
std::string shortName(const Course& course);
std::string fullName(const Course& course);

// The names on the buttons of a link's courses, told apart: courses whose
// kinds name them alike are numbered in order (たしざん1, たしざん2).
std::vector<std::string> shortNames(std::span<const Course> courses);
// Course k (1 to 6) as its button names it: the animal's name without a
// link's courses, else the course's short name among the others; empty
// where the courses have no course k.
std::string courseName(std::span<const Course> courses, int k);
// What a screen reader says of each: its button's name, then the rest of
// its whole name.
std::vector<std::string> fullNames(std::span<const Course> courses);

}  // namespace game
