#include "frame/Plugin.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "frame/ErrorReporter.h"
#include "frame/HostContextScope.h"
#include "frame/ReportClock.h"
#include "frame/RoutingTable.h"
#include "host/AccessSuite.h"
#include "host/MessageNames.h"
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

// Routes by the fixed table (RoutingTable.h).
ErrorCode Plugin::OnMessage(const char* caller, const char* selector, HostMessage* message) {
    RetryOptionalSuites();
    for (const CallerRoute& route : RoutingTable()) {
        if (!TextIs(caller, route.caller)) {
            continue;
        }
        if (route.selectors.empty()) {
            return DispatchNotifier(selector, message);
        }
        for (const SelectorRoute& entry : route.selectors) {
            if (TextIs(selector, entry.selector)) {
                return entry.action(*this, message);
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
    if (TextIs(selector, kNotifySelector)) {
        result = OnNotify(message);
    }
    return result;
}
