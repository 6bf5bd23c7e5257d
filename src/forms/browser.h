#pragma once
// An embedded web browser as the logic sees it: where it is, what it says, and the commands
// it is given. The view carries out the commands and reports back through the View* calls.

#include <string>

#include "forms/control.h"

namespace forms {

class Browser final : public Control {
 public:
  enum class Command { kNavigate, kGoBack, kGoForward, kStop, kRefresh };

  Browser(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kBrowser, std::move(name), index) {}

  // The address asked for last (by Navigate) or reached (reported by the view).
  const std::string& LocationUrl() const { return location_url_; }
  // The page title reported by the view.
  const std::string& LocationName() const { return location_name_; }
  const std::string& StatusText() const { return status_text_; }

  void Navigate(std::string url);
  void GoBack() { Send(Command::kGoBack); }
  void GoForward() { Send(Command::kGoForward); }
  void Stop() { Send(Command::kStop); }
  void Refresh() { Send(Command::kRefresh); }

  // Handlers.
  std::function<void(const std::string& text)> on_status_text_change;
  std::function<void()> on_download_complete;
  // Set `cancel` to refuse a new window that a page asks for.
  std::function<void(bool& cancel)> on_new_window;

  // The view's side: commands to carry out, and what the page did.
  std::function<void(Browser&, Command)> command_sink;
  void ViewStatusTextChanged(std::string text);
  void ViewDownloadComplete(std::string url, std::string title);
  // True when the new window is refused.
  bool ViewNewWindowRequested();

 private:
  void Send(Command command);

  std::string location_url_;
  std::string location_name_;
  std::string status_text_;
};

}  // namespace forms
