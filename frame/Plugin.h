// Plugin: base class of the one plug-in object.
//
// The entry point creates the object on the start-up message, keeps its address in the host's
// instance slot between messages, routes every later message to one of the virtual operations
// below, and destroys it after shut-down. The operations are listed in the order of their
// slots in the dispatch table; each has a default, and a concrete plug-in overrides the few it
// needs. Every operation runs inside one call of PluginMain, one message at a time.
//
// Lifecycle: created -> running (suites held, name registered, notifier added, one lock) ->
// unloaded (object kept, suites released) -> reloaded ... -> shut down. The lock, the notifier
// and menu items are left to the host: the plug-in never gives them back.
#pragma once

#include <cstdint>
#include <memory>

#include "frame/SuiteSet.h"
#include "host/HostMessage.h"
#include "host/HostTypes.h"

class Plugin {
  public:
    static constexpr std::size_t kNameCapacity = 256;
    // The notifier name "<name> App Started Notifier" must fit the same buffer.
    static constexpr std::size_t kMaxNameLength = 234;

    // Takes only the plug-in reference; calls no host function. The name is "Plugin" until a
    // concrete constructor gives its own.
    explicit Plugin(PluginRef pluginRef) noexcept;

    // 0. Gives nothing back to the host: the access reference and the notifier are left as they
    //    are. Shut-down and unload release the suites before the object goes; a suite set the
    //    object still owns (only a start-up that failed after acquiring leaves one) goes with
    //    it, so that no suite stays held by nothing. [any message]
    virtual ~Plugin();
    // 1. Filters and reports a non-zero code: silent codes and repeats of the last reported
    //    code within the repeat window are dropped; the rest goes to ReportErrorToHost.
    //    [any message]
    virtual void OnReportError(ErrorCode error, const char* caller, const char* selector,
                               HostMessage* message);
    // 2. Counted lock through the access suite: the first lock takes an access reference, the
    //    unlock that brings the count to 0 gives it back. Host answers ignored; returns 0.
    //    [running]
    virtual ErrorCode LockInMemory(bool lock);
    // 3. Acquires the suites, registers the name and the application-started notifier, runs
    //    the start-up hooks and takes one lock. Returns '!MEM', the acquisition's code or the
    //    first failed registration's code; later steps do not run after a failure. [start-up]
    virtual ErrorCode OnStartup(HostMessage* message);
    // 4. The host finished starting. Returns 0. [running]
    virtual ErrorCode OnApplicationStarted() { return kNoError; }
    // 5. Releases the suites. Returns 0. [running]
    virtual ErrorCode OnShutdown(HostMessage* message);
    // 6. The host is about to unload the module's code and keeps this object: releases the
    //    suites. Returns 0. [running]
    virtual ErrorCode OnUnload(HostMessage* message);
    // 7. The code was loaded again: acquires the suites again (not the name, notifier or lock).
    //    Returns 0, the acquisition's code or '!MEM'. [any message]
    virtual ErrorCode OnReload(HostMessage* message);
    // 8, 9. Return '!MSG'. [running]
    virtual ErrorCode OnPropertyAcquire(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnPropertyRelease(HostMessage*) { return kUnhandledMessageError; }
    // 10. Copies the name into `buffer`: at most `length` characters, the rest of the first
    //     `length` bytes zero; when the name has `length` or more characters a zero byte is also
    //     written at buffer[length], so the caller provides length + 1 bytes. Returns 0.
    //     [any message]
    virtual ErrorCode CopyPluginName(char* buffer, std::uint32_t length);
    // 11. Whether caches were flushed (the host is then answered 'pFls'). Returns false. [running]
    virtual bool OnCachePurge() { return false; }
    // 12. Routes one message to its operation by caller and selector; '!MSG' when none handles
    //     it. Retries the optional suites first. [running]
    virtual ErrorCode OnMessage(const char* caller, const char* selector, HostMessage* message);
    // 13. Hook: called with the object at start-up and reload, with null at shut-down and
    //     unload. Returns 0. [any message]
    virtual ErrorCode PublishInstance(Plugin*) { return kNoError; }
    // 14. Hook of start-up after the notifier; a non-zero result fails start-up. Returns 0.
    //     [start-up]
    virtual ErrorCode ConfigureAtStartup() { return kNoError; }
    // 15. Hook: the suites are held (start-up, reload). Result ignored; returns 0. [held]
    virtual ErrorCode OnSuitesAcquired() { return kNoError; }
    // 16. Hook: the suites are about to be released at unload. Result ignored; returns 0. [held]
    virtual ErrorCode OnSuitesReleasing() { return kNoError; }
    // 17. Acquires the optional suites still missing, if the suites are held. Returns 0.
    // [any message]
    virtual ErrorCode RetryOptionalSuites();
    // 18. A notification arrived. Returns 0. [running]
    virtual ErrorCode OnNotify(HostMessage*) { return kNoError; }
    // 19. Returns 0. [running]
    virtual ErrorCode OnDoAction(HostMessage*) { return kNoError; }
    // 20, 21. A menu item of the plug-in was chosen / is being updated. Return '!MSG'. [running]
    virtual ErrorCode OnMenuGo(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnMenuUpdate(HostMessage*) { return kUnhandledMessageError; }
    // 22 to 56. Return '!MSG' or 0 as written. [running]
    virtual ErrorCode OnFilterGetParameters(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFilterGo(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnPluginGroupNotifyEdits(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnPluginGroupUpdate(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFileFormatGetParameters(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFileFormatGo(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFileFormatCheck(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFileFormatUpdate(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnFileFormatDoAction(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolEditOptions(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolTrackCursor(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolMouseDown(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolMouseDrag(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolMouseUp(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolSelect(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolDeselect(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnToolReselect(HostMessage*) { return kNoError; }
    virtual ErrorCode OnToolDecreaseDiameter(HostMessage*) { return kNoError; }
    virtual ErrorCode OnToolIncreaseDiameter(HostMessage*) { return kNoError; }
    virtual ErrorCode OnLiveEffectEditParameters(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectGoLive(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectInterpolateParameters(HostMessage*) {
        return kUnhandledMessageError;
    }
    virtual ErrorCode OnLiveEffectInputType(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectConvertColorSpace(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectScaleParameters(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectAdjustColors(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnLiveEffectHandleMerge(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnTimerGo(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnClipboardGo(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnClipboardCanCopy(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnClipboardClone(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnClipboardDispose(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnWorkspaceWrite(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnWorkspaceRestore(HostMessage*) { return kUnhandledMessageError; }
    virtual ErrorCode OnWorkspaceDefault(HostMessage*) { return kUnhandledMessageError; }

    // What the object holds, for the entry point and for tests.
    bool HoldsSuites() const noexcept { return suiteSet != nullptr; }
    ErrorCode LastReportedError() const noexcept { return lastReportedError; }
    std::int64_t LastReportTime() const noexcept { return lastReportTime; }

    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

  protected:
    // Moves every field; only for re-making the object over its own storage after a reload
    // (RemakeOverOwnStorage in frame/PluginHooks.h).
    Plugin(Plugin&&) noexcept = default;
    // Bounded copy of `name` into pluginName, zero-filling the rest.
    void SetName(const char* name) noexcept;

  private:
    // Constructs a suite set and forces the use count to 1. Returns '!MEM' or its acquisition
    // code; on failure the set is destroyed again, releasing what it had acquired.
    ErrorCode AcquireSuiteSet() noexcept;
    // Counts one lock; the first takes the access reference (host's answer ignored).
    void TakeLock() noexcept;
    ErrorCode DispatchNotifier(const char* selector, HostMessage* message);

    PluginRef pluginRef;
    char pluginName[kNameCapacity];
    std::unique_ptr<SuiteSet> suiteSet;
    std::int32_t lockCount = 0;
    AccessRef accessRef = nullptr;
    ErrorCode lastReportedError = kNoError;
    std::int32_t repeatWindowSeconds = 5;
    std::int32_t suppressRepeats = 1;
    std::int64_t lastReportTime = 0;
};
