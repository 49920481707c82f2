// The version resource of Quorvane.aip (type 16, id 1), read the way Windows shows a file's
// properties: GetFileVersionInfo and VerQueryValue on the file, plus a walk of the raw resource
// to see that nothing else is in it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/resources/ShippedModule.h"

namespace quorvane::test {
namespace {

class VersionResourceTest : public ShippedModuleTest {
  protected:
    void SetUp() override {
        ShippedModuleTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        const std::wstring path = ShippedModulePath().wstring();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version information, error " << GetLastError();
        info_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info_.data()));
    }

    // The value at `subBlock`, or an empty span when VerQueryValue finds none.
    std::span<const std::uint8_t> Query(const std::wstring& subBlock, UINT unit) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(info_.data(), subBlock.c_str(), &value, &length) || value == nullptr) {
            return {};
        }
        return {static_cast<const std::uint8_t*>(value), length * unit};
    }

    // A string of the "040904e4" table, without its terminating zero; nullopt when missing.
    std::optional<std::string> String(const std::wstring& key) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring subBlock = L"\\StringFileInfo\\040904e4\\" + key;
        if (!VerQueryValueW(info_.data(), subBlock.c_str(), &value, &length) || value == nullptr) {
            return std::nullopt;
        }
        std::wstring_view text(static_cast<const wchar_t*>(value), length);
        if (!text.empty() && text.back() == L'\0') {
            text.remove_suffix(1);
        }
        return Narrow(text);
    }

    std::vector<std::uint8_t> info_;
};

TEST_F(VersionResourceTest, IsResourceOneInUsEnglish) {
    EXPECT_TRUE(module_.Resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1)).has_value())
        << "no version resource 1 in language 1033";
}

TEST_F(VersionResourceTest, FixedPartDescribesVersion0100OfA32BitWindowsDll) {
    const auto fixed = Query(L"\\", 1);
    ASSERT_EQ(fixed.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixed.data(), sizeof info);

    struct Field {
        const char* name;
        DWORD actual;
        DWORD expected;
    };
    const std::array fields = {
        Field{"signature", info.dwSignature, 0xFEEF04BD},
        Field{"file version, most significant", info.dwFileVersionMS, 0x00000001},
        Field{"file version, least significant", info.dwFileVersionLS, 0x00000000},
        Field{"product version, most significant", info.dwProductVersionMS, 0x00000001},
        Field{"product version, least significant", info.dwProductVersionLS, 0x00000000},
        Field{"flags mask", info.dwFileFlagsMask, 0x3F},
        Field{"flags", info.dwFileFlags, 0},
        Field{"operating system (32-bit Windows)", info.dwFileOS, 4},
        Field{"file type (dynamic-link library)", info.dwFileType, 2},
        Field{"subtype", info.dwFileSubtype, 0},
        Field{"date, most significant", info.dwFileDateMS, 0},
        Field{"date, least significant", info.dwFileDateLS, 0},
    };
    for (const Field& field : fields) {
        EXPECT_EQ(field.actual, field.expected) << field.name;
    }
}

struct ExpectedString {
    const wchar_t* key;
    const char* value;
};

constexpr std::array kExpectedStrings = {
    ExpectedString{L"CompanyName", "The Quorvane developers"},
    ExpectedString{L"FileDescription", "Quorvane artboard renumbering plug-in, 64-bit Windows"},
    ExpectedString{L"FileVersion", "0.1.0.0"},
    ExpectedString{L"InternalName", "Quorvane"},
    ExpectedString{L"LegalCopyright", "Copyright (C) 2026 The Quorvane developers. MIT License."},
    ExpectedString{L"LegalTrademarks", "Copyright (C) 2026 The Quorvane developers. MIT License."},
    ExpectedString{L"OriginalFilename", "Quorvane.aip"},
    ExpectedString{L"ProductName", "Quorvane"},
    ExpectedString{L"ProductVersion", "0.1.0.0"},
};

TEST_F(VersionResourceTest, StringTableHoldsEachKeyWithItsValue) {
    for (const ExpectedString& expected : kExpectedStrings) {
        SCOPED_TRACE(Narrow(expected.key));
        const auto value = String(expected.key);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, expected.value);
    }
}

TEST_F(VersionResourceTest, TranslationIsUsEnglishInWindowsLatin1) {
    const auto translation = Query(L"\\VarFileInfo\\Translation", 1);
    ASSERT_EQ(translation.size(), 4u) << "exactly one language and code page pair";
    EXPECT_EQ(ReadLittleEndian16(translation, 0), 0x0409) << "language";
    EXPECT_EQ(ReadLittleEndian16(translation, 2), 0x04E4) << "code page";
}

// One node of the version resource's tree: a length, a value length and type, a UTF-16 key,
// a value and children, each part aligned to 4 bytes from the start of the resource.
struct VersionNode {
    std::string key;
    std::vector<VersionNode> children;
};

std::size_t AlignToFour(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

// Parses the node at `offset`; false when its lengths don't fit inside `end`.
bool ParseVersionNode(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t end,
                      VersionNode& node) {
    if (offset + 6 > end) {
        return false;
    }
    const std::size_t length = ReadLittleEndian16(bytes, offset);
    const std::size_t valueLength = ReadLittleEndian16(bytes, offset + 2);
    const bool isText = ReadLittleEndian16(bytes, offset + 4) == 1;
    const std::size_t nodeEnd = offset + length;
    if (length < 6 || nodeEnd > end) {
        return false;
    }
    std::size_t at = offset + 6;
    std::wstring key;
    for (; at + 2 <= nodeEnd; at += 2) {
        const std::uint16_t c = ReadLittleEndian16(bytes, at);
        if (c == 0) {
            break;
        }
        key.push_back(static_cast<wchar_t>(c));
    }
    node.key = Narrow(key);
    at = AlignToFour(at + 2);
    at = AlignToFour(at + valueLength * (isText ? 2 : 1));
    while (at < nodeEnd) {
        VersionNode child;
        if (!ParseVersionNode(bytes, at, nodeEnd, child)) {
            return false;
        }
        at = AlignToFour(at + ReadLittleEndian16(bytes, at));
        node.children.push_back(std::move(child));
    }
    return true;
}

std::vector<std::string> Keys(const VersionNode& node) {
    std::vector<std::string> keys;
    for (const VersionNode& child : node.children) {
        keys.push_back(child.key);
    }
    return keys;
}

TEST_F(VersionResourceTest, ResourceHoldsOneStringTableWithTheNineKeysAndOneTranslation) {
    const auto resource = module_.Resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1));
    ASSERT_TRUE(resource.has_value());
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(*resource, 0, resource->size(), root));
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(Keys(root), (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));

    const VersionNode& stringFileInfo = root.children[0];
    ASSERT_EQ(Keys(stringFileInfo), std::vector<std::string>{"040904e4"});
    std::vector<std::string> keys = Keys(stringFileInfo.children[0]);
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> expected;
    for (const ExpectedString& string : kExpectedStrings) {
        expected.push_back(Narrow(string.key));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keys, expected);

    EXPECT_EQ(Keys(root.children[1]), std::vector<std::string>{"Translation"});
}

}  // namespace
}  // namespace quorvane::test
