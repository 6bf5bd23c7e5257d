#include "services/registry_values.h"

#include "machine/registry.h"
#include "machine/text.h"

namespace services {

namespace {

uint64_t LittleEndian(std::string_view data, size_t bytes) {
  uint64_t value = 0;
  for (size_t i = 0; i < bytes && i < data.size(); ++i)
    value |= uint64_t{static_cast<unsigned char>(data[i])} << (8 * i);
  return value;
}

}  // namespace

std::string StringData(std::string_view text) {
  std::string data(text);
  data += '\0';
  return data;
}

std::string DwordData(int32_t number) {
  const auto bits = static_cast<uint32_t>(number);
  std::string data(4, '\0');
  for (size_t i = 0; i < 4; ++i)
    data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return data;
}

int32_t DwordFromData(std::string_view data) {
  return static_cast<int32_t>(static_cast<uint32_t>(LittleEndian(data, 4)));
}

bool ParseInt32(std::string_view text, int32_t& out) {
  double number = 0;
  return machine::ParseNumber(text, number) && machine::RoundHalfEvenToInt32(number, out);
}

std::string ValueAsText(uint32_t type, std::string_view data) {
  switch (type) {
    case machine::kRegDword:
      return std::to_string(DwordFromData(data));
    case machine::kRegDwordBigEndian: {
      std::string reversed(data.substr(0, 4));
      reversed.insert(0, 4 - reversed.size(), '\0');
      return std::to_string(DwordFromData(std::string(reversed.rbegin(), reversed.rend())));
    }
    case machine::kRegQword:
      return std::to_string(static_cast<int64_t>(LittleEndian(data, 8)));
    default:
      return machine::CutAtNul(data);
  }
}

}  // namespace services
