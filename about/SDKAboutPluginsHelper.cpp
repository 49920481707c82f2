#include "about/SDKAboutPluginsHelper.h"

#include <cstring>

#include "host/BasicSuite.h"
#include "host/MenuItemRecord.h"
#include "host/MenuSuite.h"
#include "host/UserSuite.h"

namespace {

constexpr const char* kHostAboutGroup = "About";

// Gives back, when it goes out of scope, the suite that `field` holds, and clears the field;
// so an exception passing through an operation cannot leave a suite held.
template <typename Suite>
class SuiteReturn {
  public:
    SuiteReturn(const HostMessage* message, const Suite*& field, const char* name,
                std::int32_t version) noexcept
        : basicSuite(message->basicSuite), held(field), suiteName(name), suiteVersion(version) {}
    ~SuiteReturn() {
        if (held != nullptr) {
            basicSuite->ReleaseSuite(suiteName, suiteVersion);
            held = nullptr;
        }
    }
    SuiteReturn(const SuiteReturn&) = delete;
    SuiteReturn& operator=(const SuiteReturn&) = delete;

  private:
    const BasicSuite* basicSuite;
    const Suite*& held;
    const char* suiteName;
    std::int32_t suiteVersion;
};

// Acquires a suite into `field` unless it already holds one.
template <typename Suite>
ErrorCode Acquire(const HostMessage* message, const Suite*& field, const char* name,
                  std::int32_t version) {
    if (field != nullptr) {
        return kNoError;
    }
    const void* suite = nullptr;
    const ErrorCode result = message->basicSuite->AcquireSuite(name, version, &suite);
    field = static_cast<const Suite*>(suite);
    return result;
}

}  // namespace

SDKAboutPluginsHelper::~SDKAboutPluginsHelper() = default;

ErrorCode SDKAboutPluginsHelper::AddAboutMenuItem(const HostMessage* message, const char* groupName,
                                                  const ai::HostString& groupLabel,
                                                  const char* itemLabel,
                                                  MenuItemHandle* itemHandle) {
    SuiteReturn<MenuSuite> giveBack(message, menuSuite, kMenuSuiteName, kMenuSuiteVersion);
    if (const ErrorCode result = Acquire(message, menuSuite, kMenuSuiteName, kMenuSuiteVersion);
        result != kNoError || menuSuite == nullptr) {
        return result;  // 0 when the host said yes but gave no table: there is nothing to do
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
    SuiteReturn<UserSuite> giveBack(message, userSuite, kUserSuiteName, kUserSuiteVersion);
    if (Acquire(message, userSuite, kUserSuiteName, kUserSuiteVersion) != kNoError ||
        userSuite == nullptr) {
        return;  // a table the host wrote despite refusing is given back by giveBack
    }
    ai::HostString text(title);
    text.Append(ai::HostString("\n\n"));
    text.Append(ai::HostString(body));
    userSuite->MessageAlert(text.Slot());
}
