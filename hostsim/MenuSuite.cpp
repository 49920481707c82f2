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

abi::ErrorCode AddMenuItem(abi::Handle plugin, const char* key, const abi::MenuItemRecord* record,
                           std::int32_t options, abi::Handle* item) {
    HostCall call(SuiteId::Menu, abi::menu::AddMenuItem::number, "AddMenuItem");
    if (!call) {
        return NoActiveHost("AI Menu Suite", "AddMenuItem");
    }
    call.arg("plugin", call.handle(plugin)).arg("key", HostCall::text(key));
    if (record == nullptr) {
        call.arg("record", "null").arg("options", std::to_string(options));
        return call.violation(kBadParameterError, "null record");
    }
    const std::string* label = call.host().strings().text(record->label);
    std::string recordText = "{group=";
    recordText += HostCall::text(record->groupName) + ", label=" + call.handle(record->label);
    if (label != nullptr) {
        recordText += ' ';
        recordText += HostCall::text(label->c_str());
    }
    recordText += "}";
    call.arg("record", std::move(recordText))
        .arg("options", std::to_string(options))
        .arg("item", HostCall::outSlot(item));
    if (record->groupName == nullptr || item == nullptr) {
        return call.violation(kBadParameterError, "null group name or out-pointer");
    }
    if (!call.live(HandleKind::PluginRef, plugin) ||
        !call.live(HandleKind::String, record->label)) {
        return call.finish(kBadHandleError);
    }
    if (call.host().menus().findGroup(record->groupName) == nullptr) {
        return call.finish(kNoSuchGroupError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *item = call.host().menus().addItem(
        plugin, key == nullptr ? std::nullopt : std::optional<std::string>(key), record->groupName,
        *call.host().strings().text(record->label), options);
    call.out("*item", call.handle(*item));
    return call.finish(0);
}

abi::ErrorCode AddMenuGroupAsSubMenu(const char* name, std::int32_t options, abi::Handle item,
                                     abi::Handle* group) {
    HostCall call(SuiteId::Menu, abi::menu::AddMenuGroupAsSubMenu::number, "AddMenuGroupAsSubMenu");
    if (!call) {
        return NoActiveHost("AI Menu Suite", "AddMenuGroupAsSubMenu");
    }
    call.arg("name", HostCall::text(name))
        .arg("options", std::to_string(options))
        .arg("item", call.handle(item))
        .arg("group", HostCall::outSlot(group));
    if (name == nullptr || group == nullptr) {
        return call.violation(kBadParameterError, "null name or out-pointer");
    }
    if (!call.live(HandleKind::MenuItem, item)) {
        return call.finish(kBadHandleError);
    }
    if (call.host().menus().findGroup(name) != nullptr) {
        return call.finish(kDuplicateGroupError);
    }
    if (call.host().menus().item(item)->submenu != nullptr) {
        return call.finish(kBadParameterError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *group = call.host().menus().addSubmenuGroup(name, options, item);
    call.out("*group", call.handle(*group));
    return call.finish(0);
}

abi::ErrorCode GetMenuGroupName(abi::Handle group, const char** name) {
    HostCall call(SuiteId::Menu, abi::menu::GetMenuGroupName::number, "GetMenuGroupName");
    if (!call) {
        return NoActiveHost("AI Menu Suite", "GetMenuGroupName");
    }
    call.arg("group", call.handle(group)).arg("name", HostCall::outSlot(name));
    if (name == nullptr) {
        return call.violation(kBadParameterError, "null out-pointer");
    }
    if (!call.live(HandleKind::MenuGroup, group)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *name = call.host().menus().group(group)->name.c_str();
    call.out("*name", HostCall::text(*name));
    return call.finish(0);
}

abi::ErrorCode CountMenuGroups(std::int32_t* count) {
    HostCall call(SuiteId::Menu, abi::menu::CountMenuGroups::number, "CountMenuGroups");
    if (!call) {
        return NoActiveHost("AI Menu Suite", "CountMenuGroups");
    }
    call.arg("count", HostCall::outSlot(count));
    if (count == nullptr) {
        return call.violation(kBadParameterError, "null out-pointer");
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *count = static_cast<std::int32_t>(call.host().menus().groups().size());
    call.out("*count", std::to_string(*count));
    return call.finish(0);
}

abi::ErrorCode GetNthMenuGroup(std::int32_t index, abi::Handle* group) {
    HostCall call(SuiteId::Menu, abi::menu::GetNthMenuGroup::number, "GetNthMenuGroup");
    if (!call) {
        return NoActiveHost("AI Menu Suite", "GetNthMenuGroup");
    }
    call.arg("index", std::to_string(index)).arg("group", HostCall::outSlot(group));
    if (group == nullptr) {
        return call.violation(kBadParameterError, "null out-pointer");
    }
    const auto& groups = call.host().menus().groups();
    if (index < 0 || static_cast<std::size_t>(index) >= groups.size()) {
        return call.finish(kIndexRangeError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *group = groups[static_cast<std::size_t>(index)].handle;
    call.out("*group", call.handle(*group));
    return call.finish(0);
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
