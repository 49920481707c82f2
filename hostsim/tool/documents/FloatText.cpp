#include "hostsim/tool/documents/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <type_traits>

namespace hostsim::tool {
namespace fallback {
namespace {

// A decimal value: `digits` (no trailing zeros, 1 to 17 of them) times 10^(exponent), where
// `exponent` is that of the first digit, as in scientific notation.
struct Decimal {
    std::uint64_t digits = 0;
    int count = 0;
    int exponent = 0;
};

int CountDigits(std::uint64_t value) {
    int count = 1;
    while (value >= 10) {
        value /= 10;
        ++count;
    }
    return count;
}

std::string Scientific(const Decimal& d, bool negative) {
    std::string text = negative ? "-" : "";
    const std::string digits = std::to_string(d.digits);
    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text.append(digits, 1);
    }
    // At least two digits, as printf's %e writes them.
    const std::string digitsOfExponent = std::to_string(std::abs(d.exponent));
    text += d.exponent < 0 ? "e-" : "e+";
    return text + (digitsOfExponent.size() < 2 ? "0" : "") + digitsOfExponent;
}

// Fixed notation of `d`; a whole number is written as the exact value itself (`exact`), as
// the library does, since any digits past the shortest ones cost no more characters.
template <typename T>
std::string Fixed(const Decimal& d, bool negative, T exact) {
    std::string text = negative ? "-" : "";
    const std::string digits = std::to_string(d.digits);
    if (d.exponent >= d.count - 1) {
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(std::fabs(exact)));
        return text + whole;
    }
    if (d.exponent >= 0) {
        return text + digits.substr(0, static_cast<std::size_t>(d.exponent) + 1) + "." +
               digits.substr(static_cast<std::size_t>(d.exponent) + 1);
    }
    return text + "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + digits;
}

template <typename T>
T ReadBack(const std::string& text) {
    if constexpr (std::is_same_v<T, float>) {
        return std::strtof(text.c_str(), nullptr);
    } else {
        return std::strtod(text.c_str(), nullptr);
    }
}

// The P-digit decimal nearest to |value| (printf rounds correctly), for P = 1, 2, ...; the
// first that reads back is the shortest. At a power of two the interval that reads back is
// narrower below than above, so the nearest P-digit decimal may miss it where its neighbour
// above hits: that neighbour is tried too.
template <typename T>
Decimal ShortestDigits(T magnitude) {
    constexpr int kMost = std::numeric_limits<T>::max_digits10;
    for (int precision = 1; precision <= kMost; ++precision) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*e", precision - 1, static_cast<double>(magnitude));
        Decimal d;
        char* cursor = text;
        for (; *cursor != 'e'; ++cursor) {
            if (*cursor >= '0' && *cursor <= '9') {
                d.digits = d.digits * 10 + static_cast<std::uint64_t>(*cursor - '0');
            }
        }
        d.exponent = std::atoi(cursor + 1);
        d.count = precision;
        auto candidate = [](Decimal c) {
            while (c.digits % 10 == 0 && c.count > 1) {
                c.digits /= 10;
                --c.count;
            }
            return c;
        };
        auto reads = [&](const Decimal& c) {
            return ReadBack<T>(Scientific(c, false)) == magnitude;
        };
        if (reads(candidate(d))) {
            return candidate(d);
        }
        Decimal up = d;
        ++up.digits;
        if (CountDigits(up.digits) > precision) {
            up.digits /= 10;
            ++up.exponent;
        }
        if (reads(candidate(up))) {
            return candidate(up);
        }
    }
    return {};  // not reached: max_digits10 digits always read back
}

template <typename T>
std::string Shortest(T value) {
    const bool negative = std::signbit(value);
    const T magnitude = std::fabs(value);
    if (magnitude == 0) {
        return negative ? "-0" : "0";
    }
    const Decimal d = ShortestDigits(magnitude);
    std::string fixed = Fixed(d, negative, magnitude);
    std::string scientific = Scientific(d, negative);
    return fixed.size() <= scientific.size() ? fixed : scientific;
}

}  // namespace

std::string ShortestFloat(float value) {
    return Shortest(value);
}

std::string ShortestDouble(double value) {
    return Shortest(value);
}

std::optional<double> ReadDouble(std::string_view text) {
    // strtod reads more than from_chars (leading space, "0x", "inf"); the caller has let only
    // signs, digits, points and exponents through, so both read the same numbers.
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    // from_chars refuses a number too small for a double (as out of range) rather than give 0.
    if (value == 0) {
        for (const char c : copy) {
            if (c == 'e' || c == 'E') {
                break;
            }
            if (c >= '1' && c <= '9') {
                return std::nullopt;
            }
        }
    }
    return value;
}

}  // namespace fallback

namespace {

// Whether the C++ library converts floating-point numbers itself.
#if defined(__cpp_lib_to_chars)
constexpr bool kLibraryConverts = true;
#else
constexpr bool kLibraryConverts = false;
#endif

template <typename T>
std::string LibraryShortest(T value) {
#if defined(__cpp_lib_to_chars)
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
#else
    return fallback::Shortest(value);
#endif
}

}  // namespace

std::string FormatFloat(float value) {
    if (value == 0) {
        return "0";
    }
    return kLibraryConverts ? LibraryShortest(value) : fallback::ShortestFloat(value);
}

std::string FormatDouble(double value) {
    return kLibraryConverts ? LibraryShortest(value) : fallback::ShortestDouble(value);
}

std::string FormatSignificant(double value, int digits) {
    // std::to_chars with chars_format::general and a precision is defined as printf's %g.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return buffer;
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
#if defined(__cpp_lib_to_chars)
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
#else
    return fallback::ReadDouble(text);
#endif
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
