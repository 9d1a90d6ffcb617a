#include "persistence/DataFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <fstream>
#include <set>
#include <vector>

#include "CommaLocale.h"
#include "TempDir.h"
#include "WriteFailures.h"

namespace {

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string Contents(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadTextFile(path, text)) << path;
    return text;
}

}  // namespace

TEST(DataFile, WriteReplacesWholeFileWithPrivateModeAndLeavesNoTemporary) {
    TempDir temp;
    const std::string path = temp.Str() + "/settings.dat";
    std::ofstream(path) << "old contents that are longer than the new ones\n";
    chmod(path.c_str(), 0644);

    ASSERT_TRUE(WriteFileAtomically(path, "V1.0.0\n1\n"));
    EXPECT_EQ(Contents(path), "V1.0.0\n1\n");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // the WebStats file holds a password
    EXPECT_EQ(Entries(temp.Str()), std::set<std::string>{"settings.dat"});

    // A first write creates the file; empty contents are a valid file too.
    ASSERT_TRUE(WriteFileAtomically(temp.Str() + "/empty.dat", ""));
    EXPECT_EQ(Contents(temp.Str() + "/empty.dat"), "");
}

TEST(DataFile, FailedWriteKeepsOldFileAndRemovesTemporary) {
    TempDir temp;
    const std::string path = temp.Str() + "/stats.dat";
    std::ofstream(path) << "V1.0.0\nprevious\n";

    // A write cut short (file size limit; works for root too) must not replace the file.
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(5000, 'x')));
    }
    EXPECT_EQ(Contents(path), "V1.0.0\nprevious\n");
    EXPECT_EQ(Entries(temp.Str()), std::set<std::string>{"stats.dat"});

    // A folder in the target's place, and a target whose folder is missing.
    std::filesystem::create_directory(temp.Str() + "/taken.dat");
    EXPECT_FALSE(WriteFileAtomically(temp.Str() + "/taken.dat", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Str() + "/taken.dat"));
    EXPECT_FALSE(WriteFileAtomically(temp.Str() + "/missing/stats.dat", "x"));
    EXPECT_EQ(Entries(temp.Str()), (std::set<std::string>{"stats.dat", "taken.dat"}));
}

TEST(DataFile, ExistenceAndReadingOfOddEntries) {
    TempDir temp;
    EXPECT_TRUE(FileExists(temp.Str()));  // a folder counts as existing
    EXPECT_FALSE(FileExists(temp.Str() + "/none"));
    std::string text = "stale";
    EXPECT_FALSE(ReadTextFile(temp.Str() + "/none", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadTextFile(temp.Str(), text));  // a folder is not a file
}

TEST(DataFile, ReaderTakesLfAndCrLfLinesAndScansNumbersAcrossThem) {
    CTextReader lines("V1.0.0\r\nDeep Blue \r\n\nlast");
    std::string_view line;
    std::vector<std::string> read;
    while (lines.ReadLine(line)) {
        read.emplace_back(line);
    }
    // The last line has no line end.
    EXPECT_EQ(read, (std::vector<std::string>{"V1.0.0", "Deep Blue ", "", "last"}));

    CTextReader numbers(" 701\r\n-1\n+2 1536.250000\r\n.5 x");
    int i[3] = {};
    double d[2] = {};
    ASSERT_TRUE(numbers.ScanInt(i[0]) && numbers.ScanInt(i[1]) && numbers.ScanInt(i[2]));
    ASSERT_TRUE(numbers.ScanDouble(d[0]) && numbers.ScanDouble(d[1]));
    EXPECT_EQ(i[0] + i[1] + i[2], 702);
    EXPECT_EQ(d[0] + d[1], 1536.75);
    EXPECT_FALSE(numbers.ScanInt(i[0]));  // "x": the value stays, nothing is consumed
    EXPECT_EQ(i[0], 701);
    EXPECT_FALSE(numbers.AtEndIgnoringSpace());

    CTextReader tail("1\r\nsecond line\r\n");
    ASSERT_TRUE(tail.ScanInt(i[0]));
    tail.SkipLineEnd();  // takes the whole CR LF
    ASSERT_TRUE(tail.ReadLine(line));
    EXPECT_EQ(line, "second line");

    // Out of range, not finite, or two signs: no data file holds such numbers.
    EXPECT_FALSE(CTextReader("99999999999").ScanInt(i[0]));
    EXPECT_FALSE(CTextReader("+-1").ScanInt(i[0]));
    EXPECT_FALSE(CTextReader("nan").ScanDouble(d[0]));
    EXPECT_FALSE(CTextReader("inf").ScanDouble(d[0]));
}

TEST(DataFile, FormatsLongTextsWhole) {
    std::string out = "x";
    AppendFormatted(out, "%d %f\n", 7, 1e300);
    EXPECT_EQ(out.size(), 1u + 2u + 301u + 7u + 1u);
    EXPECT_EQ(out.substr(out.size() - 8), ".000000\n");
}

TEST(DataFile, FormatsWithPointWhateverTheLocale) {
    std::string out;
    {
        CommaLocale comma;
        if (comma.Found() == nullptr) {
            GTEST_SKIP() << "no locale with a decimal comma installed";
        }
        AppendFormatted(out, "%f", 1536.25);
    }
    EXPECT_EQ(out, "1536.250000");
}
