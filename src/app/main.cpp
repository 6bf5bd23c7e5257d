// The program: reads the machine it runs on and its own version block, opens the machine, and
// starts its splash window on Qt.

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/definitions/sample_definitions.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "machine/profile_message.h"
#include "machine/version_info.h"
#include "model/app.h"
#include "ui/main/main_window_wiring.h"
#include "ui/windows/splash_about.h"
#include "view/qt_backend.h"
#include "view/qt_clipboard.h"
#include "view/qt_text.h"
#include "view/qt_tray.h"
#include "view/screen.h"
#include "view/web_sandbox.h"
#include "view/x11_display.h"

namespace {

// Tools that time the start-up set this: "shown" goes to standard output when the main window
// first appears.
constexpr const char* kAnnounceShownVariable = "HEARTHGUARD_ANNOUNCE_SHOWN";

void AnnounceShownWhenAsked(model::FrmMain& main) {
  if (const char* asked = std::getenv(kAnnounceShownVariable); asked == nullptr || *asked == '\0')
    return;
  main.on_activate = [previous = main.on_activate, announced = false]() mutable {
    if (!announced) {
      announced = true;
      std::fputs("shown\n", stdout);
      std::fflush(stdout);
    }
    if (previous)
      previous();
  };
}

// Qt ends in an abort when it finds no screen to show windows on; say what is missing instead.
// A platform chosen outright (such as offscreen) is left to Qt.
bool HasDesktopSession() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0')
      return true;
  }
  return false;
}

void ShowProblem(const QString& title, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, title, text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDesktopSession()) {
    std::fprintf(stderr,
                 "%s: no desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it from a desktop, or on a virtual display:\n"
                 "  Xvfb :99 & DISPLAY=:99 %s\n",
                 argv[0], argv[0]);
    return 1;
  }
  if (!view::NamedDisplayReachable()) {
    std::fprintf(stderr,
                 "%s: no desktop session: the display %s cannot be reached (no X server answers "
                 "there).\nStart it from a desktop, or on a virtual display:\n"
                 "  Xvfb :99 & DISPLAY=:99 %s\n",
                 argv[0], std::getenv("DISPLAY"), argv[0]);
    return 1;
  }
  // As root the browser's engine runs without its sandbox and opens local pages only.
  view::PrepareWebEngine();
  QApplication qt_app(argc, argv);

  const std::optional<machine::VersionInfo> version = machine::ReadOwnVersionInfo();
  if (!version) {
    // Without it the program has no name to keep its settings under.
    ShowProblem(QStringLiteral("Start-up"),
                QStringLiteral("This program's version information is missing, so it cannot "
                               "start. Build or install it again."),
                QMessageBox::Critical);
    return 1;
  }
  const QString title = view::ToQString(version->product_name);

  machine::OpenedProfile opened = machine::OpenProfile();
  if (const std::string problems = machine::DescribeProfileProblems(opened); !problems.empty())
    ShowProblem(title, QString::fromStdString(problems), QMessageBox::Warning);
  const bool first_start = opened.made_default;
  machine::Profile profile = std::move(opened.profile);

  std::string error;
  std::unique_ptr<machine::Machine> machine =
      machine::Machine::Open(std::move(profile), *version, error);
  if (!machine) {
    ShowProblem(
        title,
        QStringLiteral("The machine cannot be opened:\n\n%1").arg(QString::fromStdString(error)),
        QMessageBox::Critical);
    return 1;
  }
  const std::string& program_folder = machine->profile().program_folder;
  if ((first_start || engine::LacksAllDefinitionFiles(machine->files(), program_folder)) &&
      !engine::WriteSampleDefinitions(machine->files(), program_folder)) {
    ShowProblem(title,
                QStringLiteral("The definition files could not be put into the program folder "
                               "%1. Run Live Update once the program has started.")
                    .arg(view::ToQString(program_folder)),
                QMessageBox::Warning);
  }

  view::QtBackend backend(&machine->files());
  forms::Runtime runtime(backend, version->product_name);
  std::unique_ptr<model::App> app = model::MakeApp(*machine, runtime);
  view::Screen screen(backend, runtime, &app->skin);
  view::QtTrayHost tray(app->objTray, screen);
  app->windows.desktop_metrics = view::CurrentDesktop;
  view::QtClipboard clipboard;
  ui::InstallWindowHandlers(*app, clipboard);
  AnnounceShownWhenAsked(app->frmMain);

  try {
    ui::StartWithSplash(*app);
  } catch (const forms::ProgramEnded&) {
    // Nothing of the program runs any more.
  }
  if (!runtime.Ended())
    QApplication::exec();
  return 0;
}
