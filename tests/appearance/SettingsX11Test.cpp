#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "MainFrameFixture.h"
#include "ScopedEnv.h"
#include "WidgetInput.h"
#include "appearance/CColourComboBox.h"
#include "appearance/SettingsWindow.h"
#include "graphgl/CGraphWindow.h"
#include "persistence/DataFile.h"
#include "platform/Folders.h"

// The settings window driving the real graph window, on a private X server with a window manager
// (tests/support/run_with_openbox.py): the screen shows only these tests' windows.
namespace {

constexpr int kWaitMs = 30000;

bool Near(QRgb pixel, QRgb want, int tolerance = 12) {
    return std::abs(qRed(pixel) - qRed(want)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(want)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(want)) <= tolerance;
}

QImage Screen(int x, int y, int width = 1, int height = 1) {
    return QGuiApplication::primaryScreen()->grabWindow(0, x, y, width, height).toImage();
}

class SettingsX11Test : public MainFrameFixture {
protected:
    void SetUp() override {
        frame_ = MakeFrame();
        ASSERT_TRUE(frame_);
        graph_ = frame_->Graph().Window();
        ASSERT_TRUE(RunFramesUntil([this] {
            return graph_->isExposed() && Near(GraphPixel(110, 0), qRgb(20, 103, 219));
        })) << "the graph in Deep Blue";
    }

    // Runs frames, as the program's loop does, until `done` holds.
    bool RunFramesUntil(const std::function<bool()>& done) {
        return QTest::qWaitFor(
            [&] {
                frame_->RunFrame();
                return done();
            },
            kWaitMs);
    }

    // The menu's "Settings" command, and the one window it shows.
    SettingsWindow* OpenSettings() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frame_->Tools().Menu()->actions().at(0)->trigger();
        std::vector<SettingsWindow*> shown;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<SettingsWindow*>(widget);
                window && window->isVisible()) {
                shown.push_back(window);
            }
        }
        return shown.size() == 1 ? shown[0] : nullptr;
    }
    static void Press(SettingsWindow* window, const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }

    QRgb GraphPixel(int x, int y) const {
        return Screen(graph_->x() + x, graph_->y() + y).pixel(0, 0);
    }

    std::unique_ptr<CMainFrame> frame_;
    CGraphWindow* graph_ = nullptr;
};

TEST_F(SettingsX11Test, AppliedThemeAndScanlinesRepaintTheGraph) {
    SettingsWindow* window = OpenSettings();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(OpenSettings(), window);  // a second command shows the same window

    ChooseEntry(window->findChild<QComboBox*>("themeList"), "Scarlet");
    Press(window, "applyButton");
    EXPECT_TRUE(RunFramesUntil([&] {
        return Near(GraphPixel(110, 0), qRgb(255, 0, 0)) &&
               Near(GraphPixel(110, 61), qRgb(193, 0, 0));
    })) << std::hex
        << GraphPixel(110, 0) << " " << GraphPixel(110, 61);

    // Rows darker than both neighbours: none on the gradient, every second one with scanlines.
    const auto darkRows = [&] {
        const QImage column = Screen(graph_->x() + 110, graph_->y(), 1, 40);
        int dark = 0;
        for (int y = 11; y < 31; ++y) {
            const int here = qRed(column.pixel(0, y));
            dark += here < qRed(column.pixel(0, y - 1)) - 20 &&
                    here < qRed(column.pixel(0, y + 1)) - 20;
        }
        return dark;
    };
    EXPECT_EQ(darkRows(), 0);
    ToggleCheckBox(window->findChild<QCheckBox*>("scanlineEffect"));
    Press(window, "okButton");
    EXPECT_TRUE(RunFramesUntil([&] { return darkRows() == 10; })) << darkRows();
}

TEST_F(SettingsX11Test, CaptionOnGivesTheWindowAFrame) {
    graph_->setPosition(300, 300);  // where the title bar fits above it
    ASSERT_TRUE(RunFramesUntil([&] {
        return graph_->frameMargins().top() == 0 && graph_->position() == QPoint(300, 300);
    }));
    SettingsWindow* window = OpenSettings();
    ASSERT_NE(window, nullptr);
    auto* caption = window->findChild<QCheckBox*>("showCaption");
    ToggleCheckBox(caption);
    Press(window, "applyButton");
    ASSERT_TRUE(RunFramesUntil([&] { return graph_->frameMargins().top() >= 10; }));
    // The window manager's title bar is on screen above the graph (the bare root is black).
    const auto title = [&] {
        return Screen(320, 300 - graph_->frameMargins().top() / 2).pixel(0, 0);
    };
    EXPECT_TRUE(RunFramesUntil([&] {
        return title() != qRgb(0, 0, 0) && !Near(title(), qRgb(20, 103, 219), 30);
    })) << std::hex
        << title();

    ToggleCheckBox(caption);
    Press(window, "applyButton");
    EXPECT_TRUE(RunFramesUntil([&] { return graph_->frameMargins().top() == 0; }));
}

TEST_F(SettingsX11Test, OpenColourBoxShowsTheSwatches) {
    SettingsWindow* window = OpenSettings();
    ASSERT_NE(window, nullptr);
    auto* box = window->findChild<CColourComboBox*>("downloadColour");
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window(), kWaitMs));
    for (const auto& [row, colour] : {std::pair{3, qRgb(255, 0, 0)}, std::pair{4, qRgb(0, 0, 255)},
                                      std::pair{9, qRgb(255, 0, 255)}}) {
        const QRect rect = list->visualRect(box->model()->index(row, 0));
        const QPoint origin = list->viewport()->mapToGlobal(rect.topLeft());
        const int right = CColourItemDelegate::SwatchRight(rect.width());
        // Swatch, its black right edge, then no more of its colour.
        const auto shows = [&] {
            const QImage line = Screen(origin.x(), origin.y() + rect.height() / 2, right + 2);
            return line.pixel(4, 0) == colour && line.pixel(right - 3, 0) == colour &&
                   line.pixel(right - 1, 0) == qRgb(0, 0, 0) && line.pixel(right + 1, 0) != colour;
        };
        EXPECT_TRUE(QTest::qWaitFor(shows, kWaitMs)) << "row " << row;
    }
    box->hidePopup();
}

TEST_F(SettingsX11Test, StartAtLoginWritesAValidEntryThatStartsThisProgram) {
    TempDir config;
    const ScopedEnv configHome("XDG_CONFIG_HOME", config.Str().c_str());

    SettingsWindow* window = OpenSettings();
    ASSERT_NE(window, nullptr);
    ToggleCheckBox(window->findChild<QCheckBox*>("startAtLogin"));
    Press(window, "okButton");

    const std::string entry = config.Str() + "/autostart/tallyglass.desktop";
    std::string text;
    ASSERT_TRUE(ReadTextFile(entry, text));
    // This test program is the program running; its path needs no quoting.
    EXPECT_NE(text.find("\nExec=" + ResolveProgramPath() + "\n"), std::string::npos) << text;
    QProcess validate;
    validate.start("desktop-file-validate", {QString::fromStdString(entry)});
    ASSERT_TRUE(validate.waitForFinished(kWaitMs));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
}

}  // namespace
