#include "DateText.h"

namespace tavanote {

QString formatDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString formatDateTime(const QDateTime& when) {
    return when.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QDateTime toMinute(const QDateTime& when) {
    const QTime t = when.time();
    return QDateTime(when.date(), QTime(t.hour(), t.minute()), when.timeSpec());
}

}  // namespace tavanote
