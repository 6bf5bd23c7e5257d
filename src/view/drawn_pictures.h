#pragma once
// Pictures the program draws itself when its data folder has no file for them: the program's
// icon, the splash picture, the About window's logo, the download window's icon and its pair
// of arrows.

#include <QPixmap>
#include <string_view>

namespace view {

// "program", "splash", "about-logo", "download", "arrow-up", "arrow-down"; a null pixmap for any
// other name.
QPixmap DrawnPicture(std::string_view name);

}  // namespace view
