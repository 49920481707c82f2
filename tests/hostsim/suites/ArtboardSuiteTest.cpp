// "AI Artboard Suite" over the host's document.
#include <gtest/gtest.h>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;
using namespace abi::artboard;

constexpr SuiteId kArtboards = SuiteId::Artboard;

Document TwoArtboards(const std::string& name = "two.json") {
    Document document;
    document.name = name;
    Artboard first;
    first.name = "First";
    first.bounds = {0, 100, 50, 0};
    first.pixelAspectRatio = 1;
    first.displayMarks = {0, 4};
    first.rulerOrigin = {1, 2};
    first.id = 11;
    Artboard second;
    second.name = "Second";
    second.bounds = {60, 100, 110, 0};
    second.pixelAspectRatio = 2.5f;
    second.displayMarks = {1};
    second.rulerOrigin = {3, 4};
    second.id = 22;
    document.artboards = {first, second};
    return document;
}

class ArtboardSuite : public ::testing::Test {
  protected:
    void SetUp() override { host.OpenDocument(TwoArtboards()); }

    abi::Handle AcquireList() {
        abi::Handle list = nullptr;
        EXPECT_EQ(Call<AcquireArtboardList>(kArtboards, &list), 0);
        return list;
    }
    abi::Handle Fetch(abi::Handle list, std::int32_t index) {
        abi::Handle set = nullptr;
        EXPECT_EQ(Call<GetArtboardAttributes>(kArtboards, &list, index, &set), 0);
        return set;
    }
    void Dispose(abi::Handle set) { EXPECT_EQ(Call<DisposeAttributes>(kArtboards, &set), 0); }
    void Release(abi::Handle list) { EXPECT_EQ(Call<ReleaseArtboardList>(kArtboards, &list), 0); }

    Host host;
};

TEST_F(ArtboardSuite, ReadsEveryPropertyOfAnArtboard) {
    abi::Handle list = AcquireList();
    std::int32_t count = -1;
    EXPECT_EQ(Call<GetArtboardCount>(kArtboards, &list, &count), 0);
    EXPECT_EQ(count, 2);
    abi::Handle set = Fetch(list, 1);

    abi::BoundsRect bounds{};
    EXPECT_EQ(Call<GetBounds>(kArtboards, &set, &bounds), 0);
    EXPECT_EQ(bounds.left, 60);
    EXPECT_EQ(bounds.top, 100);
    EXPECT_EQ(bounds.right, 110);
    EXPECT_EQ(bounds.bottom, 0);
    float ratio = 0;
    EXPECT_EQ(Call<GetPixelAspectRatio>(kArtboards, &set, &ratio), 0);
    EXPECT_EQ(ratio, 2.5f);
    abi::Handle name = nullptr;
    EXPECT_EQ(Call<GetName>(kArtboards, &set, &name), 0);
    EXPECT_EQ(*host.Strings().Text(name), "Second");
    abi::OriginPoint origin{};
    EXPECT_EQ(Call<GetRulerOrigin>(kArtboards, &set, &origin), 0);
    EXPECT_EQ(origin.h, 3);
    EXPECT_EQ(origin.v, 4);
    for (const auto& [kind, on] : {std::pair{0, 0}, {1, 1}, {2, 0}, {4, 0}}) {
        std::int32_t value = 7;
        EXPECT_EQ(Call<GetDisplayMark>(kArtboards, &set, kind, &value), 0);
        EXPECT_EQ(value, on) << "kind " << kind;
    }

    test::DisposeString(name);
    Dispose(set);
    Release(list);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, ASetChangesTheDocumentOnlyWhenWrittenBack) {
    const Document before = *host.CurrentDocument();
    abi::Handle list = AcquireList();
    abi::Handle set = Fetch(list, 0);

    const abi::BoundsRect bounds{5, 6, 7, 8};
    const abi::OriginPoint origin{9, 10};
    abi::Handle name = test::MakeString("Renamed");
    EXPECT_EQ(Call<SetBounds>(kArtboards, &set, &bounds), 0);
    EXPECT_EQ(Call<SetPixelAspectRatio>(kArtboards, &set, 0.5f), 0);
    EXPECT_EQ(Call<SetName>(kArtboards, &set, &name), 0);
    EXPECT_EQ(Call<SetDisplayMark>(kArtboards, &set, 4, 0), 0);
    EXPECT_EQ(Call<SetDisplayMark>(kArtboards, &set, 2, 1), 0);
    EXPECT_EQ(Call<SetRulerOrigin>(kArtboards, &set, &origin), 0);
    EXPECT_EQ(*host.CurrentDocument(), before) << "changing a set must not touch the document";

    EXPECT_EQ(Call<UpdateArtboard>(kArtboards, &list, 1, &set), 0);
    const Artboard& written = host.CurrentDocument()->artboards[1];
    EXPECT_EQ(written.name, "Renamed");
    EXPECT_EQ(written.bounds, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(written.pixelAspectRatio, 0.5f);
    EXPECT_EQ(written.displayMarks, (hostsim::DisplayMarkSet{0, 2}));
    EXPECT_EQ(written.rulerOrigin, (Point{9, 10}));
    EXPECT_EQ(written.id, 22u) << "the host-kept id stays at its position";
    EXPECT_EQ(host.CurrentDocument()->artboards[0], before.artboards[0]);

    test::DisposeString(name);
    Dispose(set);
    Release(list);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, FetchAndCloneOverwriteTheSlotWithoutDisposingWhatWasThere) {
    abi::Handle list = AcquireList();
    abi::Handle set = nullptr;
    ASSERT_EQ(Call<NewAttributes>(kArtboards, &set), 0);
    const abi::Handle made = set;
    ASSERT_EQ(Call<GetArtboardAttributes>(kArtboards, &list, 0, &set), 0);
    EXPECT_NE(set, made);
    EXPECT_EQ(host.Ledger().StatusOf(HandleKind::AttributeSet, made), HandleLedger::Status::Live);

    abi::Handle target = set;
    ASSERT_EQ(Call<CloneAttributes>(kArtboards, &target, &set), 0);
    EXPECT_NE(target, set);
    EXPECT_EQ(*host.Artboards().Set(target), *host.Artboards().Set(set));
    EXPECT_EQ(host.Ledger().StatusOf(HandleKind::AttributeSet, set), HandleLedger::Status::Live);

    const abi::BoundsRect moved{1, 1, 1, 1};
    EXPECT_EQ(Call<SetBounds>(kArtboards, &target, &moved), 0);
    EXPECT_NE(host.Artboards().Set(target)->bounds, host.Artboards().Set(set)->bounds)
        << "a clone is a separate set";

    EXPECT_EQ(host.Ledger().Outstanding().size(), 4u) << "the list and three sets";
    Dispose(made);
    Dispose(set);
    Dispose(target);
    Release(list);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, DisposeAcceptsANullHandle) {
    abi::Handle none = nullptr;
    EXPECT_EQ(Call<DisposeAttributes>(kArtboards, &none), 0);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, DisplayMarkValuesOtherThanZeroAndOneAreViolations) {
    abi::Handle set = nullptr;
    ASSERT_EQ(Call<NewAttributes>(kArtboards, &set), 0);
    for (const std::int32_t value : {2, -1, 255}) {
        EXPECT_EQ(Call<SetDisplayMark>(kArtboards, &set, 0, value), kBadParameterError);
    }
    EXPECT_EQ(host.Violations().size(), 3u);
    EXPECT_TRUE(host.Artboards().Set(set)->displayMarks.empty());
    Dispose(set);
}

TEST_F(ArtboardSuite, IndicesOutsideTheListAreRefusedAndNothingIsWritten) {
    abi::Handle list = AcquireList();
    abi::Handle set = nullptr;
    ASSERT_EQ(Call<NewAttributes>(kArtboards, &set), 0);
    const Document before = *host.CurrentDocument();
    for (const std::int32_t index : {-1, 2, 1000}) {
        abi::Handle fetched = test::ForgedHandle();
        EXPECT_EQ(Call<GetArtboardAttributes>(kArtboards, &list, index, &fetched),
                  kIndexRangeError);
        EXPECT_EQ(fetched, test::ForgedHandle());
        EXPECT_EQ(Call<UpdateArtboard>(kArtboards, &list, index, &set), kIndexRangeError);
    }
    EXPECT_EQ(*host.CurrentDocument(), before);
    Dispose(set);
    Release(list);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, WithNoDocumentOpenTheListIsRefusedAndNothingIsWritten) {
    host.CloseDocument();
    abi::Handle list = test::ForgedHandle();
    EXPECT_EQ(Call<AcquireArtboardList>(kArtboards, &list), kNoDocumentError);
    EXPECT_EQ(list, test::ForgedHandle());
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, AListBelongsToTheDocumentCurrentWhenItWasAcquired) {
    abi::Handle first = AcquireList();
    Document other = TwoArtboards("other.json");
    other.artboards.pop_back();
    host.OpenDocument(other);
    abi::Handle second = AcquireList();

    std::int32_t count = 0;
    EXPECT_EQ(Call<GetArtboardCount>(kArtboards, &first, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Call<GetArtboardCount>(kArtboards, &second, &count), 0);
    EXPECT_EQ(count, 1);

    abi::Handle set = Fetch(second, 0);
    EXPECT_EQ(Call<UpdateArtboard>(kArtboards, &first, 1, &set), 0);
    EXPECT_EQ(*host.CurrentDocument(), other)
        << "the write went to the first document, not this one";

    Dispose(set);
    Release(first);
    Release(second);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST_F(ArtboardSuite, ReleasedListAndDisposedSetAreCaught) {
    abi::Handle list = AcquireList();
    abi::Handle set = Fetch(list, 0);
    abi::Handle oldList = list;
    abi::Handle oldSet = set;
    Dispose(set);
    Release(list);

    std::int32_t count = -1;
    abi::BoundsRect bounds{};
    EXPECT_EQ(Call<GetArtboardCount>(kArtboards, &oldList, &count), kBadHandleError);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(Call<GetBounds>(kArtboards, &oldSet, &bounds), kBadHandleError);
    EXPECT_EQ(Call<UpdateArtboard>(kArtboards, &oldList, 0, &oldSet), kBadHandleError);
    EXPECT_EQ(Call<ReleaseArtboardList>(kArtboards, &oldList), kBadHandleError);
    EXPECT_EQ(Call<DisposeAttributes>(kArtboards, &oldSet), kBadHandleError);
    EXPECT_EQ(host.Ledger().Problems().size(), 5u);
    EXPECT_EQ(host.Ledger().Problems().back().type, HandleLedger::Problem::Type::DoubleRelease);
}

TEST_F(ArtboardSuite, AStringIsNotASet) {
    abi::Handle text = test::MakeString("not a set");
    abi::BoundsRect bounds{};
    EXPECT_EQ(Call<GetBounds>(kArtboards, &text, &bounds), kBadHandleError);
    EXPECT_EQ(host.Ledger().Problems().at(0).type, HandleLedger::Problem::Type::WrongKind);
    test::DisposeString(text);
}

}  // namespace
}  // namespace hostsim
