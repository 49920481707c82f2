// "AI Artboard Suite", version 2: the artboards of the current document.
//
// An attribute set is a host object separate from the document: reading an artboard means
// fetching its set by index (entry 20) and reading fields of the set; changing an artboard
// means changing fields of a fetched set and writing the set back (entry 19).
//
// C forms. Attribute sets and artboard lists are passed as the address of the one-field
// wrapper that holds their handle (ai::ArtboardAttributes, ai::ArtboardCollection): the host
// reads the handle there, or writes a new handle there. Structures (BoundsRect, OriginPoint)
// are passed by address, read-only where the host only reads them; scalars to be set
// (pixel aspect ratio, display mark value, index) are passed by value; scalars to be read are
// written through a pointer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kArtboardSuiteName = "AI Artboard Suite";
inline constexpr std::int32_t kArtboardSuiteVersion = 2;

struct ArtboardSuite {
    // 1. Creates a new attribute set and writes its handle to *set. Owned by the caller. [held]
    ErrorCode (*NewAttributes)(ArtboardAttributesHandle* set);
    // 2. Writes to *target the handle of a new set cloned from *source. The handle that was
    //    in *target is overwritten, not disposed. Owned by the caller. [held]
    ErrorCode (*CloneAttributes)(ArtboardAttributesHandle* target,
                                 const ArtboardAttributesHandle* source);
    // 3. Disposes the set whose handle is in *set; a null handle is accepted. [held]
    ErrorCode (*DisposeAttributes)(ArtboardAttributesHandle* set);
    // 4, 5. Read and write the set's bounds. [held]
    ErrorCode (*GetBounds)(const ArtboardAttributesHandle* set, BoundsRect* bounds);
    ErrorCode (*SetBounds)(ArtboardAttributesHandle* set, const BoundsRect* bounds);
    // 6, 7. Read and write the set's pixel aspect ratio. [held]
    ErrorCode (*GetPixelAspectRatio)(const ArtboardAttributesHandle* set, float* ratio);
    ErrorCode (*SetPixelAspectRatio)(ArtboardAttributesHandle* set, float ratio);
    // 8. Writes a new host string holding the set's name to *name; the caller passes an empty
    //    ai::HostString and owns the string afterwards. [held]
    ErrorCode (*GetName)(const ArtboardAttributesHandle* set, HostStringHandle* name);
    // 9. Sets the name to the text of *name; the string stays the caller's. [held]
    ErrorCode (*SetName)(ArtboardAttributesHandle* set, const HostStringHandle* name);
    // 10. Writes whether the display mark `kind` is on (non-zero) or off (0) to *value. [held]
    ErrorCode (*GetDisplayMark)(const ArtboardAttributesHandle* set, DisplayMarkKind kind,
                                std::int32_t* value);
    // 11. Turns the display mark `kind` on (1) or off (0). [held]
    ErrorCode (*SetDisplayMark)(ArtboardAttributesHandle* set, DisplayMarkKind kind,
                                std::int32_t value);
    // 12. Acquires the artboard list of the document that is current now and writes its
    //     handle to *list. Fails when no document is open. Released with entry 13. [held]
    ErrorCode (*AcquireArtboardList)(ArtboardListHandle* list);
    // 13. Releases the list whose handle is in *list. [held]
    ErrorCode (*ReleaseArtboardList)(ArtboardListHandle* list);
    UnusedSuiteEntry unused14;  // entry 14
    UnusedSuiteEntry unused15;  // entry 15
    // 16. Writes the number of artboards in the list to *count. [held]
    ErrorCode (*GetArtboardCount)(const ArtboardListHandle* list, std::int32_t* count);
    UnusedSuiteEntry unused17;  // entry 17
    UnusedSuiteEntry unused18;  // entry 18
    // 19. Writes the set *set to the artboard at `index`, changing the document. [held]
    ErrorCode (*UpdateArtboard)(ArtboardListHandle* list, ArtboardIndex index,
                                const ArtboardAttributesHandle* set);
    // 20. Writes to *set the handle of a new set holding the attributes of the artboard at
    //     `index`. Owned by the caller; *set is overwritten, not disposed. [held]
    ErrorCode (*GetArtboardAttributes)(const ArtboardListHandle* list, ArtboardIndex index,
                                       ArtboardAttributesHandle* set);
    // 21, 22. Read and write the set's ruler origin. [held]
    ErrorCode (*GetRulerOrigin)(const ArtboardAttributesHandle* set, OriginPoint* origin);
    ErrorCode (*SetRulerOrigin)(ArtboardAttributesHandle* set, const OriginPoint* origin);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(ArtboardSuite, NewAttributes) == 0 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, DisposeAttributes) == 2 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, SetPixelAspectRatio) == 6 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, SetDisplayMark) == 10 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, AcquireArtboardList) == 11 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, ReleaseArtboardList) == 12 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, GetArtboardCount) == 15 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, UpdateArtboard) == 18 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, GetArtboardAttributes) == 19 * sizeof(void*));
static_assert(offsetof(ArtboardSuite, SetRulerOrigin) == 21 * sizeof(void*));

extern const ArtboardSuite* gArtboardSuite;
