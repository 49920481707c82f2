// dlopen, dlsym and dlclose; the module's address range comes from its program headers.
#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "hostsim/ModuleLoader.h"

namespace hostsim {
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

ModuleLoader::~ModuleLoader() {
    unload();
    releaseReservation();
}

bool ModuleLoader::load(const std::filesystem::path& path) {
    unload();
    path_ = path;
    error_.clear();
    dlerror();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        error_ = "cannot load " + path.string() + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    link_map* map = nullptr;
    if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr) {
        Extent extent;
        extent.bias = map->l_addr;
        if (dl_iterate_phdr(&FindExtent, &extent) != 0) {
            base_ = extent.begin;
            size_ = extent.end - extent.begin;
        }
    }
    return true;
}

void ModuleLoader::unload(AddressReuse reuse) {
    if (handle_ == nullptr) {
        return;
    }
    const std::uintptr_t oldBase = base_;
    const std::size_t oldSize = size_;
    dlclose(handle_);
    handle_ = nullptr;
    base_ = 0;
    size_ = 0;
    releaseReservation();
    if (reuse != AddressReuse::ReserveOldRange) {
        return;
    }
    if (oldSize == 0) {
        error_ = "cannot reserve the old range of " + path_.string() + ": its extent is unknown";
        return;
    }
    void* wanted = reinterpret_cast<void*>(oldBase);
    void* got = mmap(wanted, oldSize, PROT_NONE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
    if (got == MAP_FAILED) {
        error_ = "cannot reserve the old range of " + path_.string() +
                 ": it is still mapped (the module did not unload)";
        return;
    }
    if (got != wanted) {  // a kernel that ignores MAP_FIXED_NOREPLACE put it elsewhere
        munmap(got, oldSize);
        error_ = "cannot reserve the old range of " + path_.string() + ": it is still mapped";
        return;
    }
    reservation_ = got;
    reservationSize_ = oldSize;
}

void ModuleLoader::releaseReservation() {
    if (reservation_ != nullptr) {
        munmap(reservation_, reservationSize_);
        reservation_ = nullptr;
        reservationSize_ = 0;
    }
}

ModuleLoader::Symbol ModuleLoader::findSymbol(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Symbol>(dlsym(handle_, name));
}

bool ModuleLoader::isResident(const std::filesystem::path& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);  // only drops the reference that RTLD_NOLOAD took
    return true;
}

std::filesystem::path DefaultModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::current_path() : program.parent_path()) / "Quorvane.so";
}

}  // namespace hostsim
