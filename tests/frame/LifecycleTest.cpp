// Start-up, shut-down, unload and reload of the real module, seen from the host.
#include <gtest/gtest.h>

#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::HandleKind;

class RealModuleLifecycle : public RealModule {};

TEST_F(RealModuleLifecycle, StartupAcquiresSuitesInTableOrderThenRegistersNameNotifierAndLock) {
    ASSERT_EQ(session.sendStartup(), 0) << host.calls().text();
    EXPECT_NE(session.instanceSlot(), nullptr);

    std::vector<std::string> calls = BriefCalls(host);
    ASSERT_GE(calls.size(), 14u) << host.calls().text();
    calls.resize(14);  // the menus follow the lock
    EXPECT_EQ(calls, Concat({Acquisitions(0, 11),
                             {"SetPluginName(plugin#1, \"Quorvane\")",
                              "AddNotifier(plugin#1, \"Quorvane App Started Notifier\", "
                              "\"AI Application Started Notifier\", null)",
                              "AcquirePlugin(plugin#1, &slot)"}}));
    for (const SuiteRow& row : kSuiteRows) {
        EXPECT_EQ(host.ledger().holdCount(row.name, row.version), 1) << row.name;
    }
    EXPECT_EQ(host.plugins().notifiers().size(), 1u);
    EXPECT_EQ(host.plugins().plugin(session.pluginRef())->namesSet,
              std::vector<std::string>{"Quorvane"});
}

TEST_F(RealModuleLifecycle, NoHostCallPrecedesStartupAndNoMessageIsHandledBeforeIt) {
    EXPECT_EQ(session.send("AI Menu", "AI Go"), 0);
    EXPECT_EQ(session.send("SP Access", "Reload"), 0);
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(session.instanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.calls().text();
}

TEST_F(RealModuleLifecycle, ApplicationStartedNotificationRunsInsideOneHostContext) {
    ASSERT_EQ(session.sendStartup(), 0);
    host.calls().clear();
    EXPECT_EQ(session.notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(BriefCalls(host), (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                                          "PopAppContext(context#1)"}));
    EXPECT_TRUE(host.plugins().openContexts().empty());
}

TEST_F(RealModuleLifecycle, ShutdownReleasesEverySuiteInTableOrderAndLeavesLockAndNotifier) {
    StartAndForget();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(session.instanceSlot(), nullptr);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11)) << "no access release: the lock stays";
    EXPECT_TRUE(host.ledger().heldSuites().empty());
    const auto left = host.ledger().outstanding();
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left.front().kind, HandleKind::Notifier);
    EXPECT_EQ(host.ledger().outstandingExcept({HandleKind::MenuItem, HandleKind::MenuGroup}).size(),
              2u)
        << "the notifier and the access reference";
}

TEST_F(RealModuleLifecycle, UnloadReleasesEverySuiteAndKeepsTheObject) {
    StartAndForget();
    void* const object = session.instanceSlot();
    EXPECT_EQ(session.sendUnloadMessage(), 0);
    EXPECT_EQ(session.instanceSlot(), object);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
    EXPECT_TRUE(host.ledger().heldSuites().empty());
}

TEST_F(RealModuleLifecycle, ReloadAfterUnloadAcquiresAgainWithoutRegisteringAgain) {
    StartAndForget();
    ASSERT_EQ(session.sendUnloadMessage(), 0);
    host.calls().clear();
    EXPECT_EQ(session.reload(), 0);
    EXPECT_EQ(BriefCalls(host), Acquisitions(0, 11)) << "no second name, notifier or lock:\n"
                                                     << host.calls().text();
    EXPECT_EQ(host.plugins().notifiers().size(), 1u);
    EXPECT_EQ(host.plugins().plugin(session.pluginRef())->namesSet.size(), 1u);

    host.calls().clear();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11));
}

TEST_F(RealModuleLifecycle, ReloadWhileTheSuitesAreHeldAcquiresNothingAndHoldsThemOnce) {
    StartAndForget();
    EXPECT_EQ(session.reload(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.calls().text();
    EXPECT_EQ(session.reload(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.calls().text();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(BriefCalls(host), Releases(0, 11)) << "one shut-down releases each suite once";
}

TEST_F(RealModuleLifecycle, ShutdownWhileUnloadedReleasesNothing) {
    StartAndForget();
    ASSERT_EQ(session.sendUnloadMessage(), 0);
    host.calls().clear();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(session.instanceSlot(), nullptr);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.calls().text();
}

TEST_F(RealModuleLifecycle, WhileUnloadedMessagesAreAnsweredZeroWithoutReachingThePlugin) {
    StartAndForget();
    ASSERT_EQ(session.sendUnloadMessage(), 0);
    host.calls().clear();
    EXPECT_EQ(session.notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.sendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(session.send("SP Cache", "Plug-in Purge"), 0);
    EXPECT_EQ(session.sendUnloadMessage(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << "no context entered, nothing released twice:\n"
                                          << host.calls().text();
}

TEST_F(RealModuleLifecycle, ShutdownAfterShutdownAndMessagesAfterItAnswerZeroAndCallNothing) {
    StartAndForget();
    ASSERT_EQ(session.shutdown(), 0);
    host.calls().clear();
    EXPECT_EQ(session.shutdown(), 0);
    EXPECT_EQ(session.notify(hostsim::kApplicationStartedType), 0);
    EXPECT_EQ(session.send("SP Access", "Reload"), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.calls().text();
}

}  // namespace
}  // namespace quorvane::test
