#include "engine/definitions/update_merge.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/update_package.h"
#include "machine/file_system.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/download_window.h"
#include "services/text_codec.h"

namespace engine {

namespace {

// Scratch name of the merge in the program folder; only removed here, never read, so lines
// left in it by an interrupted run cannot come back.
constexpr std::string_view kScratchFile = "temp.dat";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kLinesPerStatus = 100;

enum class LineForm { kPlain, kRegistry, kCookie };

struct Pass {
  std::string_view file;
  std::initializer_list<PackageKind> kinds;
  LineForm form;
};

const std::array<Pass, 5>& Passes() {
  static const std::array<Pass, 5> kPasses = {{
      {kFileDefinitionFile,
       {PackageKind::kFile, PackageKind::kExe, PackageKind::kDll},
       LineForm::kPlain},
      {kExeDefinitionFile, {PackageKind::kExe}, LineForm::kPlain},
      {kRegistryDefinitionFile, {PackageKind::kReg}, LineForm::kRegistry},
      {kBlockedCookiesFile, {PackageKind::kCook}, LineForm::kCookie},
      {kDirectoryDefinitionFile, {PackageKind::kDir}, LineForm::kPlain},
  }};
  return kPasses;
}

bool TakesKind(const Pass& pass, PackageKind kind) {
  for (PackageKind taken : pass.kinds) {
    if (taken == kind)
      return true;
  }
  return false;
}

const std::string& EncodedBar() {
  static const std::string kBar = services::EncodeText("|");
  return kBar;
}
const std::string& EncodedEquals() {
  static const std::string kEquals = services::EncodeText("=");
  return kEquals;
}

// The stored line of an ADD item; nothing for data without the parts its file needs.
std::optional<std::string> BuildLine(LineForm form, std::string_view data) {
  switch (form) {
    case LineForm::kPlain: {
      std::string line;
      line.reserve(data.size());
      for (char c : data) {
        if (c == '|')
          line += EncodedBar();
        else if (c == '=')
          line += EncodedEquals();
        else
          line += c;
      }
      return line;
    }
    case LineForm::kRegistry: {
      // name "=" threat "|" key part "|" type  ->  key part "^=" threat "|" type
      const size_t equals = data.find('=');
      const size_t bar1 = equals == std::string_view::npos ? equals : data.find('|', equals + 1);
      const size_t bar2 = bar1 == std::string_view::npos ? bar1 : data.find('|', bar1 + 1);
      if (bar2 == std::string_view::npos)
        return std::nullopt;
      std::string line(data.substr(bar1 + 1, bar2 - bar1 - 1));
      line += services::EncodeText("^=");
      line += data.substr(equals + 1, bar1 - equals - 1);
      line += EncodedBar();
      line += data.substr(bar2 + 1);
      return line;
    }
    case LineForm::kCookie:
      return std::string(data.substr(0, data.find('=')));
  }
  return std::nullopt;
}

// Names compare ignoring case; a name is folded once into its key.
std::string NameKey(std::string_view decoded_name) {
  return machine::ToLower(decoded_name);
}

// The key of a stored line: its decoded text before the first "=".
std::string LineKey(std::string_view stored_line) {
  const std::string decoded = services::DecodeText(stored_line);
  return NameKey(std::string_view(decoded).substr(0, decoded.find('=')));
}

bool IsBlankLine(std::string_view line) {
  return line.empty() || line == " ";
}

struct AddedLine {
  std::string line;
  size_t position;  // in package order among the pass's items
};

// What one pass does to its file, gathered from the package.
struct PassWork {
  std::vector<AddedLine> added;
  // Package position of the last DEL of each name.
  std::unordered_map<std::string, size_t> last_del;
};

PassWork GatherWork(const Pass& pass, const std::vector<PackageItem>& items) {
  PassWork work;
  for (size_t i = 0; i < items.size(); ++i) {
    const PackageItem& item = items[i];
    if (!TakesKind(pass, item.kind))
      continue;
    if (item.op == PackageOp::kAdd) {
      if (std::optional<std::string> line = BuildLine(pass.form, item.data))
        work.added.push_back({std::move(*line), i});
    } else {
      work.last_del[NameKey(DataName(item.data))] = i;
    }
  }
  return work;
}

// The file's lines followed by the added ones, without those a later DEL names and without
// blank lines; the status shows the running line number every 100 lines.
std::string RebuildWithDeletions(model::App& app, std::string_view old_content,
                                 const PassWork& work) {
  std::string rebuilt;
  rebuilt.reserve(old_content.size());
  int32_t line_number = 0;
  const auto next_line = [&] {
    if (++line_number % kLinesPerStatus == 0) {
      model::SetDownloadStatus(
          app, "Removing outdated definitions: checking entry " + std::to_string(line_number));
      app.system.Yield();
    }
  };
  size_t start = 0;
  while (start < old_content.size()) {
    size_t end = old_content.find(kLineEnd, start);
    if (end == std::string_view::npos)
      end = old_content.size();
    const std::string_view line = old_content.substr(start, end - start);
    start = end + kLineEnd.size();
    next_line();
    if (!IsBlankLine(line) && !work.last_del.contains(LineKey(line)))
      rebuilt.append(line).append(kLineEnd);
  }
  for (const AddedLine& added : work.added) {
    next_line();
    if (IsBlankLine(added.line))
      continue;
    const auto del = work.last_del.find(LineKey(added.line));
    if (del == work.last_del.end() || del->second < added.position)
      rebuilt.append(added.line).append(kLineEnd);
  }
  return rebuilt;
}

// The file with the added lines after its own, its last line ended first.
std::string AppendLines(std::string_view old_content, const PassWork& work) {
  std::string appended(old_content);
  if (!appended.empty() && !appended.ends_with(kLineEnd))
    appended += kLineEnd;
  for (const AddedLine& added : work.added)
    appended.append(added.line).append(kLineEnd);
  return appended;
}

// The file's present content; "" when it does not exist yet, nothing when it cannot be read.
std::optional<std::string> ReadDefinitionFile(model::App& app, const std::string& path) {
  const machine::FileSystem& files = app.machine.files();
  const std::optional<machine::EntryInfo> entry = files.Query(path);
  if (!entry)
    return std::string();
  if (entry->is_folder)
    return std::nullopt;
  return files.ReadFile(path);
}

}  // namespace

UpdateMergeResult ApplyDefinitionUpdate(model::App& app, std::string_view package) {
  UpdateMergeResult result;
  const std::vector<PackageItem> items = SplitUpdatePackage(package);
  machine::FileSystem& files = app.machine.files();
  for (const Pass& pass : Passes()) {
    const PassWork work = GatherWork(pass, items);
    model::SetDownloadStatus(app, "Applying new updates...");
    app.system.Yield();
    const bool has_del = !work.last_del.empty();
    if (work.added.empty() && !has_del)
      continue;
    const std::string path = ProgramFolderFile(app.system, pass.file);
    const std::optional<std::string> old_content = ReadDefinitionFile(app, path);
    const bool written =
        old_content && files.WriteFile(path, has_del ? RebuildWithDeletions(app, *old_content, work)
                                                     : AppendLines(*old_content, work));
    if (has_del)
      files.DeleteFile(ProgramFolderFile(app.system, kScratchFile));
    if (!written) {
      result.failed = true;
      continue;
    }
    result.count += static_cast<int32_t>(work.added.size()) + (has_del ? 1 : 0);
  }
  return result;
}

}  // namespace engine
