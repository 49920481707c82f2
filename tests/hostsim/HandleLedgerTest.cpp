#include "hostsim/HandleLedger.h"

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
                ledger.issue(HandleKind::String, HandleOrigin::PluginRequest, "s");
            EXPECT_NE(handle, nullptr);
            EXPECT_TRUE(seen.insert(handle).second) << "value issued twice";
            ledger.release(HandleKind::String, handle, "test");
        }
    }
}

TEST(HandleLedger, ReleasedHandleIsRecognisedOnUseAndOnSecondRelease) {
    HandleLedger ledger;
    const abi::Handle handle =
        ledger.issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest, "x");
    EXPECT_TRUE(ledger.use(HandleKind::AttributeSet, handle, "GetBounds"));
    EXPECT_TRUE(ledger.release(HandleKind::AttributeSet, handle, "DisposeAttributes"));
    EXPECT_TRUE(ledger.problems().empty());

    EXPECT_FALSE(ledger.use(HandleKind::AttributeSet, handle, "GetBounds"));
    EXPECT_FALSE(ledger.release(HandleKind::AttributeSet, handle, "DisposeAttributes"));
    ASSERT_EQ(ledger.problems().size(), 2u);
    EXPECT_EQ(ledger.problems()[0].type, Type::UseAfterRelease);
    EXPECT_EQ(ledger.problems()[0].text, "GetBounds: used after release: attributes#1 (released)");
    EXPECT_EQ(ledger.problems()[1].type, Type::DoubleRelease);
    EXPECT_EQ(ledger.problems()[1].text,
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
            issuer.issue(HandleKind::String, HandleOrigin::PluginRequest, "s");
        EXPECT_FALSE(ledger.use(row.askedAs, handle, "op")) << row.name;
        ASSERT_EQ(ledger.problems().size(), 1u) << row.name;
        EXPECT_EQ(ledger.problems()[0].type, row.expected) << row.name;
        EXPECT_EQ(ledger.status(HandleKind::String, handle),
                  row.sameLedger ? HandleLedger::Status::Live : HandleLedger::Status::Unknown);
    }
    HandleLedger ledger;
    EXPECT_FALSE(ledger.use(HandleKind::String, nullptr, "op"));
    EXPECT_EQ(ledger.problems().at(0).type, Type::UnknownHandle);
}

TEST(HandleLedger, ReportsLeaksExceptWhatIsLeftToTheHostAndNeverTheHostsOwn) {
    HandleLedger ledger;
    ledger.issue(HandleKind::PluginRef, HandleOrigin::Host, "plug-in");
    ledger.issue(HandleKind::MenuGroup, HandleOrigin::Host, "About");
    const abi::Handle lock =
        ledger.issue(HandleKind::AccessRef, HandleOrigin::PluginRequest, "lock");
    ledger.issue(HandleKind::MenuItem, HandleOrigin::PluginRequest, "item");
    const abi::Handle leaked =
        ledger.issue(HandleKind::String, HandleOrigin::PluginRequest, "\"x\"");
    const abi::Handle returned =
        ledger.issue(HandleKind::String, HandleOrigin::PluginRequest, "\"y\"");
    ledger.release(HandleKind::String, returned, "Destroy");

    EXPECT_EQ(ledger.outstanding().size(), 3u);
    const auto rest = ledger.outstandingExcept(kLeftToHostByDesign);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].value, reinterpret_cast<std::uintptr_t>(leaked));
    EXPECT_EQ(ledger.report(kLeftToHostByDesign), "leaked: string#1 (\"x\")\n");

    ledger.release(HandleKind::String, leaked, "Destroy");
    EXPECT_EQ(ledger.report(kLeftToHostByDesign), "");
    EXPECT_NE(ledger.report(), "") << "the lock is outstanding when nothing is left to the host";
    ledger.release(HandleKind::AccessRef, lock, "ReleasePlugin");
}

TEST(HandleLedger, CountsSuiteAcquisitionsPerSuiteAndCatchesOverRelease) {
    HandleLedger ledger;
    ledger.acquireSuite("AI User Suite", 10);
    ledger.acquireSuite("AI User Suite", 10);
    ledger.acquireSuite("AI Menu Suite", 10);
    EXPECT_EQ(ledger.holdCount("AI User Suite", 10), 2);
    EXPECT_TRUE(ledger.releaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_TRUE(ledger.releaseSuite("AI Menu Suite", 10, "ReleaseSuite"));
    EXPECT_EQ(ledger.report(), "suite still held: \"AI User Suite\" 10 x1\n");
    EXPECT_TRUE(ledger.releaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_FALSE(ledger.releaseSuite("AI User Suite", 10, "ReleaseSuite"));
    EXPECT_EQ(ledger.report(), "ReleaseSuite: released but not held: \"AI User Suite\" 10\n");
    EXPECT_TRUE(ledger.heldSuites().empty());
}

TEST(HandleLedger, DescribesHandlesByKindAndOrdinal) {
    HandleLedger ledger;
    const abi::Handle first = ledger.issue(HandleKind::String, HandleOrigin::PluginRequest, "a");
    const abi::Handle list =
        ledger.issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest, "l");
    const abi::Handle second = ledger.issue(HandleKind::String, HandleOrigin::PluginRequest, "b");
    EXPECT_EQ(ledger.describe(first), "string#1");
    EXPECT_EQ(ledger.describe(list), "artboard-list#1");
    EXPECT_EQ(ledger.describe(second), "string#2");
    EXPECT_EQ(ledger.describe(nullptr), "null");
    EXPECT_EQ(ledger.describe(reinterpret_cast<abi::Handle>(std::uintptr_t{0x40})), "unknown 0x40");
}

}  // namespace
}  // namespace hostsim
