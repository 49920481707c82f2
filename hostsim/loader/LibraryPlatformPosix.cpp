// dlopen, dlsym and dlclose; a library's address range comes from its program headers.
#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "hostsim/loader/LibraryPlatform.h"

namespace hostsim::platform {
namespace {

struct Extent {
    std::uintptr_t bias = 0;
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

// The page-aligned range that the loaded object with load bias `extent->bias` occupies.
int FindExtent(dl_phdr_info* info, std::size_t, void* data) {
    auto* extent = static_cast<Extent*>(data);
    if (info->dlpi_addr != extent->bias || info->dlpi_name == nullptr || info->dlpi_name[0] == 0) {
        return 0;
    }
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    std::uintptr_t begin = UINTPTR_MAX;
    std::uintptr_t end = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) {
            continue;
        }
        begin = std::min<std::uintptr_t>(begin, info->dlpi_addr + header.p_vaddr);
        end = std::max<std::uintptr_t>(end, info->dlpi_addr + header.p_vaddr + header.p_memsz);
    }
    if (end == 0) {
        return 0;
    }
    extent->begin = begin & ~(page - 1);
    extent->end = (end + page - 1) & ~(page - 1);
    return 1;
}

}  // namespace

const char* const kModuleFileName = "Quorvane.so";

void* OpenLibrary(const std::filesystem::path& path, std::string& error) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "unknown reason";
    }
    return handle;
}

void CloseLibrary(void* handle) {
    dlclose(handle);
}

void* FindSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void ImageExtent(void* handle, std::uintptr_t& base, std::size_t& size) {
    base = 0;
    size = 0;
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
        return;
    }
    Extent extent;
    extent.bias = map->l_addr;
    if (dl_iterate_phdr(&FindExtent, &extent) != 0) {
        base = extent.begin;
        size = extent.end - extent.begin;
    }
}

void* ReserveRange(std::uintptr_t base, std::size_t size, std::string& error) {
    void* wanted = reinterpret_cast<void*>(base);
    void* got = mmap(wanted, size, PROT_NONE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
    if (got == MAP_FAILED) {
        error = "it is still mapped (the module did not unload)";
        return nullptr;
    }
    if (got != wanted) {  // a kernel that ignores MAP_FIXED_NOREPLACE put it elsewhere
        munmap(got, size);
        error = "it is still mapped";
        return nullptr;
    }
    return got;
}

void ReleaseRange(void* reservation, std::size_t size) {
    munmap(reservation, size);
}

bool IsResident(const std::filesystem::path& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);  // only drops the reference that RTLD_NOLOAD took
    return true;
}

std::filesystem::path ProgramPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program;
}

std::filesystem::path ProgramDirectory() {
    return ProgramPath().parent_path();
}

}  // namespace hostsim::platform
