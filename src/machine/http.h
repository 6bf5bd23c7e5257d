#pragma once
// The HTTP transport: a GET whose body is handed up in small pieces, so that the caller can
// yield to the message loop between them.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace machine {

// What one request may take. A body larger than max_body_bytes fails. So does a stalled server:
// one that sends nothing for max_silence, or less than min_bytes_per_second on average over a
// speed_window; a slow but steady download runs as long as it needs. Time the caller spends in
// its handlers (yields, nested message loops) is not counted: the limits are the server's, not
// the user's.
struct HttpLimits {
  // Any definition package fits many times over.
  size_t max_body_bytes = size_t{256} << 20;
  std::chrono::milliseconds max_silence = std::chrono::seconds(30);
  size_t min_bytes_per_second = 1024;
  std::chrono::milliseconds speed_window = std::chrono::seconds(60);
};

class HttpTransport {
 public:
  // Largest piece handed to the body handler.
  static constexpr size_t kMaxPiece = 256;

  // Receives the next piece of the body (never empty, at most kMaxPiece bytes); false stops
  // the transfer, which then fails.
  using PieceHandler = std::function<bool(std::string_view piece)>;
  // Runs every few milliseconds while the transfer waits for the server (connecting, or between
  // pieces), so that the caller can yield to the message loop then too.
  using WaitHandler = std::function<void()>;
  // Longest wait between two calls of the wait handler while nothing arrives.
  static constexpr int kWaitSliceMs = 10;

  virtual ~HttpTransport() = default;

  // Fetches `url` (redirects followed). True when the whole body of a 2xx reply arrived; false
  // with the reason in `error` on no connection, a non-2xx final status, a read error, a body
  // shorter than announced, an HTTP/1 body with neither a length nor chunks (its end cannot be
  // told from a cut), a body or a server beyond the transport's limits, or a handler that
  // stopped the transfer. Pieces handed up before a failure are not taken back: callers that need
  // all or nothing keep them aside until the end. The handler may itself start another Get on the
  // same transport.
  virtual bool Get(std::string_view url, const PieceHandler& on_piece, std::string& error,
                   const WaitHandler& on_wait = {}) = 0;
};

// libcurl: agent "Mozilla", no proxy, no-cache request headers, redirects followed, a 10 s
// connect time-out, and `limits`.
class CurlHttpTransport final : public HttpTransport {
 public:
  explicit CurlHttpTransport(HttpLimits limits = {});
  bool Get(std::string_view url, const PieceHandler& on_piece, std::string& error,
           const WaitHandler& on_wait = {}) override;

 private:
  HttpLimits limits_;
};

// The URL as it goes on the request line: in the part after the host, every byte that a
// request line cannot carry (blanks, control bytes, bytes >= 0x80, '"', '<', '>', '\', '^',
// '`', '{', '|', '}', '[', ']', '#') and every '%' that does not start a valid "%XX" escape
// becomes "%XX". Valid escapes and the reserved characters ("?&=/:;+,..." ) stay as they are.
std::string EncodeUrlForRequest(std::string_view url);

// A value for a URL's query ("key=" + EncodeQueryValue(value)): every byte but the unreserved
// ones (letters, digits, "-", ".", "_", "~") becomes "%XX", '%' itself included, so that "&",
// "=", "+", "#" and "%" in a value neither split it nor read as escapes. Every query value the
// program builds goes through it; EncodeUrlForRequest then leaves the escapes alone.
std::string EncodeQueryValue(std::string_view value);

}  // namespace machine
