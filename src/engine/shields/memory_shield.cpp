#include "engine/shields/memory_shield.h"

#include <cstdint>
#include <exception>
#include <string>

#include "engine/scan/inspect_memory.h"
#include "engine/shields/shield_tick.h"
#include "forms/runtime.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/timer_group.h"

namespace engine {

namespace {

constexpr std::string_view kNoCompanyPrefix = "No Company name for ";

}  // namespace

void tmrMemoryInspected_Timer(model::App& app) {
  RunMemoryShield(app);
}

void RunMemoryShield(model::App& app) {
  if (!model::ShieldOptionOn(app, "optMemorySheildOn") || !ShieldTickMayStart(app))
    return;
  const ShieldTickScope tick(app);
  model::ApplyTimerSettings(app, false);
  try {
    InspectMemory(app, AlertAndStopProcess);
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // A run that fails (out of memory, say) is dropped; the next tick starts afresh.
  }
  model::ApplyTimerSettings(app, true);
}

void AlertAndStopProcess(model::App& app, const DetectedProgram& program) {
  model::ShieldState& shields = app.shields;
  model::FrmSpywareFoundAlert& alert = *app.frmSpywareFoundAlert;
  const std::string file_name = machine::ToUpper(program.file_name);
  if (machine::TrimBlanks(program.company_name).empty()) {
    alert.lblAlertCompanyName.SetCaption(std::string(kNoCompanyPrefix) + program.file_name);
  } else {
    alert.lblAlertCompanyName.SetCaption(machine::ToUpper(program.company_name));
  }
  alert.lblAlertFileName.SetCaption(file_name);

  const uint64_t serial = ++shields.last_alert_serial;
  shields.memory_alert = {serial, program.process_id, program.path};
  shields.bAlertAnswered = false;
  alert.Show();
  // Only this alert's own answer, close or unload ends the wait.
  app.runtime.WaitUntil(
      [&shields, serial] {
        return shields.answered_alert_serial == serial || shields.memory_alert.serial != serial;
      },
      &alert);
  if (shields.memory_alert.serial == serial)
    shields.memory_alert = {};
}

void InstallMemoryShield(model::App& app) {
  app.frmMain.tmrMemoryInspected.on_timer = [&app] { tmrMemoryInspected_Timer(app); };
}

}  // namespace engine
