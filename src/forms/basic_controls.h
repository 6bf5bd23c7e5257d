#pragma once
// Controls whose state is a caption or a picture: labels, buttons, frames, shapes, images.

#include <string>

#include "forms/control.h"

namespace forms {

// A control with a caption.
class CaptionedControl : public Control {
 public:
  using Control::Control;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 protected:
  // Runs after the caption changed (a label's change event).
  virtual void OnCaptionChanged() {}
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  std::string caption_design_;
};

class Label final : public CaptionedControl {
 public:
  Label(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kLabel, std::move(name), index) {}

  // Runs when the caption changes, by code or otherwise.
  std::function<void()> on_change;

 protected:
  void OnCaptionChanged() override;
};

class CommandButton final : public CaptionedControl {
 public:
  CommandButton(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kCommandButton, std::move(name), index) {}
};

// A container: controls whose Container() is this frame move, hide and disable with it.
class Frame final : public CaptionedControl {
 public:
  Frame(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kFrame, std::move(name), index) {}
};

class Shape final : public Control {
 public:
  enum class Kind { kRectangle, kSquare, kOval, kCircle, kRoundedRectangle, kRoundedSquare };

  Shape(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kShape, std::move(name), index) {}

  Kind GetShape() const { return state_.shape; }
  void SetShape(Kind shape);
  Color FillColor() const { return state_.fill_color; }
  void SetFillColor(Color color);
  Color BorderColor() const { return state_.border_color; }
  void SetBorderColor(Color color);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    Kind shape = Kind::kRectangle;
    Color fill_color = kBlack;
    Color border_color = kBlack;
  };
  State state_;
  State design_;
};

// A picture, named by the resource the view shows for it ("" = none).
class Image final : public Control {
 public:
  Image(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kImage, std::move(name), index) {}

  const std::string& Picture() const { return state_.picture; }
  void SetPicture(std::string picture);
  bool Stretch() const { return state_.stretch; }
  void SetStretch(bool stretch);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    std::string picture;
    bool stretch = false;
  };
  State state_;
  State design_;
};

}  // namespace forms
