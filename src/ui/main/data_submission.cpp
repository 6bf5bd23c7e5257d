#include "ui/main/data_submission.h"

#include <exception>

#include "engine/scan/encoded_process_list.h"
#include "machine/http.h"
#include "machine/text.h"
#include "machine/update_server_url.h"
#include "model/app.h"
#include "services/http_fetch.h"
#include "services/prompts.h"
#include "services/text_codec.h"

namespace ui {

namespace {

constexpr std::string_view kSubmissionPath = "/asp/getData.asp?data=";
constexpr std::string_view kBrowseTitle = "Open";
constexpr std::string_view kBrowseFilter = "All files (*.*)|*.*";
constexpr std::string_view kNoNameText = "Please enter a file or spyware name.";

// Marks a file-name submission as waiting for its reply, however the wait ends.
class SubmissionInFlight {
 public:
  explicit SubmissionInFlight(bool& flag) : flag_(flag) { flag_ = true; }
  ~SubmissionInFlight() { flag_ = false; }
  SubmissionInFlight(const SubmissionInFlight&) = delete;
  SubmissionInFlight& operator=(const SubmissionInFlight&) = delete;

 private:
  bool& flag_;
};

// The reply's body; "" when anything fails. Ending the program goes on up.
std::string Fetch(model::App& app, const std::string& url) {
  try {
    return services::HttpGetString(app.system, url);
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    return {};
  }
}

// Label26's outcome texts.
std::string SubmittedText(std::string_view name) {
  return "Results: " + std::string(name) + " submitted.  Thank you!";
}

std::string SubmissionFailedText(std::string_view name) {
  return "Results: There was a problem submitting " + std::string(name) +
         ".  Please make sure you are connected to the internet, or try again later.";
}

// The last part of a Windows path (after "\") or of a host path (after "/"), which the dialog
// gives for a file off the machine's drives.
std::string BareFileName(std::string_view path) {
  const size_t last = path.find_last_of("\\/");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace

std::string DataSubmissionUrl(model::App& app, std::string_view payload) {
  return machine::UpdateServerUrl(app.machine.profile()) + std::string(kSubmissionPath) +
         machine::EncodeQueryValue(payload);
}

bool IsSubmissionAccepted(std::string_view reply) {
  return machine::FindIgnoreCase(reply, "Skipped") != std::string_view::npos ||
         machine::FindIgnoreCase(reply, "Added") != std::string_view::npos;
}

void cmdSubmit_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  // The fetch yields to the message loop; a second Submit or Enter there would send again.
  if (window.bSubmitting)
    return;
  const std::string name = window.txtFilename.Text();
  // Nothing to research: the server would refuse it, and the failure would blame the network.
  if (machine::TrimBlanks(name).empty()) {
    app.runtime.MsgBox(kNoNameText, services::vbExclamation, "");
    return;
  }
  const SubmissionInFlight in_flight(window.bSubmitting);
  const std::string reply = Fetch(app, DataSubmissionUrl(app, services::EncodeText(name) + "|"));
  window.Label26.SetCaption(IsSubmissionAccepted(reply) ? SubmittedText(name)
                                                        : SubmissionFailedText(name));
  // A name typed while the reply was awaited is the user's next one.
  if (window.txtFilename.Text() == name)
    window.txtFilename.SetText("");
}

void txtFilename_KeyPress(model::App& app, int& key_ascii) {
  if (key_ascii == forms::kKeyReturn)
    cmdSubmit_Click(app);
}

void Command2_Click(model::App& app) {
  std::string path;
  try {
    path = app.runtime.OpenFileDialog(kBrowseTitle, kBrowseFilter);
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    return;
  }
  if (!path.empty())
    app.frmMain.txtFilename.SetText(BareFileName(path));
}

void SendRunningProcessList(model::App& app) {
  try {
    const std::string list = engine::GetEncodedProcessList(app);
    if (!list.empty())
      Fetch(app, DataSubmissionUrl(app, list));
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // The report is a courtesy: a failure stays silent.
  }
}

void InstallDataSubmission(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdSubmit.on_click = [&app] { cmdSubmit_Click(app); };
  window.txtFilename.on_key_press = [&app](int& key_ascii) {
    txtFilename_KeyPress(app, key_ascii);
  };
  window.Command2.on_click = [&app] { Command2_Click(app); };
  app.hooks.SendRunningProcessList = [&app] { SendRunningProcessList(app); };
}

}  // namespace ui
