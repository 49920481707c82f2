// Status codes shared by the host and the plug-in.
//
// Every host operation and every plug-in operation answers with an ErrorCode; 0 is success.
// Four-character codes are 32-bit values whose most significant byte is the first character,
// so FourCharCode("!MSG") is 0x214D5347. They are written with their characters visible
// everywhere in the code rather than as bare numbers.
#pragma once

#include <cstdint>

using ErrorCode = std::int32_t;

// The 32-bit value of a four-character code, first character in the most significant byte.
constexpr ErrorCode FourCharCode(const char (&text)[5]) {
    return static_cast<ErrorCode>(
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
        static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])));
}

inline constexpr ErrorCode kNoError = 0;
// No operation of the plug-in handled the caller and selector; the entry point answers 0.
inline constexpr ErrorCode kUnhandledMessageError = FourCharCode("!MSG");
// The plug-in object or its suite set could not be allocated.
inline constexpr ErrorCode kOutOfMemoryError = FourCharCode("!MEM");
// An exception other than ai::Error was caught at the plug-in's boundary.
inline constexpr ErrorCode kCantError = FourCharCode("CANT");
// Answer to a cache purge when the plug-in reports that it flushed its caches.
inline constexpr ErrorCode kCachesPurgedResult = FourCharCode("pFls");

static_assert(kUnhandledMessageError == 0x214D5347);
static_assert(kOutOfMemoryError == 0x214D454D);
static_assert(kCantError == 0x43414E54);
static_assert(kCachesPurgedResult == 0x70466C73);
