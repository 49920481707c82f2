// The operating system's side of loading a module: the few primitives ModuleLoader needs,
// implemented once per platform (LibraryPlatformPosix.cpp, LibraryPlatformWindows.cpp).
// Nothing else in the stand-in host calls the loader of the operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace hostsim::platform {

// The module file's name on this platform: "Quorvane.so" or "Quorvane.aip".
extern const char* const kModuleFileName;

// Loads the library; null on failure with `error` saying why (without the file's name).
void* OpenLibrary(const std::filesystem::path& path, std::string& error);
void CloseLibrary(void* handle);
void* FindSymbol(void* handle, const char* name);
// The address range the loaded library occupies; size 0 when it cannot be told.
void ImageExtent(void* handle, std::uintptr_t& base, std::size_t& size);
// Reserves [base, base + size) so that nothing is mapped there; null with `error` when the
// range is (still) in use.
void* ReserveRange(std::uintptr_t base, std::size_t size, std::string& error);
void ReleaseRange(void* reservation, std::size_t size);
// Whether the process has the library file mapped, loaded by anyone.
bool IsResident(const std::filesystem::path& path);
// The running program's own file, however long its path; empty when it cannot be told.
std::filesystem::path ProgramPath();
// The directory of the running program; empty when it cannot be told.
std::filesystem::path ProgramDirectory();

}  // namespace hostsim::platform
