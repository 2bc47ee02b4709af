#include "names.h"

namespace forms {

ControlId Names::operator()(std::string_view name, int index)
{
    const ControlId id = spec_->find(name, index);
    if (id == kNoControl)
        missing_.push_back(std::string(name) + (index < 0 ? "" : "(" + std::to_string(index) + ")"));
    return id;
}

}  // namespace forms
