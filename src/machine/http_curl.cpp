// The HTTP transport over libcurl.

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

#include "machine/http.h"
#include "machine/text.h"

namespace machine {

namespace {

constexpr long kConnectTimeoutSeconds = 10;
constexpr long kMaxRedirects = 10;

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;

// The easy handle taken into a multi handle, and out again however the transfer ends.
class Attached {
 public:
  Attached(CURLM* multi, CURL* easy)
      : multi_(multi), easy_(easy), ok_(curl_multi_add_handle(multi, easy) == CURLM_OK) {}
  ~Attached() {
    if (ok_)
      curl_multi_remove_handle(multi_, easy_);
  }
  Attached(const Attached&) = delete;
  Attached& operator=(const Attached&) = delete;
  bool ok() const { return ok_; }

 private:
  CURLM* multi_;
  CURL* easy_;
  bool ok_;
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A part of a body (206) is no whole reply: nothing here ever asks for a range.
bool IsSuccessStatus(long status) {
  return status >= 200 && status <= 299 && status != 206;
}

// Whether the reply's body had an end the server declared: a length, the chunked coding, the
// framing of HTTP/2 and later, or no body at all (204). A body that only the closing of the
// connection ended may have been cut anywhere.
bool BodyEndIsKnown(CURL* handle) {
  long version = 0;
  long status = 0;
  curl_off_t length = -1;
  curl_easy_getinfo(handle, CURLINFO_HTTP_VERSION, &version);
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if ((version != CURL_HTTP_VERSION_1_0 && version != CURL_HTTP_VERSION_1_1) || status == 204 ||
      length >= 0) {
    return true;
  }
  curl_header* coding = nullptr;
  return curl_easy_header(handle, "Transfer-Encoding", 0, CURLH_HEADER, -1, &coding) == CURLHE_OK &&
         FindIgnoreCase(coding->value, "chunked") != std::string_view::npos;
}

using Clock = std::chrono::steady_clock;

enum class Stall { kNone, kSilent, kSlow };

// What the callbacks need and what they found out.
struct Transfer {
  CURL* handle = nullptr;
  const HttpTransport::PieceHandler* on_piece = nullptr;
  HttpLimits limits;
  Clock::time_point start = Clock::now();
  Clock::duration in_handler{};  // not the server's time: left out of the stall rule
  size_t received = 0;
  Clock::duration last_arrival{};  // server time of the latest body bytes
  Clock::duration window_start{};  // server time the current speed window began
  size_t received_at_window_start = 0;
  long refused_status = 0;  // a non-2xx status whose body was refused
  bool stopped_by_handler = false;
  bool too_large = false;
  Stall stall = Stall::kNone;
  std::exception_ptr exception;  // thrown by the handler; rethrown once curl has returned

  // The time since the start, less the time spent in the handlers.
  Clock::duration ServerTime() const { return Clock::now() - start - in_handler; }

  void Arrived(size_t bytes) {
    received += bytes;
    last_arrival = ServerTime();
  }

  // The stall rule; once stalled, the transfer stays so.
  bool Stalled() {
    if (stall != Stall::kNone)
      return true;
    const Clock::duration now = ServerTime();
    if (now - last_arrival >= limits.max_silence) {
      stall = Stall::kSilent;
    } else if (now - window_start >= limits.speed_window) {
      // Each window is judged on its own, over the time it really lasted.
      const auto window_ms = static_cast<uint64_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(now - window_start).count());
      if (uint64_t{received - received_at_window_start} * 1000 <
          uint64_t{limits.min_bytes_per_second} * window_ms) {
        stall = Stall::kSlow;
      }
      window_start = now;
      received_at_window_start = received;
    }
    return stall != Stall::kNone;
  }
};

// Called by curl at least once a second, also while nothing arrives.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->Stalled() ? 1 : 0;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t total = size * count;
  long status = 0;
  curl_easy_getinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
  if (!IsSuccessStatus(status)) {
    // The body of an error page is of no use to anyone; stop reading it.
    transfer.refused_status = status;
    return CURL_WRITEFUNC_ERROR;
  }
  if (total > transfer.limits.max_body_bytes - transfer.received) {
    transfer.too_large = true;
    return CURL_WRITEFUNC_ERROR;
  }
  // Judged before these bytes count, or a silence that ends now would go unseen.
  if (transfer.Stalled())
    return CURL_WRITEFUNC_ERROR;
  transfer.Arrived(total);
  const Clock::time_point handed_up = Clock::now();
  try {
    for (size_t offset = 0; offset < total; offset += HttpTransport::kMaxPiece) {
      const size_t length = std::min(HttpTransport::kMaxPiece, total - offset);
      if (!(*transfer.on_piece)(std::string_view(data + offset, length))) {
        transfer.stopped_by_handler = true;
        break;
      }
    }
  } catch (...) {
    transfer.exception = std::current_exception();
  }
  transfer.in_handler += Clock::now() - handed_up;
  return transfer.stopped_by_handler || transfer.exception ? CURL_WRITEFUNC_ERROR : total;
}

template <typename T>
bool SetOption(CURL* handle, CURLoption option, T value) {
  return curl_easy_setopt(handle, option, value) == CURLE_OK;
}

// Runs the transfer, waiting at most kWaitSliceMs at a time for the server and calling
// `on_wait` between the waits. What the wait handler throws ends the transfer and goes on up.
CURLcode Perform(CURL* handle, Transfer& transfer, const HttpTransport::WaitHandler& on_wait) {
  if (!on_wait)
    return curl_easy_perform(handle);
  MultiHandle multi(curl_multi_init());
  if (!multi)
    return CURLE_OUT_OF_MEMORY;
  const Attached attached(multi.get(), handle);
  if (!attached.ok())
    return CURLE_FAILED_INIT;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
      return CURLE_FAILED_INIT;
    if (running == 0 || transfer.exception)
      break;
    if (curl_multi_poll(multi.get(), nullptr, 0, HttpTransport::kWaitSliceMs, nullptr) !=
        CURLM_OK) {
      return CURLE_FAILED_INIT;
    }
    const Clock::time_point waited = Clock::now();
    on_wait();
    transfer.in_handler += Clock::now() - waited;
  }
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == handle)
      return message->data.result;
  }
  // Only a handler's exception leaves the loop before the transfer is done.
  return CURLE_ABORTED_BY_CALLBACK;
}

}  // namespace

CurlHttpTransport::CurlHttpTransport(HttpLimits limits) : limits_(limits) {
  InitCurlOnce();
}

bool CurlHttpTransport::Get(std::string_view url, const PieceHandler& on_piece, std::string& error,
                            const WaitHandler& on_wait) {
  error.clear();
  EasyHandle easy(curl_easy_init());
  if (!easy) {
    error = "the HTTP library could not start a transfer";
    return false;
  }
  CURL* handle = easy.get();

  HeaderList headers;
  for (const char* line : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
    curl_slist* grown = curl_slist_append(headers.get(), line);
    if (grown == nullptr) {
      error = "out of memory";
      return false;
    }
    headers.release();
    headers.reset(grown);
  }

  Transfer transfer;
  transfer.handle = handle;
  transfer.on_piece = &on_piece;
  transfer.limits = limits_;
  // A reply that announces a body too large is refused before any of it is read; 0 would mean
  // no limit to curl, so an empty-only limit is left to the write callback.
  const curl_off_t announced_limit = static_cast<curl_off_t>(
      std::min<uintmax_t>(limits_.max_body_bytes, std::numeric_limits<curl_off_t>::max()));
  char detail[CURL_ERROR_SIZE] = {};
  const std::string request_url = EncodeUrlForRequest(url);

  const bool options_set =
      SetOption(handle, CURLOPT_URL, request_url.c_str()) &&
      SetOption(handle, CURLOPT_PROTOCOLS_STR, "http,https") &&
      SetOption(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
      SetOption(handle, CURLOPT_USERAGENT, "Mozilla") && SetOption(handle, CURLOPT_PROXY, "") &&
      SetOption(handle, CURLOPT_NOPROXY, "*") &&
      SetOption(handle, CURLOPT_HTTPHEADER, headers.get()) &&
      SetOption(handle, CURLOPT_FOLLOWLOCATION, 1L) &&
      SetOption(handle, CURLOPT_MAXREDIRS, kMaxRedirects) &&
      SetOption(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds) &&
      (announced_limit == 0 || SetOption(handle, CURLOPT_MAXFILESIZE_LARGE, announced_limit)) &&
      SetOption(handle, CURLOPT_XFERINFOFUNCTION, &OnProgress) &&
      SetOption(handle, CURLOPT_XFERINFODATA, &transfer) &&
      SetOption(handle, CURLOPT_NOPROGRESS, 0L) && SetOption(handle, CURLOPT_NOSIGNAL, 1L) &&
      SetOption(handle, CURLOPT_ERRORBUFFER, detail) &&
      SetOption(handle, CURLOPT_WRITEFUNCTION, &OnBodyData) &&
      SetOption(handle, CURLOPT_WRITEDATA, &transfer);
  if (!options_set) {
    error = "the HTTP library refused the request settings";
    return false;
  }

  const CURLcode result = Perform(handle, transfer, on_wait);
  if (transfer.exception)
    std::rethrow_exception(transfer.exception);

  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  if (transfer.refused_status != 0 || (result == CURLE_OK && !IsSuccessStatus(status))) {
    error = "the server answered with status " +
            std::to_string(transfer.refused_status != 0 ? transfer.refused_status : status);
    return false;
  }
  if (transfer.stopped_by_handler) {
    error = "the transfer was stopped";
    return false;
  }
  if (transfer.too_large || result == CURLE_FILESIZE_EXCEEDED) {
    error = "the reply is larger than " + std::to_string(limits_.max_body_bytes) + " bytes";
    return false;
  }
  if (transfer.stall == Stall::kSilent) {
    error = "nothing arrived for " + std::to_string(limits_.max_silence.count()) + " ms";
    return false;
  }
  if (transfer.stall == Stall::kSlow) {
    error = "less than " + std::to_string(limits_.min_bytes_per_second) +
            " bytes a second arrived over " + std::to_string(limits_.speed_window.count()) + " ms";
    return false;
  }
  if (result != CURLE_OK) {
    error = detail[0] != '\0' ? std::string(detail) : std::string(curl_easy_strerror(result));
    return false;
  }
  if (!BodyEndIsKnown(handle)) {
    error = "the reply has neither a length nor chunks, so a cut-short body cannot be told";
    return false;
  }
  return true;
}

}  // namespace machine
