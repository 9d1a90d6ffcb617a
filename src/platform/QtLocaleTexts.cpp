#include "platform/QtLocaleTexts.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QTime>

QtLocaleTexts::QtLocaleTexts(QLocale locale) : locale_(std::move(locale)) {}

std::unique_ptr<LocaleTexts> QtLocaleTexts::Clone() const {
    return std::make_unique<QtLocaleTexts>(locale_);
}

std::string QtLocaleTexts::Translate(const char* context, const char* source,
                                     const char* disambiguation, int n) const {
    return QCoreApplication::translate(context, source, disambiguation, n).toStdString();
}

std::string QtLocaleTexts::ShortDate(const LocalDate& date) const {
    // Two digits of a year cannot tell 1925 from 2025 in a history that may span decades.
    const QString format = WithFourDigitYears(locale_.dateFormat(QLocale::ShortFormat));
    return locale_.toString(QDate(date.year, date.month, date.day), format).toStdString();
}

std::string QtLocaleTexts::TimeText(int hour, int minute) const {
    const QString format = TimeFormatWithout(locale_.timeFormat(QLocale::ShortFormat), true);
    return locale_.toString(QTime(hour, minute), format).toStdString();
}

std::string QtLocaleTexts::HourText(int hour) const {
    const QString format = TimeFormatWithout(locale_.timeFormat(QLocale::ShortFormat), false);
    return locale_.toString(QTime(hour, 0), format).toStdString();
}

QString QtLocaleTexts::TimeFormatWithout(const QString& format, bool withMinutes) {
    // A field goes together with the separator in front of it (":ss", ".mm"); a field at the
    // start takes the separator after it instead.
    QString result = format;
    const QString fields = withMinutes ? "s+|z+" : "m+|s+|z+";
    result.remove(QRegularExpression(QString("[^a-zA-Z']*(?:%1)").arg(fields)));
    result.remove(QRegularExpression(QString("^(?:%1)[^a-zA-Z']*").arg(fields)));
    return result.trimmed();
}

QString QtLocaleTexts::WithFourDigitYears(const QString& format) {
    QString result = format;
    // A run of "y" outside quoted text: "yy" (or a lone "y") becomes "yyyy".
    result.replace(QRegularExpression("(?<![y'])y{1,2}(?![y])"), "yyyy");
    return result;
}
