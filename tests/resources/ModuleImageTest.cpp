// Quorvane.aip as a Windows image: a 64-bit DLL named Quorvane.aip whose only export is
// PluginMain and which needs nothing beyond Windows' own DLLs. Read from the headers of the
// image the loader mapped.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/resources/ShippedModule.h"

namespace quorvane::test {
namespace {

class ModuleImageTest : public ShippedModuleTest {
  protected:
    void SetUp() override {
        ShippedModuleTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        base_ = reinterpret_cast<const std::uint8_t*>(module_.handle());
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base_);
        ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
        nt_ = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base_ + dos->e_lfanew);
        ASSERT_EQ(nt_->Signature, IMAGE_NT_SIGNATURE);
    }

    template <typename T>
    const T* At(DWORD rva) const {
        return reinterpret_cast<const T*>(base_ + rva);
    }
    const char* Text(DWORD rva) const { return At<char>(rva); }

    const IMAGE_DATA_DIRECTORY& Directory(int entry) const {
        return nt_->OptionalHeader.DataDirectory[entry];
    }

    const std::uint8_t* base_ = nullptr;
    const IMAGE_NT_HEADERS64* nt_ = nullptr;
};

TEST_F(ModuleImageTest, IsA64BitDllCalledQuorvaneAip) {
    EXPECT_EQ(nt_->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_NE(nt_->FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    EXPECT_EQ(nt_->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);

    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length =
        GetModuleFileNameW(module_.handle(), path.data(), static_cast<DWORD>(path.size()));
    EXPECT_EQ(std::filesystem::path(std::wstring_view(path.data(), length)).filename(),
              L"Quorvane.aip");
}

TEST_F(ModuleImageTest, ExportsPluginMainOnlyUnderTheModuleName) {
    const IMAGE_DATA_DIRECTORY& directory = Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    ASSERT_NE(directory.VirtualAddress, 0u) << "no export table";
    const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(directory.VirtualAddress);

    EXPECT_STREQ(Text(exports->Name), "Quorvane.aip");
    ASSERT_EQ(exports->NumberOfFunctions, 1u);
    ASSERT_EQ(exports->NumberOfNames, 1u);
    EXPECT_STREQ(Text(At<DWORD>(exports->AddressOfNames)[0]), "PluginMain");

    const WORD ordinal = At<WORD>(exports->AddressOfNameOrdinals)[0];
    ASSERT_EQ(ordinal, 0);
    const DWORD functionRva = At<DWORD>(exports->AddressOfFunctions)[ordinal];
    const FARPROC pluginMain = GetProcAddress(module_.handle(), "PluginMain");
    ASSERT_NE(pluginMain, nullptr);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(pluginMain), base_ + functionRva);
}

// Every DLL a module may import: Windows' own. The C++ runtime, libgcc and winpthread are
// linked into the module, so their DLLs (libstdc++-6.dll, libgcc_s_seh-1.dll,
// libwinpthread-1.dll) must not appear.
const std::set<std::string>& WindowsSystemDlls() {
    static const std::set<std::string> kDlls = {
        "advapi32.dll", "bcrypt.dll",  "gdi32.dll",  "kernel32.dll", "msvcrt.dll", "ntdll.dll",
        "ole32.dll",    "shell32.dll", "user32.dll", "version.dll",  "ws2_32.dll",
    };
    return kDlls;
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

TEST_F(ModuleImageTest, ImportsFromWindowsSystemDllsOnly) {
    const IMAGE_DATA_DIRECTORY& directory = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(directory.VirtualAddress, 0u) << "no import table";

    std::vector<std::string> imported;
    for (const auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(directory.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        imported.push_back(Text(descriptor->Name));
    }
    EXPECT_FALSE(imported.empty());
    for (const std::string& dll : imported) {
        EXPECT_TRUE(WindowsSystemDlls().contains(Lowercase(dll)))
            << dll << " is not a Windows system DLL";
    }
    EXPECT_EQ(Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size, 0u) << "delay-loaded imports";
}

}  // namespace
}  // namespace quorvane::test
