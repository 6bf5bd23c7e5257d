#pragma once
// Drops connections whose request is not complete in time, however steadily they trickle: the
// HTTP library's own timeout only counts the silence between reads.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

namespace update_server {

class RequestDeadlines {
 public:
  explicit RequestDeadlines(std::chrono::milliseconds limit);
  ~RequestDeadlines();
  RequestDeadlines(const RequestDeadlines&) = delete;
  RequestDeadlines& operator=(const RequestDeadlines&) = delete;

  // Starts the clock of a connection just opened; the ticket ends it in Finish.
  uint64_t Watch(int socket);
  // The request is complete, or the connection closed: its socket is no longer touched. Must
  // come before the socket is closed, so that a reused descriptor is never shut.
  void Finish(uint64_t ticket);

 private:
  struct Open {
    std::chrono::steady_clock::time_point deadline;
    int socket;
  };
  // Shuts each socket whose deadline has passed; the library then sees the connection end.
  void Run();

  const std::chrono::milliseconds limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  uint64_t last_ticket_ = 0;
  // By ticket, which is also by deadline: every connection gets the same time.
  std::map<uint64_t, Open> open_;
  std::thread thread_;
};

}  // namespace update_server
