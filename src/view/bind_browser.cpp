// The embedded browser. The web engine is heavy (it starts helper processes), so the page view
// is made only when the program first gives the browser a command; until then the control is
// an empty panel.

#include <QFrame>
#include <QVBoxLayout>

#include "forms/browser.h"
#include "view/binders.h"
#include "view/qt_text.h"

#ifdef HG_HAVE_WEBENGINE
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include "view/web_sandbox.h"
#endif

namespace view {

namespace {

#ifdef HG_HAVE_WEBENGINE
const char* const kRefusalTitle = "Page not opened";

// Why a page was not opened, as the page shows it.
QString RefusalPage(const QUrl& address) {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
             "<body style=\"font-family: sans-serif; margin: 2em;\"><h2>%1</h2>"
             "<p><b>%2</b></p>"
             "<p>The program runs as the administrator (root), or with the web browser's sandbox "
             "switched off. Without its sandbox the browser opens only pages from this computer: "
             "files, and addresses such as 127.0.0.1. A page from the network could otherwise "
             "reach the whole computer.</p>"
             "<p>To see this page, start the program as an ordinary user, or open the address in "
             "your usual web browser.</p></body></html>")
      .arg(QString::fromLatin1(kRefusalTitle), address.toDisplayString().toHtmlEscaped());
}

// Every request of an engine without its sandbox, whatever asks for it (a page's pictures and
// scripts, redirects, sockets): what is not local is blocked before any connection.
class LocalOnlyInterceptor final : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    if (!IsLocalPage(info.requestUrl()))
      info.block(true);
  }
};

void KeepProfileLocal(QWebEngineProfile& profile) {
  const char* const kInstalled = "hgLocalOnly";
  if (profile.property(kInstalled).toBool())
    return;
  profile.setProperty(kInstalled, true);
  profile.setUrlRequestInterceptor(new LocalOnlyInterceptor(&profile));
}

// Hands a page's request for a new window to the program, which may refuse it; otherwise the
// new page opens in the same view. Without the sandbox, a page that is not local is replaced by
// one that says why it was not opened.
class BrowserPage final : public QWebEnginePage {
 public:
  BrowserPage(forms::Browser& browser, QObject* parent)
      : QWebEnginePage(parent), browser_(browser), local_only_(!WebEngineSandboxed()) {
    if (!local_only_)
      return;
    KeepProfileLocal(*profile());
    // Runs before the view reports the load: a refusal page stands for the address it refused.
    connect(this, &QWebEnginePage::loadFinished, this, [this] {
      if (!refusing_.isEmpty() && url().scheme() == QLatin1String("data")) {
        refusal_page_ = url();
        refused_ = refusing_;
        refusing_.clear();
      }
    });
  }

  // The address the page shows: for a refusal, the address refused.
  QUrl ShownAddress() const { return url() == refusal_page_ ? refused_ : url(); }

 protected:
  QWebEnginePage* createWindow(WebWindowType) override {
    return browser_.ViewNewWindowRequested() ? nullptr : this;
  }

  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool main_frame) override {
    if (!local_only_ || IsLocalPage(url))
      return true;
    if (main_frame) {
      refusing_ = url;
      // Not from inside the engine's own navigation step.
      QTimer::singleShot(0, this, [this, url] { setHtml(RefusalPage(url)); });
    }
    return false;
  }

 private:
  forms::Browser& browser_;
  const bool local_only_;
  // The address whose refusal page is loading.
  QUrl refusing_;
  // The refusal page shown last (its data address), and the address it refused.
  QUrl refusal_page_;
  QUrl refused_;
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
      page_ = new BrowserPage(browser_, view_);
      view_->setPage(page_);
      widget()->layout()->addWidget(view_);
      OnUser(view_, &QWebEngineView::loadFinished, [this] {
        browser_.ViewDownloadComplete(FromQString(page_->ShownAddress().toString()),
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
  BrowserPage* page_ = nullptr;
#endif
};

}  // namespace

std::unique_ptr<Binding> MakeBrowserBinding(forms::Control& control, BindContext& context,
                                            const ControlDesign& design) {
  return std::make_unique<BrowserBinding>(static_cast<forms::Browser&>(control), context, design);
}

}  // namespace view
