#include "support/http_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>

namespace hg_test {

namespace {

constexpr const char* kHost = "127.0.0.1";

std::string BaseUrl(int port) {
  return "http://" + std::string(kHost) + ":" + std::to_string(port);
}

void SlowReply(httplib::Response& response) {
  auto sent = std::make_shared<int>(0);
  response.set_chunked_content_provider("text/plain", [sent](size_t, httplib::DataSink& sink) {
    if (*sent > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(HttpTestServer::kSlowPauseMs));
    const std::string_view piece = HttpTestServer::kSlowPiece;
    if (!sink.write(piece.data(), piece.size()))
      return false;
    if (++*sent == HttpTestServer::kSlowPieceCount)
      sink.done();
    return true;
  });
}

void DripReply(httplib::Response& response) {
  auto sent = std::make_shared<int>(0);
  response.set_chunked_content_provider("text/plain", [sent](size_t, httplib::DataSink& sink) {
    if (*sent > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(HttpTestServer::kDripPauseMs));
    const std::string_view piece = HttpTestServer::kDripPiece;
    if (!sink.write(piece.data(), piece.size()))
      return false;  // the client has gone
    if (++*sent == HttpTestServer::kDripPieceCount)
      sink.done();
    return true;
  });
}

void ChunkedReply(httplib::Response& response, size_t count) {
  auto bytes = std::make_shared<std::string>(PatternBytes(count));
  response.set_chunked_content_provider(
      "application/octet-stream", [bytes](size_t offset, httplib::DataSink& sink) {
        const size_t length = std::min<size_t>(bytes->size() - offset, 16 * 1024);
        if (length > 0 && !sink.write(bytes->data() + offset, length))
          return false;
        if (offset + length == bytes->size())
          sink.done();
        return true;
      });
}

// The count N of a path "<prefix>N"; nothing when the path is not of that form.
std::optional<size_t> CountAfter(std::string_view path, std::string_view prefix) {
  if (!path.starts_with(prefix))
    return std::nullopt;
  const std::string_view digits = path.substr(prefix.size());
  size_t count = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return count;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& name) const {
  const auto found = headers.find(name);  // the map compares names ignoring case
  return found == headers.end() ? std::string() : found->second;
}

std::string PatternBytes(size_t count) {
  static constexpr std::string_view kRun = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string bytes;
  bytes.reserve(count);
  for (size_t i = 0; i < count; ++i)
    bytes += kRun[i % kRun.size()];
  return bytes;
}

HttpTestServer::HttpTestServer() {
  RouteBody(kTwentyBytesPath, kTwentyBytes);
  Route(kNotFoundPath, [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("no such page", "text/plain");
  });
  Route(kRedirectPath, [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(kTwentyBytesPath);
  });
  Route(kSlowPath,
        [](const httplib::Request&, httplib::Response& response) { SlowReply(response); });
  Route(kDripPath,
        [](const httplib::Request&, httplib::Response& response) { DripReply(response); });

  server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    ReceivedRequest received{request.method, request.target, request.path, request.headers};
    std::lock_guard lock(mutex_);
    log_.push_back(std::move(received));
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    Dispatch(request, response);
  });

  port_ = server_.bind_to_any_port(kHost);
  if (port_ <= 0)
    throw std::runtime_error("the test HTTP server could not bind a port");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // stop() is ignored until the server runs, so wait for that before anyone can stop it.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server_.is_running() && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpTestServer::~HttpTestServer() {
  server_.stop();
  if (thread_.joinable())
    thread_.join();
}

std::string HttpTestServer::base_url() const {
  return BaseUrl(port_);
}

std::string HttpTestServer::Url(std::string_view path_and_query) const {
  return base_url() + std::string(path_and_query);
}

void HttpTestServer::Route(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(handler);
}

void HttpTestServer::RouteBody(const std::string& path, std::string body,
                               std::string content_type) {
  Route(path, [body = std::move(body), content_type = std::move(content_type)](
                  const httplib::Request&, httplib::Response& response) {
    response.set_content(body, content_type.c_str());
  });
}

std::vector<ReceivedRequest> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return log_;
}

size_t HttpTestServer::request_count() const {
  std::lock_guard lock(mutex_);
  return log_.size();
}

ReceivedRequest HttpTestServer::last_request() const {
  std::lock_guard lock(mutex_);
  return log_.empty() ? ReceivedRequest{} : log_.back();
}

void HttpTestServer::Dispatch(const httplib::Request& request, httplib::Response& response) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    const auto found = routes_.find(request.path);
    if (found != routes_.end())
      handler = found->second;
  }
  if (handler) {
    handler(request, response);
    return;
  }
  if (const std::optional<size_t> count = CountAfter(request.path, kBytesPathPrefix)) {
    response.set_content(PatternBytes(*count), "application/octet-stream");
    return;
  }
  if (const std::optional<size_t> count = CountAfter(request.path, kChunkedPathPrefix)) {
    ChunkedReply(response, *count);
    return;
  }
  response.status = 404;
  response.set_content("no such page", "text/plain");
}

// ---- RawHttpServer ----

RawHttpServer::RawHttpServer(std::string reply) : reply_(std::move(reply)) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0 || ::pipe2(wake_fds_, O_CLOEXEC) != 0)
    throw std::runtime_error("the raw test server could not open its sockets");
  const int yes = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = 0;
  ::inet_pton(AF_INET, kHost, &address.sin_addr);
  socklen_t length = sizeof address;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 16) != 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("the raw test server could not listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { AcceptLoop(); });
}

RawHttpServer::~RawHttpServer() {
  const char wake = 'x';
  [[maybe_unused]] const ssize_t written = ::write(wake_fds_[1], &wake, 1);
  if (thread_.joinable())
    thread_.join();
  for (int fd : {listen_fd_, wake_fds_[0], wake_fds_[1]})
    if (fd >= 0)
      ::close(fd);
}

std::string RawHttpServer::base_url() const {
  return BaseUrl(port_);
}

std::string RawHttpServer::Url(std::string_view path_and_query) const {
  return base_url() + std::string(path_and_query);
}

std::vector<std::string> RawHttpServer::request_heads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

std::string RawHttpServer::ShortBodyReply(size_t announced, size_t sent) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(announced) + "\r\nConnection: close\r\n\r\n" + PatternBytes(sent);
}

void RawHttpServer::AcceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0)
      continue;
    if (fds[1].revents != 0)
      return;
    if (fds[0].revents & POLLIN) {
      const int connection = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) {
        Serve(connection);
        ::close(connection);
      }
    }
  }
}

void RawHttpServer::Serve(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd fds[2] = {{connection, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
    if (::poll(fds, 2, 10000) <= 0 || fds[1].revents != 0)
      return;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0)
      break;
    head.append(buffer, static_cast<size_t>(got));
  }
  {
    std::lock_guard lock(mutex_);
    heads_.push_back(head);
  }
  size_t offset = 0;
  while (offset < reply_.size()) {
    const ssize_t sent =
        ::send(connection, reply_.data() + offset, reply_.size() - offset, MSG_NOSIGNAL);
    if (sent <= 0)
      return;
    offset += static_cast<size_t>(sent);
  }
  ::shutdown(connection, SHUT_WR);
}

// ---- RefusingPort ----

RefusingPort::RefusingPort() {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  ::inet_pton(AF_INET, kHost, &address.sin_addr);
  socklen_t length = sizeof address;
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("could not reserve a port");
  port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() {
  ::close(fd_);
}

std::string RefusingPort::Url(std::string_view path_and_query) const {
  return BaseUrl(port_) + std::string(path_and_query);
}

}  // namespace hg_test
