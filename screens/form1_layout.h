// The game window as designed: frame, coordinates and its 48 controls.
#pragma once

#include "control.h"

namespace screens {

// One vertical unit of the game window is 12.015 twips (the single-precision
// value below) at 15 twips to the pixel: 0.801 pixel.
inline constexpr double kForm1VerticalUnit = 12.014995574951172 / 15.0;

const WindowSpec& form1Layout();

}  // namespace screens
