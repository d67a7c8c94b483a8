#pragma once

#include <QString>
#include <array>

namespace tavanote {

// The years the calendar offers.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;
// Six weeks of seven days, Monday first: cell = row * 7 + column.
constexpr int kGridCells = 42;
constexpr int kGridColumns = 7;

bool IsLeapYear(int year);
// month 1 to 12.
int daysInMonth(int month, int year);
// "Janvier" to "Décembre", index 0 to 11.
QString monthName(int index);
// A number as at least two digits: 7 gives "07".
QString twoDigits(int value);
// The day kept when the month or year changes: the same day, or the last day of a shorter month.
int clampDay(int day, int month, int year);
// Saturday and Sunday columns.
bool isWeekendCell(int cell);

// One month laid out on the grid: the day captions "01" to the last day, empty elsewhere.
struct MonthGrid {
    int firstCell = 0;  // the cell of the 1st: Monday 0 ... Sunday 6
    int days = 0;
    std::array<QString, kGridCells> captions;

    // The cell of a day of this month.
    int cellOf(int day) const { return firstCell + day - 1; }
};

MonthGrid monthGrid(int month, int year);

}  // namespace tavanote
