// The basic suite and the shape of every table the host hands out.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;

const void* const kUntouched = reinterpret_cast<const void*>(std::uintptr_t{0xDEADBEEF});

TEST(BasicSuite, HandsOutEachSuiteByExactNameAndVersion) {
    struct Row {
        const char* name;
        std::int32_t version;
        SuiteId id;
    };
    const Row rows[] = {
        {"SP Access Suite", 3, SuiteId::Access},
        {"SP Plug-ins Suite", 4, SuiteId::Plugins},
        {"AI Notifier Suite", 3, SuiteId::Notifier},
        {"AI Context Suite", 6, SuiteId::Context},
        {"AI User Suite", 10, SuiteId::User},
        {"AI File Path Suite", 3, SuiteId::FilePath},
        {"AI Folders Suite", 4, SuiteId::Folders},
        {"SP Blocks Suite", 2, SuiteId::Blocks},
        {"AI Menu Suite", 10, SuiteId::Menu},
        {"AI Artboard Suite", 2, SuiteId::Artboard},
        {"AI Unicode String Suite", 7, SuiteId::UnicodeString},
    };
    Host host;
    std::set<const void*> tables;
    for (const Row& row : rows) {
        const void* table = kUntouched;
        EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, row.name, row.version, &table), 0)
            << row.name;
        EXPECT_EQ(table, &TableOf(row.id)) << row.name;
        EXPECT_TRUE(tables.insert(table).second) << row.name << " shares a table";
        EXPECT_EQ(host.Ledger().HoldCount(row.name, row.version), 1) << row.name;
    }
    for (const Row& row : rows) {
        EXPECT_EQ(Call<abi::basic::ReleaseSuite>(SuiteId::Basic, row.name, row.version), 0);
    }
    EXPECT_EQ(host.ProblemReport(), "");
}

TEST(BasicSuite, RefusesUnknownNamesAndVersionsWithoutWritingAnything) {
    struct Row {
        const char* name;
        std::int32_t version;
        ErrorCode expected;
    };
    const Row rows[] = {
        {"AI Menu Suite", 9, kVersionNotOfferedError},
        {"AI Menu Suite", 11, kVersionNotOfferedError},
        {"AI Artboard Suite", 1, kVersionNotOfferedError},
        {"ai menu suite", 10, kNoSuchSuiteError},
        {"AI Menu Suite ", 10, kNoSuchSuiteError},
        {"AI Menu", 10, kNoSuchSuiteError},
        {"", 10, kNoSuchSuiteError},
        {"AI Document Suite", 1, kNoSuchSuiteError},
        {"SP Basic Suite", 4, kNoSuchSuiteError},
    };
    Host host;
    for (const Row& row : rows) {
        const void* table = kUntouched;
        EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, row.name, row.version, &table),
                  row.expected)
            << row.name << " " << row.version;
        EXPECT_EQ(table, kUntouched) << row.name;
    }
    EXPECT_TRUE(host.Ledger().HeldSuites().empty());
    EXPECT_TRUE(host.Violations().empty()) << "a refusal is an answer, not a violation";
}

TEST(BasicSuite, ReleasingASuiteNotHeldIsAViolation) {
    Host host;
    EXPECT_EQ(Call<abi::basic::ReleaseSuite>(SuiteId::Basic, "AI User Suite", 10), kBadHandleError);
    EXPECT_EQ(Call<abi::basic::ReleaseSuite>(SuiteId::Basic, "AI User Suite", 9),
              kVersionNotOfferedError);
    ASSERT_EQ(host.Violations().size(), 2u);
    EXPECT_NE(host.Violations()[0].find("released but not held"), std::string::npos);
    EXPECT_EQ(host.Ledger().Problems().size(), 1u);
}

// Documented entries of each table; every other slot must be a stub.
std::map<SuiteId, std::set<int>> DocumentedEntries() {
    return {
        {SuiteId::Basic, {1, 2}},
        {SuiteId::Access, {1, 2}},
        {SuiteId::Plugins, {24}},
        {SuiteId::Notifier, {1}},
        {SuiteId::Context, {2, 3}},
        {SuiteId::User, {45}},
        {SuiteId::FilePath, {}},
        {SuiteId::Folders, {}},
        {SuiteId::Blocks, {}},
        {SuiteId::Menu, {1, 20, 21, 25, 26}},
        {SuiteId::Artboard, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 19, 20, 21, 22}},
        {SuiteId::UnicodeString, {1, 4, 5, 7}},
    };
}

TEST(SuiteTables, EverySlotOutsideTheDocumentedEntriesRecordsAViolationAndAnswersAnError) {
    Host host;
    std::size_t expectedViolations = 0;
    for (const auto& [suite, documented] : DocumentedEntries()) {
        const abi::SuiteTable& table = TableOf(suite);
        for (int entry = 1; entry <= abi::kSuiteSlots; ++entry) {
            if (documented.count(entry) != 0) {
                continue;
            }
            using Stub = ErrorCode (*)();
            const auto stub = reinterpret_cast<Stub>(table[static_cast<std::size_t>(entry - 1)]);
            ASSERT_EQ(stub(), kUnexpectedEntryError) << InfoOf(suite).name << " entry " << entry;
            ++expectedViolations;
            ASSERT_EQ(host.Violations().size(), expectedViolations);
            const std::string expected = std::string(InfoOf(suite).name) + " #" +
                                         std::to_string(entry) + " (unexpected entry)";
            EXPECT_EQ(host.Violations().back().rfind(expected, 0), 0u) << host.Violations().back();
        }
    }
}

TEST(SuiteTables, EntriesAnswerErrorsWhenNoHostIsActive) {
    const void* table = kUntouched;
    EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI User Suite", 10, &table),
              kNoActiveHostError);
    EXPECT_EQ(table, kUntouched);
    abi::Handle str = nullptr;
    EXPECT_EQ(Call<abi::strings::Initialize>(SuiteId::UnicodeString, &str, "x", 1, 0),
              kNoActiveHostError);
    EXPECT_EQ(str, nullptr);
}

}  // namespace
}  // namespace hostsim
