#include "platform/CTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <set>

#include "appearance/CSettings.h"
#include "appearance/CThemeTable.h"
#include "appearance/NamedColours.h"
#include "core/Formatters.h"
#include "platform/FittedMessageBox.h"
#include "platform/QtLocaleTexts.h"
#include "webstats/WebStatsFields.h"

namespace {

// The catalogues the build makes, beside the program.
const QString kFolder = TALLYGLASS_TRANSLATIONS_DIR;

QString Tr(const char* context, const char* source, int n = -1) {
    return QCoreApplication::translate(context, source, nullptr, n);
}

TEST(Translations, TheFirstWantedLanguageWithACatalogueUnlessEnglishComesFirst) {
    struct Case {
        QStringList wanted;  // as QLocale::uiLanguages gives them
        std::set<QString> catalogues;
        const char* chosen;
    };
    const Case cases[] = {
        {{"de-DE", "de"}, {"de"}, "de"},
        {{"de-AT"}, {"de"}, "de"},  // the language alone where its region has none
        {{"de-AT"}, {"de_AT", "de"}, "de_AT"},
        {{"fr-FR", "fr", "de-DE"}, {"de"}, "de"},  // LANGUAGE=fr:de without French
        {{"en-GB", "de-DE"}, {"de"}, ""},          // English first: no catalogue needed
        {{"en"}, {"de"}, ""},
        {{"C"}, {"de"}, ""},
        {{"fr-FR"}, {"de"}, ""},
        {{}, {"de"}, ""},
    };
    for (const Case& c : cases) {
        const QString chosen = ChooseCatalogue(
            c.wanted, [&c](const QString& suffix) { return c.catalogues.count(suffix) > 0; });
        EXPECT_EQ(chosen, c.chosen) << c.wanted.join(':').toStdString();
    }
}

// The German catalogue as the build makes it: window texts, a model's sentence, a plural, and
// Qt's own words in the same language; English again once it is gone.
TEST(Translations, GermanFromItsCatalogueUntilItIsRemoved) {
    ASSERT_TRUE(QFileInfo::exists(kFolder + "tallyglass_de.qm"));
    {
        const CTranslations german(kFolder, {"de-DE", "de"});
        EXPECT_EQ(german.Language(), "de");
        EXPECT_EQ(Tr("CToolMenu", "Settings"), "Einstellungen");
        EXPECT_EQ(Tr("CapwardenWindow", "Apply"), "Übernehmen");
        EXPECT_EQ(Tr("StatisticsLists", "Downloaded"), "Heruntergeladen");
        EXPECT_EQ(Tr("Months", "February"), "Februar");
        EXPECT_EQ(Tr("UploadIntervals", "%n minute", 1), "1 Minute");
        EXPECT_EQ(Tr("UploadIntervals", "%n minutes", 5), "5 Minuten");
        EXPECT_EQ(Tr("UploadIntervals", "%n seconds", 30), "30 Sekunden");
        const QtLocaleTexts texts;
        EXPECT_EQ(FillArgs(texts.Translate("CTrafficQuota",
                                           "Upload has passed its limit of %1: %2 used."),
                           {"100 MB", "150.0 MB"}),
                  "Der Upload hat sein Limit von 100 MB überschritten: 150.0 MB verbraucht.");
        EXPECT_EQ(
            FillArgs(texts.Translate("QuotaInput", "%1nd", "day of the month: 2nd, 22nd"), {"22"}),
            "22.");
        // Standard buttons come from Qt's catalogue, where the system has it.
        if (QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              "/qtbase_de.qm")) {
            EXPECT_EQ(Tr("QPlatformTheme", "&Yes"), "&Ja");
        }
    }
    EXPECT_EQ(Tr("CToolMenu", "Settings"), "Settings");
    EXPECT_EQ(Tr("UploadIntervals", "%n minutes", 5), "5 minutes");
}

TEST(Translations, EnglishWantedFirstOrNoCatalogueLeavesTheEnglish) {
    for (const QStringList& wanted : {QStringList{"en-US", "de-DE"}, QStringList{"fr-FR"}}) {
        const CTranslations none(kFolder, wanted);
        EXPECT_EQ(none.Language(), "");
        EXPECT_EQ(Tr("CToolMenu", "Settings"), "Settings");
        EXPECT_EQ(Tr("QPlatformTheme", "&Yes"), "&Yes");
    }
}

// The names of the lists (themes, colours, graph types, months, upload intervals) are English in
// the models and translated where they are shown, in their list's context: each one must be in
// the catalogue, also one added to its table without its mark.
TEST(Translations, EveryNameOfAListIsInTheGermanCatalogue) {
    QTranslator german;
    ASSERT_TRUE(german.load(kFolder + "tallyglass_de.qm"));
    std::vector<std::pair<const char*, std::string>> names;
    for (const std::string& theme : CThemeTable().ThemeNames()) {
        names.emplace_back("Themes", CThemeTable::ShownName(theme));  // as the list shows it
    }
    for (const NamedColour& colour : NamedColours) {
        names.emplace_back("Colours", colour.name);
    }
    for (const char* type : CSettings::kGraphTypeNames) {
        names.emplace_back("GraphTypes", type);
    }
    for (int month = 1; month <= 12; ++month) {
        names.emplace_back("Months", MonthName(month));
    }
    for (const UploadIntervalChoice& choice : kUploadIntervals) {
        EXPECT_FALSE(
            german.translate("UploadIntervals", choice.text, nullptr, choice.count).isEmpty())
            << choice.text;
    }
    for (const auto& [context, name] : names) {
        EXPECT_FALSE(german.translate(context, name.c_str()).isEmpty()) << context << ": " << name;
    }
}

// A longer title than text, as translations make them: the box is wide enough for the title bar
// to show it whole (beside its icon and buttons), and answers as the standard boxes do.
TEST(FittedMessageBox, IsAsWideAsItsTitle) {
    const QString title = "Zahl außerhalb des gültigen Bereichs, und noch viel länger";
    struct Seen {
        int width = 0;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    } seen;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {box->width(), box->icon()};
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            (ok != nullptr ? ok : box->button(QMessageBox::Yes))->click();
        }
    });
    answer.start(5);
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title);

    ShowError(nullptr, title, "Kurz");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_GE(seen.width, titleWidth + 120);
    seen = {};
    EXPECT_TRUE(AskYesNo(nullptr, title, "Kurz?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_GE(seen.width, titleWidth + 120);
}

}  // namespace
