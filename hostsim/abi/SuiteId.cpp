#include "hostsim/abi/SuiteId.h"

#include <array>

namespace hostsim {
namespace {

constexpr SuiteInfo kBasicSuite{SuiteId::Basic, "SP Basic Suite", 0};

constexpr std::array<SuiteInfo, 11> kOfferedSuites{{
    {SuiteId::Access, "SP Access Suite", 3},
    {SuiteId::Plugins, "SP Plug-ins Suite", 4},
    {SuiteId::Notifier, "AI Notifier Suite", 3},
    {SuiteId::Context, "AI Context Suite", 6},
    {SuiteId::User, "AI User Suite", 10},
    {SuiteId::FilePath, "AI File Path Suite", 3},
    {SuiteId::Folders, "AI Folders Suite", 4},
    {SuiteId::Blocks, "SP Blocks Suite", 2},
    {SuiteId::Menu, "AI Menu Suite", 10},
    {SuiteId::Artboard, "AI Artboard Suite", 2},
    {SuiteId::UnicodeString, "AI Unicode String Suite", 7},
}};

}  // namespace

const SuiteInfo& BasicSuiteInfo() {
    return kBasicSuite;
}

std::span<const SuiteInfo> OfferedSuites() {
    return kOfferedSuites;
}

const SuiteInfo& InfoOf(SuiteId id) {
    for (const SuiteInfo& info : kOfferedSuites) {
        if (info.id == id) {
            return info;
        }
    }
    return kBasicSuite;
}

std::optional<SuiteInfo> FindOfferedSuite(std::string_view name) {
    for (const SuiteInfo& info : kOfferedSuites) {
        if (name == info.name) {
            return info;
        }
    }
    return std::nullopt;
}

}  // namespace hostsim
