#include "hostsim/tool/cli/OptionChecks.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "hostsim/tool/cli/Console.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool::cli {

CLI::Validator FileValue(StandardOutput standardOutput) {
    return CLI::Validator(
        [standardOutput](const std::string& value) -> std::string {
            if (value.empty()) {
                return "an empty name names no file";
            }
            if (value == kStandardOutput && standardOutput == StandardOutput::Refused) {
                return "- (standard input or output) is not accepted here; give a file";
            }
            return "";
        },
        "FILE");
}

std::string CheckTolerance(const std::string& text) {
    const auto value = ParseDecimal(text);
    if (!value && !text.empty() && text.find_first_not_of("0123456789.+-eE") == std::string::npos) {
        char* end = nullptr;
        errno = 0;
        const double magnitude = std::strtod(text.c_str(), &end);
        if (errno == ERANGE && end == text.c_str() + text.size() && std::fabs(magnitude) < 1) {
            return "the tolerance \"" + Printable(text) +
                   "\" is too close to 0 to be told from it (the smallest above 0 is "
                   "4.9e-324); give 0 or a larger number";
        }
    }
    if (!value || *value < 0) {
        return "the tolerance must be a number of document units, 0 or more, not \"" +
               Printable(text) + "\"";
    }
    return {};
}

CLI::Validator TimeLimitValue() {
    return CLI::Validator(
        [](const std::string& value) -> std::string {
            // The number text of every document (FloatText.h); no sign '+', as before.
            const auto seconds = value.starts_with('+') ? std::nullopt : ParseDecimal(value);
            if (!seconds || !(*seconds >= kMinTimeLimit) || !(*seconds <= kMaxTimeLimit)) {
                return "must be a number of seconds from 0.001 to 86400 (a day), not " +
                       Printable(value);
            }
            return "";
        },
        "SECONDS");
}

CLI::Validator SeedValue() {
    return CLI::Validator(
        [](const std::string& value) -> std::string {
            std::uint64_t seed = 0;
            const char* end = value.data() + value.size();
            const auto [stop, error] = std::from_chars(value.data(), end, seed);
            if (value.empty() || value.front() == '-' || error != std::errc() || stop != end) {
                return "must be a whole number from 0 to 18446744073709551615, not " +
                       Printable(value);
            }
            return "";
        },
        "SEED");
}

void RefuseEmptyAttachedValues(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string& argument = arguments[i];
        if (argument.starts_with("--") && argument.find('=') == argument.size() - 1) {
            throw Exit{kBadInput, argument.substr(0, argument.size() - 1) +
                                      ": the value after \"=\" is empty; give one"};
        }
    }
}

void CheckRenumberOutputs(const RenumberOptions& options) {
    if (options.output == kStandardOutput && options.dryRun) {
        throw Exit{kBadInput,
                   "--output - and --dry-run contradict each other: a dry run writes no "
                   "document, and standard output would carry the table instead"};
    }
    if (options.trace.empty()) {
        return;
    }
    std::error_code error;
    const auto status = std::filesystem::status(Utf8Path(options.trace), error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw Exit{kBadInput, Printable(options.trace) +
                                  ": the trace cannot be written here: it is not a regular file "
                                  "(a device, pipe or socket)"};
    }
    if (IsStandardOutput(options.trace)) {
        throw Exit{kBadInput, Printable(options.trace) +
                                  ": the trace would be written into standard output, mixed "
                                  "with what the program prints there"};
    }
}

void CheckStandardOutputWritten() {
    std::cout.flush();
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int code = errno;
    if (flushed && std::cout.good() && std::ferror(stdout) == 0) {
        return;
    }
    std::string message = "standard output could not be written";
    if (code != 0) {
        message.append(": ").append(std::strerror(code));
    }
    throw Exit{kBadInput, message + "; what it holds is incomplete"};
}

}  // namespace hostsim::tool::cli
