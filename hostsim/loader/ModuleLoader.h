// Loads a plug-in module's code into the process and unloads it again.
//
// One small class; the platform difference is only in the primitives it calls
// (LibraryPlatform.h: dlopen natively, LoadLibrary on Windows). Unloading really unloads: the
// module's code leaves the process, so a reload maps it afresh. To prove that a reloaded module is
// bound to its new code, Unload() can keep the old code's address range reserved, which makes the
// next load land somewhere else.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace hostsim {

// What happens to the address range of unloaded code.
enum class AddressReuse {
    Allowed,          // the next load may land at the same address
    ReserveOldRange,  // the range stays reserved (until the next unload or destruction)
};

class ModuleLoader {
  public:
    using Symbol = void (*)();

    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Loads the module file: `path` is a file path (a relative one is taken from the current
    // folder, never looked up on the system's search path). False on failure, with
    // ErrorText() naming the file and the reason. A loader that holds a module unloads it
    // first.
    bool Load(const std::filesystem::path& path);
    // Unloads the module's code; nothing when none is loaded. With ReserveOldRange the code's
    // address range is kept reserved; if that cannot be done ErrorText() says why.
    void Unload(AddressReuse reuse = AddressReuse::Allowed);
    bool IsLoaded() const { return handle_ != nullptr; }

    // The exported function `name`, or null when the module has none or none is loaded.
    Symbol FindSymbol(const char* name) const;

    // The file given to the last Load(), made absolute.
    const std::filesystem::path& Path() const { return path_; }
    // Why the last load or reservation failed; empty when it did not.
    const std::string& ErrorText() const { return error_; }
    // Where the module's image starts in memory; 0 when none is loaded.
    std::uintptr_t BaseAddress() const { return base_; }
    // Whether the old range is held reserved now.
    bool HoldsReservation() const { return reservation_ != nullptr; }

    // Whether the process maps the module file `path` at all (loaded by anyone).
    static bool IsResident(const std::filesystem::path& path);

  private:
    void ReleaseReservation();

    void* handle_ = nullptr;
    std::filesystem::path path_{};
    std::string error_{};
    std::uintptr_t base_ = 0;
    std::size_t size_ = 0;  // the image's extent from base_
    void* reservation_ = nullptr;
    std::size_t reservationSize_ = 0;
};

// The module that tests and the command line load by default:
// DefaultModulePathFor(the directory of the running program).
std::filesystem::path DefaultModulePath();

// The module file (Quorvane.so; Quorvane.aip on Windows) for a program in `programDirectory`:
//   1. beside the program, where a build tree, the Windows zip and the editor extension
//      folder keep it;
//   2. else PROGRAM_DIR/../lib/quorvane/, where an install under a prefix puts it (the Debian
//      package: /usr/bin/quorvane-host loads /usr/lib/quorvane/Quorvane.so), so that a
//      private module file can never sit on the PATH beside other programs;
//   3. else beside the program again: the path that a "cannot load" message then names is the
//      first place looked. Beside wins when both exist, so a build tree next to an install
//      always runs its own module. Never fails; whether the file loads is the loader's matter.
std::filesystem::path DefaultModulePathFor(const std::filesystem::path& programDirectory);

}  // namespace hostsim
