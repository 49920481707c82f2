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

constexpr hostsim::abi::EntryId kAddMenuItem = hostsim::abi::menu::AddMenuItem::id;
constexpr hostsim::abi::EntryId kAddMenuGroupAsSubMenu =
    hostsim::abi::menu::AddMenuGroupAsSubMenu::id;
constexpr hostsim::abi::EntryId kGetMenuGroupName = hostsim::abi::menu::GetMenuGroupName::id;
constexpr hostsim::abi::EntryId kCountMenuGroups = hostsim::abi::menu::CountMenuGroups::id;
constexpr hostsim::abi::EntryId kGetNthMenuGroup = hostsim::abi::menu::GetNthMenuGroup::id;

// The host's own groups followed by `extra`.
hostsim::HostConfig HostGroups(std::vector<std::string> extra) {
    hostsim::HostConfig config;
    config.menuGroups.insert(config.menuGroups.end(), extra.begin(), extra.end());
    return config;
}

// Another plug-in that made the shared group before this one started: an item labelled
// "About SDK Plug-ins" under "About" with the group as its submenu.
void AnotherPluginMadeTheSharedGroup(hostsim::Host& host) {
    const hostsim::abi::Handle other = host.Plugins().AddPlugin("Other.aip");
    const hostsim::abi::Handle item =
        host.Menus().AddItem(other, std::nullopt, "About", kSharedGroupLabel, 0);
    host.Menus().AddSubmenuGroup(kSharedGroup, 1, item);
}

int CallsOf(const hostsim::Host& host, const std::string& operation) {
    int count = 0;
    for (const hostsim::CallRecord& call : host.Calls().HostCalls()) {
        count += call.operation == operation ? 1 : 0;
    }
    return count;
}

class RealModuleMenus : public ModuleTest {};

TEST_F(RealModuleMenus, StartupAddsTheAboutItemInTheSharedGroupThenASeparatorAndBothCommands) {
    Start(ShuffledGrid());
    EXPECT_EQ(MenuItems(ActiveHost()),
              (std::vector<std::string>{
                  "[About] \"About SDK Plug-ins\" options=0 > [SDKAboutPluginsGroupName] options=1",
                  "[SDKAboutPluginsGroupName] \"Quorvane...\" options=0",
                  "[ArtBoards] key=\"sep\" \"Quorvane, Grid by Row\" options=4",
                  "[ArtBoards] key=\"QuorvaneCommandHV\" \"Quorvane, Grid by Row\" options=0",
                  "[ArtBoards] key=\"QuorvaneCommandVH\" \"Quorvane, Grid by Column\" options=0",
              }))
        << ActiveHost().Menus().Tree();
    for (const hostsim::MenuItem& item : ActiveHost().Menus().Items()) {
        EXPECT_EQ(item.plugin, ModuleSession().PluginReference()) << item.label;
    }
    EXPECT_EQ(ActiveHost().Ledger().HoldCount("AI Menu Suite", 10), 1)
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
         [](hostsim::Host& h) { h.Faults().AnswerWithoutWriting(kCountMenuGroups); }},
    };
    for (const MissingGroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Load(HostGroups(c.hostGroups), ShuffledGrid());
        c.arrange(ActiveHost());
        ASSERT_EQ(ModuleSession().Startup(), 0) << ActiveHost().Calls().Text();

        EXPECT_EQ(LabelsIn(ActiveHost(), "About"), std::vector<std::string>{kSharedGroupLabel})
            << ActiveHost().Menus().Tree();
        const hostsim::MenuGroup* shared = ActiveHost().Menus().FindGroup(kSharedGroup);
        ASSERT_NE(shared, nullptr) << ActiveHost().Menus().Tree();
        const hostsim::MenuItem* parent = ActiveHost().Menus().Item(shared->parentItem);
        ASSERT_NE(parent, nullptr) << "the group hangs under an item";
        EXPECT_EQ(parent->label, kSharedGroupLabel);
        EXPECT_EQ(LabelsIn(ActiveHost(), kSharedGroup), std::vector<std::string>{kAboutItemLabel});
        for (const std::string& decoy : c.hostGroups) {
            EXPECT_TRUE(LabelsIn(ActiveHost(), decoy).empty()) << decoy;
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
        Load(HostGroups(c.hostGroups), ShuffledGrid());
        c.arrange(ActiveHost());
        ASSERT_EQ(ModuleSession().Startup(), 0) << ActiveHost().Calls().Text();

        EXPECT_EQ(ItemsLabelled(ActiveHost(), kSharedGroupLabel), c.sharedGroupItems)
            << "no second \"About SDK Plug-ins\"\n"
            << ActiveHost().Menus().Tree();
        EXPECT_EQ(CallsOf(ActiveHost(), "AddMenuGroupAsSubMenu"), 0) << ActiveHost().Calls().Text();
        const std::vector<const hostsim::MenuItem*> inGroup =
            ActiveHost().Menus().ItemsIn(kSharedGroup);
        ASSERT_EQ(inGroup.size(), 1u) << ActiveHost().Menus().Tree();
        EXPECT_EQ(inGroup[0]->label, kAboutItemLabel);
        EXPECT_EQ(inGroup[0]->plugin, ModuleSession().PluginReference());
        Finish();
    }
}

TEST_F(RealModuleMenus, ASecondStartupInTheSameHostAddsItsItemToTheGroupItMadeBefore) {
    Start(ShuffledGrid());
    ASSERT_EQ(ModuleSession().Shutdown(), 0);
    ActiveHost().Calls().Clear();
    ASSERT_EQ(ModuleSession().Startup(), 0) << ActiveHost().Calls().Text();
    EXPECT_EQ(ItemsLabelled(ActiveHost(), kSharedGroupLabel), 1) << ActiveHost().Menus().Tree();
    EXPECT_EQ(CallsOf(ActiveHost(), "AddMenuGroupAsSubMenu"), 0) << ActiveHost().Calls().Text();
    EXPECT_EQ(LabelsIn(ActiveHost(), kSharedGroup),
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
    Finish();  // the host each test starts with: CleanStartupCalls makes one of its own
    for (const hostsim::CallRecord& call : CleanStartupCalls()) {
        if (call.operation == "AcquireSuite" && call.Argument("name") == "\"AI Menu Suite\"" &&
            ++menuAcquisitions == 2) {
            helperAcquisition = call.number;
        }
    }
    ASSERT_NE(helperAcquisition, 0) << "the About helper acquires the menu suite itself";

    const std::vector<AboutItemFailure> cases = {
        {"group count refused",
         {},
         [](hostsim::Host& h) { h.Faults().FailOperation(kCountMenuGroups, kRefused); }},
        {"group lookup refused",
         {},
         [](hostsim::Host& h) { h.Faults().FailOperation(kGetNthMenuGroup, kRefused); }},
        {"group name refused",
         {},
         [](hostsim::Host& h) { h.Faults().FailOperation(kGetMenuGroupName, kRefused); }},
        {"item for the shared group refused",
         {},
         [](hostsim::Host& h) { h.Faults().FailOperation(kAddMenuItem, kRefused, 1); }},
        {"shared group refused",
         {},
         [](hostsim::Host& h) { h.Faults().FailOperation(kAddMenuGroupAsSubMenu, kRefused); }},
        {"menu suite refused to the About helper",
         {},
         [helperAcquisition](hostsim::Host& h) {
             h.Faults().FailCall(helperAcquisition, kRefused);
         }},
        {"the About item itself refused, the group existing",
         {kSharedGroup},
         [](hostsim::Host& h) { h.Faults().FailOperation(kAddMenuItem, kRefused, 1); }},
    };
    for (const AboutItemFailure& c : cases) {
        SCOPED_TRACE(c.name);
        Load(HostGroups(c.hostGroups), ShuffledGrid());
        c.arrange(ActiveHost());
        ASSERT_EQ(ModuleSession().Startup(), 0) << "the About item's failure is not start-up's\n"
                                                << ActiveHost().Calls().Text();
        ActiveHost().Faults().Clear();

        EXPECT_EQ(ItemsLabelled(ActiveHost(), kAboutItemLabel), 0) << ActiveHost().Menus().Tree();
        EXPECT_EQ(LabelsIn(ActiveHost(), "ArtBoards"),
                  (std::vector<std::string>{kByRowLabel, kByRowLabel, kByColumnLabel}));
        EXPECT_EQ(ActiveHost().Ledger().HoldCount("AI Menu Suite", 10), 1)
            << "the helper gave back what it took";
        EXPECT_EQ(ModuleSession().ChooseMenuItem(kByRowLabel), 0);
        EXPECT_EQ(Names(*ActiveHost().CurrentDocument()), GridByRow());
        EXPECT_EQ(ModuleSession().ChooseMenuItem(kByColumnLabel), 0);
        EXPECT_EQ(Names(*ActiveHost().CurrentDocument()), GridByColumn());
        EXPECT_EQ(ModuleSession().SendMenu("AI Go", nullptr), 0)
            << "a choice of no item is not the About item that was never added";
        EXPECT_TRUE(ActiveHost().Alerts().empty());
        Finish();
    }
}

TEST_F(RealModuleMenus, EachCommandRunsItsOwnOrder) {
    Start(ShuffledGrid());
    EXPECT_EQ(ModuleSession().ChooseMenuItem(kByColumnLabel), 0);
    EXPECT_EQ(Names(*ActiveHost().CurrentDocument()), GridByColumn());
    EXPECT_EQ(ModuleSession().ChooseMenuItem(kByRowLabel), 0);
    EXPECT_EQ(Names(*ActiveHost().CurrentDocument()), GridByRow());
    EXPECT_TRUE(ActiveHost().Alerts().empty());
}

TEST_F(RealModuleMenus, AChoiceOfAnItemThatIsNotOneOfItsOwnAnswersZeroAndChangesNothing) {
    Start(ShuffledGrid());
    const hostsim::abi::Handle other = ActiveHost().Plugins().AddPlugin("Other.aip");
    int notAHandle = 0;
    const struct {
        const char* name;
        hostsim::abi::Handle item;
    } cases[] = {
        {"no item", nullptr},
        {"the separator", ItemHandle(kByRowLabel, true)},
        {"the item that opens the shared group", ItemHandle(kSharedGroupLabel)},
        {"another plug-in's item",
         ActiveHost().Menus().AddItem(other, std::string("OtherCommand"), "ArtBoards", "Other", 0)},
        {"a menu group", ActiveHost().Menus().FindGroup("ArtBoards")->handle},
        {"a value the host never handed out", &notAHandle},
    };
    const hostsim::Document before = *ActiveHost().CurrentDocument();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActiveHost().Calls().Clear();
        EXPECT_EQ(ModuleSession().SendMenu("AI Go", c.item), 0);
        EXPECT_TRUE(ActiveHost().Calls().HostCalls().empty()) << ActiveHost().Calls().Text();
        EXPECT_EQ(*ActiveHost().CurrentDocument(), before);
        EXPECT_TRUE(ActiveHost().Alerts().empty());
    }
}

TEST_F(RealModuleMenus, AMenuUpdateForAnyOfItsItemsAnswersZeroAndCallsNothing) {
    Start(ShuffledGrid());
    const hostsim::Document before = *ActiveHost().CurrentDocument();
    for (const auto& [label, separator] :
         std::vector<std::pair<const char*, bool>>{{kAboutItemLabel, false},
                                                   {kByRowLabel, true},
                                                   {kByRowLabel, false},
                                                   {kByColumnLabel, false}}) {
        SCOPED_TRACE(std::string(label) + (separator ? " (separator)" : ""));
        ActiveHost().Calls().Clear();
        EXPECT_EQ(ModuleSession().SendMenu("AI Update", ItemHandle(label, separator)), 0);
        EXPECT_TRUE(ActiveHost().Calls().HostCalls().empty()) << ActiveHost().Calls().Text();
        EXPECT_EQ(*ActiveHost().CurrentDocument(), before);
        EXPECT_TRUE(ActiveHost().Alerts().empty());
    }
}

TEST_F(RealModuleMenus, AFailingBaseStartupAddsNoMenuItemAtAll) {
    const struct {
        const char* name;
        std::function<void(hostsim::Host&)> arrange;
    } cases[] = {
        {"plug-ins suite refused",
         [](hostsim::Host& h) { h.Faults().FailAcquisition("SP Plug-ins Suite", kRefused); }},
        {"menu suite refused",
         [](hostsim::Host& h) { h.Faults().FailAcquisition("AI Menu Suite", kRefused); }},
        {"string suite refused",
         [](hostsim::Host& h) { h.Faults().FailAcquisition("AI Unicode String Suite", kRefused); }},
        {"name refused",
         [](hostsim::Host& h) {
             h.Faults().FailOperation(hostsim::abi::plugins::SetPluginName::id, kRefused);
         }},
        {"notifier refused",
         [](hostsim::Host& h) {
             h.Faults().FailOperation(hostsim::abi::notifier::AddNotifier::id, kRefused);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load({}, ShuffledGrid());
        c.arrange(ActiveHost());
        EXPECT_EQ(ModuleSession().SendStartup(), kRefused);
        EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr);
        EXPECT_TRUE(ActiveHost().Menus().Items().empty()) << ActiveHost().Menus().Tree();
        for (const hostsim::CallRecord& call : ActiveHost().Calls().HostCalls()) {
            EXPECT_NE(call.suite, "AI Menu Suite") << call.Text();
        }
        Finish();
    }
}

TEST_F(RealModuleMenus, ARefusedStringDuringMenuInstallationFailsStartupAndGivesEverythingBack) {
    std::vector<hostsim::CallRecord> requests;
    std::vector<std::string> texts;
    Finish();  // the host each test starts with: CleanStartupCalls makes one of its own
    for (const hostsim::CallRecord& call : CleanStartupCalls()) {
        if (call.suite == "AI Unicode String Suite" && call.operation != "Destroy") {
            requests.push_back(call);
            if (call.operation == "Initialize") {
                texts.push_back(call.Argument("bytes"));
            }
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"\"About SDK Plug-ins\"", "\"Quorvane...\"",
                                               "\"Quorvane, Grid by Row\"",
                                               "\"Quorvane, Grid by Column\""}))
        << "the labels made at start-up";

    for (const hostsim::CallRecord& request : requests) {
        SCOPED_TRACE(request.Text());
        Load({}, ShuffledGrid());
        ActiveHost().Faults().FailCall(request.number, kRefused);
        EXPECT_EQ(ModuleSession().SendStartup(), kRefused) << ActiveHost().Calls().Text();
        EXPECT_EQ(ModuleSession().InstanceSlot(), nullptr) << "the plug-in object is destroyed";
        EXPECT_TRUE(ActiveHost().Ledger().HeldSuites().empty()) << ActiveHost().Ledger().Report();
        EXPECT_TRUE(ActiveHost().Ledger().OutstandingExcept(hostsim::kLeftToHostByDesign).empty())
            << ActiveHost().Ledger().Report();
        const auto calls = ActiveHost().Calls().HostCalls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2].operation, "AcquireSuite") << "reported to the host";
        EXPECT_EQ(calls[calls.size() - 2].Argument("name"), "\"AI User Suite\"");
        EXPECT_EQ(calls.back().operation, "ReleaseSuite");
        Finish();
    }
}

}  // namespace
}  // namespace quorvane::test
