#pragma once
// The clipboard as the program uses it: emptied, then given plain text. The view implements it
// over the desktop's clipboard; RecordingClipboard stands in for it in tests.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace services {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard. False when it cannot be taken (another program holds it); it is
  // then left as it was.
  virtual bool Clear() = 0;
  // Puts plain text (Windows-1252, CR LF line breaks) on the clipboard in place of what it
  // held. False when it cannot be taken.
  virtual bool SetText(std::string_view text) = 0;
};

// Keeps the clipboard's content in memory and records every call. It can be told to refuse,
// as when another program holds the clipboard.
class RecordingClipboard final : public Clipboard {
 public:
  bool Clear() override;
  bool SetText(std::string_view text) override;

  void Refuse(bool refuse) { refuse_ = refuse; }
  // The text on the clipboard; nothing while it is empty.
  const std::optional<std::string>& text() const { return text_; }
  // "Clear" and "SetText", in order, refused calls included.
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  std::optional<std::string> text_;
  std::vector<std::string> calls_;
  bool refuse_ = false;
};

}  // namespace services
