#include "parts.h"

#include <algorithm>
#include <array>

namespace game::kinds {

std::string TwoNumbers::label(const Sum& s) const
{
    return numberText(s.num1) + " " + std::string(signText(s.op)) + " " + numberText(s.num2);
}

Written TwoNumbers::written(const Sum& s) const
{
    return {numberText(s.num1), numberText(s.num2), std::string(signText(s.op))};
}

std::string TwoNumbers::said(const Sum& s) const
{
    static constexpr std::array<std::string_view, 4> kWords{"たす", "ひく", "かける", "わる"};  // not drawn
    return numberText(s.num1) + std::string(kWords[static_cast<std::size_t>(s.op)]) + numberText(s.num2);
}

std::array<Answer, 2> movedBy(Integer result, RandomSource& random)
{
    std::vector<Integer> found;
    const auto offer = [&](long long value) {
        const Integer v = saturate(value);
        if (value >= 0 && v != result && std::find(found.begin(), found.end(), v) == found.end())
            found.push_back(v);
    };
    random.reseed();
    for (int tries = 0; tries < 16 && found.size() < 2; ++tries) {
        const double s = drawWhole(1, 10, random.next()) < 5 ? -1.0 : 1.0;
        const int d = drawWhole(1, 10, random.next());
        const long long value = static_cast<long long>(result + s * d);
        offer(value < 0 ? -value : value);
    }
    for (int d = 1; found.size() < 2; ++d)
        offer(result + d);
    return {Answer{found[0]}, Answer{found[1]}};
}

std::array<Answer, 2> twoOf(std::span<const Answer> candidates, RandomSource& random)
{
    const int n = static_cast<int>(candidates.size());
    const int first = drawWhole(0, n, random.next());
    int second = drawWhole(0, n - 1, random.next());
    second += second >= first;
    return {candidates[static_cast<std::size_t>(first)], candidates[static_cast<std::size_t>(second)]};
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
        out += (out.empty() ? "" : ",") + std::to_string(tables[i]);
        if (last >= i + 2) {
            out += std::string(through) + std::to_string(tables[last]);
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
        return std::to_string(d[0]);
    if (d.size() == 2)
        return std::to_string(d[0]) + std::string(two) + std::to_string(d[1]);
    for (std::size_t i = 1; i < d.size(); ++i) {
        if (d[i] != d[i - 1] + 1)
            return std::nullopt;
    }
    return std::to_string(d.front()) + std::string(run) + std::to_string(d.back());
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
