// The base dispatch's fixed routing table: which Plugin operation each caller and selector
// reaches. Callers are tried in table order, each caller's selectors in row order; the first
// caller that matches decides, and a caller whose selectors all differ is answered '!MSG'
// without trying later callers. The notifier caller has no selectors of its own: its messages
// go to Plugin::DispatchNotifier, which looks at the notification's type.
#pragma once

#include <span>

#include "host/ErrorCode.h"
#include "host/HostMessage.h"

class Plugin;

struct SelectorRoute {
    const char* selector;
    ErrorCode (*action)(Plugin& plugin, HostMessage* message);
};

struct CallerRoute {
    const char* caller;
    std::span<const SelectorRoute> selectors;  // empty for the notifier caller
};

// The table, in the order it is tried. Static storage; lives for the module's lifetime.
std::span<const CallerRoute> RoutingTable();
