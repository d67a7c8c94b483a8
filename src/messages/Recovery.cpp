#include "Recovery.h"

#include <QDate>
#include <QStringList>
#include <QTime>

#include "common/DateText.h"
#include "common/SettingsStore.h"
#include "common/TextRules.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

const QString kListe = QStringLiteral("liste");
const QString kNombre = QStringLiteral("nombre");
const QString kEnCours = QStringLiteral("EN COURS");
const QString kEnding = QStringLiteral(" à partir de l'ancienne version.");

bool isProgramSection(const QString& name) {
    return name == kParametres || name == kListe;
}

// The old version wrote dates and times as the system showed them; a value that cannot be read stays as stored.
QString asDate(const QString& stored) {
    const QDate date = QDate::fromString(trimBlanks(stored), QStringLiteral("d/M/yyyy"));
    return date.isValid() ? formatDate(date) : stored;
}

QString asTime(const QString& stored) {
    const QString text = trimBlanks(stored);
    for (const QString& pattern : {QStringLiteral("H:mm"), QStringLiteral("H:mm:ss")}) {
        const QTime time = QTime::fromString(text, pattern);
        if (time.isValid())
            return time.toString(QStringLiteral("HH:mm"));
    }
    return stored;
}

}  // namespace

RecoveryResult RecoverOldMessages(MessageStore& store, SettingsStore& settings) {
    RecoveryResult result;
    if (settings.get(kListe, kNombre).isEmpty()) {
        result.text = QStringLiteral("Il n'existe aucun message a récupérer") + kEnding;
        return result;
    }

    // Everything is read and built first, so that the settings are touched only once the rows are safely in.
    QStringList names;
    QStringList skipped;
    MessageList messages;
    const QList<QPair<QString, QString>> pairs = settings.section(kListe);
    for (const auto& [name, value] : pairs) {
        if (name == kNombre || value != kEnCours || name.isEmpty())
            continue;
        Message message;
        message.titre = trimBlanks(name);
        // A title the store refuses, or a message named like a section of the program (its text would be read
        // from that section, and removing it would remove the program's own keys), stays where it is.
        if (isProgramSection(name) || message.titre.toUcs4().size() > kTitleMaxLength) {
            skipped << name;
            continue;
        }
        message.message = trimBlanks(settings.get(name, QStringLiteral("texte:")));
        message.datemessage = asDate(settings.get(name, QStringLiteral("jour:")));
        message.heuremessage = asTime(settings.get(name, QStringLiteral("heure:")));
        message.etat = kStateActif;
        message.periodicite = QStringLiteral("0");
        message.prochainaffichage = message.datemessage + QLatin1Char(' ') + message.heuremessage;
        messages.push_back(std::move(message));
        names << name;
    }

    if (!messages.empty() && !store.insertAll(messages)) {
        result.failed = true;
        result.text = storeFailureText(
            QStringLiteral("Une erreur est intervenue dans la récupération des anciens messages: aucun n'a été "
                           "récupéré, ils restent dans les paramètres."),
            store.failure());
        return result;
    }

    for (const QString& name : names)
        settings.removeSection(name);
    settings.removeSection(kListe);
    settings.save();

    result.count = static_cast<int>(names.size());
    if (result.count > 1)
        result.text = QString::number(result.count) + QStringLiteral(" messages ont été récupérés");
    else if (result.count == 1)
        result.text = QStringLiteral("1 message a été récupéré");
    else
        result.text = QStringLiteral("Aucun message n'a été récupéré");
    result.refreshLists = result.count > 0;
    result.text += kEnding;
    if (!skipped.isEmpty()) {
        result.text += QStringLiteral(
                           "\n\nCes messages n'ont pas pu être récupérés: leur titre a plus de %1 caractères ou est "
                           "le nom d'une section du programme. Ils restent dans le fichier des paramètres.\n")
                           .arg(kTitleMaxLength) +
                       skipped.join(QLatin1Char('\n'));
    }
    return result;
}

QString recoveryOffer() {
    return QStringLiteral(
        "Vous avez installé une nouvelle version du programme.\n"
        "Les messages encore actifs de la version 1.0.0 peuvent être récupérés.\n"
        "Désirez-vous récupérer ces messages si il y en a ?");
}

}  // namespace tavanote
