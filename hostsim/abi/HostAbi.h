// The host's binary interface as the stand-in host serves it: message records, suite tables
// and the C form of every entry a plug-in may call.
//
// This is the host's own declaration, kept apart from any plug-in's view of the same tables,
// so that a plug-in that puts an entry in the wrong slot calls a different function here and
// is caught. Every suite table is an array of kSuiteSlots generic function pointers in which
// entry n (counting from 1) sits at index n - 1. Entries that a plug-in is not expected to
// call are stubs that record a contract violation and answer an error code; the tables are
// longer than any suite's documented part, so reading past it also lands on a stub.
//
// Handles are opaque pointer-sized values. Strings, attribute sets and artboard lists travel
// as the address of a pointer-sized slot that holds the handle (the plug-in's one-field
// wrapper object): the host reads the handle there or writes a new one there. Other handles
// travel by value. Structures travel by address; scalars to set travel by value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hostsim {

// The suites the host offers, the basic suite first (SuiteId.h gives their names and versions).
enum class SuiteId {
    Basic,
    Access,
    Plugins,
    Notifier,
    Context,
    User,
    FilePath,
    Folders,
    Blocks,
    Menu,
    Artboard,
    UnicodeString,
};

}  // namespace hostsim

namespace hostsim::abi {

using ErrorCode = std::int32_t;
using Handle = void*;

// The exported entry point of a plug-in module: caller, selector, message record.
using PluginEntry = ErrorCode (*)(const char* caller, const char* selector, void* message);

// A suite table: kSuiteSlots generic entries; the real type of each is given below.
using SuiteEntry = void (*)();
inline constexpr int kSuiteSlots = 64;
using SuiteTable = std::array<SuiteEntry, kSuiteSlots>;

// Which entry of which suite, as a value: what fault rules and tables of cases name.
struct EntryId {
    SuiteId suite;
    int number;
    friend bool operator==(const EntryId&, const EntryId&) = default;
};

// One documented entry of a suite: its suite, its number (from 1) and its C type.
template <SuiteId Suite, int Number, typename Function>
struct Entry {
    static constexpr SuiteId suite = Suite;
    static constexpr int number = Number;
    static constexpr EntryId id{Suite, Number};
    using Type = Function;
};

// The 32-byte header that begins every message record; message data follows from offset 32.
struct MessageHeader {
    void* hostData;          // 0: the host's own; the plug-in does not read it
    Handle pluginRef;        // 8: the host's reference to the plug-in
    void* instanceSlot;      // 16: kept by the host for the plug-in between messages
    const void* basicSuite;  // 24: the basic suite's table (a SuiteTable)
};

// Caller "AI Menu": the chosen item.
struct MenuMessage {
    MessageHeader header;
    Handle menuItem;  // 32
};

// Caller "AI Notifier": the notifier that fired and the notification type.
struct NotifierMessage {
    MessageHeader header;
    Handle notifier;   // 32
    const char* type;  // 40: zero-terminated
    void* notifyData;  // 48
};

// The add-menu-item record: a borrowed group name, then the label's string handle itself
// (an embedded one-field string wrapper, not its address).
struct MenuItemRecord {
    const char* groupName;
    Handle label;
};

struct BoundsRect {
    float left;
    float top;
    float right;
    float bottom;
};

struct OriginPoint {
    float h;
    float v;
};

#if __SIZEOF_POINTER__ == 8
static_assert(sizeof(void*) == 8, "the host's records are laid out for 64-bit code");
static_assert(sizeof(MessageHeader) == 32);
static_assert(offsetof(MessageHeader, pluginRef) == 8);
static_assert(offsetof(MessageHeader, instanceSlot) == 16);
static_assert(offsetof(MessageHeader, basicSuite) == 24);
static_assert(offsetof(MenuMessage, menuItem) == 32);
static_assert(offsetof(NotifierMessage, notifier) == 32);
static_assert(offsetof(NotifierMessage, type) == 40);
static_assert(sizeof(MenuItemRecord) == 16);
static_assert(offsetof(MenuItemRecord, label) == 8);
#else  // 32-bit pointers (the WebAssembly build): the same records, a 4-byte slot per field
static_assert(sizeof(void*) == 4, "the host's records are laid out for 64-bit or 32-bit code");
static_assert(sizeof(MessageHeader) == 16);
static_assert(offsetof(MessageHeader, pluginRef) == 4);
static_assert(offsetof(MessageHeader, instanceSlot) == 8);
static_assert(offsetof(MessageHeader, basicSuite) == 12);
static_assert(offsetof(MenuMessage, menuItem) == 16);
static_assert(offsetof(NotifierMessage, notifier) == 16);
static_assert(offsetof(NotifierMessage, type) == 20);
static_assert(sizeof(MenuItemRecord) == 8);
static_assert(offsetof(MenuItemRecord, label) == 4);
#endif
static_assert(sizeof(BoundsRect) == 16);
static_assert(sizeof(OriginPoint) == 8);

// The basic suite: hands out the other suites.
namespace basic {
template <int N, typename F>
using At = Entry<SuiteId::Basic, N, F>;
using AcquireSuite =
    At<1, ErrorCode (*)(const char* name, std::int32_t version, const void** suite)>;
using ReleaseSuite = At<2, ErrorCode (*)(const char* name, std::int32_t version)>;
}  // namespace basic

// "SP Access Suite" 3.
namespace access {
template <int N, typename F>
using At = Entry<SuiteId::Access, N, F>;
using AcquirePlugin = At<1, ErrorCode (*)(Handle plugin, Handle* access)>;
using ReleasePlugin = At<2, ErrorCode (*)(Handle access)>;
}  // namespace access

// "SP Plug-ins Suite" 4.
namespace plugins {
template <int N, typename F>
using At = Entry<SuiteId::Plugins, N, F>;
using SetPluginName = At<24, ErrorCode (*)(Handle plugin, const char* name)>;
}  // namespace plugins

// "AI Notifier Suite" 3.
namespace notifier {
template <int N, typename F>
using At = Entry<SuiteId::Notifier, N, F>;
using AddNotifier =
    At<1, ErrorCode (*)(Handle plugin, const char* name, const char* type, Handle* notifier)>;
}  // namespace notifier

// "AI Context Suite" 6.
namespace context {
template <int N, typename F>
using At = Entry<SuiteId::Context, N, F>;
using PushAppContext = At<2, ErrorCode (*)(Handle plugin, Handle* context)>;
using PopAppContext = At<3, ErrorCode (*)(Handle context)>;
}  // namespace context

// "AI User Suite" 10.
namespace user {
template <int N, typename F>
using At = Entry<SuiteId::User, N, F>;
using MessageAlert = At<45, ErrorCode (*)(const Handle* text)>;
}  // namespace user

// "AI Unicode String Suite" 7.
namespace strings {
template <int N, typename F>
using At = Entry<SuiteId::UnicodeString, N, F>;
using Initialize = At<1, ErrorCode (*)(Handle* str, const char* bytes, std::int32_t byteCount,
                                       std::int32_t encoding)>;
using Destroy = At<4, ErrorCode (*)(Handle* str)>;
using Append = At<5, ErrorCode (*)(Handle* target, const Handle* source)>;
using Copy = At<7, ErrorCode (*)(Handle* target, const Handle* source)>;
}  // namespace strings

// "AI Artboard Suite" 2.
namespace artboard {
template <int N, typename F>
using At = Entry<SuiteId::Artboard, N, F>;
using NewAttributes = At<1, ErrorCode (*)(Handle* set)>;
using CloneAttributes = At<2, ErrorCode (*)(Handle* target, const Handle* source)>;
using DisposeAttributes = At<3, ErrorCode (*)(Handle* set)>;
using GetBounds = At<4, ErrorCode (*)(const Handle* set, BoundsRect* bounds)>;
using SetBounds = At<5, ErrorCode (*)(Handle* set, const BoundsRect* bounds)>;
using GetPixelAspectRatio = At<6, ErrorCode (*)(const Handle* set, float* ratio)>;
using SetPixelAspectRatio = At<7, ErrorCode (*)(Handle* set, float ratio)>;
using GetName = At<8, ErrorCode (*)(const Handle* set, Handle* name)>;
using SetName = At<9, ErrorCode (*)(Handle* set, const Handle* name)>;
using GetDisplayMark =
    At<10, ErrorCode (*)(const Handle* set, std::int32_t kind, std::int32_t* value)>;
using SetDisplayMark = At<11, ErrorCode (*)(Handle* set, std::int32_t kind, std::int32_t value)>;
using AcquireArtboardList = At<12, ErrorCode (*)(Handle* list)>;
using ReleaseArtboardList = At<13, ErrorCode (*)(Handle* list)>;
using GetArtboardCount = At<16, ErrorCode (*)(const Handle* list, std::int32_t* count)>;
using UpdateArtboard = At<19, ErrorCode (*)(Handle* list, std::int32_t index, const Handle* set)>;
using GetArtboardAttributes =
    At<20, ErrorCode (*)(const Handle* list, std::int32_t index, Handle* set)>;
using GetRulerOrigin = At<21, ErrorCode (*)(const Handle* set, OriginPoint* origin)>;
using SetRulerOrigin = At<22, ErrorCode (*)(Handle* set, const OriginPoint* origin)>;
}  // namespace artboard

// "AI Menu Suite" 10.
namespace menu {
template <int N, typename F>
using At = Entry<SuiteId::Menu, N, F>;
using AddMenuItem =
    At<1, ErrorCode (*)(Handle plugin, const char* key, const MenuItemRecord* record,
                        std::int32_t options, Handle* item)>;
using AddMenuGroupAsSubMenu =
    At<20, ErrorCode (*)(const char* name, std::int32_t options, Handle item, Handle* group)>;
using GetMenuGroupName = At<21, ErrorCode (*)(Handle group, const char** name)>;
using CountMenuGroups = At<25, ErrorCode (*)(std::int32_t* count)>;
using GetNthMenuGroup = At<26, ErrorCode (*)(std::int32_t index, Handle* group)>;
}  // namespace menu

// The function behind entry E of a table, typed.
template <typename E>
typename E::Type EntryOf(const SuiteTable& table) {
    return reinterpret_cast<typename E::Type>(table[E::number - 1]);
}

}  // namespace hostsim::abi
