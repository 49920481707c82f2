// Start-up, shut-down, unload and reload of the real module, seen from the ActiveHost().
#include <gtest/gtest.h>

#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::HandleKind;

class RealModuleLifecycle : public ModuleTest {};

TEST_F(RealModuleLifecycle, StartupAcquiresSuitesInTableOrderThenRegistersNameNotifierAndLock) {
    ASSERT_EQ(ModuleSession().SendStartup(), 0) << ActiveHost().Calls().Text();
    EXPECT_NE(ModuleSession().InstanceSlot(), nullptr);

    std::vector<std::string> calls = BriefCalls(ActiveHost());
    ASSERT_GE(calls.size(), 14u) << ActiveHost().Calls().Text();
    calls.resize(14);  // the menus follow the lock
    EXPECT_EQ(calls, Concat({Acquisitions(0, 11),
                             {"SetPluginName(plugin#1, \"Quorvane\")",
                              "AddNotifier(plugin#1, \"Quorvane App Started Notifier\", "
                              "\"AI Application Started Notifier\", null)",
                              "AcquirePlugin(plugin#1, &slot)"}}));
    for (const SuiteRow& row : kSuiteRows) {
        EXPECT_EQ(ActiveHost().Ledger().HoldCount(row.name, row.version), 1) << row.name;
    }
    EXPECT_EQ(ActiveHost().Plugins().Notifiers().size(), 1u);
    EXPECT_EQ(ActiveHost().Plugins().Plugin(ModuleSession().PluginReference())->namesSet,
              std::vector<std::string>{"Quorvane"});
}

TEST_F(RealModuleLifecycle, NoHostCallPrecedesStartupAndNoMessageIsHandledBeforeIt) {
    EXPECT_EQ(ModuleSession().Send("AI Menu", "AI Go"), 0);
    EXPECT_EQ(ModuleSession().Send("SP Access", "Reload"), 0);
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleLifecycle, ApplicationStartedNotificationRunsInsideOneHostContext) {
    ASSERT_EQ(ModuleSession().SendStartup(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                                  "PopAppContext(context#1)"}));
    EXPECT_TRUE(ActiveHost().Plugins().OpenContexts().empty());
}

TEST_F(RealModuleLifecycle, AContextTheHostDidNotEnterIsNotLeft) {
    ASSERT_EQ(ModuleSession().SendStartup(), 0);
    ActiveHost().Calls().Clear();
    // Refused, and answered 0 without a handle: either way there is nothing to pop.
    ActiveHost().Faults().FailOperation(hostsim::abi::context::PushAppContext::id,
                                        hostsim::FourChar("Refu"), 1);
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    ActiveHost().Faults().AnswerWithoutWriting(hostsim::abi::context::PushAppContext::id, 1);
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()),
              (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                        "PushAppContext(plugin#1, &slot)"}));
    EXPECT_TRUE(ActiveHost().Plugins().OpenContexts().empty());
}

TEST_F(RealModuleLifecycle, ShutdownReleasesEverySuiteInTableOrderAndLeavesLockAndNotifier) {
    StartAndForget();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11)) << "no access release: the lock stays";
    EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
    const auto left = ActiveHost().Ledger().Outstanding();
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left.front().kind, HandleKind::Notifier);
    EXPECT_EQ(ActiveHost()
                  .Ledger()
                  .OutstandingExcept({HandleKind::MenuItem, HandleKind::MenuGroup})
                  .size(),
              2u)
        << "the notifier and the access reference";
}

TEST_F(RealModuleLifecycle, UnloadReleasesEverySuiteAndKeepsTheObject) {
    StartAndForget();
    void* const object = ModuleSession().InstanceSlot();
    EXPECT_EQ(ModuleSession().SendUnloadMessage(), 0);
    EXPECT_EQ(ModuleSession().InstanceSlot(), object);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11));
    EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
}

TEST_F(RealModuleLifecycle, ReloadAfterUnloadAcquiresAgainWithoutRegisteringAgain) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Reload(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Acquisitions(0, 11))
        << "no second name, notifier or lock:\n"
        << ActiveHost().Calls().Text();
    EXPECT_EQ(ActiveHost().Plugins().Notifiers().size(), 1u);
    EXPECT_EQ(ActiveHost().Plugins().Plugin(ModuleSession().PluginReference())->namesSet.size(),
              1u);

    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11));
}

TEST_F(RealModuleLifecycle, ReloadWhileTheSuitesAreHeldAcquiresNothingAndHoldsThemOnce) {
    StartAndForget();
    EXPECT_EQ(ModuleSession().Reload(), 0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
    EXPECT_EQ(ModuleSession().Reload(), 0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11))
        << "one shut-down releases each suite once";
}

TEST_F(RealModuleLifecycle, ShutdownWhileUnloadedReleasesNothing) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleLifecycle, WhileUnloadedMessagesAreAnsweredZeroWithoutReachingThePlugin) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(ModuleSession().SendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(ModuleSession().Send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(ModuleSession().SendUnloadMessage(), 0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << "no context entered, nothing released twice:\n"
                                                  << ActiveHost().Calls().Text();
}

TEST_F(RealModuleLifecycle, ShutdownAfterShutdownAndMessagesAfterItAnswerZeroAndCallNothing) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().Shutdown(), 0);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_EQ(ModuleSession().Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(ModuleSession().Send("SP Access", "Reload"), 0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

}  // namespace
}  // namespace quorvane::test
