#pragma once
// The file system view: Windows paths in, host paths out.
//
// A Windows path is "X:\a\b" with "\" or "/" as separators. Components resolve
// case-insensitively (an exact match wins), ".." never climbs above the drive root, and
// wildcards ("*", "?") and device paths ("\\?\", "\\.\", UNC, device names such as "NUL" or
// "COM1") never match anything. As on Windows, trailing dots and blanks of the last name are
// dropped. Names are Windows-1252 here and UTF-8 on the host; a host name that is not (or
// that a path could not name) lists under an escaped spelling of its own (folder_names.h).
// A name beginning with "." is hidden; the user.DOSATTRIB extended attribute, when present,
// adds the hidden, system and read-only bits. Only regular files and folders exist; a symbolic
// link exists only while it leads to one inside its drive.
//
// Not for use from several threads at once.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/appended_read.h"
#include "machine/file_stamp.h"
#include "machine/host_files.h"
#include "machine/profile.h"
#include "machine/whole_file_read.h"

namespace machine {

struct FileAttributes {
  bool is_folder = false;
  bool hidden = false;
  bool system = false;
  bool read_only = false;
  uint64_t size = 0;

  // A regular file that is neither hidden nor system.
  bool IsNormalFile() const { return !is_folder && !hidden && !system; }
};

struct FoundEntry;

// What a folder listing tells of an entry: whether it exists and how it counts, without the
// size and read-only bit of FileAttributes, which only the host can give.
struct EntryInfo {
  std::string name;  // the last component as its folder lists it ("" for a drive root)
  bool is_folder = false;
  bool hidden = false;
  bool system = false;

  bool IsNormalFile() const { return !is_folder && !hidden && !system; }
};

struct FolderEntry {
  std::string name;  // spelt as on the host, in Windows-1252
  FileAttributes attributes;
};

class FileSystem {
  struct Cache;

 public:
  explicit FileSystem(const Profile& profile);
  ~FileSystem();
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;

  // Host path of an existing file or folder; nothing when it does not exist or cannot be named.
  std::optional<std::filesystem::path> Resolve(std::string_view windows_path) const;
  // Resolve as plain text, for callers that only hand the path on to the host.
  std::optional<std::string> ResolveHostPath(std::string_view windows_path) const;
  // Host path at which the entry would be created: the parent folder must exist; the last
  // component takes an existing entry's spelling when one matches ignoring case.
  std::optional<std::filesystem::path> ResolveForCreate(std::string_view windows_path) const;
  // Windows path of a host path that lies under a mapped drive; nothing otherwise.
  std::optional<std::string> ToWindowsPath(const std::filesystem::path& host_path) const;

  std::optional<FileAttributes> Attributes(std::string_view windows_path) const;
  // The stamp of an existing regular file; nothing for anything else.
  std::optional<FileStamp> Stamp(std::string_view windows_path) const;
  // Existence, kind and the hidden and system bits of what a path names; answered from a held
  // folder listing without a call to the host once the entry's DOS bits are known.
  std::optional<EntryInfo> Query(std::string_view windows_path) const;
  bool FileExists(std::string_view windows_path) const;  // any file, hidden or not
  bool FolderExists(std::string_view windows_path) const;
  // The entries of a folder (without "." and ".."), in host order; empty when not a folder.
  std::vector<FolderEntry> List(std::string_view windows_folder) const;

  // A descriptor for reading an existing file in parts: read-only, close-on-exec, never
  // blocking (a FIFO cannot hang the reader) and, where the host lets us, without touching the
  // access time. -1 when the path names no file, it cannot be opened, or what would be opened
  // lies outside the drive by then. The caller closes it.
  int OpenForReading(std::string_view windows_path) const;
  // Whether the file can be opened for reading and holds at most `cap` bytes.
  bool CanRead(std::string_view windows_path, uint64_t cap) const;

  // Reading and writing whole files. A read takes in at most `cap` bytes (what the file holds
  // decides, see ReadCap); a larger file, or one cut short while it is read, cannot be read.
  // Writes replace the file atomically (temporary file, then rename); appends add to the end.
  // All return false on failure and change nothing then.
  std::optional<std::string> ReadFile(std::string_view windows_path,
                                      uint64_t cap = ReadCap::kDefinitionFile) const;
  // ReadFile into `buffer`, whose room is kept for the next read: the bytes are its first ones.
  std::optional<std::string_view> ReadFile(std::string_view windows_path, uint64_t cap,
                                           std::string& buffer) const;
  // Only what our own appends added to the file since the mark was taken when nothing else
  // changed it; the whole file otherwise (ReadSinceMark).
  std::optional<GrowthRead> ReadSince(std::string_view windows_path,
                                      const std::optional<ReadMark>& since,
                                      uint64_t cap = ReadCap::kDefinitionFile) const;
  // ReadOpenFileInPieces on the file a path names.
  bool ReadFileInPieces(std::string_view windows_path, uint64_t cap, size_t piece_size,
                        const std::function<void(std::string_view)>& use) const;
  bool WriteFile(std::string_view windows_path, std::string_view content);
  bool AppendFile(std::string_view windows_path, std::string_view content);
  // Adds `line` and CR LF as a line of its own, moving on or dropping the mark of the last read
  // (AppendLineAt).
  bool AppendLine(std::string_view windows_path, std::string_view line,
                  std::optional<ReadMark>& mark);

  // Files of one folder written, then put in place together (FileSetReplacement): Start names
  // each file in turn and Write gives its content; nothing changes before Commit. A set without
  // a file commits at once.
  class ReplacementSet {
   public:
    explicit ReplacementSet(FileSystem& files) : files_(files) {}
    // False when the path names no place for a file, or one in another folder than the first.
    bool Start(std::string_view windows_path);
    bool Write(std::string_view bytes) { return replacement_ && replacement_->Write(bytes); }
    bool Commit();

   private:
    FileSystem& files_;
    std::string folder_host_path_;
    std::unique_ptr<FileSetReplacement> replacement_;
  };

  // Removes the temporary files (IsTemporaryName) a stopped replacement left in the folder.
  void RemoveTemporaryFiles(std::string_view windows_folder);

  bool CreateFolder(std::string_view windows_path);  // creates missing parents too
  bool DeleteFile(std::string_view windows_path);
  bool DeleteFolder(std::string_view windows_path);  // with everything in it
  // Copies a file or a folder tree; fails when the target exists. A failed copy leaves no
  // partial target behind.
  bool Copy(std::string_view from_windows_path, std::string_view to_windows_path);
  // Renames within one drive, replacing a file target atomically; a file renamed within its
  // folder reaches the disk as every replacement does (ReplaceWithFileAt).
  bool Rename(std::string_view from_windows_path, std::string_view to_windows_path);
  bool SetHidden(std::string_view windows_path, bool hidden);

  const Profile& profile() const { return profile_; }

  // While one is held, only the first look-up checks for changes made behind the view's back;
  // the ones after it answer from the state that one saw, as if asked at the same moment.
  // Changes made through the view are seen at once all the same. For a caller asking several
  // things about one file in a row, with nothing in between that could change it.
  class Moment {
   public:
    explicit Moment(const FileSystem& files);
    ~Moment();
    Moment(const Moment&) = delete;
    Moment& operator=(const Moment&) = delete;

   private:
    Cache& cache_;
  };

 private:
  class OwnChange;
  // Creates or changes the file a path names through `write`, given the held folder it lies in
  // and its host name there; false when the path names no place for a file.
  bool WriteInFolder(std::string_view windows_path,
                     const std::function<bool(int folder_fd, const std::string& host_name)>& write);
  // The entry a path names, through a held listing when there is one.
  std::optional<FoundEntry> Find(std::string_view windows_path) const;

  const Profile& profile_;
  std::unique_ptr<Cache> cache_;
};

// Splits a Windows path into its drive letter (upper case) and its components, with "." removed
// and ".." applied without climbing above the root. Nothing for a path that is not absolute
// ("X:\..."), that holds a wildcard or another character no name may hold, or that is a
// device or UNC path.
struct WindowsPath {
  char drive = 0;
  std::vector<std::string> components;
  std::string ToString() const;  // "C:\a\b"; "C:\" for the root
};
std::optional<WindowsPath> ParseWindowsPath(std::string_view text);
// Whether a name can stand in a Windows path: not empty, no character that no name may hold
// (wildcards among them), not a device name such as "NUL".
bool IsValidWindowsName(std::string_view name);

}  // namespace machine
