// ペルモロプラス in the browser: the opening window first, then, at its
// hand-over, the game window, both drawn into the page.
#include "device_time.h"
#include "game/cright.h"
#include "game/practice.h"
#include "game/form1_table.h"
#include "game/random.h"
#include "game/session.h"
#include "game/sounds.h"
#include "platform/web/web_page.h"
#include "platform/web/web_sound.h"
#include "platform/web/web_window.h"

#include <emscripten/html5.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

class Program {
public:
    Program() : random_(clock(), seed()), cright_([this] { handOver(); })
    {
        page_.setStage(game::form1Table());
        // A teacher's link: courses, time, pace and sound; what cannot be
        // read is named above the game. The page's own test parameters are
        // no teacher's.
        static constexpr std::array<std::string_view, 2> kPageParameters{"clock", "seed"};
        practice_ = game::readPractice(page_.query(), kPageParameters);
        page_.showNotice(game::notice(practice_));
    }

    void start()
    {
        opening_ = std::make_unique<platform::WebWindow>(cright_, page_);
        opening_->show();
    }

private:
    // On the manual clock the random source reads that clock and starts from
    // a fixed seed (?seed=N, else 1), so that a test sees the same game each
    // time; otherwise it reads the time of day.
    game::Rng::Clock clock()
    {
        if (page_.manualClock())
            return [this] { return static_cast<std::uint64_t>(page_.now()); };
        return [] { return static_cast<std::uint64_t>(emscripten_date_now() * 1000.0); };
    }

    std::uint64_t seed() const
    {
        if (page_.manualClock()) {
            // Anything but digits is no seed (the program must not stop on an address).
            const std::string given = page_.parameter("seed");
            if (given.empty() || given.size() > 19 || given.find_first_not_of("0123456789") != std::string::npos)
                return 1;
            return std::strtoull(given.c_str(), nullptr, 10);
        }
        return static_cast<std::uint64_t>(emscripten_performance_now() * 1000.0) ^
               static_cast<std::uint64_t>(emscripten_date_now());
    }

    // The sounds are made when the player first touches the page, which is
    // when the browser lets it sound; the browser keeps its own copy.
    static void prepareSounds(platform::WebSound& sound)
    {
        const game::SoundBank bank;
        for (std::size_t cue = 0; cue < game::kCueCount; ++cue)
            sound.add(bank.pcm(static_cast<game::Cue>(cue)), bank.sampleRate());
    }

    void handOver()
    {
        session_ = std::make_unique<game::Session>(
            random_, !practice_.soundOff, [this](game::Cue cue) { sound_.play(static_cast<int>(cue)); }, practice_,
            deviceTime);
        main_ = std::make_unique<platform::WebWindow>(*session_, page_);
        main_->show();

        opening_->hide();
        page_.later([this] { opening_.reset(); });
    }

    platform::WebPage page_;
    platform::WebSound sound_{&Program::prepareSounds};
    game::Rng random_;
    game::Practice practice_;
    game::Cright cright_;
    std::unique_ptr<platform::WebWindow> opening_;
    std::unique_ptr<game::Session> session_;
    std::unique_ptr<platform::WebWindow> main_;
};

}  // namespace

int main()
{
    // The program lives as long as the page: main returns to the browser.
    static Program program;
    program.start();
    return 0;
}
