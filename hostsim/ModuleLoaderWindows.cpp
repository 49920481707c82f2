// LoadLibraryW, GetProcAddress and FreeLibrary; the module's extent comes from its PE header.
#include <windows.h>

#include <string>

#include "hostsim/ModuleLoader.h"

namespace hostsim {
namespace {

std::string LastErrorText() {
    const DWORD code = GetLastError();
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
    return text;
}

std::size_t ImageSize(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.SizeOfImage;
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
    HMODULE module = LoadLibraryW(path.wstring().c_str());
    if (module == nullptr) {
        error_ = "cannot load " + path.string() + ": " + LastErrorText();
        return false;
    }
    handle_ = module;
    base_ = reinterpret_cast<std::uintptr_t>(module);
    size_ = ImageSize(module);
    return true;
}

void ModuleLoader::unload(AddressReuse reuse) {
    if (handle_ == nullptr) {
        return;
    }
    const std::uintptr_t oldBase = base_;
    const std::size_t oldSize = size_;
    FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
    base_ = 0;
    size_ = 0;
    releaseReservation();
    if (reuse != AddressReuse::ReserveOldRange) {
        return;
    }
    void* got = VirtualAlloc(reinterpret_cast<void*>(oldBase), oldSize, MEM_RESERVE, PAGE_NOACCESS);
    if (got == nullptr) {
        error_ = "cannot reserve the old range of " + path_.string() + ": " + LastErrorText();
        return;
    }
    reservation_ = got;
    reservationSize_ = oldSize;
}

void ModuleLoader::releaseReservation() {
    if (reservation_ != nullptr) {
        VirtualFree(reservation_, 0, MEM_RELEASE);
        reservation_ = nullptr;
        reservationSize_ = 0;
    }
}

ModuleLoader::Symbol ModuleLoader::findSymbol(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool ModuleLoader::isResident(const std::filesystem::path& path) {
    return GetModuleHandleW(path.wstring().c_str()) != nullptr;
}

std::filesystem::path DefaultModulePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::filesystem::current_path() / "Quorvane.aip";
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::filesystem::path(buffer).parent_path() / "Quorvane.aip";
}

}  // namespace hostsim
