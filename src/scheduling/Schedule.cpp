#include "Schedule.h"

#include <QRegularExpression>

#include "common/DateText.h"
#include "common/TextRules.h"
#include "scheduling/PutOffRule.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

// Minutes a fixed step adds.
qint64 stepMinutes(qint64 code) {
    switch (code) {
        case 1:
            return 60;
        case 2:
            return 24 * 60;
        case 3:
            return 7 * 24 * 60;
        default:
            return 0;
    }
}

QDateTime addMonthsClamped(const QDateTime& from, int months) {
    // QDate::addMonths keeps the day when the target month has it, else gives the month's last day.
    return QDateTime(from.date().addMonths(months), from.time(), Qt::UTC);
}

std::optional<QDateTime> endCheck(const QDateTime& candidate, const std::optional<QDateTime>& end) {
    if (end && *end < candidate)
        return std::nullopt;
    return candidate;
}

// After this many calendar steps the day of the month has fallen as far as it ever will: every month the
// series visits has been seen, Februaries of a common year included, so later steps never clamp again.
constexpr int kSettlingSteps = 48;

}  // namespace

int stepMonths(qint64 code) {
    switch (code) {
        case 4:
            return 1;
        case 5:
            return 2;
        case 6:
            return 3;
        case 7:
            return 6;
        case 8:
            return 12;
        default:
            return 0;
    }
}

QDateTime naiveInstant(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute()), Qt::UTC);
}

QDateTime naiveNow(const QDateTime& localNow) {
    return naiveInstant(localNow.date(), localNow.time());
}

std::optional<QDateTime> readInstant(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time = m.captured(4).isEmpty() ? QTime(0, 0) : QTime(m.captured(4).toInt(), m.captured(5).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return naiveInstant(date, time);
}

bool hasStep(qint64 code) {
    return code >= 1 && code <= 8;
}

QDateTime addStep(qint64 code, const QDateTime& from) {
    if (const int months = stepMonths(code))
        return addMonthsClamped(from, months);
    return from.addSecs(stepMinutes(code) * 60);
}

std::optional<QDateTime> nextDisplay(qint64 code, const QDateTime& base, const std::optional<QDateTime>& end,
                                     const QDateTime& now) {
    if (!hasStep(code))
        return std::nullopt;
    // Candidates only grow: the series has expired exactly when the first candidate past now is past the end.
    if (const qint64 minutes = stepMinutes(code)) {
        const qint64 step = minutes * 60;
        const qint64 behind = base.secsTo(now);
        const qint64 steps = behind < step ? 1 : behind / step + 1;
        return endCheck(base.addSecs(steps * step), end);
    }
    const int months = stepMonths(code);
    QDateTime candidate = base;
    for (int i = 0; i < kSettlingSteps; ++i) {
        candidate = addMonthsClamped(candidate, months);
        if (end && *end < candidate)
            return std::nullopt;
        if (candidate > now)
            return candidate;
    }
    // The day is settled: jump close to now, then step to the first candidate past it.
    const QDate from = candidate.date();
    const qint64 monthsBehind =
        (static_cast<qint64>(now.date().year()) - from.year()) * 12 + (now.date().month() - from.month());
    const qint64 jump = std::max<qint64>(0, monthsBehind / months - 1);
    candidate = addMonthsClamped(candidate, static_cast<int>(jump * months));
    while (candidate <= now)
        candidate = addMonthsClamped(candidate, months);
    return endCheck(candidate, end);
}

bool applyExpiry(MessageStore& store, Expiry expiry, qint64 id) {
    return expiry == Expiry::Delete ? store.remove(id) : store.setState(id, kStateErrone);
}

bool writeNextDisplay(MessageStore& store, qint64 id, const QDateTime& next) {
    return store.setNextDisplay(id, formatDateTime(next));
}

std::optional<QDateTime> recentMissedDisplay(qint64 code, const QDateTime& next, const QDateTime& end,
                                             const QDateTime& now) {
    if (!hasStep(code))
        return std::nullopt;
    const QDateTime oldest = now.addDays(-kLateDays);
    // The first display of the series not older than the limit, then the last one up to now and the end.
    std::optional<QDateTime> missed = next;
    if (next < oldest)
        missed = nextDisplay(code, next, std::nullopt, oldest.addSecs(-60));
    if (!missed || *missed > now || *missed > end)
        return std::nullopt;
    for (QDateTime later = addStep(code, *missed); later <= now && later <= end; later = addStep(code, later))
        missed = later;
    return missed;
}

StartupDecision decideAtStartup(const Message& message, const QDateTime& now) {
    const qint64 code = leadingNumber(message.periodicite);
    if (message.periodicite == QLatin1String("9") || code >= 9)
        return {};
    const std::optional<QDateTime> next = readInstant(message.prochainaffichage);
    if (!next)
        return {StartupDecision::Unreadable, {}};
    if (now <= *next)
        return {};
    const bool mayOpen = message.etat != kStateErrone;
    // A message shown once is never expired unseen, however late.
    if (code <= 0)
        return mayOpen ? StartupDecision{StartupDecision::OpenLate, *next}
                       : StartupDecision{StartupDecision::Expire, {}};
    const std::optional<QDateTime> end = readInstant(message.dernieraffichage);
    if (!end)
        return {StartupDecision::Unreadable, {}};
    if (mayOpen) {
        if (const std::optional<QDateTime> missed = recentMissedDisplay(code, *next, *end, now))
            return {StartupDecision::OpenLate, *missed};
    }
    if (now > *end)
        return {StartupDecision::Expire, {}};
    if (const std::optional<QDateTime> stepped = nextDisplay(code, *next, end, now))
        return {StartupDecision::Step, *stepped};
    return {StartupDecision::Expire, {}};
}

StartupPassResult runStartupPass(MessageStore& store, Expiry expiry, const QDateTime& now) {
    StartupPassResult result;
    // One transaction for the whole pass, begun before the rows are read: thousands of rows stepped cost one
    // sync, no other program writes in between, and a pass cut short is undone whole and simply runs again at
    // the next start. While another program writes, the beginning waits a moment; then nothing runs.
    MessageStore::Transaction transaction(store);
    if (!transaction.isOpen()) {
        result.error = store.failure();
        return result;
    }
    const std::optional<MessageList> messages = store.all();
    if (!messages) {
        result.error = store.failure();
        return result;
    }
    // A note put off comes back at its own time, whatever the message's next display says.
    const QSet<qint64> putOff = heldByPutOff(store);
    bool undone = false;
    for (const Message& message : *messages) {
        // A row the file would refuse to write is listed and left as it is, whatever it is due for.
        if (message.breaksTableRules()) {
            ++result.failed;
            result.refused << message.titre;
            continue;
        }
        const StartupDecision decision =
            putOff.contains(message.id) ? StartupDecision() : decideAtStartup(message, now);
        // A row the file refuses is skipped; any other failure (disk full, file in use...) undoes the pass.
        auto count = [&](bool ok, int& counter) {
            if (ok) {
                ++counter;
            } else if (store.failure().kind == StoreErrorKind::Refused && store.inTransaction()) {
                ++result.failed;
                result.refused << message.titre;
            } else {
                undone = true;
            }
        };
        switch (decision.kind) {
            case StartupDecision::Leave:
                break;
            case StartupDecision::Unreadable:
                ++result.unreadable;
                break;
            case StartupDecision::Expire:
                count(applyExpiry(store, expiry, message.id), result.expired);
                break;
            case StartupDecision::Step:
                count(writeNextDisplay(store, message.id, decision.at), result.stepped);
                break;
            case StartupDecision::OpenLate:
                result.late.push_back({message, decision.at});
                break;
        }
        if (undone)
            break;
    }
    if (undone || !transaction.commit()) {
        StartupPassResult none;
        none.error = store.failure();
        return none;
    }
    return result;
}

QString startupPassReport(const StartupPassResult& result) {
    if (!result.error.ok())
        return storeFailureText(QStringLiteral("Les messages dont l'heure d'affichage est passée n'ont pas pu être "
                                               "mis à jour: aucun message n'a été modifié.\nIls le seront au "
                                               "prochain démarrage du programme."),
                                result.error);
    if (result.refused.isEmpty())
        return QString();
    QString text = QStringLiteral(
        "Les messages suivants n'ont pas pu être mis à jour: le fichier les refuse tels qu'ils sont.\n"
        "Ils restent inchangés; modifiez-les ou supprimez-les.\n");
    for (const QString& title : result.refused)
        text += QStringLiteral("\n- ") + title;
    return text;
}

}  // namespace tavanote
