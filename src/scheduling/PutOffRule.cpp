#include "PutOffRule.h"

#include "common/DateText.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

const QStringList& putOffTexts() {
    static const QStringList texts = {
        QStringLiteral("Rappeler dans 5 minutes"),         QStringLiteral("Rappeler dans 10 minutes"),
        QStringLiteral("Rappeler dans 30 minutes"),        QStringLiteral("Rappeler dans 1 heure"),
        QStringLiteral("Rappeler demain à la même heure"),
    };
    return texts;
}

QDateTime putOffUntil(PutOffChoice choice, const QDateTime& localNow) {
    const QDateTime now = naiveNow(localNow);
    if (choice == PutOffChoice::Tomorrow)
        return now.addDays(1);
    static const int minutes[] = {5, 10, 30, 60};
    const qint64 delay = minutes[static_cast<int>(choice)] * 60;
    // Over the spring change the wall clock jumps ahead of the time lived; over the autumn one it falls behind,
    // and the note, never due before its count on the wall clock, is rearmed when the clock goes back.
    return std::max(naiveNow(localNow.addSecs(delay)), now.addSecs(delay));
}

PutOff putOffRow(qint64 id, const QDateTime& displayedAt, PutOffChoice choice, const QDateTime& localNow) {
    return {id, formatDateTime(displayedAt), formatDateTime(putOffUntil(choice, localNow)),
            formatDateTime(naiveNow(localNow))};
}

PutOffDecision decidePutOff(const PutOff& row, const std::optional<Message>& message, const QDateTime& now) {
    if (!message || message->etat != kStateAffiche)
        return {PutOffDecision::Drop, {}, {}};
    const QDateTime display =
        readInstant(row.affichage).value_or(readInstant(message->prochainaffichage).value_or(now));
    const std::optional<QDateTime> until = readInstant(row.retour);
    const std::optional<QDateTime> since = readInstant(row.depuis);
    if (until && since && now < *since) {
        PutOff rearmed = row;
        rearmed.retour = formatDateTime(now.addSecs(std::max<qint64>(0, since->secsTo(*until))));
        rearmed.depuis = formatDateTime(now);
        return {PutOffDecision::Rearm, {}, rearmed};
    }
    if (until && now < *until)
        return {PutOffDecision::Wait, {}, {}};
    return {PutOffDecision::Open, display, {}};
}

QSet<qint64> heldByPutOff(MessageStore& store) {
    QSet<qint64> held;
    for (const PutOff& row : store.putOffs().value_or(PutOffList())) {
        const std::optional<Message> message = store.find(row.id);
        if (message && message->etat == kStateAffiche)
            held.insert(row.id);
    }
    return held;
}

}  // namespace tavanote
