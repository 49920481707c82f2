// QuorvanePlugin: the plug-in of this module.
//
// Adds "Quorvane, Grid by Row" and "Quorvane, Grid by Column" to the host's "ArtBoards" menu
// group and an About item to the shared About-plug-ins group, and renumbers the current
// document's artboards by their places on a grid when a command is chosen. Every failure
// under its message wrapper, exceptions included, ends as a reported ErrorCode.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/Plugin.h"
#include "host/ArtboardCollection.h"
#include "host/HostTypes.h"

class QuorvanePlugin : public Plugin {
  public:
    static constexpr const char* kName = "Quorvane";

    // Order kinds of ReorderArtboards.
    static constexpr std::int32_t kByRow = 0;     // "Quorvane, Grid by Row", ABHVSort
    static constexpr std::int32_t kByColumn = 1;  // "Quorvane, Grid by Column", ABVHSort

    // An artboard's top-left corner, the only part of its bounds either order looks at.
    struct Corner {
        float left;
        float top;
    };

    // What a sort needs besides the collection: every artboard's corner, read once before
    // sorting, and the first host failure met while sorting. Comparisons decide on these
    // corners, so the order stays the same strict weak ordering whatever the host answers
    // while the sort runs.
    struct SortRecord {
        std::vector<Corner> corners;
        ErrorCode firstError = kNoError;
    };

    // Less-than over artboard indices for the standard sort; a value object that the sort
    // copies freely. Every comparison fetches both artboards' attribute sets and bounds through
    // the host, as the host expects of a sort by live bounds; a failed fetch or read marks the
    // run failed in the SortRecord and the comparison goes on with the corners read before.
    class ABSort {
      public:
        ABSort(const ai::ArtboardCollection* artboards, SortRecord* sortRecord) noexcept
            : collection(artboards), record(sortRecord) {}
        virtual bool operator()(ArtboardIndex a, ArtboardIndex b) const = 0;

      protected:
        // Makes the comparison's host calls and returns the two corners to compare.
        std::pair<Corner, Corner> Corners(ArtboardIndex a, ArtboardIndex b) const noexcept;

        const ai::ArtboardCollection* collection;
        SortRecord* record;
    };

    // By row: larger top first; within a row (exactly equal tops), smaller left first.
    class ABHVSort : public ABSort {
      public:
        using ABSort::ABSort;
        bool operator()(ArtboardIndex a, ArtboardIndex b) const override;
    };

    // By column: smaller left first; within a column (exactly equal lefts), larger top first.
    class ABVHSort : public ABSort {
      public:
        using ABSort::ABSort;
        bool operator()(ArtboardIndex a, ArtboardIndex b) const override;
    };

    explicit QuorvanePlugin(PluginRef pluginRef) noexcept;
    ~QuorvanePlugin() override;

    // Base start-up, then InstallMenus.
    ErrorCode OnStartup(HostMessage* message) override;
    // The base dispatch; an ai::Error becomes its code, any other exception 'CANT'; a non-zero
    // code other than '!MSG' is reported and returned, '!MSG' becomes 0.
    ErrorCode OnMessage(const char* caller, const char* selector, HostMessage* message) override;
    // Runs the chosen item, recognised by the handle stored when it was added; 0 for an item
    // that is not one of ours.
    ErrorCode OnMenuGo(HostMessage* message) override;

    // The About item (result ignored), then a separator and the two commands in "ArtBoards".
    // Returns the first failure of the last three, or 0. Host string failures throw ai::Error.
    ErrorCode InstallMenus(HostMessage* message);

    // Renumbers the current document's artboards in the order `kind` (kByRow, kByColumn; any
    // other kind changes nothing): afterwards position k holds the bounds, name, pixel aspect
    // ratio, display marks and ruler origin of the k-th artboard in grid order. Stops at the
    // first failed host call, puts back every exchange already made, and returns that call's
    // code; 0 on success. May throw std::bad_alloc.
    ErrorCode ReorderArtboards(std::int32_t kind);

    // Exchanges the renumbered properties of artboards a and b and writes both back, a first.
    // Reads every value before writing any. When the write of b fails after a's went through,
    // a is written back as it was. Returns the first failure's code, or 0.
    static ErrorCode SwapArtboards(ai::ArtboardCollection& collection, ArtboardIndex a,
                                   ArtboardIndex b);

  private:
    MenuItemHandle aboutItemHandle = nullptr;
    MenuItemHandle byRowItemHandle = nullptr;
    MenuItemHandle byColumnItemHandle = nullptr;
};
