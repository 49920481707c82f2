#include "frame/Plugin.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "frame/ErrorReporter.h"
#include "frame/HostContextScope.h"
#include "frame/ReportClock.h"
#include "host/AccessSuite.h"
#include "host/NotifierSuite.h"
#include "host/PluginsSuite.h"

Plugin::Plugin(PluginRef ref) noexcept : pluginRef(ref), pluginName{} {
    SetName("Plugin");
}

Plugin::~Plugin() = default;

void Plugin::SetName(const char* name) noexcept {
    // At most kNameCapacity bytes, the rest zero-filled.
    std::size_t i = 0;
    for (; i < kNameCapacity && name[i] != '\0'; ++i) {
        pluginName[i] = name[i];
    }
    std::memset(pluginName + i, 0, kNameCapacity - i);
}

void Plugin::OnReportError(ErrorCode error, const char* /*caller*/, const char* /*selector*/,
                           HostMessage* /*message*/) {
    if (IsSilentError(error)) {
        return;
    }
    const std::int64_t now = ReportClockNow();
    if (error == lastReportedError && suppressRepeats != 0 &&
        now < lastReportTime + repeatWindowSeconds) {
        return;  // the window runs from the last report that went through
    }
    lastReportedError = error;
    lastReportTime = now;
    ReportErrorToHost(pluginRef, error);
}

void Plugin::TakeLock() noexcept {
    if (++lockCount == 1 && gAccessSuite != nullptr) {
        gAccessSuite->AcquirePlugin(pluginRef, &accessRef);
    }
}

ErrorCode Plugin::LockInMemory(bool lock) {
    if (lock) {
        TakeLock();
        return kNoError;
    }
    --lockCount;
    if (lockCount == 0) {
        if (gAccessSuite != nullptr) {
            gAccessSuite->ReleasePlugin(accessRef);
        }
        accessRef = nullptr;
    } else if (lockCount < 0) {
        lockCount = 0;
    }
    return kNoError;
}

ErrorCode Plugin::AcquireSuiteSet() noexcept {
    suiteSet.reset(new (std::nothrow) SuiteSet());
    if (suiteSet == nullptr) {
        return kOutOfMemoryError;
    }
    gSuiteUseCount = 1;
    const ErrorCode error = suiteSet->AcquireError();
    if (error != kNoError) {
        suiteSet.reset();
    }
    return error;
}

ErrorCode Plugin::OnStartup(HostMessage* message) {
    PublishInstance(this);
    if (const ErrorCode error = AcquireSuiteSet(); error != kNoError) {
        return error;
    }
    if (const ErrorCode error = gPluginsSuite->SetPluginName(message->pluginRef, pluginName);
        error != kNoError) {
        return error;
    }
    char notifierName[kNameCapacity];
    std::snprintf(notifierName, sizeof notifierName, "%.*s App Started Notifier",
                  static_cast<int>(strnlen(pluginName, kNameCapacity)), pluginName);
    if (const ErrorCode error = gNotifierSuite->AddNotifier(message->pluginRef, notifierName,
                                                            kApplicationStartedNotifier, nullptr);
        error != kNoError) {
        return error;
    }
    if (const ErrorCode error = ConfigureAtStartup(); error != kNoError) {
        return error;
    }
    OnSuitesAcquired();
    TakeLock();  // not through LockInMemory, which a plug-in may override; never given back
    return kNoError;
}

ErrorCode Plugin::OnShutdown(HostMessage* /*message*/) {
    suiteSet.reset();
    PublishInstance(nullptr);
    return kNoError;
}

ErrorCode Plugin::OnUnload(HostMessage* /*message*/) {
    OnSuitesReleasing();
    PublishInstance(nullptr);
    suiteSet.reset();
    return kNoError;
}

ErrorCode Plugin::OnReload(HostMessage* /*message*/) {
    PublishInstance(this);
    if (suiteSet == nullptr) {
        if (const ErrorCode error = AcquireSuiteSet(); error != kNoError) {
            return error;
        }
    } else {
        gSuiteUseCount = 1;
    }
    OnSuitesAcquired();
    return kNoError;
}

ErrorCode Plugin::CopyPluginName(char* buffer, std::uint32_t length) {
    std::strncpy(buffer, pluginName, length);
    if (strnlen(pluginName, kNameCapacity) >= length) {
        buffer[length] = '\0';
    }
    return kNoError;
}

ErrorCode Plugin::RetryOptionalSuites() {
    if (suiteSet != nullptr) {
        suiteSet->AcquireOptionalSuites();
    }
    return kNoError;
}

// The fixed routing table: callers in order of test, each with its selectors in order of
// test. The first matching caller decides; a caller whose selectors all differ answers '!MSG'
// without trying later callers.
ErrorCode Plugin::OnMessage(const char* caller, const char* selector, HostMessage* message) {
    RetryOptionalSuites();

    using Action = ErrorCode (*)(Plugin&, HostMessage*);
    struct SelectorRow {
        const char* selector;
        Action action;
    };
    struct CallerRow {
        const char* caller;
        const SelectorRow* first;
        const SelectorRow* last;
    };
#define ROW(sel, op)                                                        \
    {                                                                       \
        sel, [](Plugin& p, HostMessage* m) -> ErrorCode { return p.op(m); } \
    }
    static constexpr SelectorRow kAccess[] = {ROW("Unload", OnUnload), ROW("Reload", OnReload)};
    static constexpr SelectorRow kInterface[] = {
        {"About", [](Plugin&, HostMessage*) -> ErrorCode { return kNoError; }},
        {"Startup", [](Plugin&, HostMessage*) -> ErrorCode { return kNoError; }},
    };
    static constexpr SelectorRow kCache[] = {
        {"Plug-in Purge",
         [](Plugin& p, HostMessage*) -> ErrorCode {
             return p.OnCachePurge() ? kCachesPurgedResult : kNoError;
         }},
    };
    static constexpr SelectorRow kProperties[] = {ROW("Acquire", OnPropertyAcquire),
                                                  ROW("Release", OnPropertyRelease)};
    static constexpr SelectorRow kActionManager[] = {ROW("Do Action", OnDoAction)};
    static constexpr SelectorRow kMenu[] = {ROW("AI Go", OnMenuGo), ROW("AI Update", OnMenuUpdate)};
    static constexpr SelectorRow kFilter[] = {ROW("AI Get Parameters", OnFilterGetParameters),
                                              ROW("AI Go", OnFilterGo)};
    static constexpr SelectorRow kPluginGroup[] = {ROW("AI Notify Edits", OnPluginGroupNotifyEdits),
                                                   ROW("AI Update", OnPluginGroupUpdate)};
    static constexpr SelectorRow kFileFormat[] = {
        ROW("AI Get Parameters", OnFileFormatGetParameters),
        ROW("AI Go", OnFileFormatGo),
        ROW("AI Check", OnFileFormatCheck),
        ROW("AI Update AI140", OnFileFormatUpdate),
        ROW("Do Action", OnFileFormatDoAction),
    };
    static constexpr SelectorRow kTool[] = {
        ROW("AI Edit Options", OnToolEditOptions),
        ROW("AI Track Cursor", OnToolTrackCursor),
        ROW("AI Mouse Down", OnToolMouseDown),
        ROW("AI Mouse Drag", OnToolMouseDrag),
        ROW("AI Mouse Up", OnToolMouseUp),
        ROW("AI Select", OnToolSelect),
        ROW("AI Deselect", OnToolDeselect),
        ROW("AI Reselect", OnToolReselect),
        ROW("AI Decrease Diameter", OnToolDecreaseDiameter),
        ROW("AI Increase Diameter", OnToolIncreaseDiameter),
    };
    // The scale test comes before the colour-space test although colour space has the lower
    // slot.
    static constexpr SelectorRow kLiveEffect[] = {
        ROW("AI Live Effect Edit Parameters", OnLiveEffectEditParameters),
        ROW("AI Live Effect Go Live", OnLiveEffectGoLive),
        ROW("AI Live Effect Interpolate Parameters", OnLiveEffectInterpolateParameters),
        ROW("AI Live Effect Input Type", OnLiveEffectInputType),
        ROW("AI Live Effect Scale Parameters", OnLiveEffectScaleParameters),
        ROW("AI Live Effect Convert Color Space", OnLiveEffectConvertColorSpace),
        ROW("AI Live Effect Adjust Colors", OnLiveEffectAdjustColors),
        ROW("AI Live Effect Handle Merge", OnLiveEffectHandleMerge),
    };
    static constexpr SelectorRow kTimer[] = {ROW("AI Go", OnTimerGo)};
    static constexpr SelectorRow kClipboard[] = {
        ROW("AI Go", OnClipboardGo), ROW("AI Can Copy", OnClipboardCanCopy),
        ROW("AI Clone", OnClipboardClone), ROW("AI Dispose", OnClipboardDispose)};
    // The host's selector texts, misspelling included.
    static constexpr SelectorRow kWorkspace[] = {ROW("Write Woskspace", OnWorkspaceWrite),
                                                 ROW("Restore Woskspace", OnWorkspaceRestore),
                                                 ROW("Default Woskspace", OnWorkspaceDefault)};
#undef ROW
#define CALLER(name, rows) \
    { name, std::begin(rows), std::end(rows) }
    static constexpr CallerRow kCallers[] = {
        CALLER("SP Access", kAccess),
        CALLER("SP Interface", kInterface),
        CALLER("SP Cache", kCache),
        CALLER("SP Properties", kProperties),
        {"AI Notifier", nullptr, nullptr},
        CALLER("Action Manager", kActionManager),
        CALLER("AI Menu", kMenu),
        CALLER("AI Filter", kFilter),
        CALLER("AI Plugin Group", kPluginGroup),
        CALLER("AI File Format", kFileFormat),
        CALLER("AI Tool", kTool),
        CALLER("AI Live Effect", kLiveEffect),
        CALLER("AI Timer", kTimer),
        CALLER("AI Clipboard", kClipboard),
        CALLER("Workspace Manager", kWorkspace),
    };
#undef CALLER

    for (const CallerRow& row : kCallers) {
        if (!TextIs(caller, row.caller)) {
            continue;
        }
        if (row.first == nullptr) {
            return DispatchNotifier(selector, message);
        }
        for (const SelectorRow* entry = row.first; entry != row.last; ++entry) {
            if (TextIs(selector, entry->selector)) {
                return entry->action(*this, message);
            }
        }
        return kUnhandledMessageError;
    }
    return kUnhandledMessageError;
}

// An application-started notification reaches OnApplicationStarted and then, when its selector
// is "AI Notify", OnNotify; any other notification only OnNotify. All of it runs inside the
// host's context for this plug-in.
ErrorCode Plugin::DispatchNotifier(const char* selector, HostMessage* message) {
    HostContextScope context(message->pluginRef);
    ErrorCode result = kUnhandledMessageError;
    const auto* notification = reinterpret_cast<const NotifierMessage*>(message);
    if (TextIs(notification->type, kApplicationStartedNotifier)) {
        result = OnApplicationStarted();
        if (result != kNoError && result != kUnhandledMessageError) {
            return result;
        }
    }
    if (TextIs(selector, "AI Notify")) {
        result = OnNotify(message);
    }
    return result;
}
