// The tray icon's speeds face: the pictures drawn for every size a tray asks for, and the icon a
// StatusNotifierItem host receives as the speeds change.
#include <QDBusConnection>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "TrayTestSupport.h"
#include "tray/CSystemTray.h"
#include "tray/SpeedIcon.h"

namespace {

// Colours far apart, on a background unlike both, so each pixel tells whose ink it is.
const SpeedIconColours kColours{QColor(0, 230, 0), QColor(240, 40, 40), QColor(10, 10, 60)};

enum class Ink { None, Download, Upload };

Ink InkOf(QRgb p) {
    if (qAlpha(p) < 128) {
        return Ink::None;
    }
    if (qGreen(p) > 110 && qGreen(p) > qRed(p) + 60) {
        return Ink::Download;
    }
    if (qRed(p) > 120 && qRed(p) > qGreen(p) + 60) {
        return Ink::Upload;
    }
    return Ink::None;
}

// Where one ink lies, in device pixels; empty when there is none.
QRect InkBox(const QImage& image, Ink ink) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (InkOf(image.pixel(x, y)) == ink) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace

// At every size and scale the download line keeps to the upper half and the upload line to the
// lower, the widest text uses most of the width without leaving the picture, and a short text
// ends where a full one does.
TEST(SpeedIcon, TwoLinesInTheirOwnHalvesAtEverySize) {
    const char* const shots = std::getenv("TALLYGLASS_SPEED_ICON_SHOTS");
    for (const int size : kSpeedIconSizes) {
        for (const qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(testing::Message() << size << " px at " << ratio);
            const QImage widest = PaintSpeedImage("888M", "8.8K", kColours, size, ratio);
            const QImage usual = PaintSpeedImage("1.2M", "\u200734K", kColours, size, ratio);
            const int pixels = qRound(size * ratio);
            ASSERT_EQ(widest.size(), QSize(pixels, pixels));
            if (shots != nullptr) {
                usual.save(QString("%1/speeds-%2px-x%3.png").arg(shots).arg(size).arg(ratio));
            }

            for (const QImage& image : {widest, usual}) {
                const QRect down = InkBox(image, Ink::Download);
                const QRect up = InkBox(image, Ink::Upload);
                ASSERT_FALSE(down.isEmpty());
                ASSERT_FALSE(up.isEmpty());
                EXPECT_LE(down.bottom(), pixels / 2);
                EXPECT_GE(up.top(), pixels / 2 - 1);
                // Digits tall enough to read: at least half of their half of the picture.
                EXPECT_GE(down.height() * 4, pixels) << down.height();
            }
            const QRect wide = InkBox(widest, Ink::Download);
            EXPECT_GE(wide.width() * 10, pixels * 8) << wide.width();
            EXPECT_GE(wide.left(), 0);
            EXPECT_LT(wide.right(), pixels);
            EXPECT_LE(std::abs(InkBox(usual, Ink::Upload).right() - wide.right()),
                      qRound(ratio * 2));
        }
    }
}

class TraySpeedsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(TestWatcher(), nullptr); }

    // Whether every picture the host has shows download ink over upload ink.
    bool HostShowsSpeeds() {
        const QList<QImage> pictures = ItemPictures(service_);
        return !pictures.isEmpty() && std::all_of(pictures.begin(), pictures.end(), [](auto& p) {
            return !p.isNull() && !InkBox(p, Ink::Download).isEmpty() &&
                   InkBox(p, Ink::Download).bottom() < InkBox(p, Ink::Upload).top();
        });
    }

    QString service_;
};

TEST_F(TraySpeedsTest, HostGetsTheSpeedsOnlyWhenTheTextChanges) {
    QMenu frameMenu;
    frameMenu.addAction("Settings");
    CSystemTray tray;
    tray.Create(frameMenu, "tip", kTrayIconIdle);
    ASSERT_TRUE(TestWatcher()->WaitForItem(service_));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tray.IsTrayStateKnown(); }));
    SignalCounter icons;
    ASSERT_TRUE(QDBusConnection::sessionBus().connect(service_, "/StatusNotifierItem",
                                                      "org.kde.StatusNotifierItem", "NewIcon",
                                                      &icons, SLOT(Count())));

    struct Step {
        const char* name;
        double down;
        double up;
        TrayFace face;
        const char* downText;
        const char* upText;
        int newIcons;     // icons sent so far
        int picture = 0;  // the traffic picture set before, if any
    };
    const Step steps[] = {
        {"speeds", 1228.8, 34.0, TrayFace::Speeds, "1.2M", "\u200734K", 1},
        {"same texts", 1240.0, 34.2, TrayFace::Speeds, "1.2M", "\u200734K", 1},
        {"a new figure", 1240.0, 35.0, TrayFace::Speeds, "1.2M", "\u200735K", 2},
        // The traffic picture meanwhile changes nothing on the speeds face.
        {"picture set behind", 1240.0, 35.0, TrayFace::Speeds, "1.2M", "\u200735K", 2,
         kTrayIconDownUp},
        {"picture face", 0.0, 0.0, TrayFace::Picture, "", "", 3},
        {"speeds again", 1240.0, 35.0, TrayFace::Speeds, "1.2M", "\u200735K", 4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.picture != 0) {
            tray.SetIconFromResource(step.picture);
        }
        tray.ShowRates(step.down, step.up, step.face, kColours);
        EXPECT_EQ(tray.Face(), step.face);
        if (step.face == TrayFace::Speeds) {
            EXPECT_EQ(tray.DownloadText(), QString(step.downText));
            EXPECT_EQ(tray.UploadText(), QString(step.upText));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return icons.count >= step.newIcons; }));
        EXPECT_EQ(HostShowsSpeeds(), step.face == TrayFace::Speeds);
    }
    // Every change arrived, and nothing more.
    EXPECT_EQ(icons.count, steps[std::size(steps) - 1].newIcons);
    EXPECT_EQ(tray.IconId(), kTrayIconDownUp);
}
