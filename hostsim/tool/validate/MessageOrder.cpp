#include "hostsim/tool/validate/MessageOrder.h"

#include "hostsim/abi/MessageNames.h"

#include <array>
#include <optional>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/CleanEnd.h"
#include "hostsim/loader/ModuleFixture.h"
#include "hostsim/tool/validate/MessageLists.h"
#include "hostsim/tool/validate/SampleDocuments.h"
#include "hostsim/tool/validate/ValidateChecks.h"

namespace hostsim::tool {
namespace {

using Kind = MessageStep::Kind;
constexpr int kKinds = static_cast<int>(Kind::ReopenDocument) + 1;
constexpr abi::ErrorCode kInjected = FourChar("Inj!");

// The raw messages a step may send: every known one, then the first unknown ones.
constexpr std::size_t kRawMessages = kKnownMessages.size() + kUnknownMessagesPlayed;

MessageName RawMessage(std::size_t index) {
    const std::size_t k = index % kRawMessages;
    return k < kKnownMessages.size() ? kKnownMessages[k]
                                     : kUnknownMessages[k - kKnownMessages.size()];
}

std::string StepText(const MessageStep& step) {
    const int a = step.argument;
    switch (step.kind) {
        case Kind::Startup:
            return "start-up and the application-started notice";
        case Kind::StartupAlone:
            return "start-up alone";
        case Kind::Shutdown:
            return "shut-down";
        case Kind::Unload:
            return "unload, the code leaving memory";
        case Kind::Reload:
            return "reload";
        case Kind::UnloadMessageOnly:
            return "unload message, the code staying";
        case Kind::ChooseByRow:
            return std::string("choose \"") + kByRowLabel + "\"";
        case Kind::ChooseByColumn:
            return std::string("choose \"") + kByColumnLabel + "\"";
        case Kind::ChooseAbout:
            return std::string("choose \"") + kAboutLabel + "\"";
        case Kind::MenuGoWithItem: {
            const char* items[] = {"a null item", "another plug-in's item", "a never-issued item"};
            return std::string("\"AI Go\" with ") +
                   (a % 8 < 3 ? items[a % 8] : "menu item " + std::to_string(a % 8 - 2));
        }
        case Kind::Notify:
            return std::string("notification \"") +
                   kNotificationTypes[a % kNotificationTypes.size()] + "\"";
        case Kind::RawMessage: {
            const MessageName raw = RawMessage(static_cast<std::size_t>(a));
            return std::string("message \"") + raw.caller + "\"/\"" + raw.selector + "\"";
        }
        case Kind::FailCall:
            return "host call " + std::to_string(a % 64 + 1) + " from now answers an error code";
        case Kind::AnswerUnwritten:
            return "the next call of an entry that writes back writes nothing (entry choice " +
                   std::to_string(a) + ")";
        case Kind::FailEveryCallFrom:
            return "the host goes down from call " + std::to_string(a % 64 + 1) + " from now";
        case Kind::ReopenDocument:
            return "faults cleared, sample document " +
                   std::to_string(a % SampleDocuments().size() + 1) + " opened";
    }
    return "";
}

// The host's state the invariants are judged on, and the step being played.
class Player {
  public:
    explicit Player(const std::filesystem::path& module)
        : probe_(ModuleFile{module}, SampleDocument(samples::kShuffledGridWithTies)),
          original_(*probe_.host.CurrentDocument()) {
        const abi::Handle other = probe_.host.Plugins().AddPlugin("another plug-in");
        foreign_ =
            probe_.host.Menus().AddItem(other, std::string("Other"), "ArtBoards", "Other", 0);
    }

    // Plays one step; false when it was not sent (the code is unloaded and the host would not
    // send it).
    bool Play(const MessageStep& step);
    // What is wrong after a step; "" when nothing.
    std::string Broken() const;
    // Ends the session as the host would (faults gone, reloaded, shut down); what is left over.
    std::string Finish();

  private:
    // A menu choice of the item the step's argument picks: null, another plug-in's, one never
    // issued, or one of the items the host has.
    void ChooseItem(const MessageStep& step);
    // One of kRawMessages, as the host sends it (a reload also loads the code again).
    void SendRaw(const MessageStep& step);

    abi::ErrorCode Choose(const char* label) {
        const auto items = probe_.host.Menus().FindByLabel(label);
        const abi::Handle item = items.size() == 1 ? items.front()->handle : nullptr;
        return probe_.Send(std::string("\"") + label + "\"",
                           [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
    }

    ModuleFixture probe_;
    Document original_;
    abi::Handle foreign_ = nullptr;
    bool hostWentDown_ = false;  // since the document was opened: exchanges may be half done
    int never_ = 0;              // its address is a handle never issued
};

void Player::ChooseItem(const MessageStep& step) {
    const int a = step.argument;
    abi::Handle item = nullptr;
    const auto& items = probe_.host.Menus().Items();
    if (a % 8 == 1) {
        item = foreign_;
    } else if (a % 8 == 2) {
        item = &never_;
    } else if (a % 8 >= 3 && !items.empty()) {
        item = items[static_cast<std::size_t>(a % 8 - 3) % items.size()].handle;
    }
    probe_.Send(StepText(step),
                [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
}

void Player::SendRaw(const MessageStep& step) {
    const MessageName raw = RawMessage(step.argument);
    const char* caller = raw.caller;
    const char* selector = raw.selector;
    if (std::string(caller) == messages::kAccessCaller &&
        std::string(selector) == messages::kReloadSelector) {
        probe_.Send(StepText(step), [](Session& s) { return s.Reload(); });
    } else {
        probe_.Send(StepText(step), [&](Session& s) { return s.Send(caller, selector); });
    }
}

bool Player::Play(const MessageStep& step) {
    // With the code unloaded the host sends nothing but a reload; faults and documents are
    // the host's own.
    const bool hostOnly = step.kind == Kind::FailCall || step.kind == Kind::AnswerUnwritten ||
                          step.kind == Kind::FailEveryCallFrom || step.kind == Kind::ReopenDocument;
    if (!probe_.session.CodeLoaded() && step.kind != Kind::Reload && !hostOnly) {
        return false;
    }
    const int a = step.argument;
    FaultInjector& faults = probe_.host.Faults();
    switch (step.kind) {
        case Kind::Startup:
            probe_.Startup();
            break;
        case Kind::StartupAlone:
            probe_.Send("start-up", [](Session& s) { return s.SendStartup(); });
            break;
        case Kind::Shutdown:
            probe_.Shutdown();
            break;
        case Kind::Unload:
            probe_.Send("unload", [](Session& s) { return s.Unload(); });
            break;
        case Kind::Reload:
            probe_.Send("reload", [](Session& s) { return s.Reload(); });
            break;
        case Kind::UnloadMessageOnly:
            probe_.Send("unload", [](Session& s) { return s.SendUnloadMessage(); });
            break;
        case Kind::ChooseByRow:
            Choose(kByRowLabel);
            break;
        case Kind::ChooseByColumn:
            Choose(kByColumnLabel);
            break;
        case Kind::ChooseAbout:
            Choose(kAboutLabel);
            break;
        case Kind::MenuGoWithItem:
            ChooseItem(step);
            break;
        case Kind::Notify:
            probe_.Send(StepText(step), [&](Session& s) {
                return s.Notify(
                    kNotificationTypes[static_cast<std::size_t>(a) % kNotificationTypes.size()]);
            });
            break;
        case Kind::RawMessage:
            SendRaw(step);
            break;
        case Kind::FailCall:
            faults.FailCall(a % 64 + 1, kInjected);
            break;
        case Kind::AnswerUnwritten: {
            const std::vector<abi::EntryId> entries = EntriesThatWriteBack();
            faults.AnswerWithoutWriting(entries[static_cast<std::size_t>(a) % entries.size()], 1);
            break;
        }
        case Kind::FailEveryCallFrom:
            faults.FailEveryCallFrom(a % 64 + 1, kInjected);
            hostWentDown_ = true;
            break;
        case Kind::ReopenDocument:
            faults.Clear();
            // By number, not by name: a sequence's bytes pick one of all the samples.
            original_ =
                SampleDocuments()[static_cast<std::size_t>(a) % SampleDocuments().size()].document;
            probe_.host.OpenDocument(original_);
            hostWentDown_ = false;
            break;
    }
    return true;
}

std::string Player::Broken() const {
    const Host& host = probe_.host;
    if (std::string problem = ProblemsBetweenMessages(host); !problem.empty()) {
        return problem;
    }
    if (!hostWentDown_) {
        std::string why;
        if (!IsPermutation(original_, *host.CurrentDocument(), why)) {
            return why;
        }
    }
    return "";
}

std::string Player::Finish() {
    probe_.host.Faults().Clear();
    if (!probe_.session.CodeLoaded()) {
        probe_.Send("reload", [](Session& s) { return s.Reload(); });
    }
    probe_.Shutdown();
    const std::string report = probe_.host.ProblemReport();
    return report.empty() ? "" : "after the last shut-down: " + report.substr(0, report.find('\n'));
}

}  // namespace

std::vector<MessageStep> DecodeMessageSequence(std::span<const std::uint8_t> bytes) {
    std::vector<MessageStep> steps;
    for (std::size_t i = 0; i + 1 < bytes.size() && steps.size() < 200; i += 2) {
        steps.push_back({static_cast<Kind>(bytes[i] % kKinds), bytes[i + 1]});
    }
    return steps;
}

std::string DescribeMessageSequence(const std::vector<MessageStep>& steps) {
    std::string text;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        text += std::to_string(i + 1) + ". " + StepText(steps[i]) + "\n";
    }
    return text;
}

std::vector<std::uint8_t> MessageSequenceOfSeed(std::uint64_t seed) {
    // splitmix64: the same bytes from the same seed on every platform.
    std::uint64_t state = seed;
    auto next = [&state] {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    };
    const std::size_t length = 2 * (4 + next() % 40);
    std::vector<std::uint8_t> bytes;
    // Most sequences start the module up first, so that they reach past start-up.
    if (next() % 4 != 0) {
        bytes.push_back(static_cast<std::uint8_t>(Kind::Startup));
        bytes.push_back(0);
    }
    while (bytes.size() < length) {
        bytes.push_back(static_cast<std::uint8_t>(next()));
    }
    return bytes;
}

std::string PlayMessageSequence(const std::filesystem::path& module,
                                const std::vector<MessageStep>& steps) {
    try {
        Player player(module);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (!player.Play(steps[i])) {
                continue;
            }
            if (std::string broken = player.Broken(); !broken.empty()) {
                return "step " + std::to_string(i + 1) + " (" + StepText(steps[i]) + "): " + broken;
            }
        }
        return player.Finish();
    } catch (const CheckFailure& failure) {
        return failure.what();
    } catch (const EscapedException& escaped) {
        return escaped.what();
    }
}

void FuzzMessageOrder(CheckContext& context) {
    constexpr std::uint64_t kFixedSequences = 300;
    const std::uint64_t first = context.seedGiven ? context.seed : 1;
    const std::uint64_t count = context.seedGiven ? 1 : kFixedSequences;
    std::size_t messages = 0;
    for (std::uint64_t seed = first; seed < first + count; ++seed) {
        const std::vector<MessageStep> steps = DecodeMessageSequence(MessageSequenceOfSeed(seed));
        messages += steps.size();
        const std::string broken = PlayMessageSequence(context.module, steps);
        if (!broken.empty()) {
            throw CheckFailure("sequence of seed " + std::to_string(seed) + ", " + broken +
                               " (replay: validate --only message-order-fuzz --seed " +
                               std::to_string(seed) + ")");
        }
    }
    context.Note(std::to_string(count) + " sequences of seeds " + std::to_string(first) + " to " +
                 std::to_string(first + count - 1) + ", " + std::to_string(messages) + " steps");
}

}  // namespace hostsim::tool
