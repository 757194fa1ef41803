#include "platform/user_locale.h"

#include <QDateTime>
#include <QLocale>

namespace tw::platform {
namespace {

std::string bytes(const QString& text) { return text.toStdString(); }

}  // namespace

LocalDateTime localNow() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

DatePatterns userDatePatterns() {
    const QLocale locale = QLocale::system();
    DatePatterns p;
    p.shortDate = bytes(locale.dateFormat(QLocale::ShortFormat));
    p.longTime = bytes(locale.timeFormat(QLocale::LongFormat));
    p.amText = bytes(locale.amText());
    p.pmText = bytes(locale.pmText());
    for (int m = 1; m <= 12; ++m) {
        p.monthNames[static_cast<size_t>(m - 1)] = bytes(locale.monthName(m, QLocale::LongFormat));
        p.shortMonthNames[static_cast<size_t>(m - 1)] = bytes(locale.monthName(m, QLocale::ShortFormat));
    }
    return p;
}

}  // namespace tw::platform
