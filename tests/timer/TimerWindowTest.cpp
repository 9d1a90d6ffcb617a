#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "StopwatchFixture.h"
#include "timer/CPictureButton.h"
#include "timer/TimerWindow.h"

namespace {

QImage Rgb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

class TimerWindowTest : public StopwatchFixture {
protected:
    TimerWindowTest() { window.show(); }

    QString Text(const char* field) const {
        const auto* edit = window.findChild<QLineEdit*>(field);
        return edit != nullptr ? edit->text() : "(missing " + QString(field) + ")";
    }

    // Downloaded, uploaded, their speeds, the running time and the state, as shown.
    QStringList Shown() const {
        return {Text("downloadedEdit"), Text("uploadedEdit"), Text("downloadRateEdit"),
                Text("uploadRateEdit"), Text("elapsedEdit"),  Text("stateEdit")};
    }

    CPictureButton* Button(const char* name) const {
        auto* button = window.findChild<CPictureButton*>(name);
        EXPECT_NE(button, nullptr) << name;
        return button;
    }

    TimerWindow window{history, ms};
};

TEST_F(TimerWindowTest, OpensStoppedWithZerosAndNamedReadOnlyFields) {
    EXPECT_EQ(window.windowTitle(), "Timer");
    EXPECT_EQ(Shown(), (QStringList{"0 B", "0 B", "0.0 KB/s", "0.0 KB/s", "00:00:00", "Stopped"}));
    for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
        EXPECT_FALSE(edit->accessibleName().isEmpty()) << edit->objectName().toStdString();
        // Long figures fit: "1023.99 MB", "1024.0 MB/s".
        EXPECT_GE(edit->contentsRect().width(),
                  edit->fontMetrics().horizontalAdvance("1024.0 MB/s"))
            << edit->objectName().toStdString();
    }
    EXPECT_EQ(Button("startButton")->accessibleName(), "Start");
    EXPECT_EQ(Button("pauseButton")->accessibleName(), "Pause");
    EXPECT_EQ(Button("resetButton")->accessibleName(), "Reset");
}

TEST_F(TimerWindowTest, ButtonPressesChangeTheStateAndTheFigures) {
    QTest::mouseClick(Button("startButton"), Qt::LeftButton);
    EXPECT_EQ(Text("stateEdit"), "Running");
    EXPECT_EQ(Button("startButton")->accessibleName(), "Stop");

    ms.Advance(10000);
    Traffic(1.5, 0.75);
    window.Refresh();  // as the per-frame update does
    EXPECT_EQ(Shown(), (QStringList{"1.50 MB", "768.00 KB", "153.6 KB/s", "76.8 KB/s", "00:00:10",
                                    "Running"}));

    // Pause counts up to the press: these 5 s and 1 MB are in.
    ms.Advance(5000);
    Traffic(1.0, 0.0);
    QTest::mouseClick(Button("pauseButton"), Qt::LeftButton);
    EXPECT_EQ(Shown(), (QStringList{"2.50 MB", "768.00 KB", "170.7 KB/s", "51.2 KB/s", "00:00:15",
                                    "Paused"}));
    ms.Advance(60000);
    Traffic(100.0, 100.0);
    window.Refresh();
    EXPECT_EQ(Text("elapsedEdit"), "00:00:15");

    // From the keyboard, Pause resumes (some download was counted).
    QTest::keyClick(Button("pauseButton"), Qt::Key_Space);
    EXPECT_EQ(Text("stateEdit"), "Running");
    ms.Advance(5000);
    window.Refresh();
    EXPECT_EQ(Text("elapsedEdit"), "00:00:20");
    EXPECT_EQ(Text("downloadedEdit"), "2.50 MB");

    QTest::mouseClick(Button("resetButton"), Qt::LeftButton);
    EXPECT_EQ(Shown(), (QStringList{"0 B", "0 B", "0.0 KB/s", "0.0 KB/s", "00:00:00", "Stopped"}));
    EXPECT_EQ(Button("startButton")->accessibleName(), "Start");
}

TEST_F(TimerWindowTest, EachButtonShowsItsPictureInEveryLook) {
    struct Case {
        const char* button;
        const char* picture;
    };
    const QImage window0 = Rgb(window.grab());
    for (const Case& c :
         {Case{"startButton", "play"}, Case{"pauseButton", "pause"}, Case{"resetButton", "stop"}}) {
        SCOPED_TRACE(c.button);
        CPictureButton* button = Button(c.button);
        const QImage normal(QString(":/timer/%1.png").arg(c.picture));
        const QImage pressed(QString(":/timer/%1-pressed.png").arg(c.picture));
        ASSERT_EQ(normal.size(), QSize(75, 23));
        ASSERT_EQ(pressed.size(), QSize(75, 23));
        EXPECT_NE(normal, pressed);
        EXPECT_EQ(button->size(), QSize(75, 23));

        // On the window as drawn, then held down, focused, and disabled.
        const QRect place(button->mapTo(&window, QPoint(0, 0)), button->size());
        EXPECT_EQ(window0.copy(place), normal.convertToFormat(QImage::Format_RGB32));
        QTest::mousePress(button, Qt::LeftButton);
        EXPECT_EQ(Rgb(button->grab()), pressed.convertToFormat(QImage::Format_RGB32));
        QTest::mouseRelease(button, Qt::LeftButton);
        button->setFocus();
        EXPECT_EQ(Rgb(button->grab()), normal.convertToFormat(QImage::Format_RGB32));
        button->setEnabled(false);
        EXPECT_EQ(Rgb(button->grab()), normal.convertToFormat(QImage::Format_RGB32));
        button->setEnabled(true);
    }
    // For people to look at.
    window0.save(TALLYGLASS_SHOT_DIR "/timer_window.png");
}

}  // namespace
