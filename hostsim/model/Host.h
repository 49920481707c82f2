// The stand-in host: everything a plug-in sees of the host application.
//
// A Host owns the basic suite and the eleven suites it offers, the current document, the
// menus, the alerts shown, the call log, the fault injector and the handle ledger. The log
// counts every call; it keeps them only when asked (Calls().Enable(), or
// HostConfig::keepCallLog), and it can stream them. A plug-in
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

#include "hostsim/abi/HostAbi.h"
#include "hostsim/model/ArtboardModel.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/HandleLedger.h"
#include "hostsim/model/MenuModel.h"
#include "hostsim/model/PluginRecords.h"
#include "hostsim/model/StringStore.h"
#include "hostsim/observe/CallLog.h"
#include "hostsim/observe/FaultInjector.h"

namespace hostsim {

struct HostConfig {
    // The host's own menu groups, in order, present before any plug-in runs.
    std::vector<std::string> menuGroups{"About", "ArtBoards"};
    // Keep every call and message from the start (the same as Calls().Enable()).
    bool keepCallLog = false;
};

class Host {
  public:
    explicit Host(const HostConfig& config = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The active host, or null when there is none. (Inline: every host call asks.)
    static Host* Active() { return gActive; }

    // The current document: open one (a copy is kept), close it, read or change it.
    void OpenDocument(Document document) { artboards_.OpenDocument(std::move(document)); }
    void CloseDocument() { artboards_.CloseDocument(); }
    const Document* CurrentDocument() const { return artboards_.CurrentDocument(); }
    Document* CurrentDocument() { return artboards_.CurrentDocument(); }

    HandleLedger& Ledger() { return ledger_; }
    const HandleLedger& Ledger() const { return ledger_; }
    CallLog& Calls() { return calls_; }
    const CallLog& Calls() const { return calls_; }
    FaultInjector& Faults() { return faults_; }
    MenuModel& Menus() { return menus_; }
    const MenuModel& Menus() const { return menus_; }
    StringStore& Strings() { return strings_; }
    const StringStore& Strings() const { return strings_; }
    ArtboardModel& Artboards() { return artboards_; }
    PluginRecords& Plugins() { return plugins_; }
    const PluginRecords& Plugins() const { return plugins_; }

    // Texts of the alerts shown to the user, in order.
    const std::vector<std::string>& Alerts() const { return alerts_; }
    void RecordAlert(std::string text) { alerts_.push_back(std::move(text)); }

    // Contract violations, in order, each naming the call that made it.
    const std::vector<std::string>& Violations() const { return violations_; }
    void RecordViolation(std::string text) { violations_.push_back(std::move(text)); }

    // Everything a test would want to see when it expected a clean run: the ledger's report
    // (leaving out `leftToHost`) and the violations. Empty when nothing is wrong.
    std::string ProblemReport(const std::set<HandleKind>& leftToHost = kLeftToHostByDesign) const;

  private:
    // Set only by the constructor and destructor and read by the suite entries, all on the
    // thread that drives the plug-in: the host calls a plug-in one message at a time.
    static inline Host* gActive = nullptr;

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
