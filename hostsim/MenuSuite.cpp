// "AI Menu Suite" 10: the host's menus.
//
// AddMenuItem adds to an existing group named in the record and copies the label's text;
// the key may be null. AddMenuGroupAsSubMenu makes a new group (names are unique) hang under
// an item that has no submenu yet. Group names handed out stay the host's and stay valid for
// the host's life. Groups are numbered from 0 in the order they came into being.
#include <string>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

// The add-menu-item record as a person reads it, with the label's text when it has one.
std::string RecordText(const HostCall& call, const abi::MenuItemRecord& record) {
    const std::string* label = call.host().strings().text(record.label);
    std::string text = "{group=";
    text += HostCall::text(record.groupName) + ", label=" + call.handle(record.label);
    if (label != nullptr) {
        text += ' ';
        text += HostCall::text(label->c_str());
    }
    return text + "}";
}

abi::ErrorCode AddMenuItem(abi::Handle plugin, const char* key, const abi::MenuItemRecord* record,
                           std::int32_t options, abi::Handle* item) {
    return Serve<abi::menu::AddMenuItem>(
        SuiteId::Menu, "AddMenuItem",
        [&](HostCall& call) {
            call.arg("plugin", call.handle(plugin)).arg("key", HostCall::text(key));
            if (record == nullptr) {
                call.arg("record", "null").arg("options", std::to_string(options));
                return;
            }
            call.arg("record", RecordText(call, *record))
                .arg("options", std::to_string(options))
                .arg("item", HostCall::outSlot(item));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (record == nullptr) {
                return call.refuse(kBadParameterError, "null record");
            }
            if (record->groupName == nullptr || item == nullptr) {
                return call.refuse(kBadParameterError, "null group name or out-pointer");
            }
            if (!call.live(HandleKind::PluginRef, plugin) ||
                !call.live(HandleKind::String, record->label)) {
                return kBadHandleError;
            }
            return call.host().menus().findGroup(record->groupName) == nullptr ? kNoSuchGroupError
                                                                               : 0;
        },
        [&](HostCall& call) {
            *item = call.host().menus().addItem(
                plugin, key == nullptr ? std::nullopt : std::optional<std::string>(key),
                record->groupName, *call.host().strings().text(record->label), options);
            call.out("*item", call.handle(*item));
        });
}

abi::ErrorCode AddMenuGroupAsSubMenu(const char* name, std::int32_t options, abi::Handle item,
                                     abi::Handle* group) {
    return Serve<abi::menu::AddMenuGroupAsSubMenu>(
        SuiteId::Menu, "AddMenuGroupAsSubMenu",
        [&](HostCall& call) {
            call.arg("name", HostCall::text(name))
                .arg("options", std::to_string(options))
                .arg("item", call.handle(item))
                .arg("group", HostCall::outSlot(group));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr || group == nullptr) {
                return call.refuse(kBadParameterError, "null name or out-pointer");
            }
            if (!call.live(HandleKind::MenuItem, item)) {
                return kBadHandleError;
            }
            if (call.host().menus().findGroup(name) != nullptr) {
                return kDuplicateGroupError;
            }
            return call.host().menus().item(item)->submenu != nullptr ? kBadParameterError : 0;
        },
        [&](HostCall& call) {
            *group = call.host().menus().addSubmenuGroup(name, options, item);
            call.out("*group", call.handle(*group));
        });
}

abi::ErrorCode GetMenuGroupName(abi::Handle group, const char** name) {
    return Serve<abi::menu::GetMenuGroupName>(
        SuiteId::Menu, "GetMenuGroupName",
        [&](HostCall& call) {
            call.arg("group", call.handle(group)).arg("name", HostCall::outSlot(name));
        },
        [&](HostCall& call) {
            return name == nullptr ? call.refuse(kBadParameterError, "null out-pointer")
                                   : call.checkLive(HandleKind::MenuGroup, group);
        },
        [&](HostCall& call) {
            *name = call.host().menus().group(group)->name.c_str();
            call.out("*name", HostCall::text(*name));
        });
}

abi::ErrorCode CountMenuGroups(std::int32_t* count) {
    return Serve<abi::menu::CountMenuGroups>(
        SuiteId::Menu, "CountMenuGroups",
        [&](HostCall& call) { call.arg("count", HostCall::outSlot(count)); },
        [&](HostCall& call) {
            return count == nullptr ? call.refuse(kBadParameterError, "null out-pointer") : 0;
        },
        [&](HostCall& call) {
            *count = static_cast<std::int32_t>(call.host().menus().groups().size());
            call.out("*count", std::to_string(*count));
        });
}

abi::ErrorCode GetNthMenuGroup(std::int32_t index, abi::Handle* group) {
    return Serve<abi::menu::GetNthMenuGroup>(
        SuiteId::Menu, "GetNthMenuGroup",
        [&](HostCall& call) {
            call.arg("index", std::to_string(index)).arg("group", HostCall::outSlot(group));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (group == nullptr) {
                return call.refuse(kBadParameterError, "null out-pointer");
            }
            const std::size_t groups = call.host().menus().groups().size();
            return index < 0 || static_cast<std::size_t>(index) >= groups ? kIndexRangeError : 0;
        },
        [&](HostCall& call) {
            *group = call.host().menus().groups()[static_cast<std::size_t>(index)].handle;
            call.out("*group", call.handle(*group));
        });
}

}  // namespace

const abi::SuiteTable& MenuSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Menu>();
        Install<abi::menu::AddMenuItem>(t, &hostsim::AddMenuItem);
        Install<abi::menu::AddMenuGroupAsSubMenu>(t, &hostsim::AddMenuGroupAsSubMenu);
        Install<abi::menu::GetMenuGroupName>(t, &hostsim::GetMenuGroupName);
        Install<abi::menu::CountMenuGroups>(t, &hostsim::CountMenuGroups);
        Install<abi::menu::GetNthMenuGroup>(t, &hostsim::GetNthMenuGroup);
        return t;
    }();
    return table;
}

}  // namespace hostsim
