// The tray icon's speeds face: the pictures drawn for every size a tray asks for, and the icon a
// StatusNotifierItem host receives as the speeds change.
#include <QAction>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "TrayTestSupport.h"
#include "tray/CSystemTray.h"
#include "tray/SpeedIcon.h"
#include "tray/TrayBusTypes.h"

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

// Whether every picture the host has of `service`'s icon shows download ink over upload ink.
bool ShowsSpeeds(const QString& service) {
    const QList<QImage> pictures = ItemPictures(service);
    return !pictures.isEmpty() && std::all_of(pictures.begin(), pictures.end(), [](auto& p) {
        return !p.isNull() && !InkBox(p, Ink::Download).isEmpty() &&
               InkBox(p, Ink::Download).bottom() < InkBox(p, Ink::Upload).top();
    });
}

// Whether the file the host is given by name shows one of the pictures it is given over the bus.
bool FileShowsAPicture(const QString& service, const QString& file) {
    const QImage fromFile = QImage(file, "PNG").convertToFormat(QImage::Format_ARGB32);
    const QList<QImage> pictures = ItemPictures(service);
    return QFileInfo(file).isAbsolute() && !fromFile.isNull() &&
           std::any_of(pictures.begin(), pictures.end(), [&](const QImage& picture) {
               return picture.convertToFormat(QImage::Format_ARGB32) == fromFile;
           });
}

class TraySpeedsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TestWatcher(), nullptr);
        frameMenu_.addAction("&Settings");
        frameMenu_.addSeparator();
        QAction* onTop = frameMenu_.addAction("Always on top");
        onTop->setCheckable(true);
        onTop->setChecked(true);
        QAction* exit = frameMenu_.addAction("Exit");
        QObject::connect(exit, &QAction::triggered, [this] { ++exits_; });
        tray_.Create(frameMenu_, "tip", kTrayIconIdle);
        QString qtService;
        ASSERT_TRUE(TestWatcher()->WaitForItem(qtService));
        ASSERT_TRUE(QTest::qWaitFor([&] { return tray_.IsTrayStateKnown(); }));
    }

    // Chooses the speeds face; our own item takes Qt's place at the watcher.
    void ShowSpeeds(double down, double up) {
        tray_.ShowRates(down, up, TrayFace::Speeds, kColours);
        ASSERT_TRUE(WaitForOwnItem(service_));
        EXPECT_FALSE(tray_.Icon()->isVisible());
    }

    // Our item's registration, past any of Qt's icon (which registers under its connection's
    // own name).
    static bool WaitForOwnItem(QString& service) {
        while (TestWatcher()->WaitForItem(service)) {
            if (service.startsWith("org.kde.StatusNotifierItem-")) {
                return true;
            }
        }
        return false;
    }

    bool Connect(const char* signal, QObject* receiver, const char* slot) {
        return QDBusConnection::sessionBus().connect(
            service_, "/StatusNotifierItem", "org.kde.StatusNotifierItem", signal, receiver, slot);
    }

    bool HostShowsSpeeds() { return ShowsSpeeds(service_); }

    QMenu frameMenu_;
    CSystemTray tray_;
    QString service_;
    int exits_ = 0;
};

// An entry of a menu layout, as the bus gave it: a variant around the entry when it is a child,
// and marshalled unless the call stayed inside this process.
MenuLayoutItem LayoutEntry(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        return LayoutEntry(value.value<QDBusVariant>().variant());
    }
    return qdbus_cast<MenuLayoutItem>(value);
}

// "1.2" as the label writes it: led by figure spaces to six characters.
QString Figures(const char* number) {
    return QString(6 - int(std::strlen(number)), QChar(0x2007)) + number;
}

TEST_F(TraySpeedsTest, SpeedsFaceIsOurOwnItemWithAConstantWidthLabel) {
    ShowSpeeds(1228.8, 34.0);
    SignalCounter icons;
    SignalLog labels;
    ASSERT_TRUE(Connect("NewIcon", &icons, SLOT(Count())));
    ASSERT_TRUE(Connect("XAyatanaNewLabel", &labels, SLOT(Take(QDBusMessage))));
    const QString guide = QString::fromUtf8("\u2193 8888.8 MB/s \u2191 8888.8 MB/s");
    EXPECT_EQ(ItemProperty(service_, "XAyatanaLabelGuide").toString(), guide);
    EXPECT_EQ(ItemProperty(service_, "Status").toString(), "Active");
    EXPECT_EQ(ItemProperty(service_, "ItemIsMenu").toBool(), false);

    struct Step {
        const char* name;
        double down;
        double up;
        const char* downFigures;
        const char* upFigures;
        const char* upUnit;
        int newIcons;   // sent so far
        int newLabels;  // sent so far
    };
    const Step steps[] = {
        {"first", 1228.8, 34.0, "1.2", "34.0", "KB/s", 0, 0},
        {"same texts", 1240.0, 34.02, "1.2", "34.0", "KB/s", 0, 0},
        // The label has a decimal more than the picture.
        {"new label, same picture", 1240.0, 34.4, "1.2", "34.4", "KB/s", 0, 1},
        {"both new", 1240.0, 35.0, "1.2", "35.0", "KB/s", 1, 2},
        {"widest", 1024000.0, 1048064.0, "1000.0", "1023.5", "MB/s", 2, 3},
    };
    QString file;
    int files = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        tray_.ShowRates(step.down, step.up, TrayFace::Speeds, kColours);
        // Each picture under a new name, for hosts that keep what they loaded by name; the one
        // before goes once the new one is announced.
        const QString before = std::exchange(file, ItemProperty(service_, "IconName").toString());
        EXPECT_TRUE(FileShowsAPicture(service_, file)) << file.toStdString();
        if (file != before) {
            ++files;
            EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(before); }, 20000));
        }
        EXPECT_EQ(files, step.newIcons + 1);
        const QString label = QString::fromUtf8("\u2193 ") + Figures(step.downFigures) +
                              " MB/s \u2191 " + Figures(step.upFigures) + " " + step.upUnit;
        EXPECT_EQ(label.size(), guide.size());
        EXPECT_EQ(ItemProperty(service_, "XAyatanaLabel").toString(), label);
        EXPECT_TRUE(QTest::qWaitFor([&] { return labels.received.size() >= step.newLabels; }));
        ASSERT_EQ(labels.received.size(), step.newLabels);
        if (step.newLabels > 0) {
            EXPECT_EQ(labels.received.last(), (QVariantList{label, guide}));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return icons.count >= step.newIcons; }));
        EXPECT_TRUE(HostShowsSpeeds());
    }
    // Every change arrived, and nothing more (a later stray signal shows up in the next row).
    EXPECT_EQ(icons.count, steps[std::size(steps) - 1].newIcons);

    // The picture face: our item leaves the bus and Qt's icon comes back, with the picture.
    tray_.SetIconFromResource(kTrayIconDownUp);
    tray_.ShowRates(0.0, 0.0, TrayFace::Picture, kColours);
    bool gone = false;
    bool qtBack = false;
    QString line;
    while (!(gone && qtBack) && TestWatcher()->WaitForLine("", line, 5000)) {
        gone = gone || line == "gone " + service_;
        qtBack = qtBack || (line.startsWith("item ") && !line.startsWith("item " + service_));
    }
    EXPECT_TRUE(gone);
    EXPECT_TRUE(qtBack);
    EXPECT_TRUE(tray_.Icon()->isVisible());
    EXPECT_FALSE(HostShowsSpeeds());
    EXPECT_FALSE(tray_.Item()->Published());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(file).path()));
}

// The host draws our menu from the layout it reads over the bus, and a click there is the
// program's own command; a click on the icon asks for the window as Qt's icon's does.
TEST_F(TraySpeedsTest, HostReadsTheMenuAndClicksReachTheProgram) {
    ShowSpeeds(10.0, 1.0);
    const QString menuPath = ItemProperty(service_, "Menu").value<QDBusObjectPath>().path();
    ASSERT_FALSE(menuPath.isEmpty());
    QDBusMessage call =
        QDBusMessage::createMethodCall(service_, menuPath, "com.canonical.dbusmenu", "GetLayout");
    call << 0 << -1 << QStringList();
    const QDBusMessage reply = CallAndWait(call);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const MenuLayoutItem root = LayoutEntry(reply.arguments().at(1));

    struct Entry {
        const char* name;
        QVariantMap properties;
    };
    const Entry entries[] = {
        {"mnemonic as dbusmenu writes it", {{"label", "_Settings"}}},
        {"separator", {{"type", "separator"}}},
        {"check", {{"label", "Always on top"}, {"toggle-type", "checkmark"}, {"toggle-state", 1}}},
        {"command", {{"label", "Exit"}}},
    };
    ASSERT_EQ(root.children.size(), qsizetype(std::size(entries)));
    QList<int> ids;
    for (qsizetype i = 0; i < root.children.size(); ++i) {
        SCOPED_TRACE(entries[i].name);
        const MenuLayoutItem entry = LayoutEntry(root.children[i]);
        EXPECT_EQ(entry.properties, entries[i].properties);
        ids << entry.id;
    }

    // A host sends a click alone or in a group; either way the command runs once.
    QDBusMessage click =
        QDBusMessage::createMethodCall(service_, menuPath, "com.canonical.dbusmenu", "Event");
    click << ids.last() << QString("clicked") << QVariant::fromValue(QDBusVariant(QString()))
          << uint(0);
    QDBusMessage group =
        QDBusMessage::createMethodCall(service_, menuPath, "com.canonical.dbusmenu", "EventGroup");
    group << QVariant::fromValue(
        MenuEventList{{ids.last(), "clicked", QDBusVariant(QString()), 0}});
    int clicks = 0;
    for (const QDBusMessage& event : {click, group}) {
        SCOPED_TRACE(event.member().toStdString());
        const QDBusMessage answer = CallAndWait(event);
        EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage) << answer.errorMessage().toStdString();
        ++clicks;
        EXPECT_TRUE(QTest::qWaitFor([&] { return exits_ == clicks; }));
    }

    int toggles = 0;
    QObject::connect(&tray_, &CSystemTray::ToggleRequested, [&] { ++toggles; });
    QDBusMessage activate = QDBusMessage::createMethodCall(
        service_, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate");
    activate << 5 << 5;
    EXPECT_EQ(CallAndWait(activate).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(QTest::qWaitFor([&] { return toggles == 1; }));
}

// A tray host that restarts: Qt's icon stands in while no watcher is there (so the icon is not
// lost), and our item takes its place again, with the current label, once one is back.
TEST_F(TraySpeedsTest, WatcherGoneAndBackSwitchesBetweenQtsIconAndOurs) {
    ShowSpeeds(10.0, 1.0);
    TestWatcher()->Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tray_.Item()->Published(); }));
    EXPECT_TRUE(tray_.Icon()->isVisible());

    ASSERT_TRUE(TestWatcher()->Start());
    QString service;
    ASSERT_TRUE(WaitForOwnItem(service));
    EXPECT_FALSE(tray_.Icon()->isVisible());
    EXPECT_EQ(ItemProperty(service, "XAyatanaLabel").toString(), tray_.Item()->Label());
}

// Qt's icon drops messages while it stands aside: on the speeds face they go to the desktop's
// notification service from our item.
TEST_F(TraySpeedsTest, MessagesReachTheDesktopOnTheSpeedsFace) {
    WatcherProcess notifications(TALLYGLASS_NOTIFICATIONS_PEER);
    ASSERT_TRUE(notifications.Start());
    ShowSpeeds(10.0, 1.0);
    EXPECT_TRUE(tray_.ShowMessage("Capwarden", "over the limit"));
    QString line;
    EXPECT_TRUE(notifications.WaitForLine("notify ", line, 10000));
    EXPECT_EQ(line, "notify Capwarden|over the limit");
}

// Where no panel draws items, or on an XEmbed tray, Qt's icon shows the speeds face itself.
TEST(QtIconSpeeds, HostGetsTheSpeedsOnlyWhenTheTextChanges) {
    ASSERT_NE(TestWatcher(), nullptr);
    // Qt decides once a process whether its tray icon speaks D-Bus, when it first looks: let it
    // look while a host is there, as a program started before its panel's host left would.
    // Run alone, the test would otherwise get Qt's old-style icon, which no watcher sees.
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    TestWatcher()->Stop();
    ASSERT_TRUE(TestWatcher()->Start({"--no-host"}));
    // The other tests' watcher comes back however this one ends.
    const std::unique_ptr<WatcherProcess, void (*)(WatcherProcess*)> restore(
        TestWatcher(), [](WatcherProcess* watcher) {
            watcher->Stop();
            watcher->Start();
        });
    QString service_;
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
        EXPECT_EQ(ShowsSpeeds(service_), step.face == TrayFace::Speeds);
    }
    // Every change arrived, and nothing more.
    EXPECT_EQ(icons.count, steps[std::size(steps) - 1].newIcons);
    EXPECT_EQ(tray.IconId(), kTrayIconDownUp);
}

// A saved speeds face on a desktop with a watcher: the panel gets our item alone, with no icon
// of Qt's put up and taken down first.
TEST(TraySpeedsStart, ASavedSpeedsFacePutsUpOurItemAlone) {
    QMenu frameMenu;
    CSystemTray tray;
    tray.Create(frameMenu, "tip", kTrayIconIdle, TrayFace::Speeds);
    EXPECT_FALSE(tray.Icon()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tray.Item()->ServiceName().isEmpty(); }));
    EXPECT_FALSE(tray.Icon()->isVisible());
}
