// MenuItemRecord: what the menu suite's add-item operation takes.
#pragma once

#include <cstddef>

#include "host/HostString.h"

// The group's name is borrowed (a zero-terminated string that outlives the call); the label
// is owned by the record and disposed with it. The host copies both when it adds the item.
struct MenuItemRecord {
    const char* groupName = nullptr;
    ai::HostString label;
};

#if __SIZEOF_POINTER__ == 8
static_assert(sizeof(MenuItemRecord) == 16 && offsetof(MenuItemRecord, label) == 8,
              "the host reads the label's handle directly after the group name");
#else  // 32-bit pointers (the WebAssembly build)
static_assert(sizeof(MenuItemRecord) == 8 && offsetof(MenuItemRecord, label) == 4,
              "the host reads the label's handle directly after the group name");
#endif
