#pragma once
// What every scan stage shares while a scan runs: the stop request, the stage caption and the
// counters. Fields of the main window that belong to one scan (start and finish texts) live on
// FrmMain.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "machine/file_system.h"

namespace model {

struct ScanState {
  // Set by the stop controls after the user confirms; every stage loop tests it per item.
  bool bStopScan = false;
  // True only while the scheduler's start of a scan runs with automatic removal chosen.
  bool bAutoDeleteAfterScan = false;
  // The clock's second (DateTime::Serial) in which the scheduler last started a scan: a scan
  // that ends within that same second is not started again by the next tick.
  std::optional<int64_t> scheduled_start_second;
  // "Detecting Cookies: ", "Inspecting Memory: ", ...
  std::string strScanPhaseCaption;
  int32_t lngMemoryItemsInspected = 0;
  int32_t lngRegistryItemsInspected = 0;
  int32_t lngFilesFoldersInspected = 0;
  int32_t lngThreatsFound = 0;
  // Progress calls since the display was last refreshed.
  int32_t lngProgressCalls = 0;

  // Long operations that a scan must not interleave with: each sets its flag while it runs and
  // clears it when it ends; a scan does not start while either is set.
  bool bRemovalRunning = false;
  bool bLiveUpdateRunning = false;

  // The running-program stages' cached definitions: the NT family's path list of the current
  // run, and the 95/98/ME family's decoded lines.
  std::string strExeDefinitionPaths;
  // The same paths for look-up, and the stamp of the file the paths or lines were read from:
  // outside a scan either stage reads the file again only when its stamp has changed.
  std::unordered_set<std::string> exe_definition_path_set;
  std::optional<machine::FileStamp> exe_definition_stamp;
  std::string strExeDefinitionLines;
};

}  // namespace model
