#include "update/http_client.h"

#include "platform/diag.h"
#include "update/curl_library.h"
#include "update/proxy.h"
#include "update/url_credentials.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>

namespace norvane::update {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kContentType = "Content-Type: application/x-www-form-urlencoded";
constexpr std::string_view kAccept = "Accept:application/prs.Velto.v1+json";
// Longest single wait while nothing else bounds it; the loop re-checks its deadlines after each.
constexpr std::chrono::milliseconds kLongestPoll{1000};

// Handles exist only once Curl() has loaded the library.
struct EasyDeleter {
    void operator()(CURL* handle) const { Curl()->easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM* handle) const { Curl()->multi_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { Curl()->slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { Curl()->url_cleanup(url); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { Curl()->free(text); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

std::uint32_t CurlError(CURLcode code) {
    return kCurlErrorBase + static_cast<std::uint32_t>(code);
}

std::optional<std::string> UpperMethod(std::string_view method) {
    std::string upper(method);
    std::ranges::transform(upper, upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (upper == "GET" || upper == "POST") {
        return upper;
    }
    return std::nullopt;
}

struct UrlParts {
    std::string scheme;
    std::string host;
};

// Scheme and host of an absolute http or https URL.
std::optional<UrlParts> SplitUrl(const CurlApi& api, const std::string& url, CURLcode& error) {
    const UrlHandle handle(api.url());
    if (!handle) {
        error = CURLE_OUT_OF_MEMORY;
        return std::nullopt;
    }
    if (api.url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        error = CURLE_URL_MALFORMAT;
        return std::nullopt;
    }
    char* scheme = nullptr;
    char* host = nullptr;
    const bool haveScheme = api.url_get(handle.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK;
    const CurlText schemeText(scheme);
    const bool haveHost = api.url_get(handle.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
    const CurlText hostText(host);
    if (!haveScheme || !haveHost || host[0] == '\0') {
        error = CURLE_URL_MALFORMAT;
        return std::nullopt;
    }
    UrlParts parts{scheme, host};
    if (parts.scheme != "http" && parts.scheme != "https") {
        error = CURLE_UNSUPPORTED_PROTOCOL;
        return std::nullopt;
    }
    return parts;
}

// Collects the answer into the caller's buffer, never past its end.
struct ResponseSink {
    std::span<char> buffer;
    std::size_t used = 0;
    bool overflow = false;
};

std::size_t WriteAnswer(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<ResponseSink*>(user);
    const std::size_t length = size * count;
    const std::size_t take = std::min(length, sink->buffer.size() - sink->used);
    if (take > 0) {
        std::memcpy(sink->buffer.data() + sink->used, data, take);
        sink->used += take;
    }
    if (take < length) {
        sink->overflow = true;  // returning less than given ends the transfer
    }
    return take;
}

struct AttemptResult {
    CURLcode code = CURLE_OK;
    bool reached = false;  // the request went out to the server (or proxy)
};

long Milliseconds(std::chrono::milliseconds value) {
    return static_cast<long>(std::clamp<std::chrono::milliseconds::rep>(value.count(), 0, LONG_MAX));
}

// Runs the transfer of an easy handle, enforcing the send and receive timeouts as
// longest pauses and ending early when stop is requested.
AttemptResult Perform(const CurlApi& api, CURL* easy, const HttpSettings& settings, curl_off_t uploadSize,
                      const std::stop_token& stop) {
    AttemptResult result;
    const MultiHandle multi(api.multi_init());
    if (!multi || api.multi_add_handle(multi.get(), easy) != CURLM_OK) {
        result.code = CURLE_OUT_OF_MEMORY;
        return result;
    }
    {
        const std::stop_callback wake(stop, [&api, &multi] { api.multi_wakeup(multi.get()); });
        Clock::time_point lastActivity = Clock::now();
        curl_off_t lastUp = -1;
        curl_off_t lastDown = -1;
        long lastHeader = -1;
        for (;;) {
            int running = 0;
            if (api.multi_perform(multi.get(), &running) != CURLM_OK) {
                result.code = CURLE_OUT_OF_MEMORY;
                break;
            }
            long requestSize = 0;
            api.easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestSize);
            result.reached = result.reached || requestSize > 0;
            if (running == 0) {
                int queued = 0;
                const CURLMsg* message = api.multi_info_read(multi.get(), &queued);
                result.code = message != nullptr && message->msg == CURLMSG_DONE ? message->data.result
                                                                                 : CURLE_RECV_ERROR;
                break;
            }
            if (stop.stop_requested()) {
                result.code = CURLE_ABORTED_BY_CALLBACK;
                break;
            }
            std::chrono::milliseconds wait = kLongestPoll;
            if (result.reached) {
                curl_off_t up = 0;
                curl_off_t down = 0;
                long header = 0;
                api.easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
                api.easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
                api.easy_getinfo(easy, CURLINFO_HEADER_SIZE, &header);
                const Clock::time_point now = Clock::now();
                if (up != lastUp || down != lastDown || header != lastHeader) {
                    lastUp = up;
                    lastDown = down;
                    lastHeader = header;
                    lastActivity = now;
                }
                const std::chrono::milliseconds limit =
                    up < uploadSize ? settings.sendTimeout : settings.receiveTimeout;
                if (limit.count() > 0) {
                    const auto idle =
                        std::chrono::duration_cast<std::chrono::milliseconds>(now - lastActivity);
                    if (idle >= limit) {
                        result.code = CURLE_OPERATION_TIMEDOUT;
                        break;
                    }
                    wait = std::clamp(limit - idle + std::chrono::milliseconds(1),
                                      std::chrono::milliseconds(1), wait);
                }
            }
            // Returns early on socket activity, on libcurl's own timers and on wakeup.
            if (api.multi_poll(multi.get(), nullptr, 0, static_cast<int>(wait.count()), nullptr) !=
                CURLM_OK) {
                result.code = CURLE_OUT_OF_MEMORY;
                break;
            }
        }
    }
    api.multi_remove_handle(multi.get(), easy);
    return result;
}

}  // namespace

std::string DescribeHttpError(std::uint32_t code) {
    switch (code) {
        case kHttpErrorNone:
            return "no error";
        case kHttpErrorEmptyUrl:
            return "empty URL";
        case kHttpErrorInvalidMethod:
            return "method other than GET and POST";
        case kHttpErrorResponseTooLong:
            return "answer longer than the buffer";
        default:
            break;
    }
    if (code >= kCurlErrorBase && code < kCurlErrorBase + CURL_LAST) {
        if (const CurlApi* api = Curl()) {
            return api->easy_strerror(static_cast<CURLcode>(code - kCurlErrorBase));
        }
        if (code == kCurlErrorBase + CURLE_FAILED_INIT) {
            return std::string("the HTTP library (") + kCurlLibraryName + ") could not be loaded";
        }
    }
    return "error " + std::to_string(code);
}

void HttpClient::Reset(const HttpSettings& settings) {
    settings_ = settings;
    lastError_ = kHttpErrorNone;
    lastStatus_ = 0;
}

int HttpClient::Request(std::string_view method, std::string_view url, std::span<const std::byte> body,
                        std::span<char> response, const std::stop_token& stop) {
    lastError_ = kHttpErrorNone;
    lastStatus_ = 0;
    if (url.empty()) {
        lastError_ = kHttpErrorEmptyUrl;
        return -1;
    }
    const std::optional<std::string> verb = UpperMethod(method);
    if (!verb) {
        lastError_ = kHttpErrorInvalidMethod;
        return -1;
    }
    const CurlApi* loaded = Curl();
    if (loaded == nullptr) {
        lastError_ = CurlError(CURLE_FAILED_INIT);
        return -1;
    }
    const CurlApi& api = *loaded;
    const std::string target(url);
    CURLcode urlError = CURLE_OK;
    const std::optional<UrlParts> parts = SplitUrl(api, target, urlError);
    if (!parts) {
        lastError_ = CurlError(urlError);
        return -1;
    }
    response = response.first(std::min<std::size_t>(response.size(), INT_MAX));

    const EasyHandle easy(api.easy_init());
    const std::string contentLength = "Content-Length: " + std::to_string(body.size());
    HeaderList headers;
    for (const std::string_view line :
         {std::string_view(contentLength), kContentType, kAccept, std::string_view("Expect:")}) {
        curl_slist* next = api.slist_append(headers.get(), std::string(line).c_str());
        if (next == nullptr) {
            headers.reset();
            break;
        }
        static_cast<void>(headers.release());
        headers.reset(next);
    }
    if (!easy || !headers) {
        lastError_ = CurlError(CURLE_OUT_OF_MEMORY);
        return -1;
    }
    ResponseSink sink{response};
    CURL* h = easy.get();
    const long connectTimeout = Milliseconds(settings_.connectTimeout + settings_.resolveTimeout);
    bool configured = true;
    const auto set = [&configured](CURLcode code) { configured = configured && code == CURLE_OK; };
    set(api.easy_setopt(h, CURLOPT_URL, target.c_str()));
    set(api.easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(api.easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    // A stop or timeout during the name lookup leaves the resolver thread behind
    // instead of waiting for it.
    set(api.easy_setopt(h, CURLOPT_QUICK_EXIT, 1L));
    set(api.easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)));
    set(api.easy_setopt(h, CURLOPT_USERAGENT, settings_.userAgent.c_str()));
    set(api.easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeout));
    set(api.easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L));
    set(api.easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L));
    if (!settings_.caFile.empty()) {
        set(api.easy_setopt(h, CURLOPT_CAINFO, settings_.caFile.c_str()));
    }
    // The body goes out as given, for GET as well.
    set(api.easy_setopt(h, CURLOPT_POST, 1L));
    set(api.easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())));
    set(api.easy_setopt(h, CURLOPT_POSTFIELDS,
                        body.empty() ? "" : reinterpret_cast<const char*>(body.data())));
    if (*verb == "GET") {
        set(api.easy_setopt(h, CURLOPT_CUSTOMREQUEST, "GET"));
    }
    set(api.easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()));
    set(api.easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteAnswer));
    set(api.easy_setopt(h, CURLOPT_WRITEDATA, &sink));
    set(api.easy_setopt(h, CURLOPT_PROXY, ""));  // the first attempt goes direct
    if (!configured) {
        lastError_ = CurlError(CURLE_FAILED_INIT);
        return -1;
    }

    const auto uploadSize = static_cast<curl_off_t>(body.size());
    AttemptResult attempt = Perform(api, h, settings_, uploadSize, stop);
    if (!attempt.reached && attempt.code != CURLE_OK && attempt.code != CURLE_ABORTED_BY_CALLBACK) {
        if (const std::optional<std::string> proxy = ConfiguredProxy(parts->scheme, parts->host)) {
            if (platform::diag::Enabled()) {
                platform::diag::Trace("http: " + WithoutCredentials(target) + " not reached directly (" +
                                      DescribeHttpError(CurlError(attempt.code)) + "), trying proxy " +
                                      WithoutCredentials(*proxy));
            }
            sink = ResponseSink{response};
            if (api.easy_setopt(h, CURLOPT_PROXY, proxy->c_str()) == CURLE_OK &&
                api.easy_setopt(h, CURLOPT_NOPROXY, "") == CURLE_OK) {
                attempt = Perform(api, h, settings_, uploadSize, stop);
            }
        }
    }
    api.easy_getinfo(h, CURLINFO_RESPONSE_CODE, &lastStatus_);
    if (attempt.code == CURLE_OK) {
        return static_cast<int>(sink.used);
    }
    lastError_ = sink.overflow ? kHttpErrorResponseTooLong : CurlError(attempt.code);
    if (platform::diag::Enabled()) {
        platform::diag::Trace("http: " + *verb + " " + WithoutCredentials(target) + ": " +
                              DescribeHttpError(lastError_));
    }
    if (!attempt.reached && attempt.code != CURLE_ABORTED_BY_CALLBACK) {
        const std::size_t n = std::min(kNoLinkServer.size(), response.size());
        std::memcpy(response.data(), kNoLinkServer.data(), n);
        return 0;
    }
    return static_cast<int>(sink.used);
}

}  // namespace norvane::update
