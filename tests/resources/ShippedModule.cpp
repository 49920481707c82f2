#include "tests/resources/ShippedModule.h"

#include <array>

namespace quorvane::test {

std::filesystem::path ShippedModulePath() {
    std::array<wchar_t, 32768> program{};
    const DWORD length =
        GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    return std::filesystem::path(std::wstring_view(program.data(), length)).parent_path() /
           L"Quorvane.aip";
}

ShippedModule::ShippedModule() {
    handle_ = LoadLibraryW(ShippedModulePath().c_str());
    if (handle_ == nullptr) {
        error_ = GetLastError();
    }
}

ShippedModule::~ShippedModule() {
    if (handle_ != nullptr) {
        FreeLibrary(handle_);
    }
}

std::optional<std::span<const std::uint8_t>> ShippedModule::Resource(LPCWSTR type,
                                                                     LPCWSTR name) const {
    HRSRC info = FindResourceExW(handle_, type, name, kUsEnglish);
    if (info == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(handle_, info);
    const void* data = loaded == nullptr ? nullptr : LockResource(loaded);
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::span(static_cast<const std::uint8_t*>(data), SizeofResource(handle_, info));
}

void ShippedModuleTest::SetUp() {
    ASSERT_NE(module_.handle(), nullptr) << "LoadLibrary(" << ShippedModulePath().string()
                                         << ") failed with error " << module_.error();
}

std::uint16_t ReadLittleEndian16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const wchar_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

}  // namespace quorvane::test
