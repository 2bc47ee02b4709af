// A printed worksheet of a teacher's courses (プリント), made by the game's
// own kinds from a sheet number: a list of sums as a grade writes them, or
// the numbers along a 百ます grid, each with its answer. The number is the
// seed of the game's random source, so the same number and courses give the
// same sheet again, and a lost sheet can be printed once more.
#pragma once

#include "game/course.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace classroom {

struct Sheet {
    // The numbers a sheet may have, and the lengths of a list.
    static constexpr std::uint32_t kLowest = 1;
    static constexpr std::uint32_t kHighest = 99999;
    static constexpr std::array<int, 3> kCounts{20, 30, 50};
    // The fewest different numbers a 百ます has on each side: with fewer,
    // a row or a column would be one sum over and over.
    static constexpr std::size_t kGridNumbers = 5;
    // Sheets of one's own (ひとりずつ ちがう) printed at once.
    static constexpr int kMostCopies = 40;
    static constexpr int kUsualCopies = 30;
};

// A sum as the sheet writes it: the text before the answer's box ("7 × 8 =",
// "10は 3と"), the text after it, and whether a second box takes the
// remainder ("23 ÷ 4 = □ あまり □").
struct SheetLine {
    game::Sum sum;
    std::string before;
    std::string after;
    bool rest = false;
};

// Text as a grade writes it on paper: the minus sign where the game's
// captions have a hyphen ("11 − 4").
std::string onPaper(std::string_view text);

// `count` sums (one of Sheet::kCounts) of course `course` (1 for the first),
// or of every course in turn, mixed (0); no sum among the four before it
// where the course has others. Nothing for a course or count it cannot be.
std::vector<SheetLine> listSheet(std::span<const game::Course> courses, int course, int count, std::uint32_t number);

// A 百ます: ten numbers down the left and ten along the top, each cell the
// left one and the top one by the sign; every cell a sum of the course
// (subtracting: never below 0, carrying or borrowing as it asks).
struct Grid {
    game::Op op = game::Op::Plus;
    std::array<game::Integer, 10> left{};
    std::array<game::Integer, 10> top{};
    const game::CourseKind* kind = nullptr;

    game::Sum at(std::size_t row, std::size_t column) const;
};

// The grid of a course of adding, subtracting or the 九九; nothing for
// another kind, or for a course with fewer than Sheet::kGridNumbers
// numbers on a side.
std::optional<Grid> gridSheet(const game::Course& course, std::uint32_t number);

// Why a course makes no 百ます, in a teacher's words, and the course that
// would, where its kind has one (all its tables); nothing when it makes one.
struct GridFault {
    std::string why;
    std::optional<game::Course> instead;
};
std::optional<GridFault> gridFault(const game::Course& course);

// The sheet's heading: the course's whole name among the link's, or the
// courses mixed by their buttons' names (course 0).
std::string sheetTitle(std::span<const game::Course> courses, int course);

}  // namespace classroom
