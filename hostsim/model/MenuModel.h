// The host's menus: named groups of items, some groups hanging as submenus under an item.
//
// The host starts with its own groups (by default "About" and "ArtBoards"). Items and
// groups that a plug-in adds belong to the host from then on; their handles are tracked in
// the ledger but a plug-in never gives them back. Group names are unique; item labels are
// copied when the item is added.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/HandleLedger.h"

namespace hostsim {

// Item option bit that makes an item a separator line; separators cannot be chosen.
inline constexpr std::int32_t kSeparatorOption = 4;

struct MenuGroup {
    abi::Handle handle = nullptr;
    std::string name;
    std::int32_t options = 0;
    abi::Handle parentItem = nullptr;  // the item it is the submenu of; null for a top group
};

struct MenuItem {
    abi::Handle handle = nullptr;
    abi::Handle plugin = nullptr;
    std::optional<std::string> key;  // null key: none
    std::string group;
    std::string label;
    std::int32_t options = 0;
    abi::Handle submenu = nullptr;  // the group hanging under this item, if any
    bool IsSeparator() const { return (options & kSeparatorOption) != 0; }
};

class MenuModel {
  public:
    MenuModel(HandleLedger& ledger, const std::vector<std::string>& hostGroups);
    MenuModel(const MenuModel&) = delete;
    MenuModel& operator=(const MenuModel&) = delete;

    // Groups in the order they came into being; index i is the host's group number i.
    const std::deque<MenuGroup>& Groups() const { return groups_; }
    const std::deque<MenuItem>& Items() const { return items_; }
    const MenuGroup* FindGroup(std::string_view name) const;
    const MenuGroup* Group(abi::Handle handle) const;
    const MenuItem* Item(abi::Handle handle) const;
    // Items of one group in the order they were added.
    std::vector<const MenuItem*> ItemsIn(std::string_view group) const;
    // Items that a user could choose (not separators) labelled exactly `label`.
    std::vector<const MenuItem*> FindByLabel(std::string_view label) const;

    // Adds an item to the existing group `group` on a plug-in's request.
    abi::Handle AddItem(abi::Handle plugin, std::optional<std::string> key, std::string group,
                        std::string label, std::int32_t options);
    // Makes a new group the submenu of `item`. The name must be new and the item must not
    // have a submenu yet (the caller checks both).
    abi::Handle AddSubmenuGroup(std::string name, std::int32_t options, abi::Handle item);

    // The tree as a person reads it, top groups in order, each submenu under its item:
    //   [About]
    //     About SDK Plug-ins >
    //       [SDKAboutPluginsGroupName]
    //         Quorvane...
    //   [ArtBoards]
    //     ---- (key "sep")
    //     Quorvane, Grid by Row (key "QuorvaneCommandHV")
    std::string Tree() const;

  private:
    void RenderGroup(const MenuGroup& group, int depth, std::string& out) const;

    HandleLedger& ledger_;
    std::deque<MenuGroup> groups_;  // a deque keeps each name's storage where it is
    std::deque<MenuItem> items_;
};

}  // namespace hostsim
