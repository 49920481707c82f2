// One host with one module in it, as the tests and the validator start it: the one fixture for
// running the module outside the host application.
//
// A fixture is started one of two ways, each named by the type of its first argument:
//   ModuleFixture probe(ModuleFile{path}, document);            // a module file, really loaded
//   ModuleFixture linked(LinkedEntry{&PluginMain, "linked"});   // an entry linked into the program
// with the host's configuration and a document to open first as options. Messages go through
// Send(), which names the message when an exception crosses the entry point, and every run
// ends with the same checks (CleanEnd.h): End() shuts a running plug-in down and says what was
// left behind.
#pragma once

#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"

namespace hostsim {

// An exception crossed the module's entry point while a message was sent; what() names the
// message and the exception.
class EscapedException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The module file at `path` (the one beside the running program unless given), loaded from
// disk and really unloaded.
struct ModuleFile {
    std::filesystem::path path = DefaultModulePath();
};

// An entry function linked into this program, for white-box tests.
struct LinkedEntry {
    abi::PluginEntry entry;
    std::string label = "linked module";
};

// What the host is made with: its configuration (its own menu groups, whether the call log is
// kept), and the document open before the module is loaded.
struct FixtureOptions {
    HostConfig config{};
    std::optional<Document> document;
};

class ModuleFixture {
  public:
    explicit ModuleFixture(const ModuleFile& file, FixtureOptions options = {});
    explicit ModuleFixture(const LinkedEntry& linked, FixtureOptions options = {});
    // Shorthand: a module file with `document` open.
    ModuleFixture(const ModuleFile& file, const std::optional<Document>& document)
        : ModuleFixture(file, FixtureOptions{.document = document}) {}
    ModuleFixture(const ModuleFixture&) = delete;
    ModuleFixture& operator=(const ModuleFixture&) = delete;

    Host host;
    Session session;

    // Runs `send` (a call of `session`); an exception that escapes the module becomes an
    // EscapedException naming `message` (a SessionError passes as it is: the host could not
    // send the message).
    template <typename Message>
    abi::ErrorCode Send(const std::string& message, Message&& send) {
        try {
            return std::forward<Message>(send)(session);
        } catch (const SessionError&) {
            throw;
        } catch (const std::exception& error) {
            throw EscapedException("an exception crossed PluginMain during " + message + ": " +
                                   error.what());
        } catch (...) {
            throw EscapedException("an exception crossed PluginMain during " + message);
        }
    }
    // Start-up and the application-started notice that follows.
    abi::ErrorCode Startup();
    abi::ErrorCode Shutdown();
    // A click on the one item labelled `label`.
    abi::ErrorCode Choose(const std::string& label);

    // Start-up that must succeed (start-up and the notice both answering 0), after which the
    // call log is emptied so that what follows is all it holds. "" on success, otherwise what
    // failed and the calls made.
    std::string StartAndForget();

    // What is wrong between two messages of a running module (a violation, misuse of a handle,
    // a handle made for one message still live, a suite held twice); "" when nothing.
    std::string ProblemsBetweenMessages() const;
    // After shut-down: what the run left behind (CleanEnd.h); "" when it ended cleanly.
    std::string ProblemsAtEnd() const;
    // The end of every run: the host's faults dropped (so that the shut-down is a clean one),
    // the plug-in shut down if it runs, and what is left behind; "" when the run ended cleanly.
    std::string End();
};

}  // namespace hostsim
