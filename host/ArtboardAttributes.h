// ai::ArtboardAttributes: owner of one artboard attribute set of the host.
#pragma once

#include <type_traits>

#include "host/HostString.h"
#include "host/HostTypes.h"

namespace ai {

class ArtboardCollection;

// An attribute set is a host object separate from the document: changing one changes nothing
// until ArtboardCollection::Update writes it back to an index. Holds exactly one field, the
// set's handle, whose address every host call receives.
//
// Never throws. Getters, setters and Assign return the host's code unchanged; constructors,
// operator= and the destructor drop it. Every operation [held].
class ArtboardAttributes {
  public:
    // A new, empty set from the host. Code-dropping, as the wrapper's table has it; the module
    // itself uses the code-returning forms (this one, Assign, Fetch), which are its own.
    ArtboardAttributes() noexcept;
    // The same, handing the host's code to `result`.
    explicit ArtboardAttributes(ErrorCode& result) noexcept;
    // A clone of `other`'s set.
    ArtboardAttributes(const ArtboardAttributes& other) noexcept;
    // Disposes the set; the host is asked also when the handle is null.
    ~ArtboardAttributes();

    // Replaces this object's set by a clone of `other`'s: the clone is taken before the former
    // set is disposed, so self-assignment leaves a fresh clone of the same set.
    ArtboardAttributes& operator=(const ArtboardAttributes& other) noexcept;
    // The same, returning the clone's code. When the clone fails this object ends with whatever
    // handle the host left (null if none) and its former set is still disposed.
    ErrorCode Assign(const ArtboardAttributes& other) noexcept;

    ErrorCode GetBounds(BoundsRect& bounds) const noexcept;
    // The host is handed the address of a private copy, so it cannot change the caller's value.
    ErrorCode SetBounds(BoundsRect bounds) noexcept;
    ErrorCode GetPixelAspectRatio(float& ratio) const noexcept;
    ErrorCode SetPixelAspectRatio(float ratio) noexcept;
    // `name` must be empty; it receives a new host string that it then owns.
    ErrorCode GetName(HostString& name) const noexcept;
    ErrorCode SetName(const HostString& name) noexcept;
    // On success `value` becomes whether the host's value is non-zero; on failure it keeps the
    // value it had.
    ErrorCode GetDisplayMark(DisplayMarkKind kind, bool& value) const noexcept;
    // Passes exactly 1 for true and 0 for false.
    ErrorCode SetDisplayMark(DisplayMarkKind kind, bool value) noexcept;
    ErrorCode GetRulerOrigin(OriginPoint& origin) const noexcept;
    ErrorCode SetRulerOrigin(OriginPoint origin) noexcept;

  private:
    friend class ArtboardCollection;
    struct NullHandle {};
    // No set at all: the host fills the handle afterwards.
    explicit ArtboardAttributes(NullHandle) noexcept {}

    ArtboardAttributesHandle handle = nullptr;
};

static_assert(std::is_standard_layout_v<ArtboardAttributes> &&
                  sizeof(ArtboardAttributes) == sizeof(void*),
              "the host reads an ArtboardAttributes as a bare set handle");

}  // namespace ai
