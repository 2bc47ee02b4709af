#include "spoken.h"

#include <array>

namespace game::spoken {

std::string sum(const Sum& s)
{
    static constexpr std::array<std::string_view, 4> kWords{"たす", "ひく", "かける", "わる"};
    return std::to_string(s.num1) + std::string(kWords[static_cast<std::size_t>(s.op)]) + std::to_string(s.num2);
}

std::string answer(const Sum& s, Integer value)
{
    return sum(s) + " は " + std::to_string(value);
}

std::string newSum(int n, const Sum& s)
{
    return "もんだい" + std::to_string(n) + " " + sum(s);
}

std::string right()
{
    return "せいかい";
}

std::string wrong()
{
    return "ざんねん";
}

std::string paused(bool paused)
{
    return paused ? "ひとやすみ" : "つづけます";
}

std::string timeLeft(Integer seconds)
{
    return "のこり " + std::to_string(seconds) + "びょう";
}

std::string over(Integer score, std::string_view verdict, Integer record)
{
    return "おわり　" + std::to_string(score) + "てん　" + std::string(verdict) + "　きろく " + std::to_string(record) + "てん";
}

std::string missedList(std::size_t count)
{
    return "まちがえた もんだい " + std::to_string(count) + "もん";
}

}  // namespace game::spoken
