#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/CFileIconEngine.h"

namespace {

const QList<int> kSides = {16, 24, 48, 128};

// One picture a side, each of its own colours, so that a wrong choice shows.
class FileIconEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        for (int side : kSides) {
            Write(side, QColor(side, 255 - side, 90));
        }
    }

    void Write(int side, const QColor& colour) {
        QImage picture(side, side, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.fillRect(side / 4, 0, side / 2, side, colour);
        painter.end();
        ASSERT_TRUE(picture.save(Pattern().arg(side)));
    }

    QString Pattern() const { return folder_.filePath("icon-%1.png"); }

    QIcon Ours() const { return QIcon(new CFileIconEngine(Pattern(), kSides)); }

    QIcon Qts() const {
        QIcon icon;
        for (int side : kSides) {
            icon.addFile(Pattern().arg(side), QSize(side, side));
        }
        return icon;
    }

    QTemporaryDir folder_;
};

TEST_F(FileIconEngineTest, GivesThePicturesOfQtsOwnFileIcon) {
    const QSize sizes[] = {{16, 16},   {20, 20}, {24, 24}, {32, 32}, {128, 128},
                           {256, 256}, {12, 12}, {40, 20}, {8, 64}};
    const QIcon ours = Ours();
    const QIcon qts = Qts();
    EXPECT_EQ(ours.availableSizes(), qts.availableSizes());
    EXPECT_EQ(ours.availableSizes(QIcon::Disabled), qts.availableSizes(QIcon::Disabled));
    for (const QSize& size : sizes) {
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << "x" << size.height() << " mode " << mode);
            EXPECT_EQ(ours.actualSize(size, mode), qts.actualSize(size, mode));
            const QImage got = ours.pixmap(size, mode).toImage();
            const QImage want = qts.pixmap(size, mode).toImage();
            EXPECT_EQ(got.size(), want.size());
            EXPECT_TRUE(got.convertToFormat(QImage::Format_ARGB32) ==
                        want.convertToFormat(QImage::Format_ARGB32));
        }
    }
}

TEST_F(FileIconEngineTest, ReadsThePictureEachTimeInsteadOfKeepingIt) {
    const QIcon icon = Ours();
    EXPECT_EQ(icon.pixmap(24, 24).toImage().pixelColor(12, 12), QColor(24, 231, 90));
    Write(24, QColor(1, 2, 3));
    EXPECT_EQ(icon.pixmap(24, 24).toImage().pixelColor(12, 12), QColor(1, 2, 3));
}

TEST(FileIconEngine, ChoosesTheSmallestPictureThatCoversTheSizeElseTheLargest) {
    struct Case {
        QSize size;
        int side;
    };
    const Case cases[] = {{{16, 16}, 16}, {{17, 17}, 24},    {{30, 10}, 24},
                          {{1, 1}, 16},   {{500, 500}, 128}, {{0, 0}, 16}};
    for (const Case& c : cases) {
        EXPECT_EQ(CFileIconEngine::BestSide(kSides, c.size), c.side)
            << c.size.width() << "x" << c.size.height();
    }
    EXPECT_EQ(CFileIconEngine::BestSide({}, QSize(16, 16)), 0);
    EXPECT_TRUE(QIcon(new CFileIconEngine("%1.png", {})).isNull());
}

}  // namespace
