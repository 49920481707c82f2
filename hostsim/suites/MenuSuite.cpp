// "AI Menu Suite" 10: the host's menus.
//
// AddMenuItem adds to an existing group named in the record and copies the label's text;
// the key may be null. AddMenuGroupAsSubMenu makes a new group (names are unique) hang under
// an item that has no submenu yet. Group names handed out stay the host's and stay valid for
// the host's life. Groups are numbered from 0 in the order they came into being.
#include <string>

#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

// The add-menu-item record as a person reads it, with the label's text when it has one.
std::string RecordText(const HostCall& call, const abi::MenuItemRecord& record) {
    const std::string* label = call.ActiveHost().Strings().Text(record.label);
    std::string text = "{group=";
    text += HostCall::Text(record.groupName) + ", label=" + call.Handle(record.label);
    if (label != nullptr) {
        text += ' ';
        text += HostCall::Text(label->c_str());
    }
    return text + "}";
}

abi::ErrorCode AddMenuItem(abi::Handle plugin, const char* key, const abi::MenuItemRecord* record,
                           std::int32_t options, abi::Handle* item) {
    return Serve<abi::menu::AddMenuItem>(
        SuiteId::Menu, "AddMenuItem",
        [&](HostCall& call) {
            call.Arg("plugin", call.Handle(plugin)).Arg("key", HostCall::Text(key));
            if (record == nullptr) {
                call.Arg("record", "null").Arg("options", std::to_string(options));
                return;
            }
            call.Arg("record", RecordText(call, *record))
                .Arg("options", std::to_string(options))
                .Arg("item", HostCall::OutSlot(item));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (record == nullptr) {
                return call.Violation(kBadParameterError, "null record");
            }
            if (record->groupName == nullptr || item == nullptr) {
                return call.Violation(kBadParameterError, "null group name or out-pointer");
            }
            if (!call.Live(HandleKind::PluginRef, plugin) ||
                !call.Live(HandleKind::String, record->label)) {
                return kBadHandleError;
            }
            return call.ActiveHost().Menus().FindGroup(record->groupName) == nullptr
                       ? kNoSuchGroupError
                       : 0;
        },
        [&](HostCall& call) {
            *item = call.ActiveHost().Menus().AddItem(
                plugin, key == nullptr ? std::nullopt : std::optional<std::string>(key),
                record->groupName, *call.ActiveHost().Strings().Text(record->label), options);
            call.Out("*item", [&] { return call.Handle(*item); });
        });
}

abi::ErrorCode AddMenuGroupAsSubMenu(const char* name, std::int32_t options, abi::Handle item,
                                     abi::Handle* group) {
    return Serve<abi::menu::AddMenuGroupAsSubMenu>(
        SuiteId::Menu, "AddMenuGroupAsSubMenu",
        [&](HostCall& call) {
            call.Arg("name", HostCall::Text(name))
                .Arg("options", std::to_string(options))
                .Arg("item", call.Handle(item))
                .Arg("group", HostCall::OutSlot(group));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr || group == nullptr) {
                return call.Violation(kBadParameterError, "null name or out-pointer");
            }
            if (!call.Live(HandleKind::MenuItem, item)) {
                return kBadHandleError;
            }
            if (call.ActiveHost().Menus().FindGroup(name) != nullptr) {
                return kDuplicateGroupError;
            }
            return call.ActiveHost().Menus().Item(item)->submenu != nullptr ? kBadParameterError
                                                                            : 0;
        },
        [&](HostCall& call) {
            *group = call.ActiveHost().Menus().AddSubmenuGroup(name, options, item);
            call.Out("*group", [&] { return call.Handle(*group); });
        });
}

abi::ErrorCode GetMenuGroupName(abi::Handle group, const char** name) {
    return Serve<abi::menu::GetMenuGroupName>(
        SuiteId::Menu, "GetMenuGroupName",
        [&](HostCall& call) {
            call.Arg("group", call.Handle(group)).Arg("name", HostCall::OutSlot(name));
        },
        [&](HostCall& call) {
            return name == nullptr ? call.Violation(kBadParameterError, "null out-pointer")
                                   : call.CheckLive(HandleKind::MenuGroup, group);
        },
        [&](HostCall& call) {
            *name = call.ActiveHost().Menus().Group(group)->name.c_str();
            call.Out("*name", [&] { return HostCall::Text(*name); });
        });
}

abi::ErrorCode CountMenuGroups(std::int32_t* count) {
    return Serve<abi::menu::CountMenuGroups>(
        SuiteId::Menu, "CountMenuGroups",
        [&](HostCall& call) { call.Arg("count", HostCall::OutSlot(count)); },
        [&](HostCall& call) {
            return count == nullptr ? call.Violation(kBadParameterError, "null out-pointer") : 0;
        },
        [&](HostCall& call) {
            *count = static_cast<std::int32_t>(call.ActiveHost().Menus().Groups().size());
            call.Out("*count", [&] { return std::to_string(*count); });
        });
}

abi::ErrorCode GetNthMenuGroup(std::int32_t index, abi::Handle* group) {
    return Serve<abi::menu::GetNthMenuGroup>(
        SuiteId::Menu, "GetNthMenuGroup",
        [&](HostCall& call) {
            call.Arg("index", std::to_string(index)).Arg("group", HostCall::OutSlot(group));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (group == nullptr) {
                return call.Violation(kBadParameterError, "null out-pointer");
            }
            const std::size_t groups = call.ActiveHost().Menus().Groups().size();
            return index < 0 || static_cast<std::size_t>(index) >= groups ? kIndexRangeError : 0;
        },
        [&](HostCall& call) {
            *group = call.ActiveHost().Menus().Groups()[static_cast<std::size_t>(index)].handle;
            call.Out("*group", [&] { return call.Handle(*group); });
        });
}

}  // namespace

const abi::SuiteTable& MenuSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Menu>();
        Install<abi::menu::AddMenuItem>(t, &hostsim::AddMenuItem);
        Install<abi::menu::AddMenuGroupAsSubMenu>(t, &hostsim::AddMenuGroupAsSubMenu);
        Install<abi::menu::GetMenuGroupName>(t, &hostsim::GetMenuGroupName);
        Install<abi::menu::CountMenuGroups>(t, &hostsim::CountMenuGroups);
        Install<abi::menu::GetNthMenuGroup>(t, &hostsim::GetNthMenuGroup);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
