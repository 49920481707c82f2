// Drives one plug-in module as the host does: loads it, sends its messages, unloads and
// reloads its code, and shuts it down.
//
// A session keeps the plug-in's instance slot between messages, as the host keeps it for
// each loaded module, and passes its Host's basic suite and its own plug-in reference in
// every record. It drives either a module file (the real thing: its code is loaded, really
// unloaded and loaded again) or an entry function linked into this program (for white-box
// tests; unloading then only sends the message).
//
// Typical use:
//   hostsim::Host host;
//   host.OpenDocument(document);
//   hostsim::Session session(host, hostsim::DefaultModulePath());
//   session.Startup();                      // start-up, then the application-started notice
//   session.ChooseMenuItem(hostsim::menus::kByRowLabel);
//   session.Shutdown();
//
// Destroying a session unloads its code but sends nothing: a test shuts its plug-in down
// itself, so that what the shut-down does is part of what the test sees.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/MessageNames.h"
#include "hostsim/abi/MessageRecord.h"
#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/model/Host.h"

namespace hostsim {

// The module could not be loaded, has no entry point, or a message cannot be sent now.
class SessionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kApplicationStartedType = "AI Application Started Notifier";

class Session {
  public:
    // Loads the module file and finds its PluginMain; throws SessionError naming the file.
    Session(Host& host, const std::filesystem::path& modulePath);
    // Drives an entry function linked into this program.
    Session(Host& host, abi::PluginEntry entry, std::string label = "in-process module");
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // "SP Interface"/"Startup"; when it answers 0, the application-started notification
    // follows at once, its answer kept in ApplicationStartedResult(). Returns the start-up's.
    abi::ErrorCode Startup();
    // "SP Interface"/"Startup" alone.
    abi::ErrorCode SendStartup();
    std::optional<abi::ErrorCode> ApplicationStartedResult() const { return applicationStarted_; }

    // Caller "AI Notifier": the plug-in's notifier for `type` at offset 32 (null if it has
    // none) and `type` at offset 40.
    abi::ErrorCode Notify(const std::string& type,
                          const std::string& selector = messages::kNotifySelector);

    // Any caller and selector, with `payload` copied to the record from offset 32.
    abi::ErrorCode Send(const std::string& caller, const std::string& selector,
                        std::span<const std::byte> payload = {});

    // "SP Access"/"Unload", then the module's code is unloaded (a module file only). With
    // AddressReuse::ReserveOldRange the code's old address range stays reserved, so that the
    // reload lands elsewhere; whether that worked is in Loader()->ErrorText().
    abi::ErrorCode Unload(AddressReuse reuse = AddressReuse::Allowed);
    // "SP Access"/"Unload" alone: the code stays, as when the host honours the plug-in's lock.
    abi::ErrorCode SendUnloadMessage();
    // Loads the code again if it was unloaded (throws SessionError when it cannot), then
    // "SP Access"/"Reload".
    abi::ErrorCode Reload();
    // "SP Interface"/"Shutdown".
    abi::ErrorCode Shutdown();

    // "AI Menu"/"AI Go" for the one choosable item labelled exactly `label`, as a click on it;
    // throws SessionError when there is no such item or more than one.
    abi::ErrorCode ChooseMenuItem(const std::string& label);
    // "AI Menu" with `selector` and any item handle at offset 32.
    abi::ErrorCode SendMenu(const std::string& selector, abi::Handle item);

    // What the plug-in left in its instance slot.
    void* InstanceSlot() const { return instanceSlot_; }
    abi::Handle PluginReference() const { return pluginRef_; }
    // Whether the plug-in's code is in memory (always, for an entry function).
    bool CodeLoaded() const { return entry_ != nullptr; }
    // The entry function's address now; 0 while the code is unloaded.
    std::uintptr_t EntryAddress() const;
    // The loader of a module file; null for an entry function.
    const ModuleLoader* Loader() const { return fromFile_ ? &loader_ : nullptr; }

  private:
    abi::ErrorCode Dispatch(const std::string& caller, const std::string& selector,
                            MessageRecord& record);
    abi::MessageHeader Header();
    void BindEntry();

    Host& host_;
    ModuleLoader loader_;
    bool fromFile_ = false;
    abi::PluginEntry entry_ = nullptr;
    abi::Handle pluginRef_ = nullptr;
    void* instanceSlot_ = nullptr;
    std::optional<abi::ErrorCode> applicationStarted_;
};

}  // namespace hostsim
