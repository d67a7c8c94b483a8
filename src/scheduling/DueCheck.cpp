#include "DueCheck.h"

#include "common/DateText.h"
#include "store/MessageStore.h"

namespace tavanote {

bool findDueMessages(MessageStore& store, const QSet<QString>& minutes, MessageList& due) {
    std::optional<MessageList> active = store.activeAt(minutes);
    if (!active)
        return false;
    for (Message& message : *active) {
        if (message.periodicite != QLatin1String("9"))
            due.push_back(std::move(message));
    }
    return true;
}

bool findStartupMessages(MessageStore& store, MessageList& messages) {
    std::optional<MessageList> found = store.startupMessages();
    if (!found)
        return false;
    messages.insert(messages.end(), found->begin(), found->end());
    return true;
}

bool markDisplayed(MessageStore& store, qint64 id) {
    return store.setState(id, kStateAffiche);
}

QSet<QString> DueTicker::minutesFor(const QDateTime& localNow) {
    const QDateTime now = toMinute(localNow);
    QSet<QString> minutes{formatDateTime(now)};
    if (m_previous) {
        const QDateTime previous = *m_previous;
        QDateTime wall(previous.date(), previous.time(), Qt::UTC);
        const QDateTime wallNow(now.date(), now.time(), Qt::UTC);
        // Only when the wall clock moved by more than a minute, and only for a tick that follows the last one
        // closely: after a sleep, missed minutes stay missed.
        if (wall.secsTo(wallNow) > 60 && previous.toUTC().secsTo(localNow.toUTC()) <= 120) {
            for (wall = wall.addSecs(60); wall < wallNow; wall = wall.addSecs(60)) {
                if (!QDateTime(wall.date(), wall.time(), Qt::LocalTime).isValid())
                    minutes.insert(formatDateTime(wall));
            }
        }
    }
    m_previous = now;
    return minutes;
}

bool DueTicker::openedBefore(qint64 id, const QString& minute, const QDateTime& localNow) const {
    const auto found = m_opened.constFind(id);
    if (found == m_opened.constEnd() || found->first != minute)
        return false;
    // Long enough to cover an hour lived twice, short enough never to hide a later display of the same text.
    return found->second.secsTo(localNow.toUTC()) < 3 * 3600;
}

void DueTicker::remember(qint64 id, const QString& minute, const QDateTime& localNow) {
    m_opened.insert(id, {minute, localNow.toUTC()});
}

}  // namespace tavanote
