#include "CalendarGrid.h"

#include <QDate>

namespace tavanote {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return IsLeapYear(year) ? 29 : 28;
        default:
            return 31;
    }
}

QString monthName(int index) {
    static const char* const kNames[12] = {"Janvier", "Février", "Mars",      "Avril",   "Mai",      "Juin",
                                           "Juillet", "Août",    "Septembre", "Octobre", "Novembre", "Décembre"};
    if (index < 0 || index > 11)
        return QString();
    return QString::fromUtf8(kNames[index]);
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

int clampDay(int day, int month, int year) {
    return qMin(day, daysInMonth(month, year));
}

bool isWeekendCell(int cell) {
    return cell % kGridColumns >= 5;
}

MonthGrid monthGrid(int month, int year) {
    MonthGrid grid;
    grid.firstCell = QDate(year, month, 1).dayOfWeek() - 1;
    grid.days = daysInMonth(month, year);
    for (int day = 1; day <= grid.days; ++day)
        grid.captions[static_cast<size_t>(grid.cellOf(day))] = twoDigits(day);
    return grid;
}

}  // namespace tavanote
