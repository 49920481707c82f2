#include "hostsim/tool/validate/Validate.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/validate/ChildProcess.h"
#include "hostsim/tool/validate/ValidateChecks.h"

namespace hostsim::tool {
namespace {

// The lines a child writes for its parent begin with this; anything else it prints is ignored.
constexpr const char* kMark = "@validate ";

// The child that tells a module from any other file before the checks run (not a check).
constexpr const char* kModuleProbe = "@module-probe";

// The child's side of the probe: loads the file and looks for the module's entry; reports
// "passed", or "refused REASON" when either fails.
int ProbeHere(const std::filesystem::path& module) {
    ModuleLoader loader;
    std::string line = "passed";
    if (!loader.Load(module)) {
        line = "refused " + loader.ErrorText();
    } else if (loader.FindSymbol("PluginMain") == nullptr) {
        line = "refused it exports no PluginMain";
    }
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::cout << kMark << line << std::endl;
    return 0;
}

// Throws InputError naming the file (`name`, as the user gave it) when it is no module at
// all: missing, empty, refused by the system's loader, or without the module's entry. The
// file is loaded in a child process: a module whose loading crashes or hangs is a module at
// fault, and left for the checks to report.
void CheckIsModule(const std::filesystem::path& module, const std::string& name,
                   std::chrono::milliseconds limit) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(module, error)) {
        throw InputError(name + ": no such module file");
    }
    if (std::filesystem::file_size(module, error) == 0 && !error) {
        throw InputError(name + ": is empty, not a module");
    }
    const ChildOutcome child = RunInChildProcess(
        {"validate", "--child", kModuleProbe, "--module", Utf8Name(module)},
        [&] { return ProbeHere(module); }, limit);
    const std::string refused = std::string(kMark) + "refused ";
    const auto at = child.output.rfind(refused);
    if (child.kind != ChildOutcome::Kind::Exited || at == std::string::npos) {
        return;
    }
    std::string reason = child.output.substr(at + refused.size());
    reason.erase(reason.find_last_not_of("\r\n") + 1);
    throw InputError(name + ": is not a module: " + reason);
}

enum class Outcome { Passed, Failed, Crashed, TimedOut, Skipped };

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Passed:
            return "passed";
        case Outcome::Failed:
            return "failed";
        case Outcome::Crashed:
            return "crashed";
        case Outcome::TimedOut:
            return "timed out";
        case Outcome::Skipped:
            return "skipped";
    }
    return "";
}

struct CheckResult {
    const ValidationCheck* check = nullptr;
    Outcome outcome = Outcome::Failed;
    std::string detail;
    std::vector<std::string> notes;
    double seconds = 0;
};

// The child's side: runs the check here and reports to the parent on standard output.
int RunHere(const ValidationCheck& check, CheckContext context) {
    std::string line;
    try {
        check.run(context);
        line = "passed";
    } catch (const CheckSkipped& skipped) {
        line = std::string("skipped ") + skipped.what();
    } catch (const CheckFailure& failure) {
        line = std::string("failed ") + failure.what();
    } catch (const std::exception& error) {
        line = std::string("failed ") + error.what();
    } catch (...) {
        line = "failed an exception of unknown type reached the validator";
    }
    for (const std::string& note : context.notes) {
        std::cout << kMark << "note " << note << "\n";
    }
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::cout << kMark << line << std::endl;
    return 0;
}

CheckResult Judge(const ValidationCheck& check, const ChildOutcome& child, double limit) {
    CheckResult result;
    result.check = &check;
    std::istringstream lines(child.output);
    std::string line;
    std::string last;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // a child that wrote CRLF line ends
        }
        if (line.rfind(kMark, 0) != 0) {
            continue;
        }
        line.erase(0, std::string(kMark).size());
        if (line.rfind("note ", 0) == 0) {
            result.notes.push_back(line.substr(5));
        } else {
            last = line;
        }
    }
    auto after = [&](const char* word) {
        return last.substr(std::min(last.size(), std::string(word).size() + 1));
    };
    switch (child.kind) {
        case ChildOutcome::Kind::TimedOut:
            result.outcome = Outcome::TimedOut;
            result.detail = "still running after " + std::to_string(static_cast<int>(limit)) + " s";
            return result;
        case ChildOutcome::Kind::Crashed:
            result.outcome = Outcome::Crashed;
            result.detail = child.crash;
            return result;
        case ChildOutcome::Kind::NotStarted:
            result.outcome = Outcome::Crashed;
            result.detail = "not started: " + child.crash;
            return result;
        case ChildOutcome::Kind::Exited:
            break;
    }
    if (last == "passed") {
        result.outcome = Outcome::Passed;
    } else if (last.rfind("skipped", 0) == 0) {
        result.outcome = Outcome::Skipped;
        result.detail = after("skipped");
    } else if (last.rfind("failed", 0) == 0) {
        result.outcome = Outcome::Failed;
        result.detail = after("failed");
    } else if (last.rfind("crashed", 0) == 0) {
        result.outcome = Outcome::Crashed;
        result.detail = after("crashed");
    } else {
        result.outcome = Outcome::Crashed;
        result.detail =
            "ended with status " + std::to_string(child.exitCode) + " before reporting an outcome";
    }
    return result;
}

std::vector<const ValidationCheck*> Selected(const std::vector<std::string>& only) {
    std::vector<const ValidationCheck*> selected;
    for (const ValidationCheck& check : ValidationChecks()) {
        if (only.empty() || std::find(only.begin(), only.end(), check.name) != only.end()) {
            selected.push_back(&check);
        }
    }
    for (const std::string& name : only) {
        if (std::none_of(selected.begin(), selected.end(),
                         [&](const ValidationCheck* c) { return name == c->name; })) {
            std::string text = "--only: no check is called \"" + name + "\"; the checks are ";
            const char* separator = "";
            for (const ValidationCheck& check : ValidationChecks()) {
                text.append(separator).append(check.name);
                separator = ", ";
            }
            throw InputError(text);
        }
    }
    return selected;
}

// One check in a child process of its own, judged.
CheckResult RunCheck(const ValidationCheck& check, const CheckContext& context,
                     const ValidateOptions& options, std::chrono::milliseconds limit) {
    std::vector<std::string> arguments = {"validate", "--child", check.name, "--module",
                                          Utf8Name(context.module)};
    if (options.seed) {
        arguments.insert(arguments.end(), {"--seed", std::to_string(*options.seed)});
    }
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome child = RunInChildProcess(
        arguments, [&] { return RunHere(check, context); }, limit);
    CheckResult result = Judge(check, child, options.timeLimitSeconds);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

// "passed    name: detail (note)", as the result is printed when it comes in.
std::string ResultLine(const CheckResult& result) {
    std::string line = OutcomeName(result.outcome);
    line.resize(10, ' ');
    line += result.check->name;
    if (!result.detail.empty()) {
        line += ": " + result.detail;
    }
    for (const std::string& note : result.notes) {
        line += " (" + note + ")";
    }
    return line;
}

struct Tally {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    void Count(Outcome outcome) {
        passed += outcome == Outcome::Passed ? 1 : 0;
        skipped += outcome == Outcome::Skipped ? 1 : 0;
        failed += outcome == Outcome::Passed || outcome == Outcome::Skipped ? 0 : 1;
    }
};

void PrintJson(const std::filesystem::path& module, const std::vector<CheckResult>& results,
               const Tally& tally) {
    nlohmann::json document;
    document["module"] = Utf8Name(module);
    document["checks"] = nlohmann::json::array();
    for (const CheckResult& result : results) {
        nlohmann::json entry;
        entry["name"] = result.check->name;
        entry["what"] = result.check->what;
        entry["outcome"] = OutcomeName(result.outcome);
        entry["detail"] = result.detail;
        entry["notes"] = result.notes;
        entry["seconds"] = result.seconds;
        document["checks"].push_back(std::move(entry));
    }
    document["passed"] = tally.passed;
    document["failed"] = tally.failed;
    document["skipped"] = tally.skipped;
    std::cout << document.dump(2) << "\n";
}

}  // namespace

int Validate(const ValidateOptions& options) {
    CheckContext context;
    context.module = options.module.empty() ? DefaultModulePath()
                                            : std::filesystem::absolute(Utf8Path(options.module));
    const std::string moduleName =
        options.module.empty() ? Utf8Name(context.module) : options.module;
    context.seedGiven = options.seed.has_value();
    context.seed = options.seed.value_or(0);
    if (!options.child.empty()) {
        PrepareChildProcess();
        if (options.child == kModuleProbe) {
            return ProbeHere(context.module);
        }
        for (const ValidationCheck& check : ValidationChecks()) {
            if (options.child == check.name) {
                return RunHere(check, context);
            }
        }
        throw InputError("no check is called \"" + options.child + "\"");
    }
    const std::vector<const ValidationCheck*> selected = Selected(options.only);
    const auto limit =
        std::chrono::milliseconds(static_cast<long long>(options.timeLimitSeconds * 1000));
    CheckIsModule(context.module, moduleName, limit);

    std::vector<CheckResult> results;
    Tally tally;
    if (!options.json) {
        std::cout << "validating " << Utf8Name(context.module) << "\n";
    }
    for (const ValidationCheck* check : selected) {
        CheckResult result = RunCheck(*check, context, options, limit);
        tally.Count(result.outcome);
        if (!options.json) {
            std::cout << ResultLine(result) << std::endl;
        }
        results.push_back(std::move(result));
    }
    if (options.json) {
        PrintJson(context.module, results, tally);
    } else {
        std::cout << tally.passed << " passed, " << tally.failed << " failed";
        if (tally.skipped > 0) {
            std::cout << ", " << tally.skipped << " skipped";
        }
        std::cout << "\n";
    }
    return tally.failed == 0 ? 0 : 1;
}

}  // namespace hostsim::tool
