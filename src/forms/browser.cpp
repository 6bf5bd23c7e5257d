#include "forms/browser.h"

#include <utility>

#include "forms/runtime.h"

namespace forms {

void Browser::Navigate(std::string url) {
  location_url_ = std::move(url);
  Changed();
  Send(Command::kNavigate);
}

void Browser::Send(Command command) {
  if (command_sink)
    command_sink(*this, command);
}

void Browser::ViewStatusTextChanged(std::string text) {
  runtime().Dispatch([this, &text] {
    status_text_ = std::move(text);
    Changed();
    if (on_status_text_change)
      on_status_text_change(status_text_);
  });
}

void Browser::ViewDownloadComplete(std::string url, std::string title) {
  runtime().Dispatch([this, &url, &title] {
    location_url_ = std::move(url);
    location_name_ = std::move(title);
    Changed();
    if (on_download_complete)
      on_download_complete();
  });
}

bool Browser::ViewNewWindowRequested() {
  bool cancel = false;
  runtime().Dispatch([this, &cancel] {
    if (on_new_window)
      on_new_window(cancel);
  });
  return cancel;
}

}  // namespace forms
