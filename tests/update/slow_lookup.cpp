#include "tests/update/slow_lookup.h"

#include <dlfcn.h>
#include <netdb.h>

#include <condition_variable>
#include <mutex>

namespace norvane::test {
namespace {

// A lookup left blocked by a failing test still ends, so the binary cannot hang.
constexpr std::chrono::seconds kLongestBlock{10};

struct LookupState {
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    int returned = 0;
    bool released = true;
};

LookupState& State() {
    static LookupState state;
    return state;
}

using LookupFunction = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

LookupFunction LibraryLookup() {
    static const auto function = reinterpret_cast<LookupFunction>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return function;
}

}  // namespace

SlowLookup::SlowLookup() {
    LookupState& state = State();
    const std::scoped_lock lock(state.mutex);
    state.started = 0;
    state.returned = 0;
    state.released = false;
}

SlowLookup::~SlowLookup() {
    LookupState& state = State();
    std::unique_lock lock(state.mutex);
    state.released = true;
    state.changed.notify_all();
    state.changed.wait_for(lock, kLongestBlock, [&state] { return state.returned == state.started; });
}

bool SlowLookup::WaitUntilStarted(std::chrono::milliseconds limit) const {
    LookupState& state = State();
    std::unique_lock lock(state.mutex);
    return state.changed.wait_for(lock, limit, [&state] { return state.started > 0; });
}

bool SlowLookup::Pending() const {
    LookupState& state = State();
    const std::scoped_lock lock(state.mutex);
    return state.started > state.returned;
}

}  // namespace norvane::test

// Takes the place of the C library's getaddrinfo for everything in this binary.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result) {
    if (node == nullptr || node != norvane::test::kSlowHost) {
        const norvane::test::LookupFunction library = norvane::test::LibraryLookup();
        return library != nullptr ? library(node, service, hints, result) : EAI_SYSTEM;
    }
    auto& state = norvane::test::State();
    std::unique_lock lock(state.mutex);
    ++state.started;
    state.changed.notify_all();
    state.changed.wait_for(lock, norvane::test::kLongestBlock, [&state] { return state.released; });
    ++state.returned;
    state.changed.notify_all();
    return EAI_AGAIN;
}
