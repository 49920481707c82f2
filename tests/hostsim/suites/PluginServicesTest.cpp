// The suites a plug-in's frame talks to: access, plug-ins, notifier, context and user.
#include <gtest/gtest.h>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;

class PluginServices : public ::testing::Test {
  protected:
    Host host;
    abi::Handle plugin = host.Plugins().AddPlugin("test");
};

TEST_F(PluginServices, AccessReferenceIsHeldUntilReleasedAndReleasedOnce) {
    abi::Handle access = nullptr;
    ASSERT_EQ(Call<abi::access::AcquirePlugin>(SuiteId::Access, plugin, &access), 0);
    EXPECT_EQ(host.Ledger().Report({}), "leaked: access#1, issued by call 1 AcquirePlugin\n");
    EXPECT_EQ(host.Ledger().Report(kLeftToHostByDesign), "");
    EXPECT_EQ(Call<abi::access::ReleasePlugin>(SuiteId::Access, access), 0);
    EXPECT_EQ(Call<abi::access::ReleasePlugin>(SuiteId::Access, access), kBadHandleError);
    EXPECT_EQ(host.Ledger().Problems().at(0).type, HandleLedger::Problem::Type::DoubleRelease);
}

TEST_F(PluginServices, RecordsTheNamesAPluginRegisters) {
    EXPECT_EQ(Call<abi::plugins::SetPluginName>(SuiteId::Plugins, plugin, "Quorvane"), 0);
    EXPECT_EQ(host.Plugins().Plugin(plugin)->namesSet, (std::vector<std::string>{"Quorvane"}));
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
    ASSERT_EQ(host.Plugins().Notifiers().size(), 2u);
    const NotifierRecord& first = host.Plugins().Notifiers()[0];
    EXPECT_EQ(first.name, "Quorvane App Started Notifier");
    EXPECT_EQ(first.type, "AI Application Started Notifier");
    EXPECT_EQ(first.plugin, plugin);
    EXPECT_EQ(host.Plugins().Notifiers()[1].handle, second);
    EXPECT_EQ(host.Plugins().NotifierFor(plugin, "AI Application Started Notifier"), first.handle);
    EXPECT_EQ(host.ProblemReport(), "") << "notifiers are left to the host";
}

TEST_F(PluginServices, ContextsNestAndMustBeLeftInnermostFirst) {
    abi::Handle outer = nullptr;
    abi::Handle inner = nullptr;
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &outer), 0);
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &inner), 0);
    EXPECT_EQ(host.Plugins().OpenContexts(), (std::vector<abi::Handle>{outer, inner}));
    EXPECT_EQ(Call<abi::context::PopAppContext>(SuiteId::Context, outer), 0);
    EXPECT_EQ(host.Violations().size(), 1u) << "the outer context was left first";
    EXPECT_EQ(Call<abi::context::PopAppContext>(SuiteId::Context, inner), 0);
    EXPECT_TRUE(host.Plugins().OpenContexts().empty());
    EXPECT_EQ(host.Plugins().ContextsEntered(), 2);
    EXPECT_EQ(host.Ledger().Report({}), "");
}

TEST_F(PluginServices, AContextNeverLeftIsALeak) {
    abi::Handle context = nullptr;
    ASSERT_EQ(Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &context), 0);
    EXPECT_EQ(host.ProblemReport(), "leaked: context#1, issued by call 1 PushAppContext\n");
    Call<abi::context::PopAppContext>(SuiteId::Context, context);
}

TEST_F(PluginServices, RecordsAlertsInOrder) {
    abi::Handle first = test::MakeString("About Quorvane\n\nline");
    abi::Handle second = test::MakeString("Second");
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &first), 0);
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &second), 0);
    EXPECT_EQ(host.Alerts(), (std::vector<std::string>{"About Quorvane\n\nline", "Second"}));
    test::DisposeString(first);
    EXPECT_EQ(Call<abi::user::MessageAlert>(SuiteId::User, &first), kBadHandleError);
    EXPECT_EQ(host.Alerts().size(), 2u);
    test::DisposeString(second);
}

TEST(ActiveHost, OnlyOneHostServesTheSuitesAtATime) {
    EXPECT_EQ(Host::Active(), nullptr);
    {
        Host host;
        EXPECT_EQ(Host::Active(), &host);
        EXPECT_THROW(Host second, std::logic_error);
        EXPECT_EQ(Host::Active(), &host);
    }
    EXPECT_EQ(Host::Active(), nullptr);
    Host next;
    EXPECT_EQ(Host::Active(), &next);
}

}  // namespace
}  // namespace hostsim
