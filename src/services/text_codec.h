#pragma once
// The per-character shift under which definition lines are stored and names are sent to the
// update server.

#include <string>
#include <string_view>

namespace services {

// Each code c becomes c + 64, wrapping by 255 above 255 (0..191 -> 64..255, 192..255 -> 1..64).
std::string EncodeText(std::string_view text);
// Each code c becomes c - 64, wrapping by 255 below 0 (64..255 -> 0..191, 0..63 -> 191..254).
std::string DecodeText(std::string_view text);
// The same, over `text` itself.
void DecodeTextInPlace(std::string& text);

}  // namespace services
