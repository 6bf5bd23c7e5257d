#include "ui/windows/report_viewer.h"

#include <optional>
#include <string>

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "removal/scan_report.h"
#include "services/file_paths.h"
#include "ui/windows/skin.h"

namespace ui {

namespace {

// The report's text as the viewer shows it.
std::string ViewerText(model::App& app) {
  std::string text;
  const std::string path = removal::ScanReportPath(app);
  if (!services::FileExists(app.system, path))
    return text;
  std::optional<std::string> content = app.machine.files().ReadFile(path, machine::ReadCap::kLog);
  if (!content)
    return text;
  engine::LineReader lines(std::move(*content));
  std::string line;
  while (lines.ReadLine(line)) {
    if (machine::TrimBlanks(line).empty())
      text += "\r\n";
    else
      text += line;
    app.system.Yield();
  }
  return text;
}

}  // namespace

void frmReport_Form_Load(model::App& app) {
  model::FrmReport& window = app.frmReport.Peek();
  // Built aside and shown once: a long quarantine log would otherwise be copied into the box
  // again for every line.
  const std::string text = ViewerText(app);
  if (!window.Loaded())
    return;  // closed while the file was being read
  window.txtReport.SetText(window.txtReport.Text() + text);
  window.SetCaption(app.branding.strProductName + " Log");
  if (app.branding.bUseSkin) {
    CloneLabelsAsSkinLabels(window, {&window.SkinLabel1});
    ApplySkin(app, window);
  }
}

void frmReport_cmdOk_Click(model::App& app) {
  app.frmReport.Unload();
}

void InstallReportViewer(model::App& app) {
  model::FrmReport& window = app.frmReport.Peek();
  window.on_load = [&app] { frmReport_Form_Load(app); };
  window.cmdOk.on_click = [&app] { frmReport_cmdOk_Click(app); };
}

}  // namespace ui
