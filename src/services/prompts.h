#pragma once
// Message boxes as the program's logic asks for them: buttons, icon and title in one style
// word, the answer as a button code. The form runtime implements Prompter.

#include <string>
#include <string_view>

namespace services {

// Buttons.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// Icons.
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// Default button and modality bits.
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbSystemModal = 4096;
// Answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows a modal message box and returns the button chosen. An empty title means the product
  // name.
  virtual int MsgBox(std::string_view prompt, int style, std::string_view title) = 0;
};

}  // namespace services
