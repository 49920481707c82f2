// The platform-neutral part of ModuleLoader: what is held, and in which order things happen.
#include "hostsim/loader/ModuleLoader.h"

#include <system_error>

#include "hostsim/loader/LibraryPlatform.h"

namespace hostsim {
namespace {

// A path in UTF-8 for messages, whatever the system's narrow code page.
std::string Utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// A module is named by a file path, never by a name for the system's loader to look up: a
// user's "libc.so.6" or "Quorvane.aip" is the file of that name in the current folder, not one
// on the loader's search path or beside the program. An absolute path is taken as it is.
std::filesystem::path FilePath(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute;
}

}  // namespace

ModuleLoader::~ModuleLoader() {
    Unload();
    ReleaseReservation();
}

bool ModuleLoader::Load(const std::filesystem::path& path) {
    Unload();
    path_ = FilePath(path);
    error_.clear();
    std::string why;
    handle_ = platform::OpenLibrary(path_, why);
    if (handle_ == nullptr) {
        error_ = "cannot load " + Utf8Name(path_) + ": " + why;
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
        error_ = "cannot reserve the old range of " + Utf8Name(path_) + ": its extent is unknown";
        return;
    }
    std::string why;
    reservation_ = platform::ReserveRange(oldBase, oldSize, why);
    if (reservation_ == nullptr) {
        error_ = "cannot reserve the old range of " + Utf8Name(path_) + ": " + why;
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
    return platform::IsResident(FilePath(path));
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
