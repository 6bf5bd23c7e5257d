#pragma once
// A control array: elements of one kind sharing a name, told apart by index (`frmView(0)`).
// Design elements are added when the window model is built; Load adds elements at run time
// (copies of the lowest element, hidden), and the form's next load drops them again.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/form.h"

namespace forms {

class ControlArrayBase {
 public:
  ControlArrayBase(Form& form, std::string name);
  virtual ~ControlArrayBase();
  ControlArrayBase(const ControlArrayBase&) = delete;
  ControlArrayBase& operator=(const ControlArrayBase&) = delete;

  Form& form() const { return form_; }
  const std::string& name() const { return name_; }

 protected:
  friend class Form;
  // Removes the elements loaded at run time (the form is loading again).
  virtual void DropLoadedElements() = 0;

 private:
  Form& form_;
  std::string name_;
};

template <class T>
class ControlArray final : public ControlArrayBase {
 public:
  // Adds a design element for each of `indexes`.
  ControlArray(Form& form, std::string name, std::initializer_list<int> indexes = {})
      : ControlArrayBase(form, std::move(name)) {
    for (int index : indexes)
      Add(index);
  }

  // Adds a design element. Throws std::invalid_argument when the index is taken or negative.
  T& Add(int index) { return Insert(index); }

  // Throws std::out_of_range when there is no such element.
  T& operator()(int index) const {
    T* element = Find(index);
    if (!element)
      throw std::out_of_range(name() + "(" + std::to_string(index) + ") does not exist");
    return *element;
  }
  T* Find(int index) const {
    auto it = elements_.find(index);
    return it == elements_.end() ? nullptr : it->second.get();
  }
  bool Exists(int index) const { return elements_.count(index) != 0; }
  int Count() const { return static_cast<int>(elements_.size()); }
  // Lowest and highest index; -1 for an empty array.
  int LBound() const { return elements_.empty() ? -1 : elements_.begin()->first; }
  int UBound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
  // Elements by index.
  std::vector<T*> Elements() const {
    std::vector<T*> out;
    for (const auto& [index, element] : elements_)
      out.push_back(element.get());
    return out;
  }

  // Adds an element at run time: a copy of the lowest element's properties, hidden.
  // Throws std::invalid_argument when the index is taken or the array is empty.
  T& Load(int index) {
    if (elements_.empty())
      throw std::invalid_argument(name() + " has no element to copy");
    const T& model = *elements_.begin()->second;
    T& element = Insert(index);
    static_cast<Control&>(element).CopyFrom(model);
    element.SetVisible(false);
    loaded_.insert(index);
    return element;
  }
  // Removes an element added by Load; design elements stay (false).
  bool Unload(int index) {
    if (!loaded_.count(index))
      return false;
    loaded_.erase(index);
    elements_.erase(index);
    return true;
  }

  // Connects the handlers of every element, those present and those added later.
  void SetWiring(std::function<void(T&)> wiring) {
    wiring_ = std::move(wiring);
    if (wiring_)
      for (auto& [index, element] : elements_)
        wiring_(*element);
  }

 protected:
  void DropLoadedElements() override {
    for (int index : loaded_)
      elements_.erase(index);
    loaded_.clear();
  }

 private:
  T& Insert(int index) {
    if (index < 0 || Exists(index))
      throw std::invalid_argument(name() + "(" + std::to_string(index) + ") cannot be added");
    auto element = std::make_unique<T>(form(), name(), index);
    T& ref = *element;
    elements_.emplace(index, std::move(element));
    if (wiring_)
      wiring_(ref);
    return ref;
  }

  std::map<int, std::unique_ptr<T>> elements_;
  std::set<int> loaded_;
  std::function<void(T&)> wiring_;
};

}  // namespace forms
