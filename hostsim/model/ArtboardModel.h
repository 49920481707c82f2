// What the artboard suite serves: the current document, the attribute sets the plug-in has
// fetched or made, and the artboard lists it holds.
//
// An attribute set is a host object of its own: a copy of an artboard's properties taken
// when it was fetched. Changing a set changes no document; writing it back to an index does.
// A list belongs to the document that was current when it was acquired and keeps that
// document alive even if the host opens another one meanwhile. Both sit in the ledger's slot
// of their handle, which the next set or list reuses, storage included.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"
#include "hostsim/model/HandleLedger.h"

namespace hostsim {

// A set carries an artboard's properties: everything but the host-kept id.
using AttributeSet = ArtboardProperties;

// The properties of `artboard` a set carries.
inline AttributeSet AttributesOf(const Artboard& artboard) {
    return artboard.Properties();
}
// Writes the set's properties into `artboard`; its id stays.
inline void ApplyAttributes(const AttributeSet& set, Artboard& artboard) {
    artboard.Properties() = set;
}

class ArtboardModel {
  public:
    explicit ArtboardModel(HandleLedger& ledger) : ledger_(ledger) {}
    ArtboardModel(const ArtboardModel&) = delete;
    ArtboardModel& operator=(const ArtboardModel&) = delete;

    // Makes `document` the current one. Lists acquired before keep their own document.
    void OpenDocument(Document document);
    // Leaves the host with no document open.
    void CloseDocument();
    // The current document, or null when none is open.
    const Document* CurrentDocument() const { return current_.get(); }
    Document* CurrentDocument() { return current_.get(); }

    abi::Handle NewSet(const AttributeSet& set);
    // A set holding the properties of a new artboard (no name, no marks, ratio 1).
    abi::Handle NewEmptySet();
    // A set holding the properties of `artboard`.
    abi::Handle NewSetOf(const Artboard& artboard);
    // The set behind a live handle; null otherwise (no problem recorded). Inline: every entry
    // that reads or changes a set asks for it.
    AttributeSet* Set(abi::Handle handle) {
        const std::size_t slot = ledger_.SlotOf(handle);
        const bool live = ledger_.IsLive(HandleKind::AttributeSet, handle);
        return live && slot < sets_.size() ? &sets_[slot] : nullptr;
    }
    // How many sets are live.
    std::size_t SetCount() const {
        return static_cast<std::size_t>(ledger_.CountsOf(HandleKind::AttributeSet).Live());
    }

    // A list over the current document; null when no document is open (nothing issued).
    abi::Handle AcquireList();
    // The document of a live list; null otherwise.
    Document* ListDocument(abi::Handle handle) {
        const std::size_t slot = ledger_.SlotOf(handle);
        const bool live = ledger_.IsLive(HandleKind::ArtboardList, handle);
        return live && slot < lists_.size() ? lists_[slot].get() : nullptr;
    }
    // Lets go of the document of a live list, whose life is about to end.
    void ForgetList(abi::Handle handle);

  private:
    HandleLedger& ledger_;
    std::shared_ptr<Document> current_;
    // A new slot for a handle just issued in `slots`.
    template <typename T>
    T& SlotFor(std::vector<T>& slots, abi::Handle handle) const {
        const std::size_t slot = ledger_.SlotOf(handle);
        if (slot >= slots.size()) {
            slots.resize(slot + 1);
        }
        return slots[slot];
    }

    std::vector<AttributeSet> sets_;                // by the ledger's slot
    std::vector<std::shared_ptr<Document>> lists_;  // by the ledger's slot
};

}  // namespace hostsim
