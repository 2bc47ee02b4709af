// What a screen reader is told of the game: each answer button named for
// its sum and value, and the moments said politely through the window's
// announcing label (shirase): each new sum, せいかい or ざんねん, the time
// left at 30 and 10 seconds and the last three, the end.
#pragma once

#include "form1.h"
#include "outcome.h"

#include <string_view>

namespace game {

class Announcer final : public OutcomeReader {
public:
    Announcer(forms::FormModel& model, const Form1& rules, ControlId shirase)
        : model_(model), rules_(rules), shirase_(shirase) {}
    void read(const Outcome& outcome) override;
    void say(std::string_view words);

private:
    // A new sum in column n: its answers named, and said.
    void newSum(int n);

    forms::FormModel& model_;
    const Form1& rules_;
    ControlId shirase_;
};

}  // namespace game
