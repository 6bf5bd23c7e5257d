#pragma once
// Reading a whole file into memory, never more of it than what the file holds allows.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace machine {

// The most bytes a whole-file read takes in, by what the file holds; a larger file reads as one
// that cannot be read.
struct ReadCap {
  // Definition files and the other text files of the program folder; the update merge writes
  // no definition file larger, so that what it writes can be read back.
  static constexpr uint64_t kDefinitionFile = uint64_t{256} << 20;
  static constexpr uint64_t kCookieFile = uint64_t{16} << 20;
  // The quarantine log and the scan report.
  static constexpr uint64_t kLog = uint64_t{256} << 20;
  // A program or library, read whole for its version block.
  static constexpr uint64_t kExecutable = uint64_t{256} << 20;
};

// The bytes of the regular file open as `fd`, read from its start (the file position is left
// alone) into the first bytes of `buffer`, which grows as the bytes come in and is meant to be
// reused: its size is not the file's. Nothing when the file is not a regular one, holds more than
// `cap` bytes, gets shorter while it is read, or cannot be read. The size the host reports only
// ends the read early; it never decides what is set aside. `after_read` runs after each read
// that brought bytes.
std::optional<std::string_view> ReadOpenFile(int fd, uint64_t cap, std::string& buffer,
                                             const std::function<void()>& after_read = {});

// The bytes of the file open as `fd`, from its start, handed to `use` a piece of at most
// `piece_size` bytes at a time, so that no more than one piece is held. False when the file
// cannot be read or holds more than `cap` bytes; `use` may have had some pieces by then.
bool ReadOpenFileInPieces(int fd, uint64_t cap, size_t piece_size,
                          const std::function<void(std::string_view)>& use);

// ReadOpenFile on the file at a host path, into a string of its own.
std::optional<std::string> ReadWholeFile(const std::string& host_path, uint64_t cap);

}  // namespace machine
