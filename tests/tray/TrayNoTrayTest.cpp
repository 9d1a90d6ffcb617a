// The tray on a desktop without one (a bus without a StatusNotifierWatcher, an X server without
// an XEmbed tray), and its menu.
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include "MainFrameFixture.h"
#include "app/CMainFrame.h"
#include "appearance/CSettings.h"
#include "graphgl/CGraphWindow.h"
#include "tray/CSystemTray.h"
#include "tray/TrayRules.h"

namespace {

class NoTrayTest : public MainFrameFixture {
protected:
    void SetUp() override {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            GTEST_SKIP() << "this display has a tray";
        }
    }
};

TEST_F(NoTrayTest, ProgramRunsWithItsWindowAndNeverHidesIt) {
    ASSERT_NO_FATAL_FAILURE(SaveHiddenInTray());
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    CSystemTray* tray = frame->Desktop().Tray();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tray->IsTrayStateKnown(); }));
    EXPECT_EQ(tray->HostKind(), CTrayActivation::Host::XEmbed);
    EXPECT_FALSE(tray->TrayAvailable());
    // The saved flag leaves the window shown, and the flag says so.
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame->Graph().Window()));
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);

    emit frame->Graph().Window()->ToggleRequested();
    EXPECT_TRUE(frame->Graph().Window()->isVisible());
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
    EXPECT_FALSE(tray->HideToTray(*frame->Graph().Window()));
    EXPECT_TRUE(frame->Graph().Window()->isVisible());

    // Picture and tip are kept for a tray that may still come.
    frame->RunFrame();
    EXPECT_EQ(tray->IconId(), kTrayIconIdle);
    EXPECT_EQ(tray->Tip(), "HEllo there");
    EXPECT_TRUE(tray->SetIconFromResource(kTrayIconDown));
    EXPECT_FALSE(tray->SetIconFromResource(118));
    EXPECT_EQ(tray->IconId(), kTrayIconDown);
    const QString longTip = QString(60, QChar(0x20AC)) + "x";  // 3 bytes each
    EXPECT_TRUE(tray->SetTip(longTip));
    EXPECT_EQ(tray->Tip(), QString(42, QChar(0x20AC)));
    EXPECT_EQ(tray->Icon()->toolTip(), tray->Tip());
}

TEST_F(NoTrayTest, TrayMenuIsTheWindowsMenuWithSettingsFirstAndEscapeChoosesNothing) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    QMenu* menu = frame->Desktop().Tray()->Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(frame->Desktop().Tray()->Icon()->contextMenu(), menu);
    EXPECT_EQ(menu->actions(), frame->Tools().Menu()->actions());
    ASSERT_NE(menu->defaultAction(), nullptr);
    EXPECT_EQ(menu->defaultAction()->text(), "Settings");

    int chosen = 0;
    QObject::connect(menu, &QMenu::triggered, [&] { ++chosen; });
    QObject::connect(frame->Tools().Menu(), &QMenu::triggered, [&] { ++chosen; });
    menu->popup(QPoint(200, 200));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    EXPECT_EQ(chosen, 0);
}

}  // namespace
