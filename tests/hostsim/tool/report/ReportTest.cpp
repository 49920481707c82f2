#include "hostsim/tool/report/Report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace hostsim::tool {
namespace {

Artboard Board(const std::string& name, float left, float top) {
    Artboard artboard;
    artboard.name = name;
    artboard.bounds = {left, top, left + 10, top - 10};
    return artboard;
}

using Former = std::vector<std::optional<std::size_t>>;

TEST(Report, FormerPositionsFollowTheExchangedProperties) {
    Document before;
    before.artboards = {Board("a", 0, 0), Board("b", 10, 0), Board("c", 20, 0)};
    Document after = before;
    after.artboards = {before.artboards[1], before.artboards[2], before.artboards[0]};
    // Ids stay at their positions and do not identify an artboard.
    for (std::size_t k = 0; k < 3; ++k) {
        after.artboards[k].id = before.artboards[k].id + 7;
    }
    EXPECT_EQ(TraceFormerPositions(before, after), (Former{1, 2, 0}));
    // A ruler origin travels with its artboard: one left behind is an artboard nobody had.
    after.artboards[0].rulerOrigin = {5, 5};
    EXPECT_EQ(TraceFormerPositions(before, after), (Former{std::nullopt, 2, 0}));
}

TEST(Report, IndistinguishableArtboardsKeepTheirOwnPositionFirst) {
    Document before;
    before.artboards = {Board("x", 0, 0), Board("y", 5, 5), Board("x", 0, 0)};
    Document after;
    after.artboards = {Board("y", 5, 5), Board("x", 0, 0), Board("x", 0, 0)};
    EXPECT_EQ(TraceFormerPositions(before, after), (Former{1, 0, 2}));
}

TEST(Report, APositionWithMixedPropertiesHasNoFormerPosition) {
    Document before;
    before.artboards = {Board("a", 0, 0), Board("b", 10, 0)};
    Document after = before;
    after.artboards[0].name = "b";  // b's name on a's bounds
    EXPECT_EQ(TraceFormerPositions(before, after), (Former{std::nullopt, 1}));
}

// The rule as the header states it, one search per position.
Former FormerPositionsByRule(const Document& before, const Document& after) {
    auto same = SameTravellingProperties;
    Former former(after.artboards.size());
    std::vector<bool> claimed(before.artboards.size());
    for (std::size_t k = 0; k < std::min(former.size(), claimed.size()); ++k) {
        if (same(after.artboards[k], before.artboards[k])) {
            former[k] = k;
            claimed[k] = true;
        }
    }
    for (std::size_t k = 0; k < former.size(); ++k) {
        for (std::size_t j = 0; j < claimed.size() && !former[k]; ++j) {
            if (!claimed[j] && same(after.artboards[k], before.artboards[j])) {
                former[k] = j;
                claimed[j] = true;
            }
        }
    }
    return former;
}

// Documents full of duplicates, both zeros, NaNs and mixed properties, shuffled.
TEST(Report, FormerPositionsFollowTheRuleOnDocumentsWithDuplicates) {
    const float kValues[] = {0.0F, -0.0F, 1.0F, std::numeric_limits<float>::quiet_NaN()};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Document before;
        const std::size_t n = random() % 12;
        for (std::size_t j = 0; j < n; ++j) {
            Artboard a =
                Board(random() % 2 == 0 ? "x" : "y", kValues[random() % 4], kValues[random() % 3]);
            a.pixelAspectRatio = kValues[random() % 4];
            if (random() % 3 == 0) {
                a.displayMarks = {1};
            }
            before.artboards.push_back(a);
        }
        Document after = before;
        std::shuffle(after.artboards.begin(), after.artboards.end(), random);
        if (n > 0 && random() % 4 == 0) {
            after.artboards[random() % n].name = "mixed";
        }
        if (n > 1 && random() % 4 == 0) {
            after.artboards.pop_back();  // fewer after than before
        }
        ASSERT_EQ(TraceFormerPositions(before, after), FormerPositionsByRule(before, after))
            << "round " << round;
    }
}

TEST(Report, TablesAlignTheirColumns) {
    Document document;
    document.artboards = {Board("Cover", 0, 792), Board("Back pagé", -1224.5f, 0)};
    EXPECT_EQ(RenumberTable(document, {1, std::nullopt}),
              "new  name          left  top  was\n"
              "  1  Cover            0  792    2\n"
              "  2  Back pagé  -1224.5    0    ?\n");
    EXPECT_EQ(ShowTable(document),
              "#  name          left  top    right  bottom\n"
              "1  Cover            0  792       10     782\n"
              "2  Back pagé  -1224.5    0  -1214.5     -10\n");
}

}  // namespace
}  // namespace hostsim::tool
