#include "webstats/WebStatsPage.h"

#include <gtest/gtest.h>

#include <regex>

#include "FakeClocks.h"
#include "FakeLocaleTexts.h"
#include "TempDir.h"
#include "persistence/DataFile.h"

namespace {

// The figures of the expected pages in tests/data/webstats_page_*.html.
WebStatsFigures Figures() {
    WebStatsFigures figures;
    auto set = [&](int hour, int quarter, double down, double up) {
        figures.quarters[hour][quarter - 1] = {down, up};
    };
    set(10, 1, 2.0, 1.0);  // the maximum, 3.0 MB
    set(9, 4, 0.5, 0.5);
    set(13, 1, 1.0, 2.0);
    set(23, 4, 0.25, 0.25);
    set(0, 2, 0.1, 0.0);
    set(7, 1, 0.0, 0.75);
    figures.session = {1536.0, 0.5};
    figures.sessionAverage = {1.0, 0.5};
    figures.lastHour = {20.25, 3.5};
    figures.lastHourSpeed = {1023.9, 0.0};
    figures.lastFiveMinutesSpeed = {0.001, 2048.0};
    figures.start.date = {7, 12, 2026};
    figures.start.hour = 9;
    figures.start.minute = 5;
    return figures;
}

std::string Expected(const char* name) {
    std::string text;
    EXPECT_TRUE(ReadTextFile(std::string(TALLYGLASS_TEST_DATA) + "/" + name, text)) << name;
    return text;
}

TEST(WebStatsPage, MatchesTheExpectedPageByteForByte) {
    const FakeLocaleTexts texts;
    const std::pair<int, const char*> cases[] = {
        {10, "webstats_page_10h.html"},  // block 2: 88 value cells, then 4 empty ones
        {23, "webstats_page_23h.html"},  // block 4: 92 value cells
        {0, "webstats_page_00h.html"},   // block 1: 72 value cells, then 20 empty ones
    };
    for (const auto& [hour, name] : cases) {
        EXPECT_EQ(BuildWebStatsPage(Figures(), hour, texts), Expected(name)) << name;
    }
}

// The chart cells of a page, as (top picture, top height, bottom picture, bottom height).
std::vector<std::string> Cells(const std::string& page) {
    static const std::regex cell(
        "<td><img src=\"(.)\\.gif\" width=\"3\" height=\"(-?\\d+)\"><br>\n"
        "<img src=\"(.)\\.gif\" width=\"3\" height=\"(-?\\d+)\"></td>\n");
    std::vector<std::string> cells;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), cell);
         it != std::sregex_iterator(); ++it) {
        cells.push_back((*it)[1].str() + (*it)[2].str() + (*it)[3].str() + (*it)[4].str());
    }
    return cells;
}

TEST(WebStatsPage, ChartHasTwentyThreeHoursEndingWithTheCurrentOneThenTheRestOfItsBlock) {
    const FakeLocaleTexts texts;
    struct Case {
        int hour;
        std::size_t empty;  // cells after the current hour
    };
    for (const Case c : {Case{0, 20}, Case{5, 0}, Case{6, 20}, Case{10, 4}, Case{17, 0},
                         Case{18, 20}, Case{23, 0}}) {
        WebStatsFigures figures;
        // Every quarter of the current hour, and nothing else: 4 tall cells.
        for (int q = 0; q < 4; ++q) {
            figures.quarters[c.hour][q] = {1.0, 0.0};
        }
        const std::vector<std::string> cells = Cells(BuildWebStatsPage(figures, c.hour, texts));
        ASSERT_EQ(cells.size(), 92u) << c.hour;
        const std::size_t values = 92 - c.empty;
        for (std::size_t i = 0; i < 92; ++i) {
            // The current hour's quarters are the last four value cells.
            // Value cells without traffic draw u.gif first, the empty cells after the current
            // hour d.gif.
            const char* expected = i >= values ? "d0u0" : i + 4 >= values ? "d260u0" : "u0d0";
            EXPECT_EQ(cells[i], expected) << c.hour << " cell " << i;
        }
    }
}

TEST(WebStatsPage, BarHeightsScaleTheLargestQuarterTo260Pixels) {
    struct Case {
        QuarterAmount amount;
        double max;
        BarHeights heights;
    };
    const Case cases[] = {
        {{2.0, 1.0}, 3.0, {173, 86}},  // shown as d.gif 87 above u.gif 86
        {{1.0, 1.0}, 2.0, {130, 130}},
        {{0.0, 0.0}, 0.0, {0, 0}},  // nothing at all: no division by zero
        {{0.1, 0.2}, 3.0, {8, 17}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChartBarHeights(c.amount, c.max), c.heights);
    }
    WebStatsFigures figures;
    figures.quarters[10][0] = {2.0, 1.0};
    figures.quarters[10][1] = {1.0, 1.0};
    const std::vector<std::string> cells = Cells(BuildWebStatsPage(figures, 10, FakeLocaleTexts()));
    ASSERT_EQ(cells.size(), 92u);
    EXPECT_EQ(cells[84], "d87u86");  // quarter 1 of hour 10
    EXPECT_EQ(cells[85], "u0d86");   // equal amounts: u.gif of height 0 above the common height
}

// A day and a half of samples, one a minute, from 00:00 on the 6th: heavy traffic in the first
// hour of each six-hour block on the 6th, light traffic otherwise. Pages are taken five minutes
// into each block on the 7th, when the newest hour has no finished quarter yet.
TEST(WebStatsPage, AfterAFullDayTheNewestHourShowsNothingFromTheDayBefore) {
    TempDir temp;
    const CDataFolder folder(temp.Str(), temp.Str());
    FakeMsClock msClock(1000);
    FakeLocalClock localClock({6, 12, 2026}, 0, 0);
    const FakeLocaleTexts texts;
    CWebStats model(folder, msClock, localClock);
    const std::pair<int, const char*> pages[] = {
        {0, "webstats_day_0005.html"},
        {6, "webstats_day_0605.html"},
        {12, "webstats_day_1205.html"},
        {18, "webstats_day_1805.html"},
    };
    double down = 0.0;
    double up = 0.0;
    std::size_t next = 0;
    for (int minute = 0; next < std::size(pages); ++minute) {
        const int day = 6 + minute / 1440;
        const int hour = minute / 60 % 24;
        localClock.SetDate({day, 12, 2026});
        localClock.SetTime(hour, minute % 60);
        msClock.Advance(60000);
        const double perMinute = day == 6 && hour % 6 == 0 ? 10.0 : 0.5 + 0.05 * hour;
        down += perMinute;
        up += perMinute / 4;
        model.AddSample(down, up);
        if (day == 7 && hour == pages[next].first && minute % 60 == 5) {
            SCOPED_TRACE(pages[next].second);
            const std::string page = BuildWebStatsPage(model.Figures(), hour, texts);
            const std::vector<std::string> cells = Cells(page);
            ASSERT_EQ(cells.size(), 92u);
            // The newest hour: its first quarter is not over, so its four cells are empty.
            for (std::size_t i = 68; i < 72; ++i) {
                EXPECT_EQ(cells[i], "u0d0") << "cell " << i;
            }
            if (page != Expected(pages[next].second)) {
                const std::string actual = temp.Str() + "/../" + pages[next].second;
                WriteFileAtomically(actual, page);
                ADD_FAILURE() << "the page differs from the expected one; it is in " << actual;
            }
            ++next;
        }
    }
}

// A locale whose texts are not plain ASCII.
class AccentedTexts final : public LocaleTexts {
public:
    std::string ShortDate(const LocalDate&) const override {
        return "7 d\xC3\xA9"
               "c.";
    }
    std::string TimeText(int, int) const override { return "9 h 05 \xE5\x8D\x88\xE5\x89\x8D"; }
    std::string HourText(int hour) const override { return std::to_string(hour) + "\xC2\xA0h"; }
};

TEST(WebStatsPage, LocaleTextsBeyondAsciiAreWrittenAsCharacterReferences) {
    const std::string page = BuildWebStatsPage(Figures(), 10, AccentedTexts());
    EXPECT_NE(page.find("Since 9 h 05 &#21320;&#21069; 7 d&#233;c.</td>"), std::string::npos);
    EXPECT_NE(page.find(">13&#160;h-18&#160;h<"), std::string::npos);
    for (const char c : page) {
        ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << "the page declares ISO-8859-1";
    }
}

}  // namespace
