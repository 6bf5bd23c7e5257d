// hg_update_server <releases-folder> [--port N] [--host H]: serves the releases until stopped
// (port 8080 and host 127.0.0.1 unless given; port 0 takes a free one).

#include <charconv>
#include <csignal>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

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
    const std::string_view value = argv[i + 1];
    if (option == "--port") {
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
      if (error != std::errc() || end != value.data() + value.size())
        return Usage();
    } else if (option == "--host") {
      host = value;
    } else {
      return Usage();
    }
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
  server.on_data = [](const std::vector<std::string>& names) {
    std::cout << update_server::SubmissionLine(names) << std::endl;
  };
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
