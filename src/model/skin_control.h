#pragma once
// The skin: a few colours that the program reads from it and applies to the standard controls,
// the style sheet the view draws skinned windows with, and the record of which windows have been
// handed to it. The splash window carries the one skin control (`skn`); `objSkin` points at it.

#include <cstdint>
#include <set>
#include <string>

#include "forms/control.h"
#include "services/system.h"

namespace model {

// The skin's colours, by the numbers the program reads them under.
struct SkinColors {
  forms::Color back = 0;   // 2: buttons, text and list controls
  forms::Color fore = 0;   // 3: text and list controls
  forms::Color panel = 0;  // 4: picture boxes
  forms::Color extra = 0;  // 5: read with the others, applied to nothing
};

// The colours of the program's own skin; data/skin/hearthguard.qss draws with the same ones.
inline constexpr SkinColors kDefaultSkinColors{
    .back = 0x00F7F2EE, .fore = 0x00442A1F, .panel = 0x00EEE0D6, .extra = 0x009A572B};

class SkinControl {
 public:
  SkinControl() = default;

  const SkinColors& Colors() const { return colors_; }
  void SetColors(const SkinColors& colors) { colors_ = colors; }
  // The style sheet the view applies to skinned windows, relative to the data folder.
  const std::string& StyleSheet() const { return style_sheet_; }

  // Skins the window: the view draws it with the style sheet from now on.
  void SkinWindow(services::WindowHandle window) { skinned_.insert(window); }
  bool IsSkinned(services::WindowHandle window) const { return skinned_.count(window) != 0; }

 private:
  SkinColors colors_ = kDefaultSkinColors;
  std::string style_sheet_ = "skin/hearthguard.qss";
  std::set<services::WindowHandle> skinned_;
};

// The outside helper the skin came with. It has no work of its own here; the calls are counted
// so that the moments they are made at can be checked.
class SkinHelper {
 public:
  // The splash window's load: hands over the skin control, then one call.
  void Attach(const SkinControl* skin) { skin_ = skin; }
  void Start() { ++start_calls_; }
  // Made once right before the program ends, when skinning is on.
  void Finish() { ++finish_calls_; }

  const SkinControl* skin() const { return skin_; }
  int start_calls() const { return start_calls_; }
  int finish_calls() const { return finish_calls_; }

 private:
  const SkinControl* skin_ = nullptr;
  int start_calls_ = 0;
  int finish_calls_ = 0;
};

struct SkinState {
  // The splash window's skin control once the splash window has loaded; nullptr before.
  SkinControl* objSkin = nullptr;
  SkinHelper objSkinHelper;
};

}  // namespace model
