#pragma once
// The company name from a file's version resource, found by a byte scan of the whole file.
// The "Microsoft Corporation" exemption of the file and running-program checks rests on it.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// The key as a text entry of a UTF-16LE version resource spells it: the byte 1 (the entry's
// type word), then for each character a NUL and the character, without the key's last NUL.
std::string ToWideText(std::string_view key);

// The value of the "CompanyName" entry found in `bytes`, NUL bytes removed; "" when none.
std::string CompanyNameFromBytes(std::string_view bytes);

// CompanyNameFromBytes over the file at the Windows path `path`; "" when it is not a regular
// file or cannot be read whole (larger than an executable may be, or cut short under the read).
std::string GetFileCompanyName(model::App& app, std::string_view path);

}  // namespace engine
