#include "sum.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace game {

std::string joined(std::initializer_list<std::string_view> pieces)
{
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view piece : pieces)
        out += piece;
    return out;
}

std::string numberText(long long value)
{
    return std::to_string(value);
}

std::string numberText(long long value, std::size_t width)
{
    std::string text = numberText(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

std::optional<long long> digitsValue(std::string_view text, std::size_t most)
{
    if (text.empty() || text.size() > most)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
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

std::string_view signText(Op op)
{
    switch (op) {
    case Op::Minus:
        return "-";
    case Op::Times:
        return "×";
    case Op::Divide:
        return "÷";
    case Op::Plus:
        break;
    }
    return "+";
}

#if defined(__cpp_lib_to_chars)
double captionValue(std::string_view caption)
{
    double value = 0;
    const char* end = caption.data() + caption.size();
    const auto [ptr, ec] = std::from_chars(caption.data(), end, value);
    if (caption.empty() || ec != std::errc{} || ptr != end)
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}
#else
// Standard libraries without std::from_chars for double (libc++ 14, which
// the browser build uses): the caption must be a plain decimal number,
// [-]digits[.digits][e[+|-]digits], and is read here rather than by strtod,
// whose long-double arithmetic would weigh more than the rest of the rules.
// Read exactly, as from_chars does, wherever the digits make a whole number
// below 2^53 and the power of ten is at most 22 either way (every caption
// the game writes, and far beyond); past that, to within a unit of the last
// place.
double captionValue(std::string_view caption)
{
    std::size_t at = caption.starts_with('-') ? 1 : 0;
    std::uint64_t whole = 0;
    int shift = 0;         // the power of ten the digits are to be taken at
    bool exact = true;     // whole holds every digit
    std::size_t digits = 0;
    const auto take = [&](bool fraction) {
        for (; at < caption.size() && caption[at] >= '0' && caption[at] <= '9'; ++at, ++digits) {
            if (whole < (std::uint64_t{1} << 53) / 10) {
                whole = whole * 10 + static_cast<std::uint64_t>(caption[at] - '0');
                shift -= fraction;
            } else {
                exact = exact && caption[at] == '0';
                shift += !fraction;
            }
        }
    };
    take(false);
    if (at < caption.size() && caption[at] == '.') {
        ++at;
        take(true);
    }
    bool number = digits > 0;
    if (number && at < caption.size() && (caption[at] == 'e' || caption[at] == 'E')) {
        ++at;
        const bool negative = at < caption.size() && caption[at] == '-';
        at += at < caption.size() && (caption[at] == '+' || caption[at] == '-');
        int exponent = 0;
        const std::size_t from = at;
        for (; at < caption.size() && caption[at] >= '0' && caption[at] <= '9'; ++at)
            exponent = std::min(exponent * 10 + (caption[at] - '0'), 100000);
        number = at > from;
        shift += negative ? -exponent : exponent;
    }
    if (!number || at != caption.size())
        return std::numeric_limits<double>::quiet_NaN();
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double value = static_cast<double>(whole);
    double result = 0;
    if (whole == 0)
        result = 0;
    else if (shift >= 0 && shift <= 22 && exact)
        result = value * kPowers[shift];
    else if (shift < 0 && shift >= -22 && exact)
        result = value / kPowers[-shift];
    else
        result = value * std::pow(10.0, shift);
    return caption.starts_with('-') ? -result : result;
}
#endif

std::string answerText(Answer answer)
{
    if (answer.rest == 0)
        return numberText(answer.value);
    return joined({numberText(answer.value), "あまり", numberText(answer.rest)});
}

}  // namespace game
