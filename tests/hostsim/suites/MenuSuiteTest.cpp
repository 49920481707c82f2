// "AI Menu Suite": groups, items and submenus.
#include <gtest/gtest.h>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;
using namespace abi::menu;

class MenuSuite : public ::testing::Test {
  protected:
    abi::Handle AddItem(const char* key, const char* group, const std::string& label,
                        std::int32_t options, ErrorCode expected = 0) {
        abi::Handle text = test::MakeString(label);
        const abi::MenuItemRecord record{group, text};
        abi::Handle item = nullptr;
        EXPECT_EQ(Call<AddMenuItem>(SuiteId::Menu, plugin, key, &record, options, &item), expected)
            << label;
        test::DisposeString(text);  // the host keeps its own copy of the label
        return item;
    }

    std::vector<std::string> GroupNames() {
        std::int32_t count = -1;
        EXPECT_EQ(Call<CountMenuGroups>(SuiteId::Menu, &count), 0);
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < count; ++i) {
            abi::Handle group = nullptr;
            EXPECT_EQ(Call<GetNthMenuGroup>(SuiteId::Menu, i, &group), 0);
            const char* name = nullptr;
            EXPECT_EQ(Call<GetMenuGroupName>(SuiteId::Menu, group, &name), 0);
            names.emplace_back(name);
        }
        return names;
    }

    Host host;
    abi::Handle plugin = host.Plugins().AddPlugin("test");
};

TEST_F(MenuSuite, StartsWithTheHostsOwnGroups) {
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"About", "ArtBoards"}));
    EXPECT_EQ(host.Menus().Tree(), "[About]\n[ArtBoards]\n");
    EXPECT_EQ(host.ProblemReport({}), "") << "the host's own groups are not the plug-in's";
}

TEST_F(MenuSuite, BuildsTheTreeWithSubmenusSeparatorsAndKeys) {
    const abi::Handle parent = AddItem(nullptr, "About", "About SDK Plug-ins", 0);
    abi::Handle group = nullptr;
    ASSERT_EQ(
        Call<AddMenuGroupAsSubMenu>(SuiteId::Menu, "SDKAboutPluginsGroupName", 1, parent, &group),
        0);
    AddItem(nullptr, "SDKAboutPluginsGroupName", "Quorvane...", 0);
    AddItem("sep", "ArtBoards", "Quorvane, Grid by Row", kSeparatorOption);
    AddItem("QuorvaneCommandHV", "ArtBoards", "Quorvane, Grid by Row", 0);
    AddItem("QuorvaneCommandVH", "ArtBoards", "Quorvane, Grid by Column", 0);

    EXPECT_EQ(host.Menus().Tree(),
              "[About]\n"
              "  About SDK Plug-ins >\n"
              "    [SDKAboutPluginsGroupName]\n"
              "      Quorvane...\n"
              "[ArtBoards]\n"
              "  ---- (key \"sep\")\n"
              "  Quorvane, Grid by Row (key \"QuorvaneCommandHV\")\n"
              "  Quorvane, Grid by Column (key \"QuorvaneCommandVH\")\n");
    EXPECT_EQ(GroupNames(),
              (std::vector<std::string>{"About", "ArtBoards", "SDKAboutPluginsGroupName"}));
    EXPECT_EQ(host.Menus().Group(group)->parentItem, parent);
    EXPECT_EQ(host.ProblemReport(), "") << "menu items and groups are left to the host";
    EXPECT_EQ(host.Ledger().Outstanding().size(), 6u);
}

TEST_F(MenuSuite, FindsChoosableItemsByLabelButNeverSeparators) {
    AddItem("sep", "ArtBoards", "Quorvane, Grid by Row", kSeparatorOption);
    const abi::Handle row = AddItem("QuorvaneCommandHV", "ArtBoards", "Quorvane, Grid by Row", 0);
    const auto found = host.Menus().FindByLabel("Quorvane, Grid by Row");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->handle, row);
    EXPECT_TRUE(host.Menus().FindByLabel("quorvane, grid by row").empty());
}

TEST_F(MenuSuite, AddingToAGroupThatDoesNotExistIsRefused) {
    for (const char* group : {"Artboards", "ArtBoards ", "SDKAboutPluginsGroupName", ""}) {
        EXPECT_EQ(AddItem("k", group, "label", 0, kNoSuchGroupError), nullptr) << group;
    }
    EXPECT_TRUE(host.Menus().Items().empty());
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(MenuSuite, GroupNamesAreUniqueAndAnItemHasOneSubmenu) {
    const abi::Handle parent = AddItem(nullptr, "About", "parent", 0);
    abi::Handle group = nullptr;
    EXPECT_EQ(Call<AddMenuGroupAsSubMenu>(SuiteId::Menu, "ArtBoards", 0, parent, &group),
              kDuplicateGroupError);
    EXPECT_EQ(group, nullptr);
    EXPECT_EQ(Call<AddMenuGroupAsSubMenu>(SuiteId::Menu, "Sub", 0, parent, &group), 0);
    abi::Handle second = nullptr;
    EXPECT_EQ(Call<AddMenuGroupAsSubMenu>(SuiteId::Menu, "Sub2", 0, parent, &second),
              kBadParameterError);
    EXPECT_EQ(second, nullptr);
}

TEST_F(MenuSuite, GroupIndicesOutsideTheListAreRefusedAndNothingIsWritten) {
    abi::Handle group = test::ForgedHandle();
    EXPECT_EQ(Call<GetNthMenuGroup>(SuiteId::Menu, 2, &group), kIndexRangeError);
    EXPECT_EQ(Call<GetNthMenuGroup>(SuiteId::Menu, -1, &group), kIndexRangeError);
    EXPECT_EQ(group, test::ForgedHandle());
}

TEST(MenuSuiteConfigured, AHostCanStartWithNoMenuGroupsAtAll) {
    Host host(HostConfig{{}});
    std::int32_t count = -1;
    EXPECT_EQ(Call<CountMenuGroups>(SuiteId::Menu, &count), 0);
    EXPECT_EQ(count, 0);
    abi::Handle group = nullptr;
    EXPECT_EQ(Call<GetNthMenuGroup>(SuiteId::Menu, 0, &group), kIndexRangeError);
    EXPECT_EQ(host.Menus().Tree(), "");
}

TEST_F(MenuSuite, UnknownItemAndLabelHandlesAreCaught) {
    abi::Handle group = nullptr;
    EXPECT_EQ(Call<AddMenuGroupAsSubMenu>(SuiteId::Menu, "Sub", 0, test::ForgedHandle(), &group),
              kBadHandleError);
    const abi::MenuItemRecord record{"ArtBoards", test::ForgedHandle()};
    abi::Handle item = nullptr;
    EXPECT_EQ(Call<AddMenuItem>(SuiteId::Menu, plugin, "k", &record, 0, &item), kBadHandleError);
    const char* name = nullptr;
    EXPECT_EQ(Call<GetMenuGroupName>(SuiteId::Menu, test::ForgedHandle(), &name), kBadHandleError);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(host.Ledger().Problems().size(), 3u);
}

}  // namespace
}  // namespace hostsim
