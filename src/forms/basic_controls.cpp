#include "forms/basic_controls.h"

#include <utility>

namespace forms {

void CaptionedControl::SetCaption(std::string caption) {
  if (caption_ == caption)
    return;
  caption_ = std::move(caption);
  Changed();
  OnCaptionChanged();
}

void CaptionedControl::SaveDesign() {
  Control::SaveDesign();
  caption_design_ = caption_;
}

void CaptionedControl::RestoreDesign() {
  caption_ = caption_design_;
  Control::RestoreDesign();
}

void CaptionedControl::CopyFrom(const Control& other) {
  caption_ = static_cast<const CaptionedControl&>(other).caption_;
  Control::CopyFrom(other);
}

void Label::OnCaptionChanged() {
  if (on_change)
    on_change();
}

void Shape::SetShape(Kind shape) {
  if (state_.shape == shape)
    return;
  state_.shape = shape;
  Changed();
}

void Shape::SetFillColor(Color color) {
  if (state_.fill_color == color)
    return;
  state_.fill_color = color;
  Changed();
}

void Shape::SetBorderColor(Color color) {
  if (state_.border_color == color)
    return;
  state_.border_color = color;
  Changed();
}

void Shape::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void Shape::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void Shape::CopyFrom(const Control& other) {
  state_ = static_cast<const Shape&>(other).state_;
  Control::CopyFrom(other);
}

void Image::SetPicture(std::string picture) {
  if (state_.picture == picture)
    return;
  state_.picture = std::move(picture);
  Changed();
}

void Image::SetStretch(bool stretch) {
  if (state_.stretch == stretch)
    return;
  state_.stretch = stretch;
  Changed();
}

void Image::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void Image::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void Image::CopyFrom(const Control& other) {
  state_ = static_cast<const Image&>(other).state_;
  Control::CopyFrom(other);
}

}  // namespace forms
