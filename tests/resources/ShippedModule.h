// The shipped module, Quorvane.aip, loaded by the Windows loader from the directory of the test
// program, and read back through the loader's own resource functions.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace quorvane::test {

// Where the build puts the module: beside the test programs.
std::filesystem::path ShippedModulePath();

// Owns one LoadLibrary reference to the shipped module; FreeLibrary on destruction.
class ShippedModule {
  public:
    ShippedModule();
    ~ShippedModule();
    ShippedModule(const ShippedModule&) = delete;
    ShippedModule& operator=(const ShippedModule&) = delete;

    // Null when the loader refused the file; error() then holds GetLastError().
    HMODULE handle() const { return handle_; }
    DWORD error() const { return error_; }

    // The bytes of the resource of `type` and `name` in US English (language 1033), as
    // FindResourceEx/LoadResource/SizeofResource return them; they live as long as the module
    // stays loaded. Empty optional when the module has no such resource.
    std::optional<std::span<const std::uint8_t>> Resource(LPCWSTR type, LPCWSTR name) const;

  private:
    HMODULE handle_ = nullptr;
    DWORD error_ = 0;
};

// Base of tests that need the module loaded; fails the test at set-up when it would not load.
class ShippedModuleTest : public ::testing::Test {
  protected:
    void SetUp() override;

    ShippedModule module_;
};

// Little-endian integers at a byte offset, whatever its alignment.
std::uint16_t ReadLittleEndian16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t offset);

// ASCII text from UTF-16, for comparing the loader's wide strings with expected values; any
// character outside ASCII becomes '?'.
std::string Narrow(std::wstring_view text);

// US English, as the resources carry it.
inline constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

}  // namespace quorvane::test
