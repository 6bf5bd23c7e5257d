#pragma once
// Sending a suspect file's name and the running programs to the update server: the "Auto
// Update" sub-page's Filename box with its Browse and Submit buttons, and the report of the
// running programs that the removal and the results page send when chkSendData is ticked.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace ui {

// The submission request on the update server; the payload goes in as one escaped query value.
std::string DataSubmissionUrl(model::App& app, std::string_view payload);

// The server took the name: its reply holds "Skipped" or "Added", in any letter case.
bool IsSubmissionAccepted(std::string_view reply);

// Sends the Filename box's text (untrimmed) as a file-name submission, shows the outcome for that
// name in Label26 and clears the box. An empty or blank box sends nothing and asks for a name.
// While it waits for the reply, further Submits and Enters are ignored; a name typed meanwhile
// stays in the box.
void cmdSubmit_Click(model::App& app);
// Enter (13) submits; every key goes on to the box unchanged.
void txtFilename_KeyPress(model::App& app, int& key_ascii);
// Lets the user pick a file, wherever it lies, and puts its bare name into the box. A cancelled
// dialog leaves the box as it was.
void Command2_Click(model::App& app);

// Sends the names of the running programs; nothing when none is left to send. The reply and
// any failure are dropped. The callers test chkSendData first.
void SendRunningProcessList(model::App& app);

// Puts the handlers above into the main window and fills app.hooks.SendRunningProcessList.
void InstallDataSubmission(model::App& app);

}  // namespace ui
