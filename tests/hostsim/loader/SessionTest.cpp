// The session's messages, seen from a plug-in linked into the test.
#include "hostsim/loader/Session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/suites/SuiteTables.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

// What the fake plug-in saw of one message.
struct Seen {
    std::string caller;
    std::string selector;
    abi::MessageHeader header{};
    unsigned char data[32]{};      // bytes 32 to 63 of the record
    std::string notificationType;  // for "AI Notifier": the text at offset 40, while it lived
};

struct FakePlugin {
    std::vector<Seen> seen;
    // Answers a message; may call the host through the record's basic suite.
    std::function<ErrorCode(const char*, const char*, abi::MessageHeader*)> answer;
};

FakePlugin* gFake = nullptr;

ErrorCode FakePluginMain(const char* caller, const char* selector, void* message) {
    auto* header = static_cast<abi::MessageHeader*>(message);
    Seen seen;
    seen.caller = caller;
    seen.selector = selector;
    seen.header = *header;
    std::memcpy(seen.data, static_cast<unsigned char*>(message) + 32, sizeof seen.data);
    if (std::strcmp(caller, "AI Notifier") == 0) {
        seen.notificationType = static_cast<abi::NotifierMessage*>(message)->type;
    }
    gFake->seen.push_back(seen);
    return gFake->answer ? gFake->answer(caller, selector, header) : 0;
}

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

template <typename T>
T At(const Seen& seen, std::size_t offset) {
    T value;
    std::memcpy(&value, seen.data + (offset - 32), sizeof value);
    return value;
}

class SessionTest : public ::testing::Test {
  protected:
    SessionTest() { gFake = &fake; }
    ~SessionTest() override { gFake = nullptr; }

    FakePlugin fake;
    Host host{HostConfig{.keepCallLog = true}};
    Session session{host, &FakePluginMain, "fake"};
};

TEST_F(SessionTest, EveryRecordCarriesTheHostsSuiteAndThePluginsReference) {
    session.Send("SP Interface", "About");
    session.Send("Some Caller", "Some Selector");
    ASSERT_EQ(fake.seen.size(), 2u);
    for (const Seen& seen : fake.seen) {
        EXPECT_EQ(seen.header.basicSuite, &TableOf(SuiteId::Basic));
        EXPECT_EQ(seen.header.pluginRef, session.PluginReference());
        EXPECT_EQ(seen.header.instanceSlot, nullptr);
    }
    EXPECT_EQ(fake.seen[1].caller, "Some Caller");
    EXPECT_EQ(fake.seen[1].selector, "Some Selector");
}

TEST_F(SessionTest, TheHostKeepsTheInstanceSlotBetweenMessages) {
    int object = 0;
    fake.answer = [&](const char* caller, const char* selector, abi::MessageHeader* header) {
        if (Is(caller, "SP Interface") && Is(selector, "Startup")) {
            header->instanceSlot = &object;
        }
        if (Is(caller, "SP Interface") && Is(selector, "Shutdown")) {
            header->instanceSlot = nullptr;
        }
        return ErrorCode{0};
    };
    session.SendStartup();
    EXPECT_EQ(session.InstanceSlot(), &object);
    session.Send("AI Menu", "AI Update");
    session.SendUnloadMessage();
    session.Reload();
    session.Shutdown();
    session.Send("After", "Shutdown");
    ASSERT_EQ(fake.seen.size(), 6u);
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(fake.seen[i].header.instanceSlot, &object) << fake.seen[i].selector;
    }
    EXPECT_EQ(fake.seen[5].header.instanceSlot, nullptr);
}

TEST_F(SessionTest, ASuccessfulStartupIsFollowedByTheApplicationStartedNotification) {
    struct Row {
        ErrorCode startup;
        std::size_t messages;
    };
    for (const Row row : {Row{0, 2}, Row{FourChar("!MEM"), 1}, Row{FourChar("NoSu"), 1}}) {
        FakePlugin fresh;
        gFake = &fresh;
        fresh.answer = [&](const char* caller, const char*, abi::MessageHeader* header) {
            if (Is(caller, "SP Interface")) {
                const auto* basic = static_cast<const abi::SuiteTable*>(header->basicSuite);
                const void* table = nullptr;
                abi::EntryOf<abi::basic::AcquireSuite> (*basic)("AI Notifier Suite", 3, &table);
                abi::EntryOf<abi::notifier::AddNotifier> (*static_cast<const abi::SuiteTable*>(
                    table))(header->pluginRef, "Fake App Started Notifier", kApplicationStartedType,
                            nullptr);
                abi::EntryOf<abi::basic::ReleaseSuite> (*basic)("AI Notifier Suite", 3);
                return row.startup;
            }
            return FourChar("Note");
        };
        EXPECT_EQ(session.Startup(), row.startup);
        ASSERT_EQ(fresh.seen.size(), row.messages);
        if (row.messages == 1) {
            EXPECT_FALSE(session.ApplicationStartedResult().has_value());
            continue;
        }
        EXPECT_EQ(session.ApplicationStartedResult(), FourChar("Note"));
        const Seen& note = fresh.seen[1];
        EXPECT_EQ(note.caller, "AI Notifier");
        EXPECT_EQ(note.selector, "AI Notify");
        EXPECT_EQ(note.notificationType, "AI Application Started Notifier");
        EXPECT_EQ(At<abi::Handle>(note, 32), host.Plugins().Notifiers().back().handle);
    }
    gFake = &fake;
}

TEST_F(SessionTest, PayloadIsCopiedFromOffset32) {
    const std::byte payload[] = {std::byte{1}, std::byte{2}, std::byte{3}};
    session.Send("Caller", "Selector", payload);
    ASSERT_EQ(fake.seen.size(), 1u);
    EXPECT_EQ(fake.seen[0].data[0], 1);
    EXPECT_EQ(fake.seen[0].data[2], 3);
    EXPECT_EQ(fake.seen[0].data[3], 0);
}

TEST_F(SessionTest, ChoosingAnItemSendsItsHandleAtOffset32) {
    abi::Handle row = nullptr;
    abi::Handle column = nullptr;
    for (auto [label, key, options, out] :
         {std::tuple{"Grid by Row", "sep", kSeparatorOption, static_cast<abi::Handle*>(nullptr)},
          std::tuple{"Grid by Row", "HV", 0, &row},
          std::tuple{"Grid by Column", "VH", 0, &column}}) {
        abi::Handle text = test::MakeString(label);
        const abi::MenuItemRecord record{"ArtBoards", text};
        abi::Handle item = nullptr;
        ASSERT_EQ(test::Call<abi::menu::AddMenuItem>(SuiteId::Menu, session.PluginReference(), key,
                                                     &record, options, &item),
                  0);
        if (out != nullptr) {
            *out = item;
        }
        test::DisposeString(text);
    }
    session.ChooseMenuItem("Grid by Column");
    session.ChooseMenuItem("Grid by Row");
    ASSERT_EQ(fake.seen.size(), 2u);
    EXPECT_EQ(fake.seen[0].caller, "AI Menu");
    EXPECT_EQ(fake.seen[0].selector, "AI Go");
    EXPECT_EQ(At<abi::Handle>(fake.seen[0], 32), column);
    EXPECT_EQ(At<abi::Handle>(fake.seen[1], 32), row) << "the separator is not choosable";
    EXPECT_THROW(session.ChooseMenuItem("Grid by Diagonal"), SessionError);
}

TEST_F(SessionTest, TheLogShowsEachMessageBeforeTheCallsItCaused) {
    fake.answer = [](const char*, const char*, abi::MessageHeader* header) {
        const auto* basic = static_cast<const abi::SuiteTable*>(header->basicSuite);
        const void* table = nullptr;
        abi::EntryOf<abi::basic::AcquireSuite> (*basic)("AI User Suite", 10, &table);
        abi::EntryOf<abi::basic::ReleaseSuite> (*basic)("AI User Suite", 10);
        return FourChar("!MSG");
    };
    session.Send("AI Tool", "AI Select");
    EXPECT_EQ(
        host.Calls().Text(),
        "message AI Tool / AI Select -> '!MSG' (0x214D5347)\n"
        "1 SP Basic Suite #1 AcquireSuite(name=\"AI User Suite\", version=10, suite=&slot) -> 0 "
        "[*suite=table of AI User Suite]\n"
        "2 SP Basic Suite #2 ReleaseSuite(name=\"AI User Suite\", version=10) -> 0\n");
}

TEST_F(SessionTest, AnInProcessSessionUnloadsAndReloadsByMessagesOnly) {
    session.Unload(AddressReuse::ReserveOldRange);
    EXPECT_TRUE(session.CodeLoaded());
    session.Reload();
    ASSERT_EQ(fake.seen.size(), 2u);
    EXPECT_EQ(fake.seen[0].caller + "/" + fake.seen[0].selector, "SP Access/Unload");
    EXPECT_EQ(fake.seen[1].caller + "/" + fake.seen[1].selector, "SP Access/Reload");
    EXPECT_EQ(session.Loader(), nullptr);
}

}  // namespace
}  // namespace hostsim
