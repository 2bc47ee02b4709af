// Any bytes as a teacher's link, read as the game page reads its address
// (the page's own parameters known), then what the game makes of it: the
// teacher's notice, the buttons' names, what a screen reader says, and the
// link the teacher's page writes back, which must give the same game.
#include "fuzz.h"
#include "game/practice.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array<std::string_view, 2> kPage{"clock", "seed"};
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    const game::Practice p = game::readPractice(query, kPage);
    FUZZ_MUST(p.courses.size() <= game::Practice::kMaxCourses);
    FUZZ_MUST(p.seconds >= 30 && p.seconds <= 600);
    FUZZ_MUST(p.pace >= 0.25 && p.pace <= 1);

    // One line for the teacher, empty only when nothing was left out, with
    // nothing of the link that could read as markup or as a control.
    const std::string line = game::notice(p);
    FUZZ_MUST(line.empty() == p.leftOut.empty());
    for (const char c : line)
        FUZZ_MUST(static_cast<unsigned char>(c) >= ' ' && c != 0x7F && c != '<' && c != '>' && c != '"' && c != '\'' && c != '\\');

    const std::vector<std::string> names = game::shortNames(p.courses);
    const std::vector<std::string> full = game::fullNames(p.courses);
    FUZZ_MUST(names.size() == p.courses.size() && full.size() == p.courses.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        FUZZ_MUST(!names[i].empty() && full[i].starts_with(names[i]));
        FUZZ_MUST(game::courseName(p.courses, static_cast<int>(i) + 1) == names[i]);
    }

    // Written back, read again: the same courses and settings, nothing left out.
    const game::Practice again = game::readPractice(game::practiceQuery(p));
    FUZZ_MUST(again.leftOut.empty());
    FUZZ_MUST(again.courses == p.courses);
    FUZZ_MUST(again.seconds == p.seconds && again.pace == p.pace);
    FUZZ_MUST(again.soundOff == p.soundOff && again.again == p.again);
    return 0;
}
