// Unloading the module's code for real and reloading it at another address: the kept
// plug-in object must run the new code.
#include <gtest/gtest.h>

#include "hostsim/loader/ModuleLoader.h"
#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::AddressReuse;
using hostsim::ModuleLoader;

class RealModuleReload : public RealModule {};

TEST_F(RealModuleReload, ReallyUnloadedCodeIsReboundAtADifferentAddress) {
    StartAndForget();
    void* const object = session.InstanceSlot();
    const std::uintptr_t before = session.EntryAddress();

    ASSERT_EQ(session.Unload(AddressReuse::ReserveOldRange), 0);
    EXPECT_FALSE(ModuleLoader::IsResident(hostsim::DefaultModulePath()))
        << "the module's code is still in memory";
    const ModuleLoader* loader = session.Loader();
    ASSERT_NE(loader, nullptr);
    ASSERT_TRUE(loader->HoldsReservation()) << loader->ErrorText();

    ASSERT_EQ(session.Reload(), 0);
    EXPECT_NE(session.EntryAddress(), before);
    EXPECT_EQ(session.InstanceSlot(), object) << "the object survives the reload";
    EXPECT_EQ(BriefCalls(host), Concat({Releases(0, 11), Acquisitions(0, 11)}));

    // Each of these reaches a virtual operation of the kept object; with the old code's
    // range reserved, a stale binding would fault here.
    host.Calls().Clear();
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.Send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(session.SendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(BriefCalls(host), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                          "PopAppContext(context#2)"}));

    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

TEST_F(RealModuleReload, RepeatedUnloadAndReloadCyclesKeepWorking) {
    StartAndForget();
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        host.Calls().Clear();
        ASSERT_EQ(session.Unload(AddressReuse::ReserveOldRange), 0);
        ASSERT_EQ(session.Reload(), 0);
        EXPECT_EQ(BriefCalls(host), Concat({Releases(0, 11), Acquisitions(0, 11)}));
        EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    }
}

TEST_F(RealModuleReload, ShutdownRightAfterAReloadOfNewCodeReleasesOnce) {
    StartAndForget();
    ASSERT_EQ(session.Unload(), 0);
    ASSERT_EQ(session.Reload(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

}  // namespace
}  // namespace quorvane::test
