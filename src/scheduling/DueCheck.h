#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

#include "store/Message.h"

namespace tavanote {

class MessageStore;

// Wall-clock minutes one tick of the due check covers, as naive instants at the minute, both ends included.
struct DueSpan {
    QDateTime first;
    QDateTime last;
    bool operator==(const DueSpan& other) const { return first == other.first && last == other.last; }
};
using DueSpans = QList<DueSpan>;

// Active messages whose next display, written exactly as "dd/mm/yyyy hh:mm", is a minute of one of the spans, in
// id order; messages shown at every start are not among them. False when the read failed.
bool findDueMessages(MessageStore& store, const DueSpans& spans, MessageList& due);

// Every message shown at each start, whatever its state, in id order.
bool findStartupMessages(MessageStore& store, MessageList& messages);

// Marks a message as displayed.
bool markDisplayed(MessageStore& store, qint64 id);

// Which minutes the due check matches at each tick, and which messages it already opened.
class DueTicker {
public:
    // The next tick covers every minute from this one (a naive instant) on.
    void startFrom(const QDateTime& minute) { m_previous = minute.addSecs(-60); }

    // The tick's own minute, and every minute the wall clock skipped since the previous tick: the computer
    // slept, the clock was set forward or jumped over a spring change. A clock set back covers its own minute
    // only.
    DueSpan spanFor(const QDateTime& localNow);

    // A message opened for a minute is not opened again for the same minute: in the autumn, when an hour
    // is lived twice, it opens once.
    bool openedBefore(qint64 id, const QString& minute, const QDateTime& localNow) const;
    void remember(qint64 id, const QString& minute, const QDateTime& localNow);

private:
    std::optional<QDateTime> m_previous;                // the naive minute of the previous tick
    QHash<qint64, QPair<QString, QDateTime>> m_opened;  // id -> minute text, real instant (UTC) of opening
};

}  // namespace tavanote
