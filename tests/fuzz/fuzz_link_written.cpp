// A link as the teacher's page writes it, made from the fuzzer's bytes:
// courses of every kind with any tables, numbers and words, the seconds,
// the pace and the switches. Read back, it gives every course that can be
// played (up to six) and every setting within its range, and leaves out
// one part for each of the others.
#include "fuzz.h"
#include "game/practice.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A course of a kind, perhaps out of its ranges; whether it is one a link
// can give.
struct Made {
    game::Course course;
    bool valid = false;
};

Made course(FuzzedDataProvider& in)
{
    const auto kinds = game::courseKinds();
    Made m;
    game::Course& c = m.course;
    c.kind = kinds[in.ConsumeIntegralInRange<std::size_t>(0, kinds.size() - 1)];
    const game::CourseKind::Form& form = c.kind->form();
    c.option = in.ConsumeIntegralInRange<std::uint8_t>(0, static_cast<std::uint8_t>(form.options.size()));
    bool inRange = true;
    if (form.tables) {
        // Each table once; in the order given where the kind keeps it,
        // else ascending, as the link reads them.
        const auto ticked = in.ConsumeIntegral<std::uint16_t>();
        for (std::uint8_t d = 1; d <= 9; ++d) {
            if (ticked & (1u << d))
                c.tables.push_back(d);
        }
        if (c.kind->ordered(c)) {
            for (std::size_t i = c.tables.size(); i > 1; --i)
                std::swap(c.tables[i - 1], c.tables[in.ConsumeIntegralInRange<std::size_t>(0, i - 1)]);
        }
        inRange = !c.tables.empty();
    } else {
        c.from = in.ConsumeIntegralInRange<game::Integer>(-1, static_cast<game::Integer>(form.highest + 2));
        c.to = in.ConsumeIntegralInRange<game::Integer>(-1, static_cast<game::Integer>(form.highest + 2));
        inRange = form.lowest <= c.from && c.from <= c.to && c.to <= form.highest;
    }
    m.valid = inRange && !c.kind->fault(c);
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    game::Practice written;
    std::vector<game::Course> valid;
    std::size_t refused = 0;
    const int count = in.ConsumeIntegralInRange(0, 9);
    for (int i = 0; i < count; ++i) {
        const Made m = course(in);
        written.courses.push_back(m.course);
        if (m.valid && valid.size() < game::Practice::kMaxCourses)
            valid.push_back(m.course);
        else
            ++refused;
    }
    written.seconds = in.ConsumeIntegralInRange<game::Integer>(0, 700);
    // The page's pace is a slider in thousandths.
    const int thousandths = in.ConsumeIntegralInRange(0, 1100);
    written.pace = thousandths / 1000.0;
    written.soundOff = in.ConsumeBool();
    written.again = in.ConsumeBool();

    const bool secondsValid = written.seconds >= 30 && written.seconds <= 600;
    const bool paceValid = thousandths >= 250 && thousandths <= 1000;
    // A time other than the game's own is written, and left out when out of
    // range; a pace below 1 likewise; a pace above 1 is not written at all.
    refused += !secondsValid && written.seconds != game::Practice::kSeconds;
    refused += thousandths < 250;

    const std::string query = game::practiceQuery(written);
    const game::Practice read = game::readPractice(query);
    FUZZ_MUST(read.courses == valid);
    FUZZ_MUST(read.seconds == (secondsValid ? written.seconds : game::Practice::kSeconds));
    FUZZ_MUST(std::abs(read.pace - (paceValid ? written.pace : 1.0)) < 1e-9);
    FUZZ_MUST(read.soundOff == written.soundOff && read.again == written.again);
    FUZZ_MUST(read.leftOut.size() == refused);
    return 0;
}
