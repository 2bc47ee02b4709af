// A card as the game writes it, made from the fuzzer's bytes with every
// field within its range: the animals' courses or a link's, the sums
// missed drawn by the course played. Its QR code's text reads back as the
// same card; its short code, as the fields the short code carries, also
// typed as a teacher may type it: small letters, full-width signs, the
// look-alikes the code leaves out, spaces and hyphens anywhere.
#include "fuzz.h"
#include "game/card.h"
#include "game/random.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <tuple>

namespace {

// Up to six courses a game can play, or none: the animals'.
std::vector<game::Course> courses(FuzzedDataProvider& in)
{
    std::vector<game::Course> out;
    const auto kinds = game::courseKinds();
    const int count = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        game::Course c;
        c.kind = kinds[in.ConsumeIntegralInRange<std::size_t>(0, kinds.size() - 1)];
        const game::CourseKind::Form& form = c.kind->form();
        c.option = in.ConsumeIntegralInRange<std::uint8_t>(0, static_cast<std::uint8_t>(form.options.size()));
        if (form.tables) {
            const auto ticked = in.ConsumeIntegral<std::uint16_t>();
            for (std::uint8_t d = 1; d <= 9; ++d) {
                if (ticked & (1u << d))
                    c.tables.push_back(d);
            }
            if (c.tables.empty() || c.kind->fault(c))
                continue;
        } else {
            c.from = in.ConsumeIntegralInRange<game::Integer>(form.lowest, form.highest);
            c.to = in.ConsumeIntegralInRange<game::Integer>(c.from, form.highest);
            if (c.kind->fault(c))
                continue;
        }
        out.push_back(c);
    }
    return out;
}

// The short code as typed: each sign perhaps small, full-width or its
// look-alike, with spaces and hyphens (also full-width ones) between.
std::string typed(const std::string& code, FuzzedDataProvider& in)
{
    static constexpr std::string_view kAlike[][2] = {{"0", "Oo"}, {"1", "IiLl"}, {"8", "Bb"}, {"5", "Ss"}, {"2", "Zz"}, {"V", "Uu"}};
    std::string out;
    for (char c : code) {
        const auto how = in.ConsumeIntegral<std::uint8_t>();
        if (c == ' ')
            c = (how & 3) == 0 ? ' ' : (how & 3) == 1 ? '-' : 0;
        if (c == 0) {
            out += (how & 4) ? "\u3000" : "\uFF0D";
            continue;
        }
        if (how & 8) {
            for (const auto& [sign, alike] : kAlike) {
                if (c == sign[0])
                    c = alike[how % alike.size()];
            }
        }
        if ((how & 16) && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if ((how & 32) && c != ' ') {
            // U+FF01 to U+FF5E, in UTF-8; the full-width space is U+3000.
            const unsigned code = 0xFF00u + static_cast<unsigned char>(c) - 0x20u;
            out += {'\xEF', static_cast<char>(0x80 | (code >> 6 & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
        } else {
            out += c;
        }
        if (how & 64)
            out += (how & 128) ? " " : "-";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    game::Card card;
    card.courses = courses(in);
    card.link = card.courses.empty() ? 0 : game::linkMark(card.courses);
    card.number = in.ConsumeIntegralInRange(0, game::Card::kMaxNumber);
    card.course = in.ConsumeIntegralInRange(1, card.courses.empty() ? 6 : static_cast<int>(card.courses.size()));
    card.points = in.ConsumeIntegralInRange<game::Integer>(0, 32767);
    card.right = in.ConsumeIntegralInRange(0, game::Card::kMaxCount);
    card.wrong = in.ConsumeIntegralInRange(0, game::Card::kMaxCount);
    card.fell = in.ConsumeIntegralInRange(0, game::Card::kMaxCount);
    card.perMinute = in.ConsumeIntegralInRange<game::Integer>(0, 32767);
    card.seconds = in.ConsumeIntegralInRange<game::Integer>(30, 600);
    card.pace = in.ConsumeIntegralInRange(25, 100);
    card.when = {in.ConsumeIntegralInRange(2000, 2099), in.ConsumeIntegralInRange(1, 12), in.ConsumeIntegralInRange(1, 31),
                 in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59)};
    // The sums missed, as the course played draws them; the animals' are
    // the design's adding and subtracting, never below 0.
    const auto missed = in.ConsumeIntegralInRange<std::size_t>(0, game::Card::kMaxMissed);
    game::Rng random({}, in.ConsumeIntegral<std::uint32_t>());
    game::Deal deal;
    for (std::size_t i = 0; i < missed; ++i) {
        if (card.courses.empty()) {
            const auto a = in.ConsumeIntegralInRange<game::Integer>(0, 99), b = in.ConsumeIntegralInRange<game::Integer>(0, 99);
            card.missed.push_back(in.ConsumeBool() || a < b ? game::Sum{.num1 = a, .num2 = b, .op = game::Op::Plus, .answer = static_cast<game::Integer>(a + b)}
                                                            : game::Sum{.num1 = a, .num2 = b, .op = game::Op::Minus, .answer = static_cast<game::Integer>(a - b)});
        } else {
            const game::Course& c = card.courses[static_cast<std::size_t>(card.course - 1)];
            card.missed.push_back(c.kind->draw(c, deal, random));
        }
    }
    card.missedCount = in.ConsumeIntegralInRange(static_cast<int>(missed), 99999);

    const game::CardReading scanned = game::readCard(game::cardText(card));
    FUZZ_MUST(scanned.card && !scanned.typed);
    FUZZ_MUST(*scanned.card == card);

    const std::string code = game::shortCode(card);
    for (const std::string& text : {code, typed(code, in)}) {
        const game::CardReading read = game::readCard(text);
        FUZZ_MUST(read.card && read.typed);
        const game::Card& t = *read.card;
        FUZZ_MUST(std::tie(t.number, t.course, t.link, t.points, t.right, t.wrong, t.fell) ==
                  std::tie(card.number, card.course, card.link, card.points, card.right, card.wrong, card.fell));
    }
    return 0;
}
