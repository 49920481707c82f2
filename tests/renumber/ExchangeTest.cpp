// The apply phase: which positions exchange, in what order, and what travels.
#include "RenumberHarness.h"
#include "tests/TestNames.h"

namespace quorvane::test {
namespace {

// A one-column layout whose by-row order list is `order`: artboard order[k] is k-th from the
// top.
std::vector<Placed> LayoutSortingTo(const std::vector<int>& order) {
    std::vector<Placed> layout(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        layout[static_cast<std::size_t>(order[k])] = {"k" + std::to_string(k), 0,
                                                      1000.0f - 100.0f * static_cast<float>(k)};
    }
    return layout;
}

struct ExchangeCase {
    std::vector<int> order;
    std::vector<std::pair<int, int>> exchanges;  // (source position, target position)
};

class ExchangeOrder : public ModuleTest, public ::testing::WithParamInterface<ExchangeCase> {};

// Exactly n minus the number of cycles exchanges, each writing the source first, and the
// document in grid order afterwards.
TEST_P(ExchangeOrder, ExchangesFollowTheCyclesOfTheOrder) {
    const ExchangeCase& c = GetParam();
    Start(MakeDocument(LayoutSortingTo(c.order)));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    EXPECT_EQ(Exchanges(), c.exchanges);
    std::vector<std::string> expected;
    for (std::size_t k = 0; k < c.order.size(); ++k) {
        expected.push_back("k" + std::to_string(k));
    }
    EXPECT_EQ(Names(Document()), expected);
}

INSTANTIATE_TEST_SUITE_P(Orders, ExchangeOrder,
                         ::testing::Values(ExchangeCase{{1, 2, 0}, {{1, 0}, {2, 1}}},
                                           ExchangeCase{{3, 2, 1, 0}, {{3, 0}, {2, 1}}},
                                           ExchangeCase{{1, 2, 3, 0}, {{1, 0}, {2, 1}, {3, 2}}},
                                           ExchangeCase{{0, 1, 2}, {}},
                                           ExchangeCase{{1, 0, 3, 2, 4}, {{1, 0}, {3, 2}}}),
                         // "order_1_2_0": the by-row order the case lays out.
                         [](const ::testing::TestParamInfo<ExchangeCase>& row) {
                             std::string order = "order";
                             for (const int k : row.param.order) {
                                 order += " " + std::to_string(k);
                             }
                             return TestName(order);
                         });

// Name, pixel aspect ratio, display marks and ruler origin go where the bounds go; what the
// host keeps at a position (its id, a display mark of a kind the command does not move) stays.
TEST_F(RenumberTest, PropertiesTravelWithTheBoundsAndHostDataStays) {
    hostsim::Document document = MakeDocument({{"second", 100, 0}, {"first", 0, 0}});
    hostsim::Artboard& second = document.artboards[0];
    second.pixelAspectRatio = 2.5f;
    second.displayMarks = {0, 4};
    second.rulerOrigin = {7, 8};
    hostsim::Artboard& first = document.artboards[1];
    first.pixelAspectRatio = 0.5f;
    first.displayMarks = {1, 2, 3};
    first.rulerOrigin = {-1, -2};
    Start(document);

    ASSERT_EQ(Choose(kByRowLabel), 0);

    const auto& now = Document().artboards;
    EXPECT_EQ(now[0].name, "first");
    EXPECT_EQ(now[0].bounds, first.bounds);
    EXPECT_EQ(now[0].pixelAspectRatio, 0.5f);
    EXPECT_EQ(now[0].displayMarks, (hostsim::DisplayMarkSet{1, 2}));  // kind 3 stayed behind
    EXPECT_EQ(now[0].rulerOrigin, (hostsim::Point{-1, -2}));
    EXPECT_EQ(now[1].name, "second");
    EXPECT_EQ(now[1].bounds, second.bounds);
    EXPECT_EQ(now[1].pixelAspectRatio, 2.5f);
    EXPECT_EQ(now[1].displayMarks, (hostsim::DisplayMarkSet{0, 3, 4}));
    EXPECT_EQ(now[1].rulerOrigin, (hostsim::Point{7, 8}));
    EXPECT_EQ(Ids(Document()), (std::vector<std::uint64_t>{1, 2}));
}

// A document in grid order is read, never written.
TEST_F(RenumberTest, ADocumentInOrderIsNotWrittenAtAll) {
    Start(MakeDocument({{"a", 0, 100}, {"b", 100, 100}, {"c", 0, 0}}));
    ASSERT_EQ(Choose(kByRowLabel), 0);
    for (const hostsim::CallRecord& call : Calls()) {
        EXPECT_NE(call.operation.rfind("Set", 0), 0u) << call.Text();
        EXPECT_NE(call.operation, "UpdateArtboard") << call.Text();
    }
}

// The second run of the same command finds everything in place.
TEST_F(RenumberTest, ASecondRunMakesNoExchange) {
    Start(MakeDocument({{"c", 0, 0}, {"b", 100, 100}, {"a", 0, 100}, {"d", 100, 0}}));
    ASSERT_EQ(Choose(kByColumnLabel), 0);
    EXPECT_FALSE(Exchanges().empty());
    const hostsim::Document once = Document();
    ASSERT_EQ(Choose(kByColumnLabel), 0);
    EXPECT_TRUE(Exchanges().empty());
    EXPECT_EQ(Document(), once);
}

// With no document open there is nothing to renumber: the host's code comes back.
TEST_F(RenumberTest, NoDocumentOpenAnswersTheHostsCode) {
    Start(MakeDocument({}));
    ActiveHost().CloseDocument();
    EXPECT_EQ(Choose(kByRowLabel), hostsim::kNoDocumentError);
    EXPECT_EQ(CountOf("GetArtboardCount"), 0);
}

}  // namespace
}  // namespace quorvane::test
