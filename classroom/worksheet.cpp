#include "worksheet.h"

#include "game/practice.h"
#include "game/random.h"

#include <algorithm>

namespace classroom {

using namespace game;
namespace {

constexpr std::size_t kApart = 4;  // a sum comes back on a list no sooner than this
constexpr int kTries = 8;

Rng sheetRandom(std::uint32_t number)
{
    return Rng({}, number);
}

// Values drawn from a pool in shuffled rounds: each once a round.
class Rounds {
public:
    explicit Rounds(std::vector<Integer> pool) : pool_(std::move(pool)) {}
    Integer next(RandomSource& random)
    {
        if (left_.empty())
            left_ = pool_;
        const auto at = static_cast<std::size_t>(drawWhole(0, static_cast<double>(left_.size()), random.next()));
        const Integer value = left_[at];
        left_[at] = left_.back();
        left_.pop_back();
        return value;
    }

private:
    std::vector<Integer> pool_;
    std::vector<Integer> left_;
};

SheetLine lineOf(const Sum& s)
{
    // A kind that shows its own box ("10は 3と□") has it filled in place.
    static constexpr std::string_view kBox = "□";
    const std::string label = onPaper(sumText(s));
    const std::size_t box = label.find(kBox);
    if (box == std::string::npos)
        return {s, label + " =", {}, false};
    return {s, label.substr(0, box), label.substr(box + kBox.size()), false};
}

// What a grid of a course crosses: its sign, the numbers it may have down
// the left and along the top.
struct Crossing {
    Op op = Op::Plus;
    std::vector<Integer> left, top;
};

std::vector<Integer> range(int from, int to)
{
    std::vector<Integer> out;
    for (int v = from; v <= to; ++v)
        out.push_back(static_cast<Integer>(v));
    return out;
}

std::optional<Crossing> crossing(const Course& c)
{
    const std::optional<Op> sign = c.kind->gridSign();
    if (!sign)
        return std::nullopt;
    if (c.kind->form().tables)
        return Crossing{*sign, {c.tables.begin(), c.tables.end()}, range(1, 9)};
    return Crossing{*sign, range(c.from, c.to), range(c.from, c.to)};
}


}  // namespace

std::string onPaper(std::string_view text)
{
    std::string out;
    for (const char c : text)
        out += c == '-' ? std::string_view("−") : std::string_view(&c, 1);
    return out;
}

std::vector<SheetLine> listSheet(std::span<const Course> courses, int course, int count, std::uint32_t number)
{
    const bool counted = std::find(Sheet::kCounts.begin(), Sheet::kCounts.end(), count) != Sheet::kCounts.end();
    if (!counted || course < 0 || static_cast<std::size_t>(course) > courses.size() || courses.empty())
        return {};
    Rng random = sheetRandom(number);
    std::vector<Deal> deals(courses.size());
    Rounds turns(range(0, static_cast<int>(courses.size()) - 1));
    std::vector<SheetLine> lines;
    std::vector<std::size_t> from;  // each line's course
    for (int i = 0; i < count; ++i) {
        const std::size_t at = course == 0 ? static_cast<std::size_t>(turns.next(random)) : static_cast<std::size_t>(course - 1);
        const Course& c = courses[at];
        Sum s;
        for (int tries = 0; tries < kTries; ++tries) {
            s = c.kind->draw(c, deals[at], random);
            const auto recent = lines.end() - static_cast<long>(std::min(kApart, lines.size()));
            if (std::none_of(recent, lines.end(), [&](const SheetLine& l) { return l.sum == s; }))
                break;
        }
        lines.push_back(lineOf(s));
        from.push_back(at);
    }
    // A course that gives a remainder has its box on each of its sums.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t k = 0; k < lines.size() && !lines[i].rest; ++k)
            lines[i].rest = from[k] == from[i] && lines[k].sum.rest > 0;
    }
    return lines;
}

Sum Grid::at(std::size_t row, std::size_t column) const
{
    const Integer a = left[row], b = top[column];
    const Integer answer = op == Op::Times ? mul(a, b) : op == Op::Minus ? sub(a, b) : add(a, b);
    return {.num1 = a, .num2 = b, .op = op, .answer = answer, .kind = kind};
}

std::optional<Grid> gridSheet(const Course& course, std::uint32_t number)
{
    const std::optional<Crossing> x = crossing(course);
    if (!x || x->left.empty())
        return std::nullopt;
    // The run of the top's numbers (ten at most) and the left's numbers
    // that fit each of them, as many of both as can be: for subtracting
    // 1 to 9, 1 to 5 along the top and 5 to 9 down the left. Among runs as
    // good, the sheet's number chooses.
    Rng random = sheetRandom(number);
    struct Choice {
        std::size_t from = 0, to = 0;  // the top's run, to included
        std::vector<Integer> left;
    };
    std::vector<Choice> best;
    const auto worth = [](const Choice& c) {
        const std::size_t top = c.to - c.from + 1, left = std::min<std::size_t>(c.left.size(), 10);
        return std::min(top, left) * 100 + top + left;
    };
    for (std::size_t from = 0; from < x->top.size(); ++from) {
        std::vector<Integer> left = x->left;
        for (std::size_t to = from; to < x->top.size() && to < from + 10; ++to) {
            std::erase_if(left, [&](Integer a) { return !course.kind->crosses(course, a, x->top[to]); });
            if (left.empty())
                break;
            Choice c{from, to, left};
            if (!best.empty() && worth(c) > worth(best.front()))
                best.clear();
            if (best.empty() || worth(c) == worth(best.front()))
                best.push_back(std::move(c));
        }
    }
    if (best.empty() || worth(best.front()) < Sheet::kGridNumbers * 100)
        return std::nullopt;
    const Choice& chosen = best[static_cast<std::size_t>(drawWhole(0, static_cast<double>(best.size()), random.next()))];
    Grid grid{x->op, {}, {}, course.kind};
    Rounds top(std::vector<Integer>(x->top.begin() + static_cast<long>(chosen.from), x->top.begin() + static_cast<long>(chosen.to) + 1));
    Rounds left(chosen.left);
    for (Integer& v : grid.top)
        v = top.next(random);
    for (Integer& v : grid.left)
        v = left.next(random);
    return grid;
}

std::optional<GridFault> gridFault(const Course& course)
{
    if (!course.kind->gridSign())
        return GridFault{"百ますは たしざん・ひきざん・九九の コースで 作ります", std::nullopt};
    if (gridSheet(course, Sheet::kLowest))
        return std::nullopt;
    if (!course.kind->form().tables)
        return GridFault{"百ますには 左にも 上にも 5つ以上の 数が いります。数の はんいを ひろげてください", std::nullopt};
    Course all = course;
    all.tables = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    all.option = 0;
    return GridFault{"百ますには 5つ以上の だんが いります", gridSheet(all, Sheet::kLowest) ? std::optional(all) : std::nullopt};
}

std::string sheetTitle(std::span<const Course> courses, int course)
{
    if (course >= 1 && static_cast<std::size_t>(course) <= courses.size())
        return fullNames(courses)[static_cast<std::size_t>(course - 1)];
    std::string names;
    for (const std::string& name : shortNames(courses))
        names += joined({names.empty() ? "" : "・", name});
    return joined({"まぜて（", names, "）"});
}

}  // namespace classroom
