// Labels, buttons, frames, shapes and images.

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "forms/basic_controls.h"
#include "view/binders.h"
#include "view/qt_text.h"

namespace view {

namespace {

Qt::Alignment ToQtAlignment(Align align) {
  switch (align) {
    case Align::kCenter:
      return Qt::AlignHCenter;
    case Align::kRight:
      return Qt::AlignRight;
    case Align::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

// A label that shows its whole text on one line, elided in the middle when it is too long.
class OneLineLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  void SetFullText(const QString& text) {
    if (text == full_text_)
      return;
    full_text_ = text;
    setToolTip(text);
    Elide();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }

 private:
  void Elide() { setText(fontMetrics().elidedText(full_text_, Qt::ElideMiddle, width())); }

  QString full_text_;
};

QString OnOneLine(const std::string& text) {
  QString line = ToQString(text);
  line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  line.replace(QChar('\r'), QChar(' '));
  line.replace(QChar('\n'), QChar(' '));
  return line;
}

class LabelBinding final : public Binding {
 public:
  LabelBinding(forms::Label& label, BindContext& context, const ControlDesign& design)
      : Binding(label, context, design), label_(label) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    if (design().one_line) {
      one_line_ = new OneLineLabel(parent);
      widget_ = one_line_;
    } else {
      widget_ = new QLabel(parent);
      // A label's caption wraps inside its box, as the program's labels do.
      widget_->setWordWrap(true);
    }
    widget_->setTextFormat(Qt::PlainText);
    widget_->setAlignment(ToQtAlignment(design().align) | Qt::AlignTop);
    if (design().role == Role::kLink || design().role == Role::kCloseBox)
      widget_->setCursor(Qt::PointingHandCursor);
    return widget_;
  }
  void RefreshKind() override {
    if (one_line_) {
      one_line_->SetFullText(OnOneLine(label_.Caption()));
      return;
    }
    const QString text = ToQStringLines(label_.Caption());
    if (widget_->text() != text)
      widget_->setText(text);
  }
  bool SynthesizesClick() const override { return true; }

 private:
  forms::Label& label_;
  QLabel* widget_ = nullptr;
  OneLineLabel* one_line_ = nullptr;
};

class ButtonBinding final : public Binding {
 public:
  ButtonBinding(forms::CommandButton& button, BindContext& context, const ControlDesign& design)
      : Binding(button, context, design), button_(button) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QPushButton(parent);
    widget_->setAutoDefault(false);
    OnUser(widget_, &QPushButton::clicked, [this] { UserAction([this] { button_.UserClick(); }); });
    return widget_;
  }
  void RefreshKind() override {
    const QString text = ToQString(button_.Caption());
    if (widget_->text() != text)
      widget_->setText(text);
  }

 private:
  forms::CommandButton& button_;
  QPushButton* widget_ = nullptr;
};

// A frame holds other controls: a captioned group box, or a plain panel.
class FrameBinding final : public Binding {
 public:
  FrameBinding(forms::Frame& frame, BindContext& context, const ControlDesign& design)
      : Binding(frame, context, design), frame_(frame) {}

  QWidget* ChildArea() const override { return widget(); }

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    const Role role = design().role;
    const bool picture_box = context().TypeName(frame_) == "PictureBox";
    const bool grouped = role == Role::kGroup || role == Role::kPage ||
                         (role == Role::kPlain && !picture_box && !frame_.Caption().empty());
    if (grouped) {
      group_ = new QGroupBox(parent);
      return group_;
    }
    auto* panel = new QFrame(parent);
    panel->setFrameShape(picture_box && role != Role::kPanel ? QFrame::StyledPanel
                                                             : QFrame::NoFrame);
    return panel;
  }
  void RefreshKind() override {
    if (!group_)
      return;
    const QString title = ToQString(frame_.Caption());
    if (group_->title() != title)
      group_->setTitle(title);
  }
  bool SynthesizesClick() const override { return true; }

 private:
  forms::Frame& frame_;
  QGroupBox* group_ = nullptr;
};

class ShapeWidget final : public QWidget {
 public:
  ShapeWidget(forms::Shape& shape, QWidget* parent) : QWidget(parent), shape_(shape) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ToQColor(shape_.BorderColor()), 1));
    painter.setBrush(ToQColor(shape_.FillColor()));
    QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    using Kind = forms::Shape::Kind;
    const Kind kind = shape_.GetShape();
    if (kind == Kind::kSquare || kind == Kind::kCircle || kind == Kind::kRoundedSquare) {
      const double side = std::min(box.width(), box.height());
      box = QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    }
    switch (kind) {
      case Kind::kOval:
      case Kind::kCircle:
        painter.drawEllipse(box);
        break;
      case Kind::kRoundedRectangle:
      case Kind::kRoundedSquare: {
        const double radius = std::min(box.width(), box.height()) / 6;
        painter.drawRoundedRect(box, radius, radius);
        break;
      }
      case Kind::kRectangle:
      case Kind::kSquare:
        painter.drawRect(box);
        break;
    }
  }

 private:
  forms::Shape& shape_;
};

class ShapeBinding final : public Binding {
 public:
  ShapeBinding(forms::Shape& shape, BindContext& context, const ControlDesign& design)
      : Binding(shape, context, design), shape_(shape) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override { return new ShapeWidget(shape_, parent); }
  void RefreshKind() override { widget()->update(); }
  bool UsesColors() const override { return false; }

 private:
  forms::Shape& shape_;
};

class ImageBinding final : public Binding {
 public:
  ImageBinding(forms::Image& image, BindContext& context, const ControlDesign& design)
      : Binding(image, context, design), image_(image) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QLabel(parent);
    widget_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget_;
  }
  void RefreshKind() override {
    if (image_.Picture() != shown_) {
      shown_ = image_.Picture();
      widget_->setPixmap(shown_.empty() ? QPixmap() : context().Picture(shown_));
    }
    widget_->setScaledContents(image_.Stretch());
  }
  bool SynthesizesClick() const override { return true; }

 private:
  forms::Image& image_;
  QLabel* widget_ = nullptr;
  std::string shown_;
};

}  // namespace

std::unique_ptr<Binding> MakeCaptionBinding(forms::Control& control, BindContext& context,
                                            const ControlDesign& design) {
  switch (control.kind()) {
    case forms::ControlKind::kLabel:
      return std::make_unique<LabelBinding>(static_cast<forms::Label&>(control), context, design);
    case forms::ControlKind::kCommandButton:
      return std::make_unique<ButtonBinding>(static_cast<forms::CommandButton&>(control), context,
                                             design);
    case forms::ControlKind::kFrame:
      return std::make_unique<FrameBinding>(static_cast<forms::Frame&>(control), context, design);
    case forms::ControlKind::kShape:
      return std::make_unique<ShapeBinding>(static_cast<forms::Shape&>(control), context, design);
    default:
      return std::make_unique<ImageBinding>(static_cast<forms::Image&>(control), context, design);
  }
}

}  // namespace view
