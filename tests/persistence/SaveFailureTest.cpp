// Saves that cannot be made: the system's reason reaches the savers, and the user is told once
// per run through the save notice.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "FakeClocks.h"
#include "FakeLocaleTexts.h"
#include "TempDir.h"
#include "persistence/CDataFolder.h"
#include "persistence/CSaveFailureNotice.h"
#include "persistence/CSettingsFile.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"

namespace {

// A folder under /proc can be made by nobody, root included.
const std::string kUncreatable = "/proc/tallyglass-test/Tallyglass";

class CountingObserver : public CObserver {
public:
    void Update() override { ++calls; }
    int calls = 0;
};

}  // namespace

TEST(SaveFailures, FileOperationsGiveTheSystemsReason) {
    TempDir temp;
    const std::string plain = temp.Str() + "/plain";
    std::ofstream(plain) << "x";
    std::filesystem::create_directory(temp.Str() + "/taken.dat");
    std::string text;

    const std::pair<std::function<bool(int*)>, int> cases[] = {
        {[&](int* e) { return EnsureFolder(kUncreatable, e); }, ENOENT},
        {[&](int* e) { return EnsureFolder(plain + "/Tallyglass", e); }, ENOTDIR},
        {[&](int* e) { return EnsureFolder(plain, e); }, ENOTDIR},
        {[&](int* e) { return WriteFileAtomically(kUncreatable + "/stats.dat", "x", e); }, ENOENT},
        {[&](int* e) { return WriteFileAtomically(temp.Str() + "/taken.dat", "x", e); }, EISDIR},
        {[&](int* e) { return WriteKeepsake(kUncreatable + "/stats.dat", "x", nullptr, e); },
         ENOENT},
        {[&](int* e) { return ReadTextFile(temp.Str() + "/taken.dat", text, e); }, EISDIR},
    };
    int index = 0;
    for (const auto& [operation, expected] : cases) {
        int reason = 0;
        EXPECT_FALSE(operation(&reason)) << index;
        EXPECT_EQ(reason, expected) << index << ": " << std::strerror(reason);
        ++index;
    }
    // Failed writes leave no temporary file behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(SaveFailures, EverySaverReportsOnceAndALaterSaveJustWorks) {
    TempDir temp;
    CSaveFailureNotice notice;
    CountingObserver observer;
    notice.Attach(observer);
    FakeMsClock ms(1000);
    FakeLocalClock clock;

    // The folder's place is taken by a file: nothing can be saved, whoever runs the test.
    const std::string blocked = temp.Str() + "/blocked";
    std::ofstream(blocked) << "x";
    const CDataFolder folder = CDataFolder(blocked + "/Tallyglass", "").ReportingTo(notice);

    SettingsValues values;
    EXPECT_EQ(ReadSettings(folder, values), SettingsReadResult::Missing);  // writes a default
    CTrafficHistory history(folder, ms, clock);
    history.Update(5.0, 1.0);
    EXPECT_FALSE(history.Save());
    EXPECT_FALSE(history.Save());
    EXPECT_EQ(notice.Failures(), 3);
    EXPECT_EQ(observer.calls, 1);  // told once per run, of the first failure
    EXPECT_EQ(notice.Message(FakeLocaleTexts()),
              "Cannot save settings.dat in " + blocked + "/Tallyglass: " + std::strerror(ENOTDIR) +
                  ". The meter keeps running, but its figures are not kept "
                  "until saving works again.");

    // The obstacle goes: the next save writes everything counted meanwhile, without a word.
    std::filesystem::remove(blocked);
    ASSERT_TRUE(history.Save());
    std::string saved;
    ASSERT_TRUE(ReadTextFile(folder.DataFilePath("stats.dat"), saved));
    EXPECT_EQ(saved, "V1.0.0\n7 12 2026 1.000000 5.000000\n");
    EXPECT_EQ(notice.Failures(), 3);
    notice.Detach(observer);

    // A history that could not be read is never replaced, and that is a failed save too.
    CSaveFailureNotice fresh;
    const CDataFolder odd = CDataFolder(temp.Str() + "/odd", "").ReportingTo(fresh);
    std::filesystem::create_directories(odd.DataFilePath("stats.dat"));
    CTrafficHistory oddHistory(odd, ms, clock);
    EXPECT_FALSE(oddHistory.Save());
    EXPECT_EQ(fresh.First().fileName, "stats.dat");
    EXPECT_EQ(fresh.First().errorNumber, EISDIR);
}
