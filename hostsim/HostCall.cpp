#include "hostsim/HostCall.h"

#include <cstdio>

namespace hostsim {

HostCall::HostCall(SuiteId suite, int entry, const char* operation, std::string_view subject)
    : host_(Host::Active()) {
    if (host_ == nullptr) {
        return;
    }
    position_ = host_->Calls().BeginHostCall(InfoOf(suite).name, entry, operation);
    fault_ = host_->Faults().Decide(suite, entry, subject);
}

HostCall& HostCall::Arg(const char* name, std::string value) {
    CurrentRecord().arguments.emplace_back(name, std::move(value));
    return *this;
}

HostCall& HostCall::Out(const char* name, std::string value) {
    CurrentRecord().outputs.emplace_back(name, std::move(value));
    return *this;
}

std::string HostCall::Handle(abi::Handle value) const {
    return host_->Ledger().Describe(value);
}

std::string HostCall::InSlot(const abi::Handle* slot) const {
    if (slot == nullptr) {
        return "null slot";
    }
    std::string text = "&";
    text += Handle(*slot);
    return text;
}

std::string HostCall::OutSlot(const void* slot) {
    return slot == nullptr ? "null slot" : "&slot";
}

std::string HostCall::Bytes(const char* value, std::int32_t count) {
    if (value == nullptr) {
        return "null";
    }
    std::string quoted = "\"";
    for (std::int32_t i = 0; i < count && i < 200; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '\n') {
            quoted += "\\n";
        } else if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    if (count > 200) {
        quoted += "...";
    }
    return quoted + "\"";
}

std::string HostCall::Text(const char* value) {
    if (value == nullptr) {
        return "null";
    }
    return Bytes(value, static_cast<std::int32_t>(std::char_traits<char>::length(value)));
}

bool HostCall::Live(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->Ledger().Problems().size();
    return LedgerAgreed(host_->Ledger().Use(kind, value, CurrentRecord().operation), before);
}

abi::ErrorCode HostCall::CheckLive(HandleKind kind, abi::Handle value) {
    return Live(kind, value) ? 0 : kBadHandleError;
}

bool HostCall::Release(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->Ledger().Problems().size();
    return LedgerAgreed(host_->Ledger().Release(kind, value, CurrentRecord().operation), before);
}

bool HostCall::LedgerAgreed(bool agreed, std::size_t problemsBefore) {
    if (agreed) {
        return true;
    }
    NoteViolation(host_->Ledger().Problems().size() > problemsBefore
                      ? host_->Ledger().Problems().back().text
                      : std::string("bad handle"));
    return false;
}

void HostCall::NoteViolation(const std::string& what) {
    CallRecord& call = CurrentRecord();
    host_->RecordViolation(call.suite + " #" + std::to_string(call.entry) + " " + call.operation +
                           ": " + what);
    call.violation += (call.violation.empty() ? "" : "; ") + what;
}

abi::ErrorCode HostCall::Violation(abi::ErrorCode code, const std::string& what) {
    NoteViolation(what);
    return Finish(code);
}

abi::ErrorCode HostCall::FinishWithFault() {
    if (fault_.Fails()) {
        CurrentRecord().fault = CallRecord::Fault::InjectedFailure;
        return Finish(fault_.code);
    }
    CurrentRecord().fault = CallRecord::Fault::AnsweredWithoutWriting;
    return Finish(0);
}

abi::ErrorCode HostCall::Finish(abi::ErrorCode code) {
    CurrentRecord().result = code;
    return code;
}

abi::ErrorCode NoActiveHost(const char* suite, const char* operation) {
    std::fprintf(stderr, "stand-in host: %s %s called while no host is active\n", suite, operation);
    return kNoActiveHostError;
}

}  // namespace hostsim
