#include "ui/windows/memory_alert.h"

#include <memory>
#include <string>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/running_programs.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "services/prompts.h"
#include "ui/windows/skin.h"

namespace ui {

namespace {

constexpr std::string_view kNotStoppedText =
    " could not be stopped.  You should try again after saving your work and closing any open "
    "applications.";

// The alert is answered: the shield's wait for it may end.
void MarkAnswered(model::App& app) {
  model::ShieldState& shields = app.shields;
  shields.bAlertAnswered = true;
  if (shields.memory_alert.serial != 0)
    shields.answered_alert_serial = shields.memory_alert.serial;
}

bool StillRuns(model::App& app, const engine::DetectedProgram& program) {
  const std::unique_ptr<machine::OpenedProcess> process =
      app.machine.processes().OpenProcess(program.process_id);
  return process && engine::ComparablePath(app, process->ModuleFileName()) == program.path;
}

// Text of the shown file name as the answers use it.
std::string ShownFileName(model::App& app) {
  return machine::TrimBlanks(app.frmSpywareFoundAlert.Peek().lblAlertFileName.Caption());
}

}  // namespace

void frmSpywareFoundAlert_Form_Load(model::App& app) {
  if (!app.branding.bUseSkin)
    return;
  model::FrmSpywareFoundAlert& window = app.frmSpywareFoundAlert.Peek();
  CloneLabelsAsSkinLabels(window, {&window.SkinLabel1});
  ApplySkin(app, window);
}

void frmSpywareFoundAlert_cmdYes_Click(model::App& app) {
  model::FrmSpywareFoundAlert& window = app.frmSpywareFoundAlert.Peek();
  window.cmdYes.SetEnabled(false);
  window.cmdNO.SetEnabled(false);
  MarkAnswered(app);
  const model::MemoryAlertSubject subject = app.shields.memory_alert;
  if (subject.serial != 0) {
    engine::DetectedProgram program;
    program.process_id = subject.process_id;
    program.path = subject.path;
    program.file_name = engine::FileNameOf(subject.path);
    if (!engine::EndDetectedProgram(app, program) && StillRuns(app, program)) {
      app.runtime.MsgBox(machine::ToUpper(ShownFileName(app)) + std::string(kNotStoppedText),
                         services::vbInformation, app.ProductName());
    }
  }
  app.frmSpywareFoundAlert.Unload();
}

void frmSpywareFoundAlert_cmdNO_Click(model::App& app) {
  MarkAnswered(app);
  engine::AddToIgnoreList(app, ShownFileName(app));
  app.frmSpywareFoundAlert.Unload();
}

void frmSpywareFoundAlert_Form_Unload(model::App& app) {
  app.shields.memory_alert = {};
}

void InstallMemoryAlert(model::App& app) {
  model::FrmSpywareFoundAlert& window = app.frmSpywareFoundAlert.Peek();
  window.on_load = [&app] { frmSpywareFoundAlert_Form_Load(app); };
  window.on_unload = [&app](int& /*cancel*/) { frmSpywareFoundAlert_Form_Unload(app); };
  window.cmdYes.on_click = [&app] { frmSpywareFoundAlert_cmdYes_Click(app); };
  window.cmdNO.on_click = [&app] { frmSpywareFoundAlert_cmdNO_Click(app); };
}

}  // namespace ui
