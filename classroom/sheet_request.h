// A worksheet as the teacher's page asks for one: the link's courses to
// choose from, and a sheet of them, as JSON. teacher_sheet_main.cpp hands
// them to the page.
#pragma once

#include <string>
#include <string_view>

namespace classroom {

// The names of the link's courses, as their buttons show them.
std::string sheetCoursesJson(std::string_view query);

// The sheet of the link `query` numbered `sheet`, or why there is none.
std::string sheetJson(std::string_view query, bool grid, int course, int count, int sheet);

}  // namespace classroom
