// The suites a plug-in's frame talks to: access, plug-ins, notifier, context and user.
#include <gtest/gtest.h>

#include "hostsim/Host.h"
#include "hostsim/HostCodes.h"
#include "tests/hostsim/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;

class PluginServices : public ::testing::Test {
  protected:
    Host host;
    abi::Handle plugin = host.plugins().addPlugin("test");
};

TEST_F(PluginServices, AccessReferenceIsHeldUntilReleasedAndReleasedOnce) {
    abi::Handle access = nullptr;
    ASSERT_EQ(Call<abi::access::AcquirePlugin>(SuiteId::Access, plugin, &access), 0);
    EXPECT_EQ(host.ledger().report({}), "leaked: access#1 (access to plugin#1)\n");
    EXPECT_EQ(host.ledger().report(kLeftToHostByDesign), "");
    EXPECT_EQ(Call<abi::access::ReleasePlugin>(SuiteId::Access, access), 0);
    EXPECT_EQ(Call<abi::access::ReleasePlugin>(SuiteId::Access, access), kBadHandleError);
    EXPECT_EQ(host.ledger().problems().at(0).type, HandleLedger::Problem::Type::DoubleRelease);
}

TEST_F(PluginServices, RecordsTheNamesAPluginRegisters) {
    EXPECT_EQ(Call<abi::plugins::SetPluginName>(SuiteId::Plugins, plugin, "Quorvane"), 0);
    EXPECT_EQ(host.plugins().plugin(plugin)->namesSet, (std::vector<std::string>{"Quorvane"}));
    EXPECT_EQ(Call<abi::plugins::SetPluginName>(SuiteId::Plugins, test::ForgedHandle(), "X"),
              kBadHandleError);
}

TEST_F(PluginServices, RecordsNotifiersWithOrWithoutAnOutParameter) {
    EXPECT_EQ(
        Call<abi::notifier::AddNotifier>(SuiteId::Notifier, plugin, "Quorvane App Started Notifier",
                                         "AI Application Started Notifier", nullptr),
        0);
    abi::Handle second = nullptr;
    EXPECT_EQ(
        Call<abi::notifier::AddNotifier>(SuiteId::Notifier, plugin, "Other", "Some Type", &second),
        0);
    ASSERT_EQ(host.plugins().notifiers().size(), 2u);
    const NotifierRecord& first = host.plugins().notifiers()[0];
    EXPECT_EQ(first.name, "Quorvane App Started Notifier");
    EXPECT_EQ(first.type, "AI Application Started Notifier");
    EXPECT_EQ(first.plugin, plugin);
    EXPECT_EQ(host.plugins().notifiers()[1].handle, second);
    EXPECT_EQ(host.plugins().notifierFor(plugin, "AI Application Started Notifier"), first.handle);
    EXPECT_EQ(host.problemReport(), "") << "notifiers are left to the host";
}

TEST_F(PluginServices, ContextsNestAndMustBeLeftInnermostFirst) {
    abi::Handle outer = nullptr;
    abi::Handle inner = nullptr;
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &outer), 0);
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &inner), 0);
    EXPECT_EQ(host.plugins().openContexts(), (std::vector<abi::Handle>{outer, inner}));
    EXPECT_EQ(Call<abi::context::PopAppContext>(SuiteId::Context, outer), 0);
    EXPECT_EQ(host.violations().size(), 1u) << "the outer context was left first";
    EXPECT_EQ(Call<abi::context::PopAppContext>(SuiteId::Context, inner), 0);
    EXPECT_TRUE(host.plugins().openContexts().empty());
    EXPECT_EQ(host.plugins().contextsEntered(), 2);
    EXPECT_EQ(host.ledger().report({}), "");
}

TEST_F(PluginServices, AContextNeverLeftIsALeak) {
    abi::Handle context = nullptr;
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &context), 0);
    EXPECT_EQ(host.problemReport(), "leaked: context#1 (context of plugin#1)\n");
    Call<abi::context::PopAppContext>(SuiteId::Context, context);
}

TEST_F(PluginServices, RecordsAlertsInOrder) {
    abi::Handle first = test::MakeString("About Quorvane\n\nline");
    abi::Handle second = test::MakeString("Second");
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &first), 0);
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &second), 0);
    EXPECT_EQ(host.alerts(), (std::vector<std::string>{"About Quorvane\n\nline", "Second"}));
    test::DisposeString(first);
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &first), kBadHandleError);
    EXPECT_EQ(host.alerts().size(), 2u);
    test::DisposeString(second);
}

TEST(ActiveHost, OnlyOneHostServesTheSuitesAtATime) {
    EXPECT_EQ(Host::active(), nullptr);
    {
        Host host;
        EXPECT_EQ(Host::active(), &host);
        EXPECT_THROW(Host second, std::logic_error);
        EXPECT_EQ(Host::active(), &host);
    }
    EXPECT_EQ(Host::active(), nullptr);
    Host next;
    EXPECT_EQ(Host::active(), &next);
}

}  // namespace
}  // namespace hostsim
