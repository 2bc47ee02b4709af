#include "parts.h"

#include <algorithm>
#include <array>

namespace game::kinds {

std::string TwoNumbers::label(const Sum& s) const
{
    return joined({numberText(s.num1), " ", signText(s.op), " ", numberText(s.num2)});
}

Written TwoNumbers::written(const Sum& s) const
{
    return {numberText(s.num1), numberText(s.num2), std::string(signText(s.op))};
}

std::string TwoNumbers::said(const Sum& s) const
{
    static constexpr std::array<std::string_view, 4> kWords{"たす", "ひく", "かける", "わる"};  // not drawn
    return joined({numberText(s.num1), kWords[static_cast<std::size_t>(s.op)], numberText(s.num2)});
}

void Candidates::offer(Answer a)
{
    if (count_ < found_.size() && a.value >= 0 && a.rest >= 0 && a != answer_ &&
        std::find(found_.begin(), found_.begin() + static_cast<long>(count_), a) == found_.begin() + static_cast<long>(count_))
        found_[count_++] = a;
}

std::array<Answer, 2> Candidates::two(RandomSource& random) const
{
    const int n = static_cast<int>(count_);
    const int first = drawWhole(0, n, random.next());
    int second = drawWhole(0, n - 1, random.next());
    second += second >= first;
    return {found_[static_cast<std::size_t>(first)], found_[static_cast<std::size_t>(second)]};
}

Pair drawPair(const Course& c, Deal& deal, RandomSource& random)
{
    if (deal.count == 0) {
        for (const std::uint8_t t : c.tables) {
            for (int k = 1; k <= 9 && deal.count < deal.left.size(); ++k)
                deal.left[deal.count++] = static_cast<std::uint8_t>(t * 10 + k);
        }
    }
    const std::size_t pick = static_cast<std::size_t>(drawWhole(0, static_cast<double>(deal.count), random.next()));
    const int pair = deal.left[pick];
    deal.left[pick] = deal.left[--deal.count];
    return {pair / 10, pair % 10};
}

std::array<Answer, 2> movedBy(Integer result, RandomSource& random)
{
    Candidates found{Answer{result}};
    random.reseed();
    for (int tries = 0; tries < 16 && found.size() < 2; ++tries) {
        const double s = drawWhole(1, 10, random.next()) < 5 ? -1.0 : 1.0;
        const int d = drawWhole(1, 10, random.next());
        const long long value = static_cast<long long>(result + s * d);
        found.offer({saturate(value < 0 ? -value : value)});
    }
    for (int d = 1; found.size() < 2; ++d)
        found.offer({saturate(result + d)});
    return {found[0], found[1]};
}

namespace {

// The tables as a list, a run of three or more written first and last
// joined by `through`.
std::string listed(std::span<const std::uint8_t> tables, std::string_view through)
{
    std::string out;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        std::size_t last = i;
        while (last + 1 < tables.size() && tables[last + 1] == tables[last] + 1)
            ++last;
        out += joined({out.empty() ? "" : ",", numberText(tables[i])});
        if (last >= i + 2) {
            out += joined({through, numberText(tables[last])});
            i = last;
        }
    }
    return out;
}

}  // namespace

std::string tablesText(std::span<const std::uint8_t> tables)
{
    return listed(tables, "-");
}

std::optional<std::string> tablesName(std::span<const std::uint8_t> d, std::string_view two, std::string_view run)
{
    if (d.empty())
        return std::nullopt;
    if (d.size() == 1)
        return numberText(d[0]);
    if (d.size() == 2)
        return joined({numberText(d[0]), two, numberText(d[1])});
    for (std::size_t i = 1; i < d.size(); ++i) {
        if (d[i] != d[i - 1] + 1)
            return std::nullopt;
    }
    return joined({numberText(d.front()), run, numberText(d.back())});
}

std::string digits(std::span<const std::uint8_t> tables)
{
    return listed(tables, "〜");
}

bool allTables(std::span<const std::uint8_t> tables)
{
    return tables.size() == 9;
}

}  // namespace game::kinds
