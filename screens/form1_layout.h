// The game window: frame, coordinates, the 48 controls of its design and the
// four that the game adds beside them (sound, pause).
#pragma once

#include "control.h"

namespace screens {

// One vertical unit of the game window is 12.015 twips (the single-precision
// value below) at 15 twips to the pixel: 0.801 pixel.
inline constexpr double kForm1VerticalUnit = 12.014995574951172 / 15.0;

const WindowSpec& form1Layout();

}  // namespace screens
