#pragma once
// How the file system view finds host entries quickly without ever answering from stale data.
//
// Each folder the view has looked into keeps its listing (Windows name folded to upper case ->
// host entries) while an inotify watch on it reports no change; the first access after a change
// reads the folder again. A folder that cannot be watched (no inotify, too many watches, a file
// system whose changes inotify does not report: network, FUSE, the kernel's procfs or sysfs, a
// drive the profile declares remote) is read directly on every access. So is every folder
// reached through a symbolic link: its watch would sit where the link led when it was read,
// not where it leads now. A link itself is followed afresh at every access.
// Entries that are neither files nor folders, and symbolic links leading outside the drive
// root, do not exist for the view. Not for use from several threads at once.

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "machine/file_system.h"
#include "machine/profile.h"

namespace machine {

// An existing entry found for a Windows path.
struct FoundEntry {
  // Empty for an entry found the quick way until HostPath() puts it together: most look-ups
  // never need it.
  std::string host_path;
  const std::string* folder_host_path = nullptr;
  const std::string* host_name = nullptr;
  std::string name;  // the last component as its folder lists it, in Windows-1252
  bool is_folder = false;
  bool hidden_name = false;  // its name begins with "."
  // Found in a watched listing with no symbolic link on the way, so that it exists and is what
  // the listing says as long as no change is reported. Otherwise only the host can tell.
  bool current = false;
  int* cached_dos_bits = nullptr;  // where its DOS bits are kept (-1: not read yet), if cached
  const std::string* drive_root = nullptr;  // canonical host root of its drive (lives as long
                                            // as the view)
  // The pointers into held listings above are good only while the cache's listings stand as
  // they were when the entry was found; an entry kept past a change never follows them.
  const uint64_t* listings_generation = nullptr;
  uint64_t found_in_generation = 0;

  bool ListingsUnchanged() const {
    return listings_generation != nullptr && *listings_generation == found_in_generation;
  }
  // The host path; empty when it was left to be put together and the listing it came from has
  // changed since.
  const std::string& HostPath();
  // Where the DOS bits are kept, while that place still stands; nullptr otherwise.
  int* DosBitsCache() const { return ListingsUnchanged() ? cached_dos_bits : nullptr; }
};

// Where a Windows path's entry is or would be created.
struct CreateTarget {
  std::string host_path;
  std::string parent_host_path;
  std::string windows_name;  // the last component as given
  std::optional<FoundEntry> existing;
};

struct FileSystem::Cache {
  explicit Cache(const Profile& profile);
  ~Cache();
  Cache(const Cache&) = delete;
  Cache& operator=(const Cache&) = delete;

  // The entry a parsed path names; nothing when it does not exist for the view.
  std::optional<FoundEntry> Find(const WindowsPath& path);
  // The same for a path not parsed yet, answered from the listing of its folder when that
  // folder has been looked up before and nothing has changed since. False when the full
  // lookup has to run instead.
  bool TryFindFast(std::string_view windows_path, std::optional<FoundEntry>& found);
  // Opens the file a path names relative to its folder, when the path takes the quick way of
  // TryFindFast; false when the full lookup has to run instead. `fd` is -1 when the path names
  // nothing, a folder, or a file that cannot be opened.
  bool TryOpenFast(std::string_view windows_path, int& fd);
  // The target of a path below an existing folder: an existing entry whose name matches
  // ignoring case keeps its spelling. Nothing for a drive root or a missing parent folder.
  std::optional<CreateTarget> FindForCreate(const WindowsPath& path);

  // The canonical host root of a drive, empty when the drive is not mapped or its root is gone.
  const std::string& CanonicalRoot(char drive);

  // See FileSystem::Moment.
  void BeginMoment() { ++moments_; }
  void EndMoment() {
    if (--moments_ == 0)
      moment_checked_ = false;
  }
  // A change made through the view: the next look-up checks for changes again, moment or not.
  void NoteOwnChange() { moment_checked_ = false; }

  // What a host entry is for the view.
  struct Kind {
    bool is_folder = false;
    bool is_link = false;
  };
  // The one rule for which host entries the view shows: folders and regular files, and links
  // only while they lead to one inside the drive (`canonical_root`). `d_type` is what the folder
  // read said (DT_UNKNOWN to ask the host). Nothing for an entry the view does not show.
  static std::optional<Kind> Classify(const std::string& canonical_root, const std::string& folder,
                                      std::string_view name, unsigned char d_type);

 private:
  struct Node;
  struct Entry {
    std::string host_name;
    std::string windows_name;
    bool is_folder = false;
    bool is_link = false;
    // Its folder could not be kept listed: not tried again until this listing is read again.
    bool read_directly = false;
    int dos_bits = -1;
    int32_t next_same_fold = -1;  // next entry whose name folds alike, host-name order
    std::unique_ptr<Node> child;
  };
  struct Node {
    std::string host_path;
    Node* parent = nullptr;
    std::string name_in_parent;
    int wd = -1;
    bool listed = false;
    dev_t dev = 0;
    ino_t ino = 0;
    std::vector<Entry> entries;
    std::unordered_map<std::string, int32_t> by_folded;
  };
  struct DriveState {
    char letter = 0;
    std::string root;            // as the profile gives it
    std::string canonical_root;  // symbolic links resolved; empty until known
    bool remote = false;
    bool watchable = true;
    std::unique_ptr<Node> node;
  };
  // One entry as a folder read reports it, before it joins a listing.
  struct Candidate {
    std::string host_name;
    std::string windows_name;
    bool is_folder = false;
  };

  // What the quick way found: the held listing of the folder, and the entry when it is listed.
  struct FastHit {
    Node* node = nullptr;
    Entry* entry = nullptr;
    DriveState* drive = nullptr;
  };
  // Nothing when the quick way cannot be taken.
  std::optional<FastHit> FindFast(std::string_view text);
  // A descriptor of a held folder, kept for the one folder used last, as files are mostly
  // opened one folder after the other; -1 when it cannot be had.
  int FolderFd(Node& node, const std::string& canonical_root);
  void CloseFolderFd();

  // kDirect: the folder exists but cannot be kept listed; read it directly.
  enum class RefreshResult { kReady, kDirect, kGone };

  DriveState* FindDriveState(char letter);
  bool PrepareDrive(DriveState& drive);
  // Makes sure the drive root's listing is held; kDirect when it cannot be.
  RefreshResult PrepareRoot(DriveState& drive);
  // The held listing of a folder; nullptr when it is not held (or the folder is missing).
  Node* FolderNode(const WindowsPath& folder, DriveState*& drive);
  void DrainEvents();
  RefreshResult Refresh(DriveState& drive, Node& node);
  Node* ChildNode(DriveState& drive, Node& node, Entry& entry, bool& gone);
  void DestroyNode(Node* node);
  void ForgetWatches(Node& node);
  void Unwatch(Node& node);
  Entry* Lookup(Node& node, std::string_view windows_name);
  // Without a listing: the host name of the best match in a folder, and whether it is a folder.
  std::optional<Candidate> LookupDirect(const DriveState& drive, const std::string& folder,
                                        std::string_view windows_name) const;

  // Folders looked up by their text as given, valid while no change has been seen since.
  struct FolderHit {
    Node* node = nullptr;
    DriveState* drive = nullptr;
    uint64_t generation = 0;
  };
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  std::vector<DriveState> drives_;
  std::unordered_map<std::string, FolderHit, TextHash, std::equal_to<>> folder_hits_;
  // Paths come mostly one folder after the other: the folder asked for last needs no hashing.
  std::string last_folder_text_;
  FolderHit last_folder_;
  // The whole path asked for last and what the quick way found for it.
  std::string last_path_;
  uint64_t last_path_generation_ = UINT64_MAX;
  FastHit last_path_hit_;
  uint64_t generation_ = 0;  // moves on with every change seen
  int inotify_fd_ = -1;
  int epoll_fd_ = -1;  // reports whether inotify_fd_ has anything queued
  int moments_ = 0;
  bool moment_checked_ = false;  // changes were checked for since the first Moment began
  size_t node_count_ = 0;
  std::string folded_;  // scratch for Lookup, so that folding a name allocates nothing
  Node* fd_node_ = nullptr;
  int folder_fd_ = -1;
  std::unordered_map<int, std::vector<Node*>> watches_;
};

// open() for reading: read-only, close-on-exec, never blocking (a FIFO cannot hang the reader)
// and, where the host lets us, without touching the access time. `at` as for openat(). Without
// `follow_links`, a symbolic link as the last component fails with ELOOP.
int OpenForReadingAt(int at, const char* path, bool follow_links = true);

// Whether a canonical host path lies inside a canonical drive root (or is the root).
bool InsideRoot(std::string_view canonical_path, std::string_view canonical_root);
// Where an open descriptor's file or folder is now; empty when that cannot be told.
std::string DescriptorPath(int fd);
// The host path with every symbolic link resolved; empty when it does not exist.
std::string CanonicalHostPath(const std::string& host_path);

}  // namespace machine
