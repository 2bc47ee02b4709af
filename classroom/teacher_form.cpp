#include "teacher_form.h"

#include "course_fix.h"
#include "json_text.h"
#include "units.h"
#include "worksheet.h"

#include "game/practice.h"

#include <algorithm>
#include <array>
#include <span>

namespace classroom {
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

// A link's reading: the link written back as the game reads it, the
// courses listed under `key`, the game's settings and the notice; `more`
// goes on the end.
std::string practiceJson(const game::Practice& p, std::span<const game::Course> listed, std::string_view key,
                         std::string_view notice, const std::string& more = {})
{
    std::string out = game::joined({"{\"query\":", json(game::practiceQuery(p)), ",\"", key, "\":["});
    const std::vector<std::string> names = game::shortNames(listed);
    const std::vector<std::string> full = game::fullNames(listed);
    for (std::size_t i = 0; i < listed.size(); ++i)
        out += (i ? "," : "") + courseJson(listed[i], names[i], full[i]);
    return out + "],\"seconds\":" + std::to_string(p.seconds) +
           ",\"pace\":" + std::to_string(static_cast<int>(p.pace * 1000 + 0.5)) + ",\"soundOff\":" + flag(p.soundOff) +
           ",\"again\":" + flag(p.again) + ",\"slow\":" + std::to_string(p.slow) + ",\"keepScore\":" + flag(p.keepScore) +
           ",\"typed\":" + flag(p.typed) +
           ",\"notice\":" + json(notice) + more + "}";
}

// The choices of the pace, slowest last, as the form offers them.
struct Pace {
    int thousandths;
    std::string_view label;
};
constexpr std::array kPaces{
    Pace{1000, "ふつう"},
    Pace{750, "少しゆっくり（0.75）"},
    Pace{500, "ゆっくり（0.5）"},
    Pace{250, "とてもゆっくり（0.25）"},
};
static_assert(kPaces.back().thousandths == static_cast<int>(game::Practice::kSlowestPace * 1000));
constexpr int kSecondsStep = 10;

// A link's reading as the game reads it. The page's module reads links one
// way only (telling of the courses without sums), so that it carries one
// reader, not two.
game::Practice reading(std::string_view query)
{
    std::vector<game::WithoutSums> unused;
    return game::readPractice(query, unused);
}

}  // namespace

std::string kindsJson()
{
    std::string out = "[";
    for (const game::CourseKind* kind : game::courseKinds()) {
        const game::CourseKind::Form& f = kind->form();
        std::string options;
        for (const game::CourseKind::Option& o : f.options)
            options += game::joined({options.empty() ? "" : ",", "{\"word\":", json(o.word), ",\"label\":", json(o.label), "}"});
        out += game::joined({out.size() > 1 ? "," : "", "{\"word\":", json(f.word), ",\"label\":", json(f.label), ",\"tables\":",
                             flag(f.tables), ",\"lowest\":", std::to_string(f.lowest), ",\"highest\":", std::to_string(f.highest),
                             ",\"numbers\":", json(f.numbers), ",\"plain\":", json(f.plain), ",\"options\":[", options,
                             "]}"});
    }
    return out + "]";
}

std::string rulesJson()
{
    using game::Practice;
    std::string paces, counts;
    for (const Pace& p : kPaces)
        paces += game::joined({paces.empty() ? "" : ",", "{\"value\":", std::to_string(p.thousandths), ",\"label\":", json(p.label), "}"});
    for (const int n : Sheet::kCounts)
        counts += game::joined({counts.empty() ? "" : ",", std::to_string(n)});
    return game::joined({"{\"courses\":", std::to_string(Practice::kMaxCourses), ",\"seconds\":{\"fewest\":",
                         std::to_string(Practice::kFewestSeconds), ",\"most\":", std::to_string(Practice::kMostSeconds),
                         ",\"step\":", std::to_string(kSecondsStep), ",\"usual\":", std::to_string(Practice::kSeconds),
                         "},\"paces\":[", paces, "],\"sheets\":{\"counts\":[", counts, "],\"lowest\":",
                         std::to_string(static_cast<int>(Sheet::kLowest)), ",\"highest\":", std::to_string(static_cast<int>(Sheet::kHighest)), ",\"copies\":",
                         std::to_string(Sheet::kMostCopies), ",\"usualCopies\":", std::to_string(Sheet::kUsualCopies), "}}"});
}

std::string unitsJson()
{
    std::string out = "[";
    for (const Unit& u : units()) {
        out += game::joined({out.size() > 1 ? "," : "", "{\"grade\":", json(u.grade), ",\"name\":", json(u.name), ",\"link\":",
                             json(u.link), "}"});
    }
    return out + "]";
}

void Form::course(int kind, int tables, int from, int to, int option)
{
    const auto kinds = game::courseKinds();
    if (kind < 0 || static_cast<std::size_t>(kind) >= kinds.size()) {
        rows_.push_back({"?", {}, {}});  // no kind: the reading says which there are
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
    if (!c.kind->ordered(c))
        std::sort(c.tables.begin(), c.tables.end());
    const bool none = form.tables && c.tables.empty();
    rows_.push_back({game::courseText(c) + (known ? "" : ":" + std::to_string(option)), none ? "だんが えらばれていません" : "",
                     courseFix(c)});
}

// A row left out is named on its row, not in the notice, which names only
// what has no row (the settings).
std::string Form::link(int seconds, int paceThousandths, bool soundOff, bool againOff, int slow, bool keepScore,
                       bool typed) const
{
    game::Practice settings;
    settings.typed = typed;
    settings.slow = std::clamp(slow, game::Practice::kFewestSlow, game::Practice::kMostSlow);
    settings.keepScore = keepScore;
    settings.seconds = game::saturate(seconds);
    settings.pace = paceThousandths / 1000.0;
    settings.soundOff = soundOff;
    settings.again = !againOff;
    std::string query;
    std::string kept;
    std::size_t playable = 0;
    for (const Row& row : rows_) {
        const std::string part = "course=" + row.text;
        const game::Practice alone = reading(part);
        const bool keeps = alone.leftOut.empty() && playable < game::Practice::kMaxCourses;
        playable += keeps;
        if (keeps)
            query += (query.empty() ? "" : "&") + part;
        const std::string why = !row.why.empty() ? row.why : alone.leftOut.empty() ? "" : alone.leftOut.front().why;
        kept += game::joined({kept.empty() ? "" : ",", "{\"kept\":", flag(keeps), keeps ? "" : ",\"why\":", keeps ? "" : json(why),
                              row.fix.empty() ? "" : ",\"fix\":", row.fix.empty() ? "" : json(row.fix), "}"});
    }
    const std::string rest = game::practiceQuery(settings);
    if (!rest.empty())
        query += (query.empty() ? "" : "&") + rest;
    const game::Practice p = reading(query);
    return practiceJson(p, p.courses, "courses", game::notice(p), ",\"rows\":[" + kept + "]");
}

// A course that gives no sums keeps its row, in the link's order, as the
// form would show it; only what has no row is left to the notice.
std::string readingJson(std::string_view query)
{
    std::vector<game::WithoutSums> without;
    game::Practice p = game::readPractice(query, without);
    std::vector<game::Course> rows;
    std::vector<bool> shown(p.leftOut.size());
    std::size_t taken = 0;
    for (const game::WithoutSums& w : without) {
        for (; taken < w.at; ++taken)
            rows.push_back(p.courses[taken]);
        if (rows.size() + (p.courses.size() - taken) < game::Practice::kMaxCourses) {
            rows.push_back(w.course);
            shown[w.item] = true;
        }
    }
    rows.insert(rows.end(), p.courses.begin() + static_cast<long>(taken), p.courses.end());
    std::erase_if(p.leftOut, [&, i = std::size_t{0}](const game::LeftOut&) mutable { return shown[i++]; });
    return practiceJson(p, rows, "rows", game::notice(p));
}

}  // namespace classroom
