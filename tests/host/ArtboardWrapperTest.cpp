// ai::ArtboardAttributes and ai::ArtboardCollection against the stand-in host's artboard
// suite, called directly while the plug-in runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/ArtboardAttributes.h"
#include "host/ArtboardCollection.h"
#include "host/ArtboardSuite.h"
#include "tests/host/RunningPlugin.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

constexpr hostsim::abi::EntryId kNewAttributes = hostsim::abi::artboard::NewAttributes::id;
constexpr hostsim::abi::EntryId kAcquireArtboardList =
    hostsim::abi::artboard::AcquireArtboardList::id;
constexpr hostsim::abi::EntryId kGetArtboardAttributes =
    hostsim::abi::artboard::GetArtboardAttributes::id;

class ArtboardWrapper : public ModuleTest {
  protected:
    void SetUp() override {
        hostsim::Document document{"two artboards", {}};
        document.artboards.push_back({{"Cover", {0, 100, 80, 0}, 1, {0}, {0, 0}}, 11});
        document.artboards.push_back({{"Back", {100, 100, 180, 0}, 1, {}, {0, 0}}, 12});
        StartLinked(&PluginMain, document);
    }

    // The calls made so far of one operation.
    std::vector<hostsim::CallRecord> CallsOf(const std::string& operation) const {
        std::vector<hostsim::CallRecord> found;
        for (const hostsim::CallRecord& call : Calls()) {
            if (call.operation == operation) {
                found.push_back(call);
            }
        }
        return found;
    }
};

struct Scenario {
    const char* name;
    std::function<void(hostsim::Host&)> arrange;
    std::function<void()> run;
};

TEST_F(ArtboardWrapper, DestroyingASetWithANullHandleStillCallsDisposeOnce) {
    const std::vector<Scenario> scenarios = {
        {"creation answered without a set",
         [](hostsim::Host& h) { h.Faults().AnswerWithoutWriting(kNewAttributes, 1); },
         [] { const ai::ArtboardAttributes set; }},
        {"creation refused",
         [](hostsim::Host& h) { h.Faults().FailOperation(kNewAttributes, FourChar("Deny"), 1); },
         [] { const ai::ArtboardAttributes set; }},
        {"fetch of an index the host rejects", [](hostsim::Host&) {},
         [] {
             const ai::ArtboardCollection artboards;
             const ai::ArtboardAttributes set = artboards.GetAttributes(5);
         }},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        ActiveHost().Calls().Clear();
        scenario.arrange(ActiveHost());
        scenario.run();
        ActiveHost().Faults().Clear();
        const auto disposals = CallsOf("DisposeAttributes");
        ASSERT_EQ(disposals.size(), 1u) << CallText();
        EXPECT_EQ(disposals[0].Argument("set"), "&null");
        EXPECT_EQ(disposals[0].result, 0);
    }
}

TEST_F(ArtboardWrapper, ACollectionReleasesItsListOnlyWhenItHasOne) {
    const struct {
        const char* name;
        std::function<void(hostsim::Host&)> arrange;
        std::size_t releases;
    } cases[] = {
        {"a list acquired", [](hostsim::Host&) {}, 1},
        {"acquisition answered without a list",
         [](hostsim::Host& h) { h.Faults().AnswerWithoutWriting(kAcquireArtboardList, 1); }, 0},
        {"no document open", [](hostsim::Host& h) { h.CloseDocument(); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActiveHost().Calls().Clear();
        c.arrange(ActiveHost());
        { const ai::ArtboardCollection artboards; }
        ActiveHost().Faults().Clear();
        EXPECT_EQ(CallsOf("AcquireArtboardList").size(), 1u) << CallText();
        EXPECT_EQ(CallsOf("ReleaseArtboardList").size(), c.releases) << CallText();
    }
}

TEST_F(ArtboardWrapper, GetAttributesOfAnIndexTheHostRejectsReturnsASetWithoutAHandle) {
    const struct {
        const char* name = nullptr;
        ArtboardIndex index = 0;
        std::optional<hostsim::ErrorCode> refusal;
    } cases[] = {
        {"index -1", -1, std::nullopt},
        {"index equal to the count", 2, std::nullopt},
        {"index far beyond the list", 1000, std::nullopt},
        {"a valid index the host refuses", 0, FourChar("Busy")},
    };
    const ai::ArtboardCollection artboards;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActiveHost().Calls().Clear();
        if (c.refusal) {
            ActiveHost().Faults().FailOperation(kGetArtboardAttributes, *c.refusal, 1);
        }
        ErrorCode result = 0;
        { const ai::ArtboardAttributes set = artboards.GetAttributes(c.index, result); }
        EXPECT_NE(result, 0);
        const auto calls = Calls();
        ASSERT_EQ(calls.size(), 2u) << "the fetch and the disposal, no clone:\n" << CallText();
        EXPECT_EQ(calls[0].operation, "GetArtboardAttributes");
        EXPECT_EQ(calls[0].Argument("index"), std::to_string(c.index));
        EXPECT_NE(calls[0].result, 0);
        EXPECT_EQ(calls[1].operation, "DisposeAttributes");
        EXPECT_EQ(calls[1].Argument("set"), "&null") << "no empty set was made for the result";
    }
}

// The artboard suite's display-mark read as a test wants the host to answer it.
struct DisplayMarkHost {
    static inline hostsim::ErrorCode code = 0;
    static inline std::optional<std::int32_t> written;
    static inline std::vector<std::int32_t> kindsSeen;
    static inline std::vector<std::int32_t> valuesOnEntry;
    static ErrorCode GetDisplayMark(const ArtboardAttributesHandle*, DisplayMarkKind kind,
                                    std::int32_t* value) {
        kindsSeen.push_back(kind);
        valuesOnEntry.push_back(*value);
        if (written) {
            *value = *written;
        }
        return code;
    }
};

TEST_F(ArtboardWrapper,
       GetDisplayMarkReadsAnyNonZeroAsOnAndKeepsTheValueWhenTheHostFailsOrWritesNothing) {
    // The host's answer and what it writes; the caller's value before and after.
    const struct {
        const char* name = nullptr;
        hostsim::ErrorCode code = 0;
        std::optional<std::int32_t> written;
        bool before = false;
        bool after = false;
    } cases[] = {
        {"refused, was on", FourChar("Deny"), std::nullopt, true, true},
        {"refused, was off", FourChar("Deny"), std::nullopt, false, false},
        {"refused after writing 0, was on", -50, 0, true, true},
        {"refused after writing 1, was off", -50, 1, false, false},
        {"host value 2", 0, 2, false, true},
        {"host value -1", 0, -1, false, true},
        {"host value 1", 0, 1, false, true},
        {"host value 0, was on", 0, 0, true, false},
        {"answered without writing, was on", 0, std::nullopt, true, true},
        {"answered without writing, was off", 0, std::nullopt, false, false},
    };
    const ai::ArtboardAttributes set;
    SuiteOverride<ArtboardSuite> suite(gArtboardSuite);
    suite.Table().GetDisplayMark = &DisplayMarkHost::GetDisplayMark;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayMarkHost::code = c.code;
        DisplayMarkHost::written = c.written;
        DisplayMarkHost::kindsSeen.clear();
        DisplayMarkHost::valuesOnEntry.clear();
        bool value = c.before;
        // Success without a value written is refused: the caller would otherwise take whatever
        // the slot held for the artboard's mark.
        const bool unwritten = c.code == 0 && !c.written;
        EXPECT_EQ(set.GetDisplayMark(4, value), unwritten ? FourChar("CANT") : c.code);
        EXPECT_EQ(value, c.after);
        EXPECT_EQ(DisplayMarkHost::kindsSeen, std::vector<std::int32_t>{4});
        ASSERT_EQ(DisplayMarkHost::valuesOnEntry.size(), 1u);
        EXPECT_NE(DisplayMarkHost::valuesOnEntry[0], 0) << "the host starts from neither 0 nor 1";
        EXPECT_NE(DisplayMarkHost::valuesOnEntry[0], 1) << "the host starts from neither 0 nor 1";
    }
}

TEST_F(ArtboardWrapper, SetDisplayMarkPassesExactlyOneOrZero) {
    ai::ArtboardAttributes set;
    for (const DisplayMarkKind kind : {0, 1, 2, 4}) {
        for (const bool on : {true, false}) {
            SCOPED_TRACE("kind " + std::to_string(kind) + (on ? " on" : " off"));
            ActiveHost().Calls().Clear();
            EXPECT_EQ(set.SetDisplayMark(kind, on), 0);
            const auto calls = CallsOf("SetDisplayMark");
            ASSERT_EQ(calls.size(), 1u) << CallText();
            EXPECT_EQ(calls[0].Argument("kind"), std::to_string(kind));
            EXPECT_EQ(calls[0].Argument("value"), on ? "1" : "0");
            bool read = !on;
            EXPECT_EQ(set.GetDisplayMark(kind, read), 0);
            EXPECT_EQ(read, on);
        }
    }
}

// A host that scribbles over the rectangle it was handed, after taking its values.
struct ScribblingHost {
    static inline const ArtboardSuite* host = nullptr;
    static inline const BoundsRect* handed = nullptr;
    static ErrorCode SetBounds(ArtboardAttributesHandle* set, const BoundsRect* bounds) {
        handed = bounds;
        const ErrorCode result = host->SetBounds(set, bounds);
        *const_cast<BoundsRect*>(bounds) = BoundsRect{-1, -1, -1, -1};
        return result;
    }
};

TEST_F(ArtboardWrapper, SetBoundsHandsTheHostACopyOfTheCallersRectangle) {
    ai::ArtboardAttributes set;
    const BoundsRect wanted{12.5F, 300, 112.5F, -40};
    BoundsRect mine = wanted;
    {
        SuiteOverride<ArtboardSuite> suite(gArtboardSuite);
        ScribblingHost::host = &suite.OriginalSuite();
        suite.Table().SetBounds = &ScribblingHost::SetBounds;
        EXPECT_EQ(set.SetBounds(mine), 0);
    }
    EXPECT_NE(static_cast<const void*>(ScribblingHost::handed), static_cast<const void*>(&mine));
    EXPECT_EQ(mine.left, wanted.left);
    EXPECT_EQ(mine.top, wanted.top);
    EXPECT_EQ(mine.right, wanted.right);
    EXPECT_EQ(mine.bottom, wanted.bottom);

    BoundsRect stored{};
    EXPECT_EQ(set.GetBounds(stored), 0);
    EXPECT_EQ(stored.left, wanted.left);
    EXPECT_EQ(stored.top, wanted.top);
    EXPECT_EQ(stored.right, wanted.right);
    EXPECT_EQ(stored.bottom, wanted.bottom);
}

TEST_F(ArtboardWrapper, SelfAssignmentClonesOnceDisposesOnceAndLeavesAValidSet) {
    ai::ArtboardAttributes set;
    ASSERT_EQ(set.SetBounds(BoundsRect{1, 2, 3, 4}), 0);
    ActiveHost().Calls().Clear();

    const ai::ArtboardAttributes& alias = set;
    set = alias;

    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 2u) << CallText();
    EXPECT_EQ(calls[0].operation, "CloneAttributes");
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(calls[1].operation, "DisposeAttributes");
    EXPECT_EQ(calls[1].result, 0);
    // The set cloned from is the one disposed: the clone was taken first.
    EXPECT_EQ(calls[1].Argument("set"), calls[0].Argument("source"));

    BoundsRect bounds{};
    EXPECT_EQ(set.GetBounds(bounds), 0) << "the object holds a live set:\n" << CallText();
    EXPECT_EQ(bounds.left, 1.0F);
    EXPECT_EQ(bounds.top, 2.0F);
    EXPECT_EQ(bounds.right, 3.0F);
    EXPECT_EQ(bounds.bottom, 4.0F);
}

}  // namespace
}  // namespace quorvane::test
