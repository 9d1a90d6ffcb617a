#include "appearance/SettingsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "SettingsParts.h"
#include "WidgetInput.h"
#include "appearance/CColourComboBox.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "appearance/CSettings.h"
#include "persistence/DataFile.h"

namespace {

using Colours = std::array<ColourRgb, kColourSlotCount>;
constexpr const char* kProgram = "/opt/tallyglass/tallyglass";
constexpr const char* kBoxes[kColourSlotCount] = {"downloadColour", "uploadColour", "textColour",
                                                  "backgroundTopColour", "backgroundBottomColour"};

// The settings window on a model over a temporary folder, a sampler that knows "eth0" and "lo",
// and a fake graph view.
class Bench : public SettingsParts {
public:
    explicit Bench(const SettingsValues* file = nullptr, const std::string& configFolder = {}) {
        source.AddAdapter(1, "eth0");
        source.AddAdapter(2, "lo");
        if (file != nullptr) {
            EXPECT_TRUE(folder.EnsureDataFolder());
            EXPECT_TRUE(WriteFileAtomically(SettingsPath(), FormatSettings(*file)));
        }
        settings = std::make_unique<CSettings>(folder, themes, sampler, view);
        autostartPath =
            CAutostartEntry::PathIn(configFolder.empty() ? temp.Str() + "/config" : configFolder);
        Walk();
        Walk();  // a new interface stands twice in the sampler's list for one walk
    }
    ~Bench() { delete window.data(); }

    void Open() {
        window = new SettingsWindow(*settings, themes, sampler,
                                    CAutostartEntry(autostartPath, kProgram), desktopScheme);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    void Walk() {
        double down = 0.0, up = 0.0;
        sampler.Sample(down, up);
    }
    template <typename Control = QComboBox>
    Control* Find(const char* name) const {
        return window->findChild<Control*>(name);
    }
    void Click(const char* button) const {
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
    }
    void Tick(const char* box) const { ToggleCheckBox(Find<QCheckBox>(box)); }

    std::string SettingsPath() const { return folder.DataFilePath("settings.dat"); }
    std::string SavedText() const {
        std::string text;
        ReadTextFile(SettingsPath(), text);
        return text;
    }
    std::vector<InterfaceChoice> Listed() const {
        std::vector<InterfaceChoice> shown;
        const auto* list = Find<QListWidget>("interfaceList");
        for (int i = 0; i < list->count(); ++i) {
            shown.push_back(
                {list->item(i)->text().toStdString(), list->item(i)->checkState() == Qt::Checked});
        }
        return shown;
    }
    Colours BoxColours() const {
        Colours colours;
        for (int i = 0; i < kColourSlotCount; ++i) {
            colours[i] = Find<CColourComboBox>(kBoxes[i])->SelectedColour();
        }
        return colours;
    }
    Colours ThemeColours(const std::string& name) const {
        Colours colours;
        for (int i = 0; i < kColourSlotCount; ++i) {
            colours[i] = themes.ThemeColour(name, kColourSlots[i]);
        }
        return colours;
    }

    std::unique_ptr<CSettings> settings;
    // On no bus at all: no portal.
    CDesktopSchemeWatcher desktopScheme{QDBusConnection(QStringLiteral("none"))};
    std::string autostartPath;
    QPointer<SettingsWindow> window;
};

SettingsValues SavedValues(const char* theme, int graphType, int frameDelay) {
    SettingsValues values = DefaultSettingsFileValues();
    values.excludedDescriptions.clear();  // a new file leaves loopback out; these count it
    values.themeName = theme;
    values.graphType = graphType;
    values.frameDelay = frameDelay;
    return values;
}

TEST(SettingsWindow, OpensShowingTheSettingsInEffect) {
    SettingsValues file = SavedValues("Orange", kGraphBars, 1);
    file.showCaption = true;
    file.excludedDescriptions = {"lo"};
    Bench bench(&file);
    ASSERT_TRUE(CAutostartEntry(bench.autostartPath, kProgram).Write());
    bench.Open();

    EXPECT_EQ(bench.Find("themeList")->currentText(), "Orange");  // not "Orange LCD"
    EXPECT_EQ(bench.Find("graphTypeList")->currentText(), "Bars");
    EXPECT_EQ(bench.Find<QSlider>("graphSpeed")->value(), 97);
    EXPECT_TRUE(bench.Find<QCheckBox>("showCaption")->isChecked());
    EXPECT_FALSE(bench.Find<QCheckBox>("scanlineEffect")->isChecked());
    EXPECT_TRUE(bench.Find<QCheckBox>("startAtLogin")->isChecked());
    EXPECT_EQ(bench.BoxColours(), bench.ThemeColours("Orange"));
    // Each box: the ten named colours and "Custom...", which holds a colour without a name;
    // no entry without a name of its own.
    const auto* download = bench.Find<CColourComboBox>("downloadColour");
    EXPECT_EQ(download->count(), 11);
    EXPECT_EQ(download->itemText(10), "Custom...");
    EXPECT_EQ(download->currentText(), "Custom...");
    EXPECT_EQ(bench.Listed(), (std::vector<InterfaceChoice>{{"eth0", true}, {"lo", false}}));
}

TEST(SettingsWindow, ApplyKeepsTheChosenThemeOnlyWhileTheBoxesShowItsColours) {
    struct Case {
        const char* theme;
        int slot;  // a box given a named colour after the theme, or -1
        const char* colourName;
        ColourRgb colour;
        bool thenCustom;  // "Custom" chosen last, which keeps what the boxes show
        const char* wantTheme;
    };
    const Case cases[] = {
        {"XP Silver", -1, "", {}, false, "XP Silver"},
        {"XP Silver", 0, "Red", {255, 0, 0}, false, "Custom"},
        {"XP Silver", 0, "Black", {0, 0, 0}, false, "XP Silver"},  // the colour it has
        {"Sunset", 1, "Cyan", {0, 255, 255}, true, "Custom"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.theme) + " " + c.colourName);
        Bench bench;
        bench.Open();
        ChooseEntry(bench.Find("themeList"), c.theme);
        Colours want = bench.ThemeColours(c.theme);
        if (c.slot >= 0) {
            ChooseEntry(bench.Find<CColourComboBox>(kBoxes[c.slot]), c.colourName);
            want[c.slot] = c.colour;
        }
        if (c.thenCustom) {
            ChooseEntry(bench.Find("themeList"), "Custom");
            EXPECT_EQ(bench.BoxColours(), want);
        }
        EXPECT_TRUE(bench.window->Apply());

        EXPECT_EQ(bench.themes.CurrentThemeName(), c.wantTheme);
        EXPECT_EQ(bench.Find("themeList")->currentText(), c.wantTheme);
        EXPECT_EQ(bench.ThemeColours(c.wantTheme), want);
        EXPECT_EQ(bench.BoxColours(), want);
        EXPECT_EQ(bench.SavedText().substr(0, 8 + std::strlen(c.wantTheme)),
                  std::string("V1.0.0\n") + c.wantTheme + "\n");
    }
}

TEST(SettingsWindow, GraphTypeOnlyWhenChosenAndSpeedFromTheTrackbar) {
    SettingsValues file = SavedValues("Deep Blue", kGraphDial, 26);
    Bench bench(&file);
    bench.Open();
    const auto renderers = [&] {
        return std::count_if(
            bench.view.calls.begin(), bench.view.calls.end(),
            [](const std::string& call) { return call.rfind("renderer", 0) == 0; });
    };
    const auto before = renderers();

    // The dial is an entry like the others, chosen as the file says.
    EXPECT_EQ(bench.Find("graphTypeList")->currentText(), "Dial");
    bench.Click("applyButton");  // nothing chosen: the dial stays, and so does the speed
    EXPECT_EQ(renderers(), before);
    EXPECT_EQ(bench.SavedText().substr(0, 28), "V1.0.0\nDeep Blue\n703\n0\n0\n26\n");

    ChooseEntry(bench.Find("graphTypeList"), "Lines");
    ChooseEntry(bench.Find("graphTypeList"), "Dial");
    bench.Click("applyButton");
    EXPECT_EQ(bench.SavedText().substr(0, 20), "V1.0.0\nDeep Blue\n703");
    ChooseEntry(bench.Find("graphTypeList"), "Bars");
    QTest::keyClick(bench.Find<QSlider>("graphSpeed"), Qt::Key_End);
    bench.Click("applyButton");
    EXPECT_EQ(renderers(), before + 2);
    EXPECT_EQ(bench.view.renderer, kGraphBars);
    EXPECT_EQ(bench.view.FrameDelay(), 1);

    // A second Apply replaces nothing and writes the same file again.
    const std::string first = bench.SavedText();
    std::remove(bench.SettingsPath().c_str());
    bench.Click("applyButton");
    EXPECT_EQ(renderers(), before + 2);
    EXPECT_EQ(bench.SavedText(), first);
}

// The tray's face is shown as saved and saved as chosen, in the line after the excluded list.
TEST(SettingsWindow, TrayIconFaceShownAndSaved) {
    SettingsValues file = SavedValues("Deep Blue", kGraphLines, 10);
    file.trayFace = 1;
    Bench bench(&file);
    bench.Open();
    EXPECT_EQ(bench.Find("trayFaceList")->currentText(), "speeds");
    EXPECT_EQ(bench.settings->trayFace, TrayFace::Speeds);

    ChooseEntry(bench.Find("trayFaceList"), "traffic picture");
    bench.Click("applyButton");
    EXPECT_EQ(bench.settings->trayFace, TrayFace::Picture);
    SettingsValues saved;
    ParseSettings(bench.SavedText(), saved);
    EXPECT_EQ(saved.trayFace, 0);
}

// In another language the lists show their names translated, while the file keeps the English
// names that every language reads back.
TEST(SettingsWindow, TranslatedNamesShownEnglishNamesSaved) {
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(TALLYGLASS_TRANSLATIONS_DIR "tallyglass_de.qm")));
    QCoreApplication::installTranslator(&german);
    SettingsValues file = SavedValues("Orange", kGraphLines, 10);
    Bench bench(&file);
    bench.Open();
    EXPECT_EQ(bench.Find("themeList")->currentText(), "Orange");
    EXPECT_EQ(bench.Find("graphTypeList")->currentText(), "Linien");

    ChooseEntry(bench.Find("themeList"), "LCD grün");
    ChooseEntry(bench.Find("graphTypeList"), "Balken");
    EXPECT_TRUE(bench.window->Apply());
    EXPECT_EQ(bench.SavedText().substr(0, 21), "V1.0.0\nGreen LCD\n702\n");
    EXPECT_EQ(bench.Find("themeList")->currentText(), "LCD grün");
    QCoreApplication::removeTranslator(&german);
}

// The theme the file names "Turqoise" is shown spelt right, and saved as the file spells it, so
// every file written before still finds its theme.
TEST(SettingsWindow, MisspeltThemeShownRightAndSavedAsBefore) {
    SettingsValues file = SavedValues("Turqoise", kGraphLines, 10);
    Bench bench(&file);
    bench.Open();
    EXPECT_EQ(bench.Find("themeList")->currentText(), "Turquoise");
    EXPECT_TRUE(bench.window->Apply());
    EXPECT_EQ(bench.SavedText().substr(0, 16), "V1.0.0\nTurqoise\n");
}

TEST(SettingsWindow, InterfaceListFollowsTheSamplerAndKeepsUnappliedTicks) {
    const SettingsValues file = SavedValues("Deep Blue", kGraphLines, 10);  // nothing excluded
    Bench bench(&file);
    bench.Open();
    auto* list = bench.Find<QListWidget>("interfaceList");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Space);  // eth0 unticked, not applied yet

    // Two come up in one walk, then one goes.
    bench.source.AddAdapter(3, "usb0");
    bench.source.AddAdapter(4, "wlan0");
    bench.Walk();
    bench.Walk();
    bench.source.RemoveAdapter(4);
    bench.Walk();
    EXPECT_EQ(bench.Listed(),
              (std::vector<InterfaceChoice>{{"eth0", false}, {"lo", true}, {"usb0", true}}));

    bench.Click("applyButton");
    EXPECT_FALSE(bench.sampler.IsMonitored("eth0"));
    EXPECT_EQ(bench.sampler.ExcludedDescriptions(), std::vector<std::string>{"eth0"});
}

TEST(SettingsWindow, StopsWatchingTheSamplerHoweverItCloses) {
    struct Case {
        const char* how;
        std::function<void(Bench&)> close;
        bool applied;
    };
    const Case cases[] = {
        {"OK", [](Bench& b) { b.Click("okButton"); }, true},
        {"Cancel", [](Bench& b) { b.Click("cancelButton"); }, false},
        {"Escape", [](Bench& b) { QTest::keyClick(b.window, Qt::Key_Escape); }, false},
        {"close box", [](Bench& b) { b.window->close(); }, false},
        {"deleted", [](Bench& b) { delete b.window.data(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Bench bench;
        bench.Open();
        EXPECT_EQ(bench.sampler.ObserverCount(), 1u);
        ChooseEntry(bench.Find("themeList"), "Violet");
        c.close(bench);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(bench.window.isNull());
        EXPECT_EQ(bench.sampler.ObserverCount(), 0u);
        EXPECT_EQ(bench.themes.CurrentThemeName(), c.applied ? "Violet" : "Deep Blue");
    }
}

TEST(SettingsWindow, StartAtLoginTouchesTheEntryOnlyWhenTheBoxChanged) {
    Bench bench;
    bench.Open();
    bench.Tick("startAtLogin");
    bench.Click("applyButton");
    std::string text;
    ASSERT_TRUE(ReadTextFile(bench.autostartPath, text));
    EXPECT_NE(text.find("\nExec=/opt/tallyglass/tallyglass\n"), std::string::npos) << text;

    ASSERT_TRUE(WriteFileAtomically(bench.autostartPath, "kept as it is"));
    bench.Click("applyButton");  // the entry is there: never rewritten
    ASSERT_TRUE(ReadTextFile(bench.autostartPath, text));
    EXPECT_EQ(text, "kept as it is");

    bench.Tick("startAtLogin");
    bench.Click("applyButton");
    EXPECT_FALSE(FileExists(bench.autostartPath));

    // A folder that cannot be made: told on stderr, the box stays as set, the settings are saved.
    TempDir other;
    std::ofstream(other.Str() + "/config") << "a file where the folder should be";
    Bench blocked(nullptr, other.Str() + "/config");
    blocked.Open();
    blocked.Tick("startAtLogin");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(blocked.window->Apply());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(blocked.autostartPath),
              std::string::npos);
    EXPECT_TRUE(blocked.Find<QCheckBox>("startAtLogin")->isChecked());
    EXPECT_TRUE(FileExists(blocked.SettingsPath()));
}

// Answers the next colour dialog with OK and `colour`, or with Escape, and notes the colour it
// opened with.
void AnswerColourDialog(std::optional<QColor> colour, QColor* opened) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [=] {
        if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            *opened = dialog->currentColor();
            if (colour) {
                dialog->setCurrentColor(*colour);
                dialog->accept();
            } else {
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        }
    });
    poll->start(20);
}

// Picks an entry from the open list with the mouse, as a user goes straight to it.
void PickEntry(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(index, 0) << text.toStdString();
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
    const QRect entry = list->visualRect(box->model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
}

// The colour dialog of "Custom..." sets that entry's colour; a cancelled one leaves the box on
// the entry it showed before, whose colour is then the box's colour again.
TEST(ColourComboBox, CustomEntryAsksForAColourAndACancelGoesBackToTheEntryBefore) {
    CColourComboBox box;
    box.ShowColour({1, 2, 3});  // any other: "Custom..." holds it
    box.show();
    struct Step {
        const char* what;
        std::optional<QColor> answer;
        QColor opensAt;
        int index;
        ColourRgb colour;
    };
    const Step steps[] = {
        {"cancelled", std::nullopt, QColor(1, 2, 3), 10, {1, 2, 3}},
        {"chosen", QColor(10, 20, 30), QColor(1, 2, 3), 10, {10, 20, 30}},
        {"cancelled after a choice", std::nullopt, QColor(10, 20, 30), 10, {10, 20, 30}},
    };
    for (const Step& step : steps) {
        QColor opened;
        AnswerColourDialog(step.answer, &opened);
        PickEntry(&box, "Custom...");
        EXPECT_EQ(opened, step.opensAt) << step.what;
        EXPECT_EQ(box.count(), 11) << step.what;
        EXPECT_EQ(box.currentIndex(), step.index) << step.what;
        EXPECT_EQ(box.SelectedColour(), step.colour) << step.what;
    }
    // Reached with the arrow keys, the entry before is the one passed last.
    box.setCurrentIndex(box.findText("Fuchsia"));
    QColor opened;
    AnswerColourDialog(std::nullopt, &opened);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(opened, QColor(255, 0, 255));  // asked, at the colour shown before
    EXPECT_EQ(box.currentText(), "Fuchsia");
}

// Cancelling the colour dialog in the window leaves the theme and the file as they were.
TEST(SettingsWindow, ACancelledColourDialogChangesNothingThatApplySaves) {
    const SettingsValues file = SavedValues("Deep Blue", kGraphLines, 10);
    Bench bench(&file);
    bench.Open();
    ASSERT_TRUE(bench.window->Apply());
    const std::string saved = bench.SavedText();

    QColor opened;
    AnswerColourDialog(std::nullopt, &opened);
    PickEntry(bench.Find<CColourComboBox>("uploadColour"), "Custom...");
    EXPECT_EQ(bench.BoxColours(), bench.ThemeColours("Deep Blue"));
    ASSERT_TRUE(bench.window->Apply());
    EXPECT_EQ(bench.themes.CurrentThemeName(), "Deep Blue");
    EXPECT_EQ(bench.SavedText(), saved);
}

// The box keeps its first width while its names fit, and grows to the widest name of another
// language, so the name beside the swatch is never cut (in the field nor in the open list, which
// is as wide as the box).
TEST(ColourComboBox, IsAsWideAsItsWidestNameNeedsBesideTheSwatch) {
    for (const char* custom : {"Custom...", "A custom colour of the longest name..."}) {
        CColourComboBox box;
        box.ShowColour({1, 2, 3});
        box.setItemText(10, custom);
        box.setCurrentIndex(10);
        box.resize(box.minimumSizeHint());
        QStyleOptionComboBox option;
        option.initFrom(&box);
        const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, &box);
        // The name's room: right of the swatch and its gap, up to the field's end.
        const int room = field.width() - CColourItemDelegate::SwatchRight(field.width()) - 2;
        EXPECT_GE(room, box.fontMetrics().horizontalAdvance(custom)) << custom;
        EXPECT_GE(box.minimumSizeHint().width(), CColourComboBox::kLeastWidth) << custom;
    }
    CColourComboBox english;
    EXPECT_EQ(english.minimumSizeHint().width(), CColourComboBox::kLeastWidth);
}

TEST(ColourComboBox, EntryDrawsItsSwatchOverTenTwentySeventhsOfTheWidth) {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 160));
    palette.setColor(QPalette::Text, Qt::black);
    for (const bool selected : {false, true}) {
        for (const int width : {81, 270}) {
            QImage image(width, 20, QImage::Format_RGB32);
            QPainter painter(&image);
            CColourItemDelegate::PaintItem(painter, image.rect(), "Wm", Qt::red, {selected},
                                           palette);
            painter.end();
            const int right = width * 10 / 27;  // 30 for 81
            const QRgb back = selected ? qRgb(0, 0, 160) : qRgb(255, 255, 255);
            const QRgb black = qRgb(0, 0, 0), red = qRgb(255, 0, 0);
            // Background, frame, swatch ... swatch, frame, background; the same from the top.
            const std::vector<QRgb> across = {back, black, red, red, black, back};
            const std::vector<QRgb> seen = {image.pixel(1, 10),         image.pixel(2, 10),
                                            image.pixel(3, 10),         image.pixel(right - 2, 10),
                                            image.pixel(right - 1, 10), image.pixel(right, 10)};
            EXPECT_EQ(seen, across) << width << (selected ? " selected" : "");
            EXPECT_EQ(image.pixel(9, 1), back);
            EXPECT_EQ(image.pixel(9, 2), black);
            // The name starts two pixels right of the swatch, inverted on the highlight.
            int leftmostText = width;
            for (int x = right; x < width; ++x) {
                for (int y = 0; y < 20; ++y) {
                    const int light = qRed(image.pixel(x, y)) + qGreen(image.pixel(x, y));
                    if (selected ? light > 300 : light < 200) {
                        leftmostText = std::min(leftmostText, x);
                    }
                }
            }
            EXPECT_GE(leftmostText, right + 2);
            EXPECT_LT(leftmostText, right + 6);
        }
    }
}

}  // namespace
