// The page's style written from the program: colours and lengths as CSS
// takes them. Written without printf, whose floating-point formatting would
// more than double the program's share of the C library.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// "#RRGGBB".
std::string css(std::uint32_t rgb);
// A colour of text: a variable of the page's style, so that a theme (more
// contrast) can put a darker ink in its place; the design's colour else.
std::string ink(std::uint32_t rgb);
// A value with `places` decimals (at most six).
std::string fixed(double value, int places);
// A length in CSS pixels.
std::string px(double value);
// The faces of the controls' text as a font-family: the table's, then any
// sans-serif.
std::string faces();

}  // namespace platform
