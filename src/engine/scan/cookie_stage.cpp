#include "engine/scan/cookie_stage.h"

#include <algorithm>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/blocked_cookie_line.h"
#include "engine/scan/cookie_domain.h"
#include "engine/scan/scan_percent.h"
#include "engine/scan/scan_progress.h"
#include "machine/csidl.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "model/scan_running.h"

namespace engine {

namespace {

using model::ThreatIconKind;

constexpr std::string_view kCookieFoundPrefix = "Cookie Found: ";
constexpr std::string_view kCookieThreatPrefix = "Cookie: ";
constexpr std::string_view kCookieThreatType = "Tracking Cookie";

// The folder's files (not its sub-folders), in the order a Windows folder lists them.
std::vector<std::string> FileNames(machine::FileSystem& files, std::string_view folder) {
  std::vector<std::string> names;
  for (machine::FolderEntry& entry : files.List(folder)) {
    if (!entry.attributes.is_folder)
      names.push_back(std::move(entry.name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string upper_a = machine::ToUpper(a);
    const std::string upper_b = machine::ToUpper(b);
    return upper_a != upper_b ? upper_a < upper_b : a < b;
  });
  return names;
}

std::string PathIn(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\')
    path += '\\';
  path += name;
  return path;
}

void ShowProgress(model::App& app, std::string_view name, double done, double total) {
  const int16_t percent =
      total > 0 ? PercentOf(done, total, PercentOrder::kMultiplyFirst).value_or(-1) : -1;
  std::string text = app.scan.strScanPhaseCaption;
  text += "\r\n";
  text += name;
  UpdateScanProgress(app, text, percent, -1);
}

}  // namespace

std::string GetSpecialFolderNoSlash(const services::System& system, int csidl) {
  const auto& folders = system.machine.profile().special_folders;
  const auto it = folders.find(csidl);
  return it == folders.end() ? std::string() : it->second;
}

void ScanCookies(model::App& app, int32_t& files_walked) {
  const std::string folder = GetSpecialFolderNoSlash(app.system, machine::CSIDL_COOKIES);
  if (machine::TrimBlanks(folder).empty())
    return;
  ScanCookieFolder(app, folder, files_walked);
}

void ScanCookieFolder(model::App& app, std::string_view folder, int32_t& files_walked) {
  const std::vector<std::string> blocked = LoadBlockedCookieList(app.system);
  const double blocked_lines = BlockedCookieUpperBound(blocked);
  const std::vector<std::string> names = FileNames(app.machine.files(), folder);
  const double file_count = static_cast<double>(names.size());
  model::FrmMain& window = app.frmMain;

  for (size_t i = 1; i <= names.size(); ++i) {
    if (app.scan.bStopScan)
      break;
    ++files_walked;
    const std::string& name = names[i - 1];
    const std::string path = PathIn(folder, name);
    ShowProgress(app, name, static_cast<double>(i - 1), file_count);

    const std::string domain = ReduceCookieDomain(GetCookieDomain(app.system, path));
    const bool is_blocked = IsBlockedCookieDomain(blocked, domain);
    // By the end of the walk this is the number of blocked domains, and the running-program
    // stage counts on from there.
    int32_t inspected = 0;
    if (machine::RoundHalfEvenToInt32(blocked_lines / file_count * static_cast<double>(i),
                                      inspected)) {
      app.scan.lngMemoryItemsInspected = inspected;
    }
    ShowProgress(app, name, static_cast<double>(i), file_count);

    if (is_blocked) {
      model::RowView<model::ScanLogRow> log(window.lvwSpywareFound);
      if (IsIgnored(app, path)) {
        log.Add({std::string(model::kExcludedPrefix) + path, ThreatIconKind::kExcluded});
      } else {
        log.Add({std::string(kCookieFoundPrefix) + name, ThreatIconKind::kCookie});
        if (!model::IsScanRunning(app))
          break;
        model::RowView<model::CookieTargetRow>(window.lvwCookiesToDelete).Add({path, ""});
        model::RowView<model::ThreatRow>(window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
            .Add({std::string(kCookieThreatPrefix) + name, path, std::string(kCookieThreatType),
                  ThreatIconKind::kCookie});
        ++app.scan.lngThreatsFound;
      }
    }
    app.system.Yield();
  }
}

}  // namespace engine
