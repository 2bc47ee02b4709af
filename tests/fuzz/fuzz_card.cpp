// Any bytes as a result card: the text a QR code gave the teacher's page,
// or a short code typed by hand. A card read is shown as the teacher's page
// shows it (its course's name, each missed sum and its answer), counted
// among a class's missed sums, and, written again, reads back the same.
#include "fuzz.h"
#include "game/card.h"
#include "classroom/class_missed.h"
#include "game/practice.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <tuple>

namespace {

// Whether the text is well-formed UTF-8 (the shortest form of each
// character, no surrogates).
bool wellFormed(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        const std::size_t n = b(0) < 0x80 ? 1 : b(0) >= 0xC2 && b(0) <= 0xDF ? 2 : b(0) >= 0xE0 && b(0) <= 0xEF ? 3 : b(0) >= 0xF0 && b(0) <= 0xF4 ? 4 : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((b(k) & 0xC0) != 0x80)
                return false;
        }
        if ((b(0) == 0xE0 && b(1) < 0xA0) || (b(0) == 0xED && b(1) >= 0xA0) || (b(0) == 0xF0 && b(1) < 0x90) || (b(0) == 0xF4 && b(1) >= 0x90))
            return false;
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const game::CardReading read = game::readCard(text);
    FUZZ_MUST(read.card.has_value() == read.why.empty());
    if (!read.card)
        return 0;
    const game::Card& c = *read.card;
    // A code typed is read only from signs, full-width signs and spaces:
    // never from bytes that are no character at all.
    FUZZ_MUST(wellFormed(text));
    FUZZ_MUST(c.number >= 0 && c.number <= game::Card::kMaxNumber && c.course >= 1 && c.course <= 6);
    FUZZ_MUST(c.missed.size() <= game::Card::kMaxMissed);
    (void)game::courseName(c.courses, c.course);
    for (const game::Sum& s : c.missed)
        (void)(game::sumText(s) + game::answerText(s.result()));

    // A card read twice: one child's sums when it has a number, two
    // children's when it has none.
    const std::array<game::CardReading, 2> twice{read, read};
    const classroom::ClassMissed m = classroom::classMissed(twice);
    const int most = c.number != 0 ? 1 : 2;
    FUZZ_MUST(m.typed == (read.typed ? 2 : 0));
    for (const auto& row : m.times) {
        for (const int n : row)
            FUZZ_MUST(n >= 0 && n <= most);
    }
    for (const classroom::ClassMissed::Missed& o : m.others)
        FUZZ_MUST(o.children >= 1 && o.children <= most && !classroom::timesFact(o.sum));

    if (read.typed) {
        const game::CardReading again = game::readCard(game::shortCode(c));
        FUZZ_MUST(again.card && again.typed);
        const game::Card& t = *again.card;
        FUZZ_MUST(std::tie(t.number, t.course, t.link, t.points, t.right, t.wrong, t.fell) ==
                  std::tie(c.number, c.course, c.link, c.points, c.right, c.wrong, c.fell));
    } else {
        const game::CardReading again = game::readCard(game::cardText(c));
        FUZZ_MUST(again.card && !again.typed && *again.card == c);
    }
    return 0;
}
