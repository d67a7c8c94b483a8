#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "common/Preferences.h"
#include "store/StoreError.h"

namespace tavanote {

class MessageStore;

// Instants are naive local date-times at minute precision, held with a UTC spec so that no time-zone rule
// moves them: an hourly step adds sixty minutes of wall-clock time.
QDateTime naiveInstant(const QDate& date, const QTime& time);
QDateTime naiveNow(const QDateTime& localNow);

// Reads "dd/mm/yyyy hh:mm" day first, also without leading zeros ("5/3/2026 8:00") and with seconds, which
// are dropped; a date alone is midnight. Anything else gives nothing.
std::optional<QDateTime> readInstant(const QString& text);

// True for the codes "1" to "8", the periodicities that step.
bool hasStep(qint64 code);

// Months a calendar step adds (1, 2, 3, 6 or 12); 0 for the hour, day and week steps.
int stepMonths(qint64 code);

// One step of a periodicity code from an instant; calendar steps keep the day of the month when the target
// month has it and otherwise give its last day.
QDateTime addStep(qint64 code, const QDateTime& from);

// The first candidate strictly later than now, starting one step after base; nothing when a candidate would
// pass the end. A missing end is a series without end. The answer is that of stepping one period at a
// time, without the cost of one step per missed period.
std::optional<QDateTime> nextDisplay(qint64 code, const QDateTime& base, const std::optional<QDateTime>& end,
                                     const QDateTime& now);

// The same, one step at a time: the reference the fast rule is checked against.
std::optional<QDateTime> nextDisplayByLoop(qint64 code, const QDateTime& base, const std::optional<QDateTime>& end,
                                           const QDateTime& now);

// Deletes the message or marks it "errone", as the user chose. True when the store did it.
bool applyExpiry(MessageStore& store, Expiry expiry, qint64 id);

// Writes a next display; the state does not change.
bool writeNextDisplay(MessageStore& store, qint64 id, const QDateTime& next);

struct StartupPassResult {
    int stepped = 0;
    int expired = 0;
    int unreadable = 0;  // rows left alone because a date could not be read
    int failed = 0;      // writes that failed; the pass went on
    // Rows whose write the file refused (a rule of the table): left as they were, the rest went on.
    QStringList refused;
    // Set when the pass could not begin or was undone whole: no row changed.
    StoreError error;
};

// Brings every message whose display time passed while the program was not running up to date, all of it in
// one transaction: every row is brought up to date, or (when the file is in use, the disk full...) none is.
// A row whose write the file refuses is skipped, and the rest goes on.
StartupPassResult runStartupPass(MessageStore& store, Expiry expiry, const QDateTime& now);

// What the user is told after the pass; empty when all went well.
QString startupPassReport(const StartupPassResult& result);

}  // namespace tavanote
