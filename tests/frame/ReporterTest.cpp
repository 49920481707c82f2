// The error reporter, white-box: the module's code is linked in so that the reporter's clock
// can be replaced, and the reports are caused through the module's own paths (a reload the
// host refuses, a start-up that fails, a command that fails) wherever they can be.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame/Plugin.h"
#include "frame/PluginMain.h"
#include "frame/ReportClock.h"
#include "host/UserSuite.h"
#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

// The reporter's clock in these tests: the time a test set, read as often as the reporter
// likes; optionally a second later at each reading.
struct FakeClock {
    static inline std::int64_t now = 0;
    static inline int reads = 0;
    static inline bool advances = false;
    static std::int64_t Read() {
        ++reads;
        const std::int64_t value = now;
        if (advances) {
            ++now;
        }
        return value;
    }
};

// Codes the reporter must never pass on, written out here rather than read from the module.
constexpr std::array<hostsim::ErrorCode, 17> kSilentCodes = {
    FourChar("FMT?"),
    FourChar("RFSE"),
    FourChar("AFTR"),
    FourChar("VALD"),
    FourChar("MOOT"),
    FourChar("TRSH"),
    FourChar("CHEK"),
    FourChar("CHIT"),
    FourChar("TLTK"),
    FourChar("pFls"),
    FourChar("S!Fd"),
    FourChar("!Acq"),
    FourChar("dsRP"),
    FourChar("skpE"),
    FourChar("DONE"),
    FourChar("STOP"),
    361,
};

constexpr hostsim::ErrorCode kBusy = FourChar("Busy");
constexpr hostsim::ErrorCode kGone = FourChar("Gone");

// What the host sees of a start-up or reload whose first acquisition it refuses.
std::vector<std::string> RefusedAcquisition() {
    return {Acquire(kSuiteRows[0])};
}
// ... and of the report of that refusal when it goes through.
std::vector<std::string> RefusedAcquisitionReported() {
    return Concat({RefusedAcquisition(), ReportWithoutTables()});
}

class ErrorReporter : public ModuleTest {
  protected:
    void SetUp() override {
        previousClock_ = SetReportClock(&FakeClock::Read);
        FakeClock::now = 1000;
        FakeClock::reads = 0;
        FakeClock::advances = false;
        LoadLinked(&PluginMain, hostsim::Document{"empty", {}});
    }

    void TearDown() override {
        Finish();
        SetReportClock(previousClock_);
        EXPECT_EQ(gUserSuite, nullptr);
    }

    // Started, then unloaded: the object is kept and the suite tables are not held.
    void StartAndUnload() {
        ASSERT_NO_FATAL_FAILURE(StartAndForget());
        ASSERT_EQ(ModuleSession().SendUnloadMessage(), 0);
        ASSERT_EQ(gUserSuite, nullptr);
        ActiveHost().Calls().Clear();
    }

    // At time `now`, a reload whose first acquisition the host refuses with `code`; the entry
    // point hands the code to OnReportError. `arrange` adds further rules after that refusal.
    // Returns what the host received.
    hostsim::ErrorCode FailReloadAt(std::int64_t now, hostsim::ErrorCode code,
                                    const std::function<void()>& arrange = {}) {
        FakeClock::now = now;
        ActiveHost().Faults().Clear();
        ActiveHost().Calls().Clear();
        ActiveHost().Faults().FailAcquisition(kSuiteRows[0].name, code, 1);
        if (arrange) {
            arrange();
        }
        return ModuleSession().Reload();
    }

    Plugin& PluginObject() { return *static_cast<Plugin*>(ModuleSession().InstanceSlot()); }

  private:
    ReportClockFunction previousClock_ = nullptr;
};

TEST_F(ErrorReporter, SilentCodesAreNeitherRecordedNorReportedToTheHost) {
    StartAndUnload();
    ASSERT_EQ(FailReloadAt(1000, kBusy), kBusy);
    ASSERT_EQ(BriefCalls(ActiveHost()), RefusedAcquisitionReported())
        << ActiveHost().Calls().Text();

    for (const hostsim::ErrorCode code : kSilentCodes) {
        SCOPED_TRACE(hostsim::CodeText(code));
        EXPECT_EQ(FailReloadAt(2000, code), code) << "the host still receives the code";
        EXPECT_EQ(BriefCalls(ActiveHost()), RefusedAcquisition()) << ActiveHost().Calls().Text();
        EXPECT_EQ(PluginObject().LastReportedError(), kBusy);
        EXPECT_EQ(PluginObject().LastReportTime(), 1000);
    }
}

TEST_F(ErrorReporter, AFailedStartupIsReportedToTheHostUnlessItsCodeIsSilent) {
    std::vector<std::pair<hostsim::ErrorCode, bool>> cases;
    cases.reserve(kSilentCodes.size() + 4);
    for (const hostsim::ErrorCode code : kSilentCodes) {
        cases.emplace_back(code, false);
    }
    cases.emplace_back(kBusy, true);
    cases.emplace_back(kBusy, true);  // no object, no repeat window: the same code again
    cases.emplace_back(-108, true);
    cases.emplace_back(FourChar("!MEM"), true);

    for (const auto& [code, reported] : cases) {
        SCOPED_TRACE(hostsim::CodeText(code));
        ActiveHost().Calls().Clear();
        ActiveHost().Faults().Clear();
        ActiveHost().Faults().FailAcquisition(kSuiteRows[0].name, code, 1);
        EXPECT_EQ(ModuleSession().SendStartup(), code);
        EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
        EXPECT_EQ(BriefCalls(ActiveHost()),
                  reported ? RefusedAcquisitionReported() : RefusedAcquisition())
            << ActiveHost().Calls().Text();
        EXPECT_EQ(gUserSuite, nullptr);
        EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty());
    }
}

TEST_F(ErrorReporter, AStartupFailingAfterAcquisitionIsReportedOnceAfterEverySuiteIsBack) {
    const std::size_t artboardRow = 9;
    ASSERT_STREQ(kSuiteRows[artboardRow].name, "AI Artboard Suite");
    ActiveHost().Faults().FailAcquisition(kSuiteRows[artboardRow].name, kBusy, 1);
    EXPECT_EQ(ModuleSession().SendStartup(), kBusy);
    EXPECT_EQ(BriefCalls(ActiveHost()), Concat({Acquisitions(0, artboardRow + 1),
                                                Releases(0, artboardRow), ReportWithoutTables()}))
        << ActiveHost().Calls().Text();
    EXPECT_EQ(gUserSuite, nullptr);
}

struct Report {
    std::int64_t time;
    hostsim::ErrorCode code;
    bool reachesHost;
};

struct WindowCase {
    const char* name;
    std::vector<Report> reports;
};

class ErrorReporterWindow : public ErrorReporter,
                            public ::testing::WithParamInterface<WindowCase> {};

TEST_P(ErrorReporterWindow, ARepeatWithinFiveSecondsOfTheLastReportIsDropped) {
    StartAndUnload();
    hostsim::ErrorCode lastCode = 0;
    std::int64_t lastTime = 0;
    for (const Report& report : GetParam().reports) {
        SCOPED_TRACE(hostsim::CodeText(report.code) + " at " + std::to_string(report.time));
        EXPECT_EQ(FailReloadAt(report.time, report.code), report.code);
        EXPECT_EQ(BriefCalls(ActiveHost()),
                  report.reachesHost ? RefusedAcquisitionReported() : RefusedAcquisition())
            << ActiveHost().Calls().Text();
        if (report.reachesHost) {
            lastCode = report.code;
            lastTime = report.time;
        }
        EXPECT_EQ(PluginObject().LastReportedError(), lastCode);
        EXPECT_EQ(PluginObject().LastReportTime(), lastTime);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RepeatWindow, ErrorReporterWindow,
    ::testing::Values(WindowCase{"SameCodeDroppedAtFourSecondsReportedAtFive",
                                 {{1000, kBusy, true}, {1004, kBusy, false}, {1005, kBusy, true}}},
                      WindowCase{"SameCodeInTheSameSecondIsDropped",
                                 {{1000, kBusy, true}, {1000, kBusy, false}}},
                      WindowCase{"TheWindowRunsFromTheLastReportThatWentThrough",
                                 {{1000, kBusy, true},
                                  {1004, kBusy, false},
                                  {1008, kBusy, true},
                                  {1012, kBusy, false},
                                  {1013, kBusy, true}}},
                      WindowCase{"ADifferentCodeGoesThroughAtOnceAndStartsANewWindow",
                                 {{1000, kBusy, true},
                                  {1001, kGone, true},
                                  {1005, kGone, false},
                                  {1006, kGone, true},
                                  {1006, kBusy, true}}},
                      WindowCase{"TheFirstReportGoesThroughEvenEarlyOnTheClock",
                                 {{3, kBusy, true}, {7, kBusy, false}, {8, kBusy, true}}}),
    [](const ::testing::TestParamInfo<WindowCase>& row) { return std::string(row.param.name); });

TEST_F(ErrorReporter, ReportingWhileTheTablesAreHeldCallsNoHostFunction) {
    StartAndForget();
    ASSERT_NE(gUserSuite, nullptr);
    PluginObject().OnReportError(kBusy, "AI Menu", "AI Go", nullptr);
    FakeClock::now = 1001;
    PluginObject().OnReportError(kGone, "AI Menu", "AI Go", nullptr);

    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
    EXPECT_EQ(PluginObject().LastReportedError(), kGone) << "the report went through the filters";
    EXPECT_EQ(PluginObject().LastReportTime(), 1001);
    EXPECT_NE(gUserSuite, nullptr) << "the reporter leaves the held tables alone";
}

TEST_F(ErrorReporter, AFailingCommandIsReportedOnceNotTwice) {
    StartAndForget();
    ActiveHost().CloseDocument();
    FakeClock::advances = true;  // the entry point's report comes a second after the wrapper's

    EXPECT_EQ(ModuleSession().ChooseMenuItem(kByRowLabel), hostsim::kNoDocumentError);

    EXPECT_EQ(FakeClock::reads, 2) << "the wrapper and the entry point both hand the code on";
    EXPECT_EQ(PluginObject().LastReportedError(), hostsim::kNoDocumentError);
    EXPECT_EQ(PluginObject().LastReportTime(), 1000) << "the second report fell in the window";
    for (const std::string& call : BriefCalls(ActiveHost())) {
        EXPECT_EQ(call.find("Suite("), std::string::npos)
            << "the tables are held: no suite is acquired or released to report\n"
            << ActiveHost().Calls().Text();
    }
}

TEST_F(ErrorReporter, AReportWithoutTheTablesTakesTheUserSuiteOnceAndGivesItBack) {
    StartAndUnload();
    EXPECT_EQ(FailReloadAt(1000, kBusy), kBusy);
    EXPECT_EQ(BriefCalls(ActiveHost()), RefusedAcquisitionReported())
        << ActiveHost().Calls().Text();
    EXPECT_EQ(gUserSuite, nullptr);
    EXPECT_EQ(ActiveHost().Ledger().HoldCount("AI User Suite", 10), 0);

    // A report while unloaded, made on the kept object, updates its repeat state.
    ActiveHost().Calls().Clear();
    FakeClock::now = 1001;
    PluginObject().OnReportError(kGone, "SP Access", "Unload", nullptr);
    EXPECT_EQ(BriefCalls(ActiveHost()), ReportWithoutTables()) << ActiveHost().Calls().Text();
    EXPECT_EQ(gUserSuite, nullptr);
    EXPECT_EQ(PluginObject().LastReportedError(), kGone);
    EXPECT_EQ(PluginObject().LastReportTime(), 1001);
}

TEST_F(ErrorReporter, AUserSuiteTheHostWillNotGiveChangesNeitherTheCodeNorTheTables) {
    StartAndUnload();
    const struct {
        const char* name;
        std::function<void(hostsim::Host&)> arrange;
    } cases[] = {
        {"refused",
         [](hostsim::Host& h) { h.Faults().FailAcquisition("AI User Suite", kGone, 1); }},
        {"answered without a table",
         [](hostsim::Host& h) {
             h.Faults().AnswerWithoutWriting(hostsim::abi::basic::AcquireSuite::id, 1);
         }},
    };
    std::int64_t now = 1000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        now += 10;
        EXPECT_EQ(FailReloadAt(now, kBusy, [&] { c.arrange(ActiveHost()); }), kBusy);
        EXPECT_EQ(BriefCalls(ActiveHost()),
                  Concat({RefusedAcquisition(), {Acquire({"AI User Suite", 10})}}))
            << "nothing to give back:\n"
            << ActiveHost().Calls().Text();
        EXPECT_EQ(gUserSuite, nullptr);
        EXPECT_EQ(PluginObject().LastReportedError(), kBusy);
        EXPECT_EQ(PluginObject().LastReportTime(), now);
    }
}

}  // namespace
}  // namespace quorvane::test
