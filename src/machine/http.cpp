#include "machine/http.h"

namespace machine {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool IsUnreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Characters a request target may carry as they are: the unreserved ones, the sub-delimiters
// and ":/?@" (RFC 3986). '%' is handled apart.
bool MayStay(char c) {
  if (IsUnreserved(c))
    return true;
  switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '/':
    case '?':
    case '@':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string EncodeUrlForRequest(std::string_view url) {
  // The scheme and host are left alone: only the path and query reach the request line.
  size_t start = 0;
  const size_t scheme_end = url.find("://");
  if (scheme_end != std::string_view::npos)
    start = scheme_end + 3;
  size_t target = url.find_first_of("/?", start);
  if (target == std::string_view::npos)
    target = url.size();

  std::string out(url.substr(0, target));
  out.reserve(url.size() + 16);
  for (size_t i = target; i < url.size(); ++i) {
    const char c = url[i];
    if (c == '%' && i + 2 < url.size() && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2])) {
      out += c;
    } else if (c != '%' && MayStay(c)) {
      out += c;
    } else {
      AppendEscaped(out, c);
    }
  }
  return out;
}

std::string EncodeQueryValue(std::string_view value) {
  std::string out;
  out.reserve(value.size() * 3);
  for (const char c : value) {
    if (IsUnreserved(c))
      out += c;
    else
      AppendEscaped(out, c);
  }
  return out;
}

}  // namespace machine
