#include "update/http_client.h"

#include "platform/diag.h"
#include "tests/update/reference_server.h"
#include "tests/update/test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

namespace norvane::update {
namespace {

using test::LoopbackSocket;
using test::ReferenceServer;
using namespace std::chrono_literals;

constexpr std::size_t kBufferSize = 16384;

std::span<const std::byte> Bytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

struct Answer {
    int result = 0;
    std::uint32_t lastError = 0;
    std::string text;  // the bytes placed, or the first 14 when nothing was received
};

Answer Send(HttpClient& client, std::string_view method, const std::string& url, std::string_view body = {}) {
    std::vector<char> buffer(kBufferSize, '\0');
    Answer answer;
    answer.result = client.Request(method, url, Bytes(body), buffer);
    answer.lastError = client.LastError();
    const std::size_t shown =
        answer.result > 0 ? static_cast<std::size_t>(answer.result) : kNoLinkServer.size();
    answer.text.assign(buffer.data(), std::min(shown, buffer.size()));
    return answer;
}

class HttpClientTest : public ::testing::Test {
protected:
    test::NoProxyEnvironment noProxy_;
    HttpClient client_;
};

TEST_F(HttpClientTest, SendsTheMethodInUpperCaseWithTheFixedHeaderBlockAndTheBody) {
    ReferenceServer server;
    ASSERT_TRUE(server.Running());
    struct Case {
        std::string_view method;
        std::string_view sentMethod;
        std::string_view body;
    };
    constexpr std::array kCases = {
        Case{"post", "POST", std::string_view("app_key=K&version=1\0", 20)},
        Case{"POST", "POST", ""},
        Case{"Get", "GET", ""},
        Case{"get", "GET", "a=1"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.method) + " with " + std::to_string(c.body.size()) + " body bytes");
        const Answer answer = Send(client_, c.method, server.Origin() + "/echo", c.body);
        ASSERT_GT(answer.result, 0);
        EXPECT_EQ(answer.lastError, kHttpErrorNone);
        const Json::Value echo = test::ParseJson(answer.text);
        EXPECT_EQ(echo["method"].asString(), c.sentMethod);
        EXPECT_EQ(echo["target"].asString(), "/echo");
        EXPECT_EQ(echo["body_hex"].asString(), test::HexOf(c.body));
        std::vector<std::string> headers;
        for (const Json::Value& line : echo["headers"]) {
            headers.push_back(line.asString());
        }
        const auto count = [&](std::string_view prefix) {
            return std::ranges::count_if(headers,
                                         [&](const std::string& h) { return h.starts_with(prefix); });
        };
        EXPECT_EQ(count("Content-Length: " + std::to_string(c.body.size())), 1);
        EXPECT_EQ(count("Content-Length"), 1);
        EXPECT_EQ(count("Content-Type: application/x-www-form-urlencoded"), 1);
        EXPECT_EQ(count("Content-Type"), 1);
        EXPECT_EQ(count("Accept:application/prs.Velto.v1+json"), 1);
        EXPECT_EQ(count("Accept"), 1);
        EXPECT_EQ(count("User-Agent: WinHTTP Client/1.0"), 1);
        EXPECT_EQ(count("Expect"), 0);
        EXPECT_EQ(count("Transfer-Encoding"), 0);
        const auto position = [&](std::string_view prefix) {
            return std::ranges::find_if(headers,
                                        [&](const std::string& h) { return h.starts_with(prefix); }) -
                   headers.begin();
        };
        EXPECT_LT(position("Content-Length"), position("Content-Type"));
        EXPECT_LT(position("Content-Type"), position("Accept"));
    }
}

TEST_F(HttpClientTest, RefusesOtherMethodsEmptyAndUnusableUrlsWithoutConnecting) {
    const LoopbackSocket listener(/*listen=*/true);
    ASSERT_TRUE(listener.Valid());
    struct Case {
        std::string_view method;
        std::string url;
        std::uint32_t error;
    };
    const std::array kCases = {
        Case{"PUT", listener.Url("/api/updates"), kHttpErrorInvalidMethod},
        Case{"DELETE", listener.Url("/"), kHttpErrorInvalidMethod},
        Case{"", listener.Url("/"), kHttpErrorInvalidMethod},
        Case{"POST", "", kHttpErrorEmptyUrl},
        Case{"POST", "ftp://127.0.0.1:" + std::to_string(listener.Port()) + "/", kCurlErrorBase + 1},
        Case{"POST", "not a url", kCurlErrorBase + 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.url);
        std::array<char, 32> buffer{};
        EXPECT_EQ(client_.Request(c.method, c.url, Bytes("a=1"), buffer), -1);
        EXPECT_EQ(client_.LastError(), c.error);
        EXPECT_TRUE(std::ranges::all_of(buffer, [](char b) { return b == '\0'; }));
    }
    EXPECT_FALSE(listener.HasPendingConnection());
}

TEST_F(HttpClientTest, UnreachableServerGivesNoLinkServerAndZero) {
    const LoopbackSocket closed(/*listen=*/false);
    ASSERT_TRUE(closed.Valid());
    std::array<char, 64> buffer{};
    EXPECT_EQ(client_.Request("POST", closed.Url("/api/updates"), Bytes("a=1"), buffer), 0);
    EXPECT_EQ(std::string_view(buffer.data()), kNoLinkServer);
    EXPECT_EQ(client_.LastError(), kHttpErrorCouldNotConnect);

    // A buffer shorter than the marker gets what fits and nothing past it.
    std::array<char, 8> storage{};
    storage.fill('#');
    EXPECT_EQ(client_.Request("POST", closed.Url("/"), {}, std::span(storage).first(5)), 0);
    EXPECT_EQ(std::string_view(storage.data(), storage.size()), "NO_LI###");

    // Reset restores the reset values and clears the last error.
    client_.Settings().userAgent = "other";
    client_.Settings().receiveTimeout = 1ms;
    client_.Reset();
    EXPECT_EQ(client_.LastError(), kHttpErrorNone);
    EXPECT_EQ(client_.Settings().userAgent, "WinHTTP Client/1.0");
    EXPECT_EQ(client_.Settings().resolveTimeout, 0ms);
    EXPECT_EQ(client_.Settings().connectTimeout, 60000ms);
    EXPECT_EQ(client_.Settings().sendTimeout, 30000ms);
    EXPECT_EQ(client_.Settings().receiveTimeout, 30000ms);
}

TEST_F(HttpClientTest, AnswerIsCutAtTheEndOfTheBufferAndNeverWrittenPastIt) {
    ReferenceServer server;
    ASSERT_TRUE(server.Running());
    struct Case {
        int answerBytes;
        int expectedResult;
        std::uint32_t expectedError;
    };
    constexpr std::array kCases = {
        Case{0, 0, kHttpErrorNone},
        Case{99, 99, kHttpErrorNone},
        Case{100, 100, kHttpErrorNone},
        Case{101, 100, kHttpErrorResponseTooLong},
        Case{300000, 100, kHttpErrorResponseTooLong},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.answerBytes);
        std::vector<char> storage(164, 'G');
        const std::span<char> buffer = std::span(storage).subspan(32, 100);
        EXPECT_EQ(
            client_.Request("GET", server.Origin() + "/bytes/" + std::to_string(c.answerBytes), {}, buffer),
            c.expectedResult);
        EXPECT_EQ(client_.LastError(), c.expectedError);
        for (int i = 0; i < c.expectedResult; ++i) {
            ASSERT_EQ(buffer[static_cast<std::size_t>(i)], "0123456789abcdef"[i % 16]) << i;
        }
        EXPECT_TRUE(std::all_of(storage.begin(), storage.begin() + 32, [](char b) { return b == 'G'; }));
        EXPECT_TRUE(std::all_of(storage.end() - 32, storage.end(), [](char b) { return b == 'G'; }));
        if (c.answerBytes == 0) {
            EXPECT_TRUE(std::ranges::all_of(buffer, [](char b) { return b == 'G'; }));
        }
    }
}

TEST_F(HttpClientTest, HttpStatusIsNotExamined) {
    ReferenceServer server({"--error-page", "503"});
    ASSERT_TRUE(server.Running());
    const std::string body = std::string("app_key=K&version=1") + '\0';
    const Answer answer = Send(client_, "POST", server.ServiceUrl() + "updates", body);
    ASSERT_GT(answer.result, 0);
    EXPECT_EQ(answer.lastError, kHttpErrorNone);
    EXPECT_NE(answer.text.find("Service unavailable"), std::string::npos);
}

TEST_F(HttpClientTest, SilentOrSlowServerIsBoundedByTheReceiveTimeout) {
    struct Case {
        std::vector<std::string> switches;
        std::chrono::milliseconds receiveTimeout;
        bool answered;
    };
    const std::array kCases = {
        Case{{"--never-answer"}, 300ms, false},
        Case{{"--delay", "0.6"}, 150ms, false},
        Case{{"--delay", "0.3"}, 5000ms, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.switches.front() + " with a receive timeout of " +
                     std::to_string(c.receiveTimeout.count()));
        ReferenceServer server(c.switches);
        ASSERT_TRUE(server.Running());
        client_.Reset();
        client_.Settings().receiveTimeout = c.receiveTimeout;
        const std::string body = std::string("app_key=K&version=1") + '\0';
        const auto start = std::chrono::steady_clock::now();
        const Answer answer = Send(client_, "POST", server.ServiceUrl() + "updates", body);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (c.answered) {
            EXPECT_GT(answer.result, 0);
            EXPECT_EQ(answer.lastError, kHttpErrorNone);
        } else {
            // The server was reached, so this is no "NO_LINK_SERVER" case.
            EXPECT_EQ(answer.result, 0);
            EXPECT_EQ(answer.lastError, kHttpErrorTimeout);
            EXPECT_EQ(answer.text, std::string(kNoLinkServer.size(), '\0'));
            EXPECT_LT(elapsed, 10s) << "the configured timeout was not applied";
        }
    }
}

TEST_F(HttpClientTest, FallsBackToTheConfiguredProxyOnlyWhenTheDirectAttemptCannotConnect) {
    ReferenceServer proxy;
    ASSERT_TRUE(proxy.Running());
    const LoopbackSocket closed(/*listen=*/false);
    ASSERT_TRUE(closed.Valid());

    {  // Direct attempt refused: the proxy carries the request, in absolute form.
        const test::ScopedEnv httpProxy("http_proxy", proxy.Origin());
        const Answer answer = Send(client_, "POST", closed.Url("/echo"), "a=1");
        ASSERT_GT(answer.result, 0);
        EXPECT_EQ(answer.lastError, kHttpErrorNone);
        const Json::Value echo = test::ParseJson(answer.text);
        EXPECT_TRUE(echo["via_proxy"].asBool());
        EXPECT_EQ(echo["target"].asString(), closed.Url("/echo"));
    }
    {  // The direct attempt works: the proxy is not used.
        ReferenceServer server;
        ASSERT_TRUE(server.Running());
        const test::ScopedEnv allProxy("all_proxy", proxy.Origin());
        const Answer answer = Send(client_, "GET", server.Origin() + "/echo");
        ASSERT_GT(answer.result, 0);
        EXPECT_FALSE(test::ParseJson(answer.text)["via_proxy"].asBool());
    }
    {  // no_proxy names the host: one attempt only.
        const test::ScopedEnv httpProxy("http_proxy", proxy.Origin());
        const test::ScopedEnv noProxy("no_proxy", "localhost,127.0.0.1");
        const Answer answer = Send(client_, "POST", closed.Url("/echo"), "a=1");
        EXPECT_EQ(answer.result, 0);
        EXPECT_EQ(answer.text, kNoLinkServer);
    }
    {  // An unreachable proxy ends as no server, with the proxy's failure kept.
        const LoopbackSocket deadProxy(/*listen=*/false);
        const test::ScopedEnv httpProxy("http_proxy", deadProxy.Url(""));
        const Answer answer = Send(client_, "POST", closed.Url("/echo"), "a=1");
        EXPECT_EQ(answer.result, 0);
        EXPECT_EQ(answer.text, kNoLinkServer);
        EXPECT_NE(answer.lastError, kHttpErrorNone);
    }
}

TEST_F(HttpClientTest, CredentialsInTheProxyOrTheUrlStayOutOfTheTrace) {
    ReferenceServer proxy;
    ASSERT_TRUE(proxy.Running());
    const LoopbackSocket closed(/*listen=*/false);
    const LoopbackSocket deadProxy(/*listen=*/false);
    ASSERT_TRUE(closed.Valid() && deadProxy.Valid());
    const auto withCredentials = [](const std::string& url) {
        return "http://user:s3cret@" + url.substr(std::string_view("http://").size());
    };
    const std::string target = withCredentials(closed.Url("/echo"));
    for (const std::string& proxyUrl :
         {withCredentials(proxy.Origin()), withCredentials(deadProxy.Url(""))}) {
        SCOPED_TRACE(proxyUrl);
        const test::ScopedEnv httpProxy("http_proxy", proxyUrl);
        const platform::diag::ScopedCapture trace;
        Send(client_, "POST", target, "a=1");
        const std::vector<std::string> lines = trace.Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines.front().find("trying proxy http://127.0.0.1:"), std::string::npos) << lines.front();
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find("s3cret"), std::string::npos) << line;
        }
    }
}

TEST_F(HttpClientTest, HttpsCertificatesAndHostNamesAreVerified) {
    const test::TempDir dir;
    ASSERT_TRUE(test::MakeSelfSignedCertificate(dir / "loopback.pem", dir / "loopback.key", "IP:127.0.0.1"))
        << "openssl (tools/test-packages.txt) makes the test certificates";
    ASSERT_TRUE(test::MakeSelfSignedCertificate(dir / "other.pem", dir / "other.key", "DNS:other.example"));
    struct Case {
        std::string name;
        std::string serverCert;
        std::string caFile;
        bool answered;
    };
    const std::array kCases = {
        Case{"self-signed, not trusted", "loopback", "", false},
        Case{"trusted, name matches", "loopback", (dir / "loopback.pem").string(), true},
        Case{"trusted, name does not match", "other", (dir / "other.pem").string(), false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ReferenceServer server({"--tls-cert", (dir / (c.serverCert + ".pem")).string(), "--tls-key",
                                (dir / (c.serverCert + ".key")).string()});
        ASSERT_TRUE(server.Running());
        ASSERT_TRUE(server.ServiceUrl().starts_with("https://127.0.0.1:"));
        client_.Reset();
        client_.Settings().caFile = c.caFile;
        client_.Settings().receiveTimeout = 5s;
        const Answer answer = Send(client_, "GET", server.Origin() + "/echo");
        if (c.answered) {
            ASSERT_GT(answer.result, 0);
            EXPECT_EQ(test::ParseJson(answer.text)["method"].asString(), "GET");
        } else {
            EXPECT_EQ(answer.result, 0);
            EXPECT_EQ(answer.text, kNoLinkServer);
            EXPECT_EQ(answer.lastError, kHttpErrorPeerVerification);
        }
    }
}

}  // namespace
}  // namespace norvane::update
