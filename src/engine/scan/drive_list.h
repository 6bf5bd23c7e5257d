#pragma once
// The options page's drive list, and a drive sweep that nothing in the program starts.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Adds one row per removable, network and CD-ROM drive, and per fixed drive that is ready, in
// the machine's drive order. The list is not emptied first.
void ListDrives(model::App& app);

// The label (cut at its first NUL; "(no label)" when blank) and the serial number ("1A2B-3C":
// its high and low 16 bits in hexadecimal) of the volume at `drive_root` ("C:\"). False, and
// both left alone, for a drive this machine does not have or that is not ready.
bool GetVolumeLabelAndSerial(model::App& app, std::string_view drive_root, std::string& label,
                             std::string& serial);

// Sweeps a whole drive ("C", "C:" or "C:\") with ScanFolder, the main window's bar running from
// 0 to the drive's used space. Nothing happens when the volume cannot be read.
void ScanDrive(model::App& app, std::string_view drive);

// Walks the folder tree under `folder`, adding each file's size to the bar and looking each
// file with an extension up among lvwFileNotFounds' rows; a hit whose company is not
// "Microsoft Corporation" is listed. Ends on a stop request.
void ScanFolder(model::App& app, std::string_view folder);

// The text cut before its first NUL, or, when it has none, before its first blank; `text`
// becomes the result too.
std::string TrimApiString(std::string& text);

}  // namespace engine
