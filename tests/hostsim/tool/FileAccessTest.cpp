#include "hostsim/tool/FileAccess.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hostsim/tool/InputError.h"

namespace hostsim::tool {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class FileAccess : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("quorvane-file-access-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override {
        fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(directory_);
    }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(directory_), fs::directory_iterator()));
    }
    fs::path directory_;
};

TEST_F(FileAccess, ReplacingAFileLeavesOnlyTheNewContent) {
    const auto path = (directory_ / "doc.json").string();
    ReplaceFile(path, "first");
    ReplaceFile(path, "second");
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileAccess, AReplacedFileKeepsItsPermissions) {
    const auto path = (directory_ / "doc.json").string();
    ReplaceFile(path, "first");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    ReplaceFile(path, "second");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileAccess, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    const auto real = directory_ / "real.json";
    const auto link = directory_ / "link.json";
    ReplaceFile(real.string(), "old");
    fs::create_symlink("real.json", link);
    ReplaceFile(link.string(), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real.string()), "new");
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(FileAccess, AWriteCutShortLeavesTheOldFileAndNoTemporary) {
    const auto path = (directory_ / "doc.json").string();
    ReplaceFile(path, "old");
    // A file-size limit makes the disk refuse the data halfway, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    try {
        ReplaceFile(path, std::string(100000, 'x'));
    } catch (const InputError& refused) {
        error = refused.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_THAT(error, HasSubstr(path + ": cannot be written"));
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileAccess, WritingIntoAMissingDirectoryFailsWithTheFileNamed) {
    const auto path = (directory_ / "missing" / "doc.json").string();
    try {
        ReplaceFile(path, "new");
        FAIL() << "wrote into a missing directory";
    } catch (const InputError& error) {
        EXPECT_THAT(error.what(), HasSubstr(path + ": cannot be written"));
    }
    EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(FileAccess, ReadingFailuresNameTheFile) {
    const auto missing = (directory_ / "missing.json").string();
    EXPECT_THROW(
        {
            try {
                ReadWholeFile(missing);
            } catch (const InputError& error) {
                EXPECT_THAT(error.what(),
                            HasSubstr(missing + ": cannot be read: No such file or directory"));
                throw;
            }
        },
        InputError);
    EXPECT_THROW(ReadWholeFile(directory_.string()), InputError);
}

}  // namespace
}  // namespace hostsim::tool
