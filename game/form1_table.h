// The game window as data: frame, coordinates, the 48 controls of its design
// and the four that the game adds beside them (sound, pause), the keys that
// work it, and its other geometries for phones and tablets.
#pragma once

#include "forms/control.h"

#include <array>
#include <string_view>

namespace game {

// One vertical unit of the game window is 12.015 twips (the single-precision
// value below) at 15 twips to the pixel: 0.801 pixel.
inline constexpr double kForm1VerticalUnit = 12.014995574951172 / 15.0;

const forms::WindowSpec& form1Table();

// The animals' courses as their buttons name them, 1 to 6.
inline constexpr std::array<std::string_view, 7> kAnimals{"", "か め", "うさぎ", "ね こ", "い ぬ", "らいおん", "ぞ う"};

}  // namespace game
