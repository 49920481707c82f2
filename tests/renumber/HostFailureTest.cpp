// A host that refuses calls: a run stops at the first refusal, puts back what it changed and
// answers the host's code; it never leaves one artboard's properties on two positions when it
// could have avoided it; and whatever the host answers, the sort behaves.
#include <cmath>
#include <limits>

#include "RenumberHarness.h"

namespace quorvane::test {
namespace {

constexpr hostsim::ErrorCode kRefused = hostsim::FourChar("TeSt");

// Five artboards in an order that needs a 2-cycle and a 3-cycle of exchanges.
hostsim::Document Shuffled() {
    hostsim::Document document =
        MakeDocument({{"e", 0, 100}, {"c", 0, 300}, {"a", 0, 500}, {"b", 0, 400}, {"d", 0, 200}});
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        document.artboards[i].pixelAspectRatio = 1.0f + static_cast<float>(i);
        document.artboards[i].displayMarks = {static_cast<std::int32_t>(i % 3)};
        document.artboards[i].rulerOrigin = {static_cast<float>(i), -static_cast<float>(i)};
    }
    return document;
}

// Calls that end a handle's life change nothing in the document when refused: the run goes on.
bool EndsAHandle(const std::string& operation) {
    return operation == "DisposeAttributes" || operation == "ReleaseArtboardList" ||
           operation == "Destroy";
}

struct Outcome {
    hostsim::ErrorCode answer = 0;
    hostsim::Document document;
    std::string problems;
    std::vector<hostsim::CallRecord> calls;
};

// One run of "Grid by Row" on a fresh host whose faults `arrange` sets up after start-up.
template <typename Arrange>
Outcome RunWith(const hostsim::Document& document, Arrange arrange) {
    hostsim::ModuleFixture module(hostsim::ModuleFile{},
                                  {.config = {.keepCallLog = true}, .document = document});
    hostsim::Host& host = module.host;
    hostsim::Session& session = module.session;
    Outcome outcome;
    if (session.Startup() != 0) {
        outcome.problems = "start-up failed";
        return outcome;
    }
    host.Calls().Clear();
    arrange(host.Faults());
    outcome.answer = session.ChooseMenuItem(kByRowLabel);
    outcome.calls = host.Calls().HostCalls();
    host.Faults().Clear();
    outcome.document = *host.CurrentDocument();
    session.Shutdown();
    outcome.problems = host.ProblemReport();
    return outcome;
}

TEST(HostFailure, AnyOneRefusedCallLeavesTheDocumentAsItWas) {
    const hostsim::Document original = Shuffled();
    const Outcome healthy = RunWith(original, [](hostsim::FaultInjector&) {});
    ASSERT_EQ(healthy.answer, 0);
    ASSERT_EQ(Names(healthy.document), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    const int total = static_cast<int>(healthy.calls.size());
    ASSERT_GT(total, 100);

    for (int k = 1; k <= total; ++k) {
        const std::string& refused = healthy.calls[static_cast<std::size_t>(k - 1)].operation;
        SCOPED_TRACE("refused call " + std::to_string(k) + ": " + refused);
        const Outcome run = RunWith(
            original, [&](hostsim::FaultInjector& faults) { faults.FailCall(k, kRefused); });
        EXPECT_EQ(run.problems, "");
        if (EndsAHandle(refused)) {
            EXPECT_EQ(run.answer, 0);
            EXPECT_EQ(run.document, healthy.document);
        } else {
            EXPECT_EQ(run.answer, kRefused);
            EXPECT_EQ(run.document, original);
        }
    }
}

// A host that refuses everything from some call on: the run still stops with the code, and
// the artboards are still the same artboards, each once, unless the very first refusal was the
// second write of an exchange whose first went through and the host refused to have it put back.
TEST(HostFailure, AHostThatKeepsRefusingNeverDuplicatesAnArtboard) {
    const hostsim::Document original = Shuffled();
    const Outcome healthy = RunWith(original, [](hostsim::FaultInjector&) {});
    const int total = static_cast<int>(healthy.calls.size());
    for (int k = 1; k <= total; ++k) {
        SCOPED_TRACE("refusing from call " + std::to_string(k));
        const Outcome run = RunWith(original, [&](hostsim::FaultInjector& faults) {
            for (int call = k; call <= 2 * total; ++call) {
                faults.FailCall(call, kRefused);
            }
        });
        EXPECT_EQ(run.problems, "");
        const std::string& first = healthy.calls[static_cast<std::size_t>(k - 1)].operation;
        if (!EndsAHandle(first)) {
            EXPECT_EQ(run.answer, kRefused);
        }
        const bool unavoidable =
            first == "UpdateArtboard" && k >= 2 &&
            healthy.calls[static_cast<std::size_t>(k - 2)].operation == "UpdateArtboard";
        if (!unavoidable) {
            EXPECT_TRUE(SameArtboardsInAnyOrder(run.document, original));
        }
    }
}

// Bounds the host claims to have read but never wrote, or that are not numbers at all, still
// give a sort that ends normally with every artboard in the document once.
TEST(HostFailure, MeaninglessBoundsStillSortSafely) {
    hostsim::Document withNaN = Shuffled();
    withNaN.artboards[1].bounds.top = std::numeric_limits<float>::quiet_NaN();
    withNaN.artboards[3].bounds.left = std::numeric_limits<float>::quiet_NaN();
    const Outcome nan = RunWith(withNaN, [](hostsim::FaultInjector&) {});
    EXPECT_EQ(nan.answer, 0);
    EXPECT_EQ(nan.problems, "");
    EXPECT_EQ(nan.document.artboards.size(), withNaN.artboards.size());
    EXPECT_TRUE(std::isnan(nan.document.artboards.back().bounds.top));  // a NaN top sorts last

    const Outcome unwritten = RunWith(Shuffled(), [](hostsim::FaultInjector& faults) {
        faults.AnswerWithoutWriting(hostsim::abi::artboard::GetBounds::id);
    });
    EXPECT_EQ(unwritten.problems, "");
    EXPECT_TRUE(SameArtboardsInAnyOrder(unwritten.document, Shuffled()));
}

}  // namespace
}  // namespace quorvane::test
