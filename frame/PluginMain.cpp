#include "frame/PluginMain.h"

#include <new>

#include "frame/ErrorBoundary.h"
#include "frame/ErrorReporter.h"
#include "frame/PluginHooks.h"
#include "host/BasicSuite.h"
#include "host/HostMessage.h"
#include "host/MessageNames.h"

namespace {

// The object the host keeps for us. Laundered: a reload may have re-made it over its storage.
Plugin* Instance(const HostMessage* message) {
    void* const slot = message->instanceSlot;
    return slot == nullptr ? nullptr : std::launder(static_cast<Plugin*>(slot));
}

ErrorCode Startup(HostMessage* message) {
    if (Instance(message) != nullptr) {
        // Already started: a second object would take the slot and the first would be lost
        // with everything it holds. The running one stays.
        return kCantError;
    }
    Plugin* plugin = CreatePluginObject(message->pluginRef);
    if (plugin == nullptr) {
        ReportErrorToHost(message->pluginRef, kOutOfMemoryError);
        return kOutOfMemoryError;
    }
    message->instanceSlot = plugin;
    const ErrorCode result = CallCatchingExceptions([&] { return plugin->OnStartup(message); });
    if (result != kNoError) {
        delete plugin;  // gives back the suites a failed start-up may still hold
        message->instanceSlot = nullptr;
        ReportErrorToHost(message->pluginRef, result);
    }
    return result;
}

ErrorCode Shutdown(HostMessage* message) {
    Plugin* plugin = Instance(message);
    if (plugin == nullptr) {
        return kNoError;
    }
    const ErrorCode result = CallCatchingExceptions([&] { return plugin->OnShutdown(message); });
    delete plugin;
    message->instanceSlot = nullptr;
    if (result != kNoError) {
        ReportErrorToHost(message->pluginRef, result);
    }
    return result;
}

// Every message but shut-down and a failed start-up ends here.
ErrorCode Dispatch(const char* caller, const char* selector, HostMessage* message) {
    Plugin* plugin = Instance(message);
    if (plugin == nullptr) {
        return kNoError;
    }
    ErrorCode result = kNoError;
    if (TextIs(caller, kAccessCaller) && TextIs(selector, kReloadSelector)) {
        // The object was made by the code loaded before; point it at the code loaded now
        // before calling anything on it.
        RebindAfterReload(plugin);
        plugin = Instance(message);
        result = CallCatchingExceptions([&] { return plugin->OnReload(message); });
    } else if (!plugin->HoldsSuites()) {
        return kNoError;  // unloaded, or a reload failed: nothing can be done without suites
    } else {
        result =
            CallCatchingExceptions([&] { return plugin->OnMessage(caller, selector, message); });
    }
    if (result == kNoError || result == kUnhandledMessageError) {
        return kNoError;
    }
    // A failure under a plug-in's own message wrapper was reported there already; this second
    // report of the same code falls in the repeat window and is dropped before the host.
    plugin->OnReportError(result, caller, selector, message);
    return result;
}

}  // namespace

extern "C" ErrorCode PluginMain(const char* caller, const char* selector, void* record) {
    if (record == nullptr) {
        return kCantError;
    }
    auto* message = static_cast<HostMessage*>(record);
    gBasicSuite = message->basicSuite;
    return CallCatchingExceptions([&]() -> ErrorCode {
        if (TextIs(caller, kInterfaceCaller)) {
            if (TextIs(selector, kStartupSelector)) {
                if (const ErrorCode result = Startup(message); result != kNoError) {
                    return result;
                }
                // A successful start-up is dispatched too, and answered 0.
            } else if (TextIs(selector, kShutdownSelector)) {
                return Shutdown(message);
            }
        }
        return Dispatch(caller, selector, message);
    });
}
