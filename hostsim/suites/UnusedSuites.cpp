// "AI File Path Suite" 3, "AI Folders Suite" 4 and "SP Blocks Suite" 2: a plug-in may
// acquire and release them, but this host serves none of their entries.
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {

const abi::SuiteTable& FilePathSuiteTable() {
    static const abi::SuiteTable kTable = MakeStubTable<SuiteId::FilePath>();
    return kTable;
}

const abi::SuiteTable& FoldersSuiteTable() {
    static const abi::SuiteTable kTable = MakeStubTable<SuiteId::Folders>();
    return kTable;
}

const abi::SuiteTable& BlocksSuiteTable() {
    static const abi::SuiteTable kTable = MakeStubTable<SuiteId::Blocks>();
    return kTable;
}

}  // namespace hostsim
