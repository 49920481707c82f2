#include "hostsim/abi/HostCodes.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace hostsim {
namespace {

TEST(CodeText, WritesFourCharacterCodesWithTheirCharactersAndValue) {
    struct Row {
        ErrorCode code;
        const char* text;
    };
    const Row rows[] = {
        {0, "0"},
        {FourChar("!MSG"), "'!MSG' (0x214D5347)"},
        {FourChar("pFls"), "'pFls' (0x70466C73)"},
        {FourChar("CANT"), "'CANT' (0x43414E54)"},
        {361, "361 (0x00000169)"},
        {-1, "-1 (0xFFFFFFFF)"},
        {static_cast<ErrorCode>(0x41420A43), "1094847043 (0x41420A43)"},  // a line feed inside
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CodeText(row.code), row.text);
    }
}

// The first character is the most significant byte, read as an unsigned byte: a code built in
// memory order would come out reversed on a little-endian machine, and a signed character
// would spill into the bytes above it.
TEST(FourChar, PutsTheFirstCharacterInTheMostSignificantByte) {
    const auto code = static_cast<std::uint32_t>(FourChar("Entr"));
    EXPECT_EQ(code >> 24, std::uint32_t{'E'});
    EXPECT_EQ(code & 0xFF, std::uint32_t{'r'});
    EXPECT_EQ(static_cast<std::uint32_t>(FourChar("\377abc")), 0xFF616263u);
    EXPECT_EQ(static_cast<std::uint32_t>(FourChar("a\377bc")), 0x61FF6263u);
    EXPECT_EQ(CodeText(kUnexpectedEntryError), "'Entr' (0x456E7472)");
}

}  // namespace
}  // namespace hostsim
