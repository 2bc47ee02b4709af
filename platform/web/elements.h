// What a window's elements are made and styled with, shared by the files
// of WebWindow (web_window.cpp, web_captions.cpp).
#pragma once

#include <emscripten/val.h>

#include <cmath>
#include <string>

namespace platform {

// A length of the layout in whole pixels, as an element's box takes it.
inline int whole(float value)
{
    return static_cast<int>(std::lround(value));
}

inline void setStyle(const emscripten::val& style, const char* property, const std::string& value)
{
    style.call<void>("setProperty", std::string(property), value);
}

inline emscripten::val createElement(const char* tag, const char* className)
{
    emscripten::val e = emscripten::val::global("document").call<emscripten::val>("createElement", std::string(tag));
    e.set("className", std::string(className));
    return e;
}

}  // namespace platform
