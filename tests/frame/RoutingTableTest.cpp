// The base dispatch's routing table, observed: a probe plug-in records which operation ran, so
// a row routed to the wrong operation, or to none, fails here (every default answers 0 or '!MSG',
// which the host cannot tell apart). The module's code is linked in; no host is needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/Plugin.h"
#include "frame/RoutingTable.h"
#include "host/HostMessage.h"

namespace quorvane::test {
namespace {

constexpr ErrorCode kProbeAnswer = FourCharCode("prob");

#define PROBE(op)                         \
    ErrorCode op(HostMessage*) override { \
        ran.push_back(#op);               \
        return kProbeAnswer;              \
    }

// Records every operation the dispatch reaches and answers each with kProbeAnswer (and the
// cache purge with true).
class Probe final : public Plugin {
  public:
    Probe() : Plugin(nullptr) {}
    std::vector<std::string> ran;

    ErrorCode RetryOptionalSuites() override {
        ran.push_back("RetryOptionalSuites");
        return kNoError;
    }
    ErrorCode OnApplicationStarted() override {
        ran.push_back("OnApplicationStarted");
        return kNoError;
    }
    bool OnCachePurge() override {
        ran.push_back("OnCachePurge");
        return true;
    }
    PROBE(OnUnload)
    PROBE(OnReload)
    PROBE(OnPropertyAcquire)
    PROBE(OnPropertyRelease)
    PROBE(OnNotify)
    PROBE(OnDoAction)
    PROBE(OnMenuGo)
    PROBE(OnMenuUpdate)
    PROBE(OnFilterGetParameters)
    PROBE(OnFilterGo)
    PROBE(OnPluginGroupNotifyEdits)
    PROBE(OnPluginGroupUpdate)
    PROBE(OnFileFormatGetParameters)
    PROBE(OnFileFormatGo)
    PROBE(OnFileFormatCheck)
    PROBE(OnFileFormatUpdate)
    PROBE(OnFileFormatDoAction)
    PROBE(OnToolEditOptions)
    PROBE(OnToolTrackCursor)
    PROBE(OnToolMouseDown)
    PROBE(OnToolMouseDrag)
    PROBE(OnToolMouseUp)
    PROBE(OnToolSelect)
    PROBE(OnToolDeselect)
    PROBE(OnToolReselect)
    PROBE(OnToolDecreaseDiameter)
    PROBE(OnToolIncreaseDiameter)
    PROBE(OnLiveEffectEditParameters)
    PROBE(OnLiveEffectGoLive)
    PROBE(OnLiveEffectInterpolateParameters)
    PROBE(OnLiveEffectInputType)
    PROBE(OnLiveEffectConvertColorSpace)
    PROBE(OnLiveEffectScaleParameters)
    PROBE(OnLiveEffectAdjustColors)
    PROBE(OnLiveEffectHandleMerge)
    PROBE(OnTimerGo)
    PROBE(OnClipboardGo)
    PROBE(OnClipboardCanCopy)
    PROBE(OnClipboardClone)
    PROBE(OnClipboardDispose)
    PROBE(OnWorkspaceWrite)
    PROBE(OnWorkspaceRestore)
    PROBE(OnWorkspaceDefault)
};
#undef PROBE

struct Route {
    const char* caller;
    const char* selector;
    const char* operation;  // null: none runs
    ErrorCode answer;
};

constexpr ErrorCode kUnhandled = kUnhandledMessageError;

// One row per caller and selector of the table (the host's misspelt "Woskspace" included), then
// near misses that no row may take.
const Route kRoutes[] = {
    {"SP Access", "Unload", "OnUnload", kProbeAnswer},
    {"SP Access", "Reload", "OnReload", kProbeAnswer},
    {"SP Interface", "About", nullptr, kNoError},
    {"SP Interface", "Startup", nullptr, kNoError},
    {"SP Cache", "Plug-in Purge", "OnCachePurge", kCachesPurgedResult},
    {"SP Properties", "Acquire", "OnPropertyAcquire", kProbeAnswer},
    {"SP Properties", "Release", "OnPropertyRelease", kProbeAnswer},
    {"Action Manager", "Do Action", "OnDoAction", kProbeAnswer},
    {"AI Menu", "AI Go", "OnMenuGo", kProbeAnswer},
    {"AI Menu", "AI Update", "OnMenuUpdate", kProbeAnswer},
    {"AI Filter", "AI Get Parameters", "OnFilterGetParameters", kProbeAnswer},
    {"AI Filter", "AI Go", "OnFilterGo", kProbeAnswer},
    {"AI Plugin Group", "AI Notify Edits", "OnPluginGroupNotifyEdits", kProbeAnswer},
    {"AI Plugin Group", "AI Update", "OnPluginGroupUpdate", kProbeAnswer},
    {"AI File Format", "AI Get Parameters", "OnFileFormatGetParameters", kProbeAnswer},
    {"AI File Format", "AI Go", "OnFileFormatGo", kProbeAnswer},
    {"AI File Format", "AI Check", "OnFileFormatCheck", kProbeAnswer},
    {"AI File Format", "AI Update AI140", "OnFileFormatUpdate", kProbeAnswer},
    {"AI File Format", "Do Action", "OnFileFormatDoAction", kProbeAnswer},
    {"AI Tool", "AI Edit Options", "OnToolEditOptions", kProbeAnswer},
    {"AI Tool", "AI Track Cursor", "OnToolTrackCursor", kProbeAnswer},
    {"AI Tool", "AI Mouse Down", "OnToolMouseDown", kProbeAnswer},
    {"AI Tool", "AI Mouse Drag", "OnToolMouseDrag", kProbeAnswer},
    {"AI Tool", "AI Mouse Up", "OnToolMouseUp", kProbeAnswer},
    {"AI Tool", "AI Select", "OnToolSelect", kProbeAnswer},
    {"AI Tool", "AI Deselect", "OnToolDeselect", kProbeAnswer},
    {"AI Tool", "AI Reselect", "OnToolReselect", kProbeAnswer},
    {"AI Tool", "AI Decrease Diameter", "OnToolDecreaseDiameter", kProbeAnswer},
    {"AI Tool", "AI Increase Diameter", "OnToolIncreaseDiameter", kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Edit Parameters", "OnLiveEffectEditParameters",
     kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Go Live", "OnLiveEffectGoLive", kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Interpolate Parameters", "OnLiveEffectInterpolateParameters",
     kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Input Type", "OnLiveEffectInputType", kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Scale Parameters", "OnLiveEffectScaleParameters",
     kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Convert Color Space", "OnLiveEffectConvertColorSpace",
     kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Adjust Colors", "OnLiveEffectAdjustColors", kProbeAnswer},
    {"AI Live Effect", "AI Live Effect Handle Merge", "OnLiveEffectHandleMerge", kProbeAnswer},
    {"AI Timer", "AI Go", "OnTimerGo", kProbeAnswer},
    {"AI Clipboard", "AI Go", "OnClipboardGo", kProbeAnswer},
    {"AI Clipboard", "AI Can Copy", "OnClipboardCanCopy", kProbeAnswer},
    {"AI Clipboard", "AI Clone", "OnClipboardClone", kProbeAnswer},
    {"AI Clipboard", "AI Dispose", "OnClipboardDispose", kProbeAnswer},
    {"Workspace Manager", "Write Woskspace", "OnWorkspaceWrite", kProbeAnswer},
    {"Workspace Manager", "Restore Woskspace", "OnWorkspaceRestore", kProbeAnswer},
    {"Workspace Manager", "Default Woskspace", "OnWorkspaceDefault", kProbeAnswer},
    // Near misses: the right spelling, another caller's selector, letter case, a stray space.
    {"Workspace Manager", "Write Workspace", nullptr, kUnhandled},
    {"AI Timer", "AI Update", nullptr, kUnhandled},
    {"AI Tool", "AI Go", nullptr, kUnhandled},
    {"ai menu", "AI Go", nullptr, kUnhandled},
    {"AI Menu", "AI Go ", nullptr, kUnhandled},
    {"SP Access", "Load", nullptr, kUnhandled},
    {"Some Caller", "AI Go", nullptr, kUnhandled},
    {"", "", nullptr, kUnhandled},
};

TEST(RoutingTable, EachCallerAndSelectorRunsExactlyItsOwnOperation) {
    for (const Route& route : kRoutes) {
        Probe probe;
        HostMessage message{};
        std::vector<std::string> expected = {"RetryOptionalSuites"};
        if (route.operation != nullptr) {
            expected.emplace_back(route.operation);
        }
        EXPECT_EQ(probe.OnMessage(route.caller, route.selector, &message), route.answer)
            << route.caller << " / " << route.selector;
        EXPECT_EQ(probe.ran, expected) << route.caller << " / " << route.selector;
    }
}

// The table and the expectations above list the same callers and selectors, in the same order:
// a row added to the table without an expectation, or left out of it, fails here.
TEST(RoutingTable, EveryRowOfTheTableIsExpected) {
    std::vector<std::string> table;
    for (const CallerRoute& caller : RoutingTable()) {
        for (const SelectorRoute& selector : caller.selectors) {
            table.push_back(std::string(caller.caller) + " / " + selector.selector);
        }
    }
    std::vector<std::string> expected;
    for (const Route& route : kRoutes) {
        if (route.answer != kUnhandled) {
            expected.push_back(std::string(route.caller) + " / " + route.selector);
        }
    }
    EXPECT_EQ(table, expected);
}

// A notification reaches OnApplicationStarted only for its own type, OnNotify only for the
// selector "AI Notify"; anything else is answered '!MSG'.
TEST(RoutingTable, NotificationsRunByTheirTypeAndSelector) {
    struct Row {
        const char* type;
        const char* selector;
        std::vector<std::string> ran;
        ErrorCode answer;
    };
    const Row rows[] = {
        {"AI Application Started Notifier",
         "AI Notify",
         {"OnApplicationStarted", "OnNotify"},
         kProbeAnswer},
        {"AI Application Started Notifier", "AI Go", {"OnApplicationStarted"}, kNoError},
        {"AI Document Opened Notifier", "AI Notify", {"OnNotify"}, kProbeAnswer},
        {"AI Document Opened Notifier", "AI Go", {}, kUnhandled},
        {"ai application started notifier", "AI Notify", {"OnNotify"}, kProbeAnswer},
    };
    for (const Row& row : rows) {
        Probe probe;
        NotifierMessage message{};
        message.type = row.type;
        std::vector<std::string> expected = {"RetryOptionalSuites"};
        expected.insert(expected.end(), row.ran.begin(), row.ran.end());
        EXPECT_EQ(probe.OnMessage("AI Notifier", row.selector, &message.header), row.answer)
            << row.type << " / " << row.selector;
        EXPECT_EQ(probe.ran, expected) << row.type << " / " << row.selector;
    }
}

}  // namespace
}  // namespace quorvane::test
