#include "about/SDKAboutPluginsHelper.h"

#include <cstring>

#include "host/MenuItemRecord.h"
#include "host/MenuSuite.h"
#include "host/SuiteHold.h"
#include "host/UserSuite.h"

namespace {

constexpr const char* kHostAboutGroup = "About";

}  // namespace

ErrorCode SDKAboutPluginsHelper::AddAboutMenuItem(const HostMessage* message, const char* groupName,
                                                  const ai::HostString& groupLabel,
                                                  const char* itemLabel,
                                                  MenuItemHandle* itemHandle) {
    const SuiteHold menus(message->basicSuite, kMenuSuiteName, kMenuSuiteVersion, menuSuite);
    if (menus.Acquired() != kNoError || menuSuite == nullptr) {
        return menus.Acquired();  // 0 when the host said yes but gave no table: nothing to do
    }

    bool exists = false;
    if (const ErrorCode result = HasMenuGroup(groupName, exists); result != kNoError) {
        return result;
    }
    if (!exists) {
        MenuItemRecord groupItem;
        groupItem.groupName = kHostAboutGroup;
        groupItem.label = groupLabel;
        MenuItemHandle parent = nullptr;
        ErrorCode result =
            menuSuite->AddMenuItem(message->pluginRef, nullptr, &groupItem, 0, &parent);
        if (result == kNoError && parent == nullptr) {
            result = kCantError;  // success without an item to hang the group under
        }
        if (result == kNoError) {
            MenuGroupHandle group = nullptr;
            result = menuSuite->AddMenuGroupAsSubMenu(groupName, 1, parent, &group);
        }
        if (result != kNoError) {
            return result;
        }
    }

    MenuItemRecord item{groupName, ai::HostString(itemLabel)};
    MenuItemHandle added = nullptr;
    const ErrorCode result = menuSuite->AddMenuItem(message->pluginRef, nullptr, &item, 0, &added);
    if (result == kNoError) {
        *itemHandle = added;
    }
    return result;
}

ErrorCode SDKAboutPluginsHelper::HasMenuGroup(const char* groupName, bool& exists) {
    exists = false;
    std::int32_t count = 0;
    if (const ErrorCode result = menuSuite->CountMenuGroups(&count); result != kNoError) {
        return result;
    }
    for (std::int32_t index = 0; index < count; ++index) {
        MenuGroupHandle group = nullptr;
        if (const ErrorCode result = menuSuite->GetNthMenuGroup(index, &group);
            result != kNoError || group == nullptr) {
            return result != kNoError ? result : kCantError;
        }
        const char* name = nullptr;
        if (const ErrorCode result = menuSuite->GetMenuGroupName(group, &name);
            result != kNoError) {
            return result;
        }
        if (name != nullptr && std::strcmp(name, groupName) == 0) {
            exists = true;
            return kNoError;
        }
    }
    return kNoError;
}

void SDKAboutPluginsHelper::ShowAboutBox(const HostMessage* message, const char* title,
                                         const char* body) {
    const SuiteHold user(message->basicSuite, kUserSuiteName, kUserSuiteVersion, userSuite);
    if (user.Acquired() != kNoError || userSuite == nullptr) {
        return;  // a table the host wrote despite refusing is given back all the same
    }
    ai::HostString text(title);
    text.Append(ai::HostString("\n\n"));
    text.Append(ai::HostString(body));
    userSuite->MessageAlert(text.Slot());
}
