#include "platform/Folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "persistence/CDataFolder.h"

TEST(Folders, DataFolderFollowsTheEnvironmentInOrder) {
    // An explicit folder is used as given.
    EXPECT_EQ(ResolveDataFolder("/srv/tg/", "/x", "/home/a"), "/srv/tg");
    // Empty counts as unset; a relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(ResolveDataFolder("", "/data/", "/home/a"), "/data/Tallyglass");
    EXPECT_EQ(ResolveDataFolder(nullptr, "rel/share", "/home/a/"),
              "/home/a/.local/share/Tallyglass");
    EXPECT_EQ(ResolveDataFolder(nullptr, nullptr, "/"), "/.local/share/Tallyglass");
    EXPECT_EQ(ResolveDataFolder(nullptr, "", nullptr), "/.local/share/Tallyglass");
}

TEST(Folders, CommandLineFolderStandsInForTheVariable) {
    const ScopedEnv home("HOME", "/home/a");
    const ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    struct Case {
        const char* commandLine;
        const char* variable;
        const char* folder;
    };
    const Case cases[] = {
        {"", nullptr, "/home/a/.local/share/Tallyglass"},
        {"", "/env/tg", "/env/tg"},
        {"/cli/tg/", "/env/tg", "/cli/tg"},
        {"relative", nullptr, "relative"},  // as the variable would be: used as given
    };
    for (const Case& c : cases) {
        const ScopedEnv variable("TALLYGLASS_DATA_DIR", c.variable);
        EXPECT_EQ(ResolveDataFolder(c.commandLine), c.folder) << c.commandLine;
    }
}

TEST(Folders, ConfigFolderFollowsXdgConfigHomeElseHome) {
    EXPECT_EQ(ResolveConfigFolder("/cfg/", "/home/a"), "/cfg");
    EXPECT_EQ(ResolveConfigFolder("", "/home/a/"), "/home/a/.config");
    EXPECT_EQ(ResolveConfigFolder("rel/cfg", "/home/a"), "/home/a/.config");
    EXPECT_EQ(ResolveConfigFolder(nullptr, nullptr), "/.config");
}

TEST(Folders, ProgramFolderHoldsTheRunningExecutable) {
    const std::string folder = ResolveProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(access((folder + "persistence_tests").c_str(), X_OK), 0) << folder;
    EXPECT_EQ(ResolveProgramPath(), folder + "persistence_tests");
}

TEST(Folders, ResourcesComeFromShareOnceInstalledElseFromBesideTheProgram) {
    TempDir temp;
    const std::string prefix = temp.Str() + "/usr/";
    std::filesystem::create_directories(prefix + "bin");
    // A build tree: nothing under share, the executable's folder holds the resources.
    EXPECT_EQ(ResourceFolderFor(prefix + "bin/"), prefix + "bin/");
    // A share/tallyglass without pictures is not an install of ours.
    std::filesystem::create_directories(prefix + "share/tallyglass");
    EXPECT_EQ(ResourceFolderFor(prefix + "bin/"), prefix + "bin/");
    std::filesystem::create_directories(prefix + "share/tallyglass/gfx");
    EXPECT_EQ(ResourceFolderFor(prefix + "bin/"), prefix + "share/tallyglass/");
}

TEST(CDataFolder, BuildsPathsAndCreatesMissingParentsPrivately) {
    TempDir temp;
    const CDataFolder folder(temp.Str() + "/share/deeper/Tallyglass/", "/opt/tg");
    EXPECT_EQ(folder.DataFolder(), temp.Str() + "/share/deeper/Tallyglass");
    EXPECT_EQ(folder.DataFilePath("stats.dat"), temp.Str() + "/share/deeper/Tallyglass/stats.dat");
    EXPECT_EQ(folder.ProgramFolder(), "/opt/tg/");
    EXPECT_EQ(folder.ProgramFilePath("gfx/warning.bmp"), "/opt/tg/gfx/warning.bmp");

    ASSERT_TRUE(folder.EnsureDataFolder());
    ASSERT_TRUE(folder.EnsureDataFolder());  // existing already: still fine
    struct stat info {};
    ASSERT_EQ(stat(folder.DataFolder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(stat((temp.Str() + "/share").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A regular file in the way cannot become a folder, whoever runs the test.
    std::ofstream(temp.Str() + "/plain") << "x";
    EXPECT_FALSE(CDataFolder(temp.Str() + "/plain/Tallyglass", "").EnsureDataFolder());
    EXPECT_FALSE(CDataFolder(temp.Str() + "/plain", "").EnsureDataFolder());
}
