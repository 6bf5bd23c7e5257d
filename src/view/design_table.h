#pragma once
// A window's design table: what the view needs beyond the model to draw each control. The
// model carries each control's place and size (in twips), caption, font and state; the table
// adds what only the screen cares about: the part a control plays in the look (a link, a page,
// a heading), its text alignment, font face and size, the small icons of a list, whether a
// list shows its column headers, and a place for a control the model leaves unplaced.

#include <optional>
#include <string_view>
#include <vector>

#include "forms/control.h"

namespace view {

// The part a control plays in the window's look; the style sheet can tell them apart by the
// widget property "hgRole".
enum class Role {
  kPlain,
  kLink,        // a label that acts as a link: hand cursor, link colour
  kHeading,     // a label that heads a page
  kValue,       // a label that shows a value
  kNavigation,  // a button of the page column
  kPage,        // a frame that is one page of the window
  kPanel,       // a frame drawn without border or caption
  kGroup,       // a frame drawn as a captioned group box
  kTitle,       // a label of the window's top bar
  kCloseBox,    // a label that closes the window
};

enum class Align { kLeft, kCenter, kRight };

// The small icons a list view shows by its rows' icon numbers.
enum class IconSet { kNone, kThreats, kDrives };

struct FontDesign {
  std::string_view family = {};  // "" keeps the model's
  double size = 0;               // points; 0 keeps the model's
  bool bold = false;             // added to the model's styles
};

struct Rect {
  double left = 0, top = 0, width = 0, height = 0;  // twips
};

struct ControlDesign {
  // Matches any element of a control array.
  static constexpr int kAnyIndex = -2;

  std::string_view name = {};
  int index = forms::Control::kNoIndex;
  Role role = Role::kPlain;
  Align align = Align::kLeft;
  std::optional<FontDesign> font = std::nullopt;
  IconSet icons = IconSet::kNone;
  bool column_headers = true;
  // A label that keeps its caption on one line (line breaks shown as blanks), cut in the
  // middle with an ellipsis when it does not fit, instead of wrapping.
  bool one_line = false;
  // Used only while the model gives the control no size.
  std::optional<Rect> place = std::nullopt;
};

struct FormDesign {
  std::string_view form_name = {};
  // The window can be resized by the user.
  bool resizable = false;
  // The smallest outer size (twips) the user can give it; 0 for none.
  double min_width = 0;
  double min_height = 0;
  // Icon resource for the window ("" = the program's own).
  std::string_view icon = {};
  // Each time the window appears, it is placed centred over this window ("" = where its model
  // puts it).
  std::string_view centred_over = {};
  // Each time the window appears, it is placed in the centre of its screen's work area (the
  // alerts, which may come up while the main window sits in the tray).
  bool centred_on_screen = false;
  // Placed the same way at its first appearance only; afterwards it stays where the user put it
  // (the main window, which the window manager would otherwise tuck beside the splash).
  bool centred_on_screen_once = false;
  // The window has a title bar (with its close box).
  bool title_bar = true;
  // The title bar has minimise and maximise buttons.
  bool min_max_buttons = true;
  std::vector<ControlDesign> controls = {};

  // The entry for a control: its exact index first, then a kAnyIndex entry; nullptr for none.
  const ControlDesign* Find(std::string_view name, int index) const;
};

// The design tables of every window, by form name; nullptr for a window without one.
const FormDesign* FindFormDesign(std::string_view form_name);

}  // namespace view
