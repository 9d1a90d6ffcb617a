#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

#include <functional>

// The first of the user's languages (most wanted first, as QLocale::uiLanguages gives them:
// "de-DE", "de", ...) that has a catalogue, as its catalogue's suffix ("de", "pt_BR"); empty for
// English, the language of the program's source texts, which needs none. A language is looked for
// with its region first, then alone. English wanted before any language with a catalogue keeps
// the program English, and so does a locale without a language ("C", "POSIX").
QString ChooseCatalogue(const QStringList& uiLanguages,
                        const std::function<bool(const QString& suffix)>& hasCatalogue);

// Puts the program's texts and Qt's own (standard buttons, the colour dialog, the command-line
// parser) into the user's language for as long as it lives: it installs the catalogue of the
// language ChooseCatalogue picks into the application, which must exist. Without a catalogue for
// the user's languages everything stays English.
class CTranslations final {
public:
    // The program's catalogues are "tallyglass_<suffix>.qm" in `folder` (ending with "/"): by
    // default the "translations/" of the program's resources. Qt's come from its installation.
    CTranslations();
    CTranslations(const QString& folder, const QStringList& uiLanguages);
    CTranslations(const CTranslations&) = delete;
    CTranslations& operator=(const CTranslations&) = delete;

    // The suffix of the catalogue installed ("de"), empty while the program speaks English.
    const QString& Language() const { return language_; }

private:
    QString language_;
    // Each takes itself out of the application as it goes.
    QTranslator program_;
    QTranslator qt_;
};
