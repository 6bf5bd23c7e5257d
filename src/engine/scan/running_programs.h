#pragma once
// What the two running-program stages share: the sign that a scan runs, a running program as
// the stages see it, ending a detected program safely, their scan-log rows and progress.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace machine {
struct FileStamp;
}
namespace model {
struct App;
}

namespace engine {

// A running program that matched a definition.
struct DetectedProgram {
  uint32_t process_id = 0;
  // The executable's full path as compared: trimmed, upper case, system folder made normal.
  std::string path;
  // The path's text after its last "\" (upper case).
  std::string file_name;
  // The company name of its version resource, as found ("" when none).
  std::string company_name;
};

// What the NT stage does with a detected program when no scan runs: the memory shield passes
// its alert here. Without one, the detection is only counted.
using DetectionAlert = std::function<void(model::App&, const DetectedProgram&)>;

// The stamp ExeDefinition.dat has now (nothing when it is not there), and whether it is the
// settled stamp the stage's cached definitions were read with, so that they still hold.
std::optional<machine::FileStamp> ExeDefinitionStamp(const model::App& app);
bool ExeDefinitionsAsRead(const model::App& app, const std::optional<machine::FileStamp>& stamp);

// A process's executable path as the stages compare it: trimmed, upper case, a kernel-style
// system path made normal, then upper case again (the system folder may be spelt in any case).
std::string ComparablePath(const model::App& app, std::string_view module_path);

// The text after the last "\" (the whole text when there is none).
std::string FileNameOf(std::string_view path);

// Ends the program by its process id, with the exit code the process reports, but only while
// that id still runs the executable at `matched_path` (as ComparablePath gives it), so a
// program started since under a reused id is never touched. True when the program was ended.
bool TerminateProcessById(model::App& app, uint32_t process_id, std::string_view matched_path);

// Ends a detected program by TerminateProcessById; on the NT family with the debug privilege
// raised around the attempt.
bool EndDetectedProgram(model::App& app, const DetectedProgram& program);

// The scan-log row of a program ended during a scan: "Detected in the memory : " & file name
// & `stopped_suffix` when it was ended, & " could not be stopped." when it still runs.
void LogEndedProgram(model::App& app, std::string_view file_name, bool ended,
                     std::string_view stopped_suffix);

// The scan-log row "EXCLUDED: " & file name of a program on the ignore list.
void LogExcludedProgram(model::App& app, std::string_view file_name);

// The progress call of the running-program stages: the phase caption, CR LF and `item`; stage
// percent lngMemoryItemsInspected / lngExeDefinitionCount x 100, overall percent
// (lngMemoryItemsInspected + `overall_offset`) / lngTotalDefinitions x 100, each rounded halves
// to even, 0 when its divisor is 0 (a percent too large for 16 bits leaves its bar alone).
void ShowMemoryProgress(model::App& app, std::string_view item, int64_t overall_offset);

}  // namespace engine
