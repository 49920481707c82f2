// Every caller and selector the module's dispatch knows, and ones it does not, sent to the
// real module while it runs.
#include <gtest/gtest.h>

#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {
namespace {

struct Message {
    const char* caller;
    const char* selector;
};

// Rows whose operation, by default, answers 0 or '!MSG' and asks nothing of the ActiveHost(). The
// entry point answers 0 to each, with nothing reported. ("SP Interface"/"Startup" is reached
// by every successful start-up; sent again, it would start a second plug-in object.)
const Message kQuietRows[] = {
    {"SP Interface", "About"},
    {"SP Cache", "Plug-in Purge"},
    {"SP Properties", "Acquire"},
    {"SP Properties", "Release"},
    {"Action Manager", "Do Action"},
    {"AI Menu", "AI Update"},
    {"AI Filter", "AI Get Parameters"},
    {"AI Filter", "AI Go"},
    {"AI Plugin Group", "AI Notify Edits"},
    {"AI Plugin Group", "AI Update"},
    {"AI File Format", "AI Get Parameters"},
    {"AI File Format", "AI Go"},
    {"AI File Format", "AI Check"},
    {"AI File Format", "AI Update AI140"},
    {"AI File Format", "Do Action"},
    {"AI Tool", "AI Edit Options"},
    {"AI Tool", "AI Track Cursor"},
    {"AI Tool", "AI Mouse Down"},
    {"AI Tool", "AI Mouse Drag"},
    {"AI Tool", "AI Mouse Up"},
    {"AI Tool", "AI Select"},
    {"AI Tool", "AI Deselect"},
    {"AI Tool", "AI Reselect"},
    {"AI Tool", "AI Decrease Diameter"},
    {"AI Tool", "AI Increase Diameter"},
    {"AI Live Effect", "AI Live Effect Edit Parameters"},
    {"AI Live Effect", "AI Live Effect Go Live"},
    {"AI Live Effect", "AI Live Effect Interpolate Parameters"},
    {"AI Live Effect", "AI Live Effect Input Type"},
    {"AI Live Effect", "AI Live Effect Scale Parameters"},
    {"AI Live Effect", "AI Live Effect Convert Color Space"},
    {"AI Live Effect", "AI Live Effect Adjust Colors"},
    {"AI Live Effect", "AI Live Effect Handle Merge"},
    {"AI Timer", "AI Go"},
    {"AI Clipboard", "AI Go"},
    {"AI Clipboard", "AI Can Copy"},
    {"AI Clipboard", "AI Clone"},
    {"AI Clipboard", "AI Dispose"},
    {"Workspace Manager", "Write Woskspace"},
    {"Workspace Manager", "Restore Woskspace"},
    {"Workspace Manager", "Default Woskspace"},
};

// Callers and selectors the table does not list, or lists under another caller.
const Message kUnknownMessages[] = {
    {"SP Access", "Load"},     {"SP Interface", "Shutdown "},
    {"sp interface", "About"}, {"AI Menu", "AI Go Again"},
    {"AI Menu", "AI Check"},   {"AI Tool", "AI Go"},
    {"AI Timer", "AI Update"}, {"Workspace Manager", "Write Workspace"},
    {"Some Caller", "AI Go"},  {"", ""},
};

class RealModuleDispatch : public ModuleTest {};

TEST_F(RealModuleDispatch, EveryQuietRowIsAnsweredZeroAndAsksNothingOfTheHost) {
    StartAndForget();
    for (const Message& message : kQuietRows) {
        EXPECT_EQ(ModuleSession().Send(message.caller, message.selector), 0)
            << message.caller << " / " << message.selector;
    }
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleDispatch, UnknownCallersAndSelectorsAreAnsweredZero) {
    StartAndForget();
    for (const Message& message : kUnknownMessages) {
        EXPECT_EQ(ModuleSession().Send(message.caller, message.selector), 0)
            << message.caller << " / " << message.selector;
    }
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
}

TEST_F(RealModuleDispatch, EveryNotifierMessageRunsInsideAHostContext) {
    struct Row {
        const char* type;
        const char* selector;
    };
    const Row rows[] = {
        {"AI Application Started Notifier", "AI Notify"},
        {"AI Application Started Notifier", "Other Selector"},
        {"AI Document Opened Notifier", "AI Notify"},
        {"AI Document Opened Notifier", "Other Selector"},
        {"ai application started notifier", "AI Notify"},
    };
    StartAndForget();
    int contexts = 0;
    for (const Row& row : rows) {
        ActiveHost().Calls().Clear();
        EXPECT_EQ(ModuleSession().Notify(row.type, row.selector), 0)
            << row.type << " / " << row.selector;
        ++contexts;
        const std::string context = "context#" + std::to_string(contexts + 1);  // #1 at start-up
        EXPECT_EQ(BriefCalls(ActiveHost()),
                  (std::vector<std::string>{"PushAppContext(plugin#1, &slot)",
                                            "PopAppContext(" + context + ")"}))
            << row.type << " / " << row.selector;
    }
}

TEST_F(RealModuleDispatch, AMenuChoiceOfAnItemThatIsNotThePluginsIsAnsweredZero) {
    StartAndForget();
    EXPECT_EQ(ModuleSession().SendMenu("AI Go", nullptr), 0);
    EXPECT_EQ(ModuleSession().SendMenu("AI Go",
                                       reinterpret_cast<hostsim::abi::Handle>(std::uintptr_t{64})),
              0);
    EXPECT_TRUE(BriefCalls(ActiveHost()).empty()) << ActiveHost().Calls().Text();
    EXPECT_TRUE(ActiveHost().Alerts().empty());
}

TEST_F(RealModuleDispatch, UnloadIsDispatchedAndReleasesTheSuites) {
    StartAndForget();
    EXPECT_EQ(ModuleSession().Send("SP Access", "Unload"), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Releases(0, 11));
    ActiveHost().Calls().Clear();
    EXPECT_EQ(ModuleSession().Send("SP Access", "Reload"), 0);
    EXPECT_EQ(BriefCalls(ActiveHost()), Acquisitions(0, 11));
}

}  // namespace
}  // namespace quorvane::test
