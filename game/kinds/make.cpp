// いくつといくつ: `make:10`, `make:5-10`. A whole of 2 to 20 is shown with
// one of its parts, as a first-grade page writes it (「10は 3と□」), and the
// answer is the other part.
#include "parts.h"

#include <algorithm>

namespace game::kinds {
namespace {

class Make final : public CourseKind {
public:
    constexpr Make() : CourseKind({.word = "make", .label = "いくつといくつ", .tables = false, .lowest = 2, .highest = 20, .plain = {}, .options = {}, .numbers = "わける数"}) {}  // not drawn

    std::string shortName(const Course& c) const override
    {
        if (c.from == c.to)
            return joined({numberText(c.from), "はいくつ"});
        return joined({numberText(c.from), "〜", numberText(c.to), "は？"});
    }

    std::string fullName(const Course& c) const override
    {
        const bool one = c.from == c.to;
        return joined({shortName(c), "　", numberText(c.from), one ? "" : "から", one ? std::string() : numberText(c.to), "は いくつと いくつ"});  // not drawn
    }

    bool hasSums(const Course&) const override { return true; }

    Sum draw(const Course& c, Deal&, RandomSource& random) const override
    {
        const int whole = drawWhole(c.from, c.to - c.from + 1, random.next());
        const int part = drawWhole(1, whole - 1, random.next());
        return {.num1 = static_cast<Integer>(whole), .num2 = static_cast<Integer>(part), .op = Op::Minus,
                .answer = static_cast<Integer>(whole - part), .kind = this};
    }

    // One off either way, the part shown said again, two off: within the
    // whole, never below 0.
    std::array<Answer, 2> nearMisses(const Sum& s, RandomSource& random) const override
    {
        Candidates found{s.result()};
        for (const int v : {s.answer - 1, s.answer + 1, int(s.num2), s.answer - 2, s.answer + 2}) {
            if (v <= s.num1)
                found.offer({static_cast<Integer>(v)});
        }
        random.reseed();
        return found.two(random);
    }

    std::string label(const Sum& s) const override
    {
        return joined({numberText(s.num1), "は ", numberText(s.num2), "と□"});
    }
    Written written(const Sum&) const override { return {}; }
    std::string said(const Sum& s) const override
    {
        return joined({numberText(s.num1), "は ", numberText(s.num2), "と いくつ"});  // not drawn
    }
    std::string saidWith(const Sum& s, Answer a) const override
    {
        return joined({numberText(s.num1), "は ", numberText(s.num2), "と ", answerText(a)});  // not drawn
    }
};

constinit const Make kKind;

}  // namespace

const CourseKind& makeKind()
{
    return kKind;
}

}  // namespace game::kinds
