// Controls looked up by their names in a window's table. The code that works
// a window resolves every name it needs once, when it starts; a name that
// names no control is kept, so that a test tells at once which one is
// misspelt instead of a control that silently never changes.
#pragma once

#include "control.h"

#include <string>
#include <string_view>
#include <vector>

namespace forms {

class Names {
public:
    explicit Names(const WindowSpec& spec) : spec_(&spec) {}

    // The control called `name` (element `index` of an array), or kNoControl.
    ControlId operator()(std::string_view name, int index = -1);

    // Every name asked for that the table does not have, as written in the
    // code: "name" or "name(index)".
    const std::vector<std::string>& missing() const { return missing_; }

private:
    const WindowSpec* spec_;
    std::vector<std::string> missing_;
};

}  // namespace forms
