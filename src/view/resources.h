#pragma once
// What the view draws with besides the models: the data folder the program ships with, the
// skin's style sheet, the small icons of the lists and the pictures of image controls.

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/skin_control.h"
#include "view/design_table.h"

namespace view {

// The program's data folder: $HEARTHGUARD_DATA when set, else a "data" folder beside the
// executable or above it (a build tree), or share/hearthguard above it (an installed program),
// else the source tree's data folder that the build recorded. Nothing when none exists.
std::optional<std::filesystem::path> FindDataFolder();

// The skin's style sheet (a path relative to the data folder); when the file cannot be read, a
// sheet drawn from the skin's colours alone.
QString LoadStyleSheet(std::string_view relative_path, const model::SkinColors& colors);
// The sheet drawn from the colours alone.
QString StyleSheetFromColors(const model::SkinColors& colors);
// Rules the view adds after any skin's sheet, for what only the view knows: the widgets it
// composes controls from ("hgHolder") and the part a control plays ("hgRole").
QString ViewStyleSheet();

// The program's fonts are those of its era; each gets the nearest face this host has.
void SubstituteFonts();

// Icons and pictures, made once each. Lives no longer than the QApplication.
class Resources {
 public:
  // The small icon `number` of a list's icon set; a null icon when the set has none by that
  // number.
  QIcon SmallIcon(IconSet set, int number);
  // images/<name>.png in the data folder, else one the program draws itself; a null pixmap
  // when there is neither.
  QPixmap Picture(std::string_view name);

 private:
  std::map<std::pair<IconSet, int>, QIcon> icons_;
  std::map<std::string, QPixmap, std::less<>> pictures_;
};

}  // namespace view
