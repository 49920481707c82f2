// The records the host passes with every message.
//
// Every record begins with the same 32-byte header; data of the particular message follows
// from offset 32. The layout is the host's (64-bit) and is checked below.
#pragma once

#include <cstddef>
#include <cstring>

#include "host/HostTypes.h"

struct BasicSuite;

struct HostMessage {
    void* hostData;       // 0: the host's own; never read
    PluginRef pluginRef;  // 8: passed back to the host in suite calls
    void* instanceSlot;   // 16: kept by the host between messages; holds the plug-in object
    const BasicSuite* basicSuite;  // 24: the host's basic suite for this message
};

// Caller "AI Notifier": a notification the plug-in registered for.
struct NotifierMessage {
    HostMessage header;
    NotifierHandle notifier;  // 32: the notifier that fired
    const char* type;         // 40: the notification type, zero-terminated
    void* notifyData;         // 48: data of the notification; not read
};

// Caller "AI Menu": the user chose, or the host updates, one of the plug-in's items.
struct MenuMessage {
    HostMessage header;
    MenuItemHandle menuItem;  // 32: the chosen item
};

// Whether a caller, selector or notification type from the host is exactly `expected`: whole
// string, case-sensitive. A null text is none.
inline bool TextIs(const char* text, const char* expected) {
    return text != nullptr && std::strcmp(text, expected) == 0;
}

#if __SIZEOF_POINTER__ == 8
static_assert(sizeof(void*) == 8, "the host's records are laid out for 64-bit code");
static_assert(sizeof(HostMessage) == 32);
static_assert(offsetof(HostMessage, pluginRef) == 8);
static_assert(offsetof(HostMessage, instanceSlot) == 16);
static_assert(offsetof(HostMessage, basicSuite) == 24);
static_assert(offsetof(NotifierMessage, type) == 40);
static_assert(offsetof(MenuMessage, menuItem) == 32);
#else  // 32-bit pointers (the WebAssembly build): the same records, a 4-byte slot per field
static_assert(sizeof(void*) == 4, "the host's records are laid out for 64-bit or 32-bit code");
static_assert(sizeof(HostMessage) == 16);
static_assert(offsetof(HostMessage, pluginRef) == 4);
static_assert(offsetof(HostMessage, instanceSlot) == 8);
static_assert(offsetof(HostMessage, basicSuite) == 12);
static_assert(offsetof(NotifierMessage, type) == 20);
static_assert(offsetof(MenuMessage, menuItem) == 16);
#endif
