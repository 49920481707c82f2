#include "hostsim/ArtboardModel.h"

namespace hostsim {

AttributeSet AttributesOf(const Artboard& artboard) {
    AttributeSet set;
    set.bounds = artboard.bounds;
    set.name = artboard.name;
    set.pixelAspectRatio = artboard.pixelAspectRatio;
    set.displayMarks = artboard.displayMarks;
    set.rulerOrigin = artboard.rulerOrigin;
    return set;
}

void ApplyAttributes(const AttributeSet& set, Artboard& artboard) {
    artboard.bounds = set.bounds;
    artboard.name = set.name;
    artboard.pixelAspectRatio = set.pixelAspectRatio;
    artboard.displayMarks = set.displayMarks;
    artboard.rulerOrigin = set.rulerOrigin;
}

void ArtboardModel::openDocument(Document document) {
    current_ = std::make_shared<Document>(std::move(document));
}

void ArtboardModel::closeDocument() {
    current_.reset();
}

abi::Handle ArtboardModel::newSet(AttributeSet set, std::string description) {
    const abi::Handle handle = ledger_.issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest,
                                             std::move(description));
    sets_.emplace(handle, std::move(set));
    return handle;
}

AttributeSet* ArtboardModel::set(abi::Handle handle) {
    if (ledger_.status(HandleKind::AttributeSet, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = sets_.find(handle);
    return it == sets_.end() ? nullptr : &it->second;
}

abi::Handle ArtboardModel::acquireList() {
    if (!current_) {
        return nullptr;
    }
    const abi::Handle handle = ledger_.issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest,
                                             "artboards of \"" + current_->name + "\"");
    lists_.emplace(handle, current_);
    return handle;
}

Document* ArtboardModel::listDocument(abi::Handle handle) {
    if (ledger_.status(HandleKind::ArtboardList, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = lists_.find(handle);
    return it == lists_.end() ? nullptr : it->second.get();
}

}  // namespace hostsim
