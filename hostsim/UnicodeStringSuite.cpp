// "AI Unicode String Suite" 7: strings the host owns, passed as the address of the slot that
// holds their handle. Encoding selector 0 means the bytes are this host's own text (UTF-8,
// of which ASCII is part); any other selector is refused.
#include <string>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode Initialize(abi::Handle* str, const char* bytes, std::int32_t byteCount,
                          std::int32_t encoding) {
    HostCall call(SuiteId::UnicodeString, abi::strings::Initialize::number, "Initialize");
    if (!call) {
        return NoActiveHost("AI Unicode String Suite", "Initialize");
    }
    call.arg("str", HostCall::outSlot(str))
        .arg("bytes", HostCall::bytes(bytes, byteCount))
        .arg("byteCount", std::to_string(byteCount))
        .arg("encoding", std::to_string(encoding));
    if (str == nullptr) {
        return call.violation(kBadParameterError, "null string slot");
    }
    if (byteCount < 0 || (bytes == nullptr && byteCount > 0)) {
        return call.violation(kBadParameterError, "byte count does not match the bytes");
    }
    if (encoding != 0) {
        return call.finish(kEncodingError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    std::string text =
        bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(byteCount));
    *str = call.host().strings().create(std::move(text));
    call.out("*str", call.handle(*str));
    return call.finish(0);
}

abi::ErrorCode Destroy(abi::Handle* str) {
    HostCall call(SuiteId::UnicodeString, abi::strings::Destroy::number, "Destroy");
    if (!call) {
        return NoActiveHost("AI Unicode String Suite", "Destroy");
    }
    call.arg("str", call.inSlot(str));
    if (str == nullptr) {
        return call.violation(kBadParameterError, "null string slot");
    }
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    if (!call.release(HandleKind::String, *str)) {
        return call.finish(kBadHandleError);
    }
    call.host().strings().forget(*str);
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
}

// Append and Copy: the source slot must hold a live string; they may be the same slot. The
// target may also be an empty wrapper (a null handle): the host then makes a new string there,
// owned by the caller, as an empty string filled by assignment expects.
abi::ErrorCode Combine(const char* operation, int entry, abi::Handle* target,
                       const abi::Handle* source, bool append) {
    HostCall call(SuiteId::UnicodeString, entry, operation);
    if (!call) {
        return NoActiveHost("AI Unicode String Suite", operation);
    }
    call.arg("target", target != nullptr && *target == nullptr ? HostCall::outSlot(target)
                                                               : call.inSlot(target))
        .arg("source", call.inSlot(source));
    if (target == nullptr || source == nullptr) {
        return call.violation(kBadParameterError, "null string slot");
    }
    const bool targetEmpty = *target == nullptr;
    if ((!targetEmpty && !call.live(HandleKind::String, *target)) ||
        !call.live(HandleKind::String, *source)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    const std::string sourceText = *call.host().strings().text(*source);
    if (targetEmpty) {
        *target = call.host().strings().create(sourceText);
        call.out("*target", call.handle(*target));
        return call.finish(0);
    }
    std::string& targetText = *call.host().strings().mutableText(*target);
    targetText = append ? targetText + sourceText : sourceText;
    return call.finish(0);
}

abi::ErrorCode Append(abi::Handle* target, const abi::Handle* source) {
    return Combine("Append", abi::strings::Append::number, target, source, true);
}

abi::ErrorCode Copy(abi::Handle* target, const abi::Handle* source) {
    return Combine("Copy", abi::strings::Copy::number, target, source, false);
}

}  // namespace

const abi::SuiteTable& UnicodeStringSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::UnicodeString>();
        Install<abi::strings::Initialize>(t, &Initialize);
        Install<abi::strings::Destroy>(t, &Destroy);
        Install<abi::strings::Append>(t, &Append);
        Install<abi::strings::Copy>(t, &Copy);
        return t;
    }();
    return table;
}

}  // namespace hostsim
