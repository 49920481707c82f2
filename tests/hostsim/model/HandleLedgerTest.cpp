#include "hostsim/model/HandleLedger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// The layouts for 64-bit pointers (the Windows module's) and for 32-bit ones (WebAssembly), both
// exercised here whatever this build's own width.
struct LayoutRow {
    const char* name;
    HandleLayout layout;
};
const LayoutRow kLayouts[] = {
    {"64-bit pointers", HandleLayout::ForPointerBits(64)},
    {"32-bit pointers", HandleLayout::ForPointerBits(32)},
};

TEST(HandleLedger, KeepsOneSlotPerLiveHandleAndStillCatchesReleasedHandlesAfterReuse) {
    for (const LayoutRow& layout : kLayouts) {
        HandleLedger ledger(layout.layout);
        // As many reuses as the ordinal's bits can tell apart from the handle released first.
        const std::uint64_t reuses =
            std::min<std::uint64_t>(100000, (std::uint64_t{1} << layout.layout.ordinalBits) - 2);
        const auto issue = [&] {
            return ledger.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
        };
        const abi::Handle first = issue();
        ledger.Release(HandleKind::AttributeSet, first, "DisposeAttributes");
        abi::Handle last = nullptr;
        for (std::uint64_t i = 0; i < reuses; ++i) {
            last = issue();
            ledger.Release(HandleKind::AttributeSet, last, "DisposeAttributes");
        }
        const abi::Handle live = issue();
        const std::string lastOrdinal = std::to_string(reuses + 1);
        const std::string liveOrdinal = std::to_string(reuses + 2);
        EXPECT_EQ(ledger.SlotCount(HandleKind::AttributeSet), 1u)
            << layout.name << ": memory is for live handles";
        EXPECT_EQ(ledger.CountsOf(HandleKind::AttributeSet).issued, reuses + 2) << layout.name;
        EXPECT_EQ(ledger.CountsOf(HandleKind::AttributeSet).Live(), 1u) << layout.name;
        EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, live), HandleLedger::Status::Live)
            << layout.name;
        EXPECT_EQ(ledger.Describe(live), "attributes#" + liveOrdinal) << layout.name;

        struct Row {
            const char* name;
            abi::Handle handle;
            std::string described;
        };
        const Row rows[] = {
            {"slot reused ever since", first, "attributes#1 (released)"},
            {"slot reused once since", last, "attributes#" + lastOrdinal + " (released)"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(layout.name) + ", " + row.name);
            EXPECT_NE(row.handle, live);
            EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, row.handle),
                      HandleLedger::Status::Released);
            EXPECT_EQ(ledger.Describe(row.handle), row.described);
            EXPECT_FALSE(ledger.Use(HandleKind::AttributeSet, row.handle, "GetBounds"));
            EXPECT_EQ(ledger.Problems().back().type, Type::UseAfterRelease);
            EXPECT_FALSE(ledger.Release(HandleKind::AttributeSet, row.handle, "DisposeAttributes"));
            EXPECT_EQ(ledger.Problems().back().type, Type::DoubleRelease);
            EXPECT_EQ(ledger.StatusOf(HandleKind::AttributeSet, live), HandleLedger::Status::Live)
                << "a stale handle must not end the slot's new one";
        }
    }
}

TEST(HandleLedger, ValuesFitThePointerWidthTheirLayoutIsFor) {
    for (const LayoutRow& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const int bits = layout.layout.Bits();
        HandleLedger ledger(layout.layout);
        HandleLedger other(layout.layout);
        std::set<abi::Handle> seen;
        std::vector<std::pair<HandleKind, abi::Handle>> live;
        // Many live at once (one slot each), of two kinds.
        for (int i = 0; i < 3000; ++i) {
            for (const HandleKind kind : {HandleKind::String, HandleKind::AttributeSet}) {
                live.emplace_back(kind, ledger.Issue(kind, HandleOrigin::PluginRequest));
            }
        }
        for (const auto& [kind, handle] : live) {
            const std::uint64_t value = reinterpret_cast<std::uintptr_t>(handle);
            EXPECT_TRUE(bits >= 64 || value >> bits == 0)
                << "a value a pointer of this width would cut short";
            EXPECT_GE(value >> (bits - layout.layout.markBits), 1u) << "no mark";
            EXPECT_TRUE(seen.insert(handle).second) << "value issued twice";
            EXPECT_EQ(ledger.StatusOf(kind, handle), HandleLedger::Status::Live);
            EXPECT_EQ(other.StatusOf(kind, handle), HandleLedger::Status::Unknown)
                << "another ledger's handle";
        }
        EXPECT_EQ(ledger.SlotOf(live.back().second), 2999u);
        for (const auto& [kind, handle] : live) {
            EXPECT_TRUE(ledger.Release(kind, handle, "Dispose"));
        }
        EXPECT_EQ(ledger.Report(), "");
    }
}

TEST(HandleLedger, AHandleOfOneWidthIsUnknownToALedgerOfTheOther) {
    HandleLedger wide(HandleLayout::ForPointerBits(64));
    HandleLedger narrow(HandleLayout::ForPointerBits(32));
    const abi::Handle fromWide = wide.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    const abi::Handle fromNarrow = narrow.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    EXPECT_EQ(narrow.StatusOf(HandleKind::String, fromWide), HandleLedger::Status::Unknown);
    EXPECT_EQ(wide.StatusOf(HandleKind::String, fromNarrow), HandleLedger::Status::Unknown);
    EXPECT_EQ(narrow.StatusOf(HandleKind::String, fromNarrow), HandleLedger::Status::Live);
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

// The quick answer every host call asks first must be right either way and record nothing: a
// handle not live still reaches the full check, which says what is wrong.
TEST(HandleLedger, TheQuickLiveAnswerIsTheFullChecksAndRecordsNothing) {
    HandleLedger ledger;
    HandleLedger other;
    const abi::Handle live = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    const abi::Handle released = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    ASSERT_TRUE(ledger.Release(HandleKind::String, released, "op"));
    const abi::Handle reused = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    ASSERT_TRUE(ledger.Release(HandleKind::String, reused, "op"));
    const abi::Handle again = ledger.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    const abi::Handle foreign = other.Issue(HandleKind::String, HandleOrigin::PluginRequest);
    // Whether each is live is written out, not asked of the full check (which asks the quick
    // answer first), so that a quick answer wrong either way fails here.
    struct Row {
        const char* name;
        HandleKind askedAs;
        abi::Handle handle;
        bool live;
    };
    const Row rows[] = {
        {"live", HandleKind::String, live, true},
        {"live, in a reused slot", HandleKind::String, again, true},
        {"released", HandleKind::String, released, false},
        {"released, its slot reused", HandleKind::String, reused, false},
        {"of another kind", HandleKind::AttributeSet, live, false},
        {"from another ledger", HandleKind::String, foreign, false},
        {"null", HandleKind::String, nullptr, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ledger.IsLive(row.askedAs, row.handle), row.live) << row.name;
        EXPECT_EQ(ledger.StatusOf(row.askedAs, row.handle) == HandleLedger::Status::Live, row.live)
            << row.name;
    }
    EXPECT_FALSE(ledger.ReleaseIfLive(HandleKind::String, released));
    EXPECT_FALSE(ledger.ReleaseIfLive(HandleKind::AttributeSet, live));
    EXPECT_TRUE(ledger.Problems().empty());
    EXPECT_EQ(ledger.CountsOf(HandleKind::String).released, 2u);
    EXPECT_TRUE(ledger.ReleaseIfLive(HandleKind::String, live));
    EXPECT_EQ(ledger.StatusOf(HandleKind::String, live), HandleLedger::Status::Released);
    EXPECT_EQ(ledger.CountsOf(HandleKind::String).released, 3u);
    EXPECT_FALSE(ledger.Release(HandleKind::String, live, "op"));
    ASSERT_EQ(ledger.Problems().size(), 1u);
    EXPECT_EQ(ledger.Problems()[0].type, Type::DoubleRelease);
}

}  // namespace
}  // namespace hostsim
