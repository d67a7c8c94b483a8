#include "EditorRules.h"

#include "common/TextRules.h"
#include "editor/DateFields.h"
#include "scheduling/PutOffRule.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

const QStringList& periodicityChoices() {
    static const QStringList choices = {
        QStringLiteral("Afficher le message une seule fois"),
        QStringLiteral("Afficher le message toutes les heures"),
        QStringLiteral("Afficher le message tous les jours"),
        QStringLiteral("Afficher le message toutes les semaines"),
        QStringLiteral("Afficher le message tous les mois"),
        QStringLiteral("Afficher le message tous les bimestres"),
        QStringLiteral("Afficher le message tous les trimestres"),
        QStringLiteral("Afficher le message tous les semestres"),
        QStringLiteral("Afficher le message tous les ans"),
        QStringLiteral("Afficher le message au démarrage du programme"),
    };
    return choices;
}

namespace {

// Weeks counted from Sunday: julian day 0 was a Monday.
qint64 sundayWeek(const QDate& date) {
    const qint64 day = date.toJulianDay() + 1;
    return day >= 0 ? day / 7 : (day - 6) / 7;
}

}  // namespace

qint64 repeatCount(int code, const QDateTime& firstDisplay, const QDate& endDate) {
    const QDateTime second = addStep(code, firstDisplay);
    const QDate secondDate = second.date();
    switch (code) {
        case 1:
            return endDate.toJulianDay() * 24 - (secondDate.toJulianDay() * 24 + second.time().hour());
        case 2:
            return secondDate.daysTo(endDate);
        case 3:
            return sundayWeek(endDate) - sundayWeek(secondDate);
        case 4:
        case 5:
        case 6:
        case 7:
            return (static_cast<qint64>(endDate.year()) * 12 + endDate.month()) -
                   (static_cast<qint64>(secondDate.year()) * 12 + secondDate.month());
        case 8:
            return endDate.year() - secondDate.year();
        default:
            return 0;
    }
}

int repeatThreshold(int code) {
    // Two, three and six months for the calendar steps of that many months; one unit for the others.
    const int months = stepMonths(code);
    return months > 1 && months < 12 ? months : 1;
}

namespace {

QString contextOf(EditorField field) {
    switch (field) {
        case EditorField::Date:
            return QStringLiteral("pour la date d'affichage du message.");
        case EditorField::Heure:
            return QStringLiteral("pour l'heure d'affichage du message.");
        case EditorField::DateFin:
            return QStringLiteral("pour la date de fin d'affichage du message.");
        default:
            return QString();
    }
}

EditorFault refusal(EditorField field, const QString& text) {
    return {field, text, false, false};
}

// A date or time check on a field; nothing when it passes.
std::optional<EditorFault> checkText(bool (*check)(QString&, QString*), QString& text, EditorField field) {
    QString fault;
    if (check(text, &fault))
        return std::nullopt;
    return EditorFault{field, fault + contextOf(field), true, false};
}

}  // namespace

std::optional<EditorFault> checkEditorFields(EditorFields& f, const QDateTime& now) {
    for (QString* field : {&f.titre, &f.texte, &f.date, &f.heure, &f.dateFin})
        *field = trimBlanks(*field);
    if (f.titre.isEmpty())
        return refusal(EditorField::Titre, QStringLiteral("Le titre du message doit être saisi."));
    if (f.texte.isEmpty())
        return refusal(EditorField::Texte, QStringLiteral("Le texte du message doit être saisi."));
    if (f.code == 9) {
        f.date.clear();
        f.heure.clear();
        return std::nullopt;
    }
    if (f.date.isEmpty())
        return refusal(EditorField::Date, QStringLiteral("La date d'affichage du message doit être saisie."));
    if (auto fault = checkText(CheckDateText, f.date, EditorField::Date))
        return fault;
    const QDate start = QDate::fromString(f.date, QStringLiteral("dd/MM/yyyy"));
    if (start < now.date())
        return refusal(EditorField::Date,
                       QStringLiteral("Vous ne pouvez pas saisir de date antérieure à aujourd'hui."));
    if (f.heure.isEmpty())
        return refusal(EditorField::Heure, QStringLiteral("L'heure d'affichage du message doit être saisie."));
    if (auto fault = checkText(CheckTimeText, f.heure, EditorField::Heure))
        return fault;
    const QTime time = QTime::fromString(f.heure, QStringLiteral("HH:mm"));
    // Seconds count, not milliseconds: the current minute is refused once its second 00 has passed.
    const QTime nowTime(now.time().hour(), now.time().minute(), now.time().second());
    if (start == now.date() && time < nowTime)
        return refusal(EditorField::Heure,
                       QStringLiteral("Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure "
                                      "actuelle.\nEntrez une autre heure qui soit plus grande que celle actuelle ou "
                                      "un jour postérieur à aujourd'hui."));
    if (f.code == 0) {
        f.dateFin.clear();
        return std::nullopt;
    }
    if (f.dateFin.isEmpty())
        return refusal(EditorField::DateFin, QStringLiteral("La date de fin d'affichage du message doit être saisie."));
    if (auto fault = checkText(CheckDateText, f.dateFin, EditorField::DateFin))
        return fault;
    const QDate end = QDate::fromString(f.dateFin, QStringLiteral("dd/MM/yyyy"));
    if (start > end)
        return refusal(EditorField::DateFin,
                       QStringLiteral("Vous avez saisi une date de fin d'affichage du message inférieure à la date "
                                      "d'affichage du message.\nEntrez une autre date qui soit postérieure à celle "
                                      "du premier jour d'affichage."));
    if (repeatCount(f.code, naiveInstant(start, time), end) <= repeatThreshold(f.code))
        return EditorFault{EditorField::None,
                           QStringLiteral("La date de fin d'affichage que vous avez saisi pour le message\n"
                                          "ne permettra sans doute pas d'afficher le message plus d'une fois.\n"
                                          "Désirez-vous quand même enregistrer le message ?"),
                           false, true};
    return std::nullopt;
}

Message editorMessage(const EditorFields& f) {
    Message m;
    m.titre = trimBlanks(f.titre);
    m.message = trimBlanks(f.texte);
    m.datemessage = trimBlanks(f.date);
    m.heuremessage = trimBlanks(f.heure);
    m.etat = kStateActif;
    m.periodicite = QString::number(f.code);
    m.prochainaffichage = m.datemessage + QLatin1Char(' ') + m.heuremessage;
    // The end of the series: the end date at the time of day of the display, or nothing for a single display.
    if (f.code > 0)
        m.dernieraffichage = trimBlanks(f.dateFin) + QLatin1Char(' ') + m.heuremessage;
    return m;
}

std::optional<EditorFields> loadEditorFields(MessageStore& store, qint64 id) {
    const std::optional<Message> m = store.find(id);
    if (!m)
        return std::nullopt;
    const qint64 code = leadingNumber(m->periodicite);
    return EditorFields{m->titre.left(30),
                        m->message,
                        m->datemessage.left(10),
                        m->heuremessage.left(5),
                        m->dernieraffichage.left(10),
                        code <= 9 ? static_cast<int>(code) : 0};
}

QString messageGoneText() {
    return QStringLiteral("Impossible de modifier le message. Celui-ci n'existe plus.");
}

EditorSaveResult saveEditorFields(MessageStore& store, const EditorFields& fields, qint64 id) {
    Message message = editorMessage(fields);
    const auto failed = [&store] {
        return EditorSaveResult{
            EditorSaveResult::Failed, 0,
            storeFailureText(
                QStringLiteral(
                    "Impossible d'enregistrer le message: le fichier des messages est resté tel qu'il était."),
                store.failure())};
    };
    if (id == 0) {
        const std::optional<qint64> added = store.insert(message);
        return added ? EditorSaveResult{EditorSaveResult::Saved, *added, QString()} : failed();
    }
    // The state is read again now: a note may have opened, or the row gone, while the editor was open.
    const std::optional<Message> stored = store.find(id);
    if (!stored && !store.lastError().isEmpty())
        return failed();
    // A message whose note is put off is no longer on screen: changing it cancels the note's return.
    if (stored && stored->etat == kStateAffiche && !heldByPutOff(store).contains(id))
        return {EditorSaveResult::Displayed, id,
                QStringLiteral("Impossible de modifier le message. Celui-ci est affiché.")};
    message.id = id;
    MessageStore::Transaction transaction(store);
    StoreWrite written = stored ? store.update(message) : StoreWrite::Gone;
    if (written == StoreWrite::Done && (!store.removePutOff(id) || (transaction.isOpen() && !transaction.commit())))
        written = StoreWrite::Failed;
    switch (written) {
        case StoreWrite::Done:
            return {EditorSaveResult::Saved, id, QString()};
        case StoreWrite::Gone:
            return {EditorSaveResult::Gone, id, messageGoneText()};
        case StoreWrite::Failed:
            break;
    }
    return failed();
}

}  // namespace tavanote
