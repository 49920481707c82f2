// The codes the stand-in host answers with, and how every code is written for a person.
#pragma once

#include <cstdint>
#include <string>

#include "hostsim/abi/HostAbi.h"

namespace hostsim {

using abi::ErrorCode;

// The 32-bit value of a four-character code, first character in the most significant byte.
constexpr ErrorCode FourChar(const char (&text)[5]) {
    return static_cast<ErrorCode>(
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
        static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])));
}

// A code as people read it: 0 as "0"; a code whose four bytes are printable as
// 'ABCD' (0x41424344); any other value in decimal with its hexadecimal form.
std::string CodeText(ErrorCode code);

// Codes of the stand-in host. None of them is one the plug-in treats as silent.
inline constexpr ErrorCode kNoSuchSuiteError = FourChar("NoSu");        // no suite of that name
inline constexpr ErrorCode kVersionNotOfferedError = FourChar("NoVr");  // name known, version not
inline constexpr ErrorCode kBadHandleError = FourChar("BadH");     // unknown, released, wrong kind
inline constexpr ErrorCode kBadParameterError = FourChar("Parm");  // null slot, bad value
inline constexpr ErrorCode kNoDocumentError = FourChar("NDoc");    // no document is open
inline constexpr ErrorCode kIndexRangeError = FourChar("Indx");    // index outside the list
inline constexpr ErrorCode kUnexpectedEntryError = FourChar("Entr");  // entry not to be called
inline constexpr ErrorCode kEncodingError = FourChar("Encd");         // encoding selector not 0
inline constexpr ErrorCode kNoSuchGroupError = FourChar("NoGp");      // menu group does not exist
inline constexpr ErrorCode kDuplicateGroupError = FourChar("DupG");   // menu group exists already
inline constexpr ErrorCode kNoActiveHostError = FourChar("NoHo");     // called with no host running

}  // namespace hostsim
