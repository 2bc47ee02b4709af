// A teacher's course and the kinds of course a link can name. Each kind
// (the 九九, division, adding, subtracting, いくつといくつ, three numbers)
// lives in a room of its own under game/kinds/ and answers one interface:
// its word in the link and its options, its names, the sums it poses and
// their near misses, and how a sum of it is shown and said. The link, the
// rules, the screen reader, the look back and the teacher's page ask the
// kind; none of them knows which kinds there are. A new kind is one more
// room, listed in kinds/kinds.cpp.
#pragma once

#include "integer.h"
#include "random.h"
#include "sum.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game {

class CourseKind;

struct Course {
    const CourseKind* kind = nullptr;
    // A course of tables (1 to 9): in the order the link gives them where
    // the order matters (the tables in turn), else each once and ascending.
    std::vector<std::uint8_t> tables;
    // A course of numbers: from `from` to `to`.
    Integer from = 1;
    Integer to = 9;
    // The kind's word after the numbers, 1 for its first; 0: none given.
    std::uint8_t option = 0;

    bool hasTable(int d) const;
    friend bool operator==(const Course&, const Course&) = default;
};

// What a course keeps between its sums within one game: the pairs of a
// table and a multiplier still to come this round (table × 10 + multiplier,
// at most 9 × 9 of them), the place in the tables said in turn.
struct Deal {
    std::array<std::uint8_t, 81> left{};
    std::size_t count = 0;
    std::size_t next = 0;
};

class CourseKind {
public:
    // A word that may follow a course's numbers, and what it means to a
    // teacher.
    struct Option {
        std::string_view word;
        std::string_view label;
    };
    // How a course of the kind is written, for the link and for the
    // teacher's form.
    struct Form {
        std::string_view word;   // in the link: "times"
        std::string_view label;  // for the teacher: "かけざん（九九）"
        bool tables = false;     // tables 1 to 9; else a range of numbers
        Integer lowest = 1;      // a range's bounds
        Integer highest = 99;
        std::string_view plain;  // what no option word means, for the teacher
        std::span<const Option> options;
        // What a range bounds, for the teacher.
        std::string_view numbers = "数";  // not drawn
    };

    explicit constexpr CourseKind(const Form& form) : form_(form) {}
    CourseKind(const CourseKind&) = delete;
    CourseKind& operator=(const CourseKind&) = delete;

    const Form& form() const { return form_; }

    // Why a course read from a link cannot be played (a teacher's words),
    // or nothing when it can.
    virtual std::optional<std::string_view> fault(const Course& course) const;
    // Whether the course's tables are said in the order given.
    virtual bool ordered(const Course&) const { return false; }
    // Whether a sum of the course may have a remainder, which digits alone
    // cannot type.
    virtual bool remainders(const Course&) const { return false; }

    // The name a child reads on the course's button: kana and digits, no
    // wider than the design's buttons (five full-width characters).
    virtual std::string shortName(const Course& course) const = 0;
    // The whole name, for a screen reader and for the teacher; it begins
    // with the short name.
    virtual std::string fullName(const Course& course) const = 0;

    // Whether the course has any sum at all.
    virtual bool hasSums(const Course& course) const = 0;
    // A new sum of the course.
    virtual Sum draw(const Course& course, Deal& deal, RandomSource& random) const = 0;
    // Two near misses of a sum: different from each other and from its
    // answer, never below zero.
    virtual std::array<Answer, 2> nearMisses(const Sum& sum, RandomSource& random) const = 0;

    // The falling label: "7 + 5".
    virtual std::string label(const Sum& sum) const = 0;
    // The written calculation, or nothing.
    virtual Written written(const Sum& sum) const = 0;
    // The sum in words: "7たす5".
    virtual std::string said(const Sum& sum) const = 0;
    // An answer button in words: "7たす5 は 12".
    virtual std::string saidWith(const Sum& sum, Answer answer) const;

    // A 百ます of the course crosses its tables (down the left) with 1 to 9,
    // or its numbers with themselves, by this sign; none where its sums are
    // no such table. A pair is one of its sums where crosses() says so.
    virtual std::optional<Op> gridSign() const { return std::nullopt; }
    virtual bool crosses(const Course&, Integer, Integer) const { return false; }

protected:
    // The kinds are constant objects of their rooms, made before the
    // program starts and never destroyed through this interface.
    ~CourseKind() = default;

private:
    Form form_;
};

// Every kind a link can name, in the order the teacher's page lists them.
std::span<const CourseKind* const> courseKinds();
// The kind of a link's word, or none.
const CourseKind* kindNamed(std::string_view word);
// The kind that shows and says a sum: its own, or the design's additions
// and subtractions.
const CourseKind& kindOf(const Sum& sum);

// The sum as the falling label shows it, as its kind writes it: "7 + 5",
// "10は 3と□".
std::string sumText(const Sum& sum);
// The sum's written calculation, as its kind writes it.
Written writtenOf(const Sum& sum);

}  // namespace game
