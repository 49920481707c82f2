// The two grid orders, seen through the document after a run of each command.
#include <algorithm>
#include <functional>
#include <utility>

#include "RenumberHarness.h"
#include "tests/TestNames.h"

namespace quorvane::test {
namespace {

struct OrderCase {
    const char* what;
    std::vector<Placed> layout;
    std::vector<std::string> byRow;     // names by position after "Grid by Row"
    std::vector<std::string> byColumn;  // ... after "Grid by Column"
};

class GridOrder : public ModuleTest, public ::testing::WithParamInterface<OrderCase> {};

// Both commands on a fresh start of the same layout.
TEST_P(GridOrder, ByRowAndByColumn) {
    const OrderCase& c = GetParam();
    Start(MakeDocument(c.layout));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    EXPECT_EQ(Names(Document()), c.byRow) << c.what;
    ActiveHost().CurrentDocument()->artboards = MakeDocument(c.layout).artboards;
    ASSERT_EQ(Choose(kByColumnLabel), 0);
    EXPECT_EQ(Names(Document()), c.byColumn) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GridOrder,
    ::testing::Values(OrderCase{"a 2 x 2 grid, drawn in shuffled order",
                                {{"Z", 100, 0}, {"X", 100, 100}, {"W", 0, 100}, {"Y", 0, 0}},
                                {"W", "X", "Y", "Z"},
                                {"W", "Y", "X", "Z"}},
                      OrderCase{"equal tops: the smaller left first either way",
                                {{"at 50", 50, 10}, {"at 10", 10, 10}},
                                {"at 10", "at 50"},
                                {"at 10", "at 50"}},
                      OrderCase{"a top of 99.99 is a row below 100, however far left",
                                {{"B", 0, 99.99f}, {"A", 500, 100}},
                                {"A", "B"},
                                {"B", "A"}},
                      OrderCase{"same left: the higher one first in a column",
                                {{"low", 0, 0}, {"high", 0, 300}},
                                {"high", "low"},
                                {"high", "low"}},
                      OrderCase{"negative coordinates compare as plain numbers",
                                {{"-100", -100, -50}, {"-200", -200, -50}, {"below", -200, -150}},
                                {"-200", "-100", "below"},
                                {"-200", "below", "-100"}},
                      OrderCase{"right and bottom take no part",
                                {{"narrow", 10, 0, 10, 5}, {"wide", 0, 0, 1000, 1000}},
                                {"wide", "narrow"},
                                {"wide", "narrow"}},
                      OrderCase{"a single artboard", {{"only", 5, 5}}, {"only"}, {"only"}},
                      OrderCase{"no artboard at all", {}, {}, {}}),
    [](const ::testing::TestParamInfo<OrderCase>& row) { return TestName(row.param.what); });

// Equal left and top: neither comes first, the sort ends normally, either order is right.
TEST_F(RenumberTest, ArtboardsSharingTheirCornerComeOutInEitherOrder) {
    const auto layout = MakeDocument(
        {{"big", 0, 0, 400, 400}, {"right", 500, 0}, {"small", 0, 0, 10, 10}, {"up", 0, 200}});
    Start(layout);
    ASSERT_EQ(Choose(kByRowLabel), 0);
    std::vector<std::string> names = Names(Document());
    EXPECT_EQ(names[0], "up");
    EXPECT_EQ(names[3], "right");
    std::sort(names.begin() + 1, names.begin() + 3);
    EXPECT_EQ(names[1], "big");
    EXPECT_EQ(names[2], "small");
    EXPECT_TRUE(SameArtboardsInAnyOrder(Document(), layout));
}

// Artboards stacked at shared corners (posters and their thumbnails, five at each place of a
// 2 x 2 grid, drawn in a muddle): stacked artboards keep their current order, so a second run
// changes nothing. Twenty artboards take the sort past the short ranges that it orders by plain
// insertion, where stacked artboards happened to stay in order anyway.
TEST_F(RenumberTest, StackedArtboardsKeepTheirOrderSoASecondRunChangesNothing) {
    std::vector<Placed> layout;
    for (int i = 0; i < 20; ++i) {
        const int place = (i * 7) % 4;
        const auto size = static_cast<float>(100 - i);
        layout.push_back({"board " + std::to_string(i), static_cast<float>(place % 2 * 100),
                          static_cast<float>(place / 2 * 100), size, size});
    }
    const auto rowKey = [](const Placed& p) { return std::pair(-p.top, p.left); };
    const auto columnKey = [](const Placed& p) { return std::pair(p.left, -p.top); };
    for (const auto& [command, orderKey] :
         {std::pair<const char*, std::function<std::pair<float, float>(const Placed&)>>{kByRowLabel,
                                                                                        rowKey},
          {kByColumnLabel, columnKey}}) {
        std::vector<Placed> expected = layout;
        const auto& key = orderKey;  // a lambda may not capture a structured binding (clang)
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const Placed& a, const Placed& b) { return key(a) < key(b); });
        ActiveHost().OpenDocument(MakeDocument(layout));
        if (!Started()) {
            Start(MakeDocument(layout));
        }
        ASSERT_EQ(Choose(command), 0);
        EXPECT_EQ(Names(Document()), Names(MakeDocument(expected))) << command;
        ASSERT_EQ(Choose(command), 0);
        EXPECT_EQ(Names(Document()), Names(MakeDocument(expected))) << command;
        EXPECT_TRUE(Exchanges().empty()) << command << ": the second run exchanged artboards";
    }
}

// The two commands are never swapped: on a layout where they disagree each gives its own.
TEST_F(RenumberTest, EachCommandRunsItsOwnOrder) {
    const auto layout = MakeDocument({{"left low", 0, 0}, {"right high", 100, 100}});
    Start(layout);
    ASSERT_EQ(Choose(kByColumnLabel), 0);
    EXPECT_EQ(Names(Document()), (std::vector<std::string>{"left low", "right high"}));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    EXPECT_EQ(Names(Document()), (std::vector<std::string>{"right high", "left low"}));
}

}  // namespace
}  // namespace quorvane::test
