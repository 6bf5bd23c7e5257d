#pragma once
// The scan report: Scan_Log.txt in the program folder, written after a scan when "Save scan
// results to log" is on. It holds the scan's times and counts, the threats found, the current
// exclusions and the current quarantine log, each text line followed by at least one empty
// line (the viewer's joining rule relies on that).

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace removal {

inline constexpr std::string_view kScanReportFile = "Scan_Log.txt";

// The report's Windows path: the program folder's Scan_Log.txt.
std::string ScanReportPath(const model::App& app);

// Writes the report from the threat list, the three inspected-count labels, the scan's start
// and finish texts, ENoSignature.txt and the quarantine log. The file is written whole beside
// the old one and then put in its place, so a failed write leaves the previous report as it
// was and never a half-written one. A missing or unreadable ignore list or quarantine log
// leaves its section out. False when the report could not be written.
bool MakeReport(model::App& app);

// Fills the hook through which the scan asks for the report.
void InstallScanReport(model::App& app);

}  // namespace removal
