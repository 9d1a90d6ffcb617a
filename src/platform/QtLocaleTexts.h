#pragma once

#include <QLocale>
#include <QString>

#include "platform/LocaleTexts.h"

// LocaleTexts from a QLocale, the user's own (QLocale::system()) unless told otherwise, and from
// the translations installed in the application (English where there are none).
class QtLocaleTexts final : public LocaleTexts {
public:
    explicit QtLocaleTexts(QLocale locale = QLocale::system());

    std::unique_ptr<LocaleTexts> Clone() const override;
    std::string ShortDate(const LocalDate& date) const override;
    std::string TimeText(int hour, int minute) const override;
    std::string HourText(int hour) const override;
    // Thread-safe, as QCoreApplication::translate is.
    std::string Translate(const char* context, const char* source,
                          const char* disambiguation = nullptr, int n = -1) const override;

    // The locale's short time format without its seconds, and without minutes too when
    // `withMinutes` is false: "h:mm:ss AP" gives "h:mm AP" and "h AP".
    static QString TimeFormatWithout(const QString& format, bool withMinutes);
    // The locale's short date format with its year in four digits: "dd.MM.yy" gives
    // "dd.MM.yyyy"; a format that has them already is kept.
    static QString WithFourDigitYears(const QString& format);

private:
    QLocale locale_;
};
