// A game window driven in virtual time, with the helpers the game tests share.
#pragma once

#include "game/form1.h"
#include "support/rules_only.h"
#include "support/scripted_random.h"
#include "support/virtual_clock.h"

#include <string>

namespace testing {

struct Game {
    ScriptedRandom random;
    game::Form1 form{random};
    RulesOnly rules{form};
    VirtualClock clock{rules};

    Game() { clock.load(); }

    const game::Form1::Controls& c() const { return form.controls(); }
    const game::Form1::Variables& v() const { return form.vars(); }
    const forms::ControlState& operator[](forms::ControlId id) const { return form.model()[id]; }
    const std::string& caption(forms::ControlId id) const { return form.model()[id].caption; }

    void choose(int course) { clock.click(c().rebel[course]); }
    void answer(int n, int k) { clock.click(c().kotae[n][k]); }

    // The first button of problem n that shows (or does not show) its result.
    int button(int n, bool right) const
    {
        for (int k = 1; k <= 3; ++k) {
            if ((game::captionValue(caption(c().kotae[n][k])) == v().answer[n]) == right)
                return k;
        }
        return 0;
    }
    void answerRight(int n) { answer(n, button(n, true)); }
    // Problem n's draws may put its result on all three buttons; then the
    // next problem is tried.
    bool answerWrong()
    {
        for (int n = 1; n <= 3; ++n) {
            if (const int k = button(n, false)) {
                answer(n, k);
                return true;
            }
        }
        return false;
    }
    // Plays out the rest of the game.
    void finish() { clock.advanceTo(clock.now() + 61'000); }
    bool playing() const { return form.phase() == game::Phase::Playing; }
};

}  // namespace testing
