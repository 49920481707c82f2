#include "hostsim/suites/SuiteTables.h"

#include <string>

#include "hostsim/suites/HostCall.h"

namespace hostsim {

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
