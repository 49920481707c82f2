#include "hostsim/tool/Report.h"

#include <gtest/gtest.h>

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
    // Ids and ruler origins stay at their positions; neither identifies an artboard.
    for (std::size_t k = 0; k < 3; ++k) {
        after.artboards[k].id = before.artboards[k].id;
    }
    after.artboards[0].rulerOrigin = {5, 5};
    EXPECT_EQ(TraceFormerPositions(before, after), (Former{1, 2, 0}));
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
