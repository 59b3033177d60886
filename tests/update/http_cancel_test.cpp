#include "update/http_client.h"
#include "update/update_service.h"

#include "tests/update/reference_server.h"
#include "tests/update/slow_lookup.h"
#include "tests/update/test_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace norvane::update {
namespace {

using namespace std::chrono_literals;

TEST(HttpCancelTest, StopTokenEndsARequestInFlight) {
    const test::NoProxyEnvironment noProxy;
    test::ReferenceServer server({"--never-answer"});
    ASSERT_TRUE(server.Running());
    const std::string body = std::string("app_key=K&version=1") + '\0';

    std::stop_source stop;
    std::promise<void> started;
    std::future<void> startedFuture = started.get_future();
    std::uint32_t lastError = 0;
    int result = 1;
    std::thread worker([&] {
        HttpClient client;  // default 30 s receive timeout
        std::vector<char> buffer(1024, '\0');
        started.set_value();
        result = client.Request("POST", server.ServiceUrl() + "updates", std::as_bytes(std::span(body)),
                                buffer, stop.get_token());
        lastError = client.LastError();
    });
    startedFuture.wait();
    std::this_thread::sleep_for(200ms);  // let it connect and wait for the answer
    const auto requested = std::chrono::steady_clock::now();
    stop.request_stop();
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - requested, 5s);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(lastError, kHttpErrorCancelled);
}

TEST(HttpCancelTest, StopOrTimeoutWhileTheNameIsLookedUpEndsTheRequestAtOnce) {
    const test::NoProxyEnvironment noProxy;
    const std::string url = "http://" + std::string(test::kSlowHost) + "/api/updates";
    const std::string body = std::string("app_key=K&version=1") + '\0';
    struct Case {
        const char* name;
        bool stop;  // else the connect timeout ends it
        std::uint32_t error;
    };
    for (const Case& c :
         {Case{"stop", true, kHttpErrorCancelled}, Case{"connect timeout", false, kHttpErrorTimeout}}) {
        SCOPED_TRACE(c.name);
        const test::SlowLookup lookup;
        std::stop_source stop;
        std::uint32_t lastError = 0;
        int result = 1;
        bool lookupPendingAtReturn = false;
        std::thread worker([&] {
            HttpClient client;
            client.Settings().connectTimeout = c.stop ? 60s : 200ms;
            std::vector<char> buffer(1024, '\0');
            result = client.Request("POST", url, std::as_bytes(std::span(body)), buffer, stop.get_token());
            lookupPendingAtReturn = lookup.Pending();
            lastError = client.LastError();
        });
        ASSERT_TRUE(lookup.WaitUntilStarted(5s));
        if (c.stop) {
            stop.request_stop();
        }
        worker.join();
        // The request ended while the lookup still hung, not when it gave up.
        EXPECT_TRUE(lookupPendingAtReturn);
        EXPECT_EQ(lastError, c.error) << DescribeHttpError(lastError);
        EXPECT_EQ(result, 0);
    }
}

TEST(HttpCancelTest, QueriesOnSeveralThreadsKeepTheirOwnSettingsAndErrors) {
    const test::NoProxyEnvironment noProxy;
    test::ReferenceServer server({"--delay", "0.4"});
    ASSERT_TRUE(server.Running());
    const test::LoopbackSocket closed(/*listen=*/false);
    struct Outcome {
        UpdateCheckResult check;
        std::uint32_t lastError;
    };
    // Threads of one kind run at the same time as the others: a short receive timeout
    // on some must neither cut the slow answers of the others nor leak its error.
    const std::array<Outcome, 3> expected = {{{UpdateCheckResult::Failed, kHttpErrorTimeout},
                                              {UpdateCheckResult::Answered, kHttpErrorNone},
                                              {UpdateCheckResult::NoServer, kHttpErrorCouldNotConnect}}};
    std::vector<std::future<Outcome>> results;
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t kind = i % expected.size();
        results.push_back(std::async(std::launch::async, [&server, &closed, kind] {
            HttpSettings settings;
            if (kind == 0) {
                settings.receiveTimeout = 100ms;
            }
            UpdateService service(kind == 2 ? closed.Url("/api/") : server.ServiceUrl(), settings);
            const UpdateCheckResult check = service.UpdateQuery("VELTO_1_TX20M1A_MS_1", 0x0105, true).check;
            return Outcome{check, service.LastHttpError()};
        }));
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Outcome outcome = results[i].get();
        const Outcome& want = expected[i % expected.size()];
        EXPECT_EQ(outcome.check, want.check) << "thread " << i;
        EXPECT_EQ(outcome.lastError, want.lastError)
            << "thread " << i << ": " << DescribeHttpError(outcome.lastError);
    }
}

}  // namespace
}  // namespace norvane::update
