#include "practice_notes.h"

#include <string>

namespace game {
namespace {

constexpr std::size_t kShown = 24;  // characters of a part quoted

std::string words(const CourseKind::Form& f)
{
    std::string out;
    for (std::size_t i = 0; i < f.options.size(); ++i)
        out += (i ? " か :" : ":") + std::string(f.options[i].word);
    return out;
}

}  // namespace

std::string reasonText(Reason why, const CourseKind::Form* f)
{
    switch (why) {
    case Reason::Unreadable: return "読めません";
    case Reason::UnknownName: return "使えない項目です";
    case Reason::UnknownCourse: {
        std::string kinds;
        for (const CourseKind* kind : courseKinds())
            kinds += (kinds.empty() ? "" : ", ") + std::string(kind->form().word);
        return "コースは " + kinds + " のどれかです";
    }
    case Reason::NoNumbers:
        if (f && f->tables)
            return "だんを書きます。例 " + std::string(f->word) + ":7, " + std::string(f->word) + ":2-5";
        if (f)
            return "数のはんいを書きます。例 " + std::string(f->word) + ":" + std::to_string(f->lowest + 1) + "-9";
        return "読めません";
    case Reason::Tables: return "だんは1から9です。例 7、2,5、1-9";
    case Reason::Range:
        if (f)
            return "数は" + std::to_string(f->lowest) + "から" + std::to_string(f->highest) + "、小さい数から 書きます";
        return "読めません";
    case Reason::Option:
        if (f && !f->options.empty())
            return std::string(f->word) + " のあとは " + words(*f) + " です";
        return "読めません";
    case Reason::SixCourses: return "コースは6つまでです";
    case Reason::Time: return "時間は30から600びょうです";
    case Reason::Pace: return "はやさは0.25から1です";
    case Reason::Sound: return "sound=off だけ使えます";
    case Reason::Again: return "again=off だけ使えます";
    case Reason::Slow: return "ゆっくりの めやすは 2から8びょう（整数）です";
    case Reason::Miss: return "miss=keep だけ使えます";
    case Reason::Answer: return "answer=type だけ使えます";
    case Reason::TypedRest: return "あまりのある わりざんは 入力できません。こたえを えらびます";
    case Reason::Twice: return "2つめは使いません";
    case Reason::TooLong: return "リンクが長すぎます";
    }
    return "";
}

std::string quoted(std::string_view part)
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
    return quoted;
}

std::string noticeLine(std::string_view items)
{
    return "リンクの一部を使いませんでした: " + std::string(items);
}

}  // namespace game
