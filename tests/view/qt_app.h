#pragma once
// The whole application object on a fresh test machine, running on the Qt backend, with the
// screen that draws its windows.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "machine/machine.h"
#include "model/app.h"
#include "qt_test_env.h"
#include "support/app_fixture.h"
#include "support/temp_machine.h"
#include "view/screen.h"

namespace view_test {

class QtApp {
 public:
  explicit QtApp(machine::VersionInfo version = hg_test::TestVersionInfo()) {
    std::string error;
    machine_ = machine::Machine::Open(temp.profile(), std::move(version), error);
    if (!machine_) {
      ADD_FAILURE() << "cannot open the test machine: " << error;
      return;
    }
    runtime_ = std::make_unique<forms::Runtime>(backend, "");
    app_ = model::MakeApp(*machine_, *runtime_);
    // What the splash window's load does first: its skin control becomes the program's.
    app_->skin.objSkin = &app_->frmSplash.Peek().skn;
    screen_ = std::make_unique<view::Screen>(backend, *runtime_, &app_->skin);
  }
  ~QtApp() {
    screen_.reset();
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }

  model::App& app() { return *app_; }
  forms::Runtime& runtime() { return *runtime_; }
  view::Screen& screen() { return *screen_; }

  // Saves a shown window as the user sees it, next to the test run's other output, as
  // "<name>.png" (the form's name when none is given).
  void SavePicture(const forms::Form& form, std::string name = {}) {
    if (name.empty())
      name = form.name();
    const std::filesystem::path file = std::filesystem::current_path() / (name + ".png");
    const view::FormView* view = screen().ViewOf(form);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->window()->grab().save(QString::fromStdString(file.string())))
        << file.string();
  }

  hg_test::TempMachine temp;
  view::QtBackend backend;

 private:
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
  std::unique_ptr<view::Screen> screen_;
};

}  // namespace view_test
