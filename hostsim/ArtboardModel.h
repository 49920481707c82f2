// What the artboard suite serves: the current document, the attribute sets the plug-in has
// fetched or made, and the artboard lists it holds.
//
// An attribute set is a host object of its own: a copy of an artboard's properties taken
// when it was fetched. Changing a set changes no document; writing it back to an index does.
// A list belongs to the document that was current when it was acquired and keeps that
// document alive even if the host opens another one meanwhile.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "hostsim/Document.h"
#include "hostsim/HandleLedger.h"

namespace hostsim {

struct AttributeSet {
    Rect bounds;
    std::string name;
    float pixelAspectRatio = 1;
    std::set<std::int32_t> displayMarks;  // kinds that are on
    Point rulerOrigin;
    friend bool operator==(const AttributeSet&, const AttributeSet&) = default;
};

// The properties of `artboard` a set carries (everything but the host-kept id).
AttributeSet AttributesOf(const Artboard& artboard);
// Writes the set's properties into `artboard`; its id stays.
void ApplyAttributes(const AttributeSet& set, Artboard& artboard);

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

    abi::Handle NewSet(AttributeSet set, std::string description);
    // The set behind a live handle; null otherwise (no problem recorded).
    AttributeSet* Set(abi::Handle handle);
    void ForgetSet(abi::Handle handle) { sets_.erase(handle); }
    std::size_t SetCount() const { return sets_.size(); }

    // A list over the current document; null when no document is open (nothing issued).
    abi::Handle AcquireList();
    // The document of a live list; null otherwise.
    Document* ListDocument(abi::Handle handle);
    void ForgetList(abi::Handle handle) { lists_.erase(handle); }

  private:
    HandleLedger& ledger_;
    std::shared_ptr<Document> current_;
    std::map<abi::Handle, AttributeSet> sets_;
    std::map<abi::Handle, std::shared_ptr<Document>> lists_;
};

}  // namespace hostsim
