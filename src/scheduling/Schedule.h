#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "common/Preferences.h"
#include "store/Message.h"
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

// Deletes the message or marks it "errone", as the user chose. True when the store did it.
bool applyExpiry(MessageStore& store, Expiry expiry, qint64 id);

// Writes a next display; the state does not change.
bool writeNextDisplay(MessageStore& store, qint64 id, const QDateTime& next);

// How long a missed display of a periodic message still opens late; an older one is passed over silently.
constexpr qint64 kLateDays = 7;

// The latest display of a series, from its next display on, that is not later than now nor than the end, when
// it fell within the last kLateDays days; nothing otherwise.
std::optional<QDateTime> recentMissedDisplay(qint64 code, const QDateTime& next, const QDateTime& end,
                                             const QDateTime& now);

// What becomes of a message whose display time may have passed unseen (the program was not running, or the
// computer slept).
struct StartupDecision {
    enum Kind {
        Leave,       // not due yet, shown at every start, or nothing to decide
        Unreadable,  // a date needed could not be read: left alone
        Expire,      // no display left: the expiry rule
        Step,        // a new next display, written silently
        OpenLate,    // a note opens for a display that was missed
    };
    Kind kind = Leave;
    // Step: the new next display. OpenLate: the missed display the note shows, from which its close steps.
    QDateTime at;
};

// Messages in the state "errone" are never opened late: they go on by the stepping and expiry rules alone.
StartupDecision decideAtStartup(const Message& message, const QDateTime& now);

// A message missed while the program was not running, opened during the start-up display.
struct LateDisplay {
    Message message;
    QDateTime at;  // the missed display it shows
};

struct StartupPassResult {
    int stepped = 0;
    int expired = 0;
    int unreadable = 0;             // rows left alone because a date could not be read
    int failed = 0;                 // writes that failed; the pass went on
    std::vector<LateDisplay> late;  // left unchanged by the pass, in id order, for the notes
    // Rows whose write the file refused (a rule of the table): left as they were, the rest went on.
    QStringList refused;
    // Set when the pass could not begin or was undone whole: no row changed.
    StoreError error;
};

// Brings every message whose display time passed while the program was not running up to date, all of it in
// one transaction: every row is brought up to date, or (when the file is in use, the disk full...) none is.
// A row whose write the file refuses is skipped, and the rest goes on. What was missed recently enough is
// left for a late note.
StartupPassResult runStartupPass(MessageStore& store, Expiry expiry, const QDateTime& now);

// What the user is told after the pass; empty when all went well.
QString startupPassReport(const StartupPassResult& result);

}  // namespace tavanote
