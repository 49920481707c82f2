// Numbers as documents spell them and as the host keeps them: 32-bit floats.
//
// A float is written in the shortest decimal form that reads back to the same float, so a
// value typed as 99.99 is written as 99.99 again, and a document written by this program
// reads back to exactly the floats it was written from.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hostsim::tool {

// The shortest decimal text that reads back to `value`. Zero is "0" whatever its sign: the two
// zeros compare equal everywhere the module looks, and JSON readers drop the sign anyway.
// `value` must be finite.
std::string FormatFloat(float value);

// A decimal number in the whole of `text` (an optional sign, digits with an optional point,
// an optional exponent; no surrounding space). Empty for anything else, and for values that
// are not finite as a double.
std::optional<double> ParseDecimal(std::string_view text);

// `value` rounded to the nearest 32-bit float; empty when it is outside the float range
// (including infinities and NaN). Values too small for a float round to zero.
std::optional<float> ToFloat(double value);

}  // namespace hostsim::tool
