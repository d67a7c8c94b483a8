#include "MessageLists.h"

#include <QHash>

#include "common/TextRules.h"
#include "store/MessageStore.h"

namespace tavanote {

ListIndex listForState(const QString& etat) {
    const QString state = trimBlanks(etat).toLower();
    if (state == QLatin1String("actif"))
        return ListActifs;
    if (state == QLatin1String("affiche"))
        return ListAffiches;
    return ListErrones;
}

QString periodicityWording(int code) {
    static const std::array<QString, 10> wordings = {
        QStringLiteral("Affiché une seule fois"),      QStringLiteral("Affiché toutes les heures"),
        QStringLiteral("Affiché tous les jours"),      QStringLiteral("Affiché toutes les semaines"),
        QStringLiteral("Affiché tous les mois"),       QStringLiteral("Affiché tous les bimestres"),
        QStringLiteral("Affiché tous les trimestres"), QStringLiteral("Affiché tous les semestres"),
        QStringLiteral("Affiché tous les ans"),        QStringLiteral("Affiché au démarrage"),
    };
    if (code < 0 || code > 9)
        return QStringLiteral("Périodicité inconnue");
    return wordings[static_cast<size_t>(code)];
}

const std::array<QString, kListColumns>& listHeaders() {
    static const std::array<QString, kListColumns> headers = {
        QStringLiteral("No"),
        QStringLiteral("Titre"),
        QStringLiteral("Texte"),
        QStringLiteral("Date"),
        QStringLiteral("Heure"),
        QStringLiteral("periodicité"),
        QStringLiteral("Prochain affichage"),
        QStringLiteral("Dernier affichage"),
        QStringLiteral("Indice periode"),
        QStringLiteral("id"),
    };
    return headers;
}

const std::array<int, kListColumns>& listColumnWidths() {
    static const std::array<int, kListColumns> widths = {400, 1500, 2500, 1200, 1000, 2700, 1800, 1800, 0, 0};
    return widths;
}

QString putOffTip(const QString& until) {
    // "dd/mm/yyyy hh:mm" read as "le dd/mm/yyyy à hh:mm"
    return QStringLiteral("Rappel prévu le %1 à %2").arg(until.left(10), until.mid(11));
}

ListRow listRow(const Message& message, int number) {
    ListRow row;
    const qint64 code = leadingNumber(message.periodicite);
    row.code = code > 9 ? -1 : static_cast<int>(code);
    row.cells = {QString::number(number),   message.titre,
                 message.message,           message.datemessage,
                 message.heuremessage,      periodicityWording(row.code),
                 message.prochainaffichage, message.dernieraffichage,
                 message.periodicite,       QString::number(message.id)};
    return row;
}

MessageListsData loadMessageLists(MessageStore& store, QString* error) {
    MessageListsData data;
    const std::optional<MessageList> messages = store.all();
    if (!messages) {
        if (error)
            *error = store.lastError();
        return data;
    }
    QHash<qint64, QString> putOff;
    for (const PutOff& row : store.putOffs().value_or(PutOffList()))
        putOff.insert(row.id, row.retour);
    for (const Message& message : *messages) {
        const ListIndex index = listForState(message.etat);
        std::vector<ListRow>& list = data.lists[index];
        list.push_back(listRow(message, static_cast<int>(list.size()) + 1));
        if (index == ListAffiches)
            list.back().putOffUntil = putOff.value(message.id);
    }
    return data;
}

}  // namespace tavanote
