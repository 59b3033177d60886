#include "update/update_service.h"

#include "tests/update/reference_server.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using norvane::update::ParseUpdateAnswer;

constexpr std::string_view kAnswer =
    R"({"device_id": 1, "name": "MS", "version": "0106", "version_name": "Mouse firmware 1.06",)"
    R"( "path": "http://127.0.0.1:8780/packages/TX20M1A_MS_0106.bin"})";

// Reading a typical answer, and one padded to nearly the whole buffer.
void BM_ParseUpdateAnswer(benchmark::State& state) {
    std::string answer(kAnswer);
    answer.resize(static_cast<std::size_t>(state.range(0)), ' ');
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseUpdateAnswer(answer, 0x0105, true));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseUpdateAnswer)->Arg(static_cast<int>(kAnswer.size()))->Arg(100000);

// One whole query against the reference server over loopback (new connection each time;
// the Python server's share dominates).
void BM_UpdateQueryLoopback(benchmark::State& state) {
    norvane::test::ReferenceServer server;
    if (!server.Running()) {
        state.SkipWithError("reference server did not start");
        return;
    }
    norvane::update::UpdateService service(server.ServiceUrl());
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.UpdateQuery("VELTO_1_TX20M1A_MS_1", 0x0105, true));
    }
}
BENCHMARK(BM_UpdateQueryLoopback)->Unit(benchmark::kMillisecond);

}  // namespace
