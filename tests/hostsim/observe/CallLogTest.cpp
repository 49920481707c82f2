// The call log: calls are counted always, described only when kept or streamed.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

// Two strings made and disposed, and a list acquired with no document open (refused).
void MakeSomeCalls() {
    test::DisposeString(test::MakeString("a"));
    test::DisposeString(test::MakeString("b"));
    abi::Handle list = nullptr;
    test::Call<abi::artboard::AcquireArtboardList>(SuiteId::Artboard, &list);
}

TEST(CallLog, CountsEveryCallPerEntryButKeepsNothingUnlessAsked) {
    Host host;
    MakeSomeCalls();
    EXPECT_EQ(host.Calls().HostCallCount(), 5);
    EXPECT_EQ(host.Calls().CountOf(SuiteId::UnicodeString, abi::strings::Initialize::number), 2);
    EXPECT_EQ(host.Calls().CountOf(SuiteId::UnicodeString, abi::strings::Destroy::number), 2);
    EXPECT_EQ(host.Calls().CountOf(SuiteId::Artboard, abi::artboard::AcquireArtboardList::number),
              1);
    EXPECT_EQ(host.Calls().CountOf(SuiteId::Menu, abi::menu::AddMenuItem::number), 0);
    EXPECT_THROW(host.Calls().Records(), std::logic_error)
        << "an empty log would pass for no calls";
    EXPECT_NE(host.Calls().Text().find("Enable()"), std::string::npos);

    host.Calls().Enable();
    MakeSomeCalls();
    ASSERT_EQ(host.Calls().HostCalls().size(), 5u);
    EXPECT_EQ(host.Calls().HostCalls().front().number, 6) << "numbering counts unkept calls";
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST(CallLog, StreamsOneLinePerCallAsTheKeptRecordsReadWithoutKeepingThem) {
    std::ostringstream streamed;
    {
        Host host;
        host.Calls().StreamTo(&streamed);
        MakeSomeCalls();
        host.Calls().StreamTo(nullptr);
        EXPECT_THROW(host.Calls().Records(), std::logic_error);
    }
    Host host;
    host.Calls().Enable();
    MakeSomeCalls();
    EXPECT_EQ(streamed.str(), host.Calls().Text());
    EXPECT_NE(streamed.str().find("AcquireArtboardList(list=&slot) -> 'NDoc'"), std::string::npos)
        << streamed.str();
}

}  // namespace
}  // namespace hostsim
