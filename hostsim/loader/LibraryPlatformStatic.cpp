// A platform that loads nothing dynamically (the WebAssembly build): the module is linked into
// the program and driven through a Session that takes its entry function, so every attempt to
// open a module file fails and says so.
#include "hostsim/loader/LibraryPlatform.h"

namespace hostsim::platform {

const char* const kModuleFileName = "Quorvane.wasm";

void* OpenLibrary(const std::filesystem::path&, std::string& error) {
    error = "this build loads no module from a file: the module is linked into the program";
    return nullptr;
}

void CloseLibrary(void*) {}

void* FindSymbol(void*, const char*) {
    return nullptr;
}

void ImageExtent(void*, std::uintptr_t& base, std::size_t& size) {
    base = 0;
    size = 0;
}

void* ReserveRange(std::uintptr_t, std::size_t, std::string& error) {
    error = "this build maps no module, so it has no address range to reserve";
    return nullptr;
}

void ReleaseRange(void*, std::size_t) {}

bool IsResident(const std::filesystem::path&) {
    return false;
}

std::filesystem::path ProgramPath() {
    return {};
}

std::filesystem::path ProgramDirectory() {
    return {};
}

}  // namespace hostsim::platform
