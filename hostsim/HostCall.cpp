#include "hostsim/HostCall.h"

#include <cstdio>

namespace hostsim {

HostCall::HostCall(SuiteId suite, int entry, const char* operation, std::string_view subject)
    : host_(Host::active()) {
    if (host_ == nullptr) {
        return;
    }
    position_ = host_->calls().beginHostCall(InfoOf(suite).name, entry, operation);
    fault_ = host_->faults().decide(suite, entry, subject);
}

HostCall& HostCall::arg(const char* name, std::string value) {
    record().arguments.emplace_back(name, std::move(value));
    return *this;
}

HostCall& HostCall::out(const char* name, std::string value) {
    record().outputs.emplace_back(name, std::move(value));
    return *this;
}

std::string HostCall::handle(abi::Handle value) const {
    return host_->ledger().describe(value);
}

std::string HostCall::inSlot(const abi::Handle* slot) const {
    if (slot == nullptr) {
        return "null slot";
    }
    std::string text = "&";
    text += handle(*slot);
    return text;
}

std::string HostCall::outSlot(const void* slot) {
    return slot == nullptr ? "null slot" : "&slot";
}

std::string HostCall::bytes(const char* value, std::int32_t count) {
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

std::string HostCall::text(const char* value) {
    if (value == nullptr) {
        return "null";
    }
    return bytes(value, static_cast<std::int32_t>(std::char_traits<char>::length(value)));
}

bool HostCall::live(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->ledger().problems().size();
    return ledgerAgreed(host_->ledger().use(kind, value, record().operation), before);
}

abi::ErrorCode HostCall::checkLive(HandleKind kind, abi::Handle value) {
    return live(kind, value) ? 0 : kBadHandleError;
}

bool HostCall::release(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->ledger().problems().size();
    return ledgerAgreed(host_->ledger().release(kind, value, record().operation), before);
}

bool HostCall::ledgerAgreed(bool agreed, std::size_t problemsBefore) {
    if (agreed) {
        return true;
    }
    noteViolation(host_->ledger().problems().size() > problemsBefore
                      ? host_->ledger().problems().back().text
                      : std::string("bad handle"));
    return false;
}

void HostCall::noteViolation(const std::string& what) {
    CallRecord& call = record();
    host_->recordViolation(call.suite + " #" + std::to_string(call.entry) + " " + call.operation +
                           ": " + what);
    call.violation += (call.violation.empty() ? "" : "; ") + what;
}

abi::ErrorCode HostCall::violation(abi::ErrorCode code, const std::string& what) {
    noteViolation(what);
    return finish(code);
}

abi::ErrorCode HostCall::finishWithFault() {
    if (fault_.fails()) {
        record().fault = CallRecord::Fault::InjectedFailure;
        return finish(fault_.code);
    }
    record().fault = CallRecord::Fault::AnsweredWithoutWriting;
    return finish(0);
}

abi::ErrorCode HostCall::finish(abi::ErrorCode code) {
    record().result = code;
    return code;
}

abi::ErrorCode NoActiveHost(const char* suite, const char* operation) {
    std::fprintf(stderr, "stand-in host: %s %s called while no host is active\n", suite, operation);
    return kNoActiveHostError;
}

}  // namespace hostsim
