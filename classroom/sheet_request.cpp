// A worksheet as the teacher's page asks for one, made by the game's own
// kinds and handed to the page as JSON to lay out (sheet_request.h).
#include "sheet_request.h"

#include "json_text.h"
#include "worksheet.h"

#include "game/practice.h"

namespace classroom {

namespace {

std::string number(long long v)
{
    return game::numberText(v);
}

std::string answerJson(game::Answer a, bool rest)
{
    return game::joined({"\"value\":", json(number(a.value)), rest ? ",\"rest\":" : "", rest ? json(number(a.rest)) : ""});
}

}  // namespace

// The names of the link's courses, as their buttons show them, for the
// page's choice of a sheet's course: ["7のだん", …].
std::string sheetCoursesJson(std::string_view query)
{
    std::string out = "[";
    for (const std::string& name : game::shortNames(game::readPractice(query).courses))
        out += game::joined({out.size() > 1 ? "," : "", json(name)});
    return out + "]";
}

// The sheet of the link `query` numbered `sheet`: a list of `count` sums of
// course `course` (1 for the first, 0 for all mixed), or with `grid` its
// 百ます. {"ok":true, "number", "title", "notice", then "lines":[{"before",
// "after", "value", "rest" (a remainder's box)}] or "grid":{"sign", "left",
// "top", "cells":[[answer]] (row by row)}}, or {"ok":false, "why"}, with
// "instead" (a course as a link writes it) and "insteadName" where a 百ます
// of another course of its kind can be made.
std::string sheetJson(std::string_view query, bool grid, int course, int count, int sheet)
{
    const game::Practice p = game::readPractice(query);
    const auto refused = [](std::string_view why) { return "{\"ok\":false,\"why\":" + json(why) + "}"; };
    if (p.courses.empty())
        return refused("コースを選ぶと プリントが作れます。");
    if (course < 0 || static_cast<std::size_t>(course) > p.courses.size())
        return refused("そのコースは リンクに ありません。");
    if (sheet < static_cast<int>(classroom::Sheet::kLowest) || sheet > static_cast<int>(classroom::Sheet::kHighest))
        return refused(game::joined({"プリントの番号は ", number(classroom::Sheet::kLowest), "〜", number(classroom::Sheet::kHighest), " です。"}));
    const auto n = static_cast<std::uint32_t>(sheet);
    std::string body;
    if (grid) {
        if (course == 0)
            return refused("百ますは コースを 1つ 選んで 作ります。");
        const game::Course& c = p.courses[static_cast<std::size_t>(course - 1)];
        if (const std::optional<classroom::GridFault> fault = classroom::gridFault(c)) {
            return game::joined({"{\"ok\":false,\"why\":", json(fault->why + "。"), fault->instead ? ",\"instead\":" : "",
                                 fault->instead ? json("course=" + game::courseText(*fault->instead)) : "",
                                 fault->instead ? ",\"insteadName\":" : "", fault->instead ? json(game::fullName(*fault->instead)) : "", "}"});
        }
        const std::optional<classroom::Grid> g = classroom::gridSheet(c, n);
        std::string left, top, cells;
        for (std::size_t i = 0; i < 10; ++i) {
            left += game::joined({i ? "," : "", number(g->left[i])});
            top += game::joined({i ? "," : "", number(g->top[i])});
            std::string row;
            for (std::size_t k = 0; k < 10; ++k)
                row += game::joined({k ? "," : "", number(g->at(i, k).answer)});
            cells += game::joined({i ? ",[" : "[", row, "]"});
        }
        body = game::joined({"\"grid\":{\"sign\":", json(classroom::onPaper(game::signText(g->op))), ",\"left\":[", left, "],\"top\":[", top,
                             "],\"cells\":[", cells, "]}"});
    } else {
        const std::vector<classroom::SheetLine> lines = classroom::listSheet(p.courses, course, count, n);
        if (lines.empty())
            return refused("問題の数は 20・30・50 から選びます。");
        for (const classroom::SheetLine& l : lines) {
            body += game::joined({body.empty() ? "\"lines\":[{\"before\":" : ",{\"before\":", json(l.before), ",\"after\":",
                                  json(l.after), ",", answerJson(l.sum.result(), l.rest), "}"});
        }
        body += "]";
    }
    return game::joined({"{\"ok\":true,\"number\":", number(sheet), ",\"title\":", json(classroom::sheetTitle(p.courses, course)),
                        ",\"notice\":", json(game::notice(p)), ",", body, "}"});
}

}  // namespace classroom
