// What a teacher can change of a course that cannot be played, said on its
// row of the teacher's form.
#pragma once

#include "game/course.h"

#include <string>

namespace classroom {

// How to make a course playable, in a teacher's words: the tables to tick
// or leave out, or the nearest range that gives sums ("数を 1〜18 にします");
// empty when it can be played.
std::string courseFix(const game::Course& course);

}  // namespace classroom
