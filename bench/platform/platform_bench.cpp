#include "platform/atomic_file.h"
#include "platform/diag.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Cost of a trace call on a hot path while tracing is off.
void BM_TraceDisabled(benchmark::State& state) {
    ::unsetenv("NORVANE_TRACE");
    norvane::platform::diag::ConfigureFromEnvironment();
    for (auto _ : state) {
        if (norvane::platform::diag::Enabled()) {
            norvane::platform::diag::Trace("never");
        }
    }
}
BENCHMARK(BM_TraceDisabled);

// Saving a profile-sized file with fsync and rename.
void BM_WriteFileAtomically(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "norvane-bench-atomic";
    std::filesystem::create_directories(folder);
    const std::string content(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        benchmark::DoNotOptimize(norvane::platform::WriteFileAtomically(folder / "profile.json", content));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteFileAtomically)->Arg(4 * 1024)->Arg(64 * 1024)->Unit(benchmark::kMicrosecond);

}  // namespace
