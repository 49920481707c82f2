// The stand-in host: everything a plug-in sees of the host application.
//
// A Host owns the basic suite and the eleven suites it offers, the current document, the
// menus, the alerts shown, the call log, the fault injector and the handle ledger. A plug-in
// calls the host through plain C function tables, which carry no context; so one Host at a
// time is the process's active host, and every suite entry serves that one. Constructing a
// second Host while one is active throws: tests make one Host per test.
//
// A plug-in that breaks the contract (calls an entry it is not expected to call, passes a
// null slot, an unknown or released handle, a value out of range) gets an error code back,
// and the violation is recorded here; the host never crashes on it.
#pragma once

#include <string>
#include <vector>

#include "hostsim/ArtboardModel.h"
#include "hostsim/CallLog.h"
#include "hostsim/Document.h"
#include "hostsim/FaultInjector.h"
#include "hostsim/HandleLedger.h"
#include "hostsim/HostAbi.h"
#include "hostsim/MenuModel.h"
#include "hostsim/PluginRecords.h"
#include "hostsim/StringStore.h"

namespace hostsim {

struct HostConfig {
    // The host's own menu groups, in order, present before any plug-in runs.
    std::vector<std::string> menuGroups{"About", "ArtBoards"};
};

class Host {
  public:
    explicit Host(const HostConfig& config = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The active host, or null when there is none.
    static Host* active();

    // The basic suite's table, as message records carry it.
    const abi::SuiteTable* basicSuite() const;

    // The current document: open one (a copy is kept), close it, read or change it.
    void openDocument(Document document) { artboards_.openDocument(std::move(document)); }
    void closeDocument() { artboards_.closeDocument(); }
    const Document* document() const { return artboards_.document(); }
    Document* document() { return artboards_.document(); }

    HandleLedger& ledger() { return ledger_; }
    const HandleLedger& ledger() const { return ledger_; }
    CallLog& calls() { return calls_; }
    const CallLog& calls() const { return calls_; }
    FaultInjector& faults() { return faults_; }
    MenuModel& menus() { return menus_; }
    const MenuModel& menus() const { return menus_; }
    StringStore& strings() { return strings_; }
    const StringStore& strings() const { return strings_; }
    ArtboardModel& artboards() { return artboards_; }
    PluginRecords& plugins() { return plugins_; }
    const PluginRecords& plugins() const { return plugins_; }

    // Texts of the alerts shown to the user, in order.
    const std::vector<std::string>& alerts() const { return alerts_; }
    void recordAlert(std::string text) { alerts_.push_back(std::move(text)); }

    // Contract violations, in order, each naming the call that made it.
    const std::vector<std::string>& violations() const { return violations_; }
    void recordViolation(std::string text) { violations_.push_back(std::move(text)); }

    // Everything a test would want to see when it expected a clean run: the ledger's report
    // (leaving out `leftToHost`) and the violations. Empty when nothing is wrong.
    std::string problemReport(const std::set<HandleKind>& leftToHost = kLeftToHostByDesign) const;

  private:
    HandleLedger ledger_;
    CallLog calls_;
    FaultInjector faults_;
    StringStore strings_;
    ArtboardModel artboards_;
    MenuModel menus_;
    PluginRecords plugins_;
    std::vector<std::string> alerts_;
    std::vector<std::string> violations_;
};

}  // namespace hostsim
