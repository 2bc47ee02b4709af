// A sum as the rules pose it, and the text and numbers around it: how a
// number is written on a caption and read back from one, how an answer with
// a remainder reads. How a sum is shown and said is its kind's to say
// (course.h); this room knows no kind.
#pragma once

#include "integer.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace game {

class CourseKind;

// The operation of a sum: the design's courses add and subtract; a
// teacher's courses also multiply and divide.
enum class Op : std::uint8_t { Plus, Minus, Times, Divide };

// The sign as the sums show it: "+", "-", "×", "÷".
std::string_view signText(Op op);

// An answer: a whole number, and for a division with a remainder, that
// remainder ("5あまり3"); a remainder of 0 is a plain number.
struct Answer {
    Integer value = 0;
    Integer rest = 0;
    friend bool operator==(const Answer&, const Answer&) = default;
};

struct Sum {
    Integer num1 = 0;
    Integer num2 = 0;
    Op op = Op::Plus;
    Integer answer = 0;
    Integer num3 = 0;   // a third number, after op2 (three-number sums)
    Op op2 = Op::Plus;
    Integer rest = 0;   // a division's remainder
    const CourseKind* kind = nullptr;  // what posed it; none: the design's own sums

    Answer result() const { return {answer, rest}; }
    friend bool operator==(const Sum&, const Sum&) = default;
};

// The pieces one after the other, in one string: what the game's texts are
// made of, built with one allocation and one call wherever they are made.
std::string joined(std::initializer_list<std::string_view> pieces);

// Number texts: plain decimal digits, no blank, sign or leading zero; or,
// given a width, zeros before it up to that width ("09").
std::string numberText(long long value);
std::string numberText(long long value, std::size_t width);

// A text of plain decimal digits, at most `most` of them, as its value;
// none for anything else (a sign, a blank, nothing at all).
std::optional<long long> digitsValue(std::string_view text, std::size_t most);

// The parts of a text between the separators, empty ones too.
std::vector<std::string_view> split(std::string_view text, char by);

// A caption read back as a number; NaN when the caption is not a number.
double captionValue(std::string_view caption);

// An answer as its button shows it: "12", "5あまり3".
std::string answerText(Answer answer);

// The written calculation: the numbers in a column with the sign before
// the lower one, or nothing at all for a sum that has no such form
// (writtenOf, course.h).
struct Written {
    std::string top, bottom, sign;
};

}  // namespace game
