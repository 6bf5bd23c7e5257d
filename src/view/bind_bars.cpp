// Progress bars, tab strips and status bars.

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>
#include <cmath>

#include "forms/bars.h"
#include "forms/progress_bar.h"
#include "view/binders.h"
#include "view/qt_text.h"
#include "view/twips.h"

namespace view {

namespace {

// Steps of the widget's range: the model's range is any pair of numbers.
constexpr int kProgressSteps = 1000;

class ProgressBinding final : public Binding {
 public:
  ProgressBinding(forms::ProgressBar& bar, BindContext& context, const ControlDesign& design)
      : Binding(bar, context, design), bar_(bar) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QProgressBar(parent);
    widget_->setRange(0, kProgressSteps);
    widget_->setTextVisible(false);
    return widget_;
  }
  void RefreshKind() override {
    const double span = bar_.Max() - bar_.Min();
    const double share = span > 0 ? (bar_.Value() - bar_.Min()) / span : 0;
    const int steps = static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kProgressSteps));
    if (widget_->value() != steps)
      widget_->setValue(steps);
  }

 private:
  forms::ProgressBar& bar_;
  QProgressBar* widget_ = nullptr;
};

// The tabs along the top and a panel under them; the sub-pages are frames laid over the panel.
class TabStripBinding final : public Binding {
 public:
  TabStripBinding(forms::TabStrip& strip, BindContext& context, const ControlDesign& design)
      : Binding(strip, context, design), strip_(strip) {}

  QTabBar* tab_bar() const { return tabs_; }

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    auto* holder = new QWidget(parent);
    holder->setProperty("hgHolder", true);
    panel_ = new QFrame(holder);
    panel_->setObjectName(QStringLiteral("tabPanel"));
    panel_->setFrameShape(QFrame::StyledPanel);
    tabs_ = new QTabBar(holder);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    OnUser(tabs_, &QTabBar::currentChanged, [this](int position) {
      if (position >= 0)
        UserAction([this, position] { strip_.UserSelectTab(position); });
    });
    return holder;
  }
  void RefreshKind() override {
    QStringList wanted;
    for (const std::string& tab : strip_.Tabs())
      wanted << ToQString(tab);
    QStringList shown;
    for (int i = 0; i < tabs_->count(); ++i)
      shown << tabs_->tabText(i);
    if (wanted != shown) {
      while (tabs_->count() > 0)
        tabs_->removeTab(0);
      for (const QString& tab : wanted)
        tabs_->addTab(tab);
    }
    if (tabs_->currentIndex() != strip_.SelectedIndex())
      tabs_->setCurrentIndex(strip_.SelectedIndex());
    const QSize size = widget()->size();
    const int tab_height = tabs_->sizeHint().height();
    tabs_->setGeometry(0, 0, size.width(), tab_height);
    panel_->setGeometry(0, tab_height - 1, size.width(),
                        std::max(0, size.height() - tab_height + 1));
  }

 private:
  forms::TabStrip& strip_;
  QTabBar* tabs_ = nullptr;
  QFrame* panel_ = nullptr;
};

// A status bar sits along the bottom of the window, as wide as the window, whatever size the
// window is given: the model keeps only its height.
class StatusBarBinding final : public Binding {
 public:
  StatusBarBinding(forms::StatusBar& bar, BindContext& context, const ControlDesign& design)
      : Binding(bar, context, design), bar_(bar) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    parent->installEventFilter(this);
    return new QFrame(parent);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && widget() && watched == widget()->parentWidget())
      Refresh();
    return Binding::eventFilter(watched, event);
  }
  void RefreshKind() override {
    QWidget* holder = widget();
    if (QWidget* window = holder->parentWidget()) {
      const int height = TwipsToPixels(bar_.Height());
      holder->setGeometry(0, window->height() - height, window->width(), height);
      holder->raise();
    }
    while (static_cast<int>(panels_.size()) < bar_.PanelCount()) {
      auto* panel = new QLabel(holder);
      panel->setFrameShape(QFrame::Panel);
      panel->setFrameShadow(QFrame::Sunken);
      panel->setTextFormat(Qt::PlainText);
      panel->show();
      panels_.push_back(panel);
    }
    while (static_cast<int>(panels_.size()) > bar_.PanelCount()) {
      delete panels_.back();
      panels_.pop_back();
    }
    int left = 0;
    for (int i = 0; i < bar_.PanelCount(); ++i) {
      const forms::StatusPanel& model = bar_.Panels()[i];
      // The last panel takes what is left of the bar.
      const int width = i + 1 == bar_.PanelCount() ? std::max(0, holder->width() - left)
                                                   : TwipsToPixels(model.width);
      panels_[i]->setGeometry(left, 0, width, holder->height());
      panels_[i]->setText(ToQString(model.text));
      left += width;
    }
  }

 private:
  forms::StatusBar& bar_;
  std::vector<QLabel*> panels_;
};

}  // namespace

std::unique_ptr<Binding> MakeBarBinding(forms::Control& control, BindContext& context,
                                        const ControlDesign& design) {
  switch (control.kind()) {
    case forms::ControlKind::kProgressBar:
      return std::make_unique<ProgressBinding>(static_cast<forms::ProgressBar&>(control), context,
                                               design);
    case forms::ControlKind::kTabStrip:
      return std::make_unique<TabStripBinding>(static_cast<forms::TabStrip&>(control), context,
                                               design);
    default:
      return std::make_unique<StatusBarBinding>(static_cast<forms::StatusBar&>(control), context,
                                                design);
  }
}

}  // namespace view
