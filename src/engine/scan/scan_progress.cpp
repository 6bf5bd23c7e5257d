#include "engine/scan/scan_progress.h"

#include <array>
#include <string>

#include "machine/text.h"
#include "model/app.h"
#include "services/window_helpers.h"

namespace engine {

namespace {

constexpr int32_t kCallsPerRefresh = 100;

// In the order they are taken out; "fuck" twice, as the filter has always done it.
constexpr std::array<std::string_view, 42> kOffensiveWords = {
    "fuck",   "shit",   "asshole", "cock",  "slut", "whore",   "blowjob", "anal",    "bastard",
    "fuck",   "fag",    "cum",     "pussy", "suck", "lesbian", "faggot",  "dick",    "bitch",
    "pecker", "nigger", "kike",    "kyke",  "cunt", "tits",    "titty",   "titties", "boob",
    "clit",   "spic",   "fart",    "piss",  "butt", "boner",   "racist",  "douche",  "beaver",
    "dike",   "jap",    "wop",     "sex",   "porn", "incest"};

}  // namespace

std::string RemoveOffensiveWords(std::string_view text) {
  // The text is folded once and searched with a plain find; it is folded again only after a
  // word was taken out, which is rare.
  static const std::array<std::string, kOffensiveWords.size()> kFoldedWords = [] {
    std::array<std::string, kOffensiveWords.size()> folded;
    for (size_t i = 0; i < folded.size(); ++i)
      folded[i] = machine::ToUpper(kOffensiveWords[i]);
    return folded;
  }();
  std::string result(text);
  std::string folded = machine::ToUpper(result);
  for (size_t i = 0; i < kOffensiveWords.size(); ++i) {
    if (folded.find(kFoldedWords[i]) == std::string::npos)
      continue;
    result = machine::ReplaceIgnoreCase(result, kOffensiveWords[i], "");
    folded = machine::ToUpper(result);
  }
  return result;
}

void RefreshScanProgress(model::App& app, std::string_view item, int16_t stage_percent,
                         int16_t overall_percent) {
  model::FrmMain& window = app.frmMain;
  const model::ScanState& scan = app.scan;
  services::LockWindow(app.system, window.hWnd(), true);
  window.lblMemoryInspected.SetCaption(std::to_string(scan.lngMemoryItemsInspected));
  window.lblRegistryInspected.SetCaption(std::to_string(scan.lngRegistryItemsInspected));
  window.lblFilesFolderInspected.SetCaption(std::to_string(scan.lngFilesFoldersInspected));
  window.lblSoftwareFound.SetCaption(std::to_string(scan.lngThreatsFound));
  window.lblStatus(0).SetCaption(RemoveOffensiveWords(item));
  window.lblRemovePicSoftwareFound.SetCaption(std::to_string(scan.lngThreatsFound));
  if (stage_percent >= 0)
    window.pb1.SetValue(stage_percent);
  if (overall_percent >= 0)
    window.pb2.SetValue(overall_percent);
  services::LockWindow(app.system, window.hWnd(), false);
  app.scan.lngProgressCalls = 0;
}

void UpdateScanProgress(model::App& app, std::string_view item, int16_t stage_percent,
                        int16_t overall_percent) {
  if (++app.scan.lngProgressCalls < kCallsPerRefresh)
    return;
  RefreshScanProgress(app, item, stage_percent, overall_percent);
}

}  // namespace engine
