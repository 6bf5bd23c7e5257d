#include "machine/file_stamp.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

namespace machine {

bool FileStamp::SameState(const FileStamp& other) const {
  FileStamp settled = other;
  settled.recent = recent;
  return *this == settled;
}

FileStamp StampOf(const struct stat& st) {
  constexpr int64_t kNsPerSecond = 1000000000;
  FileStamp stamp;
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.modified_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec;
  stamp.changed_ns = static_cast<int64_t>(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec;
  constexpr int64_t kSettleNs = 2 * kNsPerSecond;
  const int64_t now_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
  stamp.recent = now_ns - std::max(stamp.modified_ns, stamp.changed_ns) < kSettleNs;
  return stamp;
}

}  // namespace machine
