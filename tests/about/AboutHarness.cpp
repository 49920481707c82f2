#include "tests/about/AboutHarness.h"

namespace quorvane::test {

hostsim::Document ShuffledGrid() {
    hostsim::Document document{"shuffled grid", {}};
    const auto add = [&](const char* name, float left, float top, std::uint64_t id) {
        hostsim::Artboard artboard;
        artboard.name = name;
        artboard.bounds = {left, top, left + 100, top - 100};
        artboard.id = id;
        document.artboards.push_back(artboard);
    };
    add("bottom-right", 200, 0, 1);
    add("bottom-left", 0, 0, 2);
    add("top-right", 200, 200, 3);
    add("top-left", 0, 200, 4);
    return document;
}

std::vector<std::string> GridByRow() {
    return {"top-left", "top-right", "bottom-left", "bottom-right"};
}

std::vector<std::string> GridByColumn() {
    return {"top-left", "bottom-left", "top-right", "bottom-right"};
}

std::string Describe(const hostsim::Host& host, const hostsim::MenuItem& item) {
    std::string text = "[" + item.group + "]";
    if (item.key) {
        text += " key=\"" + *item.key + "\"";
    }
    text += " \"" + item.label + "\" options=" + std::to_string(item.options);
    if (const hostsim::MenuGroup* submenu = host.Menus().Group(item.submenu)) {
        text += " > [" + submenu->name + "] options=" + std::to_string(submenu->options);
    }
    return text;
}

std::vector<std::string> MenuItems(const hostsim::Host& host) {
    std::vector<std::string> items;
    for (const hostsim::MenuItem& item : host.Menus().Items()) {
        items.push_back(Describe(host, item));
    }
    return items;
}

std::vector<std::string> LabelsIn(const hostsim::Host& host, std::string_view group) {
    std::vector<std::string> labels;
    for (const hostsim::MenuItem* item : host.Menus().ItemsIn(group)) {
        labels.push_back(item->label);
    }
    return labels;
}

int ItemsLabelled(const hostsim::Host& host, std::string_view label) {
    int count = 0;
    for (const hostsim::MenuItem& item : host.Menus().Items()) {
        count += item.label == label ? 1 : 0;
    }
    return count;
}

std::vector<hostsim::CallRecord> CleanStartupCalls(const hostsim::HostConfig& config) {
    hostsim::HostConfig keeping = config;
    keeping.keepCallLog = true;
    hostsim::ModuleFixture module(
        hostsim::ModuleFile{},
        hostsim::FixtureOptions{.config = keeping, .document = ShuffledGrid()});
    EXPECT_EQ(module.session.Startup(), 0) << "the clean start-up itself";
    std::vector<hostsim::CallRecord> calls = module.host.Calls().HostCalls();
    module.session.Shutdown();
    return calls;
}

}  // namespace quorvane::test
