// A worksheet as the teacher's page asks for one (teacher_sheet): the
// first six bytes give whether it is a 百ます grid (byte 0, its low bit),
// the course (byte 1, signed), the number of sums (byte 2) and the sheet's
// number (bytes 3 to 5, most significant first); the rest is the link. The
// link is read, then the sheet is made as the page makes it, with its
// heading and notice.
#include "fuzz.h"
#include "game/practice.h"
#include "classroom/sheet_request.h"
#include "classroom/worksheet.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    const bool grid = data[0] & 1;
    const int course = static_cast<std::int8_t>(data[1]);
    const int count = data[2];
    const int sheet = data[3] << 16 | data[4] << 8 | data[5];
    const std::string_view query(reinterpret_cast<const char*>(data) + 6, size - 6);
    // What the page is handed: JSON, never cut short.
    const std::string answer = classroom::sheetJson(query, grid, course, count, sheet);
    FUZZ_MUST(answer.starts_with("{\"ok\":") && answer.ends_with("}"));
    (void)classroom::sheetCoursesJson(query);
    const game::Practice p = game::readPractice(query);

    // And what it is made of. What the page's request refuses before it
    // makes anything:
    if (p.courses.empty() || course < 0 || static_cast<std::size_t>(course) > p.courses.size() ||
        sheet < static_cast<int>(classroom::Sheet::kLowest) || sheet > static_cast<int>(classroom::Sheet::kHighest))
        return 0;
    const auto number = static_cast<std::uint32_t>(sheet);
    if (grid) {
        if (course == 0)
            return 0;
        const game::Course& c = p.courses[static_cast<std::size_t>(course - 1)];
        const std::optional<classroom::Grid> g = classroom::gridSheet(c, number);
        if (g) {
            for (std::size_t i = 0; i < 10; ++i) {
                for (std::size_t k = 0; k < 10; ++k) {
                    const game::Sum s = g->at(i, k);
                    // Every cell one of the course's sums: never below 0.
                    FUZZ_MUST(s.answer >= 0);
                    (void)classroom::onPaper(game::signText(g->op));
                }
            }
        }
    } else {
        const std::vector<classroom::SheetLine> lines = classroom::listSheet(p.courses, course, count, number);
        const bool counted = count == 20 || count == 30 || count == 50;
        FUZZ_MUST(lines.size() == (counted ? static_cast<std::size_t>(count) : 0));
        for (const classroom::SheetLine& l : lines)
            FUZZ_MUST(!l.before.empty() && l.sum.answer >= 0);
    }
    (void)(classroom::sheetTitle(p.courses, course) + game::notice(p));
    return 0;
}
