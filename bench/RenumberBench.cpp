// The real module renumbering documents through the stand-in host, and the stand-in host's
// own cost per call.
//
// Renumber/<order>/<layout>/<n>: one run of "Grid by Row" or "Grid by Column" on n artboards,
// the host's log off as on the command line. Each run gets a new host and session (made and
// dropped outside the timing). Counters: the host calls, comparisons and exchanges of the
// last run, checked against the formula of host calls to the call (a run that breaks it, or
// whose result is out of order, fails the benchmark), nanoseconds per host call, and the
// process's peak resident memory so far (getrusage; the runs are registered from small to
// large n, so the figure after a run is that run's peak).
//
// View/<view>/shuffled-grid/<n>: one whole run as the command line makes it (load, start-up,
// the command, shut-down), exact or on a view (hostsim/tool/run/OrderView.h): the view's cost
// is its proxy, its corners and its permutation, beside the same run without one.
//
// HostCall/<log>: one GetBounds through the suite table, as the module makes it, with the
// host's log off, kept, or streamed to a discarding stream.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <ostream>
#include <streambuf>

#include "bench/Layouts.h"
#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"
#include "hostsim/suites/SuiteTables.h"
#include "hostsim/tool/run/OrderView.h"

namespace {

using quorvane::bench::Layout;
using quorvane::bench::MakeLayout;
namespace abi = hostsim::abi;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux counts kilobytes
}

// Whether `document` is in grid order: rows from the top down, left to right within a row
// (or columns from the left, top to bottom within a column).
bool InGridOrder(const hostsim::Document& document, bool byColumn) {
    for (std::size_t k = 1; k < document.artboards.size(); ++k) {
        const hostsim::Rect& a = document.artboards[k - 1].bounds;
        const hostsim::Rect& b = document.artboards[k].bounds;
        const bool inOrder = byColumn ? (a.left < b.left || (a.left == b.left && a.top >= b.top))
                                      : (a.top > b.top || (a.top == b.top && a.left <= b.left));
        if (!inOrder) {
            return false;
        }
    }
    return true;
}

void Renumber(benchmark::State& state, bool byColumn, Layout layout) {
    const int n = static_cast<int>(state.range(0));
    const hostsim::Document document = MakeLayout(n, layout, byColumn);
    const char* label = byColumn ? hostsim::menus::kByColumnLabel : hostsim::menus::kByRowLabel;
    std::int64_t calls = 0;
    std::int64_t comparisons = 0;
    std::int64_t exchanges = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const char* error = nullptr;
        {
            hostsim::Host host;
            host.OpenDocument(document);
            hostsim::Session session(host, hostsim::DefaultModulePath());
            if (session.Startup() != 0) {
                error = "the module did not start";
            }
            const std::int64_t before = host.Calls().HostCallCount();
            const auto count = [&](int entry) {
                return host.Calls().CountOf(hostsim::SuiteId::Artboard, entry);
            };
            const std::int64_t boundsBefore = count(abi::artboard::GetBounds::number);
            state.ResumeTiming();
            const abi::ErrorCode result = session.ChooseMenuItem(label);
            state.PauseTiming();
            calls = host.Calls().HostCallCount() - before;
            exchanges = count(abi::artboard::UpdateArtboard::number) / 2;
            // Each artboard's corner is read once before the sort, each comparison reads two
            // bounds, and each exchange reads one per side.
            const std::int64_t bounds = count(abi::artboard::GetBounds::number) - boundsBefore;
            comparisons = (bounds - n - 2 * exchanges) / 2;
            // 2 for the list and its count, 7 per corner read, 14 per comparison, 48 per
            // exchange, 1 to release the list.
            const std::int64_t formula = 2 + 7 * n + 14 * comparisons + 48 * exchanges + 1;
            if (error != nullptr) {
            } else if (result != 0) {
                error = "the command failed";
            } else if (calls != formula) {
                error = "the host calls differ from the formula";
            } else if (!InGridOrder(*host.CurrentDocument(), byColumn)) {
                error = "the result is not in grid order";
            }
            if (session.Shutdown() != 0 || !host.ProblemReport().empty()) {
                error = error != nullptr ? error : "the host saw the module break its contract";
            }
        }
        state.ResumeTiming();
        if (error != nullptr) {
            state.SkipWithError(error);
            break;
        }
    }
    state.counters["host_calls"] = static_cast<double>(calls);
    state.counters["comparisons"] = static_cast<double>(comparisons);
    state.counters["exchanges"] = static_cast<double>(exchanges);
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(calls) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = PeakMegabytes();
}

// A stream that drops what it is given, so that streaming costs only the formatting.
class NullBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

void View(benchmark::State& state, hostsim::ViewOptions options) {
    const int n = static_cast<int>(state.range(0));
    hostsim::tool::ModuleRunRequest request;
    request.module = hostsim::DefaultModulePath();
    request.document = MakeLayout(n, Layout::ShuffledGrid, false);
    request.choose = hostsim::menus::kByRowLabel;
    for (auto _ : state) {
        const auto result = hostsim::tool::RunModuleInView(request, options);
        if (!result.failure.empty() || !result.document) {
            state.SkipWithError("the run failed");
            break;
        }
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

enum class Log { Off, Kept, Streamed };

void HostCall(benchmark::State& state, Log log) {
    hostsim::Host host;
    NullBuffer buffer;
    std::ostream nowhere(&buffer);
    if (log == Log::Kept) {
        host.Calls().Enable();
    } else if (log == Log::Streamed) {
        host.Calls().StreamTo(&nowhere);
    }
    host.OpenDocument(MakeLayout(4, Layout::ShuffledGrid, false));
    const abi::SuiteTable& table = hostsim::TableOf(hostsim::SuiteId::Artboard);
    abi::Handle list = nullptr;
    abi::Handle set = nullptr;
    abi::EntryOf<abi::artboard::AcquireArtboardList>(table)(&list);
    abi::EntryOf<abi::artboard::GetArtboardAttributes>(table)(&list, 0, &set);
    const auto getBounds = abi::EntryOf<abi::artboard::GetBounds>(table);
    abi::BoundsRect bounds{};
    std::int64_t sinceCleared = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getBounds(&set, &bounds));
        if (++sinceCleared == 100000) {  // a kept log is cleared now and then, as tests do
            host.Calls().Clear();
            sinceCleared = 0;
        }
    }
    abi::EntryOf<abi::artboard::DisposeAttributes>(table)(&set);
    abi::EntryOf<abi::artboard::ReleaseArtboardList>(table)(&list);
    if (!host.ProblemReport().empty()) {
        state.SkipWithError("the host saw a problem");
    }
}

void RegisterAll() {
    const Layout layouts[] = {Layout::ShuffledGrid, Layout::Random, Layout::InOrder,
                              Layout::Reversed};
    for (const int n : {100, 1000, 10000, 50000}) {
        for (const bool byColumn : {false, true}) {
            for (const Layout layout : layouts) {
                const std::string name = std::string("Renumber/") +
                                         (byColumn ? "column/" : "row/") +
                                         quorvane::bench::LayoutName(layout);
                benchmark::RegisterBenchmark(name.c_str(), Renumber, byColumn, layout)
                    ->Arg(n)
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(n <= 100    ? 20
                                 : n <= 1000 ? 5
                                             : 1);
            }
        }
    }
    const std::pair<const char*, hostsim::ViewOptions> views[] = {
        {"exact", {}},
        {"tolerance-2", {false, 2, false, false}},
        {"right-to-left", {false, 0, true, false}},
        {"bottom-up", {false, 0, false, true}}};
    for (const int n : {10000, 50000}) {
        for (const auto& [name, options] : views) {
            benchmark::RegisterBenchmark((std::string("View/") + name + "/shuffled-grid").c_str(),
                                         View, options)
                ->Arg(n)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
        }
    }
    // After the runs, so that a kept log does not raise their peak memory.
    const std::pair<const char*, Log> logs[] = {
        {"off", Log::Off}, {"kept", Log::Kept}, {"streamed", Log::Streamed}};
    for (const auto& [name, log] : logs) {
        benchmark::RegisterBenchmark((std::string("HostCall/log-") + name).c_str(), HostCall, log);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
