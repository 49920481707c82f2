// HostContextScope: the host's application context, entered for the lifetime of the object.
#pragma once

#include "host/HostTypes.h"

// Enters the context for `pluginRef` through the context suite when that suite is held, and
// leaves it on destruction (also when an exception passes) when it is held then, whatever the
// entering answered: the answers are ignored. [any message]
class HostContextScope {
  public:
    explicit HostContextScope(PluginRef pluginRef) noexcept;
    ~HostContextScope();

    HostContextScope(const HostContextScope&) = delete;
    HostContextScope& operator=(const HostContextScope&) = delete;

  private:
    AppContextHandle context = nullptr;
};
