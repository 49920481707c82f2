// One "Grid by Row" run of the real module on a shuffled square grid of n artboards, through
// the stand-in host: wall time per run, and the host calls, comparisons and exchanges it made.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "hostsim/Host.h"
#include "hostsim/Session.h"

namespace {

hostsim::Document ShuffledGrid(int count) {
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    hostsim::Document document;
    for (int i = 0; i < count; ++i) {
        hostsim::Artboard artboard;
        artboard.name = "artboard " + std::to_string(i);
        const auto left = static_cast<float>((i % side) * 700);
        const auto top = static_cast<float>(-(i / side) * 900);
        artboard.bounds = {left, top, left + 612, top - 792};
        artboard.id = static_cast<std::uint64_t>(i + 1);
        document.artboards.push_back(artboard);
    }
    std::mt19937 random(7);
    std::shuffle(document.artboards.begin(), document.artboards.end(), random);
    return document;
}

void GridByRow(benchmark::State& state) {
    const hostsim::Document shuffled = ShuffledGrid(static_cast<int>(state.range(0)));
    hostsim::Host host;
    hostsim::Session session(host, hostsim::DefaultModulePath());
    if (session.Startup() != 0) {
        state.SkipWithError("the module did not start");
        return;
    }
    double calls = 0;
    double comparisons = 0;
    double exchanges = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host.OpenDocument(shuffled);
        host.Calls().Clear();
        state.ResumeTiming();
        if (session.ChooseMenuItem("Quorvane, Grid by Row") != 0) {
            state.SkipWithError("the command failed");
            break;
        }
        state.PauseTiming();
        const auto records = host.Calls().HostCalls();
        calls = static_cast<double>(records.size());
        const auto updates = std::count_if(records.begin(), records.end(), [](const auto& call) {
            return call.operation == "UpdateArtboard";
        });
        const auto bounds = std::count_if(records.begin(), records.end(), [](const auto& call) {
            return call.operation == "GetBounds";
        });
        exchanges = static_cast<double>(updates) / 2;
        // Each comparison reads two bounds; each exchange and each corner read before the
        // sort reads its own.
        comparisons = (static_cast<double>(bounds) - 2 * exchanges - state.range(0)) / 2;
        state.ResumeTiming();
    }
    session.Shutdown();
    state.counters["host_calls"] = calls;
    state.counters["comparisons"] = comparisons;
    state.counters["exchanges"] = exchanges;
}

BENCHMARK(GridByRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
