// Fault injection: exactly the chosen call fails, a failed call does nothing, and a failed
// release still ends the handle's life.
#include <gtest/gtest.h>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;
constexpr ErrorCode kInjected = FourChar("FAIL");

// Makes five strings, one call each; returns each call's result and handle.
std::vector<std::pair<ErrorCode, abi::Handle>> MakeFiveStrings() {
    std::vector<std::pair<ErrorCode, abi::Handle>> results;
    for (int i = 0; i < 5; ++i) {
        abi::Handle str = nullptr;
        const ErrorCode code =
            Call<abi::strings::Initialize>(SuiteId::UnicodeString, &str, "s", 1, 0);
        results.emplace_back(code, str);
    }
    return results;
}

TEST(FaultInjection, FailsExactlyTheKthCallFromNow) {
    for (int k = 1; k <= 5; ++k) {
        Host host{HostConfig{.keepCallLog = true}};
        test::DisposeString(test::MakeString("before"));  // calls before arming do not count
        host.Faults().FailCall(k, kInjected);
        const auto results = MakeFiveStrings();
        for (int i = 0; i < 5; ++i) {
            const bool chosen = i + 1 == k;
            EXPECT_EQ(results[static_cast<std::size_t>(i)].first, chosen ? kInjected : 0)
                << "k=" << k << " call " << i + 1;
            EXPECT_EQ(results[static_cast<std::size_t>(i)].second == nullptr, chosen)
                << "a failed call writes nothing";
        }
        EXPECT_EQ(host.Strings().size(), 4u) << "the failed call made no string";
        for (const auto& [code, handle] : results) {
            if (handle != nullptr) {
                test::DisposeString(handle);
            }
        }
        EXPECT_EQ(host.ProblemReport({}), "");
        const auto calls = host.Calls().HostCalls();
        EXPECT_EQ(calls[static_cast<std::size_t>(2 + k - 1)].fault,
                  CallRecord::Fault::InjectedFailure);
    }
}

// The three ways a host call can go wrong, by call number: the k-th fails, the k-th answers 0
// and writes nothing, every call from the k-th on fails (a host going down).
TEST(FaultInjection, EachModeHitsTheCallsItNames) {
    struct Row {
        const char* name;
        void (*arm)(FaultInjector&);
        std::vector<ErrorCode> codes;
        std::vector<bool> written;
    };
    const Row rows[] = {
        {"the 2nd fails",
         [](FaultInjector& f) { f.FailCall(2, kInjected); },
         {0, kInjected, 0, 0, 0},
         {true, false, true, true, true}},
        {"the 2nd answers without writing",
         [](FaultInjector& f) { f.AnswerCallWithoutWriting(2); },
         {0, 0, 0, 0, 0},
         {true, false, true, true, true}},
        {"every call from the 4th fails",
         [](FaultInjector& f) { f.FailEveryCallFrom(4, kInjected); },
         {0, 0, 0, kInjected, kInjected},
         {true, true, true, false, false}},
    };
    for (const Row& row : rows) {
        Host host;
        row.arm(host.Faults());
        std::vector<ErrorCode> codes;
        std::vector<bool> written;
        for (const auto& [code, handle] : MakeFiveStrings()) {
            codes.push_back(code);
            written.push_back(handle != nullptr);
            if (handle != nullptr) {
                test::DisposeString(handle);
            }
        }
        EXPECT_EQ(codes, row.codes) << row.name;
        EXPECT_EQ(written, row.written) << row.name;
        EXPECT_EQ(host.ProblemReport({}), "") << row.name;
    }
}

TEST(FaultInjection, FailsEveryCallOfOneOperationOrTheNextFew) {
    struct Row {
        int times;
        std::vector<ErrorCode> expected;
    };
    const Row rows[] = {
        {FaultInjector::kEveryTime, {kInjected, kInjected, kInjected, kInjected, kInjected}},
        {2, {kInjected, kInjected, 0, 0, 0}},
        {0, {0, 0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        Host host;
        host.Faults().FailOperation(abi::strings::Initialize::id, kInjected, row.times);
        host.Faults().FailOperation(abi::menu::CountMenuGroups::id, kInjected);
        std::vector<ErrorCode> got;
        for (const auto& [code, handle] : MakeFiveStrings()) {
            got.push_back(code);
            if (handle != nullptr) {
                test::DisposeString(handle);
            }
        }
        EXPECT_EQ(got, row.expected) << "times=" << row.times;
    }
}

TEST(FaultInjection, FailsAcquisitionOfOneSuiteByName) {
    Host host;
    host.Faults().FailAcquisition("AI Menu Suite", kInjected);
    const void* menu = nullptr;
    const void* user = nullptr;
    EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI Menu Suite", 10, &menu),
              kInjected);
    EXPECT_EQ(menu, nullptr);
    EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI User Suite", 10, &user), 0);
    EXPECT_NE(user, nullptr);
    EXPECT_EQ(host.Ledger().HoldCount("AI Menu Suite", 10), 0);
    Call<abi::basic::ReleaseSuite>(SuiteId::Basic, "AI User Suite", 10);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST(FaultInjection, AnsweringWithoutWritingLeavesTheOutParameterAndMakesNothing) {
    Host host{HostConfig{.keepCallLog = true}};
    host.OpenDocument(Document{"doc", {Artboard{}}});
    host.Faults().AnswerWithoutWriting(abi::basic::AcquireSuite::id, 1);
    host.Faults().AnswerWithoutWriting(abi::artboard::AcquireArtboardList::id, 1);
    const void* table = nullptr;
    EXPECT_EQ(Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI User Suite", 10, &table), 0);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host.Ledger().HoldCount("AI User Suite", 10), 0);
    abi::Handle list = test::ForgedHandle();
    EXPECT_EQ(Call<abi::artboard::AcquireArtboardList>(SuiteId::Artboard, &list), 0);
    EXPECT_EQ(list, test::ForgedHandle());
    EXPECT_EQ(host.ProblemReport({}), "");
    EXPECT_EQ(host.Calls().HostCalls().at(1).fault, CallRecord::Fault::AnsweredWithoutWriting);
}

TEST(FaultInjection, AFailedReleaseStillEndsTheHandlesLife) {
    struct Row {
        const char* name;
        abi::EntryId entry;
    };
    const Row rows[] = {
        {"string", abi::strings::Destroy::id},
        {"attribute set", abi::artboard::DisposeAttributes::id},
        {"list", abi::artboard::ReleaseArtboardList::id},
        {"context", abi::context::PopAppContext::id},
        {"access", abi::access::ReleasePlugin::id},
        {"suite", abi::basic::ReleaseSuite::id},
    };
    for (const Row& row : rows) {
        Host host;
        host.OpenDocument(Document{"doc", {Artboard{}}});
        const abi::Handle plugin = host.Plugins().AddPlugin("p");
        abi::Handle str = test::MakeString("s");
        abi::Handle set = nullptr;
        abi::Handle list = nullptr;
        abi::Handle context = nullptr;
        abi::Handle access = nullptr;
        const void* table = nullptr;
        Call<abi::artboard::NewAttributes>(SuiteId::Artboard, &set);
        Call<abi::artboard::AcquireArtboardList>(SuiteId::Artboard, &list);
        Call<abi::context::PushAppContext>(SuiteId::Context, plugin, &context);
        Call<abi::access::AcquirePlugin>(SuiteId::Access, plugin, &access);
        Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI User Suite", 10, &table);

        host.Faults().FailOperation(row.entry, kInjected);
        const ErrorCode results[] = {
            Call<abi::strings::Destroy>(SuiteId::UnicodeString, &str),
            Call<abi::artboard::DisposeAttributes>(SuiteId::Artboard, &set),
            Call<abi::artboard::ReleaseArtboardList>(SuiteId::Artboard, &list),
            Call<abi::context::PopAppContext>(SuiteId::Context, context),
            Call<abi::access::ReleasePlugin>(SuiteId::Access, access),
            Call<abi::basic::ReleaseSuite>(SuiteId::Basic, "AI User Suite", 10),
        };
        int failed = 0;
        for (const ErrorCode code : results) {
            failed += code == kInjected ? 1 : 0;
        }
        EXPECT_EQ(failed, 1) << row.name;
        EXPECT_EQ(host.ProblemReport({}), "") << row.name << ": the release must still count";
    }
}

TEST(CallLog, RecordsEveryCallWithReadableArgumentsAndResults) {
    Host host{HostConfig{.keepCallLog = true}};
    host.Faults().FailCall(3, FourChar("!MEM"));
    abi::Handle str = test::MakeString("Quorvane\n");
    const void* table = nullptr;
    Call<abi::basic::AcquireSuite>(SuiteId::Basic, "AI Menu Suite", 9, &table);
    abi::Handle other = test::MakeString("x");
    test::DisposeString(str);
    using Stub = ErrorCode (*)();
    reinterpret_cast<Stub>(TableOf(SuiteId::User)[0])();

    EXPECT_EQ(host.Calls().Text(),
              "1 AI Unicode String Suite #1 Initialize(str=&slot, bytes=\"Quorvane\\n\", "
              "byteCount=9, encoding=0) -> 0 [*str=string#1]\n"
              "2 SP Basic Suite #1 AcquireSuite(name=\"AI Menu Suite\", version=9, suite=&slot) "
              "-> 'NoVr' (0x4E6F5672)\n"
              "3 AI Unicode String Suite #1 Initialize(str=&slot, bytes=\"x\", byteCount=1, "
              "encoding=0) -> '!MEM' (0x214D454D) (injected failure)\n"
              "4 AI Unicode String Suite #4 Destroy(str=&string#1) -> 0\n"
              "5 AI User Suite #1 (unexpected entry)() -> 'Entr' (0x456E7472) VIOLATION: entry 1 "
              "is not one a plug-in may call\n");
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(host.Calls().HostCallCount(), 5);
    EXPECT_EQ(host.Calls().HostCalls()[1].Argument("name"), "\"AI Menu Suite\"");
}

}  // namespace
}  // namespace hostsim
