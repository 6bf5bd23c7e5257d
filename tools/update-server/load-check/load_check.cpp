// hg_update_server_load_check [server] [releases-folder]: starts the update server on 127.0.0.1
// and runs what a hostile client would, printing the figures:
//   1. 500 connections dripping a request one byte every 0.9 s and 100 that send nothing, while
//      ten normal requests in a row are timed (each must be answered within 1 s);
//   2. how long after its first byte each dripping request was dropped (about 10 s);
//   3. 64 header floods at once for 3 s, with the server's resident memory before, at its
//      highest and after (it must stay under 100 MB and come back down).
// A measurement, not a test: the test suite checks each limit with small numbers.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int port = 0;

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

int Connect() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const timeval give_up{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &give_up, sizeof give_up);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &give_up, sizeof give_up);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Reads until the server closes; the status line, "" when none came.
std::string StatusLine(int fd) {
  std::string reply;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = recv(fd, buffer, sizeof buffer, 0)) > 0)
    reply.append(buffer, static_cast<size_t>(got));
  close(fd);
  return reply.substr(0, reply.find("\r\n"));
}

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:"))
      return std::stol(line.substr(6));
  }
  return -1;
}

// Starts the server on a free port; its pid, and the port in `port`.
pid_t StartServer(const char* server, const char* releases) {
  int out[2];
  if (pipe(out) != 0)
    return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    execl(server, server, releases, "--port", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  // "Serving N release(s) of F at http://127.0.0.1:PORT; newest: ..."
  std::string first_line;
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n')
    first_line += c;
  const size_t at = first_line.find("127.0.0.1:");
  if (at != std::string::npos)
    port = std::atoi(first_line.c_str() + at + 10);
  return pid;
}

// Scenarios 1 and 2: the normal requests' times, and the dripping requests' drop times.
void DripAndStall() {
  const std::string drip = "GET /asp/date.asp HTTP/1.1\r\nX-Drip: " + std::string(4000, 'a');
  struct Client {
    int fd;
    bool drips;
    Clock::time_point first_byte;
    size_t sent;
  };
  std::vector<Client> clients;
  for (int i = 0; i < 600; ++i)
    clients.push_back({Connect(), i < 500, Clock::now(), 0});
  std::vector<double> drop_ages;
  int silent_drops = 0;
  std::atomic<bool> done = false;
  std::thread attacker([&] {
    while (!done) {
      std::vector<pollfd> closing;
      for (const Client& client : clients)
        closing.push_back({client.fd, POLLIN, 0});
      poll(closing.data(), closing.size(), 0);
      for (size_t i = 0; i < clients.size(); ++i) {
        Client& client = clients[i];
        if (client.fd < 0 || closing[i].revents != 0) {
          // Dropped: note when, and come back at once as an attacker would.
          if (client.drips && client.sent > 0)
            drop_ages.push_back(Seconds(Clock::now() - client.first_byte));
          if (!client.drips)
            ++silent_drops;
          if (client.fd >= 0)
            close(client.fd);
          client = {Connect(), client.drips, Clock::now(), 0};
        }
        if (client.drips && client.fd >= 0) {
          if (client.sent == 0)
            client.first_byte = Clock::now();
          send(client.fd, &drip[client.sent++ % drip.size()], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
      }
      std::this_thread::sleep_for(milliseconds(900));
    }
  });
  std::this_thread::sleep_for(std::chrono::seconds(3));
  double slowest = 0;
  for (int i = 0; i < 10; ++i) {
    const auto start = Clock::now();
    const int fd = Connect();
    const std::string request = "GET /asp/date.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    if (fd >= 0)
      send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    const std::string status = fd >= 0 ? StatusLine(fd) : "cannot connect";
    const double seconds = Seconds(Clock::now() - start);
    slowest = std::max(slowest, seconds);
    std::printf("  normal request %2d: %-16s in %.3f s\n", i + 1, status.c_str(), seconds);
  }
  std::printf("slowest normal request beside 500 dripping and 100 silent connections: %.3f s\n",
              slowest);
  // Long enough for the first drippers to reach their deadline.
  std::this_thread::sleep_for(std::chrono::seconds(10));
  done = true;
  attacker.join();
  for (const Client& client : clients) {
    if (client.fd >= 0)
      close(client.fd);
  }
  std::sort(drop_ages.begin(), drop_ages.end());
  if (drop_ages.empty()) {
    std::printf("no dripping request was dropped within 14 s\n");
  } else {
    std::printf("dripping requests dropped: %zu, after %.1f to %.1f s from their first byte\n",
                drop_ages.size(), drop_ages.front(), drop_ages.back());
  }
  std::printf("silent connections dropped (and opened again): %d\n", silent_drops);
}

// Scenario 3: 64 clients sending 4 KB header lines as fast as the server takes them.
void FloodHeaders(pid_t server) {
  const std::string line = "X-Flood: " + std::string(4000, 'a') + "\r\n";
  std::mutex mutex;
  std::map<std::string, int> statuses;
  const auto until = Clock::now() + std::chrono::seconds(3);
  const long before = ResidentKilobytes(server);
  long highest = before;
  std::atomic<bool> flooding = true;
  std::thread sampler([&] {
    while (flooding) {
      highest = std::max(highest, ResidentKilobytes(server));
      std::this_thread::sleep_for(milliseconds(5));
    }
  });
  std::vector<std::thread> floods;
  for (int i = 0; i < 64; ++i) {
    floods.emplace_back([&] {
      while (Clock::now() < until) {
        const int fd = Connect();
        if (fd < 0)
          continue;
        const std::string start = "GET /asp/date.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        // At most 50,000 lines (200 MB); the server ends it long before.
        for (int n = 0; n < 50000; ++n) {
          if (send(fd, line.data(), line.size(), MSG_NOSIGNAL) <= 0)
            break;
        }
        const std::string status = StatusLine(fd);
        std::lock_guard lock(mutex);
        ++statuses[status.empty() ? "(reset before an answer)" : status];
      }
    });
  }
  for (std::thread& flood : floods)
    flood.join();
  flooding = false;
  sampler.join();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  for (const auto& [status, count] : statuses)
    std::printf("  %6d floods answered %s\n", count, status.c_str());
  std::printf(
      "server resident memory: %.1f MB before, %.1f MB at most during 64 floods, "
      "%.1f MB 1 s after\n",
      before / 1024.0, highest / 1024.0, ResidentKilobytes(server) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const char* server = argc > 1 ? argv[1] : HG_UPDATE_SERVER;
  const char* releases = argc > 2 ? argv[2] : HG_DEMO_RELEASES;
  // 600 attacking connections, and the server's own, need more descriptors than many shells give.
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
  setrlimit(RLIMIT_NOFILE, &files);
  signal(SIGPIPE, SIG_IGN);
  const pid_t pid = StartServer(server, releases);
  if (pid <= 0 || port <= 0) {
    std::cerr << "cannot start " << server << "\n";
    return 1;
  }
  std::printf("server %s on 127.0.0.1:%d, %.1f MB resident\n", server, port,
              ResidentKilobytes(pid) / 1024.0);
  DripAndStall();
  FloodHeaders(pid);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return 0;
}
