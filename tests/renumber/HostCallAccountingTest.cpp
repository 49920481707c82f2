// What a run asks of a healthy host: exactly the calls the host expects of a sort by live
// bounds and of an exchange, plus one reading of every corner before the sort.
#include <string>
#include <vector>

#include "RenumberHarness.h"

namespace quorvane::test {
namespace {

using Ops = std::vector<std::string>;

// Fetching one artboard's attribute set into a new one: create it, fetch into a temporary,
// clone the temporary into it, dispose its empty former set, dispose the temporary.
const Ops kFetch = {"GetArtboardAttributes", "CloneAttributes", "DisposeAttributes",
                    "DisposeAttributes"};

Ops Join(std::initializer_list<Ops> parts) {
    Ops all;
    for (const Ops& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Ops Repeat(const std::string& op, int times) {
    return Ops(static_cast<std::size_t>(times), op);
}

const Ops kReadCorner = Join({{"NewAttributes"}, kFetch, {"GetBounds", "DisposeAttributes"}});
const Ops kComparison =
    Join({{"NewAttributes", "NewAttributes"},
          kFetch,
          kFetch,
          {"GetBounds", "GetBounds", "DisposeAttributes", "DisposeAttributes"}});
// Read both sets property by property (bounds, name, ratio, four display marks, ruler origin),
// write them crosswise in the same order, update a then b, dispose both names and both sets.
const Ops kExchange = Join(
    {{"NewAttributes", "NewAttributes"},
     kFetch,
     kFetch,
     {"GetBounds", "GetBounds", "GetName", "GetName", "GetPixelAspectRatio", "GetPixelAspectRatio"},
     Repeat("GetDisplayMark", 8),
     {"GetRulerOrigin", "GetRulerOrigin"},
     {"SetBounds", "SetBounds", "SetName", "SetName", "SetPixelAspectRatio", "SetPixelAspectRatio"},
     Repeat("SetDisplayMark", 8),
     {"SetRulerOrigin", "SetRulerOrigin"},
     {"UpdateArtboard", "UpdateArtboard", "Destroy", "Destroy", "DisposeAttributes",
      "DisposeAttributes"}});

// Walks the calls of one run, phase by phase.
struct RunShape {
    int cornersRead = 0;
    int comparisons = 0;
    std::vector<std::pair<int, int>> comparedPairs;
    std::vector<std::pair<int, int>> exchanges;
    std::string mismatch;  // where the calls left the expected shape, if they did
};

bool MatchesAt(const std::vector<hostsim::CallRecord>& calls, std::size_t at, const Ops& ops) {
    if (at + ops.size() > calls.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (calls[at + i].operation != ops[i]) {
            return false;
        }
    }
    return true;
}

int IndexArgument(const hostsim::CallRecord& call) {
    return std::stoi(call.Argument("index"));
}

RunShape Shape(const std::vector<hostsim::CallRecord>& calls, int count) {
    RunShape shape;
    std::size_t at = 0;
    auto expect = [&](const Ops& ops, const char* what) {
        if (!MatchesAt(calls, at, ops)) {
            shape.mismatch = std::string("expected ") + what + " at call " + std::to_string(at) +
                             ": " + (at < calls.size() ? calls[at].Text() : "end of run");
            return false;
        }
        at += ops.size();
        return true;
    };
    if (!expect({"AcquireArtboardList", "GetArtboardCount"}, "the list and its count")) {
        return shape;
    }
    for (int i = 0; count > 1 && i < count; ++i, ++shape.cornersRead) {
        if (!expect(kReadCorner, "a corner read")) {
            return shape;
        }
        if (IndexArgument(calls[at - kReadCorner.size() + 1]) != i) {
            shape.mismatch = "corner " + std::to_string(i) + " read out of turn";
            return shape;
        }
    }
    while (MatchesAt(calls, at, kComparison)) {
        shape.comparedPairs.emplace_back(IndexArgument(calls[at + 2]),
                                         IndexArgument(calls[at + 6]));
        at += kComparison.size();
        ++shape.comparisons;
    }
    while (MatchesAt(calls, at, kExchange)) {
        const int a = IndexArgument(calls[at + 2]);
        const int b = IndexArgument(calls[at + 6]);
        const std::size_t update = at + kExchange.size() - 6;
        if (IndexArgument(calls[update]) != a || IndexArgument(calls[update + 1]) != b) {
            shape.mismatch =
                "an exchange updated other positions than it read: " + calls[update].Text();
            return shape;
        }
        shape.exchanges.emplace_back(a, b);
        at += kExchange.size();
    }
    expect({"ReleaseArtboardList"}, "the list's release");
    if (shape.mismatch.empty() && at != calls.size()) {
        shape.mismatch = "calls after the list's release: " + calls[at].Text();
    }
    return shape;
}

TEST_F(RenumberTest, EachPhaseMakesExactlyTheExpectedHostCalls) {
    Start(MakeDocument({{"d", 100, 0}, {"a", 0, 100}, {"c", 0, 0}, {"b", 100, 100}}));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    const RunShape shape = Shape(Calls(), 4);
    EXPECT_EQ(shape.mismatch, "");
    EXPECT_EQ(shape.cornersRead, 4);
    EXPECT_GE(shape.comparisons, 3);  // a sort of four cannot do with fewer
    for (const auto& [a, b] : shape.comparedPairs) {
        EXPECT_TRUE(a >= 0 && a < 4 && b >= 0 && b < 4);
    }
    // Order list 1, 3, 2, 0: the 3-cycle 0 -> 1 -> 3 makes two exchanges; 2 is in place.
    EXPECT_EQ(shape.exchanges, (std::vector<std::pair<int, int>>{{1, 0}, {3, 1}}));
}

TEST_F(RenumberTest, PositionsInPlaceCostNoExchange) {
    Start(
        MakeDocument({{"a", 0, 500}, {"b", 0, 400}, {"d", 0, 200}, {"c", 0, 300}, {"e", 0, 100}}));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    const RunShape shape = Shape(Calls(), 5);
    EXPECT_EQ(shape.mismatch, "");
    EXPECT_EQ(shape.exchanges, (std::vector<std::pair<int, int>>{{3, 2}}));
}

// With fewer than two artboards nothing is compared and no corner is read.
TEST_F(RenumberTest, FewerThanTwoArtboardsAreNotSorted) {
    for (const auto& layout : {std::vector<Placed>{}, std::vector<Placed>{{"only", 1, 2}}}) {
        ActiveHost().OpenDocument(MakeDocument(layout));
        if (!Started()) {
            Start(MakeDocument(layout));
        }
        ASSERT_EQ(Choose(kByColumnLabel), 0);
        const RunShape shape = Shape(Calls(), static_cast<int>(layout.size()));
        EXPECT_EQ(shape.mismatch, "");
        EXPECT_EQ(shape.cornersRead, 0);
        EXPECT_EQ(shape.comparisons, 0);
        EXPECT_TRUE(shape.exchanges.empty());
    }
}

}  // namespace
}  // namespace quorvane::test
