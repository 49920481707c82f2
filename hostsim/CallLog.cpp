#include "hostsim/CallLog.h"

#include "hostsim/HostCodes.h"

namespace hostsim {

std::string CallRecord::Argument(std::string_view name) const {
    for (const auto& [key, value] : arguments) {
        if (key == name) {
            return value;
        }
    }
    return {};
}

std::string CallRecord::Text() const {
    if (kind == Kind::Message) {
        return "message " + suite + " / " + operation + " -> " + CodeText(result);
    }
    std::string line =
        std::to_string(number) + " " + suite + " #" + std::to_string(entry) + " " + operation + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        line += (i == 0 ? "" : ", ") + arguments[i].first + "=" + arguments[i].second;
    }
    line += ") -> " + CodeText(result);
    if (!outputs.empty()) {
        line += " [";
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            line += (i == 0 ? "" : ", ") + outputs[i].first + "=" + outputs[i].second;
        }
        line += "]";
    }
    if (fault == Fault::InjectedFailure) {
        line += " (injected failure)";
    } else if (fault == Fault::AnsweredWithoutWriting) {
        line += " (injected: answered without writing)";
    }
    if (!violation.empty()) {
        line += " VIOLATION: " + violation;
    }
    return line;
}

std::size_t CallLog::BeginHostCall(std::string suite, int entry, std::string operation) {
    CallRecord record;
    record.kind = CallRecord::Kind::HostCall;
    record.number = ++hostCallCount_;
    record.suite = std::move(suite);
    record.entry = entry;
    record.operation = std::move(operation);
    records_.push_back(std::move(record));
    return records_.size() - 1;
}

std::size_t CallLog::BeginMessage(std::string caller, std::string selector) {
    CallRecord record;
    record.kind = CallRecord::Kind::Message;
    record.suite = std::move(caller);
    record.operation = std::move(selector);
    records_.push_back(std::move(record));
    return records_.size() - 1;
}

std::vector<CallRecord> CallLog::HostCalls() const {
    std::vector<CallRecord> calls;
    for (const CallRecord& record : records_) {
        if (record.kind == CallRecord::Kind::HostCall) {
            calls.push_back(record);
        }
    }
    return calls;
}

std::string CallLog::Text() const {
    std::string text;
    for (const CallRecord& record : records_) {
        text += record.Text() + "\n";
    }
    return text;
}

}  // namespace hostsim
