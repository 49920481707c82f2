// Start-up, shut-down, unload and reload of the real module, seen from the host.
#include <gtest/gtest.h>

#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::HandleKind;

class RealModuleLifecycle : public RealModule {};

TEST_F(RealModuleLifecycle, StartupAcquiresSuitesInTableOrderThenRegistersNameNotifierAndLock) {
    ASSERT_EQ(session.SendStartup(), 0) << host.Calls().Text();
    EXPECT_NE(session.InstanceSlot(), nullptr);

    std::vector<std::string> calls = BriefCalls(host);
    ASSERT_GE(calls.size(), 14u) << host.Calls().Text();
    calls.resize(14);  // the menus follow the lock
    EXPECT_EQ(calls, Concat({Acquisitions(0, 11),
                             {"SetPluginName(plugin#1, \"Quorvane\")",
                              "AddNotifier(plugin#1, \"Quorvane App Started Notifier\", "
                              "\"AI Application Started Notifier\", null)",
                              "AcquirePlugin(plugin#1, &slot)"}}));
    for (const SuiteRow& row : kSuiteRows) {
        EXPECT_EQ(host.Ledger().HoldCount(row.name, row.version), 1) << row.name;
    }
    EXPECT_EQ(host.Plugins().Notifiers().size(), 1u);
    EXPECT_EQ(host.Plugins().Plugin(session.PluginReference())->namesSet,
              std::vector<std::string>{"Quorvane"});
}

TEST_F(RealModuleLifecycle, NoHostCallPrecedesStartupAndNoMessageIsHandledBeforeIt) {
    EXPECT_EQ(session.Send("AI Menu", "AI Go"), 0);
    EXPECT_EQ(session.Send("SP Access", "Reload"), 0);
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(session.InstanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
}

TEST_F(RealModuleLifecycle, ApplicationStartedNotificationRunsInsideOneHostContext) {
    ASSERT_EQ(session.SendStartup(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(BriefCalls(host), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                          "PopAppContext(context#1)"}));
    EXPECT_TRUE(host.Plugins().OpenContexts().empty());
}

TEST_F(RealModuleLifecycle, AContextTheHostDidNotEnterIsNotLeft) {
    ASSERT_EQ(session.SendStartup(), 0);
    host.Calls().Clear();
    // Refused, and answered 0 without a handle: either way there is nothing to pop.
    host.Faults().FailOperation(hostsim::abi::context::PushAppContext::id,
                                hostsim::FourChar("Refu"), 1);
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    host.Faults().AnswerWithoutWriting(hostsim::abi::context::PushAppContext::id, 1);
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(BriefCalls(host), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                          "PushAppContext(plugin#1, &slot)"}));
    EXPECT_TRUE(host.Plugins().OpenContexts().empty());
}

TEST_F(RealModuleLifecycle, ShutdownReleasesEverySuiteInTableOrderAndLeavesLockAndNotifier) {
    StartAndForget();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(session.InstanceSlot(), nullptr);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11)) << "no access release: the lock stays";
    EXPECT_TRUE(host.Ledger().HeldSuites().empty());
    const auto left = host.Ledger().Outstanding();
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left.front().kind, HandleKind::Notifier);
    EXPECT_EQ(host.Ledger().OutstandingExcept({HandleKind::MenuItem, HandleKind::MenuGroup}).size(),
              2u)
        << "the notifier and the access reference";
}

TEST_F(RealModuleLifecycle, UnloadReleasesEverySuiteAndKeepsTheObject) {
    StartAndForget();
    void* const object = session.InstanceSlot();
    EXPECT_EQ(session.SendUnloadMessage(), 0);
    EXPECT_EQ(session.InstanceSlot(), object);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
    EXPECT_TRUE(host.Ledger().HeldSuites().empty());
}

TEST_F(RealModuleLifecycle, ReloadAfterUnloadAcquiresAgainWithoutRegisteringAgain) {
    StartAndForget();
    ASSERT_EQ(session.SendUnloadMessage(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Reload(), 0);
    EXPECT_EQ(BriefCalls(host), Acquisitions(0, 11)) << "no second name, notifier or lock:\n"
                                                     << host.Calls().Text();
    EXPECT_EQ(host.Plugins().Notifiers().size(), 1u);
    EXPECT_EQ(host.Plugins().Plugin(session.PluginReference())->namesSet.size(), 1u);

    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

TEST_F(RealModuleLifecycle, ReloadWhileTheSuitesAreHeldAcquiresNothingAndHoldsThemOnce) {
    StartAndForget();
    EXPECT_EQ(session.Reload(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
    EXPECT_EQ(session.Reload(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11)) << "one shut-down releases each suite once";
}

TEST_F(RealModuleLifecycle, ShutdownWhileUnloadedReleasesNothing) {
    StartAndForget();
    ASSERT_EQ(session.SendUnloadMessage(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(session.InstanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
}

TEST_F(RealModuleLifecycle, WhileUnloadedMessagesAreAnsweredZeroWithoutReachingThePlugin) {
    StartAndForget();
    ASSERT_EQ(session.SendUnloadMessage(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.SendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(session.Send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(session.SendUnloadMessage(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << "no context entered, nothing released twice:\n"
                                          << host.Calls().Text();
}

TEST_F(RealModuleLifecycle, ShutdownAfterShutdownAndMessagesAfterItAnswerZeroAndCallNothing) {
    StartAndForget();
    ASSERT_EQ(session.Shutdown(), 0);
    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_EQ(session.Notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.Send("SP Access", "Reload"), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
}

}  // namespace
}  // namespace quorvane::test
