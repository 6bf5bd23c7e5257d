#include "services/register_server.h"

namespace services {

void RegisterServerLog::Record(std::string_view library_path, bool register_server) {
  calls_.push_back({std::string(library_path), register_server});
}

bool RegisterServer(RegisterServerLog& log, std::intptr_t, std::string_view library_path,
                    bool register_server) {
  log.Record(library_path, register_server);
  return true;
}

}  // namespace services
