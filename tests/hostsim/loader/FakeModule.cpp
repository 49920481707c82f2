// A module file for the loader's own tests: it keeps a counter in its static data, which
// starts again from zero only if the code was really unloaded and loaded afresh.
#include <cstring>

#include "hostsim/abi/HostAbi.h"

#if defined(_WIN32)
#define FAKE_MODULE_EXPORT __declspec(dllexport)
#else
#define FAKE_MODULE_EXPORT __attribute__((visibility("default")))
#endif

namespace {
int gMessagesCounted = 0;
}

// Caller "Test", selector "Count": answers how many such messages this copy of the code has
// seen. Every other message: 0.
extern "C" FAKE_MODULE_EXPORT hostsim::abi::ErrorCode PluginMain(const char* caller,
                                                                 const char* selector, void*) {
    if (std::strcmp(caller, "Test") == 0 && std::strcmp(selector, "Count") == 0) {
        return ++gMessagesCounted;
    }
    return 0;
}
