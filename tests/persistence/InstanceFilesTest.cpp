// The data folder's instance lock and the clean-up of our own leftover temporary files.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#include "TempDir.h"
#include "persistence/CInstanceLock.h"
#include "persistence/TemporaryFiles.h"

namespace {

constexpr std::array<std::string_view, 3> kNames = {"stats.dat", "stats.dat.bad", "settings.dat"};

std::set<std::string> Entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(LeftoverTemporaries, OnlyOurWritersNamesAreRecognised) {
    struct Case {
        const char* name;
        bool leftover;
    };
    const Case cases[] = {
        {".stats.dat.Ab3xQ9", true},
        {".settings.dat.000000", true},
        {".stats.dat.bad.zzzzzz", true},
        {".stats.dat.bad.12.Qq1Qq1", true},  // a numbered keepsake's write
        {"stats.dat", false},
        {"stats.dat.Ab3xQ9", false},         // not hidden
        {".stats.dat.Ab3xQ", false},         // five characters
        {".stats.dat.Ab3xQ99", false},       // seven: a user's ".stats.dat.backup1"
        {".stats.dat.Ab-xQ9", false},        // mkstemp uses letters and digits only
        {".stats.datAb3xQ9", false},         // no separating dot
        {".stats.dat.bad.x.Ab3xQ9", false},  // not a numbered copy
        {".notes.txt.Ab3xQ9", false},        // not one of our files
        {".capwarden.dat.Ab3xQ9", false},    // not in the list given
        {".Ab3xQ9", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLeftoverTemporary(c.name, kNames), c.leftover) << c.name;
    }
}

TEST(LeftoverTemporaries, WritersTemplateIsWhatTheCleanerRemoves) {
    EXPECT_EQ(TemporaryFileTemplate("/data/Tallyglass/stats.dat"),
              "/data/Tallyglass/.stats.dat.XXXXXX");
    EXPECT_EQ(TemporaryFileTemplate("/stats.dat"), "/.stats.dat.XXXXXX");
    EXPECT_EQ(TemporaryFileTemplate("stats.dat"), ".stats.dat.XXXXXX");
    EXPECT_EQ(TemporaryFileTemplate("/data/"), "");

    TempDir temp;
    const std::filesystem::path dir = temp.Path();
    // What a write killed before its rename leaves, made the way the writer makes it.
    std::string crashed = TemporaryFileTemplate((dir / "stats.dat").string());
    const int fd = mkstemp(crashed.data());
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(dir / ".settings.dat.q1W2e3") << "half a settings file";
    // Everything else stays: the files themselves, a user's look-alikes, and what is not a
    // regular file even under one of our names.
    for (const char* keep : {"stats.dat", ".stats.dat.backup1", "notes.txt", ".notes.txt.Ab3xQ9"}) {
        std::ofstream(dir / keep) << "keep";
    }
    std::filesystem::create_directory(dir / ".stats.dat.Dir123");
    std::filesystem::create_symlink(dir / "notes.txt", dir / ".stats.dat.Lnk123");
    const std::set<std::string> kept = {"stats.dat",         ".stats.dat.backup1",
                                        "notes.txt",         ".notes.txt.Ab3xQ9",
                                        ".stats.dat.Dir123", ".stats.dat.Lnk123"};

    EXPECT_EQ(RemoveLeftoverTemporaries(temp.Str(), kNames), 2);
    EXPECT_EQ(Entries(dir), kept);
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.Str(), kNames), 0);
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.Str() + "/missing", kNames), 0);
}

TEST(InstanceLock, OneHolderPerFolderAndTheFolderIsFreeAgainAfterRelease) {
    TempDir temp;
    const std::string folder = temp.Str() + "/new/Tallyglass";  // made by the first start
    CInstanceLock first;
    ASSERT_EQ(first.Acquire(folder), CInstanceLock::Result::Acquired);
    EXPECT_TRUE(first.Held());
    EXPECT_TRUE(std::filesystem::exists(folder + "/" + CInstanceLock::kFileName));

    CInstanceLock second;
    EXPECT_EQ(second.Acquire(folder), CInstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.Held());
    // The same folder spelled otherwise is the same folder.
    EXPECT_EQ(second.Acquire(temp.Str() + "/new/../new/Tallyglass/"),
              CInstanceLock::Result::HeldElsewhere);
    // Other folders are free.
    EXPECT_EQ(second.Acquire(temp.Str() + "/other"), CInstanceLock::Result::Acquired);

    first.Release();
    CInstanceLock third;
    EXPECT_EQ(third.Acquire(folder), CInstanceLock::Result::Acquired);

    // A folder that cannot be made: no lock, and no claim that another meter holds it.
    std::ofstream(temp.Path() / "plain") << "x";
    CInstanceLock none;
    EXPECT_EQ(none.Acquire(temp.Str() + "/plain/Tallyglass"), CInstanceLock::Result::Unavailable);
    EXPECT_FALSE(none.Held());
}

TEST(InstanceLock, AHolderKilledWithoutCleaningUpLeavesNoStaleLock) {
    TempDir temp;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CInstanceLock lock;
        const char result = lock.Acquire(temp.Str()) == CInstanceLock::Result::Acquired ? 'y' : 'n';
        (void)!write(ready[1], &result, 1);
        pause();  // until killed
        _exit(0);
    }
    close(ready[1]);
    char result = 0;
    ASSERT_EQ(read(ready[0], &result, 1), 1);
    close(ready[0]);
    ASSERT_EQ(result, 'y');

    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire(temp.Str()), CInstanceLock::Result::HeldElsewhere);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(lock.Acquire(temp.Str()), CInstanceLock::Result::Acquired);
}

}  // namespace
