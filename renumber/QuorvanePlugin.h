// QuorvanePlugin: the plug-in of this module.
//
// Adds "Quorvane, Grid by Row" and "Quorvane, Grid by Column" to the host's "ArtBoards" menu
// group and an About item to the shared About-plug-ins group, and renumbers the current
// document's artboards by their places on a grid when a command is chosen. Every failure
// under its message wrapper, exceptions included, ends as a reported ErrorCode.
//
// Why a sort still calls the host at every comparison. Every comparison fetches both artboards'
// attribute sets and bounds through the host, as the host expects of a sort by live bounds (it
// sees, and may answer, every one of those calls). The order itself is decided on the corners
// read once before the sort: the live answers only count when they fail, which fails the run.
// So the order stays one strict weak ordering whatever the host answers while the sort runs.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/Plugin.h"
#include "host/ArtboardCollection.h"
#include "host/HostTypes.h"

class QuorvanePlugin final : public Plugin {
  public:
    static constexpr const char* kName = "Quorvane";

    explicit QuorvanePlugin(PluginRef pluginRef) noexcept;

    // Base start-up, then InstallMenus.
    ErrorCode OnStartup(HostMessage* message) override;
    // The base dispatch; an ai::Error becomes its code, any other exception 'CANT'; a non-zero
    // code other than '!MSG' is reported and returned, '!MSG' becomes 0.
    ErrorCode OnMessage(const char* caller, const char* selector, HostMessage* message) override;
    // Runs the chosen item, recognised by the handle stored when it was added; 0 for an item
    // that is not one of ours.
    ErrorCode OnMenuGo(HostMessage* message) override;

  private:
    // The order of a renumbering, as the menu handler passes it.
    enum class OrderKind : std::int32_t {
        ByRow = 0,     // "Quorvane, Grid by Row", ABHVSort
        ByColumn = 1,  // "Quorvane, Grid by Column", ABVHSort
    };

    // An artboard's top-left corner, the only part of its bounds either order looks at.
    struct Corner {
        float left;
        float top;
    };

    // What a sort needs besides the collection: every artboard's corner, read once before
    // sorting, and the first host failure met while sorting.
    struct SortRecord {
        // Reads the corners of artboards 0 to count - 1, in order. Returns the first failure.
        ErrorCode ReadCorners(const ai::ArtboardCollection& collection, std::int32_t count);

        std::vector<Corner> corners;
        ErrorCode firstError = kNoError;
    };

    // Less-than over artboard indices for the standard sort; a value object that the sort
    // copies freely. Decides on the corners in the SortRecord; artboards whose corners are
    // equal keep their current order (the smaller index first), so that a second run over a
    // renumbered document changes nothing.
    class ABSort {
      public:
        ABSort(const ai::ArtboardCollection* artboards, SortRecord* sortRecord) noexcept
            : collection(artboards), record(sortRecord) {}
        virtual bool operator()(ArtboardIndex a, ArtboardIndex b) const = 0;

      protected:
        // The host calls every comparison makes (see the top of this file): fetches a's and b's
        // sets and reads their bounds, dropping what they say. The first failure goes to the
        // SortRecord; once the run has failed, the host is not asked any more.
        void FetchLiveBounds(ArtboardIndex a, ArtboardIndex b) const noexcept;
        const Corner& CornerOf(ArtboardIndex i) const noexcept;

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

    // The About item (result ignored), then a separator and the two commands in "ArtBoards".
    // Returns the first failure of the last three, or 0. Host string failures throw ai::Error.
    ErrorCode InstallMenus(HostMessage* message);

    // Renumbers the current document's artboards in the order `kind`: afterwards position k
    // holds the bounds, name, pixel aspect ratio, display marks and ruler origin of the k-th
    // artboard in grid order. Stops at the first failed host call, puts back every exchange
    // already made, and returns that call's code; 0 on success. May throw std::bad_alloc.
    static ErrorCode ReorderArtboards(OrderKind kind);

    // Exchanges the renumbered properties of artboards a and b and writes both back, a first.
    // Reads every value before writing any. When the write of b fails after a's went through,
    // a is written back as it was. Returns the first failure's code, or 0.
    static ErrorCode SwapArtboards(ai::ArtboardCollection& collection, ArtboardIndex a,
                                   ArtboardIndex b);

    MenuItemHandle aboutItemHandle = nullptr;
    MenuItemHandle byRowItemHandle = nullptr;
    MenuItemHandle byColumnItemHandle = nullptr;
};
