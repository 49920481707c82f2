// "AI Unicode String Suite" 7: strings the host owns, passed as the address of the slot that
// holds their handle. Encoding selector 0 means the bytes are this host's own text (UTF-8,
// of which ASCII is part); any other selector is refused.
#include <string>

#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode Initialize(abi::Handle* str, const char* bytes, std::int32_t byteCount,
                          std::int32_t encoding) {
    return Serve<abi::strings::Initialize>(
        SuiteId::UnicodeString, "Initialize",
        [&](HostCall& call) {
            call.Arg("str", HostCall::OutSlot(str))
                .Arg("bytes", HostCall::Bytes(bytes, byteCount))
                .Arg("byteCount", std::to_string(byteCount))
                .Arg("encoding", std::to_string(encoding));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (str == nullptr) {
                return call.Violation(kBadParameterError, "null string slot");
            }
            if (byteCount < 0 || (bytes == nullptr && byteCount > 0)) {
                return call.Violation(kBadParameterError, "byte count does not match the bytes");
            }
            return encoding != 0 ? kEncodingError : 0;
        },
        [&](HostCall& call) {
            const std::string_view text =
                bytes == nullptr ? std::string_view()
                                 : std::string_view(bytes, static_cast<std::size_t>(byteCount));
            *str = call.ActiveHost().Strings().Create(text);
            call.Out("*str", [&] { return call.Handle(*str); });
        });
}

abi::ErrorCode Destroy(abi::Handle* str) {
    return ServeRelease<abi::strings::Destroy>(
        SuiteId::UnicodeString, "Destroy",
        [&](HostCall& call) { call.Arg("str", call.InSlot(str)); },
        [&](HostCall& call) {
            return str == nullptr ? call.Violation(kBadParameterError, "null string slot") : 0;
        },
        [&](HostCall& call) {
            return call.Release(HandleKind::String, *str) ? 0 : kBadHandleError;
        });
}

// Append and Copy: the source slot must hold a live string; they may be the same slot. The
// target may also be an empty wrapper (a null handle): the host then makes a new string there,
// owned by the caller, as an empty string filled by assignment expects.
template <typename E>
abi::ErrorCode Combine(const char* operation, abi::Handle* target, const abi::Handle* source,
                       bool append) {
    const bool targetEmpty = target != nullptr && *target == nullptr;
    return Serve<E>(
        SuiteId::UnicodeString, operation,
        [&](HostCall& call) {
            call.Arg("target", targetEmpty ? HostCall::OutSlot(target) : call.InSlot(target))
                .Arg("source", call.InSlot(source));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (target == nullptr || source == nullptr) {
                return call.Violation(kBadParameterError, "null string slot");
            }
            if ((!targetEmpty && !call.Live(HandleKind::String, *target)) ||
                !call.Live(HandleKind::String, *source)) {
                return kBadHandleError;
            }
            return 0;
        },
        [&](HostCall& call) {
            // Copied first: the source may be the target, or reused by a string made here.
            const std::string sourceText = *call.ActiveHost().Strings().Text(*source);
            if (targetEmpty) {
                *target = call.ActiveHost().Strings().Create(sourceText);
                call.Out("*target", [&] { return call.Handle(*target); });
                return;
            }
            std::string& targetText = *call.ActiveHost().Strings().MutableText(*target);
            if (append) {
                targetText += sourceText;
            } else {
                targetText = sourceText;
            }
        });
}

abi::ErrorCode Append(abi::Handle* target, const abi::Handle* source) {
    return Combine<abi::strings::Append>("Append", target, source, true);
}

abi::ErrorCode Copy(abi::Handle* target, const abi::Handle* source) {
    return Combine<abi::strings::Copy>("Copy", target, source, false);
}

}  // namespace

const abi::SuiteTable& UnicodeStringSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::UnicodeString>();
        Install<abi::strings::Initialize>(t, &Initialize);
        Install<abi::strings::Destroy>(t, &Destroy);
        Install<abi::strings::Append>(t, &Append);
        Install<abi::strings::Copy>(t, &Copy);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
