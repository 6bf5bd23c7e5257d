#include "engine/definitions/merge_lines.h"

#include <algorithm>
#include <random>

#include "machine/text.h"
#include "services/text_codec.h"

namespace engine {

namespace {

char EncodedChar(char c) {
  return services::EncodeText(std::string_view(&c, 1))[0];
}

// Each byte as a package or stored line holds it, into the stored byte with "|" and "=" encoded.
const std::array<char, 256>& SeparatorEncoding() {
  static const std::array<char, 256> kMap = [] {
    std::array<char, 256> map{};
    for (int c = 0; c < 256; ++c)
      map[c] = static_cast<char>(c);
    map['|'] = EncodedChar('|');
    map['='] = EncodedChar('=');
    return map;
  }();
  return kMap;
}

// Each encoded byte into its decoded character folded to lower case: names compare this way.
const std::array<char, 256>& NameFolding() {
  static const std::array<char, 256> kMap = [] {
    std::array<char, 256> map{};
    for (int c = 0; c < 256; ++c) {
      const char encoded = static_cast<char>(c);
      map[c] = machine::ToLowerChar(services::DecodeText(std::string_view(&encoded, 1))[0]);
    }
    return map;
  }();
  return kMap;
}

uint64_t Seed() {
  static const uint64_t kSeed = (uint64_t{std::random_device{}()} << 32) | std::random_device{}();
  return kSeed;
}

// FNV-1a, started from the seed.
class Hash {
 public:
  void Add(unsigned char c) { value_ = (value_ ^ c) * 0x100000001b3ULL; }
  void Add(std::string_view bytes) {
    for (char c : bytes)
      Add(static_cast<unsigned char>(c));
  }
  void AddFolded(std::string_view bytes) {
    const std::array<char, 256>& fold = NameFolding();
    for (char c : bytes)
      Add(static_cast<unsigned char>(fold[static_cast<unsigned char>(c)]));
  }
  // Mixed so that keys that differ only at their end spread over the whole table.
  uint32_t Value() const {
    uint64_t mixed = value_;
    mixed = (mixed ^ (mixed >> 33)) * 0xff51afd7ed558ccdULL;
    mixed = (mixed ^ (mixed >> 33)) * 0xc4ceb9fe1a85ec53ULL;
    return static_cast<uint32_t>(mixed ^ (mixed >> 33));
  }

 private:
  uint64_t value_ = 0xcbf29ce484222325ULL ^ Seed();
};

const std::string& EncodedBar() {
  static const std::string kBar = services::EncodeText("|");
  return kBar;
}

}  // namespace

std::optional<AddedLine> AddedLine::Of(LineForm form, std::string_view data) {
  AddedLine line;
  switch (form) {
    case LineForm::kPlain:
      line.Add(data, true);
      return line;
    case LineForm::kRegistry: {
      // name "=" threat "|" key part "|" type  ->  key part "^=" threat "|" type
      static const std::string kKeyEnd = services::EncodeText("^=");
      const size_t equals = data.find('=');
      const size_t bar1 = equals == std::string_view::npos ? equals : data.find('|', equals + 1);
      const size_t bar2 = bar1 == std::string_view::npos ? bar1 : data.find('|', bar1 + 1);
      if (bar2 == std::string_view::npos)
        return std::nullopt;
      line.Add(data.substr(bar1 + 1, bar2 - bar1 - 1), false);
      line.Add(kKeyEnd, false);
      line.Add(data.substr(equals + 1, bar1 - equals - 1), false);
      line.Add(EncodedBar(), false);
      line.Add(data.substr(bar2 + 1), false);
      return line;
    }
    case LineForm::kCookie:
      line.Add(data.substr(0, data.find('=')), false);
      return line;
  }
  return std::nullopt;
}

void AddedLine::Add(std::string_view bytes, bool encode_separators) {
  parts_[count_++] = {bytes, encode_separators};
  size_ += bytes.size();
}

bool AddedLine::IsBlank() const {
  // Encoding the separators makes nothing blank and nothing else.
  for (size_t p = 0; p < count_; ++p) {
    if (parts_[p].bytes.find_first_not_of(' ') != std::string_view::npos)
      return false;
  }
  return true;
}

void AddedLine::ForEachPiece(std::string& scratch, WorkPacer& pacer,
                             const std::function<bool(std::string_view)>& use) const {
  const std::array<char, 256>& encode = SeparatorEncoding();
  scratch.clear();
  const auto hand_on = [&] {
    const bool go_on = use(scratch);
    pacer.Done(scratch.size());
    scratch.clear();
    return go_on;
  };
  for (size_t p = 0; p < count_; ++p) {
    std::string_view bytes = parts_[p].bytes;
    while (!bytes.empty()) {
      const size_t take = std::min(bytes.size(), WorkPacer::kPiece - scratch.size());
      const size_t at = scratch.size();
      scratch.append(bytes.substr(0, take));
      if (parts_[p].encode_separators) {
        for (size_t i = at; i < scratch.size(); ++i)
          scratch[i] = encode[static_cast<unsigned char>(scratch[i])];
      }
      bytes.remove_prefix(take);
      if (scratch.size() == WorkPacer::kPiece && !hand_on())
        return;
    }
  }
  if (!scratch.empty())
    hand_on();
}

bool SameLine(std::string_view stored, const AddedLine& line, std::string& scratch,
              WorkPacer& pacer) {
  if (stored.size() != line.size())
    return false;
  bool same = true;
  line.ForEachPiece(scratch, pacer, [&](std::string_view piece) {
    same = stored.starts_with(piece);
    stored.remove_prefix(piece.size());
    return same;
  });
  return same;
}

bool SameLine(const AddedLine& a, const AddedLine& b, std::string& scratch, WorkPacer& pacer) {
  if (a.size() != b.size())
    return false;
  std::string stored_a;
  a.ForEachPiece(scratch, pacer, [&](std::string_view piece) {
    stored_a.append(piece);
    return true;
  });
  return SameLine(stored_a, b, scratch, pacer);
}

std::string_view StoredLineName(std::string_view stored) {
  static const char kStoredEquals = EncodedChar('=');
  return stored.substr(0, stored.find(kStoredEquals));
}

std::string_view DataName(std::string_view data) {
  return data.substr(0, data.find('='));
}

void AddedLineName(const AddedLine& line, std::string& scratch, WorkPacer& pacer,
                   std::string& name) {
  name.clear();
  line.ForEachPiece(scratch, pacer, [&](std::string_view piece) {
    const std::string_view in_name = StoredLineName(piece);
    name.append(in_name);
    return in_name.size() == piece.size();
  });
}

uint32_t NameHash(std::string_view encoded_name, WorkPacer& pacer) {
  Hash hash;
  pacer.InPieces(encoded_name, [&](std::string_view piece) {
    hash.AddFolded(piece);
    return true;
  });
  return hash.Value();
}

bool SameName(std::string_view a, std::string_view b, WorkPacer& pacer) {
  if (a.size() != b.size())
    return false;
  const std::array<char, 256>& fold = NameFolding();
  return pacer.InPieces(a, [&](std::string_view piece) {
    const size_t at = static_cast<size_t>(piece.data() - a.data());
    for (size_t i = 0; i < piece.size(); ++i) {
      if (fold[static_cast<unsigned char>(piece[i])] != fold[static_cast<unsigned char>(b[at + i])])
        return false;
    }
    return true;
  });
}

StoredLineHashes HashStoredLine(std::string_view stored, WorkPacer& pacer) {
  // Both in one walk: most lines are short, and a name is most of its line.
  size_t name_left = StoredLineName(stored).size();
  const std::array<char, 256>& fold = NameFolding();
  Hash name;
  Hash line;
  pacer.InPieces(stored, [&](std::string_view piece) {
    const size_t in_name = std::min(name_left, piece.size());
    for (char c : piece.substr(0, in_name)) {
      const auto byte = static_cast<unsigned char>(c);
      name.Add(static_cast<unsigned char>(fold[byte]));
      line.Add(byte);
    }
    line.Add(piece.substr(in_name));
    name_left -= in_name;
    return true;
  });
  return {.name = name.Value(), .line = line.Value()};
}

uint32_t LineHash(const AddedLine& line, std::string& scratch, WorkPacer& pacer) {
  Hash hash;
  line.ForEachPiece(scratch, pacer, [&](std::string_view piece) {
    hash.Add(piece);
    return true;
  });
  return hash.Value();
}

}  // namespace engine
