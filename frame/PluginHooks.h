// What a concrete plug-in supplies to the frame: the whole contract, in one place.
//
// The frame owns the entry point and the base class Plugin; the one concrete plug-in of the
// module derives from Plugin and defines the three names below, once, in its own folder.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "frame/Plugin.h"
#include "frame/SuiteTables.h"

// The plug-in's suites, ended by a row whose name is null (and, after that, its optional suites
// if the terminating row's version is kOptionalSuitesMarker). Acquired after the frame's own.
extern const SuiteTableRow PluginSuiteTable[];

// A new plug-in object, or null when it cannot be allocated. Never throws. [start-up]
Plugin* CreatePluginObject(PluginRef pluginRef) noexcept;

// Makes `plugin`, made by an earlier load of the module's code and kept by the host, dispatch to
// the code loaded now, changing none of its fields. Null is ignored. Defined by the concrete
// plug-in as RemakeOverOwnStorage<ItsClass>. [reload, before anything else is called on it]
void RebindAfterReload(Plugin* plugin) noexcept;

// The host unloads the module's code while keeping the object, and may load it again at another
// address: the object's dispatch-table pointer then points into code that is gone. Nothing in it
// is touched by hand. The object is moved out of its storage by the code loaded now, and a new
// one of the same class is constructed over that storage from it; every field moves (the moves
// are the implicit, memberwise ones) and the object keeps its address, so the pointer the host
// keeps stays the object's (the entry point launders it). The old object is not destroyed (the
// call would go through the stale table): reusing its storage ends its life.
template <typename Concrete>
void RemakeOverOwnStorage(Plugin* plugin) noexcept {
    static_assert(std::is_base_of_v<Plugin, Concrete> && std::is_final_v<Concrete>,
                  "the object re-made must be of exactly the class it was made as");
    static_assert(std::is_nothrow_move_constructible_v<Concrete>,
                  "re-making moves every field and cannot fail half-way");
    if (plugin != nullptr) {
        auto* object = static_cast<Concrete*>(plugin);
        std::construct_at(object, Concrete(std::move(*object)));
    }
}
