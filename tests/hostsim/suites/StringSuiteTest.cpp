// "AI Unicode String Suite": host-owned strings.
#include <gtest/gtest.h>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/model/Host.h"
#include "tests/hostsim/suites/SuiteCalls.h"

namespace hostsim {
namespace {

using test::Call;
using namespace abi::strings;

TEST(StringSuite, MakesStringsFromByteCountsNotTerminators) {
    struct Row {
        const char* bytes;
        std::int32_t count;
        std::string expected;
    };
    const Row rows[] = {
        {"Quorvane", 8, "Quorvane"},
        {"Quorvane", 3, "Quo"},
        {"", 0, ""},
        {"a\0b", 3, std::string("a\0b", 3)},
        {"\xC3\xA9t\xC3\xA9", 5, "\xC3\xA9t\xC3\xA9"},
    };
    Host host;
    for (const Row& row : rows) {
        abi::Handle str = nullptr;
        ASSERT_EQ(Call<Initialize>(SuiteId::UnicodeString, &str, row.bytes, row.count, 0), 0);
        ASSERT_NE(host.Strings().Text(str), nullptr);
        EXPECT_EQ(*host.Strings().Text(str), row.expected);
        EXPECT_EQ(Call<Destroy>(SuiteId::UnicodeString, &str), 0);
    }
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST(StringSuite, RefusesEveryEncodingButZeroAndWritesNothing) {
    Host host;
    for (const std::int32_t encoding : {1, -1, 2, 0x7FFFFFFF}) {
        abi::Handle str = test::ForgedHandle();
        EXPECT_EQ(Call<Initialize>(SuiteId::UnicodeString, &str, "x", 1, encoding), kEncodingError);
        EXPECT_EQ(str, test::ForgedHandle());
    }
    EXPECT_EQ(host.Strings().size(), 0u);
}

TEST(StringSuite, AppendsAndCopiesIncludingFromTheSameSlot) {
    Host host;
    abi::Handle a = test::MakeString("Grid");
    abi::Handle b = test::MakeString(" by Row");
    EXPECT_EQ(Call<Append>(SuiteId::UnicodeString, &a, &b), 0);
    EXPECT_EQ(*host.Strings().Text(a), "Grid by Row");
    EXPECT_EQ(*host.Strings().Text(b), " by Row");

    EXPECT_EQ(Call<Append>(SuiteId::UnicodeString, &a, &a), 0);
    EXPECT_EQ(*host.Strings().Text(a), "Grid by RowGrid by Row");

    EXPECT_EQ(Call<Copy>(SuiteId::UnicodeString, &b, &b), 0);
    EXPECT_EQ(*host.Strings().Text(b), " by Row");
    EXPECT_EQ(Call<Copy>(SuiteId::UnicodeString, &a, &b), 0);
    EXPECT_EQ(*host.Strings().Text(a), " by Row");
    EXPECT_NE(a, b) << "a copy keeps the target's own string";

    test::DisposeString(a);
    test::DisposeString(b);
    EXPECT_EQ(host.ProblemReport({}), "");
}

TEST(StringSuite, CopyOrAppendIntoAnEmptyWrapperMakesANewStringForTheCaller) {
    for (const bool append : {false, true}) {
        Host host;
        abi::Handle source = test::MakeString("Quorvane");
        abi::Handle target = nullptr;
        const ErrorCode result = append ? Call<Append>(SuiteId::UnicodeString, &target, &source)
                                        : Call<Copy>(SuiteId::UnicodeString, &target, &source);
        EXPECT_EQ(result, 0);
        ASSERT_NE(target, nullptr);
        EXPECT_NE(target, source);
        EXPECT_EQ(*host.Strings().Text(target), "Quorvane");
        test::DisposeString(source);
        EXPECT_EQ(host.ProblemReport({}),
                  std::string("leaked: string#2 (\"Quorvane\"), issued by call 2 ") +
                      (append ? "Append\n" : "Copy\n"))
            << "the new string is the caller's to dispose";
        test::DisposeString(target);
    }
}

TEST(StringSuite, DisposedStringIsCaughtOnEveryLaterUse) {
    Host host;
    abi::Handle gone = test::MakeString("gone");
    abi::Handle other = test::MakeString("other");
    abi::Handle copyOfGone = gone;
    ASSERT_EQ(Call<Destroy>(SuiteId::UnicodeString, &gone), 0);

    EXPECT_EQ(Call<Append>(SuiteId::UnicodeString, &other, &copyOfGone), kBadHandleError);
    EXPECT_EQ(Call<Copy>(SuiteId::UnicodeString, &copyOfGone, &other), kBadHandleError);
    EXPECT_EQ(Call<Destroy>(SuiteId::UnicodeString, &copyOfGone), kBadHandleError);
    EXPECT_EQ(*host.Strings().Text(other), "other") << "a refused call changes nothing";

    const auto& problems = host.Ledger().Problems();
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].type, HandleLedger::Problem::Type::UseAfterRelease);
    EXPECT_EQ(problems[1].type, HandleLedger::Problem::Type::UseAfterRelease);
    EXPECT_EQ(problems[2].type, HandleLedger::Problem::Type::DoubleRelease);
    EXPECT_EQ(host.Violations().size(), 3u);
    test::DisposeString(other);
}

TEST(StringSuite, BadArgumentsAreViolationsNotCrashes) {
    Host host;
    abi::Handle str = nullptr;
    abi::Handle forged = test::ForgedHandle();
    EXPECT_EQ(Call<Initialize>(SuiteId::UnicodeString, nullptr, "x", 1, 0), kBadParameterError);
    EXPECT_EQ(Call<Initialize>(SuiteId::UnicodeString, &str, nullptr, 4, 0), kBadParameterError);
    EXPECT_EQ(Call<Initialize>(SuiteId::UnicodeString, &str, "x", -1, 0), kBadParameterError);
    EXPECT_EQ(Call<Destroy>(SuiteId::UnicodeString, nullptr), kBadParameterError);
    EXPECT_EQ(Call<Destroy>(SuiteId::UnicodeString, &forged), kBadHandleError);
    EXPECT_EQ(Call<Append>(SuiteId::UnicodeString, &forged, nullptr), kBadParameterError);
    EXPECT_EQ(str, nullptr);
    EXPECT_EQ(host.Violations().size(), 6u);
    EXPECT_EQ(host.Ledger().Problems().at(0).type, HandleLedger::Problem::Type::UnknownHandle);
}

TEST(StringSuite, AStringLeftUndisposedIsALeak) {
    Host host;
    test::MakeString("kept");
    EXPECT_EQ(host.ProblemReport(), "leaked: string#1 (\"kept\"), issued by call 1 Initialize\n");
}

}  // namespace
}  // namespace hostsim
