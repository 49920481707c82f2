#include "frame/HostContextScope.h"

#include "host/ContextSuite.h"

HostContextScope::HostContextScope(PluginRef pluginRef) noexcept {
    if (gContextSuite != nullptr) {
        gContextSuite->PushAppContext(pluginRef, &context);
    }
}

HostContextScope::~HostContextScope() {
    // Only a context the host entered is left: after a refused push there is none, and the
    // handle is not one to give the host.
    if (gContextSuite != nullptr && context != nullptr) {
        gContextSuite->PopAppContext(context);
    }
}
