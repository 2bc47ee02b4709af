#include "class_missed.h"

#include <algorithm>
#include <utility>

namespace classroom {

using namespace game;

namespace {

// The same sum of the same kind: its numbers, signs and answer.
bool sameSum(const Sum& a, const Sum& b)
{
    return &kindOf(a) == &kindOf(b) && a.num1 == b.num1 && a.op == b.op && a.num2 == b.num2 && a.op2 == b.op2 &&
           a.num3 == b.num3 && a.result() == b.result();
}

}  // namespace

bool timesFact(const Sum& s)
{
    return s.op == Op::Times && s.op2 == Op::Plus && s.num3 == 0 && s.num1 >= 1 && s.num1 <= 9 && s.num2 >= 1 && s.num2 <= 9;
}

ClassMissed classMissed(std::span<const CardReading> cards)
{
    ClassMissed out;
    // Each child's sums already counted: a child and a fact of the 九九
    // (a × 10 + b), or a child and 100 + the place of a sum among the
    // others; the slow ones a million on.
    std::vector<std::pair<int, int>> counted;
    std::vector<int> children;
    const auto once = [&](int child, int what) {
        const std::pair<int, int> key{child, what};
        if (std::find(counted.begin(), counted.end(), key) != counted.end())
            return false;
        counted.push_back(key);
        return true;
    };
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (!cards[i].card)
            continue;
        const Card& card = *cards[i].card;
        if (cards[i].typed) {
            ++out.typed;
            continue;
        }
        // A number is its child; a card without one, a child of its own.
        const int child = card.number != 0 ? card.number : Card::kMaxNumber + 1 + static_cast<int>(i);
        if (std::find(children.begin(), children.end(), child) == children.end())
            children.push_back(child);
        out.sums += static_cast<int>(card.missed.size() + card.slow.size());
        if (static_cast<std::size_t>(card.missedCount) > card.missed.size() || static_cast<std::size_t>(card.slowCount) > card.slow.size())
            ++out.cut;
        const auto count = [&](const Sum& s, bool slow) {
            const int apart = slow ? 1'000'000 : 0;
            if (timesFact(s)) {
                auto& grid = slow ? out.slowTimes : out.times;
                if (once(child, apart + s.num1 * 10 + s.num2))
                    ++grid[static_cast<std::size_t>(s.num1 - 1)][static_cast<std::size_t>(s.num2 - 1)];
                return;
            }
            const auto alike = std::find_if(out.others.begin(), out.others.end(), [&](const ClassMissed::Missed& m) {
                return sameSum(m.sum, s);
            });
            const auto at = static_cast<int>(alike - out.others.begin());
            if (alike == out.others.end())
                out.others.push_back({s, 0, 0});
            if (once(child, apart + 100 + at))
                ++(slow ? out.others[static_cast<std::size_t>(at)].slow : out.others[static_cast<std::size_t>(at)].children);
        };
        for (const Sum& s : card.missed)
            count(s, false);
        for (const Sum& s : card.slow)
            count(s, true);
    }
    out.children = static_cast<int>(children.size());
    // Most missed first, then the slowest; a sum moves only past those it
    // comes before.
    const auto before = [](const ClassMissed::Missed& a, const ClassMissed::Missed& b) {
        return a.children != b.children ? a.children > b.children : a.slow > b.slow;
    };
    for (std::size_t i = 1; i < out.others.size(); ++i) {
        for (std::size_t j = i; j > 0 && before(out.others[j], out.others[j - 1]); --j)
            std::swap(out.others[j - 1], out.others[j]);
    }
    return out;
}

}  // namespace classroom
