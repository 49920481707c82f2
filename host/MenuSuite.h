// "AI Menu Suite", version 10: the host's menus.
//
// Menu items and groups belong to the host once added; the plug-in keeps their handles only
// to recognise them later and never removes them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kMenuSuiteName = "AI Menu Suite";
inline constexpr std::int32_t kMenuSuiteVersion = 10;

struct MenuItemRecord;

struct MenuSuite {
    // 1. Adds an item to the group named in `record` with the label in `record`. `key` is the
    //    item's unique name, or null. `options` is a 32-bit set of host flags (4 makes a
    //    separator). Writes the new item's handle to *item. The host copies the label. [held]
    ErrorCode (*AddMenuItem)(PluginRef plugin, const char* key, const MenuItemRecord* record,
                             std::int32_t options, MenuItemHandle* item);
    UnusedSuiteEntry unused2[18];  // entries 2 to 19
    // 20. Makes a new group called `name`, with the 32-bit group options, the submenu of
    //     `item` (by value) and writes its handle to *group. [held]
    ErrorCode (*AddMenuGroupAsSubMenu)(const char* name, std::int32_t options, MenuItemHandle item,
                                       MenuGroupHandle* group);
    // 21. Writes to *name the group's zero-terminated name, which stays the host's. [held]
    ErrorCode (*GetMenuGroupName)(MenuGroupHandle group, const char** name);
    UnusedSuiteEntry unused22[3];  // entries 22 to 24
    // 25. Writes the number of menu groups to *count. [held]
    ErrorCode (*CountMenuGroups)(std::int32_t* count);
    // 26. Writes the handle of the group at `index` (from 0) to *group. [held]
    ErrorCode (*GetNthMenuGroup)(std::int32_t index, MenuGroupHandle* group);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(MenuSuite, AddMenuItem) == 0 * sizeof(void*));
static_assert(offsetof(MenuSuite, AddMenuGroupAsSubMenu) == 19 * sizeof(void*));
static_assert(offsetof(MenuSuite, GetMenuGroupName) == 20 * sizeof(void*));
static_assert(offsetof(MenuSuite, CountMenuGroups) == 24 * sizeof(void*));
static_assert(offsetof(MenuSuite, GetNthMenuGroup) == 25 * sizeof(void*));

extern const MenuSuite* gMenuSuite;
