#include "quota/CapwardenWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "FakeLocaleTexts.h"
#include "MessageBoxes.h"
#include "QuotaTestSupport.h"

namespace {

struct SeenBox {
    QString title;
    QString text;
    int count = 0;
};

// Runs `action`, answering every message box it opens with `answer`; the last one is kept.
template <typename Action>
SeenBox AnswerBoxes(Action action, QMessageBox::StandardButton answer = QMessageBox::Ok) {
    MessageBoxes boxes(answer);
    action();
    SeenBox seen;
    seen.count = static_cast<int>(boxes.seen.size());
    if (!boxes.seen.empty()) {
        seen.title = boxes.seen.back().caption;
        seen.text = boxes.seen.back().text;
    }
    return seen;
}

class CapwardenWindowTest : public QuotaFixture {
protected:
    CapwardenWindowTest() : QuotaFixture({15, 4, 2026}) {}

    void Start(const QuotaValues* file = nullptr) {
        StartQuota(file);
        Open();
    }

    void Open() {
        window = std::make_unique<CapwardenWindow>(*quota, std::make_unique<FakeLocaleTexts>());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename Widget>
    Widget* Find(const char* name) {
        auto* widget = window->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QCheckBox* Check(const char* name) { return Find<QCheckBox>(name); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    QComboBox* Combo(const char* name) { return Find<QComboBox>(name); }
    QLabel* Label(const char* name) { return Find<QLabel>(name); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

    // Near the left edge: a check box spanning a wide column only takes clicks on its box and text.
    void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void Type(const char* edit, const char* text) {
        Edit(edit)->clear();
        QTest::keyClicks(Edit(edit), text);
    }
    SeenBox Apply() {
        return AnswerBoxes([this] { Click(Button("applyButton")); });
    }

    static bool IsRed(QLabel* label) {
        return label->palette().color(QPalette::Active, QPalette::WindowText) == QColor(255, 0, 0);
    }

    std::unique_ptr<CapwardenWindow> window;
};

QuotaValues ActiveTotal(double limit, double downloaded) {
    return ActiveTotalQuota(limit, downloaded, 0.0, 20, {20, 4, 2026});
}

TEST_F(CapwardenWindowTest, AFreshInstallationShowsTheFirstResetDayAndEverythingOff) {
    Start();
    EXPECT_FALSE(Check("activateCheck")->isChecked());
    EXPECT_EQ(Combo("resetDayCombo")->count(), 31);
    EXPECT_EQ(Combo("resetDayCombo")->currentText(), "1st");
    EXPECT_EQ(Label("nextPeriodDate")->text(), " ");
    EXPECT_FALSE(Button("applyButton")->isEnabled());
    for (const char* name :
         {"totalModeCheck", "separateModeCheck", "resetDayCombo", "totalEdit", "downloadEdit",
          "uploadUnitCombo", "downloadedValue", "totalPercent"}) {
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Check("totalModeCheck")->isChecked());
    EXPECT_FALSE(Check("separateModeCheck")->isChecked());

    // Switching on opens the choices; a mode opens its own entries only.
    Click(Check("activateCheck"));
    EXPECT_TRUE(Button("applyButton")->isEnabled());
    EXPECT_TRUE(Check("totalModeCheck")->isEnabled());
    EXPECT_TRUE(Combo("resetDayCombo")->isEnabled());
    Click(Check("separateModeCheck"));
    EXPECT_TRUE(Edit("downloadEdit")->isEnabled());
    EXPECT_FALSE(Edit("totalEdit")->isEnabled());
    Click(Check("totalModeCheck"));  // the two act as radio buttons
    EXPECT_FALSE(Check("separateModeCheck")->isChecked());
    EXPECT_TRUE(Edit("totalEdit")->isEnabled());
    EXPECT_FALSE(Edit("downloadEdit")->isEnabled());
    Click(Check("totalModeCheck"));  // clicking the chosen one keeps it chosen
    EXPECT_TRUE(Check("totalModeCheck")->isChecked());
}

TEST_F(CapwardenWindowTest, InvalidEntriesAreRefusedWithTheirMessageAndChangeNothing) {
    Start();
    const std::string file = QuotaFile();
    Click(Check("activateCheck"));
    SeenBox box = Apply();
    EXPECT_EQ(box.title, "Missing selection");
    EXPECT_EQ(box.text,
              "Please choose to monitor the total network traffic or download and upload "
              "separately");

    struct Case {
        const char* typed;
        const char* title;
        const char* text;
    };
    const Case cases[] = {
        {"12abc", "Not a valid integer", "Please enter a valid number"},
        {"007", "Not a valid integer", "Please enter a valid whole number"},
        {"1000001", "Number out of range", "Please enter a smaller number"},
    };
    Click(Check("totalModeCheck"));
    for (const Case& c : cases) {
        Type("totalEdit", c.typed);
        box = Apply();
        EXPECT_EQ(box.count, 1) << c.typed;
        EXPECT_EQ(box.title, c.title) << c.typed;
        EXPECT_EQ(box.text, c.text) << c.typed;
        EXPECT_FALSE(Button("applyButton")->isEnabled());  // until the next edit
    }
    // Separate limits: the upload is checked first, and one message is enough.
    Click(Check("separateModeCheck"));
    Type("uploadEdit", "x");
    Type("downloadEdit", "1000001");
    box = Apply();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.text, "Please enter a valid number");

    EXPECT_FALSE(quota->Active());
    EXPECT_EQ(QuotaFile(), file);
    // OK with an invalid entry keeps the window open.
    box = AnswerBoxes([this] { Click(Button("okButton")); });
    EXPECT_EQ(box.count, 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CapwardenWindowTest, ApplyStoresGigabytesAsMegabytesSavesAndShowsThemBackAsTyped) {
    Start();
    Click(Check("activateCheck"));
    Click(Check("totalModeCheck"));
    Type("totalEdit", "2");
    Combo("totalUnitCombo")->setCurrentIndex(1);
    Combo("resetDayCombo")->setCurrentIndex(30);  // "31st"
    EXPECT_EQ(Apply().count, 0);

    EXPECT_TRUE(quota->Active());
    EXPECT_TRUE(quota->LimitTotal());
    EXPECT_EQ(quota->AllowedTotal(), 2048.0);
    EXPECT_EQ(QuotaFile(),
              "V1.0.0\n31\n31\n4\n2026\n2048.000000\n-1.000000\n-1.000000\n0.000000\n"
              "0.000000\n1\n1\n");
    EXPECT_FALSE(Button("applyButton")->isEnabled());
    // April has no 31st: the counters clear on 1 May, the day the new period begins.
    EXPECT_EQ(Label("nextPeriodDate")->text(), "1/5/2026");

    // Separate limits, one typed in MB that is no whole number of GB.
    Click(Check("separateModeCheck"));
    Type("downloadEdit", "1536");
    Type("uploadEdit", "3");
    Combo("uploadUnitCombo")->setCurrentIndex(1);
    EXPECT_EQ(Apply().count, 0);
    EXPECT_EQ(quota->AllowedDownload(), 1536.0);
    EXPECT_EQ(quota->AllowedUpload(), 3072.0);
    EXPECT_EQ(quota->AllowedTotal(), -1.0);

    Open();  // the next opening shows what was stored, in the units typed
    EXPECT_TRUE(Check("separateModeCheck")->isChecked());
    EXPECT_EQ(Edit("downloadEdit")->text(), "1536");
    EXPECT_EQ(Combo("downloadUnitCombo")->currentText(), "MB");
    EXPECT_EQ(Edit("uploadEdit")->text(), "3");
    EXPECT_EQ(Combo("uploadUnitCombo")->currentText(), "GB");
    EXPECT_EQ(Combo("resetDayCombo")->currentText(), "31st");
    EXPECT_FALSE(Edit("totalEdit")->isEnabled());
    EXPECT_FALSE(Label("totalPercent")->isEnabled());
    EXPECT_FALSE(Button("applyButton")->isEnabled());

    // Switching off through the window forgets the limits and saves at once.
    Click(Check("activateCheck"));
    EXPECT_FALSE(Check("separateModeCheck")->isEnabled());
    EXPECT_EQ(Apply().count, 0);
    EXPECT_FALSE(quota->Active());
    EXPECT_EQ(QuotaFile().substr(0, 16), "V1.0.0\n31\n0\n0\n0\n");
}

TEST_F(CapwardenWindowTest, ResetAsksThenClearsTheCountersWithoutSaving) {
    const QuotaValues file = ActiveTotal(1000.0, 600.0);
    Start(&file);
    EXPECT_EQ(Label("downloadedValue")->text(), "600.0");
    EXPECT_EQ(Label("downloadedUnit")->text(), "MB");
    const std::string saved = QuotaFile();

    SeenBox box =
        AnswerBoxes([this] { Click(Button("resetButton")); }, QMessageBox::StandardButton::No);
    EXPECT_EQ(box.title, "Resetting traffic counters");
    EXPECT_EQ(box.text, "Reset all traffic counters?");
    EXPECT_EQ(quota->Downloaded(), 600.0);

    box = AnswerBoxes([this] { Click(Button("resetButton")); }, QMessageBox::Yes);
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(quota->Total(), 0.0);
    EXPECT_EQ(Label("downloadedValue")->text(), "0.0");
    EXPECT_EQ(Label("downloadedUnit")->text(), "KB");
    EXPECT_EQ(QuotaFile(), saved);
}

TEST_F(CapwardenWindowTest, FiguresFollowTheQuotaLiveAndTurnRedPastTheLimit) {
    const QuotaValues file = ActiveTotal(1000.0, 0.5);
    Start(&file);
    // The width the figures' box asks for: where their growth would move the controls beside.
    const auto placed = [this] { return Find<QGroupBox>("periodGroup")->sizeHint(); };
    const auto small = placed();
    EXPECT_EQ(Label("totalValue")->text(), "512.0");
    EXPECT_EQ(Label("totalPercent")->text(), "0.1%");
    for (int i = 0; i < 3; ++i) {
        history->Update(997.5, 0.0);
    }
    EXPECT_EQ(Label("totalPercent")->text(), "99.8%");
    EXPECT_FALSE(IsRed(Label("totalPercent")));
    EXPECT_EQ(Label("nextPeriodDate")->text(), "20/4/2026");

    for (int i = 0; i < 3; ++i) {
        history->Update(999.5, 0.0);  // exactly at the limit: not past it
    }
    EXPECT_EQ(Label("totalPercent")->text(), "100.0%");
    EXPECT_FALSE(IsRed(Label("totalPercent")));
    for (int i = 0; i < 3; ++i) {
        history->Update(999.5, 100.0);
    }
    EXPECT_EQ(Label("totalValue")->text(), "1.1");
    EXPECT_EQ(Label("totalUnit")->text(), "GB");
    EXPECT_EQ(Label("uploadedValue")->text(), "100.0");
    EXPECT_EQ(Label("totalPercent")->text(), "110.0%");
    EXPECT_TRUE(IsRed(Label("totalPercent")));
    EXPECT_TRUE(IsRed(Label("totalPercentName")));
    EXPECT_FALSE(IsRed(Label("downloadPercent")));
    EXPECT_EQ(placed(), small);

    // A higher limit applied in the window takes the red away at once.
    Type("totalEdit", "2");
    Combo("totalUnitCombo")->setCurrentIndex(1);
    EXPECT_EQ(Apply().count, 0);
    EXPECT_EQ(Label("totalPercent")->text(), "53.7%");
    EXPECT_FALSE(IsRed(Label("totalPercent")));

    // Closed, the window stops listening.
    window->close();
    window.reset();
    EXPECT_EQ(quota->ObserverCount(), 0u);
}

}  // namespace
