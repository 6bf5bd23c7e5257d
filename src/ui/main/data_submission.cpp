#include "ui/main/data_submission.h"

#include "model/app.h"

namespace ui {

void InstallDataSubmission(model::App& /*app*/) {}

}  // namespace ui
