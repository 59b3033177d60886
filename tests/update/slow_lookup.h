#pragma once

#include <chrono>
#include <string_view>

// A name whose lookup hangs: linked into a test binary, slow_lookup.cpp stands in for
// getaddrinfo there. A lookup of kSlowHost blocks until the SlowLookup object goes (or
// a deadline passes) and then fails; every other name goes to the C library.
namespace norvane::test {

inline constexpr std::string_view kSlowHost = "slow-lookup.norvane.test";

class SlowLookup {
public:
    SlowLookup();
    // Releases the blocked lookups and waits (bounded) until they have returned.
    ~SlowLookup();
    SlowLookup(const SlowLookup&) = delete;
    SlowLookup& operator=(const SlowLookup&) = delete;

    // True once a lookup of kSlowHost has started, waiting at most limit.
    bool WaitUntilStarted(std::chrono::milliseconds limit) const;
    // True while a lookup of kSlowHost has started and not returned.
    bool Pending() const;
};

}  // namespace norvane::test
