#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>

// A small synchronous HTTP client: one GET or POST with a form body and fixed headers,
// a direct attempt and then one through the user's proxy, the whole answer collected
// into the caller's buffer.
namespace norvane::update {

struct HttpSettings {
    std::string userAgent = "WinHTTP Client/1.0";
    std::chrono::milliseconds resolveTimeout{0};  // 0: no limit of its own (the connect timeout covers it)
    std::chrono::milliseconds connectTimeout{60000};
    std::chrono::milliseconds sendTimeout{30000};     // longest pause while the request body goes out
    std::chrono::milliseconds receiveTimeout{30000};  // longest wait for the next bytes of the answer
    // Trusted certificates (PEM) used instead of libcurl's CA bundle file; its CA
    // directory, where it has one (/etc/ssl/certs on Debian), stays in use. Certificates
    // and host names are always verified.
    std::string caFile;
};

// Last error codes. Besides these, a libcurl failure is kCurlErrorBase + its CURLcode.
inline constexpr std::uint32_t kHttpErrorNone = 0;
inline constexpr std::uint32_t kHttpErrorEmptyUrl = 3;
inline constexpr std::uint32_t kHttpErrorInvalidMethod = 87;
inline constexpr std::uint32_t kHttpErrorResponseTooLong = 122;  // the answer was cut at the buffer's end
inline constexpr std::uint32_t kCurlErrorBase = 12000;
inline constexpr std::uint32_t kHttpErrorTimeout = kCurlErrorBase + 28;         // CURLE_OPERATION_TIMEDOUT
inline constexpr std::uint32_t kHttpErrorCancelled = kCurlErrorBase + 42;       // CURLE_ABORTED_BY_CALLBACK
inline constexpr std::uint32_t kHttpErrorCouldNotConnect = kCurlErrorBase + 7;  // CURLE_COULDNT_CONNECT
inline constexpr std::uint32_t kHttpErrorPeerVerification =
    kCurlErrorBase + 60;  // CURLE_PEER_FAILED_VERIFICATION

// Written at the start of the response buffer when no attempt reached the server.
inline constexpr std::string_view kNoLinkServer = "NO_LINK_SERVER";

// A readable text for a last error code (for diagnostics).
std::string DescribeHttpError(std::uint32_t code);

// One client per thread; Settings() and LastError() belong to it. Only the stop
// token may be used from another thread, to cancel a request in flight.
class HttpClient {
public:
    HttpSettings& Settings() { return settings_; }
    const HttpSettings& Settings() const { return settings_; }
    std::uint32_t LastError() const { return lastError_; }
    // The HTTP status of the latest request's answer, 0 when none came. Request itself
    // does not act on it.
    long LastStatus() const { return lastStatus_; }

    // Back to the reset values, last error and status 0.
    void Reset(const HttpSettings& settings = {});

    // Sends one request. method: "GET" or "POST" in any case; url: absolute http or
    // https. Returns the number of answer bytes placed at the start of response (never
    // more than its size; a longer answer is cut and leaves kHttpErrorResponseTooLong),
    // 0 with kNoLinkServer written at the start of response when no attempt reached
    // the server, or -1 when the request cannot be made (empty URL, other method,
    // unusable URL). A request whose stop token is triggered ends with
    // kHttpErrorCancelled.
    int Request(std::string_view method, std::string_view url, std::span<const std::byte> body,
                std::span<char> response, const std::stop_token& stop = {});

private:
    HttpSettings settings_;
    std::uint32_t lastError_ = kHttpErrorNone;
    long lastStatus_ = 0;
};

}  // namespace norvane::update
