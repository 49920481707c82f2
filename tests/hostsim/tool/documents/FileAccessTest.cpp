#include "hostsim/tool/documents/FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hostsim/tool/documents/FilePlatform.h"
#include "hostsim/tool/documents/InputError.h"

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

TEST_F(FileAccess, AFailingOutputLeavesEveryOtherUnchanged) {
    const auto document = (directory_ / "doc.json").string();
    ReplaceFile(document, "old");
    OutputSet outputs;
    outputs.Add(document, "new");
    outputs.Add((directory_ / "missing" / "picture.svg").string(), "<svg/>");
    EXPECT_THROW(outputs.Commit(), InputError);
    EXPECT_EQ(ReadWholeFile(document), "old");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileAccess, OneFileIsNotTwoOutputsWhateverTheLinks) {
    const auto document = (directory_ / "doc.json").string();
    ReplaceFile(document, "old");
    fs::create_symlink("doc.json", directory_ / "existing.svg");
    fs::create_symlink("new.json", directory_ / "dangling.svg");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {document, (directory_ / "existing.svg").string()},
        {(directory_ / "new.json").string(), (directory_ / "dangling.svg").string()},
        {document, (directory_ / "." / "doc.json").string()},
    };
    for (const auto& [first, second] : cases) {
        EXPECT_TRUE(SameFile(first, second)) << first << " " << second;
        OutputSet outputs;
        outputs.Add(first, "a");
        EXPECT_THROW(outputs.Add(second, "b"), InputError) << first << " " << second;
    }
    EXPECT_FALSE(SameFile(document, (directory_ / "other.json").string()));
}

TEST_F(FileAccess, AnOutputNamedByALinkThatLeadsNowhereIsRefusedByName) {
    fs::create_symlink("self.json", directory_ / "self.json");
    fs::create_symlink("round.json", directory_ / "about.json");
    fs::create_symlink("about.json", directory_ / "round.json");
    fs::create_symlink("missing.json", directory_ / "dangling.json");
    fs::create_symlink("no/such/folder/doc.json", directory_ / "far.json");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"self.json", "it is a link that leads back to itself"},
        {"round.json", "it is a link that leads back to itself"},
        {"dangling.json", "it is a link to "},
        {"far.json", "it is a link to "},
    };
    for (const auto& [name, why] : cases) {
        const auto path = (directory_ / name).string();
        try {
            ReplaceFile(path, "new");
            ADD_FAILURE() << "wrote through " << name;
        } catch (const InputError& error) {
            EXPECT_THAT(error.what(), HasSubstr(path + ": cannot be written: " + why));
        }
        EXPECT_TRUE(fs::is_symlink(directory_ / name)) << name << " was replaced";
    }
    EXPECT_EQ(EntryCount(), cases.size() + 1);
}

// The temporary file beside a target is created, never opened: a link planted at its name
// (by someone who guessed it) is not followed, and the file it names stays as it was.
TEST_F(FileAccess, ANewFileIsNeverWrittenThroughWhatIsAlreadyThere) {
    const auto victim = directory_ / "victim.txt";
    ReplaceFile(victim.string(), "precious");
    fs::create_symlink("victim.txt", directory_ / "planted.tmp");
    fs::create_symlink("gone.txt", directory_ / "dangling.tmp");
    for (const auto* name : {"planted.tmp", "dangling.tmp", "victim.txt"}) {
        std::string why;
        EXPECT_EQ(
            platform::WriteNewFile(directory_ / name, "forged", fs::path(), "the folder", why),
            platform::Created::NameTaken)
            << name << ": " << why;
    }
    EXPECT_EQ(ReadWholeFile(victim.string()), "precious");
    EXPECT_FALSE(fs::exists(directory_ / "gone.txt"));
}

TEST_F(FileAccess, WhatIsNotARegularFileIsNeitherReadNorReplaced) {
    const auto pipe = directory_ / "pipe.json";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("pipe.json", directory_ / "link.json");
    for (const auto* name : {"pipe.json", "link.json"}) {
        const auto path = (directory_ / name).string();
        try {
            ReadWholeFile(path);
            ADD_FAILURE() << "read " << name;
        } catch (const InputError& error) {
            EXPECT_THAT(error.what(), HasSubstr(path + ": is not a regular file"));
        }
        OutputSet outputs;
        EXPECT_THROW(outputs.Add(path, "new"), InputError) << name;
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(FileAccess, AFileBeyondTheSizeLimitIsNotRead) {
    const auto path = (directory_ / "big.json").string();
    std::ofstream(path).close();
    fs::resize_file(path, kMaxInputBytes + 1);  // sparse: takes no room on disk
    try {
        ReadWholeFile(path);
        FAIL() << "read a file beyond the limit";
    } catch (const InputError& error) {
        EXPECT_THAT(error.what(), HasSubstr(path + ": is larger than the 256 MiB"));
    }
}

TEST_F(FileAccess, TemporaryNamesFitBesideTheLongestNames) {
    const std::vector<std::string> names = {"doc.json", std::string(250, 'n') + ".json", [] {
                                                std::string accents;
                                                for (int i = 0; i < 120; ++i) {
                                                    accents += "\xC3\xA9";
                                                }
                                                return accents + ".json";
                                            }()};
    for (const auto& name : names) {
        const auto temporary = TemporaryNameBeside(directory_ / name, 999999);
        const std::string temporaryName = temporary.filename().string();
        EXPECT_LE(temporaryName.size(), 255u) << name;
        EXPECT_EQ(Printable(temporaryName), temporaryName) << "cut inside a character";
        EXPECT_EQ(temporary.parent_path(), directory_);
    }
    const auto longest = (directory_ / (std::string(250, 'n') + ".json")).string();
    ReplaceFile(longest, "written");
    EXPECT_EQ(ReadWholeFile(longest), "written");
    EXPECT_EQ(EntryCount(), 1u);
}

// What belongs to a replaced file stays with it: as root, its owner and group (the new
// version is made by root, and would belong to root), and its mode, set-group bit included.
TEST_F(FileAccess, AReplacedFileKeepsItsOwnerAndGroupWhenRootWritesIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    const auto path = directory_ / "theirs.json";
    ReplaceFile(path.string(), "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path.c_str(), 02640), 0);
    ReplaceFile(path.string(), "new");
    struct stat file {};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    EXPECT_EQ(file.st_uid, 65534u);
    EXPECT_EQ(file.st_gid, 65534u);
    EXPECT_EQ(file.st_mode & 07777, 02640u);
    EXPECT_EQ(ReadWholeFile(path.string()), "new");
}

// While it lives, the effective user and group are nobody (65534), a user without rights to
// the files root made; root again afterwards.
class AsNobody {
  public:
    AsNobody() { ok_ = ::setegid(65534) == 0 && ::seteuid(65534) == 0; }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;
    ~AsNobody() {
        (void)!::seteuid(0);
        (void)!::setegid(0);
    }
    bool Ok() const { return ok_; }

  private:
    bool ok_ = false;
};

// A file that may not be fairly replaced is refused before anything is written, with the
// reason, and neither it nor its folder changes. The folder is named where it is the cause.
TEST_F(FileAccess, AFileThatMayNotBeReplacedIsRefusedWithTheReason) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the cases of another user's files need root (to act as nobody)";
    }
    struct Case {
        const char* name;
        bool asNobody;
        std::function<void(const fs::path& file, const fs::path& folder)> setUp;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"read-only", false,
         [](const fs::path& file, const fs::path&) { ::chmod(file.c_str(), 0444); },
         "it is read-only (mode 0444, owned by root)"},
        {"hard-linked", false,
         [](const fs::path& file, const fs::path& folder) {
             fs::create_hard_link(file, folder / "other-name.json");
         },
         "it has 2 names (hard links)"},
        {"another-users", true,
         [](const fs::path& file, const fs::path&) { ::chmod(file.c_str(), 0644); },
         "you may not write it (mode 0644, owned by root): Permission denied"},
        {"read-only-folder", true,
         [](const fs::path& file, const fs::path& folder) {
             ::chmod(file.c_str(), 0666);
             ::chmod(folder.c_str(), 0555);
         },
         "read-only-folder cannot be written to (Permission denied), and a new version is written "
         "there before "
         "it takes the file's place; the file itself could be written"},
        {"sticky-folder", true,
         [](const fs::path& file, const fs::path& folder) {
             ::chmod(file.c_str(), 0666);
             ::chmod(folder.c_str(), 01777);
         },
         "is sticky (as /tmp is): only the file's owner may replace a file there (mode 0666, "
         "owned by root); the file itself could be written"},
        {"writable-but-theirs", true,
         [](const fs::path& file, const fs::path& folder) {
             ::chmod(file.c_str(), 0666);
             ::chmod(folder.c_str(), 0777);
         },
         "its owner and group cannot be kept (mode 0666, owned by root, group 0): Operation not "
         "permitted; a new version would belong to you"},
    };
    ::chmod(directory_.c_str(), 0755);
    for (const auto& test : cases) {
        const fs::path folder = directory_ / test.name;
        fs::create_directories(folder);
        const fs::path file = folder / "doc.json";
        ReplaceFile(file.string(), "old");
        test.setUp(file, folder);
        const auto entries =
            std::distance(fs::directory_iterator(folder), fs::directory_iterator());
        std::string error;
        try {
            std::optional<AsNobody> nobody;
            if (test.asNobody) {
                nobody.emplace();
                ASSERT_TRUE(nobody->Ok()) << "cannot act as nobody";
            }
            ReplaceFile(file.string(), "new");
            ADD_FAILURE() << test.name << ": replaced";
        } catch (const InputError& refused) {
            error = refused.what();
        }
        EXPECT_THAT(error, HasSubstr(file.string() + ": cannot be written: ")) << test.name;
        EXPECT_THAT(error, HasSubstr(test.reason)) << test.name;
        EXPECT_THAT(error, HasSubstr("no file was changed")) << test.name;
        EXPECT_EQ(ReadWholeFile(file.string()), "old") << test.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), entries)
            << test.name << ": a temporary was left";
        ::chmod(folder.c_str(), 0755);
    }
}

// The id of a process that has ended: a child that exits at once.
unsigned long EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<unsigned long>(child);
}

// A run killed while writing leaves its temporary; the next run on the same file removes it,
// and only what it can prove was left: a temporary of that file, made by a process that has
// ended, which no one holds.
TEST_F(FileAccess, AnAbandonedTemporaryIsRemovedByTheNextRunOnTheFile) {
    const auto path = directory_ / "big.svg";
    ReplaceFile(path.string(), "old");
    const std::string ended = std::to_string(EndedProcess());
    const std::string alive = std::to_string(::getppid());
    struct Leftover {
        std::string name;
        bool removed;
    };
    const std::vector<Leftover> leftovers = {
        {".big.svg." + ended + "-123456.tmp", true},     // killed
        {".big.svg." + ended + "-7.tmp", true},          // killed, another attempt's name
        {".big.svg." + alive + "-123456.tmp", false},    // its process still runs
        {".big.svg." + ended + "-654321.tmp", false},    // held (locked) by someone
        {".other.svg." + ended + "-123456.tmp", false},  // another file's
        {".big.svg.123456.tmp", false},                  // no process named
        {".big.svg." + ended + "-12x.tmp", false},       // not a name this program makes
        {"big.svg." + ended + "-123456.tmp", false},     // not hidden: not ours
    };
    for (const auto& leftover : leftovers) {
        std::ofstream(directory_ / leftover.name) << std::string(1000, 'x');
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open is variadic
    const int held = ::open((directory_ / leftovers[3].name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ReplaceFile(path.string(), "new");
    ::close(held);
    for (const auto& leftover : leftovers) {
        EXPECT_EQ(fs::exists(directory_ / leftover.name), !leftover.removed) << leftover.name;
    }
    EXPECT_EQ(ReadWholeFile(path.string()), "new");
    EXPECT_EQ(EntryCount(), 1 + 6u);
}

TEST_F(FileAccess, TemporaryNamesTellTheProcessThatMadeThem) {
    const auto temporary = TemporaryNameBeside(directory_ / "doc.json", 42);
    EXPECT_EQ(temporary.filename().string(), ".doc.json." + std::to_string(::getpid()) + "-42.tmp");
}

TEST(Printable, ControlCharactersAndBrokenBytesAreShownAsEscapes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Cover", "Cover"},
        {"Ünïcode – ok", "Ünïcode – ok"},
        {"two\nlines\r\t", "two\\nlines\\r\\t"},
        {"\x1b[31mred", "\\u001B[31mred"},
        {std::string("nul\0", 4), "nul\\u0000"},
        {"del\x7f", "del\\u007F"},
        {"csi\xC2\x9B", "csi\\u009B"},
        {"latin-1 \xE9t\xE9", "latin-1 \\xE9t\\xE9"},
        {"cut \xE2\x82", "cut \\xE2\\x82"},
        {"surrogate \xED\xA0\x80", "surrogate \\xED\\xA0\\x80"},
        {"non-character \xEF\xBF\xBF", "non-character \\uFFFF"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(Printable(text), shown);
    }
}

}  // namespace
}  // namespace hostsim::tool
