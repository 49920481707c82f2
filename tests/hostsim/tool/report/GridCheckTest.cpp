#include "hostsim/tool/report/GridCheck.h"

#include <gtest/gtest.h>

namespace hostsim::tool {
namespace {

Document Boards(std::initializer_list<std::pair<float, float>> leftTops) {
    Document document;
    for (const auto& [left, top] : leftTops) {
        Artboard artboard;
        artboard.name = "A" + std::to_string(document.artboards.size() + 1);
        artboard.bounds = {left, top, left + 10, top - 10};
        document.artboards.push_back(artboard);
    }
    return document;
}

std::vector<std::pair<std::size_t, std::size_t>> Pairs(const std::vector<NearMiss>& misses) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    pairs.reserve(misses.size());
    for (const auto& miss : misses) {
        pairs.emplace_back(miss.first, miss.second);
    }
    return pairs;
}

TEST(GridCheck, FindsArtboardsOfNeighbouringLinesOverlappingByMoreThanHalf) {
    using Pairs_ = std::vector<std::pair<std::size_t, std::size_t>>;
    const struct {
        const char* name;
        Document document;
        GridOrder order;
        Pairs_ expected;
    } cases[] = {
        {"tops 100 and 99.99", Boards({{500, 100}, {0, 99.99f}}), GridOrder::ByRow, {{0, 1}}},
        {"equal tops form one row", Boards({{0, 100}, {50, 100}}), GridOrder::ByRow, {}},
        {"a whole unit apart still overlaps",
         Boards({{0, 100}, {50, 99}}),
         GridOrder::ByRow,
         {{0, 1}}},
        {"half the height is not more than half",
         Boards({{0, 100}, {50, 95}}),
         GridOrder::ByRow,
         {}},
        {"a well-separated grid",
         Boards({{0, 100}, {50, 100}, {0, 80}, {50, 80}}),
         GridOrder::ByRow,
         {}},
        {"named by the first of each row",
         Boards({{90, 100}, {10, 100}, {70, 99.5f}, {30, 99.5f}}),
         GridOrder::ByRow,
         {{1, 3}}},
        {"a chain gives one warning per step",
         Boards({{0, 100}, {0, 99.6f}, {0, 99.2f}}),
         GridOrder::ByRow,
         {{0, 1}, {1, 2}}},
        {"rows ignore lefts", Boards({{0, 100}, {0.5f, 0}}), GridOrder::ByRow, {}},
        {"lefts 0 and 0.5", Boards({{0, 100}, {0.5f, 0}}), GridOrder::ByColumn, {{0, 1}}},
        {"columns in increasing left",
         Boards({{-99.5f, 0}, {-100, 0}}),
         GridOrder::ByColumn,
         {{1, 0}}},
        {"no artboards", Boards({}), GridOrder::ByColumn, {}},
        // Two artboards at one place walk in document order: the first of them is named.
        {"a row's equal lefts in document order",
         Boards({{0, 100}, {0, 100}, {0, 99.5f}}),
         GridOrder::ByRow,
         {{0, 2}}},
        {"a column's equal tops in document order",
         Boards({{0, 100}, {0, 100}, {0.5f, 100}}),
         GridOrder::ByColumn,
         {{0, 2}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Pairs(FindNearMisses(c.document, c.order)), c.expected) << c.name;
    }
}

TEST(GridCheck, TheMessageNamesBothArtboardsAndTheirCoordinates) {
    const Document document = Boards({{500, 100}, {0, 99.99f}});
    const auto misses = FindNearMisses(document, GridOrder::ByRow);
    ASSERT_EQ(misses.size(), 1u);
    EXPECT_EQ(DescribeNearMiss(document, misses[0]),
              "artboards 1 \"A1\" (top 100) and 2 \"A2\" (top 99.99) are in different rows "
              "though they overlap vertically by more than half the shorter one's height; "
              "--tolerance 0.01001 puts them in one row");
}

TEST(GridCheck, TheNamedToleranceJoinsTheTwoAndAViewThatJoinsThemIsQuiet) {
    const struct {
        const char* name;
        Document document;
        ViewOptions view;
        std::vector<std::string> tolerances;
    } cases[] = {
        {"half a unit", Boards({{0, 792}, {50, 791.5f}}), {}, {"0.5"}},
        {"joined by the view", Boards({{0, 792}, {50, 791.5f}}), {false, 0.5, false, false}, {}},
        {"from the anchor above",
         Boards({{0, 100}, {20, 99}, {40, 97.5f}}),
         {false, 1.5, false, false},
         {"2.5"}},
        {"four units apart", Boards({{0, 100}, {20, 96}}), {}, {"4"}},
        {"columns", Boards({{0, 0}, {3, 100}}), {true, 0, false, false}, {"3"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> tolerances;
        for (const auto& miss : FindNearMisses(c.document, c.view)) {
            tolerances.push_back(miss.tolerance);
            ViewOptions joined = c.view;
            joined.tolerance = std::stod(miss.tolerance);
            EXPECT_TRUE(FindNearMisses(c.document, joined).empty()) << c.name;
        }
        EXPECT_EQ(tolerances, c.tolerances) << c.name;
    }
}

}  // namespace
}  // namespace hostsim::tool
