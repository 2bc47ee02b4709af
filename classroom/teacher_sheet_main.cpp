// Printed worksheets for the teacher's page: a small module of its own,
// loaded when the first sheet is asked for (sheet_request.h). Each text
// lives until the next call of its function.
#include "sheet_request.h"

#include <emscripten/emscripten.h>

extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_sheet_courses(const char* query)
{
    static std::string out;
    out = classroom::sheetCoursesJson(query ? query : "");
    return out.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_sheet(const char* query, int grid, int course, int count, int sheet)
{
    static std::string out;
    out = classroom::sheetJson(query ? query : "", grid != 0, course, count, sheet);
    return out.c_str();
}
