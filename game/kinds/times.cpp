// The 九九: `times:7`, `times:2,5`, `times:1-9`, the tables mixed in
// shuffled rounds; `times:7:up` and `times:2-5:down` say each table in turn,
// 7 × 1 to 7 × 9 (or back down), the tables one after the other in the
// order given. Near misses are the neighbouring products, the slips of a
// child reciting the table.
#include "parts.h"

#include <algorithm>

namespace game::kinds {
namespace {

constexpr CourseKind::Option kOrders[] = {
    {"up", "じゅんに（×1から×9）"},  // not drawn
    {"down", "ぎゃくに（×9から×1）"},  // not drawn
};
constexpr int kUp = 1;

class Times final : public TwoNumbers {
public:
    constexpr Times() : TwoNumbers({.word = "times", .label = "かけざん（九九）", .tables = true, .lowest = 1, .highest = 9, .plain = "バラバラに", .options = kOrders}) {}  // not drawn

    bool ordered(const Course& c) const override { return c.option != 0; }

    // 7のだん, 2と5のだん, 2〜5のだん, くくぜんぶ, else the tables' digits
    // (1,3,5,7,9); said in turn, 7じゅん, 2〜5ぎゃく, くくじゅん.
    std::string shortName(const Course& c) const override
    {
        const std::optional<std::string> named = tablesName(c.tables, "と", "〜");
        const bool all = allTables(c.tables);
        if (c.option != 0)
            return joined({named && !all ? std::string_view(*named) : "くく", c.option == kUp ? "じゅん" : "ぎゃく"});
        if (all)
            return "くくぜんぶ";
        return named ? joined({*named, "のだん"}) : digits(c.tables);
    }

    std::string fullName(const Course& c) const override
    {
        const std::string tables = tablesName(c.tables, "と", "から").value_or(tablesText(c.tables));
        if (c.option != 0)
            return joined({shortName(c), "　", tables, "のだん", c.option == kUp ? " じゅんに" : " ぎゃくに"});  // not drawn
        if (tablesName(c.tables, "と", "〜") || allTables(c.tables))
            return joined({shortName(c), "　かけざん"});  // not drawn
        return joined({shortName(c), "　", tables, "のだん"});
    }

    bool hasSums(const Course& c) const override { return !c.tables.empty(); }

    // Mixed: every table times every multiplier once a round, shuffled. In
    // turn: the next product of the tables in order.
    Sum draw(const Course& c, Deal& deal, RandomSource& random) const override
    {
        int d = 0, m = 0;
        if (c.option != 0) {
            const std::size_t at = deal.next++ % (c.tables.size() * 9);
            d = c.tables[at / 9];
            m = c.option == kUp ? static_cast<int>(at % 9) + 1 : 9 - static_cast<int>(at % 9);
        } else {
            const Pair p = drawPair(c, deal, random);
            d = p.table;
            m = p.by;
        }
        return {.num1 = static_cast<Integer>(d), .num2 = static_cast<Integer>(m), .op = Op::Times,
                .answer = static_cast<Integer>(d * m), .kind = this};
    }

    std::array<Answer, 2> nearMisses(const Sum& s, RandomSource& random) const override
    {
        Candidates found{s.result()};
        random.reseed();
        const int d = s.num1, m = s.num2;
        for (const int v : {d * (m - 1), d * (m + 1), (d - 1) * m, (d + 1) * m}) {
            if (v > 0)
                found.offer({static_cast<Integer>(v)});
        }
        if (found.size() < 2)
            found.offer({0});  // 1 × 1 has one product near it: 0 is the other a child may say
        return found.two(random);
    }

    std::optional<Op> gridSign() const override { return Op::Times; }

    bool crosses(const Course&, Integer, Integer) const override { return true; }
};

constinit const Times kKind;

}  // namespace

const CourseKind& timesKind()
{
    return kKind;
}

}  // namespace game::kinds
