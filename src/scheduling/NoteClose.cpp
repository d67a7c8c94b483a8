#include "NoteClose.h"

#include "common/DateText.h"
#include "common/TextRules.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

QString periodicLabel(qint64 code) {
    static const char* const labels[] = {
        "(affiché toutes les heures)",  "(affiché tous les jours)",     "(affiché toutes les semaines)",
        "(affiché tous les mois)",      "(affiché tous les bimestres)", "(affiché tous les trimestres)",
        "(affiché tous les semestres)", "(affiché toutes les années)",
    };
    return hasStep(code) ? QString::fromUtf8(labels[code - 1]) : QString();
}

}  // namespace

QString noteCloseQuestion() {
    return QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?");
}

NoteCloseOutcome decideNoteClose(const Message& message, const QDateTime& displayedAt, const QDateTime& now,
                                 Expiry expiry, bool deletingDisplayed) {
    NoteCloseOutcome outcome;
    const QString heading = QStringLiteral("Message: ") + message.titre + QStringLiteral("\n\n");
    if (deletingDisplayed) {
        outcome.kind = NoteCloseOutcome::Deleted;
        outcome.text = heading + QStringLiteral("Ce message est maintenant supprimé.");
        return outcome;
    }
    const qint64 code = leadingNumber(message.periodicite);
    if (code == 9) {
        outcome.kind = NoteCloseOutcome::AtStart;
        outcome.text = QStringLiteral(
            "Ce message est periodique (affiché au démarrage du programme).\n"
            "Son prochain affichage se fera donc au prochain démarrage du programme.");
        outcome.tellBeforeWriting = true;
        return outcome;
    }
    if (hasStep(code)) {
        const std::optional<QDateTime> end = readInstant(message.dernieraffichage);
        if (const std::optional<QDateTime> next = nextDisplay(code, displayedAt, end, now)) {
            outcome.kind = NoteCloseOutcome::Rescheduled;
            outcome.next = next;
            outcome.text = QStringLiteral("Ce message est periodique ") + periodicLabel(code) +
                           QStringLiteral(".\nSon prochain affichage est prévu pour le:") +
                           next->toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm"));
            return outcome;
        }
    }
    outcome.kind = NoteCloseOutcome::Expired;
    outcome.tellBeforeWriting = true;
    outcome.text = heading + (expiry == Expiry::KeepAsErrone ? QStringLiteral("Ce message est maintenant érroné.")
                                                             : QStringLiteral("Ce message a été supprimé."));
    return outcome;
}

bool writeNoteClose(MessageStore& store, Expiry expiry, qint64 id, const NoteCloseOutcome& outcome) {
    MessageStore::Transaction transaction(store);
    // Inside a caller's transaction, the caller decides for the whole.
    const bool outer = !transaction.isOpen() && store.inTransaction();
    if (!transaction.isOpen() && !outer)
        return false;  // nothing written: the note stays and can be closed again
    bool ok = true;
    switch (outcome.kind) {
        case NoteCloseOutcome::Deleted:
            ok = store.remove(id);
            break;
        case NoteCloseOutcome::AtStart:
            ok = store.setState(id, kStateActif);
            break;
        case NoteCloseOutcome::Rescheduled:
            ok = store.setState(id, kStateErrone) && store.setState(id, kStateActif) &&
                 writeNextDisplay(store, id, *outcome.next);
            break;
        case NoteCloseOutcome::Expired:
            ok = store.setState(id, kStateErrone) && applyExpiry(store, expiry, id);
            break;
    }
    // A note that came back from being put off is over with its close.
    return ok && store.removePutOff(id) && (outer || transaction.commit());
}

}  // namespace tavanote
