#include <microhttpd.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "machine/text.h"
#include "request_deadlines.h"
#include "update_server.h"

namespace update_server {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTextType = "text/plain";

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

// A query parameter, decoded; nothing when the query lacks it.
std::optional<std::string> Argument(MHD_Connection* connection, std::string_view key) {
  const char* value = nullptr;
  size_t size = 0;
  if (MHD_lookup_connection_value_n(connection, MHD_GET_ARGUMENT_KIND, key.data(), key.size(),
                                    &value, &size) != MHD_YES) {
    return std::nullopt;
  }
  return std::string(value ? value : "", size);
}

// The header lines of a request, and their bytes as sent.
struct HeaderSize {
  size_t lines = 0;
  size_t bytes = 0;
};

HeaderSize MeasureHeaders(MHD_Connection* connection) {
  HeaderSize size;
  MHD_get_connection_values(
      connection, MHD_HEADER_KIND,
      [](void* tally, MHD_ValueKind, const char* name, const char* value) {
        auto& counted = *static_cast<HeaderSize*>(tally);
        ++counted.lines;
        counted.bytes += std::strlen(name) + std::strlen(value ? value : "") + sizeof(": \r\n") - 1;
        return MHD_YES;
      },
      &size);
  return size;
}

// The connection's ticket with the request deadlines.
uint64_t Ticket(MHD_Connection* connection) {
  return reinterpret_cast<uintptr_t>(
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
}

}  // namespace

struct Server::Reply {
  unsigned status = MHD_HTTP_OK;
  std::string text;
  // Sent in place of text without a copy; it lives as long as the server runs.
  const std::string* kept = nullptr;
};

Server::Server(fs::path releases_folder, ServerLimits limits)
    : folder_(std::move(releases_folder)), limits_(limits) {}

Server::Reply Server::Answer(MHD_Connection* connection, const std::string& method,
                             const std::string& path) {
  const HeaderSize headers = MeasureHeaders(connection);
  if (headers.lines > limits_.header_lines || headers.bytes > limits_.header_bytes)
    return {MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE, "headers too large\n"};
  if (method != MHD_HTTP_METHOD_GET && method != MHD_HTTP_METHOD_HEAD)
    return {MHD_HTTP_NOT_FOUND, ""};
  if (path == "/asp/currentDate.asp" || path == "/asp/date.asp") {
    std::lock_guard lock(mutex_);
    if (releases_.empty())
      return {MHD_HTTP_SERVICE_UNAVAILABLE, "no release\n"};
    return {MHD_HTTP_OK, machine::FormatGeneralDate(releases_.back().date)};
  }
  if (path == "/asp/getDefs.asp") {
    const std::optional<std::string> date_text = Argument(connection, "date");
    if (!date_text)
      return {MHD_HTTP_BAD_REQUEST, "no date\n"};
    const auto date = machine::ParseGeneralDate(*date_text);
    if (!date)
      return {MHD_HTTP_BAD_REQUEST, "no readable date\n"};
    std::lock_guard lock(mutex_);
    if (releases_.empty())
      return {MHD_HTTP_SERVICE_UNAVAILABLE, "no release\n"};
    // The release the client holds: the newest one not later than its date; a client older
    // than every release is taken to hold the oldest (the definitions shipped with the program).
    const auto later = std::upper_bound(releases_.begin(), releases_.end(), *date,
                                        [](const machine::DateTime& value, const Release& release) {
                                          return value < release.date;
                                        });
    const size_t from =
        later == releases_.begin() ? 0 : static_cast<size_t>(later - releases_.begin()) - 1;
    return {MHD_HTTP_OK, {}, &packages_[from]};
  }
  if (path == "/asp/getData.asp")
    return AnswerSubmission(Argument(connection, "data").value_or(""));
  return {MHD_HTTP_NOT_FOUND, ""};
}

Server::Reply Server::AnswerSubmission(const std::string& data) {
  const std::vector<std::string> names = SubmittedNames(data);
  if (names.empty())
    return {MHD_HTTP_BAD_REQUEST, "no name\n"};
  bool added = false;
  {
    std::lock_guard lock(mutex_);
    received_data_.push_back(data);
    if (received_data_.size() > limits_.kept_submissions)
      received_data_.pop_front();
    for (const std::string& name : names)
      added = RememberName(name) || added;
  }
  if (on_data) {
    std::lock_guard lock(on_data_mutex_);
    on_data(names);
  }
  return {MHD_HTTP_OK, added ? kDataReceivedReply : kDataKnownReply};
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
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
    return port_ = -1;
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> address(found, &freeaddrinfo);

  // Each request is answered when its headers are complete; a body is never read.
  const MHD_AccessHandlerCallback serve = [](void* self, MHD_Connection* connection,
                                             const char* url, const char* method, const char*,
                                             const char*, size_t* upload_data_size,
                                             void** request_state) {
    if (*request_state) {
      *upload_data_size = 0;
      return MHD_YES;
    }
    *request_state = self;
    auto& server = *static_cast<Server*>(self);
    server.deadlines_->Finish(Ticket(connection));
    Reply reply = server.Answer(connection, method, url);
    MHD_Response* response =
        reply.kept
            ? MHD_create_response_from_buffer(
                  reply.kept->size(), const_cast<char*>(reply.kept->data()), MHD_RESPMEM_PERSISTENT)
            : MHD_create_response_from_buffer(reply.text.size(), reply.text.data(),
                                              MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, kTextType);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result queued = MHD_queue_response(connection, reply.status, response);
    MHD_destroy_response(response);
    return queued;
  };
  const MHD_NotifyConnectionCallback track = [](void* self, MHD_Connection* connection,
                                                void** socket_context,
                                                MHD_ConnectionNotificationCode code) {
    RequestDeadlines& deadlines = *static_cast<Server*>(self)->deadlines_;
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
      const int socket =
          MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
      *socket_context = reinterpret_cast<void*>(static_cast<uintptr_t>(deadlines.Watch(socket)));
    } else {
      deadlines.Finish(reinterpret_cast<uintptr_t>(*socket_context));
    }
  };
  deadlines_ = std::make_unique<RequestDeadlines>(limits_.request_deadline);
  // Twice the headers' room leaves enough for the request line and the library's bookkeeping;
  // above 32 KiB the library maps each connection's memory apart, so that it goes back to the
  // system when the connection closes.
  const size_t connection_bytes = 2 * limits_.header_bytes;
  // The library counts silence in whole seconds, and zero would mean no limit.
  const auto idle_seconds = static_cast<unsigned>(
      std::max<int64_t>(1, std::chrono::ceil<std::chrono::seconds>(limits_.read_timeout).count()));
  daemon_ = MHD_start_daemon(
      MHD_USE_AUTO_INTERNAL_THREAD | (address->ai_family == AF_INET6 ? MHD_USE_IPv6 : 0), 0,
      nullptr, nullptr, serve, this, MHD_OPTION_SOCK_ADDR, address->ai_addr,
      MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(limits_.workers),
      MHD_OPTION_CONNECTION_LIMIT, limits_.connections, MHD_OPTION_CONNECTION_TIMEOUT, idle_seconds,
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, connection_bytes, MHD_OPTION_NOTIFY_CONNECTION, track,
      this, MHD_OPTION_END);
  if (!daemon_) {
    deadlines_.reset();
    return port_ = -1;
  }
  return port_ = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT)->port;
}

void Server::Stop() {
  if (daemon_)
    MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  deadlines_.reset();
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
