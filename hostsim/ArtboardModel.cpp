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

void ArtboardModel::OpenDocument(Document document) {
    current_ = std::make_shared<Document>(std::move(document));
}

void ArtboardModel::CloseDocument() {
    current_.reset();
}

abi::Handle ArtboardModel::NewSet(AttributeSet set, std::string description) {
    const abi::Handle handle = ledger_.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest,
                                             std::move(description));
    sets_.emplace(handle, std::move(set));
    return handle;
}

AttributeSet* ArtboardModel::Set(abi::Handle handle) {
    if (ledger_.StatusOf(HandleKind::AttributeSet, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = sets_.find(handle);
    return it == sets_.end() ? nullptr : &it->second;
}

abi::Handle ArtboardModel::AcquireList() {
    if (!current_) {
        return nullptr;
    }
    const abi::Handle handle = ledger_.Issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest,
                                             "artboards of \"" + current_->name + "\"");
    lists_.emplace(handle, current_);
    return handle;
}

Document* ArtboardModel::ListDocument(abi::Handle handle) {
    if (ledger_.StatusOf(HandleKind::ArtboardList, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = lists_.find(handle);
    return it == lists_.end() ? nullptr : it->second.get();
}

}  // namespace hostsim
