// Loading module files: really unloading them, reloading them elsewhere.
#include "hostsim/loader/ModuleLoader.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"

namespace hostsim {
namespace {

std::filesystem::path FakeModulePath() {
    return DefaultModulePath().parent_path() / HOSTSIM_FAKE_MODULE_FILE;
}

TEST(ModuleLoader, DefaultModuleSitsBesideTheRunningProgram) {
    const std::filesystem::path path = DefaultModulePath();
#if defined(_WIN32)
    EXPECT_EQ(path.filename(), "Quorvane.aip");
#else
    EXPECT_EQ(path.filename(), "Quorvane.so");
#endif
    EXPECT_TRUE(std::filesystem::exists(path.parent_path() / HOSTSIM_FAKE_MODULE_FILE))
        << "the test's own module is built beside the test program";
}

// Where a program looks for its module, by which module files exist around it: a build tree
// or unpacked zip (beside), an install under a prefix (PREFIX/bin, PREFIX/lib/quorvane).
TEST(ModuleLoader, DefaultModuleIsBesideTheProgramElseInTheInstalledLibraryFolder) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "quorvane-default-module-path";
    const fs::path name = DefaultModulePath().filename();
    const fs::path bin = root / "bin";
    const fs::path beside = bin / name;
    const fs::path installed = root / "lib" / "quorvane" / name;
    struct Case {
        const char* layout;
        bool hasBeside;
        bool hasInstalled;
        fs::path expected;
    };
    const Case cases[] = {
        {"a build tree: only beside", true, false, beside},
        {"an install: only under lib/quorvane", false, true, installed},
        {"a build tree next to an install: its own", true, true, beside},
        {"nothing: beside, the first place looked", false, false, beside},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        fs::create_directories(bin);
        fs::create_directories(installed.parent_path());
        if (c.hasBeside) {
            std::ofstream(beside) << "module";
        }
        if (c.hasInstalled) {
            std::ofstream(installed) << "module";
        }
        EXPECT_EQ(DefaultModulePathFor(bin), c.expected) << c.layout;
    }
    fs::remove_all(root);
}

TEST(ModuleLoader, AFailedLoadNamesTheFile) {
    ModuleLoader loader;
    const std::filesystem::path missing = FakeModulePath().parent_path() / "NoSuchModule.so";
    EXPECT_FALSE(loader.Load(missing));
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_NE(loader.ErrorText().find(missing.string()), std::string::npos) << loader.ErrorText();
    EXPECT_EQ(loader.FindSymbol("PluginMain"), nullptr);
}

// A name without a folder is a file in the current folder, as a user typing it means: never a
// library the system's loader finds on its search path (which every process has loaded), nor
// the module of that name beside the program.
TEST(ModuleLoader, ANameWithoutAFolderIsAFileInTheCurrentFolder) {
#if defined(_WIN32)
    const std::vector<std::string> onTheSearchPath = {"kernel32.dll", "Quorvane.aip"};
#else
    const std::vector<std::string> onTheSearchPath = {"libc.so.6", "libstdc++.so.6"};
#endif
    const std::filesystem::path saved = std::filesystem::current_path();
    const std::filesystem::path elsewhere =
        std::filesystem::temp_directory_path() / ("quorvane-loader-" + std::to_string(::getpid()));
    std::filesystem::create_directories(elsewhere);
    std::filesystem::current_path(elsewhere);
    ModuleLoader loader;
    for (const std::string& name : onTheSearchPath) {
        EXPECT_FALSE(loader.Load(name)) << name << " was looked up, not taken as a file";
        EXPECT_TRUE(loader.Path().is_absolute()) << loader.Path();
    }
    std::filesystem::copy_file(FakeModulePath(), elsewhere / HOSTSIM_FAKE_MODULE_FILE);
    EXPECT_TRUE(loader.Load(HOSTSIM_FAKE_MODULE_FILE)) << loader.ErrorText();
    loader.Unload();
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(elsewhere);
}

TEST(ModuleLoader, FindsExportsAndReallyUnloads) {
    const std::filesystem::path path = FakeModulePath();
    ModuleLoader loader;
    ASSERT_TRUE(loader.Load(path)) << loader.ErrorText();
    EXPECT_TRUE(loader.IsLoaded());
    EXPECT_NE(loader.BaseAddress(), 0u);
    EXPECT_NE(loader.FindSymbol("PluginMain"), nullptr);
    EXPECT_EQ(loader.FindSymbol("NoSuchFunction"), nullptr);
    EXPECT_TRUE(ModuleLoader::IsResident(path));
    loader.Unload();
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_EQ(loader.FindSymbol("PluginMain"), nullptr);
    EXPECT_FALSE(ModuleLoader::IsResident(path)) << "the code is still mapped after unload";
}

TEST(ModuleLoader, ReloadingAfterReservingTheOldRangeLandsElsewhere) {
    ModuleLoader loader;
    ASSERT_TRUE(loader.Load(FakeModulePath())) << loader.ErrorText();
    const std::uintptr_t before = loader.BaseAddress();
    loader.Unload(AddressReuse::ReserveOldRange);
    ASSERT_TRUE(loader.HoldsReservation()) << loader.ErrorText();
    ASSERT_TRUE(loader.Load(FakeModulePath())) << loader.ErrorText();
    EXPECT_NE(loader.BaseAddress(), before);
    loader.Unload();
    EXPECT_FALSE(loader.HoldsReservation());
}

TEST(SessionFromFile, ReloadedCodeStartsWithFreshStaticData) {
    Host host;
    Session session(host, FakeModulePath());
    EXPECT_EQ(session.Send("Test", "Count"), 1);
    EXPECT_EQ(session.Send("Test", "Count"), 2);
    const std::uintptr_t before = session.EntryAddress();

    session.Unload(AddressReuse::ReserveOldRange);
    EXPECT_FALSE(session.CodeLoaded());
    EXPECT_EQ(session.EntryAddress(), 0u);
    EXPECT_THROW(session.Send("Test", "Count"), SessionError);
    EXPECT_FALSE(ModuleLoader::IsResident(FakeModulePath()));

    EXPECT_EQ(session.Reload(), 0);
    EXPECT_TRUE(session.CodeLoaded());
    EXPECT_NE(session.EntryAddress(), before);
    EXPECT_EQ(session.Send("Test", "Count"), 1) << "the old code's counter survived the unload";
}

TEST(SessionFromFile, AMissingModuleFileIsRefusedByName) {
    Host host;
    try {
        Session session(host, FakeModulePath().parent_path() / "Missing.so");
        FAIL() << "a missing module was loaded";
    } catch (const SessionError& error) {
        EXPECT_NE(std::string(error.what()).find("Missing.so"), std::string::npos);
    }
}

}  // namespace
}  // namespace hostsim
