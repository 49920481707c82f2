// HostContextScope: the host's application context, entered for the lifetime of the object.
#pragma once

#include "host/HostTypes.h"

// Enters the context for `pluginRef` through the context suite when that suite is held, and
// leaves it on destruction (also when an exception passes) when the suite is held then and the
// entering gave a context handle; the answers themselves are ignored. [any message]
class HostContextScope {
  public:
    explicit HostContextScope(PluginRef pluginRef) noexcept;
    ~HostContextScope();

    HostContextScope(const HostContextScope&) = delete;
    HostContextScope& operator=(const HostContextScope&) = delete;

  private:
    AppContextHandle context = nullptr;
};
