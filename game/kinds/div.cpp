// Division: `div:7`, `div:2-5` come out even, (d × m) ÷ d; `div:2-9:rem`
// leaves a remainder of 1 to d − 1 (23 ÷ 4 = 5あまり3), `div:3:any` a
// remainder or none; the quotient is 1 to 9. A remainder's near misses are
// the classic slip (a remainder not smaller than the divisor, 4あまり7) and
// a quotient or remainder one off.
#include "parts.h"

#include <algorithm>

namespace game::kinds {
namespace {

constexpr CourseKind::Option kRests[] = {
    {"rem", "あまりあり だけ"},  // not drawn
    {"any", "あまりが あっても なくても"},  // not drawn
};
constexpr int kRem = 1;

class Div final : public TwoNumbers {
public:
    constexpr Div() : TwoNumbers({.word = "div", .label = "わりざん", .tables = true, .lowest = 1, .highest = 9, .plain = "わりきれる だけ", .options = kRests}) {}  // not drawn

    bool remainders(const Course& c) const override { return c.option != 0; }

    std::optional<std::string_view> fault(const Course& c) const override
    {
        if (c.option == kRem && c.hasTable(1))
            return "1でわると あまりは出ません。2からにします";  // not drawn
        return CourseKind::fault(c);
    }

    // 7でわる, 2〜5でわる, 2と9でわる; with a remainder あまり7, あまり2〜9;
    // else わりざん.
    std::string shortName(const Course& c) const override
    {
        const std::optional<std::string> name = tablesName(c.tables, "と", "〜");
        if (c.option == kRem)
            return joined({"あまり", name ? std::string_view(*name) : "あり"});
        if (c.option != 0)
            return joined({"わりざん", c.tables.size() == 1 ? std::string_view(*name) : ""});
        return name ? joined({*name, "でわる"}) : "わりざん";
    }

    std::string fullName(const Course& c) const override
    {
        const std::string tables = tablesName(c.tables, "と", "から").value_or(tablesText(c.tables));
        return joined({shortName(c), "　", tables, "で わる",  // not drawn
                       c.option == kRem ? " あまりのある わりざん" : c.option != 0 ? " あまりが あっても なくても" : " わりざん"});  // not drawn
    }

    bool hasSums(const Course& c) const override { return !c.tables.empty(); }

    // Every divisor times every quotient once a round, shuffled; the
    // remainder drawn for each.
    Sum draw(const Course& c, Deal& deal, RandomSource& random) const override
    {
        const auto [d, q] = drawPair(c, deal, random);
        int r = 0;
        if (c.option == kRem)
            r = drawWhole(1, d - 1, random.next());
        else if (c.option != 0)
            r = drawWhole(0, d, random.next());
        return {.num1 = static_cast<Integer>(d * q + r), .num2 = static_cast<Integer>(d), .op = Op::Divide,
                .answer = static_cast<Integer>(q), .rest = static_cast<Integer>(r), .kind = this};
    }

    std::array<Answer, 2> nearMisses(const Sum& s, RandomSource& random) const override
    {
        // A division that comes out even: the design's near misses.
        if (s.rest == 0)
            return movedBy(s.answer, random);
        random.reseed();
        const Integer q = s.answer, r = s.rest, d = s.num2;
        const Answer classic{static_cast<Integer>(q - 1), static_cast<Integer>(r + d)};
        Candidates oneOff{s.result()};
        for (const Answer a : {Answer{static_cast<Integer>(q + 1), r}, Answer{static_cast<Integer>(q - 1), r},
                               Answer{q, static_cast<Integer>(r + 1)}, Answer{q, static_cast<Integer>(r - 1)}}) {
            if (a.rest < d && a != classic)
                oneOff.offer(a);
        }
        return {classic, oneOff[static_cast<std::size_t>(drawWhole(0, static_cast<double>(oneOff.size()), random.next()))]};
    }
};

constinit const Div kKind;

}  // namespace

const CourseKind& divKind()
{
    return kKind;
}

}  // namespace game::kinds
