#include "ImportGrid.h"

#include <algorithm>

#include "store/Message.h"

namespace tavanote {

namespace {

// Fifteen blanks, then how to edit a cell: the end of every text of lblLigne.
const QString& lineHint() {
    static const QString hint = QString(15, QLatin1Char(' ')) +
                                QStringLiteral("Double-cliquez sur la cellule désirée pour en changer la valeur");
    return hint;
}

}  // namespace

const QStringList& importFieldNames() {
    static const QStringList names = Message::columnNames().mid(1);  // every column but the key
    return names;
}

ImportGrid::ImportGrid(int columns, int defaultWidth)
    : m_rows{QStringList(columns, QString())}, m_widths(static_cast<size_t>(columns), defaultWidth) {}

int ImportGrid::visibleColumnCount() const {
    return static_cast<int>(
        std::count_if(m_widths.begin() + (m_widths.empty() ? 0 : 1), m_widths.end(), [](int w) { return w > 0; }));
}

void ImportGrid::appendRow(QStringList cells) {
    const int columns = columnCount();
    if (cells.size() > columns - 1)
        cells.resize(columns - 1);
    while (cells.size() < columns - 1)
        cells.append(QString());
    cells.prepend(QString::number(rowCount()));
    m_rows.push_back(std::move(cells));
}

void ImportGrid::removeRow(int row) {
    if (row < 1 || row >= rowCount())
        return;
    m_rows.erase(m_rows.begin() + row);
    for (int r = row; r < rowCount(); ++r)
        m_rows[r][0] = QString::number(r);
}

void ImportGrid::removeRowsKeepingNumbers(const std::vector<int>& rows) {
    size_t next = 0;
    int kept = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (next < rows.size() && rows[next] == r) {
            ++next;
            continue;
        }
        if (kept != r)
            m_rows[kept] = std::move(m_rows[r]);
        ++kept;
    }
    m_rows.resize(static_cast<size_t>(kept));
}

void ImportGrid::appendColumn(int twips) {
    for (QStringList& cells : m_rows)
        cells.append(QString());
    m_widths.push_back(twips);
}

int homeIndex(const QStringList& available, const QString& header) {
    const int home = static_cast<int>(importFieldNames().indexOf(header.toLower()));
    if (home < 0)
        return -1;
    for (const QString& name : available) {
        if (name.toLower() == header.toLower())
            return -1;
    }
    return std::min(home, static_cast<int>(available.size()));
}

QString addColumnRefusal(const ImportGrid& grid, int availableNames) {
    if (grid.columnCount() < availableNames + 1)
        return QString();
    const QString n = QString::number(availableNames);
    return QStringLiteral("Le nombre maximum de colonnes (nombre: ") + n + QStringLiteral(") a été atteint.\n") +
           QStringLiteral("Il n'existe que ") + n + QStringLiteral(" champs dans la base de données.");
}

QString cellPositionText(int column, int row) {
    return QStringLiteral("Colonne: ") + QString::number(column) + QStringLiteral(" - Ligne: ") + QString::number(row) +
           lineHint();
}

QString scrolledRowText(int row, int rowCount) {
    return QStringLiteral(" Ligne: ") + QString::number(row) + QStringLiteral(" sur ") + QString::number(rowCount - 1) +
           lineHint();
}

QString deleteColumnQuestion(const QString& header) {
    const QString label = header.isEmpty() ? QString() : QLatin1Char('[') + header + QLatin1Char(']');
    return QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer la colonne sélectionnée ") + label +
           QStringLiteral(" ?\nAttention: cette suppression est définitive.");
}

QString deleteRowQuestion(int row) {
    return QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne ") +
           QString::number(row) + QStringLiteral(") ?\nAttention: cette suppression est définitive.");
}

}  // namespace tavanote
