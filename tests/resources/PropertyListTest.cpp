// The plug-in property list as the host reads it: resource "PIPL" 16000 of Quorvane.aip, taken
// from the Windows loader and walked record by record. The expected values here are written
// out independently of the description the build renders the resource from.
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

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kRecordHeaderSize = 16;
constexpr std::size_t kListSize = 106;

// 'ADBE', 'kind', ... : the first character is the most significant byte.
constexpr std::uint32_t kVendorCode = 0x41444245;

// One property record found by walking the list.
struct Record {
    std::size_t offset = 0;
    std::uint32_t vendor = 0;
    std::uint32_t key = 0;
    std::uint32_t id = 0;
    std::uint32_t length = 0;
};

// Walks the list the way the host does: the header's count of records, the first at offset 10,
// each next one 16 bytes plus its data length further on. Stops early at a record that would
// run past the end. `end` is where the record after the last one would begin.
struct Walk {
    std::vector<Record> records;
    std::size_t end = 0;
};

Walk WalkList(std::span<const std::uint8_t> list) {
    Walk walk;
    if (list.size() < kHeaderSize) {
        return walk;
    }
    const std::uint32_t count = ReadLittleEndian32(list, 6);
    std::size_t offset = kHeaderSize;
    for (std::uint32_t i = 0; i < count && offset + kRecordHeaderSize <= list.size(); ++i) {
        Record record;
        record.offset = offset;
        record.vendor = ReadLittleEndian32(list, offset);
        record.key = ReadLittleEndian32(list, offset + 4);
        record.id = ReadLittleEndian32(list, offset + 8);
        record.length = ReadLittleEndian32(list, offset + 12);
        if (offset + kRecordHeaderSize + record.length > list.size()) {
            break;
        }
        walk.records.push_back(record);
        offset += kRecordHeaderSize + record.length;
    }
    walk.end = offset;
    return walk;
}

class PropertyListTest : public ShippedModuleTest {
  protected:
    void SetUp() override {
        ShippedModuleTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        const auto resource = module_.Resource(L"PIPL", MAKEINTRESOURCEW(16000));
        ASSERT_TRUE(resource.has_value()) << "no resource \"PIPL\" 16000 in language 1033";
        list_ = *resource;
    }

    std::span<const std::uint8_t> list_;
};

struct ExpectedRecord {
    std::size_t offset;
    const char* key;
    std::uint32_t keyCode;
    std::uint32_t length;
};

constexpr std::array kExpectedRecords = {
    ExpectedRecord{10, "kind", 0x6B696E64, 4},
    ExpectedRecord{30, "ivrs", 0x69767273, 4},
    ExpectedRecord{50, "wx86", 0x77783836, 12},
    ExpectedRecord{78, "pinm", 0x70696E6D, 12},
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<std::uintptr_t>*>(names)->push_back(
        reinterpret_cast<std::uintptr_t>(name));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

TEST_F(PropertyListTest, ModuleCarriesExactlyOneListOf106BytesInUsEnglish) {
    EXPECT_EQ(list_.size(), kListSize);

    std::vector<std::uintptr_t> names;
    EnumResourceNamesW(module_.handle(), L"PIPL", CollectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, std::vector<std::uintptr_t>{16000}) << "the only PIPL is id 16000";

    std::vector<WORD> languages;
    EnumResourceLanguagesW(module_.handle(), L"PIPL", MAKEINTRESOURCEW(16000), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{1033});
}

TEST_F(PropertyListTest, HeaderHoldsReservedWordListVersionZeroAndFourProperties) {
    EXPECT_EQ(ReadLittleEndian16(list_, 0), 1) << "reserved word";
    EXPECT_EQ(ReadLittleEndian32(list_, 2), 0u) << "list version";
    EXPECT_EQ(ReadLittleEndian32(list_, 6), 4u) << "number of properties";
}

TEST_F(PropertyListTest, WalkFromOffsetTenVisitsFourRecordsAndEndsAtTheLastByte) {
    const Walk walk = WalkList(list_);

    std::vector<std::size_t> offsets;
    for (const Record& record : walk.records) {
        offsets.push_back(record.offset);
    }
    EXPECT_EQ(offsets, (std::vector<std::size_t>{10, 30, 50, 78}));
    EXPECT_EQ(walk.end, list_.size()) << "the last record ends at the list's last byte";
}

TEST_F(PropertyListTest, RecordsCarryTheirKeysInOrderUnderVendorAdbeWithIdZero) {
    const Walk walk = WalkList(list_);
    ASSERT_EQ(walk.records.size(), kExpectedRecords.size());
    for (std::size_t i = 0; i < kExpectedRecords.size(); ++i) {
        const ExpectedRecord& expected = kExpectedRecords[i];
        const Record& record = walk.records[i];
        SCOPED_TRACE(expected.key);
        EXPECT_EQ(record.offset, expected.offset);
        EXPECT_EQ(record.vendor, kVendorCode);
        EXPECT_EQ(record.key, expected.keyCode);
        EXPECT_EQ(record.id, 0u);
    }
}

TEST_F(PropertyListTest, LengthsAreMultiplesOfFourAndEqualTheDataThatFollows) {
    const Walk walk = WalkList(list_);
    ASSERT_EQ(walk.records.size(), kExpectedRecords.size());
    for (std::size_t i = 0; i < kExpectedRecords.size(); ++i) {
        const Record& record = walk.records[i];
        SCOPED_TRACE(kExpectedRecords[i].key);
        EXPECT_EQ(record.length % 4, 0u);
        EXPECT_EQ(record.length, kExpectedRecords[i].length);
        // The data runs from after the record's 16 bytes up to the next record or the end.
        const std::size_t next =
            i + 1 < walk.records.size() ? walk.records[i + 1].offset : list_.size();
        EXPECT_EQ(record.offset + kRecordHeaderSize + record.length, next);
    }
}

// A four-character code at an offset: its characters, and its value as the host defines it
// (first character most significant).
struct StoredCode {
    std::size_t offset;
    const char* text;
    std::uint32_t value;
};

TEST_F(PropertyListTest, FourCharacterCodesMatchOnlyAsLittleEndianIntegersAndReadReversed) {
    const std::array codes = {
        StoredCode{10, "ADBE", kVendorCode}, StoredCode{14, "kind", 0x6B696E64},
        StoredCode{26, "SPEA", 0x53504541},  StoredCode{30, "ADBE", kVendorCode},
        StoredCode{34, "ivrs", 0x69767273},  StoredCode{50, "ADBE", kVendorCode},
        StoredCode{54, "wx86", 0x77783836},  StoredCode{78, "ADBE", kVendorCode},
        StoredCode{82, "pinm", 0x70696E6D},
    };
    for (const StoredCode& code : codes) {
        SCOPED_TRACE(std::string("'") + code.text + "' at offset " + std::to_string(code.offset));
        ASSERT_LE(code.offset + 4, list_.size());
        const std::uint8_t* bytes = list_.data() + code.offset;
        const std::uint32_t bigEndian = (static_cast<std::uint32_t>(bytes[0]) << 24) |
                                        (static_cast<std::uint32_t>(bytes[1]) << 16) |
                                        (static_cast<std::uint32_t>(bytes[2]) << 8) |
                                        static_cast<std::uint32_t>(bytes[3]);
        EXPECT_EQ(ReadLittleEndian32(list_, code.offset), code.value);
        EXPECT_NE(bigEndian, code.value);

        std::string reversed(code.text);
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), reversed);
    }
}

TEST_F(PropertyListTest, KindIsSpeaAndInterfaceVersionIsTwo) {
    ASSERT_EQ(list_.size(), kListSize);
    EXPECT_EQ(ReadLittleEndian32(list_, 26), 0x53504541u) << "'kind' data is 'SPEA'";
    EXPECT_EQ(ReadLittleEndian32(list_, 46), 2u) << "'ivrs' data is 2";
}

struct ExpectedName {
    const char* key;
    std::size_t dataOffset;
    std::string text;
};

TEST_F(PropertyListTest, NamesAreZeroTerminatedAndPaddedWithZeros) {
    const std::array names = {
        ExpectedName{"wx86", 66, "PluginMain"},
        ExpectedName{"pinm", 94, "Quorvane"},
    };
    ASSERT_EQ(list_.size(), kListSize);
    for (const ExpectedName& name : names) {
        SCOPED_TRACE(name.key);
        const auto data = list_.subspan(name.dataOffset, 12);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()), name.text.size()),
                  name.text);
        EXPECT_TRUE(std::all_of(data.begin() + static_cast<std::ptrdiff_t>(name.text.size()),
                                data.end(), [](std::uint8_t byte) { return byte == 0; }))
            << "terminating zero and padding";
    }
}

TEST_F(PropertyListTest, EntryPointItNamesIsTheModulesExport) {
    ASSERT_EQ(list_.size(), kListSize);
    const std::string entryPoint(reinterpret_cast<const char*>(list_.data() + 66));
    const FARPROC named = GetProcAddress(module_.handle(), entryPoint.c_str());
    EXPECT_NE(named, nullptr) << "the module exports no '" << entryPoint << "'";
    EXPECT_EQ(named, GetProcAddress(module_.handle(), "PluginMain"));
}

TEST_F(PropertyListTest, IsExactlyTheExpectedBytes) {
    // clang-format off
    constexpr std::array<std::uint8_t, kListSize> kExpected = {
        0x01, 0x00,                                      // reserved word 1
        0x00, 0x00, 0x00, 0x00,                          // list version 0
        0x04, 0x00, 0x00, 0x00,                          // 4 properties
        'E', 'B', 'D', 'A',  'd', 'n', 'i', 'k',         // 'ADBE' 'kind'
        0x00, 0x00, 0x00, 0x00,  0x04, 0x00, 0x00, 0x00, // id 0, 4 bytes
        'A', 'E', 'P', 'S',                              // 'SPEA'
        'E', 'B', 'D', 'A',  's', 'r', 'v', 'i',         // 'ADBE' 'ivrs'
        0x00, 0x00, 0x00, 0x00,  0x04, 0x00, 0x00, 0x00, // id 0, 4 bytes
        0x02, 0x00, 0x00, 0x00,                          // 2
        'E', 'B', 'D', 'A',  '6', '8', 'x', 'w',         // 'ADBE' 'wx86'
        0x00, 0x00, 0x00, 0x00,  0x0C, 0x00, 0x00, 0x00, // id 0, 12 bytes
        'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0x00, 0x00,
        'E', 'B', 'D', 'A',  'm', 'n', 'i', 'p',         // 'ADBE' 'pinm'
        0x00, 0x00, 0x00, 0x00,  0x0C, 0x00, 0x00, 0x00, // id 0, 12 bytes
        'Q', 'u', 'o', 'r', 'v', 'a', 'n', 'e', 0x00, 0x00, 0x00, 0x00,
    };
    // clang-format on
    ASSERT_EQ(list_.size(), kExpected.size());
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        EXPECT_EQ(list_[i], kExpected[i]) << "byte " << i;
    }
}

}  // namespace
}  // namespace quorvane::test
