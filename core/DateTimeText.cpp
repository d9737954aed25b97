#include "core/DateTimeText.h"

#include <QLocale>

namespace {

struct DateTimeFormat
{
    QLocale locale = QLocale::system();
    QString time;

    DateTimeFormat()
    {
        time = locale.timeFormat(QLocale::LongFormat);
        time.remove(QLatin1Char('t'));
        time = time.trimmed();
    }
};

} // namespace

QString dateTimeText(const QDateTime &moment)
{
    // Read once: a search writes this for every file it lists.
    static const DateTimeFormat format;
    return format.locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + format.locale.toString(moment.time(), format.time);
}
