#include "services/http_fetch.h"

#include <new>
#include <stdexcept>

#include "machine/file_system.h"
#include "machine/http.h"
#include "machine/machine.h"

namespace services {

namespace {

using StatusSetter = std::function<void(const std::string&)>;

constexpr size_t kLargeBody = size_t{1} << 20;

// The transport's Get; a body there is no memory for is a failure like any other. Whatever else
// the handler throws (the program ending inside a yield) goes on up.
bool Get(System& system, std::string_view url,
         const machine::HttpTransport::PieceHandler& on_piece) {
  std::string error;
  try {
    return system.machine.http().Get(url, on_piece, error, [&system] { system.Yield(); });
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

// Reads the whole body; each piece stands for one read of the fetch loop. After every read but
// the first, and after the final empty read that ends the loop, the progress text (when there
// is a status box) is set and the message loop runs. All or nothing: "" on failure.
std::string Fetch(System& system, std::string_view url, const StatusSetter* set_status_text) {
  std::string body;
  size_t reads = 0;
  const auto after_read = [&] {
    if (set_status_text != nullptr && *set_status_text)
      (*set_status_text)("Downloaded " + std::to_string(body.size()) + " bytes.");
    system.Yield();
  };
  const auto on_piece = [&](std::string_view piece) {
    // A large body gets room for the largest the transport takes, once: room not yet written
    // costs no memory, and the body is never copied as it grows, which would stall the window.
    if (body.size() >= kLargeBody && body.size() + piece.size() > body.capacity()) {
      try {
        body.reserve(machine::HttpLimits{}.max_body_bytes);
      } catch (const std::bad_alloc&) {
        // Then it grows the usual way.
      }
    }
    body.append(piece);
    if (++reads > 1)
      after_read();
    return true;
  };
  if (!Get(system, url, on_piece))
    return {};
  if (reads > 0)
    after_read();
  return body;
}

}  // namespace

std::string HttpGetString(System& system, std::string_view url) {
  return Fetch(system, url, nullptr);
}

std::string HttpGetStringProgress(System& system, std::string_view url,
                                  const StatusSetter& set_status_text) {
  return Fetch(system, url, &set_status_text);
}

bool DownloadFile(System& system, std::string_view url, std::string_view file_path) {
  std::string body;
  const bool fetched = Get(system, url, [&body](std::string_view piece) {
    body.append(piece);
    return true;
  });
  return fetched && system.machine.files().WriteFile(file_path, body);
}

}  // namespace services
