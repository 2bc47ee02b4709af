// Ready-made units for the teacher's page: the common textbook units of the
// first three grades, each the link that fills the form in one click.
#pragma once

#include <span>
#include <string_view>

namespace classroom {

struct Unit {
    std::string_view grade;  // "1年"
    std::string_view name;   // "くりあがりのある たしざん"
    std::string_view link;   // the query, as readPractice reads it
};

std::span<const Unit> units();

}  // namespace classroom
