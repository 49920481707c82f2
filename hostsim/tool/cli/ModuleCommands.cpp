// quorvane-host menus and about: the module started without a document.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"

namespace hostsim::tool::cli {
namespace {

namespace fs = std::filesystem;
using menus::kAboutLabel;

ModuleRunResult RunWithoutDocument(const std::string& module,
                                   const std::optional<std::string>& choose) {
    ModuleRunRequest request;
    request.module = module.empty() ? hostsim::DefaultModulePath() : Utf8Path(module);
    request.choose = choose;
    ModuleRunResult run = RunModule(request);
    if (!run.problems.empty()) {
        Warn("the host saw the module break its contract:\n" + run.problems);
    }
    if (!run.failure.empty()) {
        throw Exit{kModuleFailed, Utf8Name(request.module) + ": " + run.failure};
    }
    return run;
}

}  // namespace

int Menus(const std::string& module) {
    std::cout << RunWithoutDocument(module, std::nullopt).menuTree;
    return kSuccess;
}

int About(const std::string& module) {
    const ModuleRunResult run = RunWithoutDocument(module, std::string(kAboutLabel));
    if (run.alerts.empty()) {
        throw Exit{kModuleFailed, "\"" + std::string(kAboutLabel) + "\" showed no alert"};
    }
    for (std::string alert : run.alerts) {
        alert.erase(alert.find_last_not_of('\n') + 1);
        std::cout << alert << "\n";
    }
    return kSuccess;
}

}  // namespace hostsim::tool::cli
