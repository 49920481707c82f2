// SDKAboutPluginsHelper: the About-plug-ins menu group that several plug-ins share, and the
// About box.
#pragma once

#include "host/HostMessage.h"
#include "host/HostString.h"
#include "host/HostTypes.h"

struct MenuSuite;
struct UserSuite;

// Made for one operation and destroyed after it. It does not use the suites the frame holds:
// each operation holds the suite it needs (a SuiteHold through the message's basic suite) and
// gives it back before returning, also when a host string operation throws under it.
class SDKAboutPluginsHelper {
  public:
    SDKAboutPluginsHelper() noexcept = default;

    SDKAboutPluginsHelper(const SDKAboutPluginsHelper&) = delete;
    SDKAboutPluginsHelper& operator=(const SDKAboutPluginsHelper&) = delete;

    // Adds the item `itemLabel` to the group `groupName` under the host's "About" group,
    // creating the group (an item labelled `groupLabel` with the group as its submenu) only
    // when no group of exactly that name exists. `itemHandle` is written only when the item was
    // added. Returns the host's code of the first failure (acquiring "AI Menu Suite", walking
    // the groups, adding the group's item or the group, adding the item), or 0. Host string
    // failures throw ai::Error.
    ErrorCode AddAboutMenuItem(const HostMessage* message, const char* groupName,
                               const ai::HostString& groupLabel, const char* itemLabel,
                               MenuItemHandle* itemHandle);

    // Shows one alert: `title`, an empty line, `body`. Shows nothing when "AI User Suite"
    // cannot be acquired; the alert's own answer is not looked at. Host string failures throw
    // ai::Error.
    void ShowAboutBox(const HostMessage* message, const char* title, const char* body);

    // Whether the host has a menu group named exactly `groupName` (case-sensitive, whole
    // string). Returns the host's code of a failed count, lookup or name read, or 0. Only while
    // the menu suite is held.
    ErrorCode HasMenuGroup(const char* groupName, bool& exists);

  private:
    const MenuSuite* menuSuite = nullptr;
    const UserSuite* userSuite = nullptr;
};

// The About box of this plug-in: its title and the body shown under it.
extern const char* const kAboutTitle;
extern const char* const kAboutBody;
