// 3つのかずのけいさん: `three:1-9` adds and subtracts three numbers of a
// range (0 to 99), left to right, never below 0 at any step; `:add` only
// adds, `:sub` only subtracts, `:mix` (as no word) does both.
#include "parts.h"

namespace game::kinds {
namespace {

constexpr CourseKind::Option kOps[] = {
    {"add", "たしざん だけ"},  // not drawn
    {"sub", "ひきざん だけ"},  // not drawn
    {"mix", "たしざんと ひきざん"},  // not drawn
};
constexpr int kAdd = 1, kSub = 2;

class Three final : public CourseKind {
public:
    constexpr Three() : CourseKind({.word = "three", .label = "3つのかず", .tables = false, .lowest = 0, .highest = 99,
                          .plain = "たしざんと ひきざん", .options = kOps, .numbers = "3つの数とも"}) {}  // not drawn

    std::string shortName(const Course& c) const override
    {
        return c.option == kAdd ? "3つたす" : c.option == kSub ? "3つひく" : "3つのかず";
    }

    std::string fullName(const Course& c) const override
    {
        return joined({shortName(c), "　", numberText(c.from), "から", numberText(c.to), "までの 3つのかず ",  // not drawn
                       kOps[c.option == 0 ? 2 : c.option - 1].label});
    }

    // Subtracting twice needs the largest number to hold two of the
    // smallest.
    bool hasSums(const Course& c) const override { return c.option != kSub || c.to >= 2 * c.from; }

    Sum draw(const Course& c, Deal&, RandomSource& random) const override
    {
        const auto whole = [&random](int from, int to) { return drawWhole(from, to - from + 1, random.next()); };
        for (int tries = 0; tries < 32; ++tries) {
            const bool minus1 = c.option == kSub || (c.option != kAdd && whole(0, 1) == 1);
            const bool minus2 = c.option == kSub || (c.option != kAdd && whole(0, 1) == 1);
            const int a = whole(c.from, c.to);
            const int b = minus1 ? whole(c.from, a) : whole(c.from, c.to);
            const int ab = minus1 ? a - b : a + b;
            if (minus2 && ab < c.from)
                continue;
            const int d = minus2 ? whole(c.from, std::min<int>(c.to, ab)) : whole(c.from, c.to);
            return make(a, minus1, b, minus2, d);
        }
        // Rare: a course of subtractions whose draws kept going below 0.
        return c.option == kSub ? make(c.to, true, c.from, true, c.from) : make(c.from, false, c.from, false, c.from);
    }

    std::array<Answer, 2> nearMisses(const Sum& s, RandomSource& random) const override
    {
        return movedBy(s.answer, random);
    }

    std::string label(const Sum& s) const override
    {
        return joined({numberText(s.num1), " ", signText(s.op), " ", numberText(s.num2), " ", signText(s.op2), " ",
                       numberText(s.num3)});
    }
    Written written(const Sum&) const override { return {}; }
    std::string said(const Sum& s) const override
    {
        const auto word = [](Op op) { return op == Op::Minus ? "ひく" : "たす"; };  // not drawn
        return joined({numberText(s.num1), word(s.op), numberText(s.num2), word(s.op2), numberText(s.num3)});
    }

private:
    Sum make(int a, bool minus1, int b, bool minus2, int c) const
    {
        const int ab = minus1 ? a - b : a + b;
        return {.num1 = static_cast<Integer>(a), .num2 = static_cast<Integer>(b), .op = minus1 ? Op::Minus : Op::Plus,
                .answer = static_cast<Integer>(minus2 ? ab - c : ab + c), .num3 = static_cast<Integer>(c),
                .op2 = minus2 ? Op::Minus : Op::Plus, .kind = this};
    }
};

constinit const Three kKind;

}  // namespace

const CourseKind& threeKind()
{
    return kKind;
}

}  // namespace game::kinds
