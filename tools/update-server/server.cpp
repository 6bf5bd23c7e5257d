#include <algorithm>
#include <chrono>
#include <map>
#include <system_error>

#include "machine/text.h"
#include "update_server.h"

namespace update_server {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTextType = "text/plain";
// Requests are GETs with short queries; nothing larger is read.
constexpr size_t kMaxPayloadBytes = 64 * 1024;
// One request per connection, begun within 2 s: a client whose request is bad or unfinished is
// dropped, not waited for again (the program opens a connection for each request anyway).
constexpr time_t kRequestStartSeconds = 2;
constexpr size_t kRequestsPerConnection = 1;

void Refuse(httplib::Response& response, int status, const std::string& why) {
  response.status = status;
  response.set_content(why + "\n", kTextType);
}

// The names of a getData request. The program ends a typed name with "|", so all before that is
// one name, "|" included (its codec writes "<" so); a report of the running programs joins its
// names with "|" and has none at the end.
std::vector<std::string> SubmittedNames(const std::string& data) {
  if (data.ends_with('|')) {
    if (data.size() == 1)
      return {};
    return {data.substr(0, data.size() - 1)};
  }
  std::vector<std::string> names = machine::Split(data, "|");
  std::erase(names, std::string());
  return names;
}

}  // namespace

Server::Server(fs::path releases_folder, ServerLimits limits)
    : folder_(std::move(releases_folder)), limits_(limits) {
  http_.set_payload_max_length(kMaxPayloadBytes);
  http_.set_read_timeout(limits_.read_timeout);
  http_.set_keep_alive_timeout(kRequestStartSeconds);
  http_.set_keep_alive_max_count(kRequestsPerConnection);
  http_.new_task_queue = [workers = limits_.workers] { return new httplib::ThreadPool(workers); };
  auto date_reply = [this](const httplib::Request&, httplib::Response& response) {
    std::lock_guard lock(mutex_);
    if (releases_.empty())
      return Refuse(response, 503, "no release");
    response.set_content(machine::FormatGeneralDate(releases_.back().date), kTextType);
  };
  http_.Get(R"(/asp/currentDate\.asp)", date_reply);
  http_.Get(R"(/asp/date\.asp)", date_reply);
  http_.Get(R"(/asp/getDefs\.asp)", [this](const httplib::Request& request,
                                           httplib::Response& response) {
    if (!request.has_param("date"))
      return Refuse(response, 400, "no date");
    const auto date = machine::ParseGeneralDate(request.get_param_value("date"));
    if (!date)
      return Refuse(response, 400, "no readable date");
    std::lock_guard lock(mutex_);
    if (releases_.empty())
      return Refuse(response, 503, "no release");
    // The release the client holds: the newest one not later than its date; a client older
    // than every release is taken to hold the oldest (the definitions shipped with the program).
    const auto later = std::upper_bound(releases_.begin(), releases_.end(), *date,
                                        [](const machine::DateTime& value, const Release& release) {
                                          return value < release.date;
                                        });
    const size_t from =
        later == releases_.begin() ? 0 : static_cast<size_t>(later - releases_.begin()) - 1;
    response.set_content(packages_[from], kTextType);
  });
  http_.Get(R"(/asp/getData\.asp)",
            [this](const httplib::Request& request, httplib::Response& response) {
              const std::string data = request.get_param_value("data");
              const std::vector<std::string> names = SubmittedNames(data);
              if (names.empty())
                return Refuse(response, 400, "no name");
              bool added = false;
              {
                std::lock_guard lock(mutex_);
                received_data_.push_back(data);
                if (received_data_.size() > limits_.kept_submissions)
                  received_data_.pop_front();
                for (const std::string& name : names)
                  added = RememberName(name) || added;
              }
              response.set_content(added ? kDataReceivedReply : kDataKnownReply, kTextType);
              if (on_data)
                on_data(names);
            });
}

Server::~Server() {
  Stop();
}

void Server::Load() {
  std::vector<Release> releases;
  std::vector<std::string> notes;
  std::error_code error;
  for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    // Links are never followed, so nothing outside the folder is read.
    if (!it->is_directory(error) || it->is_symlink(error))
      continue;
    std::string why;
    if (auto release = ReadRelease(it->path(), &why))
      releases.push_back(std::move(*release));
    else
      notes.push_back(why);
  }
  if (error)
    notes.push_back(folder_.string() + ": " + error.message());
  std::stable_sort(releases.begin(), releases.end(),
                   [](const Release& a, const Release& b) { return a.date < b.date; });
  const auto same_date =
      std::unique(releases.begin(), releases.end(),
                  [](const Release& a, const Release& b) { return a.date == b.date; });
  if (same_date != releases.end()) {
    notes.push_back("releases of the same date left out");
    releases.erase(same_date, releases.end());
  }
  std::vector<std::string> packages;
  for (const Release& release : releases) {
    Package package = BuildUpdatePackage(release.files, releases.back().files);
    packages.push_back(std::move(package.text));
    for (std::string& note : package.notes) {
      if (std::find(notes.begin(), notes.end(), note) == notes.end())
        notes.push_back(std::move(note));
    }
  }
  std::lock_guard lock(mutex_);
  releases_ = std::move(releases);
  packages_ = std::move(packages);
  load_notes_ = std::move(notes);
}

int Server::Start(const std::string& host, int port) {
  Stop();
  Load();
  host_ = host;
  port_ = port == 0 ? http_.bind_to_any_port(host) : (http_.bind_to_port(host, port) ? port : -1);
  if (port_ <= 0)
    return port_ = -1;
  thread_ = std::thread([this] { http_.listen_after_bind(); });
  // stop() is ignored until the server runs.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!http_.is_running() && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return port_;
}

void Server::Stop() {
  http_.stop();
  if (thread_.joinable())
    thread_.join();
  port_ = -1;
}

bool Server::RememberName(const std::string& name) {
  const auto [at, added] = known_names_.insert(name);
  if (!added)
    return false;
  known_order_.push_back(at);
  if (known_order_.size() > limits_.kept_submissions) {
    known_names_.erase(known_order_.front());
    known_order_.pop_front();
  }
  return true;
}

std::string Server::base_url() const {
  return "http://" + host_ + ":" + std::to_string(port_);
}

std::vector<Release> Server::releases() const {
  std::lock_guard lock(mutex_);
  return releases_;
}

std::vector<std::string> Server::load_notes() const {
  std::lock_guard lock(mutex_);
  return load_notes_;
}

std::vector<std::string> Server::received_data() const {
  std::lock_guard lock(mutex_);
  return {received_data_.begin(), received_data_.end()};
}

}  // namespace update_server
