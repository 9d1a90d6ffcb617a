#include "app/QuotaCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FakeClocks.h"
#include "TempDir.h"

namespace {

// What a run of the command printed on each stream, and its exit code.
struct Printed {
    int code = -1;
    std::string out;
    std::string err;
};

Printed RunCommand(const std::string& folder, const FakeLocalClock& clock) {
    char* out = nullptr;
    char* err = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    std::FILE* outStream = open_memstream(&out, &outSize);
    std::FILE* errStream = open_memstream(&err, &errSize);
    Printed printed;
    printed.code = RunQuota(folder, clock, outStream, errStream);
    std::fclose(outStream);
    std::fclose(errStream);
    printed.out.assign(out, outSize);
    printed.err.assign(err, errSize);
    std::free(out);
    std::free(err);
    return printed;
}

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

constexpr const char* kHistory =
    "V1.0.0\n1 12 2026 500 4000\n5 12 2026 500 4000\n9 12 2026 500 4000\n";

TEST(QuotaCommand, PrintsThePeriodItsUseAndWhereItIsHeading) {
    struct Case {
        const char* name;
        LocalDate today;  // at 12:00
        const char* quota;
        int code;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        // 9000 MB in the last seven and a half days: 1200 a day for 21.5 days more.
        {"total, heading past its limit",
         {10, 12, 2026},
         "V1.0.0\n1\n1\n1\n2027\n61440\n-1\n-1\n4500\n36000\n1\n1\n",
         0,
         "Period start: 2026-12-01\nPeriod end: 2026-12-31\n"
         "Total used: 39.6 GB of 60 GB (65.9%)\n"
         "Total projected: 64.7 GB (107.9%), passing the limit around 2026-12-27\n",
         ""},
        {"separate limits, in the first 24 hours of a period that ended",
         {1, 1, 2027},
         "V1.0.0\n1\n1\n1\n2027\n-1\n2048\n51200\n200\n30000\n1\n0\n",
         0,
         "Period start: 2027-01-01\nPeriod end: 2027-01-31\n"
         "Download used: 0.0 KB of 50 GB (0.0%)\n"
         "Download projected: — (not in the period's first 24 hours)\n"
         "Upload used: 0.0 KB of 2 GB (0.0%)\n"
         "Upload projected: — (not in the period's first 24 hours)\n",
         ""},
        {"switched off",
         {10, 12, 2026},
         "V1.0.0\n1\n0\n0\n0\n-1\n-1\n-1\n0\n0\n0\n0\n",
         1,
         "",
         "tallyglass: the quota is off: switch it on in the Capwarden window.\n"},
        {"never switched on",
         {10, 12, 2026},
         nullptr,
         1,
         "",
         "tallyglass: the quota is off: switch it on in the Capwarden window.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Write(dir.Path() / "stats.dat", kHistory);
        if (c.quota != nullptr) {
            Write(dir.Path() / "capwarden.dat", c.quota);
        }
        const Printed printed = RunCommand(dir.Str(), FakeLocalClock(c.today, 12, 0));
        EXPECT_EQ(printed.code, c.code);
        EXPECT_EQ(printed.out, c.out);
        EXPECT_EQ(printed.err, c.err);
        // Nothing written, not even the default quota file the meter would write.
        EXPECT_EQ(std::filesystem::exists(dir.Path() / "capwarden.dat"), c.quota != nullptr);
    }
}

TEST(QuotaCommand, AFileThatCannotBeReadIsAnError) {
    for (const char* unreadable : {"capwarden.dat", "stats.dat"}) {
        TempDir dir;
        Write(dir.Path() / "capwarden.dat", "V1.0.0\n1\n1\n1\n2027\n102400\n-1\n-1\n0\n0\n1\n1\n");
        std::filesystem::remove(dir.Path() / unreadable);
        std::filesystem::create_directory(dir.Path() / unreadable);
        const Printed printed = RunCommand(dir.Str(), FakeLocalClock({10, 12, 2026}));
        EXPECT_EQ(printed.code, 1) << unreadable;
        EXPECT_EQ(printed.out, "") << unreadable;
        EXPECT_NE(printed.err.find(std::string("cannot read the ")), std::string::npos)
            << printed.err;
    }
}

}  // namespace
