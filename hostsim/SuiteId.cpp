#include "hostsim/SuiteId.h"

#include <array>
#include <string>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

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

const abi::SuiteTable& TableOf(SuiteId id) {
    switch (id) {
        case SuiteId::Basic:
            return BasicSuiteTable();
        case SuiteId::Access:
            return AccessSuiteTable();
        case SuiteId::Plugins:
            return PluginsSuiteTable();
        case SuiteId::Notifier:
            return NotifierSuiteTable();
        case SuiteId::Context:
            return ContextSuiteTable();
        case SuiteId::User:
            return UserSuiteTable();
        case SuiteId::FilePath:
            return FilePathSuiteTable();
        case SuiteId::Folders:
            return FoldersSuiteTable();
        case SuiteId::Blocks:
            return BlocksSuiteTable();
        case SuiteId::Menu:
            return MenuSuiteTable();
        case SuiteId::Artboard:
            return ArtboardSuiteTable();
        case SuiteId::UnicodeString:
            return UnicodeStringSuiteTable();
    }
    return BasicSuiteTable();
}

abi::ErrorCode UnexpectedEntry(SuiteId suite, int entry) {
    HostCall call(suite, entry, "(unexpected entry)");
    if (!call) {
        return NoActiveHost(InfoOf(suite).name, "(unexpected entry)");
    }
    return call.Finish(call.Violation(kUnexpectedEntryError, "entry " + std::to_string(entry) +
                                                                 " is not one a plug-in may call"));
}

}  // namespace hostsim
