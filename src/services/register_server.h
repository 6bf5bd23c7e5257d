#pragma once
// Registering or unregistering a component library. Nothing is ever loaded or run here: the
// call is only recorded, so that the removal's behaviour can be seen and tested.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace services {

struct RegisteredServerCall {
  std::string library_path;
  bool register_server = false;  // true: register, false: unregister
};

class RegisterServerLog {
 public:
  void Record(std::string_view library_path, bool register_server);
  const std::vector<RegisteredServerCall>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  std::vector<RegisteredServerCall> calls_;
};

// Records the call in `log` and returns True, as the platform routine does whatever happens.
// The window handle is not read.
bool RegisterServer(RegisterServerLog& log, std::intptr_t window, std::string_view library_path,
                    bool register_server);

}  // namespace services
