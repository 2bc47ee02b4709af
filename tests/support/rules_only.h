// The game window's rules alone, driven as a window is, for the tests that
// look at the rules without what the session adds around them. The last
// outcome is kept, and each one can be heard as it comes.
#pragma once

#include "game/form1.h"

#include "forms/form_logic.h"

#include <functional>

namespace testing {

class RulesOnly final : public forms::FormLogic {
public:
    explicit RulesOnly(game::Form1& rules) : rules_(rules) {}

    forms::FormModel& model() override { return rules_.model(); }
    void load() override { rules_.load(); }
    void click(forms::ControlId id) override { hear(rules_.click(id)); }
    void tick(forms::ControlId timer) override { hear(rules_.tick(timer)); }

    const game::Outcome& last() const { return last_; }
    std::function<void(const game::Outcome&)> listener;

private:
    void hear(const game::Outcome& outcome)
    {
        last_ = outcome;
        if (listener)
            listener(outcome);
    }

    game::Form1& rules_;
    game::Outcome last_;
};

}  // namespace testing
