#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "MainFrameFixture.h"
#include "app/ToolWindows.h"
#include "graphgl/CGraphWindow.h"
#include "platform/CTranslations.h"

// The six tool windows opened from the graph window's menu, on a private X server with a window
// manager (tests/support/run_with_openbox.py), so their frames are real.
namespace {

constexpr int kWaitMs = 30000;

// The dialog the menu's command showed: the one visible tool window.
QDialog* ShownToolWindow() {
    QDialog* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
            EXPECT_EQ(shown, nullptr) << "two tool windows shown";
            shown = dialog;
        }
    }
    return shown;
}

// Texts and controls a layout squeezed below what they need: cut.
std::string Squeezed(const QWidget& window) {
    std::string squeezed;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        const bool hasText = qobject_cast<const QLabel*>(child) != nullptr ||
                             qobject_cast<const QAbstractButton*>(child) != nullptr ||
                             qobject_cast<const QComboBox*>(child) != nullptr;
        if (hasText && child->isVisible() && child->width() < child->minimumSizeHint().width()) {
            squeezed += child->objectName().toStdString() + " ";
        }
    }
    return squeezed;
}

// The text buttons whose words come closer to an edge than ButtonTextRoom.
std::string Cramped(const QWidget& window) {
    std::string cramped;
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        const int text =
            button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
        if (button->isVisible() && !button->text().isEmpty() &&
            button->width() - text < 2 * ButtonTextRoom(*button)) {
            cramped += button->text().toStdString() + " ";
        }
    }
    return cramped;
}

class ToolWindowsX11Test : public MainFrameFixture {
protected:
    void SetUp() override { MakeFrameAndWait(); }

    void MakeFrameAndWait() {
        frame_ = MakeFrame();
        ASSERT_TRUE(frame_);
        graph_ = frame_->Graph().Window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(graph_, kWaitMs));
    }

    // Puts the graph window at `place` and waits until the window manager has it there.
    void MoveGraph(const QRect& place) {
        graph_->setGeometry(place);
        ASSERT_TRUE(QTest::qWaitFor([&] { return graph_->geometry() == place; }, kWaitMs));
    }

    // The menu's command `index` and the window it shows, once the window manager framed it.
    QDialog* Open(int index) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frame_->Tools().Menu()->actions().at(index)->trigger();
        QDialog* window = ShownToolWindow();
        if (window == nullptr || !QTest::qWaitForWindowExposed(window, kWaitMs) ||
            !QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); },
                             kWaitMs)) {
            return nullptr;
        }
        return window;
    }

    std::unique_ptr<CMainFrame> frame_;
    CGraphWindow* graph_ = nullptr;
};

const struct {
    const char* title;
    const char* germanTitle;
    int menuIndex;
    bool fixed;  // its layout does not grow
} kToolWindows[] = {
    {"Settings", "Einstellungen", 0, true}, {"Statistics", "Statistik", 1, true},
    {"Timer", "Stoppuhr", 2, true},         {"Capwarden", "Capwarden", 3, true},
    {"WebStats", "WebStats", 4, true},      {"Applications", "Anwendungen", 5, false}};

// With the graph where a window centred on the desktop would lie under it, each opens clear of
// the graph; opened again after the graph was moved onto it, it moves out from under it.
TEST_F(ToolWindowsX11Test, NoToolWindowOpensUnderTheGraph) {
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    MoveGraph(QRect(desktop.center().x() + 140, desktop.center().y() - 32, 320, 90));
    for (const auto& tool : kToolWindows) {
        QPointer<QDialog> window = Open(tool.menuIndex);
        ASSERT_TRUE(window) << tool.title;
        EXPECT_EQ(window->windowTitle(), tool.title);
        EXPECT_FALSE(window->frameGeometry().intersects(graph_->frameGeometry()))
            << tool.title << " at " << window->frameGeometry().x() << ","
            << window->frameGeometry().y();
        EXPECT_TRUE(desktop.contains(window->frameGeometry())) << tool.title;

        // The graph dragged over the open window: the menu's command brings it out again.
        const QRect covering(window->frameGeometry().topLeft(), QSize(320, 90));
        MoveGraph(covering);
        EXPECT_EQ(Open(tool.menuIndex), window.data());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !window->frameGeometry().intersects(graph_->frameGeometry()); }, kWaitMs))
            << tool.title;
        window->close();
        // Closed is gone, with all it owns: the Applications window's sockets and model, which
        // the samples then no longer poll.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, kWaitMs)) << tool.title;
        EXPECT_EQ(frame_->Tools().AppsWindowIfOpen(), nullptr) << tool.title;
        MoveGraph(QRect(desktop.center().x() + 140, desktop.center().y() - 32, 320, 90));
    }
}

// A window whose layout does not grow keeps its one size and offers no maximise button; the
// others cut nothing made as small as they go, nor maximised: in English and in German, whose
// words are longer.
TEST_F(ToolWindowsX11Test, FixedLayoutsKeepTheirSizeAndOthersNeverSqueezeTheirControls) {
    for (const bool german : {false, true}) {
        frame_.reset();
        // Installed before the frame, which words its menu as it is made.
        const CTranslations translations(TALLYGLASS_TRANSLATIONS_DIR, {german ? "de-DE" : "en-US"});
        ASSERT_EQ(translations.Language(), german ? "de" : "");
        MakeFrameAndWait();
        for (const auto& tool : kToolWindows) {
            const std::string what = std::string(tool.title) + (german ? " in German" : "");
            QPointer<QDialog> window = Open(tool.menuIndex);
            ASSERT_TRUE(window) << what;
            EXPECT_EQ(window->windowTitle(), german ? tool.germanTitle : tool.title);
            const QSize opened = window->size();
            EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint), !tool.fixed)
                << what;
            EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint)) << what;
            EXPECT_EQ(window->minimumSize() == window->maximumSize(), tool.fixed) << what;
            EXPECT_EQ(Squeezed(*window), "") << what << " as it opens";
            EXPECT_EQ(Cramped(*window), "") << what;

            window->resize(1, 1);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return window->size() == window->minimumSize(); }, kWaitMs))
                << what;
            EXPECT_EQ(Squeezed(*window), "") << what << " made as small as it goes";
            if (tool.fixed) {
                EXPECT_EQ(window->size(), opened) << what;
            } else {
                window->showMaximized();
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] {
                        return window->width() > opened.width() &&
                               window->height() > opened.height();
                    },
                    kWaitMs))
                    << what << " maximised";
                EXPECT_EQ(Squeezed(*window), "") << what << " maximised";
            }
            window->close();
        }
        frame_.reset();  // its texts go before their catalogue
    }
}

}  // namespace
