// "AI Artboard Suite" 2 over the current document.
//
// Attribute sets and lists travel as the address of the slot that holds their handle.
// Getting an artboard's attributes, creating and cloning a set write a new handle into the
// slot; whatever handle was there before is overwritten, not disposed. A set is a separate
// host object: only UpdateArtboard changes the document. Dispose accepts a null handle.
#include <cstdio>
#include <string>

#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

using abi::BoundsRect;
using abi::OriginPoint;

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string RectText(const BoundsRect* rect) {
    if (rect == nullptr) {
        return "null";
    }
    std::string text = "{";
    text += Number(rect->left) + ", " + Number(rect->top) + ", " + Number(rect->right) + ", " +
            Number(rect->bottom) + "}";
    return text;
}

std::string PointText(const OriginPoint* point) {
    if (point == nullptr) {
        return "null";
    }
    std::string text = "{";
    text += Number(point->h) + ", " + Number(point->v) + "}";
    return text;
}

// 0 when the slot holds a live attribute set, which is put in `set`; else the answer to give.
abi::ErrorCode CheckSet(HostCall& call, const abi::Handle* slot, AttributeSet*& set) {
    if (slot == nullptr) {
        return call.Violation(kBadParameterError, "null attribute-set slot");
    }
    // A live set is found in one look; anything else goes to the ledger, which says what is wrong.
    set = call.ActiveHost().Artboards().Set(*slot);
    if (set == nullptr) {
        call.Live(HandleKind::AttributeSet, *slot);
        return kBadHandleError;
    }
    return 0;
}

// 0 when the slot holds a live list, whose document is put in `document`.
abi::ErrorCode CheckList(HostCall& call, const abi::Handle* slot, Document*& document) {
    if (slot == nullptr) {
        return call.Violation(kBadParameterError, "null list slot");
    }
    // As for a set: a live list in one look, anything else to the ledger.
    document = call.ActiveHost().Artboards().ListDocument(*slot);
    if (document == nullptr) {
        call.Live(HandleKind::ArtboardList, *slot);
        return kBadHandleError;
    }
    return 0;
}

abi::ErrorCode CheckOut(HostCall& call, const void* pointer) {
    return pointer == nullptr ? call.Violation(kBadParameterError, "null pointer argument") : 0;
}

// Serves entry E, which reads or changes the attribute set in the slot `set`: the slot is
// logged and checked before the entry's own arguments, and `act(call, attributes)` is given
// the set.
template <typename E, typename Describe, typename Check, typename Act>
abi::ErrorCode ServeSet(const char* operation, const abi::Handle* set, Describe&& describe,
                        Check&& check, Act&& act) {
    AttributeSet* attributes = nullptr;
    return Serve<E>(
        SuiteId::Artboard, operation,
        [&](HostCall& call) {
            call.Arg("set", call.InSlot(set));
            describe(call);
        },
        [&](HostCall& call) {
            const abi::ErrorCode e = CheckSet(call, set, attributes);
            return e != 0 ? e : check(call);
        },
        [&](HostCall& call) { act(call, *attributes); });
}

abi::ErrorCode NewAttributes(abi::Handle* set) {
    return Serve<abi::artboard::NewAttributes>(
        SuiteId::Artboard, "NewAttributes",
        [&](HostCall& call) { call.Arg("set", HostCall::OutSlot(set)); },
        [&](HostCall& call) { return CheckOut(call, set); },
        [&](HostCall& call) {
            *set = call.ActiveHost().Artboards().NewEmptySet();
            call.Out("*set", [&] { return call.Handle(*set); });
        });
}

abi::ErrorCode CloneAttributes(abi::Handle* target, const abi::Handle* source) {
    AttributeSet* from = nullptr;
    return Serve<abi::artboard::CloneAttributes>(
        SuiteId::Artboard, "CloneAttributes",
        [&](HostCall& call) {
            call.Arg("target", HostCall::OutSlot(target)).Arg("source", call.InSlot(source));
        },
        [&](HostCall& call) {
            const abi::ErrorCode e = CheckOut(call, target);
            return e != 0 ? e : CheckSet(call, source, from);
        },
        [&](HostCall& call) {
            *target = call.ActiveHost().Artboards().NewSet(*from);
            call.Out("*target", [&] { return call.Handle(*target); });
        });
}

abi::ErrorCode DisposeAttributes(abi::Handle* set) {
    return ServeRelease<abi::artboard::DisposeAttributes>(
        SuiteId::Artboard, "DisposeAttributes",
        [&](HostCall& call) { call.Arg("set", call.InSlot(set)); },
        [&](HostCall& call) { return CheckOut(call, set); },
        [&](HostCall& call) -> abi::ErrorCode {
            return *set == nullptr || call.Release(HandleKind::AttributeSet, *set)
                       ? 0
                       : kBadHandleError;
        });
}

abi::ErrorCode GetBounds(const abi::Handle* set, BoundsRect* bounds) {
    return ServeSet<abi::artboard::GetBounds>(
        "GetBounds", set, [&](HostCall& call) { call.Arg("bounds", HostCall::OutSlot(bounds)); },
        [&](HostCall& call) { return CheckOut(call, bounds); },
        [&](HostCall& call, const AttributeSet& attributes) {
            const Rect& r = attributes.bounds;
            *bounds = BoundsRect{r.left, r.top, r.right, r.bottom};
            call.Out("*bounds", [&] { return RectText(bounds); });
        });
}

abi::ErrorCode SetBounds(abi::Handle* set, const BoundsRect* bounds) {
    return ServeSet<abi::artboard::SetBounds>(
        "SetBounds", set, [&](HostCall& call) { call.Arg("bounds", RectText(bounds)); },
        [&](HostCall& call) { return CheckOut(call, bounds); },
        [&](HostCall& /*call*/, AttributeSet& attributes) {
            attributes.bounds = Rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
        });
}

abi::ErrorCode GetPixelAspectRatio(const abi::Handle* set, float* ratio) {
    return ServeSet<abi::artboard::GetPixelAspectRatio>(
        "GetPixelAspectRatio", set,
        [&](HostCall& call) { call.Arg("ratio", HostCall::OutSlot(ratio)); },
        [&](HostCall& call) { return CheckOut(call, ratio); },
        [&](HostCall& call, const AttributeSet& attributes) {
            *ratio = attributes.pixelAspectRatio;
            call.Out("*ratio", [&] { return Number(*ratio); });
        });
}

abi::ErrorCode SetPixelAspectRatio(abi::Handle* set, float ratio) {
    return ServeSet<abi::artboard::SetPixelAspectRatio>(
        "SetPixelAspectRatio", set, [&](HostCall& call) { call.Arg("ratio", Number(ratio)); },
        NothingToCheck,
        [&](HostCall& /*call*/, AttributeSet& attributes) { attributes.pixelAspectRatio = ratio; });
}

abi::ErrorCode GetName(const abi::Handle* set, abi::Handle* name) {
    return ServeSet<abi::artboard::GetName>(
        "GetName", set, [&](HostCall& call) { call.Arg("name", HostCall::OutSlot(name)); },
        [&](HostCall& call) { return CheckOut(call, name); },
        [&](HostCall& call, const AttributeSet& attributes) {
            *name = call.ActiveHost().Strings().Create(attributes.name);
            call.Out("*name", [&] {
                return call.Handle(*name) + " " + HostCall::Text(attributes.name.c_str());
            });
        });
}

abi::ErrorCode SetName(abi::Handle* set, const abi::Handle* name) {
    return ServeSet<abi::artboard::SetName>(
        "SetName", set, [&](HostCall& call) { call.Arg("name", call.InSlot(name)); },
        [&](HostCall& call) {
            const abi::ErrorCode e = CheckOut(call, name);
            return e != 0 ? e : call.CheckLive(HandleKind::String, *name);
        },
        [&](HostCall& call, AttributeSet& attributes) {
            attributes.name = *call.ActiveHost().Strings().Text(*name);
        });
}

abi::ErrorCode CheckDisplayMarkKind(HostCall& call, std::int32_t kind) {
    return kind < 0 ? call.Violation(kBadParameterError, "negative display-mark kind") : 0;
}

abi::ErrorCode GetDisplayMark(const abi::Handle* set, std::int32_t kind, std::int32_t* value) {
    return ServeSet<abi::artboard::GetDisplayMark>(
        "GetDisplayMark", set,
        [&](HostCall& call) {
            call.Arg("kind", std::to_string(kind)).Arg("value", HostCall::OutSlot(value));
        },
        [&](HostCall& call) {
            const abi::ErrorCode e = CheckOut(call, value);
            return e != 0 ? e : CheckDisplayMarkKind(call, kind);
        },
        [&](HostCall& call, const AttributeSet& attributes) {
            *value = attributes.displayMarks.Contains(kind) ? 1 : 0;
            call.Out("*value", [&] { return std::to_string(*value); });
        });
}

abi::ErrorCode SetDisplayMark(abi::Handle* set, std::int32_t kind, std::int32_t value) {
    return ServeSet<abi::artboard::SetDisplayMark>(
        "SetDisplayMark", set,
        [&](HostCall& call) {
            call.Arg("kind", std::to_string(kind)).Arg("value", std::to_string(value));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (const abi::ErrorCode e = CheckDisplayMarkKind(call, kind)) {
                return e;
            }
            if (value != 0 && value != 1) {
                return call.Violation(kBadParameterError, "display-mark value is neither 0 nor 1");
            }
            return 0;
        },
        [&](HostCall& /*call*/, AttributeSet& attributes) {
            if (value == 1) {
                attributes.displayMarks.Insert(kind);
            } else {
                attributes.displayMarks.Erase(kind);
            }
        });
}

abi::ErrorCode AcquireArtboardList(abi::Handle* list) {
    return Serve<abi::artboard::AcquireArtboardList>(
        SuiteId::Artboard, "AcquireArtboardList",
        [&](HostCall& call) { call.Arg("list", HostCall::OutSlot(list)); },
        [&](HostCall& call) -> abi::ErrorCode {
            if (const abi::ErrorCode e = CheckOut(call, list)) {
                return e;
            }
            return call.ActiveHost().CurrentDocument() == nullptr ? kNoDocumentError : 0;
        },
        [&](HostCall& call) {
            *list = call.ActiveHost().Artboards().AcquireList();
            call.Out("*list", [&] { return call.Handle(*list); });
        });
}

abi::ErrorCode ReleaseArtboardList(abi::Handle* list) {
    return ServeRelease<abi::artboard::ReleaseArtboardList>(
        SuiteId::Artboard, "ReleaseArtboardList",
        [&](HostCall& call) { call.Arg("list", call.InSlot(list)); },
        [&](HostCall& call) { return CheckOut(call, list); },
        [&](HostCall& call) -> abi::ErrorCode {
            call.ActiveHost().Artboards().ForgetList(*list);
            return call.Release(HandleKind::ArtboardList, *list) ? 0 : kBadHandleError;
        });
}

abi::ErrorCode GetArtboardCount(const abi::Handle* list, std::int32_t* count) {
    Document* document = nullptr;
    return Serve<abi::artboard::GetArtboardCount>(
        SuiteId::Artboard, "GetArtboardCount",
        [&](HostCall& call) {
            call.Arg("list", call.InSlot(list)).Arg("count", HostCall::OutSlot(count));
        },
        [&](HostCall& call) {
            const abi::ErrorCode e = CheckList(call, list, document);
            return e != 0 ? e : CheckOut(call, count);
        },
        [&](HostCall& call) {
            *count = static_cast<std::int32_t>(document->artboards.size());
            call.Out("*count", [&] { return std::to_string(*count); });
        });
}

abi::ErrorCode CheckIndex(const Document& document, std::int32_t index) {
    const bool inRange = index >= 0 && static_cast<std::size_t>(index) < document.artboards.size();
    return inRange ? 0 : kIndexRangeError;
}

abi::ErrorCode UpdateArtboard(abi::Handle* list, std::int32_t index, const abi::Handle* set) {
    Document* document = nullptr;
    AttributeSet* attributes = nullptr;
    return Serve<abi::artboard::UpdateArtboard>(
        SuiteId::Artboard, "UpdateArtboard",
        [&](HostCall& call) {
            call.Arg("list", call.InSlot(list))
                .Arg("index", std::to_string(index))
                .Arg("set", call.InSlot(set));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (const abi::ErrorCode e = CheckList(call, list, document)) {
                return e;
            }
            if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
                return e;
            }
            return CheckIndex(*document, index);
        },
        [&](HostCall& /*call*/) {
            ApplyAttributes(*attributes, document->artboards[static_cast<std::size_t>(index)]);
        });
}

abi::ErrorCode GetArtboardAttributes(const abi::Handle* list, std::int32_t index,
                                     abi::Handle* set) {
    Document* document = nullptr;
    return Serve<abi::artboard::GetArtboardAttributes>(
        SuiteId::Artboard, "GetArtboardAttributes",
        [&](HostCall& call) {
            call.Arg("list", call.InSlot(list))
                .Arg("index", std::to_string(index))
                .Arg("set", HostCall::OutSlot(set));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (const abi::ErrorCode e = CheckList(call, list, document)) {
                return e;
            }
            if (const abi::ErrorCode e = CheckOut(call, set)) {
                return e;
            }
            return CheckIndex(*document, index);
        },
        [&](HostCall& call) {
            *set = call.ActiveHost().Artboards().NewSetOf(
                document->artboards[static_cast<std::size_t>(index)]);
            call.Out("*set", [&] { return call.Handle(*set); });
        });
}

abi::ErrorCode GetRulerOrigin(const abi::Handle* set, OriginPoint* origin) {
    return ServeSet<abi::artboard::GetRulerOrigin>(
        "GetRulerOrigin", set,
        [&](HostCall& call) { call.Arg("origin", HostCall::OutSlot(origin)); },
        [&](HostCall& call) { return CheckOut(call, origin); },
        [&](HostCall& call, const AttributeSet& attributes) {
            *origin = OriginPoint{attributes.rulerOrigin.h, attributes.rulerOrigin.v};
            call.Out("*origin", [&] { return PointText(origin); });
        });
}

abi::ErrorCode SetRulerOrigin(abi::Handle* set, const OriginPoint* origin) {
    return ServeSet<abi::artboard::SetRulerOrigin>(
        "SetRulerOrigin", set, [&](HostCall& call) { call.Arg("origin", PointText(origin)); },
        [&](HostCall& call) { return CheckOut(call, origin); },
        [&](HostCall& /*call*/, AttributeSet& attributes) {
            attributes.rulerOrigin = Point{origin->h, origin->v};
        });
}

}  // namespace

const abi::SuiteTable& ArtboardSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Artboard>();
        Install<abi::artboard::NewAttributes>(t, &hostsim::NewAttributes);
        Install<abi::artboard::CloneAttributes>(t, &hostsim::CloneAttributes);
        Install<abi::artboard::DisposeAttributes>(t, &hostsim::DisposeAttributes);
        Install<abi::artboard::GetBounds>(t, &hostsim::GetBounds);
        Install<abi::artboard::SetBounds>(t, &hostsim::SetBounds);
        Install<abi::artboard::GetPixelAspectRatio>(t, &hostsim::GetPixelAspectRatio);
        Install<abi::artboard::SetPixelAspectRatio>(t, &hostsim::SetPixelAspectRatio);
        Install<abi::artboard::GetName>(t, &hostsim::GetName);
        Install<abi::artboard::SetName>(t, &hostsim::SetName);
        Install<abi::artboard::GetDisplayMark>(t, &hostsim::GetDisplayMark);
        Install<abi::artboard::SetDisplayMark>(t, &hostsim::SetDisplayMark);
        Install<abi::artboard::AcquireArtboardList>(t, &hostsim::AcquireArtboardList);
        Install<abi::artboard::ReleaseArtboardList>(t, &hostsim::ReleaseArtboardList);
        Install<abi::artboard::GetArtboardCount>(t, &hostsim::GetArtboardCount);
        Install<abi::artboard::UpdateArtboard>(t, &hostsim::UpdateArtboard);
        Install<abi::artboard::GetArtboardAttributes>(t, &hostsim::GetArtboardAttributes);
        Install<abi::artboard::GetRulerOrigin>(t, &hostsim::GetRulerOrigin);
        Install<abi::artboard::SetRulerOrigin>(t, &hostsim::SetRulerOrigin);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
