// The views' lines, corners and joining tolerances.
#include "hostsim/model/GridView.h"

#include <gtest/gtest.h>

namespace hostsim {
namespace {

Document Boards(std::initializer_list<std::pair<float, float>> leftTops) {
    Document document;
    for (const auto& [left, top] : leftTops) {
        Artboard artboard;
        artboard.bounds = {left, top, left + 10, top - 10};
        document.artboards.push_back(artboard);
    }
    return document;
}

TEST(GridView, LinesAreAnchoredAtTheirFirstMemberAndNeverChained) {
    const struct {
        const char* name;
        Document document;
        ViewOptions options;
        std::vector<GridLine> expected;
    } cases[] = {
        {"exact: equal tops only", Boards({{0, 100}, {20, 99}, {40, 100}}), {}, {{0, 2}, {1}}},
        {"within the tolerance of the first",
         Boards({{0, 100}, {20, 99}, {40, 98.5f}}),
         {false, 1.5, false, false},
         {{0, 1, 2}}},
        {"a slope is cut every D",
         Boards({{0, 100}, {20, 99}, {40, 98}, {60, 97}, {80, 96}}),
         {false, 1.5, false, false},
         {{0, 1}, {2, 3}, {4}}},
        {"bottom up gathers from the lowest",
         Boards({{0, 100}, {20, 99}, {40, 98}}),
         {false, 1.5, false, true},
         {{2, 1}, {0}}},
        {"columns from lefts",
         Boards({{0, 0}, {100, 50}, {0.5f, 100}}),
         {true, 1, false, false},
         {{0, 2}, {1}}},
        {"right to left starts at the rightmost",
         Boards({{0, 0}, {100, 50}, {0.5f, 100}}),
         {true, 1, true, false},
         {{1}, {2, 0}}},
        {"the two zeros are one line", Boards({{0, 0.0f}, {10, -0.0f}}), {}, {{0, 1}}},
        {"no artboards", Boards({}), {false, 5, true, true}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ViewLines(c.document, c.options), c.expected) << c.name;
    }
}

TEST(GridView, BoundsAreReflectedAndSnappedWithTheirSizesKept) {
    Document document = Boards({{0, 100}, {20, 99.25f}});
    document.artboards[1].bounds.right = 70;  // 50 wide
    const struct {
        const char* name;
        ViewOptions options;
        std::vector<Rect> expected;
    } cases[] = {
        {"tolerance 0 is the document", {}, {{0, 100, 10, 90}, {20, 99.25f, 70, 89.25f}}},
        {"snapped to the anchor's top",
         {false, 1, false, false},
         {{0, 100, 10, 90}, {20, 100, 70, 90}}},
        {"right to left",
         {false, 0, true, false},
         {{-0.0f, 100, 10, 90}, {-20, 99.25f, 30, 89.25f}}},
        {"bottom up snaps to the lowest",
         {false, 1, false, true},
         {{0, -99.25f, 10, -109.25f}, {20, -99.25f, 70, -109.25f}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ViewBounds(document, c.options), c.expected) << c.name;
    }
}

TEST(GridView, JoiningToleranceIsTheSmallestThatJoins) {
    const struct {
        const char* name;
        Document document;
        std::size_t a, b;
        double expected;
    } cases[] = {
        {"the gap of two rows", Boards({{0, 100}, {20, 98.75f}}), 0, 1, 1.25},
        {"either way round", Boards({{0, 100}, {20, 98.75f}}), 1, 0, 1.25},
        {"from the anchor above", Boards({{0, 100}, {20, 99}, {40, 97.5f}}), 1, 2, 2.5},
        {"equal tops need none", Boards({{0, 100}, {20, 100}}), 0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoiningTolerance(c.document, {}, c.a, c.b), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace hostsim
