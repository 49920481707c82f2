// Loading module files: really unloading them, reloading them elsewhere.
#include "hostsim/ModuleLoader.h"

#include <gtest/gtest.h>

#include "hostsim/Host.h"
#include "hostsim/Session.h"

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

TEST(ModuleLoader, AFailedLoadNamesTheFile) {
    ModuleLoader loader;
    const std::filesystem::path missing = FakeModulePath().parent_path() / "NoSuchModule.so";
    EXPECT_FALSE(loader.load(missing));
    EXPECT_FALSE(loader.isLoaded());
    EXPECT_NE(loader.errorText().find(missing.string()), std::string::npos) << loader.errorText();
    EXPECT_EQ(loader.findSymbol("PluginMain"), nullptr);
}

TEST(ModuleLoader, FindsExportsAndReallyUnloads) {
    const std::filesystem::path path = FakeModulePath();
    ModuleLoader loader;
    ASSERT_TRUE(loader.load(path)) << loader.errorText();
    EXPECT_TRUE(loader.isLoaded());
    EXPECT_NE(loader.baseAddress(), 0u);
    EXPECT_NE(loader.findSymbol("PluginMain"), nullptr);
    EXPECT_EQ(loader.findSymbol("NoSuchFunction"), nullptr);
    EXPECT_TRUE(ModuleLoader::isResident(path));
    loader.unload();
    EXPECT_FALSE(loader.isLoaded());
    EXPECT_EQ(loader.findSymbol("PluginMain"), nullptr);
    EXPECT_FALSE(ModuleLoader::isResident(path)) << "the code is still mapped after unload";
}

TEST(ModuleLoader, ReloadingAfterReservingTheOldRangeLandsElsewhere) {
    ModuleLoader loader;
    ASSERT_TRUE(loader.load(FakeModulePath())) << loader.errorText();
    const std::uintptr_t before = loader.baseAddress();
    loader.unload(AddressReuse::ReserveOldRange);
    ASSERT_TRUE(loader.holdsReservation()) << loader.errorText();
    ASSERT_TRUE(loader.load(FakeModulePath())) << loader.errorText();
    EXPECT_NE(loader.baseAddress(), before);
    loader.unload();
    EXPECT_FALSE(loader.holdsReservation());
}

TEST(SessionFromFile, ReloadedCodeStartsWithFreshStaticData) {
    Host host;
    Session session(host, FakeModulePath());
    EXPECT_EQ(session.send("Test", "Count"), 1);
    EXPECT_EQ(session.send("Test", "Count"), 2);
    const std::uintptr_t before = session.entryAddress();

    session.unload(AddressReuse::ReserveOldRange);
    EXPECT_FALSE(session.codeLoaded());
    EXPECT_EQ(session.entryAddress(), 0u);
    EXPECT_THROW(session.send("Test", "Count"), SessionError);
    EXPECT_FALSE(ModuleLoader::isResident(FakeModulePath()));

    EXPECT_EQ(session.reload(), 0);
    EXPECT_TRUE(session.codeLoaded());
    EXPECT_NE(session.entryAddress(), before);
    EXPECT_EQ(session.send("Test", "Count"), 1) << "the old code's counter survived the unload";
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
