// "AI Artboard Suite" 2 over the current document.
//
// Attribute sets and lists travel as the address of the slot that holds their handle.
// Getting an artboard's attributes, creating and cloning a set write a new handle into the
// slot; whatever handle was there before is overwritten, not disposed. A set is a separate
// host object: only UpdateArtboard changes the document. Dispose accepts a null handle.
#include <cstdio>
#include <string>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

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
        call.noteViolation("null attribute-set slot");
        return kBadParameterError;
    }
    if (!call.live(HandleKind::AttributeSet, *slot)) {
        return kBadHandleError;
    }
    set = call.host().artboards().set(*slot);
    return 0;
}

// 0 when the slot holds a live list, whose document is put in `document`.
abi::ErrorCode CheckList(HostCall& call, const abi::Handle* slot, Document*& document) {
    if (slot == nullptr) {
        call.noteViolation("null list slot");
        return kBadParameterError;
    }
    if (!call.live(HandleKind::ArtboardList, *slot)) {
        return kBadHandleError;
    }
    document = call.host().artboards().listDocument(*slot);
    return 0;
}

abi::ErrorCode CheckOut(HostCall& call, const void* pointer) {
    if (pointer == nullptr) {
        call.noteViolation("null pointer argument");
        return kBadParameterError;
    }
    return 0;
}

bool Faulted(const HostCall& call) {
    return call.fault().kind != Fault::Kind::None;
}

abi::ErrorCode NewAttributes(abi::Handle* set) {
    HostCall call(SuiteId::Artboard, abi::artboard::NewAttributes::number, "NewAttributes");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "NewAttributes");
    }
    call.arg("set", HostCall::outSlot(set));
    if (const abi::ErrorCode e = CheckOut(call, set)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *set = call.host().artboards().newSet(AttributeSet{}, "new set");
    call.out("*set", call.handle(*set));
    return call.finish(0);
}

abi::ErrorCode CloneAttributes(abi::Handle* target, const abi::Handle* source) {
    HostCall call(SuiteId::Artboard, abi::artboard::CloneAttributes::number, "CloneAttributes");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "CloneAttributes");
    }
    call.arg("target", HostCall::outSlot(target)).arg("source", call.inSlot(source));
    AttributeSet* from = nullptr;
    if (const abi::ErrorCode e = CheckOut(call, target)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckSet(call, source, from)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    const std::string origin = call.handle(*source);
    *target = call.host().artboards().newSet(*from, "clone of " + origin);
    call.out("*target", call.handle(*target));
    return call.finish(0);
}

abi::ErrorCode DisposeAttributes(abi::Handle* set) {
    HostCall call(SuiteId::Artboard, abi::artboard::DisposeAttributes::number, "DisposeAttributes");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "DisposeAttributes");
    }
    call.arg("set", call.inSlot(set));
    if (const abi::ErrorCode e = CheckOut(call, set)) {
        return call.finish(e);
    }
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    if (*set != nullptr) {
        if (!call.release(HandleKind::AttributeSet, *set)) {
            return call.finish(kBadHandleError);
        }
        call.host().artboards().forgetSet(*set);
    }
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
}

abi::ErrorCode GetBounds(const abi::Handle* set, BoundsRect* bounds) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetBounds::number, "GetBounds");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetBounds");
    }
    call.arg("set", call.inSlot(set)).arg("bounds", HostCall::outSlot(bounds));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, bounds)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    const Rect& r = attributes->bounds;
    *bounds = BoundsRect{r.left, r.top, r.right, r.bottom};
    call.out("*bounds", RectText(bounds));
    return call.finish(0);
}

abi::ErrorCode SetBounds(abi::Handle* set, const BoundsRect* bounds) {
    HostCall call(SuiteId::Artboard, abi::artboard::SetBounds::number, "SetBounds");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "SetBounds");
    }
    call.arg("set", call.inSlot(set)).arg("bounds", RectText(bounds));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, bounds)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    attributes->bounds = Rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
    return call.finish(0);
}

abi::ErrorCode GetPixelAspectRatio(const abi::Handle* set, float* ratio) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetPixelAspectRatio::number,
                  "GetPixelAspectRatio");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetPixelAspectRatio");
    }
    call.arg("set", call.inSlot(set)).arg("ratio", HostCall::outSlot(ratio));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, ratio)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *ratio = attributes->pixelAspectRatio;
    call.out("*ratio", Number(*ratio));
    return call.finish(0);
}

abi::ErrorCode SetPixelAspectRatio(abi::Handle* set, float ratio) {
    HostCall call(SuiteId::Artboard, abi::artboard::SetPixelAspectRatio::number,
                  "SetPixelAspectRatio");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "SetPixelAspectRatio");
    }
    call.arg("set", call.inSlot(set)).arg("ratio", Number(ratio));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    attributes->pixelAspectRatio = ratio;
    return call.finish(0);
}

abi::ErrorCode GetName(const abi::Handle* set, abi::Handle* name) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetName::number, "GetName");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetName");
    }
    call.arg("set", call.inSlot(set)).arg("name", HostCall::outSlot(name));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, name)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *name = call.host().strings().create(attributes->name);
    call.out("*name", call.handle(*name) + " " + HostCall::text(attributes->name.c_str()));
    return call.finish(0);
}

abi::ErrorCode SetName(abi::Handle* set, const abi::Handle* name) {
    HostCall call(SuiteId::Artboard, abi::artboard::SetName::number, "SetName");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "SetName");
    }
    call.arg("set", call.inSlot(set)).arg("name", call.inSlot(name));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, name)) {
        return call.finish(e);
    }
    if (!call.live(HandleKind::String, *name)) {
        return call.finish(kBadHandleError);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    attributes->name = *call.host().strings().text(*name);
    return call.finish(0);
}

abi::ErrorCode GetDisplayMark(const abi::Handle* set, std::int32_t kind, std::int32_t* value) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetDisplayMark::number, "GetDisplayMark");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetDisplayMark");
    }
    call.arg("set", call.inSlot(set))
        .arg("kind", std::to_string(kind))
        .arg("value", HostCall::outSlot(value));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, value)) {
        return call.finish(e);
    }
    if (kind < 0) {
        return call.violation(kBadParameterError, "negative display-mark kind");
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *value = attributes->displayMarks.count(kind) != 0 ? 1 : 0;
    call.out("*value", std::to_string(*value));
    return call.finish(0);
}

abi::ErrorCode SetDisplayMark(abi::Handle* set, std::int32_t kind, std::int32_t value) {
    HostCall call(SuiteId::Artboard, abi::artboard::SetDisplayMark::number, "SetDisplayMark");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "SetDisplayMark");
    }
    call.arg("set", call.inSlot(set))
        .arg("kind", std::to_string(kind))
        .arg("value", std::to_string(value));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (kind < 0) {
        return call.violation(kBadParameterError, "negative display-mark kind");
    }
    if (value != 0 && value != 1) {
        return call.violation(kBadParameterError, "display-mark value is neither 0 nor 1");
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    if (value == 1) {
        attributes->displayMarks.insert(kind);
    } else {
        attributes->displayMarks.erase(kind);
    }
    return call.finish(0);
}

abi::ErrorCode AcquireArtboardList(abi::Handle* list) {
    HostCall call(SuiteId::Artboard, abi::artboard::AcquireArtboardList::number,
                  "AcquireArtboardList");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "AcquireArtboardList");
    }
    call.arg("list", HostCall::outSlot(list));
    if (const abi::ErrorCode e = CheckOut(call, list)) {
        return call.finish(e);
    }
    if (call.host().document() == nullptr) {
        return call.finish(kNoDocumentError);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *list = call.host().artboards().acquireList();
    call.out("*list", call.handle(*list));
    return call.finish(0);
}

abi::ErrorCode ReleaseArtboardList(abi::Handle* list) {
    HostCall call(SuiteId::Artboard, abi::artboard::ReleaseArtboardList::number,
                  "ReleaseArtboardList");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "ReleaseArtboardList");
    }
    call.arg("list", call.inSlot(list));
    if (const abi::ErrorCode e = CheckOut(call, list)) {
        return call.finish(e);
    }
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    if (!call.release(HandleKind::ArtboardList, *list)) {
        return call.finish(kBadHandleError);
    }
    call.host().artboards().forgetList(*list);
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
}

abi::ErrorCode GetArtboardCount(const abi::Handle* list, std::int32_t* count) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetArtboardCount::number, "GetArtboardCount");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetArtboardCount");
    }
    call.arg("list", call.inSlot(list)).arg("count", HostCall::outSlot(count));
    Document* document = nullptr;
    if (const abi::ErrorCode e = CheckList(call, list, document)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, count)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *count = static_cast<std::int32_t>(document->artboards.size());
    call.out("*count", std::to_string(*count));
    return call.finish(0);
}

bool InRange(const Document& document, std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < document.artboards.size();
}

abi::ErrorCode UpdateArtboard(abi::Handle* list, std::int32_t index, const abi::Handle* set) {
    HostCall call(SuiteId::Artboard, abi::artboard::UpdateArtboard::number, "UpdateArtboard");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "UpdateArtboard");
    }
    call.arg("list", call.inSlot(list))
        .arg("index", std::to_string(index))
        .arg("set", call.inSlot(set));
    Document* document = nullptr;
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckList(call, list, document)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (!InRange(*document, index)) {
        return call.finish(kIndexRangeError);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    ApplyAttributes(*attributes, document->artboards[static_cast<std::size_t>(index)]);
    return call.finish(0);
}

abi::ErrorCode GetArtboardAttributes(const abi::Handle* list, std::int32_t index,
                                     abi::Handle* set) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetArtboardAttributes::number,
                  "GetArtboardAttributes");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetArtboardAttributes");
    }
    call.arg("list", call.inSlot(list))
        .arg("index", std::to_string(index))
        .arg("set", HostCall::outSlot(set));
    Document* document = nullptr;
    if (const abi::ErrorCode e = CheckList(call, list, document)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, set)) {
        return call.finish(e);
    }
    if (!InRange(*document, index)) {
        return call.finish(kIndexRangeError);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    const Artboard& artboard = document->artboards[static_cast<std::size_t>(index)];
    *set = call.host().artboards().newSet(
        AttributesOf(artboard), "artboard " + std::to_string(index) + " \"" + artboard.name + "\"");
    call.out("*set", call.handle(*set));
    return call.finish(0);
}

abi::ErrorCode GetRulerOrigin(const abi::Handle* set, OriginPoint* origin) {
    HostCall call(SuiteId::Artboard, abi::artboard::GetRulerOrigin::number, "GetRulerOrigin");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "GetRulerOrigin");
    }
    call.arg("set", call.inSlot(set)).arg("origin", HostCall::outSlot(origin));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, origin)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    *origin = OriginPoint{attributes->rulerOrigin.h, attributes->rulerOrigin.v};
    call.out("*origin", PointText(origin));
    return call.finish(0);
}

abi::ErrorCode SetRulerOrigin(abi::Handle* set, const OriginPoint* origin) {
    HostCall call(SuiteId::Artboard, abi::artboard::SetRulerOrigin::number, "SetRulerOrigin");
    if (!call) {
        return NoActiveHost("AI Artboard Suite", "SetRulerOrigin");
    }
    call.arg("set", call.inSlot(set)).arg("origin", PointText(origin));
    AttributeSet* attributes = nullptr;
    if (const abi::ErrorCode e = CheckSet(call, set, attributes)) {
        return call.finish(e);
    }
    if (const abi::ErrorCode e = CheckOut(call, origin)) {
        return call.finish(e);
    }
    if (Faulted(call)) {
        return call.finishWithFault();
    }
    attributes->rulerOrigin = Point{origin->h, origin->v};
    return call.finish(0);
}

}  // namespace

const abi::SuiteTable& ArtboardSuiteTable() {
    static const abi::SuiteTable table = [] {
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
    return table;
}

}  // namespace hostsim
