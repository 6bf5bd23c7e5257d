#pragma once
// Fetching a URL into memory or into a file. The whole URL is the caller's, each query value
// escaped with machine::EncodeQueryValue; the transport percent-encodes what else a request
// line cannot carry.

#include <functional>
#include <string>
#include <string_view>

#include "services/system.h"

namespace services {

// The body of the reply, byte for byte; "" on any failure (no connection, a non-2xx reply
// after redirects, a read error, a body shorter than announced, a body or a wait beyond the
// transport's limits, no memory for the body). Yields to the message loop after every read but
// the first, the final empty read included.
std::string HttpGetString(System& system, std::string_view url);

// As HttpGetString; before each of those yields it sets the status text to
// "Downloaded <bytes so far> bytes.".
std::string HttpGetStringProgress(System& system, std::string_view url,
                                  const std::function<void(const std::string&)>& set_status_text);

// Fetches `url` into the file at the Windows path `file_path`. True only when the whole body
// arrived and the file was written; on failure an existing file is left as it was.
bool DownloadFile(System& system, std::string_view url, std::string_view file_path);

}  // namespace services
