#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace tavanote {

// The program's text formats: "dd/mm/yyyy", "hh:mm" and "dd/mm/yyyy hh:mm", read day first.
QString formatDate(const QDate& date);
QString formatDateTime(const QDateTime& when);

// Now as the rules see it: the current instant cut to the minute.
QDateTime toMinute(const QDateTime& when);

}  // namespace tavanote
