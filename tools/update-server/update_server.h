#pragma once
// A local update server for Live Update: serves a folder of definition releases over HTTP.
//
// The releases folder holds one sub-folder per release (any name, e.g. "2026-03-01_120000"),
// each with:
//   date.txt                 the release date in the general date format ("3/1/2026 12:00:00 PM")
//   FileDefinition.dat, ExeDefinition.dat, RegistryDefinition.dat, BlockedCookies.dat,
//   DirectoryDefinition.dat  the definition files as the program stores them (encoded lines);
//                            in place of each, the same name with ".txt" may hold plain lines
// Links, other files and incomplete releases are left out. Only these requests are answered:
//   /asp/currentDate.asp, /asp/date.asp   the newest release's date, general date format
//   /asp/getDefs.asp?...&date=D           the package from the release current at D (the newest
//                                         one not later than D; the oldest one when D is earlier
//                                         than all) to the newest; empty when D is up to date
//   /asp/getData.asp?data=N|              the data submission of a typed name, encoded as the
//                                         program sends it: all before the final "|" is one
//                                         name, whatever "|" it holds (the codec writes "<" so)
//   /asp/getData.asp?data=N1|N2...        the report of the running programs: names joined by
//                                         "|", none after the last
// Both getData forms are recorded and answered kDataReceivedReply when a name is new,
// kDataKnownReply when all were known.
// A getDefs request without a readable date, or a getData request without a name, is refused
// with 400; the date requests answer 503 while there is no release; any other path gets 404.
// The releases are read once, by Start. Each connection carries one request.

#include <array>
#include <chrono>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "machine/date_time.h"

struct MHD_Connection;
struct MHD_Daemon;

namespace update_server {

class RequestDeadlines;

// The five definition files, each as its decoded lines.
struct DefinitionFiles {
  std::vector<std::string> file;       // FileDefinition.dat
  std::vector<std::string> exe;        // ExeDefinition.dat
  std::vector<std::string> registry;   // RegistryDefinition.dat
  std::vector<std::string> cookies;    // BlockedCookies.dat
  std::vector<std::string> directory;  // DirectoryDefinition.dat
};

// The file names in the order of DefinitionFiles' members.
inline constexpr std::array<std::string_view, 5> kDefinitionFileNames = {
    "FileDefinition.dat", "ExeDefinition.dat", "RegistryDefinition.dat", "BlockedCookies.dat",
    "DirectoryDefinition.dat"};

struct Release {
  machine::DateTime date;
  DefinitionFiles files;
};

struct Package {
  std::string text;  // the UpdatePackage, items joined by "[BR]"; empty when nothing changed
  // Lines of the newer files that no package item can carry (they are left out), one note each.
  std::vector<std::string> notes;
};

// The ADD and DEL items that turn `from` into `to` when applied in package order (an ADD
// appends its line, a DEL removes every line of its name present so far). Blank lines are
// ignored on both sides.
Package BuildUpdatePackage(const DefinitionFiles& from, const DefinitionFiles& to);

// Reads one release folder; nothing (with the reason in *error) when it is incomplete.
std::optional<Release> ReadRelease(const std::filesystem::path& folder, std::string* error);
// Writes a release folder (created when missing) in the layout above. False on any failure.
bool WriteRelease(const std::filesystem::path& folder, const Release& release);

// The line printed for a submission, "Submitted: [name] [name]...": each name decoded with its
// control characters shown as "?", the line cut after kLongestSubmissionLine characters and
// marked " ... (cut)". A name as long as a Windows path (260 characters) is shown whole.
inline constexpr size_t kLongestSubmissionLine = std::string_view("Submitted: []").size() + 260;
std::string SubmissionLine(const std::vector<std::string>& names);

// What the server gives each connection, and what it keeps of the submissions.
struct ServerLimits {
  // A connection that sends nothing for this long (counted in whole seconds, at least one) is
  // dropped, however much of its request has come.
  std::chrono::milliseconds read_timeout = std::chrono::seconds(1);
  // Threads that serve the connections, each any number of them at once.
  size_t workers = 4;
  // Only the newest submitted names, and the newest data parameters, are kept, so memory stays
  // bounded; a name forgotten counts as new when it comes again.
  size_t kept_submissions = 4096;
  // A request not complete this long after its connection opened is dropped, however steadily
  // it trickles, so slow clients cannot hold connections the others need.
  std::chrono::milliseconds request_deadline = std::chrono::seconds(10);
  // A request whose header lines (names, values and line ends) pass this total is refused with
  // 431. The library keeps each connection's request within twice as much memory, and refuses
  // what does not fit (414 when the request line alone does not).
  size_t header_bytes = 32 * 1024;
  // A request with more header lines is refused with 431.
  size_t header_lines = 100;
  // Connections open at once; further ones are refused until some close.
  unsigned connections = 1000;
};

class Server {
 public:
  static constexpr const char* kDataReceivedReply = "Added";
  static constexpr const char* kDataKnownReply = "Skipped";

  explicit Server(std::filesystem::path releases_folder, ServerLimits limits = {});
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Loads the releases and listens on its own thread. Returns the bound port (a free one when
  // `port` is 0), or -1 when it cannot listen.
  int Start(const std::string& host = "127.0.0.1", int port = 0);
  void Stop();

  // "http://<host>:<port>" while started.
  std::string base_url() const;
  // The releases found by the last Start, oldest first, and why others were left out.
  std::vector<Release> releases() const;
  std::vector<std::string> load_notes() const;
  // The data parameters of the getData requests answered, in order (the newest
  // ServerLimits::kept_submissions).
  std::vector<std::string> received_data() const;

  // Called on one of the server's threads, one call at a time, with the names of each answered
  // getData request, as sent (encoded). Set it before Start.
  std::function<void(const std::vector<std::string>& names)> on_data;

 private:
  void Load();
  struct Reply;
  Reply Answer(MHD_Connection* connection, const std::string& method, const std::string& path);
  Reply AnswerSubmission(const std::string& data);
  // Keeps a submitted name (the mutex held); true when it was not known.
  bool RememberName(const std::string& name);

  std::filesystem::path folder_;
  MHD_Daemon* daemon_ = nullptr;
  std::unique_ptr<RequestDeadlines> deadlines_;
  std::string host_;
  int port_ = -1;
  mutable std::mutex mutex_;
  std::vector<Release> releases_;
  std::vector<std::string> packages_;  // from each release to the newest
  std::vector<std::string> load_notes_;
  ServerLimits limits_;
  std::deque<std::string> received_data_;
  std::set<std::string> known_names_;
  std::deque<std::set<std::string>::iterator> known_order_;  // oldest first
  std::mutex on_data_mutex_;
};

}  // namespace update_server
