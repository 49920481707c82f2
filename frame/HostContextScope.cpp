#include "frame/HostContextScope.h"

#include "host/ContextSuite.h"

HostContextScope::HostContextScope(PluginRef pluginRef) noexcept {
    if (gContextSuite != nullptr) {
        gContextSuite->PushAppContext(pluginRef, &context);
    }
}

HostContextScope::~HostContextScope() {
    if (gContextSuite != nullptr) {
        gContextSuite->PopAppContext(context);
    }
}
