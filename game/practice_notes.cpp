#include "practice_notes.h"

namespace game {
namespace {

constexpr std::size_t kShown = 24;  // characters of a part quoted

std::string_view text(Note why)
{
    switch (why) {
    case Note::Unreadable: return "読めません";
    case Note::UnknownName: return "使えない項目です";
    case Note::UnknownCourse: return "コースは times, div, add, sub のどれかです";
    case Note::NoTables: return "だんを書きます。例 times:7, div:2-5";
    case Note::Tables: return "だんは1から9です。例 7、2,5、1-9";
    case Note::NoRange: return "数のはんいを書きます。例 add:1-9:carry";
    case Note::Range: return "数は1から99、A-B の A は B 以下です";
    case Note::CarryWord: return "たしざんは :carry か :nocarry です";
    case Note::BorrowWord: return "ひきざんは :borrow か :noborrow です";
    case Note::NoSums: return "このはんいでは その問題が作れません";
    case Note::SixCourses: return "コースは6つまでです";
    case Note::Time: return "時間は30から600びょうです";
    case Note::Pace: return "はやさは0.25から1です";
    case Note::Sound: return "sound=off だけ使えます";
    case Note::Twice: return "2つめは使いません";
    case Note::TooLong: return "リンクが長すぎます";
    }
    return "";
}

}  // namespace

std::string leftOutItem(std::string_view part, Note why)
{
    // Only plain printable characters of a link are quoted, and few of
    // them: nothing in a link can change how the line reads.
    std::string quoted;
    for (const char c : part.substr(0, kShown)) {
        const bool plain = c > ' ' && c < 0x7F && c != '<' && c != '>' && c != '"' && c != '\'' && c != '\\';
        quoted += plain ? c : '?';
    }
    if (part.size() > kShown)
        quoted += "…";
    return quoted + "（" + std::string(text(why)) + "）";
}

std::string noticeLine(std::string_view items)
{
    return "リンクの一部を使いませんでした: " + std::string(items);
}

}  // namespace game
