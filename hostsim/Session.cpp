#include "hostsim/Session.h"

#include <cstring>

namespace hostsim {

Session::Session(Host& host, const std::filesystem::path& modulePath)
    : host_(host), fromFile_(true) {
    if (!loader_.load(modulePath)) {
        throw SessionError(loader_.errorText());
    }
    bindEntry();
    pluginRef_ = host_.plugins().addPlugin(modulePath.filename().string());
}

Session::Session(Host& host, abi::PluginEntry entry, std::string label)
    : host_(host), entry_(entry) {
    if (entry_ == nullptr) {
        throw SessionError("no entry function given");
    }
    pluginRef_ = host_.plugins().addPlugin(std::move(label));
}

Session::~Session() = default;

void Session::bindEntry() {
    entry_ = reinterpret_cast<abi::PluginEntry>(loader_.findSymbol("PluginMain"));
    if (entry_ == nullptr) {
        const std::string file = loader_.path().string();
        loader_.unload();
        throw SessionError(file + " has no exported PluginMain");
    }
}

std::uintptr_t Session::entryAddress() const {
    return reinterpret_cast<std::uintptr_t>(entry_);
}

abi::MessageHeader Session::header() {
    return abi::MessageHeader{this, pluginRef_, instanceSlot_, host_.basicSuite()};
}

abi::ErrorCode Session::dispatch(const std::string& caller, const std::string& selector,
                                 MessageRecord& record) {
    if (entry_ == nullptr) {
        throw SessionError("cannot send " + caller + " / " + selector +
                           ": the module's code is unloaded; reload it first");
    }
    const std::size_t position = host_.calls().beginMessage(caller, selector);
    const abi::ErrorCode result = entry_(caller.c_str(), selector.c_str(), record.data());
    host_.calls().at(position).result = result;
    instanceSlot_ = record.header().instanceSlot;
    return result;
}

abi::ErrorCode Session::send(const std::string& caller, const std::string& selector,
                             std::span<const std::byte> payload) {
    MessageRecord record(header(), payload);
    return dispatch(caller, selector, record);
}

abi::ErrorCode Session::sendStartup() {
    return send("SP Interface", "Startup");
}

abi::ErrorCode Session::startup() {
    applicationStarted_.reset();
    const abi::ErrorCode result = sendStartup();
    if (result == 0) {
        applicationStarted_ = notify(kApplicationStartedType);
    }
    return result;
}

abi::ErrorCode Session::notify(const std::string& type, const std::string& selector) {
    MessageRecord record(header());
    record.put(offsetof(abi::NotifierMessage, notifier),
               host_.plugins().notifierFor(pluginRef_, type));
    record.put(offsetof(abi::NotifierMessage, type), type.c_str());
    return dispatch("AI Notifier", selector, record);
}

abi::ErrorCode Session::sendUnloadMessage() {
    return send("SP Access", "Unload");
}

abi::ErrorCode Session::unload(AddressReuse reuse) {
    const abi::ErrorCode result = sendUnloadMessage();
    if (fromFile_) {
        loader_.unload(reuse);
        entry_ = nullptr;
    }
    return result;
}

abi::ErrorCode Session::reload() {
    if (fromFile_ && !loader_.isLoaded()) {
        const std::filesystem::path file = loader_.path();
        if (!loader_.load(file)) {
            throw SessionError(loader_.errorText());
        }
        bindEntry();
    }
    return send("SP Access", "Reload");
}

abi::ErrorCode Session::shutdown() {
    return send("SP Interface", "Shutdown");
}

abi::ErrorCode Session::sendMenu(const std::string& selector, abi::Handle item) {
    MessageRecord record(header());
    record.put(offsetof(abi::MenuMessage, menuItem), item);
    return dispatch("AI Menu", selector, record);
}

abi::ErrorCode Session::chooseMenuItem(const std::string& label) {
    const auto items = host_.menus().findByLabel(label);
    if (items.size() != 1) {
        throw SessionError(std::string(items.empty() ? "no" : "more than one") +
                           " menu item labelled \"" + label + "\"; the menus are:\n" +
                           host_.menus().tree());
    }
    return sendMenu("AI Go", items.front()->handle);
}

}  // namespace hostsim
