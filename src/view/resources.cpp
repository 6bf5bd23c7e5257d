#include "view/resources.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QStyle>
#include <cstdlib>
#include <functional>
#include <system_error>

#include "view/binding.h"
#include "view/drawn_pictures.h"
#include "view/qt_text.h"

namespace view {

namespace {

namespace fs = std::filesystem;

QString Hex(forms::Color color) {
  return ToQColor(color).name();
}

// A 16-pixel icon drawn by `paint`.
QIcon Drawn(const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  return QIcon(pixmap);
}

QIcon CookieIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QColor(0x8B, 0x5A, 0x2B));
    p.setBrush(QColor(0xD8, 0xA4, 0x60));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x34, 0x14));
    for (QPointF chip : {QPointF(5, 5), QPointF(10, 6), QPointF(7, 10), QPointF(11, 11)})
      p.drawEllipse(chip, 1.2, 1.2);
  });
}

QIcon RegistryIcon() {
  return Drawn([](QPainter& p) {
    const QColor colors[] = {QColor(0x2B, 0x57, 0x9A), QColor(0x3F, 0x8F, 0x3F),
                             QColor(0xC0, 0x50, 0x30)};
    const QRectF cubes[] = {QRectF(1.5, 8.5, 6, 6), QRectF(8.5, 8.5, 6, 6), QRectF(5, 1.5, 6, 6)};
    for (int i = 0; i < 3; ++i) {
      p.setPen(colors[i].darker(150));
      p.setBrush(colors[i]);
      p.drawRect(cubes[i]);
    }
  });
}

QIcon ExcludedIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(0xB0, 0x20, 0x20), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
  });
}

bool ReadableFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

}  // namespace

std::optional<fs::path> FindDataFolder() {
  if (const char* env = std::getenv("HEARTHGUARD_DATA"); env && *env) {
    if (ReadableFolder(env))
      return fs::path(env);
  }
  std::error_code error;
  fs::path dir = fs::read_symlink("/proc/self/exe", error).parent_path();
  for (int level = 0; !error && level < 6 && !dir.empty(); ++level) {
    if (ReadableFolder(dir / "data" / "definitions") || ReadableFolder(dir / "data" / "skin"))
      return dir / "data";
    if (ReadableFolder(dir / "share" / "hearthguard"))
      return dir / "share" / "hearthguard";
    if (dir == dir.parent_path())
      break;
    dir = dir.parent_path();
  }
#ifdef HG_DATA_DIR
  // A build folder anywhere: the source tree's data folder, as the build recorded it.
  if (ReadableFolder(HG_DATA_DIR))
    return fs::path(HG_DATA_DIR);
#endif
  return std::nullopt;
}

QString LoadStyleSheet(std::string_view relative_path, const model::SkinColors& colors) {
  if (auto data = FindDataFolder()) {
    const fs::path path = *data / fs::path(std::string(relative_path));
    QFile file(QString::fromStdString(path.string()));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      // Pictures the sheet names lie beside it; a sheet's relative address would be taken from
      // the process's current folder.
      QString sheet = QString::fromUtf8(file.readAll());
      sheet.replace(QStringLiteral("url(@skin/"),
                    QStringLiteral("url(") + QString::fromStdString(path.parent_path().string()) +
                        QStringLiteral("/"));
      return sheet;
    }
  }
  return StyleSheetFromColors(colors);
}

QString StyleSheetFromColors(const model::SkinColors& colors) {
  const QString back = Hex(colors.back);
  const QString fore = Hex(colors.fore);
  const QString panel = Hex(colors.panel);
  const QString accent = Hex(colors.extra);
  QString sheet = QStringLiteral(R"(
QMainWindow, QWidget#client { background: @panel; }
QMenuBar { background: @panel; color: @fore; }
QMenuBar::item:selected, QMenu::item:selected { background: @accent; color: white; }
QMenu { background: @back; color: @fore; border: 1px solid @accent; }
QLabel { color: @fore; background: transparent; }
QLabel:disabled { color: #8a8f99; }
QLabel[hgRole="link"] { color: @accent; }
QLabel[hgRole="link"]:disabled { color: #8a8f99; }
QLabel[hgRole="heading"] { color: @accent; }
QLabel[hgRole="title"] { color: @accent; font-weight: bold; }
QGroupBox { background: @back; border: 1px solid #a9b8cf; border-radius: 4px; margin-top: 7px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: @accent;
                   font-weight: bold; }
QGroupBox[hgRole="page"] { border-color: @accent; }
QFrame#tabPanel { background: @back; border: 1px solid #a9b8cf; }
QPushButton { color: @fore; border: 1px solid #8ea3c4; border-radius: 3px; padding: 2px 6px;
              background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 @panel); }
QPushButton:hover { border-color: @accent; }
QPushButton:pressed { background: @panel; }
QPushButton:disabled { color: #8a8f99; border-color: #c3cad6; }
QPushButton[hgRole="navigation"] { font-weight: bold; text-align: left; padding-left: 10px; }
QCheckBox, QRadioButton { color: @fore; }
QTreeWidget, QLineEdit, QPlainTextEdit, QComboBox, QDateTimeEdit { background: white; color: @fore;
              border: 1px solid #a9b8cf; selection-background-color: @accent; }
QHeaderView::section { background: @panel; color: @fore; border: 0; border-right: 1px solid #a9b8cf;
              border-bottom: 1px solid #a9b8cf; padding: 2px 4px; }
QProgressBar { background: white; border: 1px solid #a9b8cf; border-radius: 2px; }
QProgressBar::chunk { background: @accent; }
QTabBar::tab { background: @panel; color: @fore; border: 1px solid #a9b8cf; border-bottom: 0;
               padding: 3px 10px; margin-right: 2px; border-top-left-radius: 3px;
               border-top-right-radius: 3px; }
QTabBar::tab:selected { background: @back; color: @accent; font-weight: bold; }
)");
  sheet.replace(QStringLiteral("@back"), back);
  sheet.replace(QStringLiteral("@fore"), fore);
  sheet.replace(QStringLiteral("@panel"), panel);
  sheet.replace(QStringLiteral("@accent"), accent);
  return sheet;
}

QString ViewStyleSheet() {
  return QStringLiteral(R"(
QWidget[hgHolder="true"] { background: transparent; }
QLabel[hgRole="link"] { text-decoration: underline; }
QLabel[hgRole="link"]:disabled { text-decoration: none; }
QDateTimeEdit:disabled, QLineEdit:disabled, QComboBox:disabled, QPlainTextEdit:disabled {
  color: #8a8f99; background-color: #eceff3; border-color: #c3cad6; }
QPushButton:disabled { color: #8a8f99; border-color: #c3cad6; }
QCheckBox:disabled, QRadioButton:disabled { color: #8a8f99; }
)");
}

void SubstituteFonts() {
  // Narrow sans faces first: the windows were laid out for them.
  const QStringList narrow = {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                              QStringLiteral("DejaVu Sans Condensed"),
                              QStringLiteral("Liberation Sans Narrow"),
                              QStringLiteral("Liberation Sans")};
  for (const char* family : {"MS Sans Serif", "Tahoma", "Arial"})
    QFont::insertSubstitutions(QString::fromLatin1(family), narrow);
  QFont::insertSubstitutions(QStringLiteral("Verdana"),
                             {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
}

QIcon Resources::SmallIcon(IconSet set, int number) {
  auto key = std::make_pair(set, number);
  if (auto it = icons_.find(key); it != icons_.end())
    return it->second;
  QStyle* style = QApplication::style();
  QIcon icon;
  switch (set) {
    case IconSet::kThreats:
      // 1 cookie, 2 registry entry, 3 file or running program, 4 folder, 5 excluded.
      switch (number) {
        case 1:
          icon = CookieIcon();
          break;
        case 2:
          icon = RegistryIcon();
          break;
        case 3:
          icon = style->standardIcon(QStyle::SP_FileIcon);
          break;
        case 4:
          icon = style->standardIcon(QStyle::SP_DirIcon);
          break;
        case 5:
          icon = ExcludedIcon();
          break;
        default:
          break;
      }
      break;
    case IconSet::kDrives:
      icon = style->standardIcon(QStyle::SP_DriveHDIcon);
      break;
    case IconSet::kNone:
      break;
  }
  icons_.emplace(key, icon);
  return icon;
}

QPixmap Resources::Picture(std::string_view name) {
  if (auto it = pictures_.find(name); it != pictures_.end())
    return it->second;
  QPixmap pixmap;
  if (auto data = FindDataFolder()) {
    const fs::path file = *data / "images" / (std::string(name) + ".png");
    pixmap.load(QString::fromStdString(file.string()));
  }
  if (pixmap.isNull())
    pixmap = DrawnPicture(name);
  pictures_.emplace(std::string(name), pixmap);
  return pixmap;
}

}  // namespace view
