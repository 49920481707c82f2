#include "hostsim/abi/HostCodes.h"

#include <cstdio>

namespace hostsim {

std::string CodeText(ErrorCode code) {
    if (code == 0) {
        return "0";
    }
    const auto bits = static_cast<std::uint32_t>(code);
    char chars[4];
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        chars[i] = static_cast<char>((bits >> (24 - 8 * i)) & 0xFFu);
        printable = printable && chars[i] >= 0x20 && chars[i] <= 0x7E;
    }
    char text[48];
    if (printable) {
        std::snprintf(text, sizeof text, "'%c%c%c%c' (0x%08X)", chars[0], chars[1], chars[2],
                      chars[3], static_cast<unsigned>(bits));
    } else {
        std::snprintf(text, sizeof text, "%d (0x%08X)", static_cast<int>(code),
                      static_cast<unsigned>(bits));
    }
    return text;
}

}  // namespace hostsim
