// The class's cards for the teacher's page: a second small module, loaded
// when the first card is read, so that the page that makes links stays
// light. It reads a card with the game's own reader, and counts the sums
// the class missed with the game's own rule.
#include "json_text.h"
#include "game/card.h"
#include "class_missed.h"
#include "game/practice.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

// A result card read from a QR code's text or a typed short code, as
// {"ok":true, "typed", "number", "course", "name", "link", "points",
// "perMinute", "right", "rightPerMinute", "wrong", "fell", "seconds", "pace",
// "when", "median" (tenths of a second), "missedCount", "slowCount",
// "missed":[sum text]} or {"ok":false, "why"}. A typed code
// carries only the link's mark: its course is named when `query`, the link
// in the form, has that mark. Some fields a typed code lacks are -1 or "".
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_card(const char* text, const char* query)
{
    static std::string out;
    const game::CardReading read = game::readCard(text ? text : "");
    if (!read.card) {
        out = "{\"ok\":false,\"why\":" + json(read.why) + "}";
        return out.c_str();
    }
    const game::Card& c = *read.card;
    std::vector<game::Course> courses = c.courses;
    if (courses.empty() && c.link != 0) {
        game::Practice form = game::readPractice(query ? query : "");
        if (game::linkMark(form.courses) == c.link)
            courses = std::move(form.courses);
    }
    // A typed card of a link not in the form names no course.
    const std::string name = c.link != 0 && courses.empty() ? std::string() : game::courseName(courses, c.course);
    const auto number = [](long long v) { return game::numberText(v); };
    const auto two = [](int v) { return game::numberText(v, 2); };
    std::string missed;
    for (const game::Sum& s : c.missed)
        missed += game::joined({missed.empty() ? "" : ",", json(game::joined({game::sumText(s), " = ", game::answerText(s.result())}))});
    const bool typed = read.typed;
    const std::string when = typed ? std::string()
                                    : game::joined({number(c.when.year), "-", two(c.when.month), "-", two(c.when.day), " ",
                                                    two(c.when.hour), ":", two(c.when.minute)});
    out = game::joined({"{\"ok\":true,\"typed\":", flag(typed), ",\"number\":", number(c.number), ",\"course\":",
                        number(c.course), ",\"name\":", json(name), ",\"link\":", number(c.link), ",\"points\":",
                        number(c.points), ",\"perMinute\":", number(typed ? -1 : c.perMinute), ",\"right\":", number(c.right),
                        ",\"rightPerMinute\":", number(typed ? -1 : game::rightPerMinute(c)), ",\"median\":",
                        number(typed ? -1 : c.medianTenths), ",\"slowCount\":", number(typed ? -1 : c.slowCount),
                        ",\"wrong\":", number(c.wrong), ",\"fell\":", number(c.fell), ",\"seconds\":",
                        number(typed ? -1 : c.seconds), ",\"pace\":", number(typed ? -1 : c.pace), ",\"when\":", json(when),
                        ",\"missedCount\":", number(typed ? -1 : c.missedCount), ",\"answered\":",
                        json(typed ? "" : c.typedAnswers ? "typed" : "chosen"), ",\"missed\":[", missed, "]}"});
    return out.c_str();
}

// The class's cards, handed over one by one (teacher_missed_card) after
// teacher_missed_begin, then counted by teacher_missed.
static std::vector<game::CardReading> classCards;

extern "C" EMSCRIPTEN_KEEPALIVE void teacher_missed_begin()
{
    classCards.clear();
}

extern "C" EMSCRIPTEN_KEEPALIVE void teacher_missed_card(const char* text)
{
    classCards.push_back(game::readCard(text ? text : ""));
}

// The sums the class missed, in children (game/class_missed.h), as
// {"children", "sums", "typed", "cut", "times": null or 9 rows of 9 counts
// (a × b at [a - 1][b - 1]), "slow": the children slow on each, likewise,
// "steps": each missed count's shade 0 to 4, "others": [{"sum", "children",
// "slow"}] most first, at most 10, "more": the other sums left out of that
// list}.
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_missed()
{
    static std::string out;
    constexpr std::size_t kListed = 10;
    constexpr int kSteps = 4;
    const classroom::ClassMissed m = classroom::classMissed(classCards);
    const auto number = [](long long v) { return game::numberText(v); };
    int most = 0, slowest = 0;
    for (const auto& row : m.times)
        most = std::max(most, *std::max_element(row.begin(), row.end()));
    for (const auto& row : m.slowTimes)
        slowest = std::max(slowest, *std::max_element(row.begin(), row.end()));
    // Nine rows of nine: the counts, or each count's shade, the most
    // missed the darkest.
    const auto grid = [&](bool steps, const auto& counts) {
        std::string rows;
        for (const auto& row : counts) {
            std::string cells;
            for (const int n : row)
                cells += game::joined({cells.empty() ? "" : ",", number(steps && n ? (n * kSteps + most - 1) / most : n)});
            rows += game::joined({rows.empty() ? "[" : ",[", cells, "]"});
        }
        return game::joined({"[", rows, "]"});
    };
    std::string others;
    for (std::size_t i = 0; i < std::min(m.others.size(), kListed); ++i) {
        const game::Sum& s = m.others[i].sum;
        others += game::joined({i ? "," : "", "{\"sum\":", json(game::joined({game::sumText(s), " = ", game::answerText(s.result())})),
                                ",\"children\":", number(m.others[i].children), ",\"slow\":", number(m.others[i].slow), "}"});
    }
    out = game::joined({"{\"children\":", number(m.children), ",\"sums\":", number(m.sums), ",\"typed\":", number(m.typed),
                        ",\"cut\":", number(m.cut), ",\"times\":", most || slowest ? grid(false, m.times) : "null",
                        ",\"slow\":", grid(false, m.slowTimes), ",\"steps\":", grid(true, m.times),
                        ",\"others\":[", others, "],\"more\":",
                        number(static_cast<long long>(m.others.size() - std::min(m.others.size(), kListed))), "}"});
    return out.c_str();
}
