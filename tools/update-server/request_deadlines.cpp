#include "request_deadlines.h"

#include <sys/socket.h>

namespace update_server {

RequestDeadlines::RequestDeadlines(std::chrono::milliseconds limit)
    : limit_(limit), thread_([this] { Run(); }) {}

RequestDeadlines::~RequestDeadlines() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

uint64_t RequestDeadlines::Watch(int socket) {
  std::lock_guard lock(mutex_);
  open_.emplace(++last_ticket_, Open{std::chrono::steady_clock::now() + limit_, socket});
  // Later tickets never have earlier deadlines, so only a wait for the first one needs waking.
  if (open_.size() == 1)
    wake_.notify_one();
  return last_ticket_;
}

void RequestDeadlines::Finish(uint64_t ticket) {
  std::lock_guard lock(mutex_);
  open_.erase(ticket);
}

void RequestDeadlines::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (open_.empty()) {
      wake_.wait(lock);
    } else if (const auto first = open_.begin();
               first->second.deadline <= std::chrono::steady_clock::now()) {
      // Shut, not closed: the descriptor stays the library's until it closes the connection.
      shutdown(first->second.socket, SHUT_RDWR);
      open_.erase(first);
    } else {
      // A copy: the entry may go while the lock is released.
      const auto deadline = first->second.deadline;
      wake_.wait_until(lock, deadline);
    }
  }
}

}  // namespace update_server
