#include "hostsim/observe/FaultInjector.h"

#include <stdexcept>

namespace hostsim {

std::uint64_t FaultInjector::CallFromNow(int k, const char* rule) const {
    if (k < 1) {
        throw std::invalid_argument(std::string(rule) + ": k counts from 1");
    }
    return callsSeen_ + static_cast<std::uint64_t>(k);
}

void FaultInjector::FailCall(int k, abi::ErrorCode code) {
    Rule rule;
    rule.callNumber = CallFromNow(k, "FailCall");
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = 1;
    rules_.push_back(std::move(rule));
}

void FaultInjector::AnswerCallWithoutWriting(int k) {
    Rule rule;
    rule.callNumber = CallFromNow(k, "AnswerCallWithoutWriting");
    rule.fault = {Fault::Kind::AnswerWithoutWriting, 0};
    rule.remaining = 1;
    rules_.push_back(std::move(rule));
}

void FaultInjector::FailEveryCallFrom(int k, abi::ErrorCode code) {
    Rule rule;
    rule.callNumber = CallFromNow(k, "FailEveryCallFrom");
    rule.andEveryLater = true;
    rule.fault = {Fault::Kind::Fail, code};
    rules_.push_back(std::move(rule));
}

void FaultInjector::FailOperation(abi::EntryId entry, abi::ErrorCode code, int times) {
    Rule rule;
    rule.entry = entry;
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

void FaultInjector::FailAcquisition(std::string name, abi::ErrorCode code, int times) {
    Rule rule;
    rule.entry = abi::basic::AcquireSuite::id;
    rule.subject = std::move(name);
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

void FaultInjector::AnswerWithoutWriting(abi::EntryId entry, int times) {
    Rule rule;
    rule.entry = entry;
    rule.fault = {Fault::Kind::AnswerWithoutWriting, 0};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

Fault FaultInjector::DecideByRules(SuiteId suite, int entry, std::string_view subject) {
    const std::uint64_t number = ++callsSeen_;
    for (Rule& rule : rules_) {
        if (rule.remaining == 0) {
            continue;
        }
        if (rule.callNumber &&
            (rule.andEveryLater ? number < *rule.callNumber : number != *rule.callNumber)) {
            continue;
        }
        if (rule.entry && *rule.entry != abi::EntryId{suite, entry}) {
            continue;
        }
        if (rule.subject && *rule.subject != subject) {
            continue;
        }
        if (rule.remaining > 0) {
            --rule.remaining;
        }
        return rule.fault;
    }
    return {};
}

}  // namespace hostsim
