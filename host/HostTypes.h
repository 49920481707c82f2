// Opaque host handles and small value types that cross the host boundary.
//
// Handles are pointer-sized values owned by the host. The plug-in never looks inside them; it
// keeps them, passes them back, and gives back the ones it was given ownership of.
//
// Contract tags. Every suite entry and wrapper of host/ and every Plugin operation ends its
// comment with one of these, meaning exactly this and nothing else:
//   [any message]  called inside any message, whether or not the suites are held.
//   [start-up]     called only while the start-up message runs.
//   [held]         called only while the suite it belongs to (a wrapper: the suite it forwards
//                  to) is held, between a successful acquisition and its release; the frame
//                  holds the module's suites from start-up to shut-down or unload.
//   [running]      called only inside a message routed to the running plug-in: after a
//                  successful start-up, before shut-down or unload, with the suites held.
#pragma once

#include <cstdint>

#include "host/ErrorCode.h"

// The host's reference to this plug-in, passed back in suite calls.
using PluginRef = struct PluginRefOpaque*;
// A reference taken by the access suite while the plug-in is locked in memory.
using AccessRef = struct AccessRefOpaque*;
// A notifier registered with the notifier suite.
using NotifierHandle = struct NotifierOpaque*;
// The host context entered around notifier dispatch.
using AppContextHandle = struct AppContextOpaque*;
// A menu item and a menu group of the host's menus.
using MenuItemHandle = struct MenuItemOpaque*;
using MenuGroupHandle = struct MenuGroupOpaque*;
// A host Unicode string, an artboard attribute set and a document's artboard list.
using HostStringHandle = struct HostStringOpaque*;
using ArtboardAttributesHandle = struct ArtboardAttributesOpaque*;
using ArtboardListHandle = struct ArtboardListOpaque*;

// Zero-based position in the document's artboard list.
using ArtboardIndex = std::int32_t;
// The host's numbering of an artboard's display marks; the plug-in uses kinds 0, 1, 2 and 4.
using DisplayMarkKind = std::int32_t;

// An artboard's rectangle in page coordinates: four 32-bit floats, 16 bytes, y growing upwards
// (top is above bottom).
struct BoundsRect {
    float left;
    float top;
    float right;
    float bottom;
};
static_assert(sizeof(BoundsRect) == 16);

// An artboard's ruler origin: two 32-bit floats, 8 bytes, never interpreted by the plug-in.
struct OriginPoint {
    float h;
    float v;
};
static_assert(sizeof(OriginPoint) == 8);

// An entry of a host table that this plug-in never calls. It keeps the positions of the
// entries that follow it; its real signature is the host's.
using UnusedSuiteEntry = void (*)();
