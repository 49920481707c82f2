// LoadLibraryW, GetProcAddress and FreeLibrary; a library's extent comes from its PE header.
#include <windows.h>

#include <string>

#include "hostsim/loader/LibraryPlatform.h"

namespace hostsim::platform {
namespace {

// The system's text for the last error. With FORMAT_MESSAGE_IGNORE_INSERTS a text meant to
// name a file keeps its placeholder ("Bad EXE format for %1."); the file is named by the
// caller already, so each placeholder becomes "the file".
std::string LastErrorText() {
    const DWORD code = GetLastError();
    if (code == ERROR_BAD_EXE_FORMAT) {
        return "not a 64-bit Windows module (a program or library for another architecture, or "
               "no program at all)";
    }
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length != 0 && buffer != nullptr ? std::string(buffer, length)
                                                        : "error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    for (auto at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        std::size_t end = at + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end == at + 1) {
            ++at;
            continue;
        }
        text.replace(at, end - at, "the file");
        at += 8;
    }
    return text;
}

}  // namespace

const char* const kModuleFileName = "Quorvane.aip";

void* OpenLibrary(const std::filesystem::path& path, std::string& error) {
    HMODULE module = LoadLibraryW(path.wstring().c_str());
    if (module == nullptr) {
        error = LastErrorText();
    }
    return module;
}

void CloseLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

void* FindSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void ImageExtent(void* handle, std::uintptr_t& base, std::size_t& size) {
    const auto* image = static_cast<const unsigned char*>(handle);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    base = reinterpret_cast<std::uintptr_t>(handle);
    size = nt->OptionalHeader.SizeOfImage;
}

void* ReserveRange(std::uintptr_t base, std::size_t size, std::string& error) {
    void* got = VirtualAlloc(reinterpret_cast<void*>(base), size, MEM_RESERVE, PAGE_NOACCESS);
    if (got == nullptr) {
        error = LastErrorText();
    }
    return got;
}

void ReleaseRange(void* reservation, std::size_t) {
    VirtualFree(reservation, 0, MEM_RELEASE);
}

bool IsResident(const std::filesystem::path& path) {
    return GetModuleHandleW(path.wstring().c_str()) != nullptr;
}

std::filesystem::path ProgramPath() {
    // However long: a folder deeper than MAX_PATH included.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path ProgramDirectory() {
    return ProgramPath().parent_path();
}

}  // namespace hostsim::platform
