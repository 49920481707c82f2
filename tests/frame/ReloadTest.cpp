// Unloading the module's code for real and reloading it at another address: the kept
// plug-in object must run the new code.
#include <gtest/gtest.h>

#include "hostsim/ModuleLoader.h"
#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::AddressReuse;
using hostsim::ModuleLoader;

class RealModuleReload : public RealModule {};

TEST_F(RealModuleReload, ReallyUnloadedCodeIsReboundAtADifferentAddress) {
    StartAndForget();
    void* const object = session.instanceSlot();
    const std::uintptr_t before = session.entryAddress();

    ASSERT_EQ(session.unload(AddressReuse::ReserveOldRange), 0);
    EXPECT_FALSE(ModuleLoader::isResident(hostsim::DefaultModulePath()))
        << "the module's code is still in memory";
    const ModuleLoader* loader = session.loader();
    ASSERT_NE(loader, nullptr);
    ASSERT_TRUE(loader->holdsReservation()) << loader->errorText();

    ASSERT_EQ(session.reload(), 0);
    EXPECT_NE(session.entryAddress(), before);
    EXPECT_EQ(session.instanceSlot(), object) << "the object survives the reload";
    EXPECT_EQ(BriefCalls(host), Concat({Releases(0, 11), Acquisitions(0, 11)}));

    // Each of these reaches a virtual operation of the kept object; with the old code's
    // range reserved, a stale binding would fault here.
    host.calls().clear();
    EXPECT_EQ(session.notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(session.sendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(BriefCalls(host), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                          "PopAppContext(context#2)"}));

    host.calls().clear();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

TEST_F(RealModuleReload, RepeatedUnloadAndReloadCyclesKeepWorking) {
    StartAndForget();
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        host.calls().clear();
        ASSERT_EQ(session.unload(AddressReuse::ReserveOldRange), 0);
        ASSERT_EQ(session.reload(), 0);
        EXPECT_EQ(BriefCalls(host), Concat({Releases(0, 11), Acquisitions(0, 11)}));
        EXPECT_EQ(session.notify(hostsim::kApplicationStartedType), 0);
    }
}

TEST_F(RealModuleReload, ShutdownRightAfterAReloadOfNewCodeReleasesOnce) {
    StartAndForget();
    ASSERT_EQ(session.unload(), 0);
    ASSERT_EQ(session.reload(), 0);
    host.calls().clear();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

}  // namespace
}  // namespace quorvane::test
