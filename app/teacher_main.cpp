// The teacher's page's view of a link, compiled from the same rules as the
// game so that the page never holds a second copy of them: what a link
// gives (its courses as the child will see them, time, pace, sound), the
// link written back as the game reads it, and what it left out.
#include "game/practice.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

// Text as a JSON string.
std::string json(const std::string& text)
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

const char* kindName(game::Course::Kind kind)
{
    switch (kind) {
    case game::Course::Kind::Times: return "times";
    case game::Course::Kind::Divide: return "div";
    case game::Course::Kind::Add: return "add";
    case game::Course::Kind::Subtract: return "sub";
    }
    return "";
}

const char* carryName(game::Course::Carry carry)
{
    switch (carry) {
    case game::Course::Carry::Only: return "only";
    case game::Course::Carry::Never: return "never";
    case game::Course::Carry::Any: break;
    }
    return "any";
}

}  // namespace

// What the page asks: a link's query in, its reading out as JSON. The text
// lives until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_read(const char* query)
{
    static std::string out;
    const game::Practice p = game::readPractice(query ? query : "");
    out = "{\"query\":" + json(game::practiceQuery(p)) + ",\"courses\":[";
    for (std::size_t i = 0; i < p.courses.size(); ++i) {
        const game::Course& c = p.courses[i];
        out += std::string(i ? "," : "") + "{\"kind\":\"" + kindName(c.kind) + "\",\"dans\":" + std::to_string(c.dans) +
               ",\"from\":" + std::to_string(c.from) + ",\"to\":" + std::to_string(c.to) + ",\"carry\":\"" +
               carryName(c.carry) + "\",\"short\":" + json(game::shortName(c)) + ",\"full\":" + json(game::fullName(c)) +
               "}";
    }
    out += "],\"seconds\":" + std::to_string(p.seconds) + ",\"pace\":" + std::to_string(static_cast<int>(p.pace * 1000 + 0.5)) +
           ",\"soundOff\":" + (p.soundOff ? "true" : "false") + ",\"notice\":" + json(game::notice(p)) + "}";
    return out.c_str();
}
