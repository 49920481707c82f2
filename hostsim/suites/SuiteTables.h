// How the stand-in host builds its suite tables, and where each table comes from.
//
// A table starts as kSuiteSlots stubs, each knowing its suite and entry number, that record
// "unexpected entry" and answer kUnexpectedEntryError. The entries the host serves are then
// installed over their stubs by entry number and C type, both taken from HostAbi.h, so an
// entry cannot land in the wrong slot or with the wrong type here.
#pragma once

#include <cstddef>
#include <utility>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/SuiteId.h"

namespace hostsim {

// Records a call of an entry that no plug-in is expected to call; answers an error.
abi::ErrorCode UnexpectedEntry(SuiteId suite, int entry);

template <SuiteId Suite, int Number>
abi::ErrorCode UnexpectedEntryStub() {
    return UnexpectedEntry(Suite, Number);
}

template <SuiteId Suite, std::size_t... Index>
abi::SuiteTable StubTable(std::index_sequence<Index...>) {
    return abi::SuiteTable{reinterpret_cast<abi::SuiteEntry>(
        &UnexpectedEntryStub<Suite, static_cast<int>(Index) + 1>)...};
}

// A table of stubs only.
template <SuiteId Suite>
abi::SuiteTable MakeStubTable() {
    return StubTable<Suite>(std::make_index_sequence<abi::kSuiteSlots>{});
}

// Puts `function` at the slot of entry E.
template <typename E>
void Install(abi::SuiteTable& table, typename E::Type function) {
    static_assert(E::number >= 1 && E::number <= abi::kSuiteSlots);
    table[static_cast<std::size_t>(E::number - 1)] = reinterpret_cast<abi::SuiteEntry>(function);
}

// The table of a suite; it lives for the whole process.
const abi::SuiteTable& TableOf(SuiteId id);

// Each suite's table, built on first use and kept for the life of the process.
const abi::SuiteTable& BasicSuiteTable();
const abi::SuiteTable& AccessSuiteTable();
const abi::SuiteTable& PluginsSuiteTable();
const abi::SuiteTable& NotifierSuiteTable();
const abi::SuiteTable& ContextSuiteTable();
const abi::SuiteTable& UserSuiteTable();
const abi::SuiteTable& UnicodeStringSuiteTable();
const abi::SuiteTable& ArtboardSuiteTable();
const abi::SuiteTable& MenuSuiteTable();
const abi::SuiteTable& FilePathSuiteTable();
const abi::SuiteTable& FoldersSuiteTable();
const abi::SuiteTable& BlocksSuiteTable();

}  // namespace hostsim
