#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/definitions/sample_definitions.h"
#include "services/text_codec.h"
#include "update_server.h"

namespace {

namespace fs = std::filesystem;
using update_server::BuildUpdatePackage;
using update_server::DefinitionFiles;
using update_server::Release;
using update_server::Server;

machine::DateTime Date(const char* text) {
  return *machine::ParseGeneralDate(text);
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "hg-update-server-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const DefinitionFiles kFirst = {{"a.exe=A|[system]"}, {"a.exe=A|[system]"}, {}, {"a.example"}, {}};
const DefinitionFiles kSecond = {{"a.exe=A|[system]", "b.dll=B|[system]"},
                                 {"a.exe=A|[system]"},
                                 {"1^Software\\B^=B|Adware"},
                                 {"a.example"},
                                 {}};
const DefinitionFiles kThird = {
    {"b.dll=B|[system]"}, {}, {"1^Software\\B^=B|Adware"}, {}, {"B=B|[windir]B"}};

// A socket connected to the port on 127.0.0.1, or -1.
int ConnectTo(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A server over three releases, and a client for it.
class UpdateServerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(update_server::WriteRelease(folder_.path() / "first",
                                            {Date("3/16/2006 12:00:00 AM"), kFirst}));
    ASSERT_TRUE(update_server::WriteRelease(folder_.path() / "second",
                                            {Date("6/1/2026 9:30:00 AM"), kSecond}));
    ASSERT_TRUE(update_server::WriteRelease(folder_.path() / "third",
                                            {Date("11/20/2026 2:15:00 PM"), kThird}));
    ASSERT_GT(server_.Start(), 0);
  }

  httplib::Result Get(const std::string& target) {
    httplib::Client client(server_.base_url());
    return client.Get(target);
  }

  TempFolder folder_;
  Server server_{folder_.path()};
};

TEST_F(UpdateServerTest, BothDateRequestsAnswerTheNewestDate) {
  for (const char* target :
       {"/asp/currentDate.asp?prog=Hearthguard&comp=Hearthguard%20Software", "/asp/date.asp"}) {
    const auto reply = Get(target);
    ASSERT_TRUE(reply) << target;
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, "11/20/2026 2:15:00 PM");
  }
}

struct PackageCase {
  const char* date;
  const DefinitionFiles* from;  // nullptr: no change
};

void PrintTo(const PackageCase& package_case, std::ostream* out) {
  *out << package_case.date;
}

class PackageRequestTest : public UpdateServerTest,
                           public testing::WithParamInterface<PackageCase> {};

TEST_P(PackageRequestTest, AnswersThePackageFromTheReleaseCurrentAtTheDate) {
  const auto reply =
      Get(std::string("/asp/getDefs.asp?prog=Hearthguard&comp=Hearthguard%20Software&date=") +
          GetParam().date);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  const std::string expected =
      GetParam().from ? BuildUpdatePackage(*GetParam().from, kThird).text : "";
  EXPECT_EQ(reply->body, expected);
  if (GetParam().from) {
    EXPECT_FALSE(expected.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dates, PackageRequestTest,
    testing::Values(PackageCase{"3/16/2006%2012:00:00%20AM", &kFirst},
                    // Older than every release: the client is taken to hold the oldest.
                    PackageCase{"1/1/2001%2012:00:00%20AM", &kFirst},
                    PackageCase{"6/1/2026%209:30:00%20AM", &kSecond},
                    PackageCase{"10/1/2026%201:00:00%20PM", &kSecond},
                    PackageCase{"11/20/2026%202:15:00%20PM", nullptr},
                    PackageCase{"1/1/2030", nullptr}));

TEST_F(UpdateServerTest, RefusesMalformedRequests) {
  for (const char* target : {"/asp/getDefs.asp", "/asp/getDefs.asp?prog=Hearthguard",
                             "/asp/getDefs.asp?date=", "/asp/getDefs.asp?date=yesterday",
                             "/asp/getDefs.asp?date=13/45/2026%2025:00:00", "/asp/getData.asp"}) {
    const auto reply = Get(target);
    ASSERT_TRUE(reply) << target;
    EXPECT_EQ(reply->status, 400) << target;
  }
}

TEST_F(UpdateServerTest, ServesNothingButItsRequests) {
  for (const char* target :
       {"/", "/first/date.txt", "/third/FileDefinition.dat", "/asp/../first/date.txt",
        "/asp/%2e%2e/first/date.txt", "/asp/getDefs.asp/../../first/date.txt", "/asp/",
        "/asp/currentDate.aspx", "/etc/passwd"}) {
    const auto reply = Get(target);
    ASSERT_TRUE(reply) << target;
    EXPECT_EQ(reply->status, 404) << target;
  }
}

TEST_F(UpdateServerTest, RecordsSubmittedData) {
  const struct {
    const char* target;
    int status;
    const char* body;
  } steps[] = {
      {"/asp/getData.asp?data=abc|def", 200, Server::kDataReceivedReply},
      {"/asp/getData.asp?data=def|", 200, Server::kDataKnownReply},
      {"/asp/getData.asp?data=%7C", 400, "no name\n"},
      {"/asp/getData.asp?data=%26%3D%2B%25|def", 200, Server::kDataReceivedReply},
      // A submitted name is one name, though it holds "|" (the program's "<" encoded).
      {"/asp/getData.asp?data=ghi|jkl|", 200, Server::kDataReceivedReply},
      {"/asp/getData.asp?data=jkl|", 200, Server::kDataReceivedReply},
  };
  for (const auto& step : steps) {
    const auto reply = Get(step.target);
    ASSERT_TRUE(reply) << step.target;
    EXPECT_EQ(reply->status, step.status) << step.target;
    EXPECT_EQ(reply->body, step.body) << step.target;
  }
  EXPECT_EQ(server_.received_data(),
            (std::vector<std::string>{"abc|def", "def|", "&=+%|def", "ghi|jkl|", "jkl|"}));
}

TEST_F(UpdateServerTest, SlowClientsAreDroppedSoOthersAreAnswered) {
  Server limited(folder_.path(), {.read_timeout = std::chrono::milliseconds(100), .workers = 2});
  const int port = limited.Start();
  ASSERT_GT(port, 0);
  // Twice as many clients as workers send the start of a request, then nothing.
  std::vector<int> slow;
  for (int i = 0; i < 4; ++i) {
    const std::string_view start = "GET /asp/date.asp HTTP/1.1\r\n";
    slow.push_back(ConnectTo(port));
    ASSERT_GE(slow.back(), 0);
    ASSERT_GT(send(slow.back(), start.data(), start.size(), MSG_NOSIGNAL), 0);
  }
  const auto reply = httplib::Client(limited.base_url()).Get("/asp/date.asp");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body, "11/20/2026 2:15:00 PM");
  for (const int fd : slow)
    close(fd);
}

TEST_F(UpdateServerTest, KeepsOnlyTheNewestSubmissions) {
  Server limited(folder_.path(), {.kept_submissions = 2});
  ASSERT_GT(limited.Start(), 0);
  httplib::Client client(limited.base_url());
  for (const char* data : {"a|", "b|", "c|"})
    ASSERT_TRUE(client.Get(std::string("/asp/getData.asp?data=") + data));
  const auto again = client.Get("/asp/getData.asp?data=a|");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body, Server::kDataReceivedReply);
  EXPECT_EQ(limited.received_data(), (std::vector<std::string>{"c|", "a|"}));
}

// A request a client may send to wear the server down, and the status line it gets before the
// server closes the connection ("" when it is dropped unanswered).
struct HostileCase {
  const char* what;
  std::string request;
  bool drips;  // one byte every 300 ms, until the server closes
  const char* status_line;
};

void PrintTo(const HostileCase& hostile_case, std::ostream* out) {
  *out << hostile_case.what;
}

std::string Headers(int lines, size_t value_size) {
  std::string headers;
  for (int i = 0; i < lines; ++i)
    headers += "X-" + std::to_string(i) + ": " + std::string(value_size, 'a') + "\r\n";
  return headers;
}

class HostileRequestTest : public UpdateServerTest,
                           public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileRequestTest, IsAnsweredOrDroppedAndItsConnectionClosed) {
  Server limited(folder_.path(), {.read_timeout = std::chrono::seconds(1),
                                  .request_deadline = std::chrono::seconds(1),
                                  .header_bytes = 2048,
                                  .header_lines = 20});
  const int port = limited.Start();
  ASSERT_GT(port, 0);
  const int fd = ConnectTo(port);
  ASSERT_GE(fd, 0);
  const std::string& request = GetParam().request;
  if (!GetParam().drips) {
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  } else {
    pollfd closing{fd, POLLIN, 0};
    for (size_t i = 0; i < request.size() && poll(&closing, 1, 300) == 0; ++i)
      send(fd, &request[i], 1, MSG_NOSIGNAL);
  }
  const timeval wait_for_close{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait_for_close, sizeof wait_for_close);
  std::string reply;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = recv(fd, buffer, sizeof buffer, 0)) > 0)
    reply.append(buffer, static_cast<size_t>(got));
  close(fd);
  EXPECT_EQ(got, 0) << "the connection is still open";
  EXPECT_EQ(reply.substr(0, reply.find("\r\n")), GetParam().status_line);
}

const std::string kDateRequestLine = "GET /asp/date.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Limits, HostileRequestTest,
    testing::Values(
        HostileCase{"headers within the limits", kDateRequestLine + Headers(19, 80) + "\r\n", false,
                    "HTTP/1.1 200 OK"},
        HostileCase{"headers over their total", kDateRequestLine + Headers(3, 800) + "\r\n", false,
                    "HTTP/1.1 431 Request Header Fields Too Large"},
        HostileCase{"headers over the memory of a connection",
                    kDateRequestLine + Headers(5, 1000) + "\r\n", false,
                    "HTTP/1.1 431 Request Header Fields Too Large"},
        HostileCase{"more header lines than allowed", kDateRequestLine + Headers(21, 1) + "\r\n",
                    false, "HTTP/1.1 431 Request Header Fields Too Large"},
        HostileCase{"a request line over the memory of a connection",
                    "GET /asp/date.asp?" + std::string(5000, 'a') + " HTTP/1.1\r\n\r\n", false,
                    "HTTP/1.1 414 URI Too Long"},
        HostileCase{"a request trickling past its deadline",
                    kDateRequestLine + Headers(1, 30) + "\r\n", true, ""}));

TEST(SubmissionLine, ShowsANameAsLongAsAWindowsPathWholeAndCutsLonger) {
  const std::string path(260, 'x');
  const std::string accents(300, '\xE9');  // "é", two bytes in the line
  std::string cut_accents;
  for (int i = 0; i < 261; ++i)
    cut_accents += "\u00e9";
  const struct {
    std::vector<std::string> names;
    std::string line;
  } cases[] = {
      {{path}, "Submitted: [" + path + "]"},
      {{path + "y"}, "Submitted: [" + path + "y ... (cut)"},
      {{path, "b.exe"}, "Submitted: [" + path + "] ... (cut)"},
      {{accents}, "Submitted: [" + cut_accents + " ... (cut)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> encoded;
    for (const std::string& name : c.names)
      encoded.push_back(services::EncodeText(name));
    EXPECT_EQ(update_server::SubmissionLine(encoded), c.line);
  }
}

// A linked or incomplete release is left out with a note; the rest are served.
TEST(UpdateServerFolder, LeavesOutLinkedAndIncompleteReleases) {
  TempFolder outside;
  TempFolder folder;
  ASSERT_TRUE(update_server::WriteRelease(folder.path() / "good", {Date("1/1/2020"), kFirst}));
  ASSERT_TRUE(update_server::WriteRelease(outside.path() / "newer", {Date("1/1/2030"), kThird}));
  fs::create_directory_symlink(outside.path() / "newer", folder.path() / "linked");
  ASSERT_TRUE(update_server::WriteRelease(folder.path() / "partial", {Date("1/1/2025"), kSecond}));
  fs::remove(folder.path() / "partial" / "BlockedCookies.dat");
  fs::create_symlink(outside.path() / "newer" / "BlockedCookies.dat",
                     folder.path() / "partial" / "BlockedCookies.dat");

  Server server(folder.path());
  ASSERT_GT(server.Start(), 0);
  ASSERT_EQ(server.releases().size(), 1u);
  EXPECT_EQ(server.releases()[0].date, Date("1/1/2020"));
  ASSERT_EQ(server.load_notes().size(), 1u);
  EXPECT_NE(server.load_notes()[0].find("partial"), std::string::npos);
  httplib::Client client(server.base_url());
  const auto reply = client.Get("/asp/date.asp");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body, "1/1/2020");
}

TEST(UpdateServerFolder, ReadsPlainDefinitionFiles) {
  TempFolder folder;
  ASSERT_TRUE(update_server::WriteRelease(folder.path(), {Date("1/1/2020"), kSecond}));
  fs::remove(folder.path() / "RegistryDefinition.dat");
  std::ofstream(folder.path() / "RegistryDefinition.txt") << "1^Software\\B^=B|Adware\r\n";
  const auto release = update_server::ReadRelease(folder.path(), nullptr);
  ASSERT_TRUE(release);
  EXPECT_EQ(release->files.registry, kSecond.registry);
  EXPECT_EQ(release->files.file, kSecond.file);
}

// The shipped demo folder starts from the program's own sample definitions.
TEST(UpdateServerFolder, DemoReleasesStartFromTheSampleDefinitions) {
  Server server{fs::path(HG_DEMO_RELEASES)};
  ASSERT_GT(server.Start(), 0);
  const std::vector<Release> releases = server.releases();
  EXPECT_EQ(server.load_notes(), std::vector<std::string>{});
  ASSERT_EQ(releases.size(), 3u);
  EXPECT_EQ(releases[0].date, Date("3/16/2006 12:00:00 AM"));
  const std::vector<std::string>* files[] = {
      &releases[0].files.file, &releases[0].files.exe, &releases[0].files.registry,
      &releases[0].files.cookies, &releases[0].files.directory};
  for (size_t i = 0; i < update_server::kDefinitionFileNames.size(); ++i) {
    for (const auto& sample : engine::SampleDefinitionFiles()) {
      if (sample.file_name == update_server::kDefinitionFileNames[i]) {
        EXPECT_EQ(*files[i], std::vector<std::string>(sample.lines.begin(), sample.lines.end()));
      }
    }
  }
}

}  // namespace
