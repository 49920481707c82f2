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

class RealModuleSuiteAcquisition : public ModuleTest {};

TEST_F(RealModuleSuiteAcquisition, FailingAtEachRowReleasesExactlyTheRowsBeforeItInTableOrder) {
    for (std::size_t row = 0; row < kSuiteRows.size(); ++row) {
        SCOPED_TRACE(kSuiteRows[row].name);
        ActiveHost().Calls().Clear();
        ActiveHost().Faults().Clear();
        ActiveHost().Faults().FailAcquisition(kSuiteRows[row].name, kRefused, 1);

        EXPECT_EQ(ModuleSession().SendStartup(), kRefused);
        EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
        EXPECT_EQ(BriefCalls(ActiveHost()),
                  Concat({Acquisitions(0, row + 1), Releases(0, row), ReportWithoutTables()}))
            << ActiveHost().Calls().Text();
        EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
        EXPECT_TRUE(ActiveHost().Ledger().Outstanding().empty())
            << "no name, notifier, lock or menu";
        EXPECT_TRUE(ActiveHost().Plugins().Notifiers().empty());
    }
    ActiveHost().Faults().Clear();
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Startup(), 0) << "a later start-up still works:\n"
                                            << ActiveHost().Calls().Text();
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
        ActiveHost().Calls().Clear();
        ActiveHost().Faults().Clear();
        ActiveHost().Faults().FailOperation(row.entry, kRefused, 1);

        EXPECT_EQ(ModuleSession().SendStartup(), kRefused);
        EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
        EXPECT_EQ(BriefCalls(ActiveHost()), Concat({Acquisitions(0, 11), row.registrationCalls,
                                                    Releases(0, 11), ReportWithoutTables()}))
            << ActiveHost().Calls().Text();
        EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
        EXPECT_TRUE(ActiveHost().Ledger().Outstanding().empty()) << "no lock and no menu";
    }
}

TEST_F(RealModuleSuiteAcquisition,
       ReloadThatCannotAcquireReleasesWhatItHeldReportsAndCanBeRetried) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
    ActiveHost().Calls().Clear();
    ActiveHost().Faults().FailAcquisition("AI Menu Suite", kRefused, 1);
    const std::size_t menuRow = 8;

    EXPECT_EQ(ModuleSession().Reload(), kRefused);
    EXPECT_NE(ModuleSession().InstanceSlot(), nullptr) << "a failed reload keeps the object";
    EXPECT_EQ(BriefCalls(ActiveHost()),
              Concat({Acquisitions(0, menuRow + 1), Releases(0, menuRow), ReportWithoutTables()}))
        << ActiveHost().Calls().Text();
    EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());

    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Send("AI Menu", "AI Update"), 0)
        << "no suites: answered without the plug-in";
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty());
    EXPECT_EQ(ModuleSession().Reload(), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Acquisitions(0, 11)) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleSuiteAcquisition, ShutdownAfterAFailedReloadReleasesNothing) {
    StartAndForget();
    ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
    ActiveHost().Faults().FailAcquisition("SP Access Suite", kRefused, 1);
    ASSERT_EQ(ModuleSession().Reload(), kRefused);
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleSuiteAcquisition, ARefusedReleaseDoesNotKeepTheLaterSuitesHeld) {
    // The module is going away: stopping at the refusal would leave every later suite held
    // for good. The first release is refused (after the host has let the suite go).
    StartAndForget();
    ActiveHost().Calls().Clear();
    ActiveHost().Faults().FailOperation(hostsim::abi::basic::ReleaseSuite::id, kRefused, 1);
    EXPECT_EQ(ModuleSession().Shutdown(), 0);
    const auto calls = BriefCalls(ActiveHost());
    const auto releases = Releases(0, kSuiteRows.size());
    EXPECT_NE(std::search(calls.begin(), calls.end(), releases.begin(), releases.end()),
              calls.end())
        << ActiveHost().Calls().Text();
    EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
}

TEST_F(RealModuleSuiteAcquisition, ASuiteAnsweredWithoutATableFailsStartupWithNothingHeld) {
    // The host says yes but writes no table. Going on would end in a call through a null
    // suite pointer (the lock, at the latest); the start-up must fail instead.
    ActiveHost().Faults().AnswerWithoutWriting(hostsim::abi::basic::AcquireSuite::id, 1);
    EXPECT_NE(ModuleSession().SendStartup(), 0);
    EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
    EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty()) << ActiveHost().Calls().Text();
    EXPECT_TRUE(ActiveHost().Ledger().Outstanding().empty()) << "no lock, notifier or menu";
}

}  // namespace
}  // namespace quorvane::test
