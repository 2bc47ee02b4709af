#include "card.h"

#include "practice.h"

#include <algorithm>
#include <array>

namespace game {
namespace {

// 29 signs, a prime number of them: digits, and the capitals that cannot be
// taken for a digit or for one another (no B, I, L, O, S, U, Z).
constexpr std::string_view kSigns = "0123456789ACDEFGHJKMNPQRTVWXY";
constexpr unsigned kBase = 29;
constexpr std::size_t kPayload = 16;
constexpr std::size_t kLength = kPayload + 2;
constexpr std::size_t kMaxText = 800;
constexpr std::string_view kPrefix = "PMR";

// What a hand or a reader may put for a sign: the look-alikes the signs
// leave out, small letters, full-width forms.
constexpr std::string_view kLookAlike = "OILBSZU";
constexpr std::string_view kMeant = "011852V";

// A whole number of 16 base-29 digits, most significant first, made of
// fields in mixed radix: the first field pushed is the most significant,
// the first taken is the least.
class Digits {
public:
    void push(unsigned value, unsigned radix)
    {
        unsigned carry = value;
        for (std::size_t i = kPayload; i-- > 0;) {
            const unsigned x = d_[i] * radix + carry;
            d_[i] = static_cast<std::uint8_t>(x % kBase);
            carry = x / kBase;
        }
    }
    unsigned take(unsigned radix)
    {
        unsigned rest = 0;
        for (std::uint8_t& digit : d_) {
            const unsigned x = rest * kBase + digit;
            digit = static_cast<std::uint8_t>(x / radix);
            rest = x % radix;
        }
        return rest;
    }
    bool zero() const { return std::all_of(d_.begin(), d_.end(), [](std::uint8_t d) { return d == 0; }); }
    std::array<std::uint8_t, kPayload>& digits() { return d_; }

private:
    std::array<std::uint8_t, kPayload> d_{};
};

// The fields of the short code, least significant first, and their radices.
enum Field : std::size_t { Version, Number, Slot, Link, Points, Right, Wrong, Fell, kFields };
constexpr std::array<unsigned, kFields> kRadix{8, Card::kMaxNumber + 1, 12, 65536, 32768,
                                               Card::kMaxCount + 1, Card::kMaxCount + 1, Card::kMaxCount + 1};

// The payload as shown: each digit moved on by its own amount and by 7
// times the shown digit after it, so that a change anywhere changes every
// sign before it and two cards seldom begin alike. Undone from the front.
void shown(std::array<std::uint8_t, kPayload>& d)
{
    for (std::size_t i = kPayload; i-- > 0;)
        d[i] = static_cast<std::uint8_t>((d[i] + 11 * i + 5 + (i + 1 < kPayload ? 7 * d[i + 1] : 0)) % kBase);
}

void unshown(std::array<std::uint8_t, kPayload>& d)
{
    for (std::size_t i = 0; i < kPayload; ++i)
        d[i] = static_cast<std::uint8_t>((d[i] + 29 * 29 - 11 * i - 5 - (i + 1 < kPayload ? 7 * d[i + 1] : 0)) % kBase);
}

// Weighted and plain sums of the signs, both 0 modulo 29 for a whole code:
// one sign wrong, two wrong, or any two swapped change one of them.
std::array<unsigned, 2> checks(std::span<const std::uint8_t> d)
{
    unsigned weighted = 0, plain = 0;
    for (std::size_t i = 0; i < d.size(); ++i) {
        weighted += static_cast<unsigned>(i + 1) * d[i];
        plain += d[i];
    }
    return {weighted % kBase, plain % kBase};
}

unsigned clamped(int value, int most)
{
    return static_cast<unsigned>(std::clamp(value, 0, most));
}

// The signs of a short code typed or read, or none.
std::optional<std::array<std::uint8_t, kLength>> signsOf(std::string_view text)
{
    std::array<std::uint8_t, kLength> d{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        // Full-width forms (U+FF01 to U+FF5E, EF BC 81 to EF BD 9E) and the
        // ideographic space (E3 80 80), as a Japanese keyboard types them.
        if (c == 0xE3 && text.substr(i, 3) == "\u3000") {
            i += 2;
            continue;
        }
        // Each of them whole: EF BC or EF BD before a byte that continues
        // no character is no sign, and takes nothing after it along.
        if (c == 0xEF && i + 2 < text.size()) {
            const unsigned lead = static_cast<unsigned char>(text[i + 1]), last = static_cast<unsigned char>(text[i + 2]);
            const bool wide = (lead == 0xBC && last >= 0x81 && last <= 0xBF) || (lead == 0xBD && last >= 0x80 && last <= 0x9E);
            if (!wide)
                return std::nullopt;
            c = static_cast<unsigned char>((lead == 0xBC ? last - 0x80 : last - 0x40) + 0x20);
            i += 2;
        }
        if (c == ' ' || c == '-')
            continue;
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        if (const std::size_t like = kLookAlike.find(static_cast<char>(c)); like != std::string_view::npos)
            c = static_cast<unsigned char>(kMeant[like]);
        const std::size_t sign = kSigns.find(static_cast<char>(c));
        if (sign == std::string_view::npos || n == kLength)
            return std::nullopt;
        d[n++] = static_cast<std::uint8_t>(sign);
    }
    if (n != kLength)
        return std::nullopt;
    return d;
}

// Plain decimal digits, at most 12 of them, and no more than `most`.
std::optional<long long> numberIn(std::string_view text, long long most)
{
    const std::optional<long long> value = digitsValue(text, 12);
    if (!value || *value > most)
        return std::nullopt;
    return value;
}

// The signs of a sum in the QR code; ':' divides, as '/' parts the fields.
constexpr std::string_view kOps = "+-x:";

std::string sumCode(const Sum& s)
{
    std::string out = joined({numberText(s.num1), kOps.substr(static_cast<std::size_t>(s.op), 1), numberText(s.num2)});
    if (s.op2 != Op::Plus || s.num3 != 0)
        out += joined({kOps.substr(static_cast<std::size_t>(s.op2), 1), numberText(s.num3)});
    return out;
}

// "7x8", "23:4", "4+3-2": the numbers and signs of a sum, its answer worked
// out again, never below 0 at any step.
std::optional<Sum> sumOf(std::string_view text, const CourseKind* kind)
{
    Sum s{.kind = kind};
    const std::size_t first = text.find_first_of(kOps);
    const std::size_t second = first == std::string_view::npos ? first : text.find_first_of(kOps, first + 1);
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto a = numberIn(text.substr(0, first), 32767);
    const auto b = numberIn(text.substr(first + 1, second == std::string_view::npos ? second : second - first - 1), 32767);
    const auto c = second == std::string_view::npos ? std::optional<long long>(0) : numberIn(text.substr(second + 1), 32767);
    if (!a || !b || !c)
        return std::nullopt;
    s.num1 = static_cast<Integer>(*a);
    s.num2 = static_cast<Integer>(*b);
    s.num3 = static_cast<Integer>(*c);
    s.op = static_cast<Op>(kOps.find(text[first]));
    s.op2 = second == std::string_view::npos ? Op::Plus : static_cast<Op>(kOps.find(text[second]));
    long long value = 0;
    switch (s.op) {
    case Op::Plus: value = *a + *b; break;
    case Op::Minus: value = *a - *b; break;
    case Op::Times: value = *a * *b; break;
    case Op::Divide:
        if (*b == 0)
            return std::nullopt;
        value = *a / *b;
        s.rest = static_cast<Integer>(*a % *b);
        break;
    }
    if (second != std::string_view::npos) {
        if (s.op > Op::Minus || s.op2 > Op::Minus || value < 0)
            return std::nullopt;
        value = s.op2 == Op::Plus ? value + *c : value - *c;
    }
    if (value < 0 || value > 32767)
        return std::nullopt;
    s.answer = static_cast<Integer>(value);
    return s;
}

// A list of sums, each followed by how often when more than once:
// "7x8*3,6x9". Counts stop at kMaxCount.
std::string listCode(std::span<const Sum> sums, std::span<const int> times)
{
    std::string out;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const int n = i < times.size() ? std::clamp(times[i], 1, Card::kMaxCount) : 1;
        out += joined({i ? "," : "", sumCode(sums[i]), n > 1 ? "*" + numberText(n) : std::string()});
    }
    return out;
}

// A list read back: its sums, at most `most`, and their counts (only with
// `counted`), a count being 2 to kMaxCount; false if any part is wrong.
bool readList(std::string_view text, const CourseKind* kind, std::size_t most, bool counted, std::vector<Sum>& sums,
              std::vector<int>& times)
{
    if (text.empty())
        return true;
    for (const std::string_view item : split(text, ',')) {
        const std::size_t star = counted ? item.find('*') : std::string_view::npos;
        const std::optional<Sum> sum = sumOf(item.substr(0, star), kind);
        const auto n = star == std::string_view::npos ? std::optional<long long>(1) : numberIn(item.substr(star + 1), Card::kMaxCount);
        if (!sum || !n || *n < 1 || (star != std::string_view::npos && *n < 2) || sums.size() == most)
            return false;
        sums.push_back(*sum);
        times.push_back(static_cast<int>(*n));
    }
    times = tallies(std::move(times));
    return true;
}

std::optional<Stamp> stampOf(std::string_view text)
{
    if (text.size() != 12 || !numberIn(text, 999999999999))
        return std::nullopt;
    const auto at = [&](std::size_t from, std::size_t n) { return static_cast<int>(*numberIn(text.substr(from, n), 9999)); };
    const Stamp s{at(0, 4), at(4, 2), at(6, 2), at(8, 2), at(10, 2)};
    if (s.year < 2000 || s.year > 2099 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 || s.hour > 23 || s.minute > 59)
        return std::nullopt;
    return s;
}

CardReading refused(std::string_view why, bool typed = false)
{
    return {std::nullopt, std::string(why), typed};
}

constexpr std::string_view kNotACard = "このゲームの けっかカードでは ありません";  // not drawn
constexpr std::string_view kMistyped = "コードが あいません。打ちまちがいが ないか 見てください";  // not drawn
constexpr std::string_view kImpossible = "ありえない あたいが あります";  // not drawn
constexpr std::string_view kNewer = "新しい版の カードです。このページを 新しくしてください";  // not drawn

// The short code's fields, checked; the card's other fields left as they are.
std::optional<std::string_view> readShort(std::string_view text, Card& card)
{
    const auto signs = signsOf(text);
    if (!signs)
        return kNotACard;
    if (checks(*signs) != std::array<unsigned, 2>{0, 0})
        return kMistyped;
    Digits n;
    std::copy_n(signs->begin(), kPayload, n.digits().begin());
    unshown(n.digits());
    std::array<unsigned, kFields> f{};
    for (std::size_t i = 0; i < kFields; ++i)
        f[i] = n.take(kRadix[i]);
    if (f[Version] != Card::kVersion)
        return f[Version] > Card::kVersion ? kNewer : kImpossible;
    const bool link = f[Slot] >= 6;
    if (!n.zero() || link != (f[Link] != 0))
        return kImpossible;
    card.number = static_cast<int>(f[Number]);
    card.course = static_cast<int>(f[Slot] % 6 + 1);
    card.link = static_cast<std::uint16_t>(f[Link]);
    card.points = static_cast<Integer>(f[Points]);
    card.right = static_cast<int>(f[Right]);
    card.wrong = static_cast<int>(f[Wrong]);
    card.fell = static_cast<int>(f[Fell]);
    return std::nullopt;
}

}  // namespace

int rightPerMinute(const Card& card)
{
    return card.seconds > 0 ? static_cast<int>(static_cast<long long>(card.right) * 60 / card.seconds) : 0;
}

std::uint16_t linkMark(std::span<const Course> courses)
{
    std::uint32_t h = 2166136261u;  // FNV-1a over the courses as the link writes them
    for (const Course& c : courses) {
        for (const char ch : courseText(c) + "&")
            h = (h ^ static_cast<unsigned char>(ch)) * 16777619u;
    }
    const auto mark = static_cast<std::uint16_t>((h >> 16) ^ (h & 0xFFFF));
    return mark == 0 ? 1 : mark;
}

std::string shortCode(const Card& card)
{
    const bool link = card.link != 0;
    const std::array<unsigned, kFields> f{Card::kVersion, clamped(card.number, Card::kMaxNumber),
                                          clamped(card.course - 1, 5) + (link ? 6 : 0), card.link,
                                          clamped(card.points, 32767), clamped(card.right, Card::kMaxCount),
                                          clamped(card.wrong, Card::kMaxCount), clamped(card.fell, Card::kMaxCount)};
    Digits n;
    for (std::size_t i = kFields; i-- > 0;)
        n.push(f[i], kRadix[i]);
    shown(n.digits());
    std::array<std::uint8_t, kLength> d{};
    std::copy(n.digits().begin(), n.digits().end(), d.begin());
    // Two signs that bring both sums to 0: weights 17 and 18, then 1 and 1.
    const auto [weighted, plain] = checks(std::span(d).first(kPayload));
    d[kPayload + 1] = static_cast<std::uint8_t>((17 * plain + kBase - weighted) % kBase);
    d[kPayload] = static_cast<std::uint8_t>((2 * kBase - plain - d[kPayload + 1]) % kBase);
    std::string out;
    for (std::size_t i = 0; i < kLength; ++i)
        out += joined({i > 0 && i % 4 == 0 ? " " : "", kSigns.substr(d[i], 1)});
    return out;
}

std::string cardText(const Card& card)
{
    std::string code = shortCode(card);
    std::erase(code, ' ');
    std::string courses;
    for (const Course& c : card.courses)
        courses += joined({courses.empty() ? "" : ";", courseText(c)});
    const Stamp& w = card.when;
    const auto count = [](int n, std::size_t listed) {
        return numberText(std::max<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), listed));
    };
    return joined({kPrefix, numberText(Card::kTextVersion), "/", code, "/", numberText(std::max<int>(0, card.perMinute)), "/",
                   numberText(card.seconds), "/", numberText(card.pace), "/", numberText(w.year), numberText(w.month, 2),
                   numberText(w.day, 2), numberText(w.hour, 2), numberText(w.minute, 2), "/",
                   count(card.missedCount, card.missed.size()), "/", listCode(card.missed, card.missedTimes), "/", courses,
                   "/", count(card.slowCount, card.slow.size()), "/", listCode(card.slow, card.slowTimes), "/",
                   card.medianTenths < 0 ? std::string() : numberText(std::min(card.medianTenths, Card::kMaxTenths)),
                   "/", card.typedAnswers ? "t" : ""});
}

Card fittedToCode(Card card)
{
    while (cardText(card).size() > Card::kMaxCodeText && !(card.missed.empty() && card.slow.empty())) {
        const bool missed = card.missed.size() >= card.slow.size();
        std::vector<Sum>& list = missed ? card.missed : card.slow;
        std::vector<int>& times = missed ? card.missedTimes : card.slowTimes;
        list.pop_back();
        times.resize(std::min(times.size(), list.size()));
        times = tallies(std::move(times));
    }
    return card;
}

std::vector<int> tallies(std::vector<int> counts)
{
    if (std::all_of(counts.begin(), counts.end(), [](int n) { return n == 1; }))
        counts.clear();
    return counts;
}

CardReading readCard(std::string_view text)
{
    if (text.size() > kMaxText)
        return refused(kNotACard);
    Card card;
    if (!text.starts_with(kPrefix)) {
        if (const auto why = readShort(text, card))
            return refused(*why, true);
        return {card, {}, true};
    }
    const std::vector<std::string_view> f = split(text.substr(kPrefix.size()), '/');
    const auto version = numberIn(f[0], 999);
    if (!version)
        return refused(kNotACard);
    if (*version < 1 || *version > Card::kTextVersion)
        return refused(*version > Card::kTextVersion ? kNewer : kNotACard);
    // Version 1 has nine fields; 2 adds the slow sums, the median time and
    // the way of answering.
    const bool first = *version == 1;
    if (f.size() != (first ? 9u : 13u))
        return refused(kNotACard);
    if (const auto why = readShort(f[1], card))
        return refused(*why);
    const auto perMinute = numberIn(f[2], 32767), seconds = numberIn(f[3], 600), pace = numberIn(f[4], 100);
    const auto when = stampOf(f[5]);
    const auto missedCount = numberIn(f[6], 99999);
    if (!perMinute || !seconds || *seconds < 30 || !pace || *pace < 25 || !when || !missedCount)
        return refused(kImpossible);
    card.perMinute = static_cast<Integer>(*perMinute);
    card.seconds = static_cast<Integer>(*seconds);
    card.pace = static_cast<int>(*pace);
    card.when = *when;
    card.missedCount = static_cast<int>(*missedCount);
    if (!f[8].empty()) {
        std::string query;
        for (const std::string_view c : split(f[8], ';'))
            query += joined({query.empty() ? "" : "&", "course=", c});
        const Practice practice = readPractice(query);
        if (!practice.leftOut.empty() || practice.courses.empty())
            return refused(kImpossible);
        card.courses = practice.courses;
    }
    if (card.link != (card.courses.empty() ? 0 : linkMark(card.courses)) ||
        (!card.courses.empty() && static_cast<std::size_t>(card.course) > card.courses.size()))
        return refused(kImpossible);
    const CourseKind* kind = card.courses.empty() ? nullptr : card.courses[static_cast<std::size_t>(card.course - 1)].kind;
    const std::size_t most = first ? Card::kMaxMissed : kMaxText;
    if (!readList(f[7], kind, most, !first, card.missed, card.missedTimes))
        return refused(kImpossible);
    if (!first) {
        const auto slowCount = numberIn(f[9], 99999);
        const auto median = f[11].empty() ? std::optional<long long>(-1) : numberIn(f[11], Card::kMaxTenths);
        if (!slowCount || !median || (f[12] != "" && f[12] != "t") ||
            !readList(f[10], kind, most, true, card.slow, card.slowTimes))
            return refused(kImpossible);
        card.typedAnswers = f[12] == "t";
        card.slowCount = static_cast<int>(*slowCount);
        card.medianTenths = static_cast<int>(*median);
    }
    if (static_cast<std::size_t>(card.missedCount) < card.missed.size() || static_cast<std::size_t>(card.slowCount) < card.slow.size())
        return refused(kImpossible);
    return {card, {}, false};
}

}  // namespace game
