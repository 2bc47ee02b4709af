// Adding and subtracting two numbers of a range: `add:1-9:carry` (only sums
// that carry in the ones, `:nocarry` none that do), `sub:10-99:borrow`
// (`:noborrow`), never below 0; drawn evenly among the pairs the course
// allows. The design's own sums are shown and said by the adding kind too.
#include "parts.h"

namespace game::kinds {
namespace {

constexpr CourseKind::Option kCarries[] = {
    {"carry", "くりあがり あり だけ"},  // not drawn
    {"nocarry", "くりあがり なし だけ"},  // not drawn
};
constexpr CourseKind::Option kBorrows[] = {
    {"borrow", "くりさがり あり だけ"},  // not drawn
    {"noborrow", "くりさがり なし だけ"},  // not drawn
};
constexpr int kOnly = 1;

class AddSub final : public TwoNumbers {
public:
    explicit constexpr AddSub(bool add)
        : TwoNumbers({.word = add ? "add" : "sub", .label = add ? "たしざん" : "ひきざん", .tables = false, .lowest = 1, .highest = 99,
                      .plain = "どちらも", .options = add ? std::span(kCarries) : std::span(kBorrows), .numbers = "2つの数とも"}),  // not drawn
          add_(add)
    {
    }

    std::string shortName(const Course& c) const override
    {
        // The textbooks' own names: a sum without carrying is just たしざん.
        if (add_)
            return c.option == kOnly ? "くりあがり" : "たしざん";
        return c.option == kOnly ? "くりさがり" : "ひきざん";
    }

    std::string fullName(const Course& c) const override
    {
        const std::string_view carry = add_ ? " くりあがり" : " くりさがり";  // not drawn
        return joined({shortName(c), "　", numberText(c.from), "から", numberText(c.to), "までの",  // not drawn
                       add_ ? " たしざん" : " ひきざん", c.option == 0 ? "" : carry,  // not drawn
                       c.option == 0 ? "" : c.option == kOnly ? " あり" : " なし"});  // not drawn
    }

    bool hasSums(const Course& c) const override { return count(c) > 0; }

    Sum draw(const Course& c, Deal&, RandomSource& random) const override
    {
        // The k-th of the pairs the course allows, k drawn evenly.
        int k = drawWhole(0, count(c), random.next());
        for (int a = c.from; a <= c.to; ++a) {
            for (int b = c.from; b <= c.to; ++b) {
                if (fits(c, a, b) && k-- == 0)
                    return make(a, b);
            }
        }
        return make(c.to, c.from);  // a course read from a link always has a sum
    }

    std::array<Answer, 2> nearMisses(const Sum& s, RandomSource& random) const override
    {
        return movedBy(s.answer, random);
    }

    std::optional<Op> gridSign() const override { return add_ ? Op::Plus : Op::Minus; }

    bool crosses(const Course& c, Integer a, Integer b) const override { return fits(c, a, b); }

private:
    Sum make(int a, int b) const
    {
        return {.num1 = static_cast<Integer>(a), .num2 = static_cast<Integer>(b), .op = add_ ? Op::Plus : Op::Minus,
                .answer = static_cast<Integer>(add_ ? a + b : a - b), .kind = this};
    }

    // Carrying or borrowing in the ones as the course asks, never below 0.
    // Two ones that make ten carry as a written sum does (15 + 5 = 20, 0
    // written and 1 carried), but two one-digit numbers that make exactly
    // 10 are the first grade's 10をつくる (9 + 1, 4 + 6), not くりあがり,
    // which the textbooks begin at 11: add:1-9:carry is 11 to 18.
    bool fits(const Course& c, int a, int b) const
    {
        const bool makesTen = a < 10 && b < 10 && a + b == 10;
        const bool carries = add_ ? a % 10 + b % 10 >= 10 && !makesTen : a % 10 < b % 10;
        return (add_ || a >= b) && (c.option == 0 || carries == (c.option == kOnly));
    }

    int count(const Course& c) const
    {
        int n = 0;
        for (int a = c.from; a <= c.to; ++a) {
            for (int b = c.from; b <= c.to; ++b)
                n += fits(c, a, b);
        }
        return n;
    }

    bool add_;
};

constinit const AddSub kAdd(true);
constinit const AddSub kSub(false);

}  // namespace

const CourseKind& addKind()
{
    return kAdd;
}

const CourseKind& subKind()
{
    return kSub;
}

}  // namespace game::kinds
