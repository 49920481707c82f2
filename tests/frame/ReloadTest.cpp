// Unloading the module's code for real and reloading it at another address: the kept
// plug-in object must run the new code.
#include <gtest/gtest.h>

#include "hostsim/loader/ModuleLoader.h"
#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::AddressReuse;
using hostsim::ModuleLoader;

class RealModuleReload : public ModuleTest {};

TEST_F(RealModuleReload, ReallyUnloadedCodeIsReboundAtADifferentAddress) {
    StartAndForget();
    void* const object = ModuleSession().InstanceSlot();
    const std::uintptr_t before = ModuleSession().EntryAddress();

    ASSERT_EQ(ModuleSession().Unload(AddressReuse::ReserveOldRange), 0);
    EXPECT_FALSE(ModuleLoader::IsResident(hostsim::DefaultModulePath()))
        << "the module's code is still in memory";
    const ModuleLoader* loader = ModuleSession().Loader();
    ASSERT_NE(loader, nullptr);
    ASSERT_TRUE(loader->HoldsReservation()) << loader->ErrorText();

    ASSERT_EQ(ModuleSession().Reload(), 0);
    EXPECT_NE(ModuleSession().EntryAddress(), before);
    EXPECT_EQ(ModuleSession().InstanceSlot(), object) << "the object survives the reload";
    EXPECT_EQ(BriefCalls(ActiveHost()), Concat({Releases(0, 11), Acquisitions(0, 11)}));

    // Each of these reaches a virtual operation of the kept object; with the old code's
    // range reserved, a stale binding would fault here.
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(ModuleSession().Send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(ModuleSession().SendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                                  "PopAppContext(context#2)"}));

    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11));
}

TEST_F(RealModuleReload, RepeatedUnloadAndReloadCyclesKeepWorking) {
    StartAndForget();
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        ActiveHost().Calls().Clear();
        ASSERT_EQ(ModuleSession().Unload(AddressReuse::ReserveOldRange), 0);
        ASSERT_EQ(ModuleSession().Reload(), 0);
        EXPECT_EQ(BriefCalls(ActiveHost()), Concat({Releases(0, 11), Acquisitions(0, 11)}));
        EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    }
}

TEST_F(RealModuleReload, ShutdownRightAfterAReloadOfNewCodeReleasesOnce) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().Unload(), 0);
    ASSERT_EQ(ModuleSession().Reload(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11));
}

}  // namespace
}  // namespace quorvane::test
