#include "DueCheck.h"

#include <QSet>

#include "common/DateText.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

// Up to a day of minutes is looked up by their texts; a longer gap reads the active messages and compares instants.
constexpr qint64 kMinutesByText = 24 * 60;

bool isStartupMessage(const Message& message) {
    return message.periodicite == QLatin1String("9");
}

}  // namespace

bool findDueMessages(MessageStore& store, const DueSpans& spans, MessageList& due) {
    qint64 minutes = 0;
    for (const DueSpan& span : spans)
        minutes += span.first.secsTo(span.last) / 60 + 1;
    std::optional<MessageList> found;
    if (minutes <= kMinutesByText) {
        QSet<QString> texts;
        for (const DueSpan& span : spans) {
            for (QDateTime minute = span.first; minute <= span.last; minute = minute.addSecs(60))
                texts.insert(formatDateTime(minute));
        }
        found = store.activeAt(texts);
    } else {
        found = store.withState(kStateActif, MessageOrder::ById);
        if (found) {
            auto outside = [&spans](const Message& message) {
                const std::optional<QDateTime> when = readInstant(message.prochainaffichage);
                // Due-ness is the exact text of a minute: "5/3/2026 08:00" is never due.
                if (!when || formatDateTime(*when) != message.prochainaffichage)
                    return true;
                return std::none_of(spans.begin(), spans.end(),
                                    [&when](const DueSpan& span) { return span.first <= *when && *when <= span.last; });
            };
            found->erase(std::remove_if(found->begin(), found->end(), outside), found->end());
        }
    }
    if (!found)
        return false;
    for (Message& message : *found) {
        if (!isStartupMessage(message))
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

DueSpan DueTicker::spanFor(const QDateTime& localNow) {
    const QDateTime now = naiveNow(localNow);
    DueSpan span{now, now};
    if (m_previous && *m_previous < now)
        span.first = m_previous->addSecs(60);
    m_previous = now;
    return span;
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
