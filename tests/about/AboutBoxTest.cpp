// The About box of the real module: the alert it shows and what it gives back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/about/AboutHarness.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

constexpr hostsim::ErrorCode kRefused = FourChar("Nope");

// The text's lines, the line break that ends the last one not counted as starting another.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Whether the module holds nothing of the host's beyond what it holds while it runs: the
// frame's one acquisition of each suite, and no string.
void ExpectNothingHeldBeyondTheFrame(const hostsim::Host& host) {
    for (const hostsim::HandleLedger::SuiteHold& hold : host.Ledger().HeldSuites()) {
        EXPECT_EQ(hold.count, 1) << hold.name;
    }
    EXPECT_TRUE(host.Ledger().OutstandingExcept(hostsim::kLeftToHostByDesign).empty())
        << host.Ledger().Report(hostsim::kLeftToHostByDesign);
    EXPECT_TRUE(host.Ledger().Problems().empty()) << host.Ledger().Report();
    EXPECT_TRUE(host.Violations().empty());
}

class RealModuleAboutBox : public ModuleTest {};

TEST_F(RealModuleAboutBox, ChoosingTheAboutItemShowsOneAlertTitleEmptyLineThenTheBody) {
    Start(ShuffledGrid());
    ASSERT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    ASSERT_EQ(ActiveHost().Alerts().size(), 1u);
    const std::string& text = ActiveHost().Alerts().front();

    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the text ends in a line break";
    EXPECT_EQ(text.rfind("About Quorvane\n\n", 0), 0u) << text;
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 10u) << text;
    EXPECT_EQ(lines[0], "About Quorvane");
    EXPECT_EQ(lines[1], "");
    EXPECT_NE(lines[2], "") << "the display title";
    EXPECT_EQ(lines[3], "version 0.1");
    EXPECT_EQ(lines[4], "");
    EXPECT_NE(lines[5], "") << "the author";
    EXPECT_NE(lines[6], "") << "the web address";
    EXPECT_EQ(lines[6].find(' '), std::string::npos) << "a web address has no spaces";
    EXPECT_NE(lines[6].find('.'), std::string::npos) << lines[6];
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(text.find('\r'), std::string::npos) << "lines end in a single line feed";
}

TEST_F(RealModuleAboutBox, TheAboutBoxTakesTheUserSuiteForItselfAndGivesItBack) {
    Start(ShuffledGrid());
    ASSERT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    const auto calls = ActiveHost().Calls().HostCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front().operation, "AcquireSuite");
    EXPECT_EQ(calls.front().Argument("name"), "\"AI User Suite\"");
    EXPECT_EQ(calls.front().Argument("version"), "10");
    EXPECT_EQ(calls.back().operation, "ReleaseSuite");
    EXPECT_EQ(calls.back().Argument("name"), "\"AI User Suite\"");
    ExpectNothingHeldBeyondTheFrame(ActiveHost());

    ASSERT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    ASSERT_EQ(ActiveHost().Alerts().size(), 2u);
    EXPECT_EQ(ActiveHost().Alerts()[1], ActiveHost().Alerts()[0])
        << "the second box is the first again";
}

TEST_F(RealModuleAboutBox, EveryHostCallOfTheAboutBoxFailingInTurnLeavesNothingHeld) {
    Start(ShuffledGrid());
    ASSERT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    const std::vector<hostsim::CallRecord> clean = ActiveHost().Calls().HostCalls();
    ASSERT_EQ(ActiveHost().Alerts().size(), 1u);

    for (std::size_t k = 1; k <= clean.size(); ++k) {
        const hostsim::CallRecord& failing = clean[k - 1];
        SCOPED_TRACE("call " + std::to_string(k) + ": " + failing.Text());
        const std::size_t alertsBefore = ActiveHost().Alerts().size();
        ActiveHost().Calls().Clear();
        ActiveHost().Faults().FailCall(static_cast<int>(k), kRefused);

        const hostsim::ErrorCode result = ModuleSession().ChooseMenuItem(kAboutItemLabel);

        const auto calls = ActiveHost().Calls().HostCalls();
        ASSERT_GE(calls.size(), k);
        EXPECT_EQ(calls[k - 1].fault, hostsim::CallRecord::Fault::InjectedFailure);
        EXPECT_EQ(calls[k - 1].operation, failing.operation);
        const bool stringRefused =
            failing.operation == "Initialize" || failing.operation == "Append";
        EXPECT_EQ(result, stringRefused ? kRefused : 0)
            << "a refused string comes back to the host as the host's code";
        const bool stillShown =
            failing.operation == "Destroy" || failing.operation == "ReleaseSuite";
        EXPECT_EQ(ActiveHost().Alerts().size(), alertsBefore + (stillShown ? 1 : 0));
        ExpectNothingHeldBeyondTheFrame(ActiveHost());
    }
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    EXPECT_EQ(ActiveHost().Calls().HostCalls().size(), clean.size()) << "nothing is left over";
}

TEST_F(RealModuleAboutBox, AUserSuiteAnsweredWithoutATableShowsNothing) {
    Start(ShuffledGrid());
    ActiveHost().Faults().AnswerWithoutWriting(hostsim::abi::basic::AcquireSuite::id, 1);
    EXPECT_EQ(ModuleSession().ChooseMenuItem(kAboutItemLabel), 0);
    EXPECT_TRUE(ActiveHost().Alerts().empty());
    const auto calls = ActiveHost().Calls().HostCalls();
    ASSERT_EQ(calls.size(), 1u) << "nothing to give back:\n" << ActiveHost().Calls().Text();
    EXPECT_EQ(calls[0].Argument("name"), "\"AI User Suite\"");
    ExpectNothingHeldBeyondTheFrame(ActiveHost());
}

}  // namespace
}  // namespace quorvane::test
