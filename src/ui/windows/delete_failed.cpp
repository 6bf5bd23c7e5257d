#include "ui/windows/delete_failed.h"

#include <string>

#include "model/app.h"
#include "model/result_rows.h"
#include "services/clipboard.h"
#include "ui/windows/skin.h"

namespace ui {

void frmDelete_Form_Load(model::App& app) {
  if (!app.branding.bUseSkin)
    return;
  model::FrmDelete& window = app.frmDelete.Peek();
  CloneLabelsAsSkinLabels(window, {&window.SkinLabel1});
  ApplySkin(app, window);
}

void frmDelete_Command1_Click(model::App& app) {
  app.frmDelete->Hide();
}

void frmDelete_Command2_Click(model::App& app, services::Clipboard& clipboard) {
  model::RowView<model::UndeletedFileRow> rows(app.frmDelete->lstProblem);
  std::string text;
  const int count = rows.Count();
  for (int position = 0; position < count; ++position) {
    text += rows[position].path;
    text += "\r\n";
  }
  if (!clipboard.Clear())
    return;
  if (!text.empty())
    clipboard.SetText(text);
}

void frmDelete_Form_QueryUnload(model::App& app, int& cancel, forms::UnloadMode mode) {
  if (mode != forms::UnloadMode::kFormControlMenu)
    return;
  cancel = 1;
  app.frmDelete->Hide();
}

void InstallDeleteFailed(model::App& app, services::Clipboard& clipboard) {
  model::FrmDelete& window = app.frmDelete.Peek();
  window.on_load = [&app] { frmDelete_Form_Load(app); };
  window.on_query_unload = [&app](int& cancel, forms::UnloadMode mode) {
    frmDelete_Form_QueryUnload(app, cancel, mode);
  };
  window.Command1.on_click = [&app] { frmDelete_Command1_Click(app); };
  window.Command2.on_click = [&app, &clipboard] { frmDelete_Command2_Click(app, clipboard); };
}

}  // namespace ui
