#include "DueCheck.h"

#include "common/DateText.h"
#include "common/TextRules.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

bool readNotes(MessageStore& store, const QString& sql, const QSet<QString>* minutes, std::vector<NoteMessage>& out) {
    Recordset rs = store.run(sql);
    if (!rs.ok())
        return false;
    if (rs.isBOF() || rs.isEOF())
        return true;
    const int id = rs.columnIndex(QStringLiteral("id"));
    const int titre = rs.columnIndex(QStringLiteral("titre"));
    const int message = rs.columnIndex(QStringLiteral("message"));
    const int code = rs.columnIndex(QStringLiteral("periodicite"));
    const int etat = rs.columnIndex(QStringLiteral("etat"));
    const int next = rs.columnIndex(QStringLiteral("prochainaffichage"));
    const int last = rs.columnIndex(QStringLiteral("dernieraffichage"));
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        if (minutes) {
            if (rs.text(code) == QLatin1String("9") || rs.text(etat) != QLatin1String("actif") ||
                !minutes->contains(rs.text(next)))
                continue;
        }
        out.push_back(
            {rs.text(id).toLongLong(), rs.text(titre), rs.text(message), rs.text(code), rs.text(last), rs.text(next)});
    }
    return true;
}

}  // namespace

bool findDueMessages(MessageStore& store, const QSet<QString>& minutes, std::vector<NoteMessage>& due) {
    if (minutes.isEmpty())
        return true;
    // Only the rows of the minutes asked for are read: with an index on the next display, a tick costs the same
    // whatever the number of messages.
    QStringList quoted;
    for (const QString& minute : minutes)
        quoted << QLatin1Char('\'') + quoteText(minute) + QLatin1Char('\'');
    quoted.sort();
    return readNotes(store,
                     QStringLiteral("SELECT * FROM message WHERE etat = 'actif' AND prochainaffichage IN (%1) "
                                    "ORDER BY id")
                         .arg(quoted.join(QLatin1Char(','))),
                     &minutes, due);
}

bool findStartupMessages(MessageStore& store, std::vector<NoteMessage>& messages) {
    return readNotes(store, QStringLiteral("SELECT * FROM message WHERE periodicite LIKE '9' ORDER BY id"), nullptr,
                     messages);
}

bool markDisplayed(MessageStore& store, qint64 id) {
    return store.run(QStringLiteral("UPDATE message SET etat = 'affiche' WHERE id = %1").arg(id)).ok();
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
