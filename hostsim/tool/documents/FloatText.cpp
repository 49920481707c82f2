#include "hostsim/tool/documents/FloatText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace hostsim::tool {

std::string FormatFloat(float value) {
    if (value == 0) {
        return "0";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // from_chars also accepts "inf" and "nan", which no document may use.
    for (const char c : text) {
        const bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<float> ToFloat(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // Values beyond the largest float but within half a unit of it still round to it.
    constexpr double kLargest = static_cast<double>(std::numeric_limits<float>::max());
    if (std::fabs(value) > kLargest) {
        const double halfUnit = std::ldexp(1.0, 127 - 24);
        if (std::fabs(value) >= kLargest + halfUnit) {
            return std::nullopt;
        }
        return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

}  // namespace hostsim::tool
