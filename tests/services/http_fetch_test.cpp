#include "services/http_fetch.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "support/http_test_server.h"
#include "support/temp_machine.h"

namespace services {
namespace {

using hg_test::HttpTestServer;
using hg_test::PatternBytes;
using hg_test::RawHttpServer;

class HttpFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = machine::Machine::Open(temp_.profile(), machine::VersionInfo{}, machine_error_);
    ASSERT_NE(machine_, nullptr) << machine_error_;
    system_ = std::make_unique<System>(*machine_);
    system_->yield = [this] {
      ++yields_;
      events_.push_back("yield");
    };
  }

  std::string GetWithProgress(const std::string& url) {
    return HttpGetStringProgress(*system_, url, [this](const std::string& text) {
      texts_.push_back(text);
      events_.push_back(text);
    });
  }

  // The events of the fetch loop's reads: a yield is one of them only right after a progress
  // text; the others came while the transfer waited for the server.
  std::vector<std::string> ReadEvents() const {
    std::vector<std::string> reads;
    for (const std::string& event : events_) {
      if (event != "yield" || (!reads.empty() && reads.back() != "yield"))
        reads.push_back(event);
    }
    return reads;
  }

  hg_test::TempMachine temp_;
  std::string machine_error_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
  HttpTestServer server_;
  int yields_ = 0;
  std::vector<std::string> texts_;
  std::vector<std::string> events_;
};

TEST_F(HttpFetchTest, FailuresGiveEmptyTextFromBothRoutines) {
  RawHttpServer short_body(RawHttpServer::ShortBodyReply(1000, 600));
  RawHttpServer no_reply(RawHttpServer::NoReply());
  hg_test::RefusingPort refused;
  const struct {
    std::string url;
    std::string expected;
  } cases[] = {
      {server_.Url(HttpTestServer::kTwentyBytesPath), HttpTestServer::kTwentyBytes},
      {server_.Url(HttpTestServer::kRedirectPath), HttpTestServer::kTwentyBytes},
      {server_.Url(HttpTestServer::kNotFoundPath), ""},
      {short_body.Url("/asp/getDefs.asp"), ""},
      {no_reply.Url("/asp/getDefs.asp"), ""},
      {refused.Url("/asp/date.asp"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(HttpGetString(*system_, c.url), c.expected);
    EXPECT_EQ(GetWithProgress(c.url), c.expected);
  }
}

// Running out of memory cannot be brought about here; this transport does it for the body.
class OutOfMemoryTransport final : public machine::HttpTransport {
 public:
  bool Get(std::string_view, const PieceHandler&, std::string&, const WaitHandler&) override {
    throw std::bad_alloc();
  }
};

TEST_F(HttpFetchTest, BodiesBeyondTheLimitsOrMemoryGiveEmptyText) {
  const machine::HttpLimits small{.max_body_bytes = 4096,
                                  .min_bytes_per_second = 1000,
                                  .speed_window = std::chrono::milliseconds(500)};
  const struct {
    bool out_of_memory;
    std::string url;
  } cases[] = {
      {false, server_.Url("/canned/bytes/4097")},
      {false, server_.Url("/canned/chunked/100000")},
      {false, server_.Url(HttpTestServer::kDripPath)},
      {true, server_.Url(HttpTestServer::kTwentyBytesPath)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    machine::MachineParts parts;
    if (c.out_of_memory)
      parts.http = std::make_unique<OutOfMemoryTransport>();
    else
      parts.http = std::make_unique<machine::CurlHttpTransport>(small);
    machine::Machine limited(temp_.profile(), machine::VersionInfo{}, std::move(parts),
                             machine_error_);
    System system(limited);
    EXPECT_EQ(HttpGetString(system, c.url), "");
    EXPECT_EQ(HttpGetStringProgress(system, c.url, [](const std::string&) {}), "");
    EXPECT_FALSE(DownloadFile(system, c.url, temp_.profile().program_folder + "\\DL.dat"));
  }
}

TEST_F(HttpFetchTest, BodyIsTakenByteForByte) {
  const std::string bytes = "line one\r\nline two\r\n\xE9\xFF\x80 end\x01";
  server_.RouteBody("/asp/currentDate.asp", bytes, "application/octet-stream");
  EXPECT_EQ(HttpGetString(*system_, server_.Url("/asp/currentDate.asp")), bytes);
}

TEST_F(HttpFetchTest, TwentyByteBodyShowsOneProgressTextAfterTheFinalRead) {
  // One read of 20 bytes (no text: it is the first), then the empty read that ends the loop.
  EXPECT_EQ(GetWithProgress(server_.Url(HttpTestServer::kTwentyBytesPath)),
            HttpTestServer::kTwentyBytes);
  EXPECT_EQ(ReadEvents(), (std::vector<std::string>{"Downloaded 20 bytes.", "yield"}));
}

TEST_F(HttpFetchTest, EmptyBodyShowsNothing) {
  server_.RouteBody("/empty", "");
  EXPECT_EQ(GetWithProgress(server_.Url("/empty")), "");
  EXPECT_EQ(HttpGetString(*system_, server_.Url("/empty")), "");
  EXPECT_TRUE(ReadEvents().empty());
}

// A server that takes the connection and never answers: the message loop runs all the while,
// until the request gives up.
TEST_F(HttpFetchTest, WaitingForAServerThatNeverAnswersYields) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

  machine::MachineParts parts;
  parts.http = std::make_unique<machine::CurlHttpTransport>(
      machine::HttpLimits{.max_silence = std::chrono::milliseconds(300)});
  machine::Machine limited(temp_.profile(), machine::VersionInfo{}, std::move(parts),
                           machine_error_);
  System system(limited);
  int yields = 0;
  system.yield = [&yields] { ++yields; };
  EXPECT_EQ(HttpGetString(system, "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                                      "/asp/currentDate.asp"),
            "");
  EXPECT_GE(yields, 10);
  close(listener);
}

TEST_F(HttpFetchTest, ProgressTextsCountEveryByteReadSoFar) {
  const std::string body = GetWithProgress(server_.Url("/canned/bytes/10000"));
  EXPECT_EQ(body, PatternBytes(10000));

  // Each read but the first sets the text, then yields.
  ASSERT_GE(texts_.size(), 10000u / 256);
  const std::vector<std::string> reads = ReadEvents();
  ASSERT_EQ(reads.size(), 2 * texts_.size());
  for (size_t i = 0; i < reads.size(); i += 2)
    EXPECT_EQ(reads[i + 1], "yield") << i;

  std::vector<size_t> counts;
  for (const auto& text : texts_) {
    const std::string_view prefix = "Downloaded ", suffix = " bytes.";
    ASSERT_TRUE(text.starts_with(prefix) && text.ends_with(suffix)) << text;
    const std::string number =
        text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
    ASSERT_FALSE(number.empty()) << text;
    ASSERT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << text;
    counts.push_back(std::stoul(number));
  }
  // The first text already counts two reads; later ones grow by one read of at most 256
  // bytes; the final empty read repeats the full length.
  EXPECT_GE(counts.front(), 2u);
  EXPECT_LE(counts.front(), 512u);
  for (size_t i = 1; i + 1 < counts.size(); ++i) {
    EXPECT_GT(counts[i], counts[i - 1]) << i;
    EXPECT_LE(counts[i] - counts[i - 1], 256u) << i;
  }
  ASSERT_GE(counts.size(), 2u);
  EXPECT_EQ(counts[counts.size() - 2], 10000u);
  EXPECT_EQ(counts.back(), 10000u);
}

TEST_F(HttpFetchTest, HttpGetStringYieldsAfterEveryReadButTheFirstAndShowsNothing) {
  EXPECT_EQ(HttpGetString(*system_, server_.Url("/canned/bytes/10000")), PatternBytes(10000));
  // At least 40 reads of at most 256 bytes, then the empty read.
  EXPECT_GE(yields_, 10000 / 256 + 1);
  EXPECT_TRUE(texts_.empty());
}

TEST_F(HttpFetchTest, YieldsWhileTheReplyIsStillArriving) {
  // The server holds back the rest of the body until the client has yielded; if yields only
  // came after the whole body, it would give up waiting and the order below would be wrong.
  std::mutex mutex;
  std::condition_variable changed;
  bool yielded = false;
  std::atomic<bool> rest_sent = false;
  std::atomic<bool> rest_sent_at_first_yield = true;
  const std::string head = PatternBytes(600);
  server_.Route("/held", [&](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider(
        "text/plain", [&](size_t offset, httplib::DataSink& sink) {
          if (offset == 0)
            return sink.write(head.data(), head.size());
          std::unique_lock lock(mutex);
          changed.wait_for(lock, std::chrono::seconds(10), [&] { return yielded; });
          rest_sent = true;
          const bool written = sink.write("tail", 4);
          sink.done();
          return written;
        });
  });
  system_->yield = [&] {
    std::lock_guard lock(mutex);
    if (!yielded)
      rest_sent_at_first_yield = rest_sent.load();
    yielded = true;
    changed.notify_all();
  };
  EXPECT_EQ(HttpGetString(*system_, server_.Url("/held")), head + "tail");
  EXPECT_FALSE(rest_sent_at_first_yield);
}

TEST_F(HttpFetchTest, RequestsCarryAgentNoCacheAndEncodedBytes) {
  server_.RouteBody("/asp/getData.asp", "Added");
  const std::string url = server_.Url("/asp/getData.asp?data=\xA1\xAE n|");
  EXPECT_EQ(HttpGetString(*system_, url), "Added");
  const auto request = server_.last_request();
  EXPECT_EQ(request.target, "/asp/getData.asp?data=%A1%AE%20n%7C");
  EXPECT_EQ(request.Header("User-Agent"), "Mozilla");
  EXPECT_EQ(request.Header("Pragma"), "no-cache");
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
}

TEST_F(HttpFetchTest, DownloadFileWritesTheWholeBodyOrNothing) {
  const std::string target = temp_.profile().program_folder + "\\DLFileDefinition.dat";
  ASSERT_TRUE(system_->machine.files().WriteFile(target, "old definitions"));

  RawHttpServer short_body(RawHttpServer::ShortBodyReply(1000, 600));
  EXPECT_FALSE(
      DownloadFile(*system_, short_body.Url("/definitions/data/FileDefinition.dat"), target));
  EXPECT_FALSE(DownloadFile(*system_, server_.Url(HttpTestServer::kNotFoundPath), target));
  EXPECT_EQ(system_->machine.files().ReadFile(target), "old definitions");

  EXPECT_TRUE(DownloadFile(*system_, server_.Url("/canned/bytes/5000"), target));
  EXPECT_EQ(system_->machine.files().ReadFile(target), PatternBytes(5000));

  EXPECT_FALSE(DownloadFile(*system_, server_.Url(HttpTestServer::kTwentyBytesPath),
                            temp_.profile().program_folder + "\\no such folder\\x.dat"));
}

}  // namespace
}  // namespace services
