// The checks of `quorvane-host validate`: each a named proof that a module behaves as the host
// needs it to, run in a process of its own.
//
// A check throws CheckFailure with the first expectation it found violated (one line) or
// CheckSkipped when it cannot run here; returning is passing. Figures it wants shown beside its
// outcome (how many runs a sweep made) go to Note().
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"

namespace hostsim::tool {

class CheckFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class CheckSkipped : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CheckContext {
    std::filesystem::path module;
    std::uint64_t seed = 0;
    bool seedGiven = false;  // --seed: replay that one sequence instead of the fixed set
    std::vector<std::string> notes;
    void Note(std::string text) { notes.push_back(std::move(text)); }
};

struct ValidationCheck {
    const char* name;  // kebab-case, stable: scripts and --only name it
    const char* what;  // one line: what it proves
    void (*run)(CheckContext&);
};

// Every check, in the order they run.
std::span<const ValidationCheck> ValidationChecks();

// Throws CheckFailure(`what`) unless `holds`.
void Expect(bool holds, const std::string& what);

// The real module in a fresh stand-in host, every message sent through Send(), which turns an
// exception that crossed PluginMain into a CheckFailure naming the message.
class ModuleProbe {
  public:
    ModuleProbe(const std::filesystem::path& module, const std::optional<Document>& document);

    hostsim::Host host;

    Session& Module() { return *session_; }
    // Runs `send` (a call of Module()), naming `message` if an exception escapes the module.
    template <typename Message>
    abi::ErrorCode Send(const std::string& message, Message&& send) {
        try {
            return send(*session_);
        } catch (const SessionError&) {
            throw;
        } catch (const std::exception& error) {
            throw CheckFailure("an exception crossed PluginMain during " + message + ": " +
                               error.what());
        } catch (...) {
            throw CheckFailure("an exception crossed PluginMain during " + message);
        }
    }
    abi::ErrorCode Startup() {
        return Send("start-up", [](Session& s) { return s.Startup(); });
    }
    abi::ErrorCode Shutdown() {
        return Send("shut-down", [](Session& s) { return s.Shutdown(); });
    }
    abi::ErrorCode Choose(const std::string& label) {
        return Send("\"" + label + "\"", [&](Session& s) { return s.ChooseMenuItem(label); });
    }
    // After shut-down: throws CheckFailure, prefixed with `when`, when the run did not end
    // cleanly (hostsim/loader/CleanEnd.h). While the module runs, it may hold its suites.
    void ExpectClean(const std::string& when) const;
    void ExpectCleanBetweenMessages(const std::string& when) const;

  private:
    std::optional<Session> session_;
};

// What is wrong with the host's record between two messages of a running module: a violation,
// misuse of a handle, a handle made for one message still live, a suite held twice; "" when
// nothing.
std::string ProblemsBetweenMessages(const Host& host);

using menus::kAboutLabel;
using menus::kByColumnLabel;
using menus::kByRowLabel;

// The documents the checks renumber, by name: "empty", "one artboard", "in order", "3-cycle",
// "shuffled grid with ties", "stacked corners".
struct NamedDocument {
    std::string name;
    Document document;
};
std::vector<NamedDocument> SampleDocuments();
// `perCorner` artboards stacked on each place of a 2 x 2 grid, in shuffled order.
Document StackedGrid(int perCorner);

// The document renumbered as the grid order asks: positions keep their ids, and position k takes
// the travelling properties of the k-th artboard in grid order (equal corners keep their order).
Document ExpectedRenumbering(const Document& document, bool byRow);
// Whether `b` holds the same artboards as `a` (each once) with every position keeping its id;
// when not, `why` says what is off.
bool IsPermutation(const Document& a, const Document& b, std::string& why);

// The entries whose calls write something back: where a sweep's mode (b) applies.
std::vector<abi::EntryId> EntriesThatWriteBack();

// The fault sweeps (FaultSweep.cpp) and the message-order runs (MessageOrder.cpp).
void SweepStartup(CheckContext& context);
void SweepApplicationStarted(CheckContext& context);
void SweepRenumber(CheckContext& context);
void SweepAbout(CheckContext& context);
void SweepReload(CheckContext& context);
void SweepShutdown(CheckContext& context);
void FuzzMessageOrder(CheckContext& context);

}  // namespace hostsim::tool
