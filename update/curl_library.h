#pragma once

#include <curl/curl.h>

namespace norvane::update {

// The libcurl functions the HTTP client calls. The library is loaded on the first request,
// so a program that never checks for updates does not map libcurl and its TLS libraries.
struct CurlApi {
    CURL* (*easy_init)();
    void (*easy_cleanup)(CURL*);
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    const char* (*easy_strerror)(CURLcode);
    void (*free)(void*);
    CURLM* (*multi_init)();
    CURLMcode (*multi_cleanup)(CURLM*);
    CURLMcode (*multi_add_handle)(CURLM*, CURL*);
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
    CURLMcode (*multi_perform)(CURLM*, int*);
    CURLMcode (*multi_poll)(CURLM*, curl_waitfd*, unsigned int, int, int*);
    CURLMcode (*multi_wakeup)(CURLM*);
    CURLMsg* (*multi_info_read)(CURLM*, int*);
    curl_slist* (*slist_append)(curl_slist*, const char*);
    void (*slist_free_all)(curl_slist*);
    CURLU* (*url)();
    void (*url_cleanup)(CURLU*);
    CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int);
    CURLUcode (*url_get)(const CURLU*, CURLUPart, char**, unsigned int);
};

// The loaded and initialised library, or null when it cannot be loaded or initialised.
// Thread-safe; the first call loads it.
const CurlApi* Curl();

// The shared object loaded ("libcurl.so.4").
inline constexpr const char* kCurlLibraryName = "libcurl.so.4";

}  // namespace norvane::update
