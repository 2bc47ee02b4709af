#include "css.h"

#include "forms/control.h"

#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

std::string hex6(std::uint32_t rgb, const char* digits)
{
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i, rgb >>= 4)
        text[static_cast<std::size_t>(i)] = digits[rgb & 0xF];
    return text;
}

}  // namespace

std::string css(std::uint32_t rgb)
{
    return "#" + hex6(rgb, "0123456789ABCDEF");
}

std::string ink(std::uint32_t rgb)
{
    return "var(--ink-" + hex6(rgb, "0123456789abcdef") + ", " + css(rgb) + ")";
}

std::string fixed(double value, int places)
{
    long long scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    const long long n = std::llround(std::abs(value) * static_cast<double>(scale));
    std::string fraction = std::to_string(n % scale);
    fraction.insert(0, static_cast<std::size_t>(places) - fraction.size(), '0');
    return (value < 0 && n != 0 ? "-" : "") + std::to_string(n / scale) + "." + fraction;
}

std::string px(double value)
{
    return fixed(value, 4) + "px";
}

std::string faces()
{
    std::string out;
    for (const std::string_view face : forms::kFaces)
        out += "\"" + std::string(face) + "\", ";
    return out + "sans-serif";
}

}  // namespace platform
