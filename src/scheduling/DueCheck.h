#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

#include "store/Message.h"

namespace tavanote {

class MessageStore;

// Active messages whose next display, as text, is one of the given minutes ("dd/mm/yyyy hh:mm"), in the
// id order; messages shown at every start are not among them. False when the read failed.
bool findDueMessages(MessageStore& store, const QSet<QString>& minutes, MessageList& due);

// Every message shown at each start, whatever its state, in id order.
bool findStartupMessages(MessageStore& store, MessageList& messages);

// Marks a message as displayed.
bool markDisplayed(MessageStore& store, qint64 id);

// Which minutes the due check matches at each tick, and which messages it already opened.
class DueTicker {
public:
    // The tick's own minute; and when the clock has just jumped forward over a spring change, the minutes that
    // did not exist on the clock, so that a message due in the skipped hour still opens. A computer that slept
    // through minutes that did exist does not make them up.
    QSet<QString> minutesFor(const QDateTime& localNow);

    // A message opened for a minute is not opened again for the same minute: in the autumn, when an hour
    // is lived twice, it opens once.
    bool openedBefore(qint64 id, const QString& minute, const QDateTime& localNow) const;
    void remember(qint64 id, const QString& minute, const QDateTime& localNow);

private:
    std::optional<QDateTime> m_previous;
    QHash<qint64, QPair<QString, QDateTime>> m_opened;  // id -> minute text, real instant (UTC) of opening
};

}  // namespace tavanote
