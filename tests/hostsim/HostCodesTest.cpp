#include "hostsim/HostCodes.h"

#include <gtest/gtest.h>

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

TEST(CodeText, HostCodesAreFourCharacterCodes) {
    EXPECT_EQ(CodeText(kNoSuchSuiteError), "'NoSu' (0x4E6F5375)");
    EXPECT_EQ(kUnexpectedEntryError, 0x456E7472);
}

}  // namespace
}  // namespace hostsim
