#include "engine/scan/drive_list.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/scan/company_name.h"
#include "engine/scan/exempt_company.h"
#include "machine/drive_status.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "services/file_paths.h"

namespace engine {

namespace {

// The volume-label buffer of the platform call holds 14 characters with the NUL.
constexpr size_t kLabelBufferChars = 14;
// Longest path the platform's folder walk can name.
constexpr size_t kMaxPath = 260;

// Drive kinds as the scripting runtime numbers them.
enum class ScriptDriveType {
  kUnknown = 0,
  kRemovable = 1,
  kFixed = 2,
  kRemote = 3,
  kCdRom = 4,
  kRamDisk = 5
};

ScriptDriveType ScriptTypeOf(machine::DriveType type) {
  switch (type) {
    case machine::DriveType::kRemovable:
      return ScriptDriveType::kRemovable;
    case machine::DriveType::kFixed:
      return ScriptDriveType::kFixed;
    case machine::DriveType::kRemote:
      return ScriptDriveType::kRemote;
    case machine::DriveType::kCdRom:
      return ScriptDriveType::kCdRom;
    case machine::DriveType::kRamDisk:
      return ScriptDriveType::kRamDisk;
    default:
      return ScriptDriveType::kUnknown;
  }
}

const machine::Drive* ReadyDrive(model::App& app, std::string_view drive_root) {
  const std::optional<machine::WindowsPath> root = machine::ParseWindowsPath(drive_root);
  if (!root || !root->components.empty())
    return nullptr;
  const machine::Drive* drive = app.machine.profile().FindDrive(root->drive);
  return drive != nullptr && machine::IsDriveReady(*drive) ? drive : nullptr;
}

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return text;
}

bool IsExempt(model::App& app, std::string_view path) {
  return IsExemptCompany(GetFileCompanyName(app, path));
}

int FindRowNamed(const forms::ListView& list, std::string_view name) {
  for (int i = 0; i < list.Count(); ++i) {
    if (machine::EqualsIgnoreCase(list.Item(i).text, name))
      return i;
  }
  return -1;
}

void ShowSweepProgress(model::FrmMain& main, const std::string& path) {
  main.lblStatus(0).SetCaption(path);
  const double span = main.pbgMain.Max() - main.pbgMain.Min();
  const long long percent =
      span > 0 ? std::llround(100.0 * (main.pbgMain.Value() - main.pbgMain.Min()) / span) : 0;
  main.lblPercentageCompleted.SetCaption("[ Scanning " + std::to_string(percent) +
                                         "% Completed. ]");
}

}  // namespace

void ListDrives(model::App& app) {
  for (const machine::Drive& drive : app.machine.profile().drives) {
    bool listed = false;
    switch (ScriptTypeOf(drive.type)) {
      case ScriptDriveType::kRemovable:
      case ScriptDriveType::kRemote:
      case ScriptDriveType::kCdRom:
        listed = true;
        break;
      case ScriptDriveType::kFixed:
        listed = machine::IsDriveReady(drive);
        break;
      default:
        break;
    }
    if (listed) {
      model::RowView<model::DriveRow>(app.frmMain.lvwHardDrives)
          .Add({std::string(1, drive.letter), false});
    }
    app.system.Yield();
  }
}

bool GetVolumeLabelAndSerial(model::App& app, std::string_view drive_root, std::string& label,
                             std::string& serial) {
  const machine::Drive* drive = ReadyDrive(app, drive_root);
  if (drive == nullptr)
    return false;
  std::string volume_label = machine::CutAtNul(drive->label).substr(0, kLabelBufferChars - 1);
  label = machine::TrimBlanks(volume_label).empty() ? "(no label)" : volume_label;
  serial = Hex(drive->serial >> 16) + "-" + Hex(drive->serial & 0xFFFF);
  return true;
}

void ScanDrive(model::App& app, std::string_view drive) {
  if (drive.empty())
    return;
  const std::string root = std::string(1, machine::ToUpperChar(drive[0])) + ":\\";
  std::string label;
  std::string serial;
  if (!GetVolumeLabelAndSerial(app, root, label, serial))
    return;

  model::FrmMain& main = app.frmMain;
  // The drive was there a moment ago; the profile's drives never change.
  const machine::Drive* host_drive = app.machine.profile().FindDrive(root[0]);
  const std::optional<uint64_t> used =
      host_drive != nullptr ? machine::DriveBytesUsed(*host_drive) : std::nullopt;
  main.pbgMain.SetMin(0);
  main.pbgMain.SetValue(0);
  if (used)
    main.pbgMain.SetMax(static_cast<double>(*used));
  main.lblStatus(0).SetVisible(true);
  main.lblPercentageCompleted.SetVisible(true);

  ScanFolder(app, root);

  main.pbgMain.SetValue(main.pbgMain.Max());
}

void ScanFolder(model::App& app, std::string_view folder) {
  model::FrmMain& main = app.frmMain;
  machine::FileSystem& files = app.machine.files();
  std::vector<std::string> pending{std::string(folder)};
  while (!pending.empty()) {
    std::string current = std::move(pending.back());
    pending.pop_back();
    if (!current.empty() && current.back() != '\\')
      current += '\\';
    std::vector<std::string> subfolders;
    for (const machine::FolderEntry& entry : files.List(current)) {
      if (entry.name == "." || entry.name == "..")
        continue;
      const std::string path = current + entry.name;
      if (path.size() >= kMaxPath)
        continue;
      if (entry.attributes.is_folder) {
        subfolders.push_back(path);
        continue;
      }
      main.pbgMain.SetValue(main.pbgMain.Value() + static_cast<double>(entry.attributes.size));
      ShowSweepProgress(main, path);
      if (!services::GetFileExtension(path).empty()) {
        const int row = FindRowNamed(main.lvwFileNotFounds, entry.name);
        if (row >= 0 && !IsExempt(app, path)) {
          model::RowView<model::ScanLogRow>(main.lvwSpywareFound)
              .Add({model::FoundMessage(entry.name), model::ThreatIconKind::kFile});
          model::RowView<model::FileTargetRow>(main.lvwFilesToBeDeleted).Add({path, entry.name});
          ++app.scan.lngThreatsFound;
        }
      }
      app.system.Yield();
      if (app.scan.bStopScan)
        return;
    }
    // Depth first, in listing order.
    pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
  }
}

std::string TrimApiString(std::string& text) {
  size_t end = text.find('\0');
  if (end == std::string::npos)
    end = text.find(' ');
  text = text.substr(0, end);
  return text;
}

}  // namespace engine
