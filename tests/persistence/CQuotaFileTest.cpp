#include "persistence/CQuotaFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "persistence/DataFile.h"

namespace {

class QuotaFileTest : public ::testing::Test {
protected:
    std::string QuotaPath() const { return folder.DataFilePath("capwarden.dat"); }

    std::string Read() const {
        std::string text;
        EXPECT_TRUE(ReadTextFile(QuotaPath(), text));
        return text;
    }

    QuotaValues Load(QuotaReadResult expected) const {
        QuotaValues values;
        values.resetDay = 99;  // so a value left from before would show
        std::string text;
        EXPECT_EQ(ReadQuotaFile(folder, values, text), expected);
        return values;
    }

    TempDir temp;
    CDataFolder folder{temp.Str() + "/share/Tallyglass", "/opt/tallyglass/"};
};

TEST_F(QuotaFileTest, WritesOneValuePerLineUploadBeforeDownloadWithSixDecimals) {
    QuotaValues values;
    values.resetDay = 15;
    values.nextPeriodDay = 15;
    values.nextPeriodMonth = 1;
    values.nextPeriodYear = 2027;
    values.allowedTotal = 5120.0;
    values.allowedUpload = -1.0;
    values.allowedDownload = -1.0;
    values.uploaded = 100.25;
    values.downloaded = 1234.5;
    values.active = true;
    values.limitTotal = true;
    ASSERT_TRUE(WriteQuotaFile(folder, values));
    EXPECT_EQ(Read(),
              "V1.0.0\n15\n15\n1\n2027\n5120.000000\n-1.000000\n-1.000000\n100.250000\n"
              "1234.500000\n1\n1\n");
    struct stat info {};
    ASSERT_EQ(stat(QuotaPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(Load(QuotaReadResult::Read), values);
}

TEST_F(QuotaFileTest, MissingFileGivesNeverChosenResetDayButWritesDayOne) {
    const QuotaValues first = Load(QuotaReadResult::Missing);
    EXPECT_EQ(first.resetDay, -1);
    EXPECT_EQ(first.allowedTotal, 0.0);
    EXPECT_FALSE(first.active);
    EXPECT_TRUE(first.limitTotal);
    EXPECT_EQ(Read(),
              "V1.0.0\n1\n1\n1\n1\n0.000000\n0.000000\n0.000000\n0.000000\n0.000000\n0\n1\n");

    const QuotaValues second = Load(QuotaReadResult::Read);
    EXPECT_EQ(second.resetDay, 1);
    EXPECT_EQ(second.allowedTotal, 0.0);
}

TEST_F(QuotaFileTest, AShortFileKeepsTheStartingValuesForWhatIsMissing) {
    QuotaValues values;
    EXPECT_TRUE(ParseQuota("V1.0.0\r\n9\r\n10", values));  // CR LF, no final line end
    QuotaValues expected;
    expected.resetDay = 9;
    expected.nextPeriodDay = 10;
    EXPECT_EQ(values, expected);
    EXPECT_EQ(values.allowedTotal, 1000.0);
}

std::vector<std::string> Lines(const QuotaValues& values) {
    std::vector<std::string> lines;
    const std::string formatted = FormatQuota(values);
    std::string_view text = formatted;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

// A good file with one line replaced.
std::string FileWith(std::size_t line, const std::string& text) {
    const char* good[] = {"V1.0.0", "31",    "31",   "4",    "2026", "0.0",
                          "250.0",  "500.0", "12.5", "40.0", "1",    "0"};
    std::string file;
    for (std::size_t i = 0; i < std::size(good); ++i) {
        file += (i == line ? text : good[i]) + std::string("\n");
    }
    return file;
}

TEST_F(QuotaFileTest, ALineThatDoesNotReadKeepsItsStartingValueAndTheOthersStillRead) {
    QuotaValues good;
    ASSERT_TRUE(ParseQuota(FileWith(0, "V1.0.0"), good));
    const std::pair<std::size_t, const char*> cases[] = {
        {1, "12abc"}, {1, "0"},    {1, "32"},    {2, ""},     {3, "13"},   {6, "-5.0"},
        {7, "nan"},   {8, "-0.5"}, {9, "1e300"}, {10, "yes"}, {11, "1 1"},
    };
    for (const auto& [bad, text] : cases) {
        QuotaValues values;
        EXPECT_FALSE(ParseQuota(FileWith(bad, text), values)) << text;
        // Written back, only the bad line differs from the good file: it has the starting value.
        std::vector<std::string> expected = Lines(good);
        expected[bad] = Lines(QuotaValues())[bad];
        EXPECT_EQ(Lines(values), expected) << "line " << bad << ": " << text;
    }
}

}  // namespace
