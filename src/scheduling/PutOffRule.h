#pragma once

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <optional>

#include "store/Message.h"
#include "store/PutOff.h"

namespace tavanote {

class MessageStore;

// The choices of "Rappeler plus tard", in the order the note offers them.
enum class PutOffChoice { Minutes5, Minutes10, Minutes30, Hour, Tomorrow };
inline constexpr int kPutOffChoices = 5;
const QStringList& putOffTexts();

// When a note put off at localNow (the clock's reading) comes back, as a naive instant at the minute. Minutes
// and the hour are time lived: over the spring change "in 30 minutes" is 30 minutes away, never earlier than the
// same count on the wall clock. "Tomorrow" is the same wall-clock time on the next day, which may fall in the
// spring gap: the note then comes back at the first minute after it.
QDateTime putOffUntil(PutOffChoice choice, const QDateTime& localNow);

// The row a note showing the display displayedAt writes when it is put off at localNow.
PutOff putOffRow(qint64 id, const QDateTime& displayedAt, PutOffChoice choice, const QDateTime& localNow);

// What becomes of a put-off note at now (a naive instant).
struct PutOffDecision {
    enum Kind {
        Wait,   // its time has not come
        Open,   // its note opens again, showing the display it stands for
        Rearm,  // the clock went back behind the moment it was put off: the delay counts again from now
        Drop,   // its message is gone, or no longer displayed (deleted, changed, closed meanwhile): forgotten
    };
    Kind kind = Wait;
    QDateTime display;  // Open: the display the note shows, from which its close steps
    PutOff rearmed;     // Rearm: the row rewritten
};
// message: the row of the message, nothing when it is gone. A time that cannot be read opens the note at once
// rather than lose it.
PutOffDecision decidePutOff(const PutOff& row, const std::optional<Message>& message, const QDateTime& now);

// The messages whose note is put off and still to come back: the start-up pass leaves them to their own time.
QSet<qint64> heldByPutOff(MessageStore& store);

}  // namespace tavanote
