#include "hostsim/model/PluginRecords.h"

namespace hostsim {

abi::Handle PluginRecords::AddPlugin(std::string label) {
    PluginRecord record;
    record.ref = ledger_.Issue(HandleKind::PluginRef, HandleOrigin::Host, "plug-in " + label);
    record.label = std::move(label);
    plugins_.push_back(std::move(record));
    return plugins_.back().ref;
}

PluginRecord* PluginRecords::Plugin(abi::Handle ref) {
    for (PluginRecord& record : plugins_) {
        if (record.ref == ref) {
            return &record;
        }
    }
    return nullptr;
}

abi::Handle PluginRecords::AddNotifier(abi::Handle plugin, std::string name, std::string type) {
    NotifierRecord record;
    record.handle = ledger_.Issue(HandleKind::Notifier, HandleOrigin::PluginRequest);
    record.plugin = plugin;
    record.name = std::move(name);
    record.type = std::move(type);
    notifiers_.push_back(std::move(record));
    return notifiers_.back().handle;
}

abi::Handle PluginRecords::NotifierFor(abi::Handle plugin, const std::string& type) const {
    for (const NotifierRecord& record : notifiers_) {
        if (record.plugin == plugin && record.type == type) {
            return record.handle;
        }
    }
    return nullptr;
}

}  // namespace hostsim
