#include "engine/definitions/download_status.h"

#include <string>

#include "model/app.h"

namespace engine {

void SetDownloadStatus(model::App& app, std::string_view text) {
  // Peek, not ->: touching an unloaded window would load it again.
  if (app.frmDownload.Loaded())
    app.frmDownload.Peek().txtStatus.SetText(std::string(text));
}

}  // namespace engine
