#include "practice.h"

#include "form1_table.h"

#include "kinds/parts.h"
#include "practice_notes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace game {
namespace {

// Enough for six courses with every option; the rest of a longer link is
// not read at all.
constexpr std::size_t kMaxQuery = 1024;


int hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// %XX escapes undone; "+" is a blank, as in a form's query.
std::optional<std::string> decoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] != '%') {
            out += text[i];
        } else if (i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// A whole number of at most three digits within lo .. hi.
std::optional<int> whole(std::string_view text, int lo, int hi)
{
    const std::optional<long long> value = digitsValue(text, 3);
    if (!value || *value < lo || *value > hi)
        return std::nullopt;
    return static_cast<int>(*value);
}

// "7", "2,5", "1-9", "5,2": the tables 1 to 9, each once, in the order given.
std::optional<std::vector<std::uint8_t>> tableList(std::string_view text)
{
    std::vector<std::uint8_t> tables;
    for (const std::string_view item : split(text, ',')) {
        const std::vector<std::string_view> ends = split(item, '-');
        if (ends.size() > 2)
            return std::nullopt;
        const std::optional<int> a = whole(ends.front(), 1, 9);
        const std::optional<int> b = whole(ends.back(), 1, 9);
        if (!a || !b || *a > *b)
            return std::nullopt;
        for (int d = *a; d <= *b; ++d) {
            if (std::find(tables.begin(), tables.end(), d) == tables.end())
                tables.push_back(static_cast<std::uint8_t>(d));
        }
    }
    return tables;
}

// A course, or why it was left out; a course that gives no sums has both.
struct Reading {
    std::optional<Course> course;
    std::string why;
};

// kind:numbers[:word], as the kind's form says.
Reading readCourse(std::string_view text)
{
    const std::vector<std::string_view> fields = split(text, ':');
    Course c;
    c.kind = kindNamed(fields.front());
    if (!c.kind)
        return {{}, reasonText(Reason::UnknownCourse)};
    const CourseKind::Form& form = c.kind->form();
    if (fields.size() < 2 || fields[1].empty())
        return {{}, reasonText(Reason::NoNumbers, &form)};
    if (fields.size() > 3)
        return {{}, reasonText(Reason::Option, &form)};
    if (fields.size() == 3) {
        for (std::size_t i = 0; i < form.options.size(); ++i) {
            if (fields[2] == form.options[i].word)
                c.option = static_cast<std::uint8_t>(i + 1);
        }
        if (c.option == 0)
            return {{}, reasonText(Reason::Option, &form)};
    }
    if (form.tables) {
        std::optional<std::vector<std::uint8_t>> tables = tableList(fields[1]);
        if (!tables)
            return {{}, reasonText(Reason::Tables)};
        c.tables = std::move(*tables);
        if (!c.kind->ordered(c)) {
            // Each once, ascending.
            std::vector<std::uint8_t> ascending;
            for (std::uint8_t d = 1; d <= 9; ++d) {
                if (c.hasTable(d))
                    ascending.push_back(d);
            }
            c.tables = std::move(ascending);
        }
    } else {
        const std::vector<std::string_view> ends = split(fields[1], '-');
        const std::optional<int> a = ends.size() <= 2 ? whole(ends.front(), form.lowest, form.highest) : std::nullopt;
        const std::optional<int> b = ends.size() <= 2 ? whole(ends.back(), form.lowest, form.highest) : std::nullopt;
        if (!a || !b || *a > *b)
            return {{}, reasonText(Reason::Range, &form)};
        c.from = static_cast<Integer>(*a);
        c.to = static_cast<Integer>(*b);
    }
    if (const std::optional<std::string_view> fault = c.kind->fault(c))
        return {c, std::string(*fault)};
    return {c, {}};
}

// A decimal from 0.25 to 1, with at most three places; -1 when it is not.
double paceValue(const std::string& v)
{
    const std::size_t dot = v.find('.');
    const std::string_view units = std::string_view(v).substr(0, dot);
    const std::string_view places = dot == std::string::npos ? "" : std::string_view(v).substr(dot + 1);
    const std::optional<int> u = whole(units.empty() ? "0" : units, 0, 1);
    const bool digits = places.size() <= 3 && std::all_of(places.begin(), places.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!u || !digits || (units.empty() && places.empty()))
        return -1;
    double pace = *u;
    double scale = 0.1;
    for (const char c : places) {
        pace += (c - '0') * scale;
        scale /= 10;
    }
    return pace;
}

}  // namespace

namespace {

// The link's reading; `withoutSums` is told of each course read whole that
// gives no sums (the game's own reading tells no one).
template <class Told>
Practice readWith(std::string_view query, std::span<const std::string_view> alsoKnown, Told withoutSums)
{
    Practice p;
    // A whole link pasted (an address, then "?", perhaps a "#" at the end):
    // its query. Before a query's own "?" there is no "=".
    if (const std::size_t mark = query.find('?'); mark != std::string_view::npos && query.substr(0, mark).find('=') == std::string_view::npos) {
        query.remove_prefix(mark + 1);
        query = query.substr(0, query.find('#'));
    }
    if (query.size() > kMaxQuery) {
        p.leftOut.push_back({quoted(query.substr(kMaxQuery)), reasonText(Reason::TooLong)});
        query = query.substr(0, kMaxQuery);
    }
    bool timeSeen = false, paceSeen = false, soundSeen = false, againSeen = false, slowSeen = false, missSeen = false,
         answerSeen = false;
    for (const std::string_view raw : split(query, '&')) {
        if (raw.empty())
            continue;
        const std::size_t eq = raw.find('=');
        const std::optional<std::string> key = decoded(raw.substr(0, eq));
        const std::optional<std::string> value =
            eq == std::string_view::npos ? std::optional<std::string>() : decoded(raw.substr(eq + 1));
        const auto leave = [&](std::string why) { p.leftOut.push_back({quoted(raw), std::move(why)}); };
        // A switch of the link: its one word (off), once.
        const auto offOnce = [&](bool& seen, Reason other, std::string_view word = "off") {
            const bool off = !seen && *value == word;
            if (!off)
                leave(reasonText(seen ? Reason::Twice : other));
            seen = true;
            return off;
        };
        // A number within lo .. hi, once: a second is left out, and so is one
        // out of range, which leaves room for a good one after it.
        const auto wholeOnce = [&](bool& seen, int lo, int hi, Reason other) {
            const std::optional<int> s = whole(*value, lo, hi);
            if (seen || !s)
                leave(reasonText(seen ? Reason::Twice : other));
            const bool taken = !seen && s;
            seen = seen || s;
            return taken ? s : std::nullopt;
        };
        if (key && std::find(alsoKnown.begin(), alsoKnown.end(), *key) != alsoKnown.end())
            continue;
        if (!key || !value) {
            leave(reasonText(Reason::Unreadable));
        } else if (*key == "course") {
            Reading r = readCourse(*value);
            if (!r.why.empty() && r.course)
                withoutSums(*r.course, p.courses.size(), p.leftOut.size());
            if (!r.why.empty())
                leave(r.why);
            else if (p.courses.size() == Practice::kMaxCourses)
                leave(reasonText(Reason::SixCourses));
            else
                p.courses.push_back(std::move(*r.course));
        } else if (*key == "time") {
            if (const std::optional<int> s = wholeOnce(timeSeen, Practice::kFewestSeconds, Practice::kMostSeconds, Reason::Time))
                p.seconds = static_cast<Integer>(*s);
        } else if (*key == "pace") {
            const double pace = paceValue(*value);
            const bool inRange = pace >= Practice::kSlowestPace - 1e-9 && pace <= 1 + 1e-9;
            if (paceSeen)
                leave(reasonText(Reason::Twice));
            else if (!inRange)
                leave(reasonText(Reason::Pace));
            else
                p.pace = pace;
            paceSeen = paceSeen || inRange;
        } else if (*key == "sound") {
            p.soundOff = offOnce(soundSeen, Reason::Sound) || p.soundOff;
        } else if (*key == "again") {
            p.again = !offOnce(againSeen, Reason::Again) && p.again;
        } else if (*key == "miss") {
            p.keepScore = offOnce(missSeen, Reason::Miss, "keep") || p.keepScore;
        } else if (*key == "answer") {
            p.typed = offOnce(answerSeen, Reason::Answer, "type") || p.typed;
        } else if (*key == "slow") {
            if (const std::optional<int> s = wholeOnce(slowSeen, Practice::kFewestSlow, Practice::kMostSlow, Reason::Slow))
                p.slow = *s;
        } else {
            leave(reasonText(Reason::UnknownName));
        }
    }
    // A remainder cannot be typed with digits alone: such courses are chosen.
    if (p.typed && std::any_of(p.courses.begin(), p.courses.end(), [](const Course& c) { return c.kind->remainders(c); })) {
        p.typed = false;
        p.leftOut.push_back({"answer=type", reasonText(Reason::TypedRest)});
    }
    return p;
}

}  // namespace

Practice readPractice(std::string_view query, std::span<const std::string_view> alsoKnown)
{
    return readWith(query, alsoKnown, [](const Course&, std::size_t, std::size_t) {});
}

Practice readPractice(std::string_view query, std::vector<WithoutSums>& withoutSums)
{
    return readWith(query, {}, [&](const Course& c, std::size_t at, std::size_t item) { withoutSums.push_back({c, at, item}); });
}

std::string notice(const Practice& practice)
{
    if (practice.leftOut.empty())
        return {};
    std::string items;
    for (const LeftOut& item : practice.leftOut)
        items += joined({items.empty() ? "" : " / ", item.part, "（", item.why, "）"});
    return noticeLine(items);
}

std::string courseText(const Course& c)
{
    const CourseKind::Form& form = c.kind->form();
    std::string text = std::string(form.word) + ":";
    if (form.tables)
        text += kinds::tablesText(c.tables);
    else
        text += c.from == c.to ? std::to_string(c.from) : std::to_string(c.from) + "-" + std::to_string(c.to);
    if (c.option != 0)
        text += ":" + std::string(form.options[c.option - 1u].word);
    return text;
}

std::string practiceQuery(const Practice& practice)
{
    std::string q;
    const auto add = [&q](const std::string& part) { q += (q.empty() ? "" : "&") + part; };
    for (const Course& c : practice.courses)
        add("course=" + courseText(c));
    if (practice.seconds != Practice::kSeconds)
        add("time=" + std::to_string(practice.seconds));
    if (practice.pace < 1) {
        std::string pace = std::to_string(static_cast<int>(std::lround(practice.pace * 1000)));
        pace = "0." + std::string(3 - std::min<std::size_t>(3, pace.size()), '0') + pace;
        while (pace.ends_with('0'))
            pace.pop_back();
        add("pace=" + pace);
    }
    if (practice.soundOff)
        add("sound=off");
    if (!practice.again)
        add("again=off");
    if (practice.slow != Practice::kSlow)
        add("slow=" + std::to_string(practice.slow));
    if (practice.keepScore)
        add("miss=keep");
    if (practice.typed)
        add("answer=type");
    return q;
}

std::string shortName(const Course& c)
{
    return c.kind->shortName(c);
}

std::string fullName(const Course& c)
{
    return c.kind->fullName(c);
}

std::string courseName(std::span<const Course> courses, int k)
{
    const std::size_t at = static_cast<std::size_t>(std::clamp(k, 1, 6));
    if (courses.empty())
        return std::string(kAnimals[at]);
    return at <= courses.size() ? shortNames(courses)[at - 1] : std::string();
}

std::vector<std::string> shortNames(std::span<const Course> courses)
{
    std::vector<std::string> names;
    for (const Course& c : courses)
        names.push_back(shortName(c));
    std::vector<std::string> told = names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::count(names.begin(), names.end(), names[i]) > 1)
            told[i] += std::to_string(std::count(names.begin(), names.begin() + static_cast<long>(i) + 1, names[i]));
    }
    return told;
}

std::vector<std::string> fullNames(std::span<const Course> courses)
{
    const std::vector<std::string> names = shortNames(courses);
    std::vector<std::string> full;
    for (std::size_t i = 0; i < courses.size(); ++i)
        full.push_back(names[i] + fullName(courses[i]).substr(shortName(courses[i]).size()));
    return full;
}

}  // namespace game
