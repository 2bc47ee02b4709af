// ペルモロプラス in the browser: the opening window first, then, at its
// hand-over, the game window, both drawn into the page.
#include "game/game_window.h"
#include "game/sounds.h"
#include "game/random.h"
#include "screens/cright.h"
#include "screens/form1_layout.h"
#include "screens/web/web_form.h"
#include "screens/web/web_page.h"
#include "screens/web/web_sound.h"

#include <emscripten/html5.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

class Program {
public:
    Program() : random_(clock(), seed()), cright_([this] { handOver(); })
    {
        page_.setStage(screens::form1Layout());
    }

    void start()
    {
        opening_ = std::make_unique<screens::WebForm>(cright_, page_);
        opening_->show();
        page_.afterEvent();
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
    static void prepareSounds(screens::WebSound& sound)
    {
        const game::SoundBank bank;
        for (std::size_t cue = 0; cue < game::kCueCount; ++cue)
            sound.add(bank.pcm(static_cast<game::Cue>(cue)), bank.sampleRate());
    }

    void handOver()
    {
        // A teacher may open the page muted: ?sound=off.
        const bool soundOn = page_.parameter("sound") != "off";
        form1_ = std::make_unique<game::GameWindow>(random_, soundOn,
                                                    [this](game::Cue cue) { sound_.play(static_cast<int>(cue)); });
        main_ = std::make_unique<screens::WebForm>(*form1_, page_);
        const game::Form1::Controls& c = form1_->rules().controls();
        // The verdict is read out when it comes; the countdown never by itself.
        main_->setRole(c.hyouka, "status");
        main_->setRole(c.seigenjikan, "timer");
        main_->show();

        opening_->hide();
        page_.later([this] { opening_.reset(); });
    }

    screens::WebPage page_;
    screens::WebSound sound_{&Program::prepareSounds};
    game::Rng random_;
    screens::Cright cright_;
    std::unique_ptr<screens::WebForm> opening_;
    std::unique_ptr<game::GameWindow> form1_;
    std::unique_ptr<screens::WebForm> main_;
};

}  // namespace

int main()
{
    // The program lives as long as the page: main returns to the browser.
    static Program program;
    program.start();
    return 0;
}
