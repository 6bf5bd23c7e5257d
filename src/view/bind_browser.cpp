// The embedded browser. The web engine is heavy (it starts helper processes), so the page view
// is made only when the program first gives the browser a command; until then the control is
// an empty panel.

#include <QFrame>
#include <QVBoxLayout>

#include "forms/browser.h"
#include "view/binders.h"
#include "view/qt_text.h"

#ifdef HG_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

namespace view {

namespace {

#ifdef HG_HAVE_WEBENGINE
// Hands a page's request for a new window to the program, which may refuse it; otherwise the
// new page opens in the same view.
class BrowserPage final : public QWebEnginePage {
 public:
  BrowserPage(forms::Browser& browser, QObject* parent)
      : QWebEnginePage(parent), browser_(browser) {}

 protected:
  QWebEnginePage* createWindow(WebWindowType) override {
    return browser_.ViewNewWindowRequested() ? nullptr : this;
  }

 private:
  forms::Browser& browser_;
};
#endif

class BrowserBinding final : public Binding {
 public:
  BrowserBinding(forms::Browser& browser, BindContext& context, const ControlDesign& design)
      : Binding(browser, context, design), browser_(browser) {}

  void Detach() override {
    browser_.command_sink = nullptr;
    Binding::Detach();
  }

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    auto* holder = new QFrame(parent);
    holder->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_.command_sink = [this](forms::Browser&, forms::Browser::Command command) {
      Carry(command);
    };
    return holder;
  }

 private:
  void Carry(forms::Browser::Command command) {
#ifdef HG_HAVE_WEBENGINE
    if (!view_) {
      view_ = new QWebEngineView(widget());
      view_->setPage(new BrowserPage(browser_, view_));
      widget()->layout()->addWidget(view_);
      OnUser(view_, &QWebEngineView::loadFinished, [this] {
        browser_.ViewDownloadComplete(FromQString(view_->url().toString()),
                                      FromQString(view_->title()));
      });
      OnUser(view_->page(), &QWebEnginePage::linkHovered,
             [this](const QString& url) { browser_.ViewStatusTextChanged(FromQString(url)); });
    }
    using Command = forms::Browser::Command;
    switch (command) {
      case Command::kNavigate:
        view_->setUrl(QUrl::fromUserInput(ToQString(browser_.LocationUrl())));
        break;
      case Command::kGoBack:
        view_->back();
        break;
      case Command::kGoForward:
        view_->forward();
        break;
      case Command::kStop:
        view_->stop();
        break;
      case Command::kRefresh:
        view_->reload();
        break;
    }
#else
    (void)command;
#endif
  }

  forms::Browser& browser_;
#ifdef HG_HAVE_WEBENGINE
  QWebEngineView* view_ = nullptr;
#endif
};

}  // namespace

std::unique_ptr<Binding> MakeBrowserBinding(forms::Control& control, BindContext& context,
                                            const ControlDesign& design) {
  return std::make_unique<BrowserBinding>(static_cast<forms::Browser&>(control), context, design);
}

}  // namespace view
