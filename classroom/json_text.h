// The little JSON the teacher's modules hand to their page.
#pragma once

#include <string>
#include <string_view>

// Text as a JSON string; control characters become spaces.
inline std::string json(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
            out += ' ';
        else
            out += c;
    }
    return out + "\"";
}

inline std::string flag(bool on)
{
    return on ? "true" : "false";
}
