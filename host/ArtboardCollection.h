// ai::ArtboardCollection: owner of the current document's artboard list.
#pragma once

#include <cstdint>
#include <type_traits>

#include "host/ArtboardAttributes.h"
#include "host/HostTypes.h"

namespace ai {

// The list of the document that is current when the object is constructed, kept until
// destruction. Holds exactly one field, the list's handle, whose address every host call
// receives. Neither copied nor assigned. Never throws. Every operation [held].
// The code-dropping constructor and GetAttributes are the wrapper's table; the module itself
// uses the code-returning forms, which are its own.
class ArtboardCollection {
  public:
    // Acquires the current document's list; the host's code is dropped (no document open
    // leaves the handle null).
    ArtboardCollection() noexcept;
    // The same, handing the host's code to `result`.
    explicit ArtboardCollection(ErrorCode& result) noexcept;
    // Releases the list; makes no host call when there is none.
    ~ArtboardCollection();

    ArtboardCollection(const ArtboardCollection&) = delete;
    ArtboardCollection& operator=(const ArtboardCollection&) = delete;

    ErrorCode GetCount(std::int32_t& count) const noexcept;
    // A new object holding the attribute set of the artboard at `index`. It starts with a null
    // handle, so a failed fetch returns a null set (or whatever the host left); the code is
    // dropped.
    ArtboardAttributes GetAttributes(ArtboardIndex index) const noexcept;
    // The same, handing the host's code to `result`.
    ArtboardAttributes GetAttributes(ArtboardIndex index, ErrorCode& result) const noexcept;
    // Fills `into` with the attributes of the artboard at `index` the way callers have always
    // done it: fetch into a temporary, assign the temporary to `into`, dispose the temporary.
    // A failed fetch is not cloned. Returns the fetch's or the clone's code, or 0.
    ErrorCode Fetch(ArtboardIndex index, ArtboardAttributes& into) const noexcept;
    // Writes `set` to the artboard at `index`, changing the document.
    ErrorCode Update(ArtboardIndex index, const ArtboardAttributes& set) noexcept;

  private:
    ArtboardListHandle handle = nullptr;
};

static_assert(std::is_standard_layout_v<ArtboardCollection> &&
                  sizeof(ArtboardCollection) == sizeof(void*),
              "the host reads an ArtboardCollection as a bare list handle");

}  // namespace ai
