// Naming pages after their new numbers, an option of the host (never of the module): a
// pattern such as "Page {n}" or "{n} {name}" gives each position its new name once the
// module has put the artboards in their new order.
//
// In a pattern:
//   {n}      the artboard's new number, counted from 1: 1, 2, ... 10
//   {n:0W}   the same with leading zeros to W digits (W from 1 to 9): {n:03} gives 001, 002
//   {name}   the artboard's name before renaming (nothing for an unnamed one)
//   {{  }}   a brace
// Everything else is copied as written. A pattern must hold {n} (else every artboard would
// get one name), and no control character. White space at either end of a result is dropped,
// so that "{n} {name}" names an unnamed artboard "3", not "3 ".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hostsim::tool {

// What is wrong with `pattern`, in one line that quotes the part at fault (shown Printable);
// nothing when it is a pattern.
std::optional<std::string> CheckNamePattern(std::string_view pattern);

// The name `pattern` (which CheckNamePattern accepts) gives the artboard numbered `number`
// whose name was `name`.
std::string ApplyNamePattern(std::string_view pattern, std::size_t number, std::string_view name);

}  // namespace hostsim::tool
