// A window's behaviour as every realisation drives it: the handlers of its
// events, which write their results into the window's control model.
#pragma once

#include "form_model.h"

namespace forms {

class FormLogic {
public:
    virtual ~FormLogic() = default;
    virtual FormModel& model() = 0;
    virtual void load() = 0;
    virtual void click(ControlId) {}
    virtual void tick(ControlId timer) = 0;
    // The window has left the player's sight: minimised, hidden, or its page
    // sent to the background.
    virtual void hidden() {}
};

}  // namespace forms
