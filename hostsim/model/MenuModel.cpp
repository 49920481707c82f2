#include "hostsim/model/MenuModel.h"

namespace hostsim {

MenuModel::MenuModel(HandleLedger& ledger, const std::vector<std::string>& hostGroups)
    : ledger_(ledger) {
    for (const std::string& name : hostGroups) {
        MenuGroup group;
        group.handle =
            ledger_.Issue(HandleKind::MenuGroup, HandleOrigin::Host, "host group " + name);
        group.name = name;
        groups_.push_back(std::move(group));
    }
}

const MenuGroup* MenuModel::FindGroup(std::string_view name) const {
    for (const MenuGroup& group : groups_) {
        if (group.name == name) {
            return &group;
        }
    }
    return nullptr;
}

const MenuGroup* MenuModel::Group(abi::Handle handle) const {
    for (const MenuGroup& group : groups_) {
        if (group.handle == handle) {
            return &group;
        }
    }
    return nullptr;
}

const MenuItem* MenuModel::Item(abi::Handle handle) const {
    for (const MenuItem& item : items_) {
        if (item.handle == handle) {
            return &item;
        }
    }
    return nullptr;
}

std::vector<const MenuItem*> MenuModel::ItemsIn(std::string_view group) const {
    std::vector<const MenuItem*> found;
    for (const MenuItem& item : items_) {
        if (item.group == group) {
            found.push_back(&item);
        }
    }
    return found;
}

std::vector<const MenuItem*> MenuModel::FindByLabel(std::string_view label) const {
    std::vector<const MenuItem*> found;
    for (const MenuItem& item : items_) {
        if (!item.IsSeparator() && item.label == label) {
            found.push_back(&item);
        }
    }
    return found;
}

abi::Handle MenuModel::AddItem(abi::Handle plugin, std::optional<std::string> key,
                               std::string group, std::string label, std::int32_t options) {
    MenuItem item;
    item.handle = ledger_.Issue(HandleKind::MenuItem, HandleOrigin::PluginRequest);
    item.plugin = plugin;
    item.key = std::move(key);
    item.group = std::move(group);
    item.label = std::move(label);
    item.options = options;
    items_.push_back(std::move(item));
    return items_.back().handle;
}

abi::Handle MenuModel::AddSubmenuGroup(std::string name, std::int32_t options, abi::Handle item) {
    MenuGroup group;
    group.handle = ledger_.Issue(HandleKind::MenuGroup, HandleOrigin::PluginRequest);
    group.name = std::move(name);
    group.options = options;
    group.parentItem = item;
    groups_.push_back(std::move(group));
    for (MenuItem& parent : items_) {
        if (parent.handle == item) {
            parent.submenu = groups_.back().handle;
        }
    }
    return groups_.back().handle;
}

void MenuModel::RenderGroup(const MenuGroup& group, int depth, std::string& out) const {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent + "[" + group.name + "]\n";
    for (const MenuItem* item : ItemsIn(group.name)) {
        std::string line =
            indent + "  " + (item->IsSeparator() ? std::string("----") : item->label);
        if (item->key) {
            line += " (key \"" + *item->key + "\")";
        }
        const std::int32_t otherOptions = item->options & ~kSeparatorOption;
        if (otherOptions != 0) {
            line += " (options " + std::to_string(otherOptions) + ")";
        }
        if (item->submenu != nullptr) {
            line += " >";
        }
        out += line + "\n";
        if (const MenuGroup* submenu = this->Group(item->submenu)) {
            RenderGroup(*submenu, depth + 2, out);
        }
    }
}

std::string MenuModel::Tree() const {
    std::string out;
    for (const MenuGroup& group : groups_) {
        if (group.parentItem == nullptr) {
            RenderGroup(group, 0, out);
        }
    }
    return out;
}

}  // namespace hostsim
