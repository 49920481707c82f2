// libFuzzer target: the real module driven through PluginMain by a byte string read as a
// sequence of host messages and host failures (hostsim/tool/MessageOrder.h), the invariants of
// the fault sweeps checked after every message. A broken invariant prints the sequence and
// aborts, which libFuzzer reports with the input that did it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/validate/MessageOrder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path kModule = hostsim::DefaultModulePath();
    // The module is built with coverage counters that libFuzzer clears before every input; held
    // here for the whole run, its code stays mapped when a sequence unloads it, so the counters
    // stay writable (an unload then only drops the session's own reference).
    static hostsim::ModuleLoader resident;
    if (!resident.IsLoaded() && !resident.Load(kModule)) {
        std::fprintf(stderr, "%s\n", resident.ErrorText().c_str());
        std::abort();
    }
    const auto steps = hostsim::tool::DecodeMessageSequence({data, size});
    const std::string broken = hostsim::tool::PlayMessageSequence(kModule, steps);
    if (!broken.empty()) {
        std::fprintf(stderr, "message order broke an invariant: %s\nsequence:\n%s", broken.c_str(),
                     hostsim::tool::DescribeMessageSequence(steps).c_str());
        std::abort();
    }
    return 0;
}
