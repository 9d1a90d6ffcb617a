#include "webstats/WebStatsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "FakeClocks.h"
#include "MessageBoxes.h"
#include "TempDir.h"
#include "persistence/DataFile.h"
#include "webstats/CWebStats.h"

namespace {

class WebStatsWindowTest : public ::testing::Test {
protected:
    void Seed(bool enabled, int interval = 600000) {
        ASSERT_TRUE(WriteFileAtomically(
            FilePath(), "V1.0.0\nftp.example.com\n/stats/\nindex.html\nme\npw\n2121\n" +
                            std::to_string(interval) + "\n" + (enabled ? "1" : "0") + "\n"));
    }
    std::string FilePath() const { return temp.Str() + "/webstats.dat"; }
    std::string File() const {
        std::string text;
        ReadTextFile(FilePath(), text);
        return text;
    }

    void Open(bool enabled, int interval = 600000) {
        Seed(enabled, interval);
        model = std::make_unique<CWebStats>(folder, msClock, localClock);
        window = new WebStatsWindow(*model);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    ~WebStatsWindowTest() override { delete window.data(); }

    template <typename T>
    T* Child(const char* name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(name); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QStringList LogItems() {
        QStringList items;
        auto* list = Child<QListWidget>("logList");
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text();
        }
        return items;
    }
    // The model's pictures count as uploaded, as after an upload.
    void MarkImagesUploaded() {
        msClock.Advance(700000);
        auto ticket = model->BeginUpload();
        ASSERT_TRUE(ticket);
        model->FinishUpload(*ticket, true, "");
        ASSERT_TRUE(model->ImagesUploaded());
    }

    TempDir temp;
    CDataFolder folder{temp.Str(), temp.Str()};
    FakeMsClock msClock{1000};
    FakeLocalClock localClock;
    std::unique_ptr<CWebStats> model;
    QPointer<WebStatsWindow> window;
};

TEST_F(WebStatsWindowTest, OpensWithTheModelsValuesAndTheFieldsFollowTheSwitch) {
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        Open(enabled);
        EXPECT_EQ(window->windowTitle(), "WebStats");
        EXPECT_EQ(Button("switchButton")->text(), enabled ? "Disable WebStats" : "Enable WebStats");
        EXPECT_EQ(Edit("hostEdit")->text(), "ftp.example.com");
        EXPECT_EQ(Edit("remotePathEdit")->text(), "/stats/");
        EXPECT_EQ(Edit("fileNameEdit")->text(), "index.html");
        EXPECT_EQ(Edit("userEdit")->text(), "me");
        EXPECT_EQ(Edit("passwordEdit")->text(), "pw");
        EXPECT_EQ(Edit("passwordEdit")->echoMode(), QLineEdit::Password);
        EXPECT_EQ(Edit("portEdit")->text(), "2121");
        auto* interval = Child<QComboBox>("intervalCombo");
        EXPECT_EQ(interval->count(), 5);
        EXPECT_EQ(interval->currentText(), "10 minutes");
        for (QWidget* field : std::initializer_list<QWidget*>{
                 Edit("hostEdit"), Edit("portEdit"), interval, Child<QListWidget>("logList"),
                 Child<QLabel>("fileNameLabel")}) {
            EXPECT_EQ(field->isEnabled(), enabled) << field->objectName().toStdString();
        }
        EXPECT_TRUE(Button("switchButton")->isEnabled());
        EXPECT_FALSE(Button("applyButton")->isEnabled());
        EXPECT_EQ(Child<QLabel>("fileNameLabel")->text(), "File Name: (e.g. \"webstats.html\")");
        delete window.data();
    }
    // An interval that is none of the choices selects nothing.
    Open(true, 45000);
    EXPECT_EQ(Child<QComboBox>("intervalCombo")->currentIndex(), -1);
}

TEST_F(WebStatsWindowTest, ApplyValidatesWithMessagesAndChangesNothingOnFailure) {
    struct Case {
        const char* host;
        const char* fileName;
        const char* port;
        const char* password;
        const char* caption;  // null: accepted
        const char* text;
        const char* focus;
    };
    const Case cases[] = {
        {"h", "f", "21", "pw", nullptr, nullptr, nullptr},
        {"h", "f", "0", "pw", nullptr, nullptr, nullptr},
        {"h", "f", "65536", "pw", nullptr, nullptr, nullptr},
        {"h", "f", "21x", "pw", "Bad port number", "Please enter an integer between 0 and 65536",
         "portEdit"},
        {"h", "f", "", "pw", "Bad port number", "Please enter an integer between 0 and 65536",
         "portEdit"},
        {"h", "f", "65537", "pw", "Bad port number", "Please enter an integer between 0 and 65536",
         "portEdit"},
        {"", "", "21x", "pw", "Empty Field", "Please enter a hostname", "hostEdit"},
        {"  ", "f", "21", "pw", "Empty Field", "Please enter a hostname", "hostEdit"},
        {"h", "", "21", "pw", "Empty Field", "Please enter a file name", "fileNameEdit"},
        {"h", "\"/\"", "21", "pw", "Empty Field", "Please enter a file name", "fileNameEdit"},
        {"h", " // ", "21", "pw", "Empty Field", "Please enter a file name", "fileNameEdit"},
        {"h", "f", "21", "p\nw", "Invalid Field", "Please enter this field on one line",
         "passwordEdit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + "|" + c.fileName + "|" + c.port);
        Open(true);
        const std::string before = File();
        Edit("hostEdit")->setText(c.host);
        Edit("fileNameEdit")->setText(c.fileName);
        Edit("portEdit")->setText(c.port);
        Edit("passwordEdit")->setText(c.password);
        MessageBoxes boxes;
        Click("applyButton");
        if (c.caption == nullptr) {
            EXPECT_TRUE(boxes.seen.empty());
            EXPECT_EQ(model->Settings().hostName, c.host);
            EXPECT_EQ(std::to_string(model->Settings().port), c.port);
            EXPECT_FALSE(Button("applyButton")->isEnabled());
        } else {
            ASSERT_EQ(boxes.seen.size(), 1u);
            EXPECT_EQ(boxes.seen[0].caption, c.caption);
            EXPECT_EQ(boxes.seen[0].text, c.text);
            EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
            EXPECT_EQ(window->focusWidget(), Edit(c.focus));
            EXPECT_EQ(model->Settings().hostName, "ftp.example.com");
            EXPECT_EQ(File(), before);
            EXPECT_TRUE(Button("applyButton")->isEnabled());
        }
        delete window.data();
    }
}

TEST_F(WebStatsWindowTest, ApplyStoresNormalisedPathAndNameAndSavesTheFile) {
    struct Case {
        const char* remotePath;
        const char* fileName;
        const char* storedPath;
        const char* storedName;
    };
    const Case cases[] = {
        {"myhomepage", "webstats.html", "/myhomepage/", "webstats.html"},
        {"/myhomepage/", " \"/index.html\" ", "/myhomepage/", "index.html"},
        {"", "a.html", "", "a.html"},
    };
    for (const Case& c : cases) {
        Open(true);
        Edit("remotePathEdit")->setText(c.remotePath);
        Edit("fileNameEdit")->setText(c.fileName);
        Edit("hostEdit")->setText(" ftps://new.example.com ");
        Edit("passwordEdit")->setText(" spaced ");
        Click("applyButton");
        const WebStatsValues values = model->Settings();
        EXPECT_EQ(values.remotePath, c.storedPath);
        EXPECT_EQ(values.pageFileName, c.storedName);
        EXPECT_EQ(values.hostName, "ftps://new.example.com");
        EXPECT_EQ(values.password, " spaced ");
        EXPECT_EQ(File(), "V1.0.0\nftps://new.example.com\n" + std::string(c.storedPath) + "\n" +
                              c.storedName + "\nme\n spaced \n2121\n600000\n1\n");
        delete window.data();
    }
}

TEST_F(WebStatsWindowTest, OnlyANewHostOrRemotePathSendsThePicturesAgain) {
    Open(true);
    MarkImagesUploaded();
    Child<QComboBox>("intervalCombo")->setCurrentIndex(0);
    QTest::keyClicks(Edit("userEdit"), "x");
    Click("applyButton");
    EXPECT_EQ(model->Settings().uploadInterval, 30000);
    EXPECT_EQ(model->Settings().userName, "mex");
    EXPECT_TRUE(model->ImagesUploaded());

    QTest::keyClicks(Edit("remotePathEdit"), "more");
    Click("applyButton");
    EXPECT_EQ(model->Settings().remotePath, "/stats/more/");
    EXPECT_FALSE(model->ImagesUploaded());
}

TEST_F(WebStatsWindowTest, SwitchedOffApplyAndOkChangeNothingAndOkCloses) {
    Open(false);
    const std::string before = File();
    Click("applyButton");
    EXPECT_FALSE(model->Enabled());
    MessageBoxes boxes;
    Click("okButton");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(File(), before);
    EXPECT_TRUE(boxes.seen.empty());
    EXPECT_EQ(model->ObserverCount(), 0u);
}

TEST_F(WebStatsWindowTest, OkWithAnInvalidFieldKeepsTheWindowOpen) {
    Open(true);
    Edit("portEdit")->setText("70000");
    MessageBoxes boxes;
    Click("okButton");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(boxes.seen.size(), 1u);
    Click("cancelButton");  // Cancel takes nothing over
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(model->Settings().port, 2121);
}

TEST_F(WebStatsWindowTest, TheSwitchSavesOnlyTheSwitchAndCanAlwaysBeTurnedBack) {
    Open(true);
    Edit("hostEdit")->setText("typed.example.com");
    Click("switchButton");
    EXPECT_EQ(Button("switchButton")->text(), "Enable WebStats");
    EXPECT_FALSE(model->Enabled());
    EXPECT_FALSE(Edit("hostEdit")->isEnabled());
    EXPECT_EQ(File(), "V1.0.0\nftp.example.com\n/stats/\nindex.html\nme\npw\n2121\n600000\n0\n");

    Click("switchButton");
    EXPECT_EQ(Button("switchButton")->text(), "Disable WebStats");
    EXPECT_TRUE(model->Enabled());
    EXPECT_EQ(model->Settings().hostName, "ftp.example.com");  // the edit waits for Apply
    EXPECT_EQ(File().back(), '\n');
    EXPECT_EQ(File().substr(File().size() - 2), "1\n");

    // Incomplete fields: the window is switched on for completing them, the model stays off.
    Click("switchButton");
    Edit("hostEdit")->clear();
    ASSERT_FALSE(Edit("hostEdit")->isEnabled());
    Edit("hostEdit")->setEnabled(true);  // as if typed before switching off
    Click("switchButton");
    EXPECT_EQ(Button("switchButton")->text(), "Disable WebStats");
    EXPECT_TRUE(Edit("hostEdit")->isEnabled());
    EXPECT_FALSE(model->Enabled());
    // ... and pressing it again switches the window back off.
    Click("switchButton");
    EXPECT_EQ(Button("switchButton")->text(), "Enable WebStats");
    EXPECT_FALSE(Edit("hostEdit")->isEnabled());
    EXPECT_FALSE(model->Enabled());
}

TEST_F(WebStatsWindowTest, EachNotificationAddsTheNewLinesOnceAndTheListKeepsThemAll) {
    Seed(true);
    model = std::make_unique<CWebStats>(folder, msClock, localClock);
    for (int i = 1; i <= 3; ++i) {
        model->AppendLog("early " + std::to_string(i));
    }
    window = new WebStatsWindow(*model);
    EXPECT_EQ(LogItems(), (QStringList{"early 1", "early 2", "early 3"}));

    model->AppendLog("upload 1");
    model->NotifyAll();
    model->NotifyAll();  // a second notification adds nothing
    EXPECT_EQ(LogItems().size(), 4);
    EXPECT_EQ(LogItems().last(), "upload 1");

    // More than the model keeps between two refreshes: the 20 it still has arrive.
    for (int i = 1; i <= 25; ++i) {
        model->AppendLog("burst " + std::to_string(i));
    }
    model->NotifyAll();
    const QStringList items = LogItems();
    EXPECT_EQ(items.size(), 24);
    EXPECT_EQ(items[4], "burst 6");
    EXPECT_EQ(items.last(), "burst 25");

    // While switched off the list waits, and catches up once switched on.
    model->SetEnabled(false);
    model->AppendLog("late");
    model->NotifyAll();
    EXPECT_EQ(LogItems().size(), 24);
    model->SetEnabled(true);
    model->NotifyAll();
    EXPECT_EQ(LogItems().last(), "late");
}

TEST_F(WebStatsWindowTest, ALongLogLineWrapsAndShowsWhole) {
    Open(true);
    window->resize(window->sizeHint());
    const std::string line =
        "10:05: Could not connect to ftp.example.com port 2121: check the host name and the "
        "port, and that the server is running.";
    model->AppendLog(line);
    model->NotifyAll();
    auto* list = Child<QListWidget>("logList");
    QApplication::processEvents();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text().toStdString(), line);
    const QRect shown = list->visualItemRect(list->item(0));
    // On more than one line, within the list's width, with no scroll bar to reach the rest.
    EXPECT_GT(shown.height(), 2 * list->fontMetrics().height() - 2);
    EXPECT_LE(shown.right(), list->viewport()->width());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

}  // namespace
