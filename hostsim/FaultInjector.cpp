#include "hostsim/FaultInjector.h"

#include <stdexcept>

namespace hostsim {

void FaultInjector::FailCall(int k, abi::ErrorCode code) {
    if (k < 1) {
        throw std::invalid_argument("failCall: k counts from 1");
    }
    Rule rule;
    rule.callNumber = callsSeen_ + static_cast<std::uint64_t>(k);
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = 1;
    rules_.push_back(std::move(rule));
}

void FaultInjector::FailOperation(SuiteId suite, int entry, abi::ErrorCode code, int times) {
    Rule rule;
    rule.suite = suite;
    rule.entry = entry;
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

void FaultInjector::FailAcquisition(std::string name, abi::ErrorCode code, int times) {
    Rule rule;
    rule.suite = SuiteId::Basic;
    rule.entry = abi::basic::AcquireSuite::number;
    rule.subject = std::move(name);
    rule.fault = {Fault::Kind::Fail, code};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

void FaultInjector::AnswerWithoutWriting(SuiteId suite, int entry, int times) {
    Rule rule;
    rule.suite = suite;
    rule.entry = entry;
    rule.fault = {Fault::Kind::AnswerWithoutWriting, 0};
    rule.remaining = times;
    rules_.push_back(std::move(rule));
}

Fault FaultInjector::Decide(SuiteId suite, int entry, std::string_view subject) {
    const std::uint64_t number = ++callsSeen_;
    for (Rule& rule : rules_) {
        if (rule.remaining == 0) {
            continue;
        }
        if (rule.callNumber && *rule.callNumber != number) {
            continue;
        }
        if (rule.suite && (*rule.suite != suite || rule.entry != entry)) {
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
