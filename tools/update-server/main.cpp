// hg_update_server <releases-folder> [--port N] [--host H]: serves the releases until stopped.

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "update_server.h"

namespace {

int Usage() {
  std::cerr << "usage: hg_update_server <releases-folder> [--port N] [--host H]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return Usage();
  std::string host = "127.0.0.1";
  int port = 8080;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--port")
      port = std::atoi(argv[i + 1]);
    else if (option == "--host")
      host = argv[i + 1];
    else
      return Usage();
  }
  if (argc % 2 != 0 || port < 0 || port > 65535)
    return Usage();

  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  // Blocked before the server's thread starts, so only sigwait below sees them.
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  update_server::Server server(argv[1]);
  if (server.Start(host, port) < 0) {
    std::cerr << "hg_update_server: cannot listen on " << host << ":" << port << "\n";
    return 1;
  }
  for (const std::string& note : server.load_notes())
    std::cerr << "hg_update_server: " << note << "\n";
  const auto releases = server.releases();
  std::cout << "Serving " << releases.size() << " release(s) of " << argv[1] << " at "
            << server.base_url() << "; newest: "
            << (releases.empty() ? "none" : machine::FormatGeneralDate(releases.back().date))
            << std::endl;
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  server.Stop();
  return 0;
}
