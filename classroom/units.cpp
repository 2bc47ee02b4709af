#include "units.h"

#include <array>

namespace classroom {

// The order of a grade's year; the 九九 in the textbooks' order of tables
// (5, 2, 3, 4, then 6, 7, 8, 9, 1), each in order, then mixed; and each だん
// alone, as the class checks it (in order, backwards, mixed).
std::span<const Unit> units()
{
    static constexpr std::array kUnits{
        Unit{"1年", "いくつと いくつ", "course=make:5-9&course=make:10"},
        Unit{"1年", "たしざん（くりあがり なし）", "course=add:1-9:nocarry"},
        Unit{"1年", "ひきざん（くりさがり なし）", "course=sub:1-10:noborrow"},
        Unit{"1年", "3つの かずの けいさん", "course=three:1-9:add&course=three:1-9:sub&course=three:1-9"},
        Unit{"1年", "くりあがりの ある たしざん", "course=add:1-9:nocarry&course=add:1-9:carry"},
        Unit{"1年", "くりさがりの ある ひきざん", "course=sub:1-10:noborrow&course=sub:2-18:borrow"},
        Unit{"2年", "2けたの たしざん・ひきざん", "course=add:10-99:nocarry&course=add:10-99:carry&course=sub:10-99:noborrow&course=sub:10-99:borrow"},
        Unit{"2年", "九九 5・2・3・4の だん", "course=times:5:up&course=times:2:up&course=times:3:up&course=times:4:up&course=times:2-5:down&course=times:2-5"},
        Unit{"2年", "九九 6・7・8・9・1の だん", "course=times:6:up&course=times:7:up&course=times:8:up&course=times:9:up&course=times:1:up&course=times:6-9"},
        Unit{"2年", "九九 ぜんぶ（じゅん・ぎゃく・バラバラ）", "course=times:1-9:up&course=times:1-9:down&course=times:1-9"},
        Unit{"九九", "1の だん", "course=times:1:up&course=times:1:down&course=times:1"},
        Unit{"九九", "2の だん", "course=times:2:up&course=times:2:down&course=times:2"},
        Unit{"九九", "3の だん", "course=times:3:up&course=times:3:down&course=times:3"},
        Unit{"九九", "4の だん", "course=times:4:up&course=times:4:down&course=times:4"},
        Unit{"九九", "5の だん", "course=times:5:up&course=times:5:down&course=times:5"},
        Unit{"九九", "6の だん", "course=times:6:up&course=times:6:down&course=times:6"},
        Unit{"九九", "7の だん", "course=times:7:up&course=times:7:down&course=times:7"},
        Unit{"九九", "8の だん", "course=times:8:up&course=times:8:down&course=times:8"},
        Unit{"九九", "9の だん", "course=times:9:up&course=times:9:down&course=times:9"},
        Unit{"3年", "わりざん（わりきれる）", "course=div:2-5&course=div:6-9&course=div:1-9"},
        Unit{"3年", "あまりの ある わりざん", "course=div:2-5:rem&course=div:6-9:rem&course=div:2-9:rem&course=div:2-9:any"},
    };
    return kUnits;
}

}  // namespace classroom
