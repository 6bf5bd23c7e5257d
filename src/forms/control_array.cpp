#include "forms/control_array.h"

#include <algorithm>

namespace forms {

ControlArrayBase::ControlArrayBase(Form& form, std::string name)
    : form_(form), name_(std::move(name)) {
  form_.arrays_.push_back(this);
}

ControlArrayBase::~ControlArrayBase() {
  std::erase(form_.arrays_, this);
}

}  // namespace forms
