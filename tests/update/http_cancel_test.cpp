#include "update/http_client.h"
#include "update/update_service.h"

#include "tests/update/reference_server.h"
#include "tests/update/slow_lookup.h"
#include "tests/update/test_helpers.h"

#include <gtest/gtest.h>

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
        EXPECT_LE(result, 0);
    }
}

TEST(HttpCancelTest, QueriesOnSeveralThreadsKeepTheirOwnSettingsAndErrors) {
    const test::NoProxyEnvironment noProxy;
    test::ReferenceServer server;
    ASSERT_TRUE(server.Running());
    const test::LoopbackSocket closed(/*listen=*/false);
    std::vector<std::future<UpdateCheckResult>> results;
    for (int i = 0; i < 4; ++i) {
        const std::string url = i % 2 == 0 ? server.ServiceUrl() : closed.Url("/api/");
        results.push_back(std::async(std::launch::async, [url] {
            UpdateService service(url);
            return service.UpdateQuery("VELTO_1_TX20M1A_MS_1", 0x0105, true).check;
        }));
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].get(), i % 2 == 0 ? UpdateCheckResult::Answered : UpdateCheckResult::NoServer);
    }
}

}  // namespace
}  // namespace norvane::update
