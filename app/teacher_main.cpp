// The teacher's page's view of the courses and of a link, compiled from the
// same rules as the game so that the page never holds a second copy of
// them: the kinds of course and how each is chosen (its form is built from
// them), the link the form asks for, written here and read back as the
// game reads it, what a link opened in the page gives, and the ready-made
// units a teacher starts from.
//
// The page gives the form's values as numbers and gets JSON back; it never
// writes or takes apart a link itself.
#include "json_text.h"
#include "game/practice.h"
#include "game/units.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Where a kind stands in courseKinds(): the number the page knows it by.
int kindIndex(const game::CourseKind* kind)
{
    const auto kinds = game::courseKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == kind)
            return static_cast<int>(i);
    }
    return -1;
}

std::string courseJson(const game::Course& c, const std::string& shortName, const std::string& fullName)
{
    std::string tables;
    for (const std::uint8_t d : c.tables)
        tables += (tables.empty() ? "" : ",") + std::to_string(d);
    return "{\"kind\":" + std::to_string(kindIndex(c.kind)) + ",\"tables\":[" + tables + "],\"from\":" + std::to_string(c.from) +
           ",\"to\":" + std::to_string(c.to) + ",\"option\":" + std::to_string(c.option) + ",\"short\":" + json(shortName) +
           ",\"full\":" + json(fullName) + "}";
}

// A link's reading: the link written back as the game reads it, its
// courses, the game's settings and the notice; `more` goes on the end.
std::string readingJson(const game::Practice& p, const std::string& more = {})
{
    std::string out = "{\"query\":" + json(game::practiceQuery(p)) + ",\"courses\":[";
    const std::vector<std::string> names = game::shortNames(p.courses);
    const std::vector<std::string> full = game::fullNames(p.courses);
    for (std::size_t i = 0; i < p.courses.size(); ++i)
        out += (i ? "," : "") + courseJson(p.courses[i], names[i], full[i]);
    return out + "],\"seconds\":" + std::to_string(p.seconds) +
           ",\"pace\":" + std::to_string(static_cast<int>(p.pace * 1000 + 0.5)) + ",\"soundOff\":" + flag(p.soundOff) +
           ",\"again\":" + flag(p.again) + ",\"notice\":" + json(game::notice(p)) + more + "}";
}

// What a row's numbers stand for, said beside them: a range bounds every
// number of a sum, or the number taken apart.
std::string_view rangeWords(std::string_view word)
{
    if (word == "add" || word == "sub")
        return "2つの数とも";
    if (word == "three")
        return "3つの数とも";
    if (word == "make")
        return "わける数";
    return "数";
}

// The reason of an item of the notice, without the part of the link it
// quotes: "course=sub:1-9:borrow（…）" gives "…". The quoted part is plain
// ASCII, so the first full-width bracket opens the reason.
std::string reasonOf(const std::string& item)
{
    static constexpr std::string_view open = "（", close = "）";
    const std::size_t at = item.find(open);
    if (at == std::string::npos || !item.ends_with(close))
        return item;
    return item.substr(at + open.size(), item.size() - at - open.size() - close.size());
}

// The courses of the form being read, one a row, each as the link writes it,
// with why the game cannot play it where the reading's words would be a
// link's ("だんを書きます。例 times:7"), and how to make it playable.
struct Row {
    std::string text;
    std::string why;
    std::string fix;
};
std::vector<Row> rows;

}  // namespace

// Every kind of course and how the form asks for one, in the order of
// courseKinds(): its place in this list is the number the page uses.
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_kinds()
{
    static std::string out;
    out = "[";
    for (const game::CourseKind* kind : game::courseKinds()) {
        const game::CourseKind::Form& f = kind->form();
        std::string options;
        for (const game::CourseKind::Option& o : f.options)
            options += (options.empty() ? "" : ",") + std::string("{\"word\":") + json(o.word) + ",\"label\":" + json(o.label) + "}";
        out += (out.size() > 1 ? "," : "") + std::string("{\"word\":") + json(f.word) + ",\"label\":" + json(f.label) +
               ",\"tables\":" + flag(f.tables) + ",\"lowest\":" + std::to_string(f.lowest) + ",\"highest\":" +
               std::to_string(f.highest) + ",\"numbers\":" + json(rangeWords(f.word)) + ",\"plain\":" + json(f.plain) +
               ",\"options\":[" + options + "]}";
    }
    out += "]";
    return out.c_str();
}

// A new form: no course yet.
extern "C" EMSCRIPTEN_KEEPALIVE void teacher_begin()
{
    rows.clear();
}

// One row of the form: the kind's number, its tables as digits in the order
// wanted (52: the 5 then the 2; 0: none), or its numbers from .. to, and
// its option (1 for its first, 0 for none). Whatever the row says is
// written, so that a row the game cannot play is named by the reading.
extern "C" EMSCRIPTEN_KEEPALIVE void teacher_course(int kind, int tables, int from, int to, int option)
{
    const auto kinds = game::courseKinds();
    if (kind < 0 || static_cast<std::size_t>(kind) >= kinds.size()) {
        rows.push_back({"?", {}, {}});  // no kind: the reading says which there are
        return;
    }
    game::Course c;
    c.kind = kinds[static_cast<std::size_t>(kind)];
    const game::CourseKind::Form& form = c.kind->form();
    if (form.tables) {
        std::vector<std::uint8_t> given;
        for (; tables > 0; tables /= 10)
            given.insert(given.begin(), static_cast<std::uint8_t>(tables % 10));
        for (const std::uint8_t d : given) {
            if (d != 0 && !c.hasTable(d))
                c.tables.push_back(d);
        }
    } else {
        c.from = game::saturate(from);
        c.to = game::saturate(to);
    }
    const bool known = option >= 0 && static_cast<std::size_t>(option) <= form.options.size();
    c.option = known ? static_cast<std::uint8_t>(option) : 0;
    // An option the kind does not have stays in the text, for the reading
    // to name.
    const bool ordered = c.kind->ordered(c);
    if (!ordered)
        std::sort(c.tables.begin(), c.tables.end());
    const bool none = form.tables && c.tables.empty();
    rows.push_back({game::courseText(c) + (known ? "" : ":" + std::to_string(option)), none ? "だんが えらばれていません" : "",
                    game::courseFix(c)});
}

// The link of the rows given since teacher_begin and these settings (pace in
// thousandths), read back as the game reads it: the same as teacher_read's
// answer, and "rows" saying of each row whether the link keeps it, and if
// not, why and how to mend it. A row left out is named on its row, not in
// the notice, which names only what has no row (the settings).
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_link(int seconds, int paceThousandths, int soundOff, int againOff)
{
    static std::string out;
    game::Practice settings;
    settings.seconds = game::saturate(seconds);
    settings.pace = paceThousandths / 1000.0;
    settings.soundOff = soundOff != 0;
    settings.again = againOff == 0;
    std::string query;
    std::string kept;
    std::size_t playable = 0;
    for (const Row& row : rows) {
        const std::string part = "course=" + row.text;
        const game::Practice alone = game::readPractice(part);
        const bool keeps = alone.leftOut.empty() && playable < game::Practice::kMaxCourses;
        playable += keeps;
        if (keeps)
            query += (query.empty() ? "" : "&") + part;
        const std::string why = !row.why.empty() ? row.why : alone.leftOut.empty() ? "" : reasonOf(alone.leftOut.front());
        kept += (kept.empty() ? "" : ",") + std::string("{\"kept\":") + flag(keeps) + (keeps ? "" : ",\"why\":" + json(why)) +
                (row.fix.empty() ? "" : ",\"fix\":" + json(row.fix)) + "}";
    }
    const std::string rest = game::practiceQuery(settings);
    if (!rest.empty())
        query += (query.empty() ? "" : "&") + rest;
    out = readingJson(game::readPractice(query), ",\"rows\":[" + kept + "]");
    return out.c_str();
}

// What a link's query gives (with or without its "?"), for the form. The
// text lives until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_read(const char* query)
{
    static std::string out;
    out = readingJson(game::readPractice(query ? query : ""));
    return out.c_str();
}

// The ready-made units, in their order: [{grade, name, link}], each link a
// query for teacher_read.
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_units()
{
    static std::string out;
    out = "[";
    for (const game::Unit& u : game::units()) {
        out += (out.size() > 1 ? "," : "") + std::string("{\"grade\":") + json(u.grade) + ",\"name\":" + json(u.name) +
               ",\"link\":" + json(u.link) + "}";
    }
    out += "]";
    return out.c_str();
}

