#pragma once
// Local HTTP servers for tests, on 127.0.0.1 and a free port.
//
// HttpTestServer is a real HTTP server (cpp-httplib) with routes that tests register at any
// time and a few canned ones; RawHttpServer answers every connection with fixed bytes, for
// replies no well-behaved server sends (a body shorter than announced, a dropped connection).
// Both log what they received and stop cleanly when destroyed.

#include <httplib.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace hg_test {

struct ReceivedRequest {
  std::string method;
  std::string target;  // path and query exactly as on the request line
  std::string path;    // decoded path, without the query
  httplib::Headers headers;

  // The value of a header (name compared ignoring case); "" when absent.
  std::string Header(const std::string& name) const;
};

class HttpTestServer {
 public:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  // Canned routes, present from the start.
  static constexpr const char* kNotFoundPath = "/canned/404";       // 404 with a short body
  static constexpr const char* kTwentyBytesPath = "/canned/20";     // kTwentyBytes, text/plain
  static constexpr const char* kRedirectPath = "/canned/redirect";  // 302 to kTwentyBytesPath
  // kSlowPieceCount pieces of kSlowPiece, with kSlowPauseMs between them (chunked).
  static constexpr const char* kSlowPath = "/canned/slow";
  // "/canned/bytes/N": N bytes of the repeating pattern PatternBytes(N).
  static constexpr const char* kBytesPathPrefix = "/canned/bytes/";
  // "/canned/chunked/N": the same bytes sent chunked, without announcing their length.
  static constexpr const char* kChunkedPathPrefix = "/canned/chunked/";
  // kDripPieceCount pieces of kDripPiece, kDripPauseMs apart: a reply that trickles for long.
  static constexpr const char* kDripPath = "/canned/drip";
  static constexpr const char* kTwentyBytes = "0123456789abcdefghij";
  static constexpr const char* kSlowPiece = "slow piece\n";
  static constexpr int kSlowPieceCount = 3;
  static constexpr int kSlowPauseMs = 300;
  static constexpr const char* kDripPiece = "..";
  static constexpr int kDripPieceCount = 100;
  static constexpr int kDripPauseMs = 100;

  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>", without a trailing slash.
  std::string base_url() const;
  // base_url() + path_and_query.
  std::string Url(std::string_view path_and_query) const;

  // Answers GET requests whose decoded path equals `path` (any query). Replaces an earlier
  // handler of the same path. Unknown paths get 404.
  void Route(const std::string& path, Handler handler);
  // Shorthand: a 200 reply with this body.
  void RouteBody(const std::string& path, std::string body,
                 std::string content_type = "text/plain");

  // Every request received so far, in order of arrival.
  std::vector<ReceivedRequest> requests() const;
  size_t request_count() const;
  // The most recent request; an empty one when none arrived.
  ReceivedRequest last_request() const;

 private:
  void Dispatch(const httplib::Request& request, httplib::Response& response);

  httplib::Server server_;
  std::thread thread_;
  int port_ = -1;
  mutable std::mutex mutex_;
  std::map<std::string, Handler> routes_;
  std::vector<ReceivedRequest> log_;
};

// The bytes that "/canned/bytes/N" sends: a repeating run of printable characters.
std::string PatternBytes(size_t count);

// Answers every connection with `reply` (the raw bytes of a whole HTTP response, headers
// included) after reading the request head, then closes the connection.
class RawHttpServer {
 public:
  explicit RawHttpServer(std::string reply);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  int port() const { return port_; }
  std::string base_url() const;
  std::string Url(std::string_view path_and_query) const;

  // The request heads received, each up to and including the blank line.
  std::vector<std::string> request_heads() const;

  // A 200 reply that announces `announced` body bytes and sends only `sent` of them.
  static std::string ShortBodyReply(size_t announced, size_t sent);
  // Closes the connection without sending anything.
  static std::string NoReply() { return {}; }

 private:
  void AcceptLoop();
  void Serve(int connection);

  std::string reply_;
  int listen_fd_ = -1;
  int wake_fds_[2] = {-1, -1};
  int port_ = -1;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> heads_;
};

// A port on 127.0.0.1 that refuses connections while this object lives (bound, never listening).
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  int port() const { return port_; }
  std::string Url(std::string_view path_and_query) const;

 private:
  int fd_ = -1;
  int port_ = -1;
};

}  // namespace hg_test
