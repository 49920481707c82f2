#include "hostsim/model/HandleLedger.h"

#include <gtest/gtest.h>

#include <set>

namespace hostsim {
namespace {

using Type = HandleLedger::Problem::Type;

TEST(HandleLedger, IssuesValuesNeverSeenBeforeEvenAcrossLedgers) {
    std::set<abi::Handle> seen;
    for (int round = 0; round < 3; ++round) {
        HandleLedger ledger;
        for (int i = 0; i < 50; ++i) {
            const abi::Handle handle =
                ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "s");
            EXPECT_NE(handle, nullptr);
            EXPECT_TRUE(seen.insert(handle).second) << "value issued twice";
            ledger.Release(HandleKind::String, handle, "test");
        }
    }
}

TEST(HandleLedger, ReleasedHandleIsRecognisedOnUseAndOnSecondRelease) {
    HandleLedger ledger;
    const abi::Handle handle =
        ledger.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest, "x");
    EXPECT_TRUE(ledger.Use(HandleKind::AttributeSet, handle, "GetBounds"));
    EXPECT_TRUE(ledger.Release(HandleKind::AttributeSet, handle, "DisposeAttributes"));
    EXPECT_TRUE(ledger.Problems().empty());

    EXPECT_FALSE(ledger.Use(HandleKind::AttributeSet, handle, "GetBounds"));
    EXPECT_FALSE(ledger.Release(HandleKind::AttributeSet, handle, "DisposeAttributes"));
    ASSERT_EQ(ledger.Problems().size(), 2u);
    EXPECT_EQ(ledger.Problems()[0].type, Type::UseAfterRelease);
    EXPECT_EQ(ledger.Problems()[0].text, "GetBounds: used after release: attributes#1 (released)");
    EXPECT_EQ(ledger.Problems()[1].type, Type::DoubleRelease);
    EXPECT_EQ(ledger.Problems()[1].text,
              "DisposeAttributes: released twice: attributes#1 (released)");
}

TEST(HandleLedger, UnknownAndWrongKindHandlesAreProblemsNotLookups) {
    struct Row {
        const char* name;
        bool sameLedger;
        HandleKind askedAs;
        Type expected;
    };
    const Row rows[] = {
        {"from another ledger", false, HandleKind::String, Type::UnknownHandle},
        {"of another kind", true, HandleKind::ArtboardList, Type::WrongKind},
    };
    for (const Row& row : rows) {
        HandleLedger ledger;
        HandleLedger other;
        HandleLedger& issuer = row.sameLedger ? ledger : other;
        const abi::Handle handle =
            issuer.Issue(HandleKind::String, HandleOrigin::PluginRequest, "s");
        EXPECT_FALSE(ledger.Use(row.askedAs, handle, "op")) << row.name;
        ASSERT_EQ(ledger.Problems().size(), 1u) << row.name;
        EXPECT_EQ(ledger.Problems()[0].type, row.expected) << row.name;
        EXPECT_EQ(ledger.StatusOf(HandleKind::String, handle),
                  row.sameLedger ? HandleLedger::Status::Live : HandleLedger::Status::Unknown);
    }
    HandleLedger ledger;
    EXPECT_FALSE(ledger.Use(HandleKind::String, nullptr, "op"));
    EXPECT_EQ(ledger.Problems().at(0).type, Type::UnknownHandle);
}

TEST(HandleLedger, ReportsLeaksExceptWhatIsLeftToTheHostAndNeverTheHostsOwn) {
    HandleLedger ledger;
    ledger.Issue(HandleKind::PluginRef, HandleOrigin::Host, "plug-in");
    ledger.Issue(HandleKind::MenuGroup, HandleOrigin::Host, "About");
    const abi::Handle lock =
        ledger.Issue(HandleKind::AccessRef, HandleOrigin::PluginRequest, "lock");
    ledger.Issue(HandleKind::MenuItem, HandleOrigin::PluginRequest, "item");
    const abi::Handle leaked =
        ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "\"x\"");
    const abi::Handle returned =
        ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "\"y\"");
    ledger.Release(HandleKind::String, returned, "Destroy");

    EXPECT_EQ(ledger.Outstanding().size(), 3u);
    const auto rest = ledger.OutstandingExcept(kLeftToHostByDesign);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].value, reinterpret_cast<std::uintptr_t>(leaked));
    EXPECT_EQ(ledger.Report(kLeftToHostByDesign), "leaked: string#1 (\"x\")\n");

    ledger.Release(HandleKind::String, leaked, "Destroy");
    EXPECT_EQ(ledger.Report(kLeftToHostByDesign), "");
    EXPECT_NE(ledger.Report(), "") << "the lock is outstanding when nothing is left to the host";
    ledger.Release(HandleKind::AccessRef, lock, "ReleasePlugin");
}

TEST(HandleLedger, CountsSuiteAcquisitionsPerSuiteAndCatchesOverRelease) {
    HandleLedger ledger;
    ledger.AcquireSuite("AI User Suite", 10);
    ledger.AcquireSuite("AI User Suite", 10);
    ledger.AcquireSuite("AI Menu Suite", 10);
    EXPECT_EQ(ledger.HoldCount("AI User Suite", 10), 2);
    EXPECT_TRUE(ledger.ReleaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_TRUE(ledger.ReleaseSuite("AI Menu Suite", 10, "ReleaseSuite"));
    EXPECT_EQ(ledger.Report(), "suite still held: \"AI User Suite\" 10 x1\n");
    EXPECT_TRUE(ledger.ReleaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_FALSE(ledger.ReleaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_EQ(ledger.Report(), "ReleaseSuite: released but not held: \"AI User Suite\" 10\n");
    EXPECT_TRUE(ledger.HeldSuites().empty());
}

TEST(HandleLedger, DescribesHandlesByKindAndOrdinal) {
    HandleLedger ledger;
    const abi::Handle first = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "a");
    const abi::Handle list =
        ledger.Issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest, "l");
    const abi::Handle second = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "b");
    EXPECT_EQ(ledger.Describe(first), "string#1");
    EXPECT_EQ(ledger.Describe(list), "artboard-list#1");
    EXPECT_EQ(ledger.Describe(second), "string#2");
    EXPECT_EQ(ledger.Describe(nullptr), "null");
    EXPECT_EQ(ledger.Describe(reinterpret_cast<abi::Handle>(std::uintptr_t{0x40})), "unknown 0x40");
}

TEST(HandleLedger, KeepsOneSlotPerLiveHandleAndStillCatchesReleasedHandlesAfterReuse) {
    HandleLedger ledger;
    const auto issue = [&] {
        return ledger.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
    };
    const abi::Handle first = issue();
    ledger.Release(HandleKind::AttributeSet, first, "DisposeAttributes");
    abi::Handle last = nullptr;
    for (int i = 0; i < 100000; ++i) {
        last = issue();
        ledger.Release(HandleKind::AttributeSet, last, "DisposeAttributes");
    }
    const abi::Handle live = issue();
    EXPECT_EQ(ledger.SlotCount(HandleKind::AttributeSet), 1u) << "memory is for live handles";
    EXPECT_EQ(ledger.CountsOf(HandleKind::AttributeSet).issued, 100002u);
    EXPECT_EQ(ledger.CountsOf(HandleKind::AttributeSet).Live(), 1u);
    EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, live), HandleLedger::Status::Live);
    EXPECT_EQ(ledger.Describe(live), "attributes#100002");

    struct Row {
        const char* name;
        abi::Handle handle;
        std::string described;
    };
    const Row rows[] = {
        {"slot reused 100001 times since", first, "attributes#1 (released)"},
        {"slot reused once since", last, "attributes#100001 (released)"},
    };
    for (const Row& row : rows) {
        EXPECT_NE(row.handle, live) << row.name;
        EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, row.handle),
                  HandleLedger::Status::Released)
            << row.name;
        EXPECT_EQ(ledger.Describe(row.handle), row.described) << row.name;
        EXPECT_FALSE(ledger.Use(HandleKind::AttributeSet, row.handle, "GetBounds")) << row.name;
        EXPECT_EQ(ledger.Problems().back().type, Type::UseAfterRelease) << row.name;
        EXPECT_FALSE(ledger.Release(HandleKind::AttributeSet, row.handle, "DisposeAttributes"));
        EXPECT_EQ(ledger.Problems().back().type, Type::DoubleRelease) << row.name;
        EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, live), HandleLedger::Status::Live)
            << row.name << ": a stale handle must not end the slot's new one";
    }
}

TEST(HandleLedger, ALeakReportNamesTheCallThatIssuedTheHandle) {
    HandleLedger ledger;
    ledger.SetIssuingCall(7, "GetName");
    ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    ledger.SetIssuingCall(0, nullptr);
    ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest, "made outside a call");
    EXPECT_EQ(ledger.Report(),
              "leaked: string#1, issued by call 7 GetName\n"
              "leaked: string#2 (made outside a call)\n");
}

}  // namespace
}  // namespace hostsim
