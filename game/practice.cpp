#include "practice.h"

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

using Kind = Course::Kind;
using Carry = Course::Carry;

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
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> split(std::string_view text, char by)
{
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(by, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

// "7", "2,5", "1-9", "2,4-6": the tables 1 to 9 as bits.
std::optional<std::uint16_t> danList(std::string_view text)
{
    std::uint16_t dans = 0;
    for (const std::string_view item : split(text, ',')) {
        const std::vector<std::string_view> ends = split(item, '-');
        if (ends.size() > 2)
            return std::nullopt;
        const std::optional<int> a = whole(ends.front(), 1, 9);
        const std::optional<int> b = whole(ends.back(), 1, 9);
        if (!a || !b || *a > *b)
            return std::nullopt;
        for (int d = *a; d <= *b; ++d)
            dans = static_cast<std::uint16_t>(dans | 1u << d);
    }
    return dans;
}

struct Reading {
    std::optional<Course> course;
    Note why = Note::Unreadable;
};

Reading readCourse(std::string_view text)
{
    const std::vector<std::string_view> fields = split(text, ':');
    Course c;
    const std::string_view kind = fields.front();
    if (kind == "times" || kind == "div") {
        c.kind = kind == "times" ? Kind::Times : Kind::Divide;
        if (fields.size() != 2)
            return {{}, Note::NoTables};
        const std::optional<std::uint16_t> dans = danList(fields[1]);
        if (!dans)
            return {{}, Note::Tables};
        c.dans = *dans;
        return {c};
    }
    if (kind != "add" && kind != "sub")
        return {{}, Note::UnknownCourse};
    c.kind = kind == "add" ? Kind::Add : Kind::Subtract;
    if (fields.size() < 2 || fields.size() > 3)
        return {{}, Note::NoRange};
    const std::vector<std::string_view> ends = split(fields[1], '-');
    const std::optional<int> a = ends.size() == 2 ? whole(ends[0], 1, 99) : std::nullopt;
    const std::optional<int> b = ends.size() == 2 ? whole(ends[1], 1, 99) : std::nullopt;
    if (!a || !b || *a > *b)
        return {{}, Note::Range};
    c.from = static_cast<Integer>(*a);
    c.to = static_cast<Integer>(*b);
    if (fields.size() == 3) {
        const std::string_view only = c.kind == Kind::Add ? "carry" : "borrow";
        const std::string_view never = c.kind == Kind::Add ? "nocarry" : "noborrow";
        if (fields[2] == only)
            c.carry = Carry::Only;
        else if (fields[2] == never)
            c.carry = Carry::Never;
        else
            return {{}, c.kind == Kind::Add ? Note::CarryWord : Note::BorrowWord};
    }
    if (sumCount(c) == 0)
        return {{}, Note::NoSums};
    return {c};
}

// "2,5" or "1-9": the tables as a teacher writes them.
std::string danText(std::uint16_t dans)
{
    std::string out;
    for (int d = 1; d <= 9;) {
        if (!(dans >> d & 1u)) {
            ++d;
            continue;
        }
        int last = d;
        while (last < 9 && (dans >> (last + 1) & 1u))
            ++last;
        if (!out.empty())
            out += ',';
        out += std::to_string(d);
        if (last >= d + 2)
            out += "-" + std::to_string(last);
        else if (last == d + 1)
            out += "," + std::to_string(last);
        d = last + 1;
    }
    return out;
}

std::vector<int> danNumbers(std::uint16_t dans)
{
    std::vector<int> out;
    for (int d = 1; d <= 9; ++d) {
        if (dans >> d & 1u)
            out.push_back(d);
    }
    return out;
}

// The tables as a child reads them: one, two, a run, or every one; none
// when they are too many to name on a button.
std::optional<std::string> danName(std::uint16_t dans, std::string_view twoJoin, std::string_view runJoin)
{
    const std::vector<int> d = danNumbers(dans);
    if (d.empty())
        return std::nullopt;
    if (d.size() == 1)
        return std::to_string(d[0]);
    if (d.size() == 2)
        return std::to_string(d[0]) + std::string(twoJoin) + std::to_string(d[1]);
    if (d.back() - d.front() + 1 == static_cast<int>(d.size()))
        return std::to_string(d.front()) + std::string(runJoin) + std::to_string(d.back());
    return std::nullopt;
}

}  // namespace

bool fits(const Course& c, int a, int b)
{
    if (c.kind == Kind::Add)
        return c.carry == Carry::Any || (a % 10 + b % 10 >= 10) == (c.carry == Carry::Only);
    return a >= b && (c.carry == Carry::Any || (a % 10 < b % 10) == (c.carry == Carry::Only));
}

int sumCount(const Course& c)
{
    if (c.kind == Kind::Times || c.kind == Kind::Divide)
        return 9 * static_cast<int>(danNumbers(c.dans).size());
    int count = 0;
    for (int a = c.from; a <= c.to; ++a) {
        for (int b = c.from; b <= c.to; ++b)
            count += fits(c, a, b);
    }
    return count;
}

Practice readPractice(std::string_view query, std::span<const std::string_view> alsoKnown)
{
    Practice p;
    if (query.starts_with('?'))
        query.remove_prefix(1);
    if (query.size() > kMaxQuery) {
        p.leftOut.push_back(leftOutItem(query.substr(kMaxQuery), Note::TooLong));
        query = query.substr(0, kMaxQuery);
    }
    bool timeSeen = false, paceSeen = false, soundSeen = false;
    for (const std::string_view raw : split(query, '&')) {
        if (raw.empty())
            continue;
        const std::size_t eq = raw.find('=');
        const std::optional<std::string> key = decoded(raw.substr(0, eq));
        const std::optional<std::string> value =
            eq == std::string_view::npos ? std::optional<std::string>() : decoded(raw.substr(eq + 1));
        const auto leave = [&](Note why) { p.leftOut.push_back(leftOutItem(raw, why)); };
        if (key && std::find(alsoKnown.begin(), alsoKnown.end(), *key) != alsoKnown.end())
            continue;
        if (!key || !value) {
            leave(Note::Unreadable);
        } else if (*key == "course") {
            const Reading r = readCourse(*value);
            if (!r.course)
                leave(r.why);
            else if (p.courses.size() == Practice::kMaxCourses)
                leave(Note::SixCourses);
            else
                p.courses.push_back(*r.course);
        } else if (*key == "time") {
            const std::optional<int> s = whole(*value, 30, 600);
            if (timeSeen)
                leave(Note::Twice);
            else if (!s)
                leave(Note::Time);
            else
                p.seconds = static_cast<Integer>(*s);
            timeSeen = timeSeen || s;
        } else if (*key == "pace") {
            // A decimal from 0.25 to 1, with at most three places.
            const std::string& v = *value;
            const std::size_t dot = v.find('.');
            const std::string_view units = std::string_view(v).substr(0, dot);
            const std::string_view places = dot == std::string::npos ? "" : std::string_view(v).substr(dot + 1);
            const std::optional<int> u = whole(units.empty() ? "0" : units, 0, 1);
            const bool digits = places.size() <= 3 && std::all_of(places.begin(), places.end(), [](char c) { return c >= '0' && c <= '9'; });
            double pace = -1;
            if (u && digits && !(units.empty() && places.empty())) {
                pace = *u;
                double scale = 0.1;
                for (const char c : places) {
                    pace += (c - '0') * scale;
                    scale /= 10;
                }
            }
            const bool inRange = pace >= 0.25 - 1e-9 && pace <= 1 + 1e-9;
            if (paceSeen)
                leave(Note::Twice);
            else if (!inRange)
                leave(Note::Pace);
            else
                p.pace = pace;
            paceSeen = paceSeen || inRange;
        } else if (*key == "sound") {
            if (soundSeen || *value != "off")
                leave(soundSeen ? Note::Twice : Note::Sound);
            else
                p.soundOff = true;
            soundSeen = true;
        } else {
            leave(Note::UnknownName);
        }
    }
    return p;
}

std::string notice(const Practice& practice)
{
    if (practice.leftOut.empty())
        return {};
    std::string items;
    for (std::size_t i = 0; i < practice.leftOut.size(); ++i)
        items += (i ? " / " : "") + practice.leftOut[i];
    return noticeLine(items);
}

std::string practiceQuery(const Practice& practice)
{
    std::string q;
    const auto add = [&q](const std::string& part) { q += (q.empty() ? "" : "&") + part; };
    for (const Course& c : practice.courses) {
        switch (c.kind) {
        case Kind::Times:
        case Kind::Divide:
            add(std::string("course=") + (c.kind == Kind::Times ? "times:" : "div:") + danText(c.dans));
            break;
        case Kind::Add:
        case Kind::Subtract: {
            std::string part = std::string("course=") + (c.kind == Kind::Add ? "add:" : "sub:") + std::to_string(c.from) +
                               "-" + std::to_string(c.to);
            if (c.carry != Carry::Any)
                part += c.kind == Kind::Add ? (c.carry == Carry::Only ? ":carry" : ":nocarry")
                                            : (c.carry == Carry::Only ? ":borrow" : ":noborrow");
            add(part);
            break;
        }
        }
    }
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
    return q;
}

std::string shortName(const Course& c)
{
    switch (c.kind) {
    case Kind::Times:
        if (c.dans == 0x3FE)
            return "くくぜんぶ";
        if (const auto name = danName(c.dans, "と", "〜"))
            return *name + "のだん";
        return "かけざん";
    case Kind::Divide:
        if (danNumbers(c.dans).size() == 1)
            return "わりざん" + std::to_string(danNumbers(c.dans)[0]);
        if (const auto name = danName(c.dans, "と", "〜"))
            return "わり" + *name;
        return "わりざん";
    case Kind::Add:
        return c.carry == Carry::Only ? "くりあがり" : c.carry == Carry::Never ? "あがりなし" : "たしざん";
    case Kind::Subtract:
        return c.carry == Carry::Only ? "くりさがり" : c.carry == Carry::Never ? "さがりなし" : "ひきざん";
    }
    return {};
}

// The short name first, as the button shows it, so that what a screen
// reader says holds what the child sees; then what it leaves out.
std::string fullName(const Course& c)
{
    const std::string name = shortName(c) + "　";
    const auto tables = [&c] { return danName(c.dans, "と", "から").value_or(danText(c.dans)); };
    const std::string range = std::to_string(c.from) + "から" + std::to_string(c.to) + "までの";
    switch (c.kind) {
    case Kind::Times:
        return name + (name.starts_with("かけざん") ? tables() + "のだん" : std::string("かけざん"));
    case Kind::Divide:
        return name + tables() + "で わる" + (name.starts_with("わりざん") ? "" : " わりざん");
    case Kind::Add:
        return name + range + " たしざん" +
               (c.carry == Carry::Only ? " くりあがり あり" : c.carry == Carry::Never ? " くりあがり なし" : "");
    case Kind::Subtract:
        return name + range + " ひきざん" +
               (c.carry == Carry::Only ? " くりさがり あり" : c.carry == Carry::Never ? " くりさがり なし" : "");
    }
    return name;
}

}  // namespace game
