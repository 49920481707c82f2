#include "hostsim/loader/Session.h"

#include "hostsim/abi/MessageNames.h"

#include <cstring>

#include "hostsim/suites/SuiteTables.h"

namespace hostsim {

Session::Session(Host& host, const std::filesystem::path& modulePath)
    : host_(host), fromFile_(true) {
    if (!loader_.Load(modulePath)) {
        throw SessionError(loader_.ErrorText());
    }
    BindEntry();
    const std::u8string name = modulePath.filename().u8string();
    pluginRef_ = host_.Plugins().AddPlugin({name.begin(), name.end()});
}

Session::Session(Host& host, abi::PluginEntry entry, std::string label)
    : host_(host), entry_(entry) {
    if (entry_ == nullptr) {
        throw SessionError("no entry function given");
    }
    pluginRef_ = host_.Plugins().AddPlugin(std::move(label));
}

Session::~Session() = default;

void Session::BindEntry() {
    entry_ = reinterpret_cast<abi::PluginEntry>(loader_.FindSymbol("PluginMain"));
    if (entry_ == nullptr) {
        const std::u8string path = loader_.Path().u8string();
        const std::string file(path.begin(), path.end());
        loader_.Unload();
        throw SessionError(file + " has no exported PluginMain");
    }
}

std::uintptr_t Session::EntryAddress() const {
    return reinterpret_cast<std::uintptr_t>(entry_);
}

abi::MessageHeader Session::Header() {
    return abi::MessageHeader{this, pluginRef_, instanceSlot_, &TableOf(SuiteId::Basic)};
}

abi::ErrorCode Session::Dispatch(const std::string& caller, const std::string& selector,
                                 MessageRecord& record) {
    if (entry_ == nullptr) {
        throw SessionError("cannot send " + caller + " / " + selector +
                           ": the module's code is unloaded; reload it first");
    }
    host_.Calls().BeginMessage(caller, selector);
    const abi::ErrorCode result = entry_(caller.c_str(), selector.c_str(), record.data());
    host_.Calls().EndMessage(result);
    instanceSlot_ = record.Header().instanceSlot;
    return result;
}

abi::ErrorCode Session::Send(const std::string& caller, const std::string& selector,
                             std::span<const std::byte> payload) {
    MessageRecord record(Header(), payload);
    return Dispatch(caller, selector, record);
}

abi::ErrorCode Session::SendStartup() {
    return Send(messages::kInterfaceCaller, messages::kStartupSelector);
}

abi::ErrorCode Session::Startup() {
    applicationStarted_.reset();
    const abi::ErrorCode result = SendStartup();
    if (result == 0) {
        applicationStarted_ = Notify(kApplicationStartedType);
    }
    return result;
}

abi::ErrorCode Session::Notify(const std::string& type, const std::string& selector) {
    MessageRecord record(Header());
    record.Put(offsetof(abi::NotifierMessage, notifier),
               host_.Plugins().NotifierFor(pluginRef_, type));
    record.Put(offsetof(abi::NotifierMessage, type), type.c_str());
    return Dispatch(messages::kNotifierCaller, selector, record);
}

abi::ErrorCode Session::SendUnloadMessage() {
    return Send(messages::kAccessCaller, messages::kUnloadSelector);
}

abi::ErrorCode Session::Unload(AddressReuse reuse) {
    const abi::ErrorCode result = SendUnloadMessage();
    if (fromFile_) {
        loader_.Unload(reuse);
        entry_ = nullptr;
    }
    return result;
}

abi::ErrorCode Session::Reload() {
    if (fromFile_ && !loader_.IsLoaded()) {
        const std::filesystem::path file = loader_.Path();
        if (!loader_.Load(file)) {
            throw SessionError(loader_.ErrorText());
        }
        BindEntry();
    }
    return Send(messages::kAccessCaller, messages::kReloadSelector);
}

abi::ErrorCode Session::Shutdown() {
    return Send(messages::kInterfaceCaller, messages::kShutdownSelector);
}

abi::ErrorCode Session::SendMenu(const std::string& selector, abi::Handle item) {
    MessageRecord record(Header());
    record.Put(offsetof(abi::MenuMessage, menuItem), item);
    return Dispatch(messages::kMenuCaller, selector, record);
}

abi::ErrorCode Session::ChooseMenuItem(const std::string& label) {
    const auto items = host_.Menus().FindByLabel(label);
    if (items.size() != 1) {
        throw SessionError(std::string(items.empty() ? "no" : "more than one") +
                           " menu item labelled \"" + label + "\"; the menus are:\n" +
                           host_.Menus().Tree());
    }
    return SendMenu(messages::kGoSelector, items.front()->handle);
}

}  // namespace hostsim
