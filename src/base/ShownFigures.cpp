#include "base/ShownFigures.h"

#include <QDateTime>
#include <QLocale>

#include <limits>

namespace tavrin {

QString shownMoment(const QString& iso) {
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return iso;
    // A date alone names a day, not a moment: no time zone to convert it to.
    // (QDate would read a moment's first ten characters as a date too.)
    if (const QDate date = QDate::fromString(iso, Qt::ISODate); date.isValid() && !iso.contains(u'T'))
        return locale.toString(date, QLocale::ShortFormat);
    const QDateTime moment = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!moment.isValid())
        return iso;
    return locale.toString(moment.toLocalTime(), QLocale::ShortFormat);
}

QString shownCount(qint64 count) {
    return QLocale().toString(count);
}

int pluralCount(qint64 count) {
    constexpr qint64 billion = 1'000'000'000;
    if (count >= std::numeric_limits<int>::min() && count <= std::numeric_limits<int>::max())
        return int(count);
    return int(count % billion + (count > 0 ? billion : -billion));
}

} // namespace tavrin
