#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "machine/http.h"
#include "support/http_test_server.h"

namespace machine {
namespace {

using hg_test::HttpTestServer;
using hg_test::PatternBytes;
using hg_test::RawHttpServer;
using hg_test::RefusingPort;

struct Received {
  bool ok = false;
  std::string error;
  std::vector<std::string> pieces;

  std::string Body() const {
    std::string body;
    for (const auto& piece : pieces)
      body += piece;
    return body;
  }
};

Received Fetch(HttpTransport& transport, const std::string& url) {
  Received received;
  received.ok = transport.Get(
      url,
      [&](std::string_view piece) {
        received.pieces.emplace_back(piece);
        return true;
      },
      received.error);
  return received;
}

class HttpTransportTest : public ::testing::Test {
 protected:
  HttpTestServer server_;
  CurlHttpTransport transport_;
};

TEST_F(HttpTransportTest, BodiesArriveWholeInPiecesOfAtMost256Bytes) {
  for (size_t size :
       {size_t{0}, size_t{1}, size_t{256}, size_t{257}, size_t{10000}, size_t{100000}}) {
    SCOPED_TRACE(size);
    const Received received =
        Fetch(transport_, server_.Url(HttpTestServer::kBytesPathPrefix + std::to_string(size)));
    ASSERT_TRUE(received.ok) << received.error;
    EXPECT_EQ(received.Body(), PatternBytes(size));
    for (const auto& piece : received.pieces) {
      EXPECT_FALSE(piece.empty());
      EXPECT_LE(piece.size(), HttpTransport::kMaxPiece);
    }
  }
}

TEST_F(HttpTransportTest, TwentyByteBodyComesBackExactly) {
  const Received received = Fetch(transport_, server_.Url(HttpTestServer::kTwentyBytesPath));
  ASSERT_TRUE(received.ok) << received.error;
  EXPECT_EQ(received.Body(), HttpTestServer::kTwentyBytes);
}

TEST_F(HttpTransportTest, SendsAgentAndNoCacheHeaders) {
  ASSERT_TRUE(Fetch(transport_, server_.Url(HttpTestServer::kTwentyBytesPath)).ok);
  const auto request = server_.last_request();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.Header("User-Agent"), "Mozilla");
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  EXPECT_EQ(request.Header("Pragma"), "no-cache");
}

TEST_F(HttpTransportTest, FollowsRedirects) {
  const Received received = Fetch(transport_, server_.Url(HttpTestServer::kRedirectPath));
  ASSERT_TRUE(received.ok) << received.error;
  EXPECT_EQ(received.Body(), HttpTestServer::kTwentyBytes);
  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].path, HttpTestServer::kTwentyBytesPath);
}

TEST_F(HttpTransportTest, NonSuccessRepliesFailAndHandNothingUp) {
  server_.Route("/empty-500", [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
  });
  server_.Route("/endless-redirect", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/endless-redirect");
  });
  for (const char* path : {HttpTestServer::kNotFoundPath, "/empty-500", "/endless-redirect"}) {
    SCOPED_TRACE(path);
    const Received received = Fetch(transport_, server_.Url(path));
    EXPECT_FALSE(received.ok);
    EXPECT_FALSE(received.error.empty());
    EXPECT_TRUE(received.pieces.empty());
  }
  EXPECT_NE(Fetch(transport_, server_.Url(HttpTestServer::kNotFoundPath)).error.find("404"),
            std::string::npos);
}

TEST_F(HttpTransportTest, BrokenTransfersFail) {
  RefusingPort refusing;
  RawHttpServer short_body(RawHttpServer::ShortBodyReply(1000, 100));
  RawHttpServer no_reply(RawHttpServer::NoReply());
  RawHttpServer garbage("this is not HTTP at all\r\n\r\n");
  // No length, not chunked: only the closing of the connection ends it, wherever it is cut.
  RawHttpServer close_delimited("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nevil.exe=Evil Th");
  RawHttpServer partial(
      "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-6/40\r\nContent-Length: 7\r\n\r\n"
      "evil.ex");
  const std::vector<std::string> urls = {refusing.Url("/x"),
                                         short_body.Url("/defs"),
                                         no_reply.Url("/defs"),
                                         garbage.Url("/defs"),
                                         close_delimited.Url("/defs"),
                                         partial.Url("/defs"),
                                         "not a url",
                                         ""};
  for (const auto& url : urls) {
    SCOPED_TRACE(url);
    const Received received = Fetch(transport_, url);
    EXPECT_FALSE(received.ok);
    EXPECT_FALSE(received.error.empty());
  }
}

TEST_F(HttpTransportTest, HandlerCanStopTheTransfer) {
  int calls = 0;
  std::string error;
  const bool ok = transport_.Get(
      server_.Url("/canned/bytes/10000"), [&](std::string_view) { return ++calls < 3; }, error);
  EXPECT_FALSE(ok);
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(error.empty());
}

TEST_F(HttpTransportTest, HandlerMayFetchAgainWhileReading) {
  // A yield inside the handler can run code that fetches another URL on the same transport.
  std::string inner_body;
  bool inner_ok = false;
  std::string outer_body;
  std::string error;
  const bool ok = transport_.Get(
      server_.Url("/canned/bytes/1000"),
      [&](std::string_view piece) {
        if (outer_body.empty()) {
          const Received inner = Fetch(transport_, server_.Url(HttpTestServer::kTwentyBytesPath));
          inner_ok = inner.ok;
          inner_body = inner.Body();
        }
        outer_body += piece;
        return true;
      },
      error);
  ASSERT_TRUE(ok) << error;
  EXPECT_TRUE(inner_ok);
  EXPECT_EQ(inner_body, HttpTestServer::kTwentyBytes);
  EXPECT_EQ(outer_body, PatternBytes(1000));
}

TEST_F(HttpTransportTest, HandlerExceptionsReachTheCaller) {
  std::string error;
  EXPECT_THROW(transport_.Get(
                   server_.Url(HttpTestServer::kTwentyBytesPath),
                   [](std::string_view) -> bool { throw std::runtime_error("ended"); }, error),
               std::runtime_error);
}

TEST_F(HttpTransportTest, SlowReplyArrivesWhole) {
  const Received received = Fetch(transport_, server_.Url(HttpTestServer::kSlowPath));
  ASSERT_TRUE(received.ok) << received.error;
  std::string expected;
  for (int i = 0; i < HttpTestServer::kSlowPieceCount; ++i)
    expected += HttpTestServer::kSlowPiece;
  EXPECT_EQ(received.Body(), expected);
}

// Small enough that no test sends 256 MiB or waits a minute.
constexpr HttpLimits kSmallLimits{.max_body_bytes = 64 * 1024,
                                  .max_silence = std::chrono::milliseconds(500),
                                  .min_bytes_per_second = 1000,
                                  .speed_window = std::chrono::milliseconds(500)};

// A chunked reply of `count` pieces of `size` bytes, `pause` apart.
HttpTestServer::Handler PacedReply(size_t count, size_t size, std::chrono::milliseconds pause) {
  const auto send = [=](size_t offset, httplib::DataSink& sink) {
    if (offset > 0)
      std::this_thread::sleep_for(pause);
    const std::string piece = PatternBytes(size);
    if (!sink.write(piece.data(), piece.size()))
      return false;
    if (offset + size == count * size)
      sink.done();
    return true;
  };
  return [send](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/plain", send);
  };
}

TEST_F(HttpTransportTest, RepliesBeyondTheLimitsFail) {
  CurlHttpTransport limited(kSmallLimits);
  // Five times the least rate, for longer than two speed windows.
  server_.Route("/steady", PacedReply(64, 100, std::chrono::milliseconds(20)));
  server_.Route("/stalled", PacedReply(2, 100, std::chrono::milliseconds(1500)));
  const std::string at_limit = std::to_string(kSmallLimits.max_body_bytes);
  const std::string over_limit = std::to_string(kSmallLimits.max_body_bytes + 1);
  const struct {
    std::string path;
    const char* failure;  // nullptr: the reply arrives whole
  } cases[] = {
      {HttpTestServer::kBytesPathPrefix + at_limit, nullptr},
      {HttpTestServer::kChunkedPathPrefix + at_limit, nullptr},
      {HttpTestServer::kBytesPathPrefix + over_limit, "larger than 65536 bytes"},
      {HttpTestServer::kChunkedPathPrefix + over_limit, "larger than 65536 bytes"},
      {"/steady", nullptr},
      {"/stalled", "nothing arrived for 500 ms"},
      {HttpTestServer::kDripPath, "less than 1000 bytes a second arrived over 500 ms"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const Received received = Fetch(limited, server_.Url(c.path));
    EXPECT_LE(received.Body().size(), kSmallLimits.max_body_bytes);
    if (c.failure == nullptr) {
      EXPECT_TRUE(received.ok) << received.error;
    } else {
      EXPECT_FALSE(received.ok);
      EXPECT_NE(received.error.find(c.failure), std::string::npos) << received.error;
    }
  }
}

TEST_F(HttpTransportTest, TimeSpentInTheHandlerIsNotTheServers) {
  CurlHttpTransport limited(kSmallLimits);
  std::string error;
  bool first = true;
  const bool ok = limited.Get(
      server_.Url("/canned/bytes/1000"),
      [&](std::string_view) {
        if (std::exchange(first, false))
          std::this_thread::sleep_for(2 * kSmallLimits.speed_window);
        return true;
      },
      error);
  EXPECT_TRUE(ok) << error;
}

TEST_F(HttpTransportTest, RequestLineCarriesUnsafeBytesPercentEncoded) {
  server_.RouteBody("/asp/getDefs.asp", "ok");
  const std::string url = server_.Url(
      "/asp/getDefs.asp?prog=Hearth%20guard&comp=A B&date=3/16/2006 12:00:00 AM&data=\xE9\x81|");
  const Received received = Fetch(transport_, url);
  ASSERT_TRUE(received.ok) << received.error;
  EXPECT_EQ(server_.last_request().target,
            "/asp/getDefs.asp?prog=Hearth%20guard&comp=A%20B&date=3/16/2006%2012:00:00%20AM"
            "&data=%E9%81%7C");
}

TEST(EncodeUrlForRequestTest, EncodesOnlyWhatARequestLineCannotCarry) {
  const struct {
    std::string url;
    std::string expected;
  } cases[] = {
      {"http://h:1/a/b.asp?x=1&y=2", "http://h:1/a/b.asp?x=1&y=2"},
      {"http://h/a b", "http://h/a%20b"},
      {"http://h/?q=\"<>\"", "http://h/?q=%22%3C%3E%22"},
      {"http://h/?q=%41%zz%4", "http://h/?q=%41%25zz%254"},
      {"http://h/?q=a#b", "http://h/?q=a%23b"},
      {"http://h/?q=\t\r\n\x7F", "http://h/?q=%09%0D%0A%7F"},
      {"http://h/?q=\\^`{|}[]", "http://h/?q=%5C%5E%60%7B%7C%7D%5B%5D"},
      {"http://h/?q=-._~!$&'()*+,;=:@/?", "http://h/?q=-._~!$&'()*+,;=:@/?"},
      {std::string("http://h/?q=\xFF\x80", 14), "http://h/?q=%FF%80"},
      {std::string("http://h/?q=a\0b", 15), "http://h/?q=a%00b"},
      {"http://h", "http://h"},
      {"http://h?x y", "http://h?x%20y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(EncodeUrlForRequest(c.url), c.expected);
  }
}

TEST(EncodeQueryValueTest, EscapesAllButTheUnreservedBytes) {
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"3/16/2006 12:00:00 AM", "3%2F16%2F2006%2012%3A00%3A00%20AM"},
      {"a&b=c+d%41#e?f|-._~Z9", "a%26b%3Dc%2Bd%2541%23e%3Ff%7C-._~Z9"},
      {std::string("\xE9\xFF\0", 3), "%E9%FF%00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(EncodeQueryValue(c.value), c.expected);
    // The transport leaves an escaped value as it is.
    EXPECT_EQ(EncodeUrlForRequest("http://h/?v=" + c.expected), "http://h/?v=" + c.expected);
  }
}

}  // namespace
}  // namespace machine
