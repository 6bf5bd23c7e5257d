#pragma once
// The base of every window control: the properties all kinds share, the mouse and key events,
// the user-action entry points that the view and the tests call, and the view's change hook.
//
// Controls are plain state. Code changes run the kind's change handler when the value really
// changes; mouse, key and item-check handlers run only from the User* entry points.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace forms {

class Form;
class Runtime;

// A colour as the program stores it: 0x00BBGGRR.
using Color = uint32_t;

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kButtonFace = 0xC0C0C0;

struct Font {
  std::string name = "MS Sans Serif";
  double size = 8.25;
  bool bold = false;
  bool italic = false;
  bool underline = false;

  friend bool operator==(const Font&, const Font&) = default;
};

// The Enter key as key presses carry it.
inline constexpr int kKeyReturn = 13;

// Mouse buttons and shift keys as mouse events carry them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// A mouse event; x and y in twips from the control's (or form's) top-left corner.
struct MouseEvent {
  int button = 0;
  int shift = 0;
  double x = 0;
  double y = 0;
};

enum class ControlKind {
  kLabel,
  kCommandButton,
  kCheckBox,
  kOptionButton,
  kComboBox,
  kTextBox,
  kListView,
  kProgressBar,
  kTimer,
  kShape,
  kFrame,
  kDatePicker,
  kTabStrip,
  kStatusBar,
  kImage,
  kMenuItem,
  kBrowser,
};

class Control {
 public:
  static constexpr int kNoIndex = -1;

  // Registers the control with its form. `index` is the element number inside a control
  // array (`frmView(0)`), kNoIndex for a single control.
  Control(Form& form, ControlKind kind, std::string name, int index = kNoIndex);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  Runtime& runtime() const;
  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }
  // "cmdScan" or "frmView(0)".
  std::string FullName() const;

  bool Enabled() const { return common_.enabled; }
  void SetEnabled(bool enabled);
  bool Visible() const { return common_.visible; }
  void SetVisible(bool visible);

  // Geometry in twips, relative to the container.
  double Left() const { return common_.left; }
  double Top() const { return common_.top; }
  double Width() const { return common_.width; }
  double Height() const { return common_.height; }
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);
  void Move(double left, double top, double width, double height);

  Color ForeColor() const { return common_.fore_color; }
  void SetForeColor(Color color);
  Color BackColor() const { return common_.back_color; }
  void SetBackColor(Color color);

  const Font& GetFont() const { return common_.font; }
  void SetFont(const Font& font);
  void SetFontBold(bool bold);
  void SetFontItalic(bool italic);
  void SetFontUnderline(bool underline);

  const std::string& ToolTip() const { return common_.tooltip; }
  void SetToolTip(std::string tooltip);
  // The frame (or parent menu) that holds the control; nullptr for the form itself.
  Control* Container() const { return common_.container; }
  void SetContainer(Control* container);
  const std::string& Tag() const { return common_.tag; }
  void SetTag(std::string tag);

  // True when the user can reach the control: its form is loaded, and it and every container
  // above it are visible and enabled.
  bool Reachable() const;

  // Handlers. Click handlers of value controls (check box, option button, combo box, tab strip)
  // also run when code changes the value; the others run only on user action.
  std::function<void()> on_click;
  std::function<void()> on_dbl_click;
  std::function<void(const MouseEvent&)> on_mouse_down;
  std::function<void(const MouseEvent&)> on_mouse_up;
  std::function<void(const MouseEvent&)> on_mouse_move;
  // May change the key (0 swallows it).
  std::function<void(int& key_ascii)> on_key_press;

  // User actions. Each is refused (false, and recorded by the runtime) when the control is
  // not reachable or a modal window other than its form is open.
  bool UserClick();
  bool UserDblClick();
  bool UserMouseDown(const MouseEvent& event);
  bool UserMouseUp(const MouseEvent& event);
  bool UserMouseMove(const MouseEvent& event);
  bool UserKeyPress(int key_ascii);
  // A key press in a widget that types for itself (at its cursor, over its selection): runs the
  // handler only, and gives back the key it let through for the widget to type (0 when the
  // handler swallowed it or the press was refused).
  int UserKeyPressTypedByWidget(int key_ascii);

  // The view's hook: runs after any property of the control changed.
  std::function<void(Control&)> observer;

 protected:
  void Changed();
  // "frmMain.cmdScan click": how refusals name a user action on this control.
  std::string Describe(std::string_view what) const;
  // Records a refused user action; always false.
  bool Refuse(std::string_view what, std::string_view reason);
  // Runs `action` as a user action on this control, through the runtime's checks.
  bool RunUserAction(std::string_view what, const std::function<void()>& action);

  // What a click does beyond its handler (a check box toggles, an option button selects).
  virtual void OnUserClick();
  // What a key does after its handler let it through (a text box types it).
  virtual void OnKeyAccepted(int key_ascii) {}
  virtual void OnEnabledChanged() {}

  // Design values: saved at the form's first load, restored at every later load. Kinds with
  // state of their own extend these and CopyFrom (used when a control array loads an element).
  virtual void SaveDesign();
  virtual void RestoreDesign();
  virtual void CopyFrom(const Control& other);

 private:
  friend class Form;
  template <class T>
  friend class ControlArray;

  struct Common {
    bool enabled = true;
    bool visible = true;
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    Color fore_color = kBlack;
    Color back_color = kButtonFace;
    Font font;
    std::string tooltip;
    Control* container = nullptr;
    std::string tag;
  };

  Form& form_;
  ControlKind kind_;
  std::string name_;
  int index_;
  Common common_;
  Common common_design_;
};

}  // namespace forms
