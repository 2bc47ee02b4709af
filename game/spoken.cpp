#include "spoken.h"

#include "course.h"

namespace game::spoken {

std::string sum(const Sum& s)
{
    return kindOf(s).said(s);
}

std::string answer(const Sum& s, Answer value)
{
    return kindOf(s).saidWith(s, value);
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

std::string typedAnswer(int n, const Sum& s, Answer value, bool right)
{
    return "もんだい" + std::to_string(n) + " " + answer(s, value) + " " + (right ? game::spoken::right() : wrong());
}

std::string typed(const Outcome& outcome)
{
    if (outcome.digit >= 0)
        return std::to_string(outcome.digit);
    return outcome.digits > 0 ? "けす " + std::to_string(outcome.given.value) : "けす";
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

std::string missedList(std::size_t count, std::size_t slow)
{
    std::string said = count ? "まちがえた もんだい " + std::to_string(count) + "もん" : "";
    if (slow)
        said += (said.empty() ? "" : "。") + std::string("ゆっくり だった もんだい ") + std::to_string(slow) + "もん";
    return said;
}

}  // namespace game::spoken
