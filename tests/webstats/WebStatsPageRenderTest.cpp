// The statistics page as a browser shows it: headless Chromium takes a screenshot, and the bars
// and figures are looked for by their pixels.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "persistence/DataFile.h"
#include "platform/QtLocaleTexts.h"
#include "webstats/WebStatsPage.h"

namespace fs = std::filesystem;

namespace {

// The middle column of each bar picture (see resources/make_webstats_pictures.sh).
const QColor kDownload("#2B8A3E");
const QColor kUpload("#E8590C");
const QColor kChartBackground("#FBFAF3");
const QColor kFigureBackground("#F4F1EC");

bool Near(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) <= 6 &&
           std::abs(qGreen(pixel) - colour.green()) <= 6 &&
           std::abs(qBlue(pixel) - colour.blue()) <= 6;
}

// The longest vertical run of pixels of this colour, and where it is.
struct ColourRun {
    int x = -1;
    int top = -1;
    int length = 0;
};
ColourRun LongestRun(const QImage& image, const QColor& colour, int fromX = 0) {
    ColourRun best;
    for (int x = fromX; x < image.width(); ++x) {
        int length = 0;
        for (int y = 0; y <= image.height(); ++y) {
            if (y < image.height() && Near(image.pixel(x, y), colour)) {
                ++length;
                continue;
            }
            if (length > best.length) {
                best = {x, y - length, length};
            }
            length = 0;
        }
    }
    return best;
}

int Count(const QImage& image, const std::function<bool(QRgb)>& match) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += match(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

QImage Screenshot(const fs::path& page, const fs::path& profile, const fs::path& shot) {
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::MergedChannels);
    chromium.start(
        "chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--force-device-scale-factor=1",
         "--user-data-dir=" + QString::fromStdString(profile.string()), "--window-size=700,480",
         "--screenshot=" + QString::fromStdString(shot.string()),
         "file://" + QString::fromStdString(page.string())});
    if (!chromium.waitForFinished(120000)) {
        chromium.kill();
        chromium.waitForFinished();
    }
    return QImage(QString::fromStdString(shot.string())).convertToFormat(QImage::Format_RGB32);
}

TEST(WebStatsPageRender, ChromiumShowsTheBarsAndTheFigures) {
    TempDir temp;
    for (const char* picture : {"u.gif", "d.gif", "tallyglassbg.gif"}) {
        fs::copy_file(fs::path(TALLYGLASS_RESOURCES) / "gfx" / picture, temp.Path() / picture);
    }
    WebStatsFigures figures;
    figures.quarters[10][0] = {2.0, 1.0};  // the maximum: download 87 px above upload 86 px
    figures.quarters[9][2] = {0.0, 1.5};   // upload alone: 130 px
    figures.session = {1536.0, 0.5};
    figures.sessionAverage = {1.0, 0.5};
    figures.lastHour = {20.0, 3.5};
    figures.start.date = {7, 12, 2026};
    figures.start.hour = 9;
    const QtLocaleTexts texts(QLocale(QLocale::English, QLocale::UnitedStates));
    const fs::path page = temp.Path() / "ws.html";
    ASSERT_TRUE(WriteFileAtomically(page.string(), BuildWebStatsPage(figures, 10, texts) + "\n"));

    const fs::path shot = fs::path(TALLYGLASS_BINARY_DIR) / "webstats_page.png";
    fs::remove(shot);
    const QImage image = Screenshot(page, temp.Path() / "profile", shot);
    ASSERT_FALSE(image.isNull()) << "no screenshot from chromium";

    // The chart's background picture is there.
    EXPECT_GT(Count(image, [](QRgb p) { return Near(p, kChartBackground); }), 20000);

    // The tallest download bar: 87 px of d.gif right on top of 86 px of u.gif.
    const ColourRun down = LongestRun(image, kDownload);
    EXPECT_EQ(down.length, 87);
    int below = 0;
    while (down.top + down.length + below < image.height() &&
           Near(image.pixel(down.x, down.top + down.length + below), kUpload)) {
        ++below;
    }
    EXPECT_EQ(below, 86);
    // The upload-only quarter, five cells (3 px each) to the left: 130 px.
    const ColourRun up = LongestRun(image, kUpload);
    EXPECT_EQ(up.length, 130);
    EXPECT_EQ(up.top + up.length, down.top + down.length + below);  // same base line
    EXPECT_LT(up.x, down.x);

    // The figure tables right of the chart hold text: dark pixels on their light background.
    const int figureCells = Count(image, [](QRgb p) { return Near(p, kFigureBackground); });
    EXPECT_GT(figureCells, 5000);
    int darkRightOfChart = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = down.x + 40; x < image.width(); ++x) {
            darkRightOfChart += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(darkRightOfChart, 300) << "no figures drawn beside the chart";
}

}  // namespace
