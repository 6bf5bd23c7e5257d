// The HTTP transport over libcurl.

#include <curl/curl.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "machine/http.h"

namespace machine {

namespace {

constexpr long kConnectTimeoutSeconds = 10;
// A transfer that moves less than kLowSpeedBytes per second for kLowSpeedSeconds ends.
constexpr long kLowSpeedBytes = 1;
constexpr long kLowSpeedSeconds = 30;
constexpr long kMaxRedirects = 10;

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
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

bool IsSuccessStatus(long status) {
  return status >= 200 && status <= 299;
}

// What the write callback needs and what it found out.
struct Transfer {
  CURL* handle = nullptr;
  const HttpTransport::PieceHandler* on_piece = nullptr;
  long refused_status = 0;  // a non-2xx status whose body was refused
  bool stopped_by_handler = false;
  std::exception_ptr exception;  // thrown by the handler; rethrown once curl has returned
};

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
  try {
    for (size_t offset = 0; offset < total; offset += HttpTransport::kMaxPiece) {
      const size_t length = std::min(HttpTransport::kMaxPiece, total - offset);
      if (!(*transfer.on_piece)(std::string_view(data + offset, length))) {
        transfer.stopped_by_handler = true;
        return CURL_WRITEFUNC_ERROR;
      }
    }
  } catch (...) {
    transfer.exception = std::current_exception();
    return CURL_WRITEFUNC_ERROR;
  }
  return total;
}

template <typename T>
bool SetOption(CURL* handle, CURLoption option, T value) {
  return curl_easy_setopt(handle, option, value) == CURLE_OK;
}

}  // namespace

CurlHttpTransport::CurlHttpTransport() {
  InitCurlOnce();
}

bool CurlHttpTransport::Get(std::string_view url, const PieceHandler& on_piece,
                            std::string& error) {
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
      SetOption(handle, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytes) &&
      SetOption(handle, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds) &&
      SetOption(handle, CURLOPT_NOSIGNAL, 1L) && SetOption(handle, CURLOPT_ERRORBUFFER, detail) &&
      SetOption(handle, CURLOPT_WRITEFUNCTION, &OnBodyData) &&
      SetOption(handle, CURLOPT_WRITEDATA, &transfer);
  if (!options_set) {
    error = "the HTTP library refused the request settings";
    return false;
  }

  const CURLcode result = curl_easy_perform(handle);
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
  if (result != CURLE_OK) {
    error = detail[0] != '\0' ? std::string(detail) : std::string(curl_easy_strerror(result));
    return false;
  }
  return true;
}

}  // namespace machine
