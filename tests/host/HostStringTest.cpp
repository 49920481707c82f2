// ai::HostString against the stand-in host's string suite, called directly while the
// plug-in runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/Error.h"
#include "host/HostString.h"
#include "host/UnicodeStringSuite.h"
#include "tests/host/RunningPlugin.h"

namespace quorvane::test {
namespace {

using hostsim::FourChar;
using hostsim::SuiteId;

class HostStringWrapper : public ModuleTest {
  protected:
    void SetUp() override { StartLinked(&PluginMain); }
};

TEST_F(HostStringWrapper, NullTextMakesNoHostCallAndThrowsNothing) {
    EXPECT_NO_THROW({
        const ai::HostString text(nullptr);
        EXPECT_TRUE(text.IsEmpty());
    });
    EXPECT_TRUE(Calls().empty()) << CallText();
}

TEST_F(HostStringWrapper, EmptyTextIsCreatedWithByteCountZero) {
    {
        const ai::HostString text("");
        EXPECT_FALSE(text.IsEmpty());
    }
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 2u) << CallText();
    EXPECT_EQ(calls[0].operation, "Initialize");
    EXPECT_EQ(calls[0].Argument("byteCount"), "0");
    EXPECT_EQ(calls[0].Argument("encoding"), "0");
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(calls[1].operation, "Destroy") << "the empty host string is still given back";
}

TEST_F(HostStringWrapper, TextIsCreatedWithItsLengthWithoutTheTerminator) {
    { const ai::HostString text("Artboard 12"); }
    const auto calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].Argument("bytes"), "\"Artboard 12\"");
    EXPECT_EQ(calls[0].Argument("byteCount"), "11");
}

TEST_F(HostStringWrapper, DestroyingAnEmptyStringMakesNoHostCall) {
    { const ai::HostString empty; }
    EXPECT_TRUE(Calls().empty()) << CallText();
}

// Each request that the host can refuse, made on strings that exist already.
struct RefusedRequest {
    const char* name;
    hostsim::abi::EntryId entry;
    std::function<void(ai::HostString& target, const ai::HostString& source)> make;
};

TEST_F(HostStringWrapper, ARefusedRequestThrowsAnErrorCarryingExactlyTheHostsCode) {
    const std::vector<RefusedRequest> requests = {
        {"create", hostsim::abi::strings::Initialize::id,
         [](ai::HostString&, const ai::HostString&) {
             const ai::HostString made("label");
             static_cast<void>(made);
         }},
        {"append", hostsim::abi::strings::Append::id,
         [](ai::HostString& target, const ai::HostString& source) { target.Append(source); }},
        {"copy", hostsim::abi::strings::Copy::id,
         [](ai::HostString& target, const ai::HostString& source) { target = source; }},
    };
    const std::vector<hostsim::ErrorCode> codes = {FourChar("Deny"), -108, 1, 0x7FFFFFFF,
                                                   FourChar("!MSG")};
    for (const RefusedRequest& request : requests) {
        for (const hostsim::ErrorCode code : codes) {
            SCOPED_TRACE(std::string(request.name) + " refused with " + hostsim::CodeText(code));
            ai::HostString target("target");
            const ai::HostString source("source");
            ActiveHost().Faults().FailOperation(request.entry, code, 1);
            try {
                request.make(target, source);
                ADD_FAILURE() << "no exception";
            } catch (const ai::Error& error) {
                EXPECT_EQ(error.code, code);
            } catch (...) {
                ADD_FAILURE() << "an exception other than ai::Error";
            }
            ActiveHost().Faults().Clear();
        }
    }
    EXPECT_EQ(ActiveHost().Strings().size(), 0u) << "a refused create leaves no string behind";
}

TEST_F(HostStringWrapper, AnAcceptedRequestThrowsNothing) {
    ai::HostString target("Artboard");
    const ai::HostString source(" 3");
    EXPECT_NO_THROW(target.Append(source));
    EXPECT_EQ(*ActiveHost().Strings().Text(*target.Slot()), "Artboard 3");
    EXPECT_NO_THROW(target = source);
    EXPECT_EQ(*ActiveHost().Strings().Text(*target.Slot()), " 3");
}

// What the host's copy operation was handed, and the host's own copy to forward to.
struct CopySpy {
    static inline const UnicodeStringSuite* host = nullptr;
    static inline std::vector<std::pair<const void*, const void*>> calls;
    static ErrorCode Copy(HostStringHandle* target, const HostStringHandle* source) {
        calls.emplace_back(target, source);
        return host->Copy(target, source);
    }
};

TEST_F(HostStringWrapper, SelfAssignmentPassesTheSameAddressTwiceToCopy) {
    ai::HostString text("Artboard 7");
    const HostStringHandle before = *text.Slot();
    SuiteOverride<UnicodeStringSuite> suite(gUnicodeStringSuite);
    CopySpy::host = &suite.OriginalSuite();
    CopySpy::calls.clear();
    suite.Table().Copy = &CopySpy::Copy;

    ai::HostString& alias = text;
    EXPECT_NO_THROW(text = alias);

    ASSERT_EQ(CopySpy::calls.size(), 1u);
    EXPECT_EQ(CopySpy::calls[0].first, static_cast<const void*>(text.Slot()));
    EXPECT_EQ(CopySpy::calls[0].second, static_cast<const void*>(text.Slot()));
    EXPECT_EQ(*text.Slot(), before) << "the same host string, not a new one";
    EXPECT_EQ(*ActiveHost().Strings().Text(*text.Slot()), "Artboard 7");
}

}  // namespace
}  // namespace quorvane::test
