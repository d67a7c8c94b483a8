#include "ImportCheck.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <deque>

#include "common/TextRules.h"
#include "editor/DateFields.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

enum Field { Titre, Texte, Date, Heure, Etat, Periodicite, Prochain, Dernier, FieldCount };
using ColumnMap = std::array<int, FieldCount>;

const QString kRefused = QStringLiteral("Importation impossible:\n");
const QString kEmptyAt = QStringLiteral("] contient une donnée vide à la ligne ");
const QString kInvalidAt = QStringLiteral("] contient une donnée invalide à la ligne ");
const QString kNotValidAt = QStringLiteral("] contient une donnée non valide à la ligne ");
const QString kToImport = QStringLiteral(" pour pouvoir importer les données dans la base de données du programme.");

QString noDataText() {
    return kRefused + QStringLiteral("Aucunes données à importer n'ont été trouvées.");
}

QString unidentifiedText(const QString& what) {
    return kRefused + what +
           QStringLiteral(
               " n'a pas été identifié. Celui-ci est obligatoire pour pouvoir importer les données\ndans la base de "
               "données pour le carnet d'adresses.");
}

// For each field, the first visible column named after it (lower case), or 0.
ColumnMap columnMap(const ImportGrid& grid) {
    ColumnMap map{};
    const QStringList& names = importFieldNames();
    for (int c = grid.columnCount() - 1; c >= 1; --c) {
        const int field = grid.isVisible(c) ? static_cast<int>(names.indexOf(grid.header(c).toLower())) : -1;
        if (field >= 0)
            map[field] = c;
    }
    return map;
}

bool hasData(const ImportGrid& grid) {
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (!grid.isVisible(c))
            continue;
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (!grid.cell(r, c).isEmpty())
                return true;
        }
    }
    return false;
}

// Steps 5 and 6: every visible column named after a field, and no field named twice.
std::optional<QString> checkColumnNames(const ImportGrid& grid) {
    const QStringList& names = importFieldNames();
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (!grid.isVisible(c))
            continue;
        const QString& header = grid.header(c);
        if (trimBlanks(header).isEmpty())
            return unidentifiedText(QStringLiteral("Le champ de la colonne ") + QString::number(c));
        if (!names.contains(header.toLower()))
            return kRefused + QStringLiteral("Le champ de la colonne ") + QString::number(c) +
                   QStringLiteral(" n'a pas un nom valide (") + header +
                   QStringLiteral(
                       ").\nVous devez changer le nom du champ avec le nom correspondant\ndans la liste "
                       "(mappage des champs).");
    }
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (!grid.isVisible(c))
            continue;
        const QString name = trimBlanks(grid.header(c)).toLower();
        for (int j = 1; j < grid.columnCount(); ++j) {
            if (j != c && grid.isVisible(j) && trimBlanks(grid.header(j)).toLower() == name)
                return kRefused + QStringLiteral("Deux colonnes (") + QString::number(j) + QStringLiteral(" et ") +
                       QString::number(c) +
                       QStringLiteral(
                           ") possedent le même nom.\nVous devez changer le nom du champ avec le nom "
                           "correspondant\ndans la liste (modification des données).");
        }
    }
    return std::nullopt;
}

// What a cell fails on: the middle text and the end text of the refusal.
struct CellFault {
    const QString* middle = nullptr;
    QString end;
};

bool isPeriodicityCode(const QString& trimmed) {
    return trimmed.size() == 1 && trimmed.at(0) >= QLatin1Char('0') && trimmed.at(0) <= QLatin1Char('9');
}

// A next or last display: required, "JJ/MM/AAAA HH:MM".
std::optional<CellFault> checkDisplay(const QString& cell, const QString& which) {
    if (cell.isEmpty())
        return CellFault{&kEmptyAt, QStringLiteral(". La date de ") + which +
                                        QStringLiteral(" du message est obligatoire et doit être au format JJ/MM/AAAA "
                                                       "HH:MM") +
                                        kToImport};
    QString text = cell;
    if (!CheckDateTimeText(text))
        return CellFault{&kNotValidAt, QStringLiteral(". Celle-ci doit être une date de ") + which +
                                           QStringLiteral(" du message valide au format JJ/MM/AAAA HH:MM") + kToImport};
    return std::nullopt;
}

// The rule of a field for one cell. The periodicity of the row decides which cells are meaningless: they are
// rewritten in place and not checked.
std::optional<CellFault> checkCell(Field field, ImportGrid& grid, int row, const ColumnMap& map) {
    QString cell = grid.cell(row, map[field]);
    const QString trimmed = trimBlanks(cell);
    const QString code = trimBlanks(grid.cell(row, map[Periodicite]));
    const bool once = code == QLatin1String("0");
    const bool atStart = code == QLatin1String("9");
    switch (field) {
        case Titre:
            if (trimmed.isEmpty())
                return CellFault{&kEmptyAt, QStringLiteral(". Le titre du message est obligatoire") + kToImport};
            if (cell.size() > 30)
                return CellFault{&kNotValidAt,
                                 QStringLiteral(". Celle-ci doit être un titre de message valide de 30 caractères "
                                                "maximum") +
                                     kToImport};
            return std::nullopt;
        case Texte:
            if (trimmed.isEmpty())
                return CellFault{&kEmptyAt, QStringLiteral(". Le texte du message est obligatoire") + kToImport};
            return std::nullopt;
        case Date:
        case Heure: {
            if (atStart) {
                grid.setCell(row, map[field], QString());
                return std::nullopt;
            }
            const QString end = field == Date ? QStringLiteral(
                                                    ". La date du message est obligatoire et doit être au "
                                                    "format JJ/MM/AAAA") +
                                                    kToImport
                                              : QStringLiteral(
                                                    ". L'heure du message est obligatoire et doit être au "
                                                    "format HH:MM") +
                                                    kToImport;
            if (trimmed.isEmpty())
                return CellFault{&kEmptyAt, end};
            if (!(field == Date ? isDateText(trimmed) : isTimeText(trimmed)))
                return CellFault{&kInvalidAt, end};
            return std::nullopt;
        }
        case Etat:
            if (!trimmed.isEmpty() && trimmed != kStateActif && trimmed != kStateErrone)
                return CellFault{
                    &kNotValidAt,
                    QStringLiteral(". Celle-ci doit être un etat de message valide ('actif' ou 'errone')") + kToImport};
            return std::nullopt;
        case Periodicite:
            if (!isPeriodicityCode(trimmed))
                return CellFault{&kNotValidAt,
                                 QStringLiteral(". Celle-ci doit être une periodicité de message valide (entre 0 et "
                                                "8)") +
                                     kToImport};
            return std::nullopt;
        case Prochain:
        case Dernier:
            if (atStart || (once && field == Dernier)) {
                grid.setCell(row, map[field], QString());
                return std::nullopt;
            }
            if (once) {
                // A one-time message falls due at its date and time, as the editor writes it.
                grid.setCell(
                    row, map[field],
                    trimBlanks(grid.cell(row, map[Date])) + QLatin1Char(' ') + trimBlanks(grid.cell(row, map[Heure])));
                return std::nullopt;
            }
            return checkDisplay(
                cell, field == Prochain ? QStringLiteral("prochain affichage") : QStringLiteral("dernier affichage"));
        case FieldCount:
            break;
    }
    return std::nullopt;
}

// Step 7: each visible column left to right, each row top to bottom.
std::optional<QString> checkCells(ImportGrid& grid, const ColumnMap& map) {
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (!grid.isVisible(c))
            continue;
        const int field = static_cast<int>(importFieldNames().indexOf(grid.header(c).toLower()));
        if (map[field] != c)
            continue;
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (const auto fault = checkCell(static_cast<Field>(field), grid, r, map))
                return kRefused + QStringLiteral("Le champ [") + grid.header(c) + *fault->middle + QString::number(r) +
                       fault->end;
        }
    }
    return std::nullopt;
}

QString titleKey(const QString& title) {
    return trimBlanks(title).toLower();
}

// The grid rows of each title, from the top.
QHash<QString, std::deque<int>> rowsByTitle(const ImportGrid& grid, int titleColumn) {
    QHash<QString, std::deque<int>> rows;
    rows.reserve(grid.dataRowCount());
    for (int r = 1; r < grid.rowCount(); ++r)
        rows[titleKey(grid.cell(r, titleColumn))].push_back(r);
    return rows;
}

void report(const ImportProgress& progress, int step, const QString& label) {
    if (progress)
        progress(step * kProgressStep, label);
}

}  // namespace

std::optional<QString> checkImportGrid(ImportGrid& grid, const ImportProgress& progress) {
    report(progress, 1, QStringLiteral("Vérification de la présence de données..."));
    if (grid.columnCount() <= 1 || grid.dataRowCount() <= 0)
        return noDataText();
    if (grid.visibleColumnCount() != FieldCount)
        return kRefused + QStringLiteral("Le nombre de colonnes est différent du nombre de champs (") +
               QString::number(FieldCount) +
               QStringLiteral(
                   " au total).\nVous devez ajouter ou supprimer une ou des colonnes.\nPour de plus amples "
                   "informations, consultez l'aide en appuyant sur la touche F1 de votre clavier.");
    if (!hasData(grid))
        return noDataText();

    report(progress, 2, QStringLiteral("Vérification du champ (clé primaire)..."));
    if (columnMap(grid)[Titre] == 0)
        return unidentifiedText(QStringLiteral("Le champ [titre]"));

    report(progress, 3, QStringLiteral("Vérification du nom des champs..."));
    if (auto refusal = checkColumnNames(grid))
        return refusal;

    report(progress, 4, QStringLiteral("Vérification du format des données..."));
    return checkCells(grid, columnMap(grid));
}

QString duplicateTitles(const ImportGrid& grid, const QStringList& storedTitles) {
    const int titleColumn = columnMap(grid)[Titre];
    QString list;
    if (titleColumn == 0)
        return list;
    const auto rows = rowsByTitle(grid, titleColumn);
    for (const QString& stored : storedTitles) {
        const auto found = rows.constFind(titleKey(stored));
        if (found == rows.constEnd())
            continue;
        for (int r : *found)
            list += grid.cell(r, titleColumn) + QLatin1Char('\n');
    }
    return list;
}

QString duplicateQuestionHead() {
    return QStringLiteral(
        "Information avant l'importation:\nDes messages dont le titre existe déjà, ont été trouvés dans le fichier à "
        "importer.\nLes messages ci-dessous ne pourront pas être importés.\n\n");
}

QString duplicateQuestionTail() {
    return QStringLiteral("\nDésirez-vous continuer quand même l'importation ?");
}

std::optional<QString> removeDuplicateRows(ImportGrid& grid, const QStringList& storedTitles) {
    const int titleColumn = columnMap(grid)[Titre];
    if (titleColumn == 0)
        return std::nullopt;
    auto remaining = rowsByTitle(grid, titleColumn);
    std::vector<int> removed;
    for (const QString& stored : storedTitles) {
        const auto found = remaining.find(titleKey(stored));
        if (found == remaining.end() || found->empty())
            continue;
        removed.push_back(found->front());
        found->pop_front();
    }
    std::sort(removed.begin(), removed.end());
    grid.removeRowsKeepingNumbers(removed);
    if (grid.dataRowCount() > 0)
        return std::nullopt;
    return QStringLiteral(
        "Fin de l'importation.\nTous les messages existant ont été enlevés.\nIl n'existe plus aucunes données à "
        "importer.");
}

MessageList importedMessages(const ImportGrid& grid) {
    const ColumnMap map = columnMap(grid);
    MessageList messages;
    messages.reserve(static_cast<size_t>(grid.dataRowCount()));
    for (int r = 1; r < grid.rowCount(); ++r) {
        auto value = [&](Field field) { return map[field] ? trimBlanks(grid.cell(r, map[field])) : QString(); };
        Message m;
        m.titre = value(Titre);
        m.message = value(Texte);
        m.datemessage = value(Date);
        m.heuremessage = value(Heure);
        m.etat = value(Etat);
        if (m.etat.isEmpty())
            m.etat = kStateActif;
        m.periodicite = value(Periodicite);
        m.prochainaffichage = value(Prochain);
        m.dernieraffichage = value(Dernier);
        messages.push_back(std::move(m));
    }
    return messages;
}

ImportPlan prepareImport(ImportGrid& grid, const QStringList& storedTitles,
                         const std::function<bool(const QString& duplicates)>& askYesNo,
                         const ImportProgress& progress) {
    ImportPlan plan;
    plan.refusal = checkImportGrid(grid, progress);
    if (plan.refusal)
        return plan;
    report(progress, 5, QStringLiteral("Recherche des données en double (doublons sur les titres)..."));
    const QString duplicates = duplicateTitles(grid, storedTitles);
    if (!duplicates.isEmpty()) {
        if (!askYesNo(duplicates)) {
            plan.refusal = importCancelledText();
            return plan;
        }
        plan.refusal = removeDuplicateRows(grid, storedTitles);
        if (plan.refusal)
            return plan;
    }
    plan.messages = importedMessages(grid);
    return plan;
}

std::optional<MessageList> storeImported(MessageStore& store, MessageList messages) {
    std::vector<qint64> ids;
    if (!store.insertAll(messages, &ids))
        return std::nullopt;
    for (size_t i = 0; i < messages.size(); ++i)
        messages[i].id = ids[i];
    return messages;
}

QString importCancelledText() {
    return QStringLiteral("Importation annulée...");
}

QString continueImportQuestion() {
    return QStringLiteral("\nDésirez-vous continuer l'importation des données ?");
}

QString importSucceededText() {
    return QStringLiteral("L'importation des données a été réalisée avec succès.");
}

QString importFailedText(const QString& why) {
    return QStringLiteral("L'importation des données a échoué: aucun message n'a été importé.\n") + why;
}

}  // namespace tavanote
