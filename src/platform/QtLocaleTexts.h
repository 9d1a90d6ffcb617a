#pragma once

#include <QLocale>
#include <QString>

#include "platform/LocaleTexts.h"

// LocaleTexts from a QLocale: the user's own (QLocale::system()) unless told otherwise.
class QtLocaleTexts final : public LocaleTexts {
public:
    explicit QtLocaleTexts(QLocale locale = QLocale::system());

    std::string ShortDate(const LocalDate& date) const override;
    std::string TimeText(int hour, int minute) const override;
    std::string HourText(int hour) const override;

    // The locale's short time format without its seconds, and without minutes too when
    // `withMinutes` is false: "h:mm:ss AP" gives "h:mm AP" and "h AP".
    static QString TimeFormatWithout(const QString& format, bool withMinutes);

private:
    QLocale locale_;
};
