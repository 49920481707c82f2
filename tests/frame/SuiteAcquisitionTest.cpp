// Suite acquisition failing at start-up and at reload, and start-up failing after it.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

// Not one of the codes the module keeps silent, so its report is visible.
constexpr hostsim::ErrorCode kRefused = FourChar("Refu");

class RealModuleSuiteAcquisition : public RealModule {};

TEST_F(RealModuleSuiteAcquisition, FailingAtEachRowReleasesExactlyTheRowsBeforeItInTableOrder) {
    for (std::size_t row = 0; row < kSuiteRows.size(); ++row) {
        SCOPED_TRACE(kSuiteRows[row].name);
        host.Calls().Clear();
        host.Faults().Clear();
        host.Faults().FailAcquisition(kSuiteRows[row].name, kRefused, 1);

        EXPECT_EQ(session.SendStartup(), kRefused);
        EXPECT_EQ(session.InstanceSlot(), nullptr);
        EXPECT_EQ(BriefCalls(host),
                  Concat({Acquisitions(0, row + 1), Releases(0, row), ReportWithoutTables()}))
            << host.Calls().Text();
        EXPECT_TRUE(host.Ledger().HeldSuites().empty());
        EXPECT_TRUE(host.Ledger().Outstanding().empty()) << "no name, notifier, lock or menu";
        EXPECT_TRUE(host.Plugins().Notifiers().empty());
    }
    host.Faults().Clear();
    host.Calls().Clear();
    EXPECT_EQ(session.Startup(), 0) << "a later start-up still works:\n" << host.Calls().Text();
}

TEST_F(RealModuleSuiteAcquisition, StartupFailingAfterAcquisitionReleasesEverySuite) {
    struct Row {
        const char* name;
        hostsim::abi::EntryId entry;
        std::vector<std::string> registrationCalls;  // between acquisition and release
    };
    const Row rows[] = {
        {"set-name",
         hostsim::abi::plugins::SetPluginName::id,
         {"SetPluginName(plugin#1, \"Quorvane\")"}},
        {"add-notifier",
         hostsim::abi::notifier::AddNotifier::id,
         {"SetPluginName(plugin#1, \"Quorvane\")",
          "AddNotifier(plugin#1, \"Quorvane App Started Notifier\", "
          "\"AI Application Started Notifier\", null)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        host.Calls().Clear();
        host.Faults().Clear();
        host.Faults().FailOperation(row.entry, kRefused, 1);

        EXPECT_EQ(session.SendStartup(), kRefused);
        EXPECT_EQ(session.InstanceSlot(), nullptr);
        EXPECT_EQ(BriefCalls(host), Concat({Acquisitions(0, 11), row.registrationCalls,
                                            Releases(0, 11), ReportWithoutTables()}))
            << host.Calls().Text();
        EXPECT_TRUE(host.Ledger().HeldSuites().empty());
        EXPECT_TRUE(host.Ledger().Outstanding().empty()) << "no lock and no menu";
    }
}

TEST_F(RealModuleSuiteAcquisition,
       ReloadThatCannotAcquireReleasesWhatItHeldReportsAndCanBeRetried) {
    StartAndForget();
    ASSERT_EQ(session.SendUnloadMessage(), 0);
    host.Calls().Clear();
    host.Faults().FailAcquisition("AI Menu Suite", kRefused, 1);
    const std::size_t menuRow = 8;

    EXPECT_EQ(session.Reload(), kRefused);
    EXPECT_NE(session.InstanceSlot(), nullptr) << "a failed reload keeps the object";
    EXPECT_EQ(BriefCalls(host),
              Concat({Acquisitions(0, menuRow + 1), Releases(0, menuRow), ReportWithoutTables()}))
        << host.Calls().Text();
    EXPECT_TRUE(host.Ledger().HeldSuites().empty());

    host.Calls().Clear();
    EXPECT_EQ(session.Send("AI Menu", "AI Update"), 0) << "no suites: answered without the plug-in";
    EXPECT_TRUE(BriefCalls(host).empty());
    EXPECT_EQ(session.Reload(), 0);
    EXPECT_EQ(BriefCalls(host), Acquisitions(0, 11)) << host.Calls().Text();
}

TEST_F(RealModuleSuiteAcquisition, ShutdownAfterAFailedReloadReleasesNothing) {
    StartAndForget();
    ASSERT_EQ(session.SendUnloadMessage(), 0);
    host.Faults().FailAcquisition("SP Access Suite", kRefused, 1);
    ASSERT_EQ(session.Reload(), kRefused);
    host.Calls().Clear();
    EXPECT_EQ(session.Shutdown(), 0);
    EXPECT_TRUE(BriefCalls(host).empty()) << host.Calls().Text();
}

TEST_F(RealModuleSuiteAcquisition, ARefusedReleaseDoesNotKeepTheLaterSuitesHeld) {
    // The module is going away: stopping at the refusal would leave every later suite held
    // for good. The first release is refused (after the host has let the suite go).
    StartAndForget();
    host.Calls().Clear();
    host.Faults().FailOperation(hostsim::abi::basic::ReleaseSuite::id, kRefused, 1);
    EXPECT_EQ(session.Shutdown(), 0);
    const auto calls = BriefCalls(host);
    const auto releases = Releases(0, kSuiteRows.size());
    EXPECT_NE(std::search(calls.begin(), calls.end(), releases.begin(), releases.end()),
              calls.end())
        << host.Calls().Text();
    EXPECT_TRUE(host.Ledger().HeldSuites().empty());
}

TEST_F(RealModuleSuiteAcquisition, ASuiteAnsweredWithoutATableFailsStartupWithNothingHeld) {
    // The host says yes but writes no table. Going on would end in a call through a null
    // suite pointer (the lock, at the latest); the start-up must fail instead.
    host.Faults().AnswerWithoutWriting(hostsim::abi::basic::AcquireSuite::id, 1);
    EXPECT_NE(session.SendStartup(), 0);
    EXPECT_EQ(session.InstanceSlot(), nullptr);
    EXPECT_TRUE(host.Ledger().HeldSuites().empty()) << host.Calls().Text();
    EXPECT_TRUE(host.Ledger().Outstanding().empty()) << "no lock, notifier or menu";
}

}  // namespace
}  // namespace quorvane::test
