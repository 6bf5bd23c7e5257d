#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "machine/file_system.h"
#include "qt_test_env.h"
#include "support/temp_machine.h"
#include "test_form.h"
#include "view/screen.h"

namespace view_test {
namespace {

class WindowsTest : public ::testing::Test {
 protected:
  QtRuntime qt;
  TestForm main{qt.runtime};
  TestForm dialog{qt.runtime};
  view::Screen screen{qt.backend, qt.runtime};
};

TEST_F(WindowsTest, AModalWindowHoldsItsCallerUntilTheUserClosesIt) {
  dialog.cmdGo.on_click = [&] { dialog.Hide(); };
  std::vector<std::string> steps;
  main.cmdGo.on_click = [&] {
    steps.push_back("show");
    dialog.Show(true);
    steps.push_back("closed");
  };
  main.Show();

  bool blocked_main = false;
  AnswerNextModal([&](QWidget& modal) {
    EXPECT_EQ(&modal, screen.ViewOf(dialog)->window());
    // The main window takes no input meanwhile, in Qt and in the model.
    main.lblCount.on_click = [&] { blocked_main = true; };
    main.lblCount.UserClick();
    QTest::mouseClick(qobject_cast<QPushButton*>(screen.WidgetOf(dialog.cmdGo)), Qt::LeftButton);
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(screen.WidgetOf(main.cmdGo)), Qt::LeftButton);

  EXPECT_EQ(steps, (std::vector<std::string>{"show", "closed"}));
  EXPECT_FALSE(blocked_main);
  EXPECT_FALSE(screen.ViewOf(dialog)->window()->isVisible());
  EXPECT_EQ(screen.ViewOf(dialog)->window()->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WindowsTest, ALockedWindowStopsRedrawingUntilUnlocked) {
  main.Show();
  dialog.Show();
  QWidget* main_window = screen.ViewOf(main)->window();
  QWidget* dialog_window = screen.ViewOf(dialog)->window();

  qt.runtime.LockWindowUpdate(main.hWnd());
  EXPECT_FALSE(main_window->updatesEnabled());
  qt.runtime.LockWindowUpdate(dialog.hWnd());
  EXPECT_TRUE(main_window->updatesEnabled());
  EXPECT_FALSE(dialog_window->updatesEnabled());
  qt.runtime.LockWindowUpdate(0);
  EXPECT_TRUE(dialog_window->updatesEnabled());
}

class FileDialogTest : public ::testing::Test {
 protected:
  // Picks `host_path` in the next file dialog.
  void Pick(const std::filesystem::path& host_path) {
    AnswerNext<QFileDialog>([host_path](QFileDialog& dialog) {
      dialog.selectFile(QString::fromStdString(host_path.string()));
      QMetaObject::invokeMethod(&dialog, "accept");
    });
  }

  hg_test::TempMachine temp;
  machine::FileSystem files{temp.profile()};
  view::QtBackend backend{&files};
  forms::Runtime runtime{backend, "Hearthguard"};
};

TEST_F(FileDialogTest, AChosenFileComesBackAsAPathOnTheMachinesDrive) {
  temp.WriteFile("C:\\My Documents\\suspect.exe", "MZ");
  Pick(temp.host("C:\\My Documents\\suspect.exe"));

  EXPECT_EQ(runtime.OpenFileDialog("Choose a file", "Programs (*.exe)|*.exe|All files|*.*"),
            "C:\\My Documents\\suspect.exe");
}

TEST_F(FileDialogTest, AFileOffTheMachinesDrivesComesBackAsItsHostPath) {
  const std::filesystem::path outside = temp.root() / "Downloads" / "suspect.exe";
  std::filesystem::create_directories(outside.parent_path());
  std::ofstream(outside) << "MZ";
  Pick(outside);

  EXPECT_EQ(runtime.OpenFileDialog("Choose a file", "All files|*.*"), outside.string());
}

}  // namespace
}  // namespace view_test
