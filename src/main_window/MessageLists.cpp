#include "MessageLists.h"

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

MessageListsData loadMessageLists(MessageStore& store, QString* error) {
    MessageListsData data;
    Recordset rs = store.run(QStringLiteral("SELECT * FROM message ORDER BY id ASC"));
    if (!rs.ok()) {
        if (error)
            *error = rs.error();
        return data;
    }
    const int titre = rs.columnIndex(QStringLiteral("titre"));
    const int message = rs.columnIndex(QStringLiteral("message"));
    const int datemessage = rs.columnIndex(QStringLiteral("datemessage"));
    const int heuremessage = rs.columnIndex(QStringLiteral("heuremessage"));
    const int etat = rs.columnIndex(QStringLiteral("etat"));
    const int periodicite = rs.columnIndex(QStringLiteral("periodicite"));
    const int prochain = rs.columnIndex(QStringLiteral("prochainaffichage"));
    const int dernier = rs.columnIndex(QStringLiteral("dernieraffichage"));
    const int id = rs.columnIndex(QStringLiteral("id"));
    if (rs.isBOF() || rs.isEOF())
        return data;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        std::vector<ListRow>& list = data.lists[listForState(rs.text(etat))];
        ListRow row;
        const QString code = rs.text(periodicite);
        const qint64 number = leadingNumber(code);
        row.code = number > 9 ? -1 : static_cast<int>(number);
        row.cells = {QString::number(list.size() + 1),
                     rs.text(titre),
                     rs.text(message),
                     rs.text(datemessage),
                     rs.text(heuremessage),
                     periodicityWording(row.code),
                     rs.text(prochain),
                     rs.text(dernier),
                     code,
                     rs.text(id)};
        list.push_back(std::move(row));
    }
    return data;
}

}  // namespace tavanote
