#include "form1_table.h"

#include "form1_geometries.h"

#include <array>

namespace game {
namespace {

using namespace forms;
using namespace forms::colours;

constexpr Colour kWindow = Colour::window();
constexpr Colour kWindowText = Colour::windowText();
constexpr Colour kButtonText = Colour::buttonText();

constexpr ControlSpec timer(std::string_view name, int interval)
{
    ControlSpec c{};
    c.name = name;
    c.kind = Kind::Timer;
    c.enabled = false;
    c.interval = interval;
    return c;
}

constexpr ControlSpec button(std::string_view name, int index, Rect rect, std::string_view caption, Colour back,
                             float points)
{
    ControlSpec c{};
    c.name = name;
    c.index = index;
    c.kind = Kind::Button;
    c.rect = rect;
    c.caption = caption;
    c.back = back;
    c.fore = kButtonText;
    c.font = {points, true};
    c.align = Align::Centre;
    return c;
}

constexpr ControlSpec label(std::string_view name, int index, Rect rect, std::string_view caption, Colour back,
                            Colour fore, Font font, Align align)
{
    ControlSpec c{};
    c.name = name;
    c.index = index;
    c.kind = Kind::Label;
    c.rect = rect;
    c.caption = caption;
    c.back = back;
    c.fore = fore;
    c.font = font;
    c.align = align;
    return c;
}

constexpr ControlSpec line(std::string_view name, int index, float x1, float y1, float x2, float y2)
{
    ControlSpec c{};
    c.name = name;
    c.index = index;
    c.kind = Kind::Line;
    c.rect = {x1, y1, x2 - x1, y2 - y1};
    c.fore = lavender;
    return c;
}

constexpr ControlSpec shape(std::string_view name, Rect rect, Colour fill)
{
    ControlSpec c{};
    c.name = name;
    c.kind = Kind::Shape;
    c.rect = rect;
    c.back = fill;
    return c;
}

// A QR code of the caption the game writes, called `spoken`.
constexpr ControlSpec code(std::string_view name, Rect rect, std::string_view spoken)
{
    ControlSpec c{};
    c.name = name;
    c.kind = Kind::Code;
    c.rect = rect;
    c.spokenName = spoken;
    return c;
}

constexpr ControlSpec described(ControlSpec c, std::string_view description)
{
    c.description = description;
    return c;
}

// A label whose caption the game writes, shown whole even where it is
// wider than the label's box.
constexpr ControlSpec whole(ControlSpec c)
{
    c.wholeCaption = true;
    return c;
}

// A button a screen reader calls `spoken`, where its caption is a sign.
constexpr ControlSpec named(ControlSpec c, std::string_view spoken)
{
    c.spokenName = spoken;
    return c;
}

// A button that stays pressed or not; a screen reader calls it `spoken`.
constexpr ControlSpec toggle(ControlSpec c, std::string_view spoken)
{
    c.toggle = true;
    return named(c, spoken);
}

// A caption the game writes, set in smaller type where it is wider than its
// box: a teacher's course on its button.
constexpr ControlSpec fits(ControlSpec c)
{
    c.fitCaption = true;
    return c;
}

// A falling sum: each tick of its timer moves it one unit down; a long sum
// is set in smaller type to fit its box.
constexpr ControlSpec falls(ControlSpec c, std::string_view timer)
{
    c.movedBy = timer;
    c.fitCaption = true;
    return c;
}

constexpr ControlSpec live(ControlSpec c, Live how)
{
    c.live = how;
    return c;
}

constexpr ControlSpec hidden(ControlSpec c)
{
    c.visible = false;
    return c;
}

constexpr ControlSpec disabled(ControlSpec c)
{
    c.enabled = false;
    return c;
}

constexpr Font kAnswerFont{14.25f, true};
constexpr Font kPointsFont{12};
constexpr Font kProblemFont{20.25f};
constexpr Font kColumnFont{24};
constexpr Font kSignFont{21.75f};
constexpr Font kListFont{15};

// In stacking order: a control listed earlier lies above those after it.
constexpr std::array kControls{
    // What the game adds to the design. The sound and pause toggles take the
    // strip right of the third column, which no box of the design and no
    // falling sum ever reaches (the widest verdict stops above them). The
    // pause message and its button are shown only while a pause hides the
    // sums, their written calculations and their answers, where they stand.
    toggle(button("oto", -1, {579, 8, 32, 32}, "♪", lightGreen, 15), "おと"),
    disabled(toggle(button("yasumi", -1, {579, 48, 32, 32}, "‖", white, 15), "ひとやすみ")),
    hidden(button("tsuzukeru", -1, {248, 400, 217, 49}, "つづける", lightGreen, 18)),
    hidden(label("yasumihyouji", -1, {136, 236, 441, 49}, "ひとやすみ", white, blue, {27, true}, Align::Centre)),

    // What a screen reader says of the game as it goes (a new sum, right or
    // wrong, the time, the end): heard, never seen.
    live(label("shirase", -1, {0, 0, 1, 1}, "", white, kWindowText, {12}, Align::Left), Live::Announce),

    // The look back at a game (みなおし): its button under the courses, in a
    // blank part of the design, shown after a game; the list of the sums
    // missed takes the place of the sums, their written calculations and
    // their answers while it is open, a page of eight at a time.
    hidden(button("minaoshi", -1, {16, 229, 65, 25}, "みなおし", lightGreen, 9)),
    hidden(button("mouichido", -1, {176, 424, 160, 40}, "もういちど", lightGreen, 15)),
    hidden(button("tojiru", -1, {376, 424, 160, 40}, "とじる", white, 15)),
    hidden(button("mae", -1, {144, 360, 80, 32}, "まえ", white, 12)),
    hidden(button("tsugi", -1, {488, 360, 80, 32}, "つぎ", white, 12)),
    hidden(described(label("minaoshihyouji", -1, {144, 16, 424, 33}, "まちがえた もんだい", white, blue, {18, true}, Align::Left), "みなおし")),
    hidden(described(label("machigai", 1, {160, 56, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 2, {160, 93, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 3, {160, 130, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 4, {160, 167, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 5, {160, 204, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 6, {160, 241, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 7, {160, 278, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),
    hidden(described(label("machigai", 8, {160, 315, 408, 30}, "", white, black, kListFont, Align::Left), "まちがえた もんだい")),

    // The result card (けっか): its button beside the look back's, shown after
    // a game; the card takes the place of the sums as the list does: what the
    // game came to, the child's number, and the code for the teacher.
    hidden(button("kekka", -1, {86, 229, 51, 25}, "けっか", lightGreen, 9)),
    hidden(button("kekkatojiru", -1, {160, 408, 160, 40}, "とじる", white, 15)),
    hidden(named(button("bangou", 1, {264, 232, 40, 32}, "-", white, 15), "ばんごうを へらす")),  // not drawn
    hidden(named(button("bangou", 2, {368, 232, 40, 32}, "+", white, 15), "ばんごうを ふやす")),  // not drawn
    hidden(described(label("kekkahyouji", -1, {144, 16, 112, 33}, "けっか", white, blue, {18, true}, Align::Left), "けっか")),
    hidden(described(label("kekkagyou", 1, {160, 56, 408, 30}, "", white, black, kListFont, Align::Left), "けっか")),
    hidden(described(label("kekkagyou", 2, {160, 90, 408, 30}, "", white, black, kListFont, Align::Left), "けっか")),
    hidden(described(label("kekkagyou", 3, {160, 124, 408, 30}, "", white, black, kListFont, Align::Left), "けっか")),
    hidden(described(label("kekkagyou", 4, {160, 158, 408, 30}, "", white, black, kListFont, Align::Left), "けっか")),
    hidden(described(label("kekkagyou", 5, {160, 192, 408, 30}, "", white, black, kListFont, Align::Left), "けっか")),
    hidden(label("bangouhyouji", -1, {160, 232, 96, 32}, "ばんごう", white, black, kListFont, Align::Left)),
    hidden(described(label("bangoukazu", -1, {308, 232, 56, 32}, "なし", white, black, {18, true}, Align::Centre), "ばんごう")),
    hidden(described(label("kodo", -1, {264, 18, 304, 30}, "", white, blue, {18, true}, Align::Left), "コード")),  // not drawn
    hidden(code("qrkodo", {376, 268, 192, 192}, "けっかの QR コード")),  // not drawn

    timer("Timer4", 1000),
    timer("Timer3", 1),
    timer("Timer2", 10),
    timer("Timer1", 100),

    described(button("kotae3", 3, {472, 448, 97, 27}, "答え３", lightCyan, kAnswerFont.points), "こたえ３"),
    described(button("kotae3", 2, {472, 416, 97, 27}, "答え３", lightCyan, kAnswerFont.points), "こたえ３"),
    described(button("kotae3", 1, {472, 384, 97, 27}, "答え３", lightCyan, kAnswerFont.points), "こたえ３"),
    described(button("kotae2", 3, {312, 448, 97, 27}, "答え２", lightYellow, kAnswerFont.points), "こたえ２"),
    described(button("kotae2", 2, {312, 416, 97, 27}, "答え２", lightYellow, kAnswerFont.points), "こたえ２"),
    described(button("kotae2", 1, {312, 384, 97, 27}, "答え２", lightYellow, kAnswerFont.points), "こたえ２"),
    described(button("kotae1", 3, {144, 448, 97, 27}, "答え１", peach, kAnswerFont.points), "こたえ１"),
    described(button("kotae1", 2, {144, 416, 97, 27}, "答え１", peach, kAnswerFont.points), "こたえ１"),
    described(button("kotae1", 1, {144, 384, 97, 27}, "答え１", peach, kAnswerFont.points), "こたえ１"),

    // The number pad of a typed game (answer=type), in the answers' place
    // while they are hidden: the digits, けす and おくる, and the digits typed
    // so far beside them.
    hidden(described(button("suuji", 1, {240, 386, 57, 44}, "1", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 2, {301, 386, 57, 44}, "2", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 3, {362, 386, 57, 44}, "3", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 4, {423, 386, 57, 44}, "4", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 5, {484, 386, 57, 44}, "5", lightCyan, 18), "すうじ")),
    hidden(button("kesu", -1, {545, 386, 57, 44}, "けす", white, 12)),
    hidden(described(button("suuji", 6, {240, 434, 57, 44}, "6", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 7, {301, 434, 57, 44}, "7", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 8, {362, 434, 57, 44}, "8", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 9, {423, 434, 57, 44}, "9", lightCyan, 18), "すうじ")),
    hidden(described(button("suuji", 0, {484, 434, 57, 44}, "0", lightCyan, 18), "すうじ")),
    hidden(button("okuru", -1, {545, 434, 57, 44}, "おくる", lightGreen, 12)),
    hidden(described(label("nyuuryoku", -1, {120, 388, 112, 88}, "", white, blue, {36, true}, Align::Centre), "こたえ")),

    fits(described(button("rebel", 6, {16, 200, 65, 27}, kAnimals[6], lightGreen, 9), "コース")),
    fits(described(button("rebel", 5, {16, 168, 65, 27}, kAnimals[5], lightGreen, 9), "コース")),
    fits(described(button("rebel", 4, {16, 136, 65, 27}, kAnimals[4], lightGreen, 9), "コース")),
    fits(described(button("rebel", 3, {16, 104, 65, 27}, kAnimals[3], lightGreen, 9), "コース")),
    fits(described(button("rebel", 2, {16, 72, 65, 27}, kAnimals[2], lightGreen, 9), "コース")),
    fits(described(button("rebel", 1, {16, 40, 65, 27}, kAnimals[1], lightGreen, 9), "コース")),

    label("Label4", -1, {72, 16, 65, 17}, "点", white, kButtonText, {12, true}, Align::Centre),
    label("Label3", -1, {16, 16, 65, 17}, "コース", white, kButtonText, {12, true}, Align::Centre),
    label("Label2", -1, {8, 360, 129, 33}, "きろく", white, red, {24}, Align::Centre),
    whole(described(label("kirokuhyouji", -1, {0, 400, 145, 89}, "", kWindow, red, {60}, Align::Centre), "きろく")),
    label("Label1", 5, {88, 208, 33, 17}, "6点", kWindow, kWindowText, kPointsFont, Align::Centre),
    label("Label1", 4, {88, 176, 33, 17}, "5点", kWindow, kWindowText, kPointsFont, Align::Centre),
    label("Label1", 3, {88, 144, 33, 17}, "4点", kWindow, kWindowText, kPointsFont, Align::Centre),
    label("Label1", 2, {88, 112, 33, 17}, "3点", kWindow, kWindowText, kPointsFont, Align::Centre),
    label("Label1", 1, {88, 80, 33, 17}, "2点", kWindow, kWindowText, kPointsFont, Align::Centre),
    label("Label1", 0, {88, 48, 33, 17}, "1点", kWindow, kWindowText, kPointsFont, Align::Centre),

    shape("Shape1", {112, 384, 497, 97}, white),

    falls(described(label("mondai", 3, {464, 16, 113, 33}, "問題３", lightCyan, blue, kProblemFont, Align::Centre), "もんだい３"), "Timer3"),
    falls(described(label("mondai", 2, {304, 16, 113, 33}, "問題２", lightYellow, blue, kProblemFont, Align::Centre), "もんだい２"), "Timer2"),
    falls(described(label("mondai", 1, {136, 16, 113, 33}, "問題１", peach, blue, kProblemFont, Align::Centre), "もんだい１"), "Timer1"),

    live(whole(described(label("seigenjikan", -1, {256, 64, 185, 153}, "60", kWindow, pink, {120}, Align::Centre), "のこり時間")), Live::Timer),
    whole(described(label("tokuten", -1, {0, 256, 137, 89}, "得点", white, orange, {60}, Align::Centre), "得点")),

    line("Line3", -1, 472, 336, 576, 336),
    line("Line2", -1, 304, 336, 416, 336),
    line("Line1", 0, 144, 336, 240, 336),

    label("kigou3", -1, {472, 296, 33, 33}, "Label5", kWindow, lavender, kSignFont, Align::Right),
    label("kigou2", -1, {304, 296, 33, 33}, "Label5", kWindow, lavender, kSignFont, Align::Right),
    label("kigou1", -1, {144, 296, 33, 33}, "Label5", kWindow, lavender, kSignFont, Align::Right),
    label("hissan3", 2, {488, 296, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),
    label("hissan3", 1, {488, 256, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),
    label("hissan2", 2, {320, 296, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),
    label("hissan2", 1, {320, 256, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),
    label("hissan1", 2, {160, 296, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),
    label("hissan1", 1, {160, 256, 65, 33}, "Label5", kWindow, lavender, kColumnFont, Align::Right),

    whole(described(label("hyouka", -1, {152, 208, 417, 41}, "", white, orange, {24}, Align::Centre), "ひょうか")),
};

// The geometries (form1_geometries.h) place every control but the timers.
static_assert(form1_geometries::kDrawn == [] {
    std::size_t n = 0;
    for (const ControlSpec& c : kControls)
        n += c.kind != Kind::Timer;
    return n;
}(), "form1_geometries.h places another number of controls than the table draws");

// The digits choose a course at rest (1 to 6) and answer during a game, laid
// out like the numeric keypad over the three columns of answers: 7 8 9 the
// top row, 4 5 6 the middle one, 1 2 3 the bottom one. Whichever button
// takes clicks at that moment is pressed.
// In a typed game (answer=type) the answers are hidden and the digits type
// on the number pad instead, Backspace deleting and Enter sending.
// M turns the sound off and on; P and Esc pause and resume a game, and Esc
// closes the list of missed sums and the result card, where - and + change
// the child's number.
constexpr auto kKeys = std::to_array<KeyBinding>({
    {'1', "rebel", 1}, {'2', "rebel", 2}, {'3', "rebel", 3},
    {'4', "rebel", 4}, {'5', "rebel", 5}, {'6', "rebel", 6},
    {'7', "kotae1", 1}, {'8', "kotae2", 1}, {'9', "kotae3", 1},
    {'4', "kotae1", 2}, {'5', "kotae2", 2}, {'6', "kotae3", 2},
    {'1', "kotae1", 3}, {'2', "kotae2", 3}, {'3', "kotae3", 3},
    {'m', "oto"}, {'M', "oto"},
    {'p', "yasumi"}, {'P', "yasumi"}, {kEscape, "yasumi"}, {kEscape, "tojiru"}, {kEscape, "kekkatojiru"},
    {'-', "bangou", 1}, {'+', "bangou", 2},
    {'0', "suuji", 0}, {'1', "suuji", 1}, {'2', "suuji", 2}, {'3', "suuji", 3}, {'4', "suuji", 4},
    {'5', "suuji", 5}, {'6', "suuji", 6}, {'7', "suuji", 7}, {'8', "suuji", 8}, {'9', "suuji", 9},
    {kBackspace, "kesu"}, {kEnter, "okuru"},
});

// Tab order: the courses top to bottom and the look back under them, then
// the answers problem by problem, top to bottom (or the number pad row by
// row, in a typed game), then the pause's own
// button, the buttons of the list of missed sums and of the result card,
// and the two toggles. The
// courses are one column, the answers a 3 x 3 grid, the toggles a column.
// Opening the list hides its button, and the focus passes on to the list.
constexpr int kCourses = 0, kAnswers = 1, kResume = 2, kToggles = 3, kReview = 4, kCard = 5, kPad = 6;
constexpr auto kFocus = std::to_array<FocusCell>({
    {"rebel", 1, kCourses, 0, 1}, {"rebel", 2, kCourses, 0, 2}, {"rebel", 3, kCourses, 0, 3},
    {"rebel", 4, kCourses, 0, 4}, {"rebel", 5, kCourses, 0, 5}, {"rebel", 6, kCourses, 0, 6},
    {"minaoshi", -1, kCourses, 0, 7}, {"kekka", -1, kCourses, 0, 8},
    {"kotae1", 1, kAnswers, 1, 1}, {"kotae1", 2, kAnswers, 1, 2}, {"kotae1", 3, kAnswers, 1, 3},
    {"kotae2", 1, kAnswers, 2, 1}, {"kotae2", 2, kAnswers, 2, 2}, {"kotae2", 3, kAnswers, 2, 3},
    {"kotae3", 1, kAnswers, 3, 1}, {"kotae3", 2, kAnswers, 3, 2}, {"kotae3", 3, kAnswers, 3, 3},
    {"suuji", 1, kPad, 1, 1}, {"suuji", 2, kPad, 2, 1}, {"suuji", 3, kPad, 3, 1}, {"suuji", 4, kPad, 4, 1},
    {"suuji", 5, kPad, 5, 1}, {"kesu", -1, kPad, 6, 1}, {"suuji", 6, kPad, 1, 2}, {"suuji", 7, kPad, 2, 2},
    {"suuji", 8, kPad, 3, 2}, {"suuji", 9, kPad, 4, 2}, {"suuji", 0, kPad, 5, 2}, {"okuru", -1, kPad, 6, 2},
    {"tsuzukeru", -1, kResume, 0, 0},
    {"mouichido", -1, kReview, 1, 2}, {"tojiru", -1, kReview, 2, 2}, {"mae", -1, kReview, 1, 1},
    {"tsugi", -1, kReview, 2, 1},
    {"bangou", 1, kCard, 1, 1}, {"bangou", 2, kCard, 2, 1}, {"kekkatojiru", -1, kCard, 1, 2},
    {"oto", -1, kToggles, 0, 1, true}, {"yasumi", -1, kToggles, 0, 2, true},
});

// Sums start at their box's top and pass behind the answers' panel: the
// upright column reaches the panel's top (470) with its lower edge at a
// Top of 438, as the design's does; the low one lies wholly behind its
// panel (222) by 500, where the sum is replaced.
constexpr double kDesignTop = 16.0 / kForm1VerticalUnit;  // the sums' Top at design
constexpr double kUprightUnit = (470.0 - 32.0 - 206.0) / (438.0 - kDesignTop);
constexpr std::array kGeometries{
    Geometry{.name = "portrait", .width = 360, .height = 640, .maxAspect = 0.66,
             .verticalUnit = kUprightUnit, .placements = form1_geometries::kPortraitPlaces},
    Geometry{.name = "tablet", .width = 480, .height = 640, .minAspect = 0.66, .maxAspect = 1.0,
             .verticalUnit = kUprightUnit, .placements = form1_geometries::kTabletPlaces},
    Geometry{.name = "low", .width = 640, .height = 360, .minAspect = 1.0, .lowerThan = 480,
             .verticalUnit = (222.0 - 32.0) / (500.0 - kDesignTop), .placements = form1_geometries::kLowPlaces},
};

constexpr WindowSpec kForm1{
    .name = "Form1",
    .caption = "ペルモロプラスver.1.0",
    .clientWidth = 612,
    .clientHeight = 491,
    .back = white,
    .toolWindow = false,
    .icon = ":/icons/form1.ico",
    .verticalUnit = kForm1VerticalUnit,
    .controls = kControls,
    .keys = {kKeys, kFocus},
    .geometries = kGeometries,
};

static_assert(!kForm1.unresolvedName(), "a name in the game window's table names none of its controls");

}  // namespace

const forms::WindowSpec& form1Table()
{
    return kForm1;
}

}  // namespace game
