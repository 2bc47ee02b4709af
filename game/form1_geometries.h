// The game window's other geometries, for the screens of phones and tablets:
// the same controls, placed for an upright screen and for a low, wide one.
// Each is drawn in pixels of its own (at 360 x 640 and 640 x 360 one pixel
// is one CSS pixel) and scaled to the screen as the design is. Every button
// is at least 44 pixels high and wide in the upright geometry and 32 in the
// low one; no two buttons overlap. The sums fall in three columns side by
// side and pass behind the white panel of the answers exactly where the
// design's do: `verticalUnit` maps the logic's units onto each column.
//
// Data of the window's table (form1_table.cpp), which alone includes it and
// checks it with the rest of the table when it is compiled; the table gives
// each geometry the screens it serves and its `verticalUnit`.
#pragma once

#include "forms/control.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace game::form1_geometries {

// The controls a geometry places: every one but the timers (the table
// checks the count).
inline constexpr std::size_t kDrawn = 90;

// Places every drawn control once: a geometry that leaves one out, or
// places one more, does not compile.
struct Placer {
    std::array<forms::Placement, kDrawn> rows{};
    std::size_t count = 0;
    constexpr void operator()(std::string_view control, int index, forms::Rect rect, float font = 0)
    {
        rows.at(count++) = {control, index, rect, font};
    }
    constexpr const std::array<forms::Placement, kDrawn>& all() const
    {
        if (count != kDrawn)
            leavesAControlUnplaced();  // not a constant: the build stops here
        return rows;
    }

private:
    static void leavesAControlUnplaced() {}
};

inline constexpr std::array<std::string_view, 4> kKotae{"", "kotae1", "kotae2", "kotae3"};
inline constexpr std::array<std::string_view, 4> kHissan{"", "hissan1", "hissan2", "hissan3"};
inline constexpr std::array<std::string_view, 4> kKigou{"", "kigou1", "kigou2", "kigou3"};
inline constexpr std::array<std::string_view, 4> kBar{"", "Line1", "Line2", "Line3"};
inline constexpr std::array<int, 4> kBarIndex{0, 0, -1, -1};

// The number pad of a typed game in two rows of six, left to right: its
// keys as the table names them.
struct PadKey {
    std::string_view control;
    int index;
};
inline constexpr std::array<PadKey, 12> kPad{{{"suuji", 1}, {"suuji", 2}, {"suuji", 3}, {"suuji", 4},
                                             {"suuji", 5}, {"kesu", -1}, {"suuji", 6}, {"suuji", 7},
                                             {"suuji", 8}, {"suuji", 9}, {"suuji", 0}, {"okuru", -1}}};

// Places the pad's keys from (left, top), each `width` x `height` and
// `step` apart across, the second row `down` under the first.
constexpr void placePad(Placer& put, float left, float top, float width, float height, float step, float down,
                        float font)
{
    for (std::size_t k = 0; k < kPad.size(); ++k) {
        const float x = left + static_cast<float>(k % 6) * step, y = top + static_cast<float>(k / 6) * down;
        put(kPad[k].control, kPad[k].index, {x, y, width, height}, kPad[k].index < 0 ? font * 0.6f : font);
    }
}

// Upright, 360 x 640: score, record and the toggles in a header; the six
// courses in two rows of three; the verdict above the three columns of
// falling sums, where no sum ever stops over it; the countdown and the
// written calculations behind the sums; the answers large at the bottom,
// one column a sum.
inline constexpr std::array kPortraitPlaces = [] {
    Placer put;
    put("oto", -1, {4, 6, 44, 44}, 20);
    put("shirase", -1, {0, 0, 1, 1});
    put("yasumi", -1, {312, 6, 44, 44}, 20);
    put("tokuten", -1, {52, 0, 100, 56}, 48);
    put("Label2", -1, {156, 16, 64, 24}, 20);
    put("kirokuhyouji", -1, {220, 0, 88, 56}, 48);

    put("Label3", -1, {4, 58, 80, 18}, 14);
    put("Label4", -1, {84, 58, 32, 18}, 14);
    for (int k = 1; k <= 6; ++k) {
        const float x = 4 + static_cast<float>((k - 1) % 3) * 118, y = k <= 3 ? 78 : 126;
        put("rebel", k, {x, y, 86, 44}, 16);
        put("Label1", k - 1, {x + 87, y + 13, 28, 18}, 16);
    }

    put("hyouka", -1, {4, 172, 352, 30}, 24);
    put("seigenjikan", -1, {90, 212, 180, 140}, 128);
    put("Shape1", -1, {0, 470, 360, 170});
    for (int n = 1; n <= 3; ++n) {
        const float x = 4 + static_cast<float>(n - 1) * 118;
        put("mondai", n, {x, 206, 114, 32}, 24);
        put(kHissan[n], 1, {x + 46, 370, 60, 30}, 28);
        put(kHissan[n], 2, {x + 46, 404, 60, 30}, 28);
        put(kKigou[n], -1, {x + 14, 404, 30, 30}, 26);
        put(kBar[n], kBarIndex[n], {x + 12, 444, 96, 0});
        for (int k = 1; k <= 3; ++k)
            put(kKotae[n], k, {x, 476 + static_cast<float>(k - 1) * 54, 114, 50}, 22);
    }
    put("yasumihyouji", -1, {4, 372, 352, 44}, 32);
    put("tsuzukeru", -1, {80, 520, 200, 56}, 24);
    // A typed game's pad where the answers are, the digits typed above it.
    put("nyuuryoku", -1, {4, 474, 352, 40}, 32);
    placePad(put, 4, 518, 55, 56, 59.4f, 62, 28);

    // The look back and the result card: their buttons over the countdown,
    // the list or the card over the sums.
    put("minaoshi", -1, {4, 300, 172, 48}, 20);
    put("kekka", -1, {184, 300, 172, 48}, 20);
    put("kekkahyouji", -1, {4, 208, 352, 30}, 22);
    for (int k = 1; k <= 5; ++k)
        put("kekkagyou", k, {8, 240 + static_cast<float>(k - 1) * 27, 348, 26}, 15);
    put("qrkodo", -1, {4, 378, 180, 180});
    put("bangouhyouji", -1, {192, 380, 164, 30}, 18);
    put("bangou", 1, {192, 414, 48, 44}, 22);
    put("bangoukazu", -1, {244, 414, 60, 44}, 22);
    put("bangou", 2, {308, 414, 48, 44}, 22);
    put("kekkatojiru", -1, {192, 490, 164, 52}, 24);
    put("kodo", -1, {4, 570, 352, 44}, 26);
    put("minaoshihyouji", -1, {4, 208, 352, 30}, 22);
    for (int k = 1; k <= 8; ++k)
        put("machigai", k, {8, 244 + static_cast<float>(k - 1) * 34, 348, 30}, 18);
    put("mae", -1, {4, 520, 90, 44}, 20);
    put("tsugi", -1, {266, 520, 90, 44}, 20);
    put("mouichido", -1, {4, 580, 172, 52}, 24);
    put("tojiru", -1, {184, 580, 172, 52}, 24);
    return put.all();
}();

// Upright but wider, 480 x 640 (a tablet held upright): the phone's places,
// each column a third wider; the heights and the text as on the phone, and
// the toggles square.
inline constexpr std::array kTabletPlaces = [] {
    std::array<forms::Placement, kDrawn> rows = kPortraitPlaces;
    for (forms::Placement& p : rows) {
        if (p.control == "oto" || p.control == "yasumi") {
            p.rect.left = (p.rect.left + p.rect.width / 2) * 4.0f / 3.0f - p.rect.width / 2;
            continue;
        }
        p.rect.left *= 4.0f / 3.0f;
        p.rect.width *= 4.0f / 3.0f;
    }
    return rows;
}();

// Low and wide, 640 x 360 (a phone held sideways): the courses in two
// columns, the score and the record down the left; the verdict over the
// columns of sums, with their answers below them; the toggles at the right
// edge.
inline constexpr std::array kLowPlaces = [] {
    Placer put;
    put("oto", -1, {606, 4, 32, 32}, 18);
    put("shirase", -1, {0, 0, 1, 1});
    put("yasumi", -1, {606, 44, 32, 32}, 18);

    put("Label3", -1, {4, 2, 56, 18}, 14);
    put("Label4", -1, {60, 2, 26, 18}, 14);
    for (int k = 1; k <= 6; ++k) {
        const float x = 4 + static_cast<float>((k - 1) / 3) * 84, y = 22 + static_cast<float>((k - 1) % 3) * 44;
        put("rebel", k, {x, y, 60, 40}, 11);
        put("Label1", k - 1, {x + 61, y + 11, 22, 18}, 14);
    }
    put("tokuten", -1, {0, 158, 168, 64}, 56);
    put("Label2", -1, {4, 228, 160, 28}, 24);
    put("kirokuhyouji", -1, {0, 258, 168, 64}, 56);

    put("hyouka", -1, {172, 0, 432, 30}, 24);
    put("seigenjikan", -1, {298, 34, 180, 104}, 96);
    put("Shape1", -1, {172, 222, 432, 138});
    for (int n = 1; n <= 3; ++n) {
        const float x = 172 + static_cast<float>(n - 1) * 144;
        put("mondai", n, {x + 2, 32, 140, 30}, 22);
        put(kHissan[n], 1, {x + 64, 140, 60, 26}, 24);
        put(kHissan[n], 2, {x + 64, 166, 60, 26}, 24);
        put(kKigou[n], -1, {x + 32, 166, 28, 26}, 22);
        put(kBar[n], kBarIndex[n], {x + 28, 198, 100, 0});
        for (int k = 1; k <= 3; ++k)
            put(kKotae[n], k, {x + 4, 226 + static_cast<float>(k - 1) * 44, 136, 40}, 20);
    }
    put("yasumihyouji", -1, {172, 158, 432, 40}, 32);
    put("tsuzukeru", -1, {292, 262, 192, 48}, 24);
    put("nyuuryoku", -1, {176, 224, 424, 34}, 28);
    placePad(put, 176, 262, 68, 44, 72, 48, 24);

    // The look back and the result card: their buttons under the record,
    // the list or the card over the sums.
    put("minaoshi", -1, {4, 324, 80, 34}, 16);
    put("kekka", -1, {88, 324, 76, 34}, 16);
    put("kekkahyouji", -1, {176, 2, 424, 28}, 20);
    for (int k = 1; k <= 5; ++k)
        put("kekkagyou", k, {180, 32 + static_cast<float>(k - 1) * 28, 420, 26}, 16);
    put("bangouhyouji", -1, {180, 176, 90, 36}, 16);
    put("bangou", 1, {272, 176, 40, 36}, 18);
    put("bangoukazu", -1, {314, 176, 52, 36}, 18);
    put("bangou", 2, {368, 176, 40, 36}, 18);
    put("kodo", -1, {176, 222, 244, 32}, 16);
    put("qrkodo", -1, {424, 176, 180, 180});
    put("kekkatojiru", -1, {176, 312, 170, 44}, 20);
    put("minaoshihyouji", -1, {176, 2, 424, 28}, 20);
    for (int k = 1; k <= 8; ++k)
        put("machigai", k, {180, 32 + static_cast<float>(k - 1) * 28, 420, 26}, 18);
    put("mae", -1, {176, 262, 90, 40}, 18);
    put("tsugi", -1, {510, 262, 90, 40}, 18);
    put("mouichido", -1, {232, 312, 170, 44}, 20);
    put("tojiru", -1, {410, 312, 170, 44}, 20);
    return put.all();
}();

}  // namespace game::form1_geometries
