// The platform-neutral part of ModuleLoader: what is held, and in which order things happen.
#include "hostsim/loader/ModuleLoader.h"

#include <system_error>

#include "hostsim/loader/LibraryPlatform.h"

namespace hostsim {

ModuleLoader::~ModuleLoader() {
    Unload();
    ReleaseReservation();
}

bool ModuleLoader::Load(const std::filesystem::path& path) {
    Unload();
    path_ = path;
    error_.clear();
    std::string why;
    handle_ = platform::OpenLibrary(path, why);
    if (handle_ == nullptr) {
        error_ = "cannot load " + path.string() + ": " + why;
        return false;
    }
    platform::ImageExtent(handle_, base_, size_);
    return true;
}

void ModuleLoader::Unload(AddressReuse reuse) {
    if (handle_ == nullptr) {
        return;
    }
    const std::uintptr_t oldBase = base_;
    const std::size_t oldSize = size_;
    platform::CloseLibrary(handle_);
    handle_ = nullptr;
    base_ = 0;
    size_ = 0;
    ReleaseReservation();
    if (reuse != AddressReuse::ReserveOldRange) {
        return;
    }
    if (oldSize == 0) {
        error_ = "cannot reserve the old range of " + path_.string() + ": its extent is unknown";
        return;
    }
    std::string why;
    reservation_ = platform::ReserveRange(oldBase, oldSize, why);
    if (reservation_ == nullptr) {
        error_ = "cannot reserve the old range of " + path_.string() + ": " + why;
        return;
    }
    reservationSize_ = oldSize;
}

void ModuleLoader::ReleaseReservation() {
    if (reservation_ != nullptr) {
        platform::ReleaseRange(reservation_, reservationSize_);
        reservation_ = nullptr;
        reservationSize_ = 0;
    }
}

ModuleLoader::Symbol ModuleLoader::FindSymbol(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Symbol>(platform::FindSymbol(handle_, name));
}

bool ModuleLoader::IsResident(const std::filesystem::path& path) {
    return platform::IsResident(path);
}

std::filesystem::path DefaultModulePath() {
    std::filesystem::path directory = platform::ProgramDirectory();
    if (directory.empty()) {
        directory = std::filesystem::current_path();
    }
    return DefaultModulePathFor(directory);
}

std::filesystem::path DefaultModulePathFor(const std::filesystem::path& programDirectory) {
    std::filesystem::path beside = programDirectory / platform::kModuleFileName;
    std::error_code error;
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    std::filesystem::path installed =
        programDirectory.parent_path() / "lib" / "quorvane" / platform::kModuleFileName;
    if (std::filesystem::exists(installed, error)) {
        return installed;
    }
    return beside;
}

}  // namespace hostsim
