// The menu entries the real module installs at start-up, and what it does with menu
// messages for items that are not its commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/about/AboutHarness.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

constexpr hostsim::ErrorCode kRefused = FourChar("Nope");

constexpr int kAddMenuItem = hostsim::abi::menu::AddMenuItem::number;
constexpr int kAddMenuGroupAsSubMenu = hostsim::abi::menu::AddMenuGroupAsSubMenu::number;
constexpr int kGetMenuGroupName = hostsim::abi::menu::GetMenuGroupName::number;
constexpr int kCountMenuGroups = hostsim::abi::menu::CountMenuGroups::number;
constexpr int kGetNthMenuGroup = hostsim::abi::menu::GetNthMenuGroup::number;

// The host's own groups followed by `extra`.
hostsim::HostConfig HostGroups(std::vector<std::string> extra) {
    hostsim::HostConfig config;
    config.menuGroups.insert(config.menuGroups.end(), extra.begin(), extra.end());
    return config;
}

// Another plug-in that made the shared group before this one started: an item labelled
// "About SDK Plug-ins" under "About" with the group as its submenu.
void AnotherPluginMadeTheSharedGroup(hostsim::Host& host) {
    const hostsim::abi::Handle other = host.plugins().addPlugin("Other.aip");
    const hostsim::abi::Handle item =
        host.menus().addItem(other, std::nullopt, "About", kSharedGroupLabel, 0);
    host.menus().addSubmenuGroup(kSharedGroup, 1, item);
}

int CallsOf(const hostsim::Host& host, const std::string& operation) {
    int count = 0;
    for (const hostsim::CallRecord& call : host.calls().hostCalls()) {
        count += call.operation == operation ? 1 : 0;
    }
    return count;
}

class RealModuleMenus : public ModuleMenus {};

TEST_F(RealModuleMenus, StartupAddsTheAboutItemInTheSharedGroupThenASeparatorAndBothCommands) {
    Start();
    EXPECT_EQ(MenuItems(host()),
              (std::vector<std::string>{
                  "[About] \"About SDK Plug-ins\" options=0 > [SDKAboutPluginsGroupName] options=1",
                  "[SDKAboutPluginsGroupName] \"Quorvane...\" options=0",
                  "[ArtBoards] key=\"sep\" \"Quorvane, Grid by Row\" options=4",
                  "[ArtBoards] key=\"QuorvaneCommandHV\" \"Quorvane, Grid by Row\" options=0",
                  "[ArtBoards] key=\"QuorvaneCommandVH\" \"Quorvane, Grid by Column\" options=0",
              }))
        << host().menus().tree();
    for (const hostsim::MenuItem& item : host().menus().items()) {
        EXPECT_EQ(item.plugin, session().pluginRef()) << item.label;
    }
    EXPECT_EQ(host().ledger().holdCount("AI Menu Suite", 10), 1)
        << "the About helper gave back the menu suite it took for itself";
}

struct MissingGroupCase {
    const char* name;
    std::vector<std::string> hostGroups;  // besides "About" and "ArtBoards"
    std::function<void(hostsim::Host&)> arrange;
};

TEST_F(RealModuleMenus, TheSharedGroupIsCreatedWhenNoGroupHasExactlyItsName) {
    const auto nothing = [](hostsim::Host&) {};
    const std::vector<MissingGroupCase> cases = {
        {"only the host's own groups", {}, nothing},
        {"a group named in other letter case", {"sdkaboutpluginsgroupname"}, nothing},
        {"a group named in capitals", {"SDKABOUTPLUGINSGROUPNAME"}, nothing},
        {"a group named by a prefix of the name", {"SDKAboutPluginsGroup"}, nothing},
        {"a group whose name extends the name", {"SDKAboutPluginsGroupName2"}, nothing},
        {"a group whose name ends in a space", {"SDKAboutPluginsGroupName "}, nothing},
        {"a group count that reads 0",
         {},
         [](hostsim::Host& h) {
             h.faults().answerWithoutWriting(SuiteId::Menu, kCountMenuGroups);
         }},
    };
    for (const MissingGroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Load(HostGroups(c.hostGroups));
        c.arrange(host());
        ASSERT_EQ(session().startup(), 0) << host().calls().text();

        EXPECT_EQ(LabelsIn(host(), "About"), std::vector<std::string>{kSharedGroupLabel})
            << host().menus().tree();
        const hostsim::MenuGroup* shared = host().menus().findGroup(kSharedGroup);
        ASSERT_NE(shared, nullptr) << host().menus().tree();
        const hostsim::MenuItem* parent = host().menus().item(shared->parentItem);
        ASSERT_NE(parent, nullptr) << "the group hangs under an item";
        EXPECT_EQ(parent->label, kSharedGroupLabel);
        EXPECT_EQ(LabelsIn(host(), kSharedGroup), std::vector<std::string>{kAboutItemLabel});
        for (const std::string& decoy : c.hostGroups) {
            EXPECT_TRUE(LabelsIn(host(), decoy).empty()) << decoy;
        }
        Finish();
    }
}

struct ExistingGroupCase {
    const char* name;
    std::vector<std::string> hostGroups;
    std::function<void(hostsim::Host&)> arrange;
    int sharedGroupItems;  // items labelled "About SDK Plug-ins" the host has before start-up
};

TEST_F(RealModuleMenus, AGroupOfExactlyThatNameIsReusedWhereverItIsInTheList) {
    const std::vector<ExistingGroupCase> cases = {
        {"made by another plug-in", {}, &AnotherPluginMadeTheSharedGroup, 1},
        {"made by another plug-in after groups of similar names",
         {"sdkaboutpluginsgroupname", "SDKAboutPluginsGroup", "SDKAboutPluginsGroupName2"},
         &AnotherPluginMadeTheSharedGroup,
         1},
        {"one of the host's own groups",
         {"Window", kSharedGroup, "Help"},
         [](hostsim::Host&) {},
         0},
    };
    for (const ExistingGroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Load(HostGroups(c.hostGroups));
        c.arrange(host());
        ASSERT_EQ(session().startup(), 0) << host().calls().text();

        EXPECT_EQ(ItemsLabelled(host(), kSharedGroupLabel), c.sharedGroupItems)
            << "no second \"About SDK Plug-ins\"\n"
            << host().menus().tree();
        EXPECT_EQ(CallsOf(host(), "AddMenuGroupAsSubMenu"), 0) << host().calls().text();
        const std::vector<const hostsim::MenuItem*> inGroup = host().menus().itemsIn(kSharedGroup);
        ASSERT_EQ(inGroup.size(), 1u) << host().menus().tree();
        EXPECT_EQ(inGroup[0]->label, kAboutItemLabel);
        EXPECT_EQ(inGroup[0]->plugin, session().pluginRef());
        Finish();
    }
}

TEST_F(RealModuleMenus, ASecondStartupInTheSameHostAddsItsItemToTheGroupItMadeBefore) {
    Start();
    ASSERT_EQ(session().shutdown(), 0);
    host().calls().clear();
    ASSERT_EQ(session().startup(), 0) << host().calls().text();
    EXPECT_EQ(ItemsLabelled(host(), kSharedGroupLabel), 1) << host().menus().tree();
    EXPECT_EQ(CallsOf(host(), "AddMenuGroupAsSubMenu"), 0) << host().calls().text();
    EXPECT_EQ(LabelsIn(host(), kSharedGroup),
              (std::vector<std::string>{kAboutItemLabel, kAboutItemLabel}));
}

struct AboutItemFailure {
    const char* name;
    std::vector<std::string> hostGroups;
    std::function<void(hostsim::Host&)> arrange;
};

TEST_F(RealModuleMenus, AnAboutItemThatCannotBeAddedLeavesBothCommandsWorking) {
    // The helper's own acquisition of the menu suite, after the frame's.
    int helperAcquisition = 0;
    int menuAcquisitions = 0;
    for (const hostsim::CallRecord& call : CleanStartupCalls()) {
        if (call.operation == "AcquireSuite" && call.argument("name") == "\"AI Menu Suite\"" &&
            ++menuAcquisitions == 2) {
            helperAcquisition = call.number;
        }
    }
    ASSERT_NE(helperAcquisition, 0) << "the About helper acquires the menu suite itself";

    const std::vector<AboutItemFailure> cases = {
        {"group count refused",
         {},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kCountMenuGroups, kRefused);
         }},
        {"group lookup refused",
         {},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kGetNthMenuGroup, kRefused);
         }},
        {"group name refused",
         {},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kGetMenuGroupName, kRefused);
         }},
        {"item for the shared group refused",
         {},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kAddMenuItem, kRefused, 1);
         }},
        {"shared group refused",
         {},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kAddMenuGroupAsSubMenu, kRefused);
         }},
        {"menu suite refused to the About helper",
         {},
         [helperAcquisition](hostsim::Host& h) {
             h.faults().failCall(helperAcquisition, kRefused);
         }},
        {"the About item itself refused, the group existing",
         {kSharedGroup},
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Menu, kAddMenuItem, kRefused, 1);
         }},
    };
    for (const AboutItemFailure& c : cases) {
        SCOPED_TRACE(c.name);
        Load(HostGroups(c.hostGroups));
        c.arrange(host());
        ASSERT_EQ(session().startup(), 0) << "the About item's failure is not start-up's\n"
                                          << host().calls().text();
        host().faults().clear();

        EXPECT_EQ(ItemsLabelled(host(), kAboutItemLabel), 0) << host().menus().tree();
        EXPECT_EQ(LabelsIn(host(), "ArtBoards"),
                  (std::vector<std::string>{kByRowLabel, kByRowLabel, kByColumnLabel}));
        EXPECT_EQ(host().ledger().holdCount("AI Menu Suite", 10), 1)
            << "the helper gave back what it took";
        EXPECT_EQ(session().chooseMenuItem(kByRowLabel), 0);
        EXPECT_EQ(Names(*host().document()), GridByRow());
        EXPECT_EQ(session().chooseMenuItem(kByColumnLabel), 0);
        EXPECT_EQ(Names(*host().document()), GridByColumn());
        EXPECT_EQ(session().sendMenu("AI Go", nullptr), 0)
            << "a choice of no item is not the About item that was never added";
        EXPECT_TRUE(host().alerts().empty());
        Finish();
    }
}

TEST_F(RealModuleMenus, EachCommandRunsItsOwnOrder) {
    Start();
    EXPECT_EQ(session().chooseMenuItem(kByColumnLabel), 0);
    EXPECT_EQ(Names(*host().document()), GridByColumn());
    EXPECT_EQ(session().chooseMenuItem(kByRowLabel), 0);
    EXPECT_EQ(Names(*host().document()), GridByRow());
    EXPECT_TRUE(host().alerts().empty());
}

TEST_F(RealModuleMenus, AChoiceOfAnItemThatIsNotOneOfItsOwnAnswersZeroAndChangesNothing) {
    Start();
    const hostsim::abi::Handle other = host().plugins().addPlugin("Other.aip");
    int notAHandle = 0;
    const struct {
        const char* name;
        hostsim::abi::Handle item;
    } cases[] = {
        {"no item", nullptr},
        {"the separator", ItemHandle(kByRowLabel, true)},
        {"the item that opens the shared group", ItemHandle(kSharedGroupLabel)},
        {"another plug-in's item",
         host().menus().addItem(other, std::string("OtherCommand"), "ArtBoards", "Other", 0)},
        {"a menu group", host().menus().findGroup("ArtBoards")->handle},
        {"a value the host never handed out", &notAHandle},
    };
    const hostsim::Document before = *host().document();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host().calls().clear();
        EXPECT_EQ(session().sendMenu("AI Go", c.item), 0);
        EXPECT_TRUE(host().calls().hostCalls().empty()) << host().calls().text();
        EXPECT_EQ(*host().document(), before);
        EXPECT_TRUE(host().alerts().empty());
    }
}

TEST_F(RealModuleMenus, AMenuUpdateForAnyOfItsItemsAnswersZeroAndCallsNothing) {
    Start();
    const hostsim::Document before = *host().document();
    for (const auto& [label, separator] :
         std::vector<std::pair<const char*, bool>>{{kAboutItemLabel, false},
                                                   {kByRowLabel, true},
                                                   {kByRowLabel, false},
                                                   {kByColumnLabel, false}}) {
        SCOPED_TRACE(std::string(label) + (separator ? " (separator)" : ""));
        host().calls().clear();
        EXPECT_EQ(session().sendMenu("AI Update", ItemHandle(label, separator)), 0);
        EXPECT_TRUE(host().calls().hostCalls().empty()) << host().calls().text();
        EXPECT_EQ(*host().document(), before);
        EXPECT_TRUE(host().alerts().empty());
    }
}

TEST_F(RealModuleMenus, AFailingBaseStartupAddsNoMenuItemAtAll) {
    const struct {
        const char* name;
        std::function<void(hostsim::Host&)> arrange;
    } cases[] = {
        {"plug-ins suite refused",
         [](hostsim::Host& h) { h.faults().failAcquisition("SP Plug-ins Suite", kRefused); }},
        {"menu suite refused",
         [](hostsim::Host& h) { h.faults().failAcquisition("AI Menu Suite", kRefused); }},
        {"string suite refused",
         [](hostsim::Host& h) { h.faults().failAcquisition("AI Unicode String Suite", kRefused); }},
        {"name refused",
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Plugins,
                                      hostsim::abi::plugins::SetPluginName::number, kRefused);
         }},
        {"notifier refused",
         [](hostsim::Host& h) {
             h.faults().failOperation(SuiteId::Notifier,
                                      hostsim::abi::notifier::AddNotifier::number, kRefused);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load();
        c.arrange(host());
        EXPECT_EQ(session().sendStartup(), kRefused);
        EXPECT_EQ(session().instanceSlot(), nullptr);
        EXPECT_TRUE(host().menus().items().empty()) << host().menus().tree();
        for (const hostsim::CallRecord& call : host().calls().hostCalls()) {
            EXPECT_NE(call.suite, "AI Menu Suite") << call.text();
        }
        Finish();
    }
}

TEST_F(RealModuleMenus, ARefusedStringDuringMenuInstallationFailsStartupAndGivesEverythingBack) {
    std::vector<hostsim::CallRecord> requests;
    std::vector<std::string> texts;
    for (const hostsim::CallRecord& call : CleanStartupCalls()) {
        if (call.suite == "AI Unicode String Suite" && call.operation != "Destroy") {
            requests.push_back(call);
            if (call.operation == "Initialize") {
                texts.push_back(call.argument("bytes"));
            }
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"\"About SDK Plug-ins\"", "\"Quorvane...\"",
                                               "\"Quorvane, Grid by Row\"",
                                               "\"Quorvane, Grid by Column\""}))
        << "the labels made at start-up";

    for (const hostsim::CallRecord& request : requests) {
        SCOPED_TRACE(request.text());
        Load();
        host().faults().failCall(request.number, kRefused);
        EXPECT_EQ(session().sendStartup(), kRefused) << host().calls().text();
        EXPECT_EQ(session().instanceSlot(), nullptr) << "the plug-in object is destroyed";
        EXPECT_TRUE(host().ledger().heldSuites().empty()) << host().ledger().report();
        EXPECT_TRUE(host().ledger().outstandingExcept(hostsim::kLeftToHostByDesign).empty())
            << host().ledger().report();
        const auto calls = host().calls().hostCalls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2].operation, "AcquireSuite") << "reported to the host";
        EXPECT_EQ(calls[calls.size() - 2].argument("name"), "\"AI User Suite\"");
        EXPECT_EQ(calls.back().operation, "ReleaseSuite");
        Finish();
    }
}

}  // namespace
}  // namespace quorvane::test
