// What a screen reader is told of the game: the sums in words, the names of
// the answer buttons, the moments announced. These words are heard, never
// drawn, and the game's font need not carry their characters
// (tools/make_font_subset.py leaves this file out).
#pragma once

#include "integer.h"
#include "outcome.h"

#include <string>
#include <string_view>

namespace game::spoken {

// Between two announcements said at once.
inline constexpr std::string_view kBetween = "。";

// "7たす5", "7かける8", "10は 3と いくつ", as the sum's kind says it.
std::string sum(const Sum& s);
// An answer button: "7たす5 は 12", "23わる4 は 5あまり3".
std::string answer(const Sum& s, Answer value);
// A new sum in column n: "もんだい1 7たす5".
std::string newSum(int n, const Sum& s);
std::string right();
std::string wrong();
// A typed answer judged, naming the sum it answered: "もんだい1 7たす5 は 12 せいかい",
// "もんだい2 7たす5 は 13 ざんねん".
std::string typedAnswer(int n, const Sum& s, Answer value, bool right);
// A digit typed on the pad ("3"), or one deleted: "けす 1" (what is left), "けす".
std::string typed(const Outcome& outcome);
std::string paused(bool paused);
// "のこり 10びょう".
std::string timeLeft(Integer seconds);
// "おわり　12てん　<verdict>　きろく 20てん".
std::string over(Integer score, std::string_view verdict, Integer record);
// The list of missed sums opened: "まちがえた もんだい 5もん".
std::string missedList(std::size_t count, std::size_t slow = 0);

}  // namespace game::spoken
