// Numbers as documents spell them and as the host keeps them: 32-bit floats.
//
// A float is written in the shortest decimal form that reads back to the same float, so a
// value typed as 99.99 is written as 99.99 again, and a document written by this program
// reads back to exactly the floats it was written from.
//
// Every number the stand-in host writes or reads as text goes through this file. Where the C++
// library has floating-point std::to_chars and std::from_chars they do the work; where it has
// not (the WebAssembly build's libc++ 13), the C library's correctly rounded printf and strtod
// do it, with the same results (FloatTextTest compares the two over many values).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hostsim::tool {

// The shortest decimal text that reads back to `value`. Zero is "0" whatever its sign: the two
// zeros compare equal everywhere the module looks, and JSON readers drop the sign anyway.
// `value` must be finite.
std::string FormatFloat(float value);

// The shortest decimal text that reads back to the double `value`, in std::to_chars's plain
// form (fixed or scientific, whichever is shorter; -0 is "-0"). `value` must be finite.
std::string FormatDouble(double value);

// `value` with `digits` significant digits at most, as printf's %g writes it ("1e+06",
// "0.5"); for drawings, where a few digits are plenty. `value` must be finite.
std::string FormatSignificant(double value, int digits);

// A decimal number in the whole of `text` (an optional sign, digits with an optional point,
// an optional exponent; no surrounding space). Empty for anything else, and for values that
// are not finite as a double.
std::optional<double> ParseDecimal(std::string_view text);

// `value` rounded to the nearest 32-bit float; empty when it is outside the float range
// (including infinities and NaN). Values too small for a float round to zero.
std::optional<float> ToFloat(double value);

// The fallbacks themselves, built everywhere so that the native tests compare them with the
// library's to_chars and from_chars.
namespace fallback {
std::string ShortestFloat(float value);                   // std::to_chars(first, last, value)
std::string ShortestDouble(double value);                 // std::to_chars(first, last, value)
std::optional<double> ReadDouble(std::string_view text);  // from_chars, whole text, finite
}  // namespace fallback

}  // namespace hostsim::tool
