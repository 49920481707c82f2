#include "hostsim/suites/HostCall.h"

#include <cstdio>

namespace hostsim {

HostCall& HostCall::Arg(const char* name, std::string value) {
    if (record_ != nullptr) {
        record_->arguments.emplace_back(name, std::move(value));
    }
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

bool HostCall::LiveOrViolation(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->Ledger().Problems().size();
    return LedgerAgreed(host_->Ledger().Use(kind, value, operation_), before, "bad handle");
}

abi::ErrorCode HostCall::CheckLive(HandleKind kind, abi::Handle value) {
    return Live(kind, value) ? 0 : kBadHandleError;
}

bool HostCall::ReleaseOrViolation(HandleKind kind, abi::Handle value) {
    const std::size_t before = host_->Ledger().Problems().size();
    return LedgerAgreed(host_->Ledger().Release(kind, value, operation_), before, "bad handle");
}

bool HostCall::ReleaseSuite(std::string_view name, std::int32_t version) {
    const std::size_t before = host_->Ledger().Problems().size();
    return LedgerAgreed(host_->Ledger().ReleaseSuite(name, version, operation_), before,
                        "suite not held");
}

bool HostCall::LedgerAgreed(bool agreed, std::size_t problemsBefore, std::string_view otherwise) {
    if (agreed) {
        return true;
    }
    const auto& problems = host_->Ledger().Problems();
    RecordViolation(problems.size() > problemsBefore ? std::string_view(problems.back().text)
                                                     : otherwise);
    return false;
}

void HostCall::RecordViolation(std::string_view what) {
    std::string text = InfoOf(suite_).name;
    text += " #" + std::to_string(entry_) + " " + operation_ + ": ";
    text += what;
    host_->RecordViolation(std::move(text));
    if (record_ != nullptr) {
        record_->violation += record_->violation.empty() ? "" : "; ";
        record_->violation += what;
    }
}

abi::ErrorCode HostCall::FinishWithFault() {
    if (record_ != nullptr) {
        record_->fault = fault_.Fails() ? CallRecord::Fault::InjectedFailure
                                        : CallRecord::Fault::AnsweredWithoutWriting;
    }
    return Finish(fault_.Fails() ? fault_.code : 0);
}

abi::ErrorCode NoActiveHost(const char* suite, const char* operation) {
    std::fprintf(stderr, "stand-in host: %s %s called while no host is active\n", suite, operation);
    return kNoActiveHostError;
}

}  // namespace hostsim
