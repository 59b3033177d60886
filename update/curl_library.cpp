#include "update/curl_library.h"

#include "platform/diag.h"

#include <dlfcn.h>

#include <memory>
#include <string>

namespace norvane::update {
namespace {

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

class LoadedCurl {
public:
    LoadedCurl() : library_(dlopen(kCurlLibraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
        if (!library_) {
            Trace(std::string("http: ") + kCurlLibraryName + " not loaded: " + Describe(dlerror()));
            return;
        }
        void* lib = library_.get();
        CURLcode (*globalInit)(long) = nullptr;
        const bool resolved =
            Resolve(lib, "curl_global_init", globalInit) && Resolve(lib, "curl_global_cleanup", cleanup_) &&
            Resolve(lib, "curl_easy_init", api_.easy_init) &&
            Resolve(lib, "curl_easy_cleanup", api_.easy_cleanup) &&
            Resolve(lib, "curl_easy_setopt", api_.easy_setopt) &&
            Resolve(lib, "curl_easy_getinfo", api_.easy_getinfo) &&
            Resolve(lib, "curl_easy_strerror", api_.easy_strerror) && Resolve(lib, "curl_free", api_.free) &&
            Resolve(lib, "curl_multi_init", api_.multi_init) &&
            Resolve(lib, "curl_multi_cleanup", api_.multi_cleanup) &&
            Resolve(lib, "curl_multi_add_handle", api_.multi_add_handle) &&
            Resolve(lib, "curl_multi_remove_handle", api_.multi_remove_handle) &&
            Resolve(lib, "curl_multi_perform", api_.multi_perform) &&
            Resolve(lib, "curl_multi_poll", api_.multi_poll) &&
            Resolve(lib, "curl_multi_wakeup", api_.multi_wakeup) &&
            Resolve(lib, "curl_multi_info_read", api_.multi_info_read) &&
            Resolve(lib, "curl_slist_append", api_.slist_append) &&
            Resolve(lib, "curl_slist_free_all", api_.slist_free_all) && Resolve(lib, "curl_url", api_.url) &&
            Resolve(lib, "curl_url_cleanup", api_.url_cleanup) &&
            Resolve(lib, "curl_url_set", api_.url_set) && Resolve(lib, "curl_url_get", api_.url_get);
        if (!resolved) {
            Trace(std::string("http: ") + kCurlLibraryName + " lacks " + Describe(dlerror()));
            return;
        }
        ready_ = globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
    ~LoadedCurl() {
        if (ready_) {
            cleanup_();
        }
    }
    LoadedCurl(const LoadedCurl&) = delete;
    LoadedCurl& operator=(const LoadedCurl&) = delete;

    const CurlApi* Api() const { return ready_ ? &api_ : nullptr; }

private:
    static std::string Describe(const char* error) { return error != nullptr ? error : "a function"; }
    static void Trace(const std::string& text) {
        if (platform::diag::Enabled()) {
            platform::diag::Trace(text);
        }
    }

    LibraryHandle library_;
    CurlApi api_{};
    void (*cleanup_)() = nullptr;
    bool ready_ = false;
};

}  // namespace

const CurlApi* Curl() {
    static const LoadedCurl loaded;
    return loaded.Api();
}

}  // namespace norvane::update
