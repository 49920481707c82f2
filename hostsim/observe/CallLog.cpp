#include "hostsim/observe/CallLog.h"

#include <stdexcept>

#include "hostsim/abi/HostCodes.h"

namespace hostsim {
namespace {

// Readies `record` for reuse: its strings and lists keep their storage.
void Reset(CallRecord& record) {
    record.arguments.clear();
    record.outputs.clear();
    record.result = 0;
    record.fault = CallRecord::Fault::None;
    record.violation.clear();
}

}  // namespace

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

std::int64_t CallLog::CountOf(SuiteId suite, int entry) const {
    if (entry < 1 || entry > abi::kSuiteSlots) {
        return 0;
    }
    return perEntry_[static_cast<std::size_t>(suite)][static_cast<std::size_t>(entry - 1)];
}

CallRecord* CallLog::BeginRecord(std::int64_t number, SuiteId suite, int entry,
                                 const char* operation) {
    CallRecord* record = &streamed_;
    if (keep_) {
        record = &records_.emplace_back();
    } else {
        Reset(streamed_);
    }
    record->kind = CallRecord::Kind::HostCall;
    record->number = number;
    record->suite = InfoOf(suite).name;
    record->entry = entry;
    record->operation = operation;
    return record;
}

void CallLog::EndHostCall(const CallRecord& record) {
    if (stream_ != nullptr) {
        *stream_ << record.Text() << '\n';
    }
}

void CallLog::BeginMessage(const std::string& caller, const std::string& selector) {
    messageKept_ = keep_;
    if (keep_) {
        CallRecord& record = records_.emplace_back();
        record.kind = CallRecord::Kind::Message;
        record.suite = caller;
        record.operation = selector;
        message_ = records_.size() - 1;
    }
    messageStreamed_ = stream_ != nullptr;
    if (messageStreamed_) {
        streamedMessage_.kind = CallRecord::Kind::Message;
        streamedMessage_.suite = caller;
        streamedMessage_.operation = selector;
        *stream_ << "message " << caller << " / " << selector << '\n';
    }
}

void CallLog::EndMessage(abi::ErrorCode result) {
    // The log may have been cleared while the message ran; then there is nothing to finish.
    if (messageKept_ && message_ < records_.size() &&
        records_[message_].kind == CallRecord::Kind::Message) {
        records_[message_].result = result;
    }
    messageKept_ = false;
    if (messageStreamed_ && stream_ != nullptr) {
        streamedMessage_.result = result;
        *stream_ << streamedMessage_.Text() << '\n';
    }
    messageStreamed_ = false;
}

const std::vector<CallRecord>& CallLog::Records() const {
    if (!everKept_) {
        throw std::logic_error(
            "the call log was never enabled: call host.Calls().Enable() before the calls");
    }
    return records_;
}

std::vector<CallRecord> CallLog::HostCalls() const {
    std::vector<CallRecord> calls;
    for (const CallRecord& record : Records()) {
        if (record.kind == CallRecord::Kind::HostCall) {
            calls.push_back(record);
        }
    }
    return calls;
}

std::string CallLog::Text() const {
    if (!everKept_) {
        return "(the call log is off; host.Calls().Enable() keeps it)\n";
    }
    std::string text;
    for (const CallRecord& record : records_) {
        text += record.Text() + "\n";
    }
    return text;
}

}  // namespace hostsim
