// Opaque host handles and small value types that cross the host boundary.
//
// Handles are pointer-sized values owned by the host. The plug-in never looks inside them; it
// keeps them, passes them back, and gives back the ones it was given ownership of.
//
// Contract tags on the suite entries and wrappers of host/: [held] means callable only while
// the suite is held, between its acquisition and its release (the frame holds the module's
// suites from start-up to shut-down or unload); [any message] means whenever a message runs.
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
