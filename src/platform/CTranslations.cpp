#include "platform/CTranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>

#include "platform/Folders.h"

namespace {

constexpr const char* kCataloguePrefix = "tallyglass_";

QString CataloguePath(const QString& folder, const QString& suffix) {
    return folder + kCataloguePrefix + suffix + ".qm";
}

}  // namespace

QString ChooseCatalogue(const QStringList& uiLanguages,
                        const std::function<bool(const QString& suffix)>& hasCatalogue) {
    for (QString language : uiLanguages) {
        language.replace('-', '_');
        const QString alone = language.section('_', 0, 0);
        if (alone.isEmpty() || alone == "en" || alone == "C" || alone == "POSIX") {
            return {};
        }
        if (hasCatalogue(language)) {
            return language;
        }
        if (alone != language && hasCatalogue(alone)) {
            return alone;
        }
    }
    return {};
}

CTranslations::CTranslations()
    : CTranslations(QString::fromStdString(ResolveProgramFolder()) + "translations/",
                    QLocale::system().uiLanguages()) {}

CTranslations::CTranslations(const QString& folder, const QStringList& uiLanguages) {
    const QString suffix = ChooseCatalogue(uiLanguages, [&folder](const QString& candidate) {
        return QFileInfo::exists(CataloguePath(folder, candidate));
    });
    if (suffix.isEmpty() || !program_.load(CataloguePath(folder, suffix)) ||
        !QCoreApplication::installTranslator(&program_)) {
        return;
    }
    language_ = suffix;
    // Qt's own texts in the same language, where the system has them (Debian's
    // qt6-translations-l10n); "qtbase_de_DE" falls back to "qtbase_de".
    if (qt_.load("qtbase_" + suffix, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_);
    }
}
