#include "frame/PluginMain.h"

#include <cstring>

#include "frame/ErrorBoundary.h"
#include "frame/ErrorReporter.h"
#include "frame/Plugin.h"
#include "host/BasicSuite.h"
#include "host/HostMessage.h"

namespace {

bool Is(const char* text, const char* expected) {
    return text != nullptr && std::strcmp(text, expected) == 0;
}

Plugin* Instance(const HostMessage* message) {
    return static_cast<Plugin*>(message->instanceSlot);
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
    if (Is(caller, "SP Access") && Is(selector, "Reload")) {
        // The object was made by the code loaded before; point it at the code loaded now
        // before calling anything on it.
        RebindAfterReload(plugin);
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
        if (Is(caller, "SP Interface")) {
            if (Is(selector, "Startup")) {
                if (const ErrorCode result = Startup(message); result != kNoError) {
                    return result;
                }
                // A successful start-up is dispatched too, and answered 0.
            } else if (Is(selector, "Shutdown")) {
                return Shutdown(message);
            }
        }
        return Dispatch(caller, selector, message);
    });
}
