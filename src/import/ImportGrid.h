#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tavanote {

// The eight message fields an imported column can be named after, in table order (the key id is never offered).
const QStringList& importFieldNames();

// The content of the import grid: row 0 holds the column names, column 0 the row numbers, every further row one
// record and every further column one field. Widths are in twips as the reading sets them; a column of width 0 is
// deleted: it keeps its name and cells but takes no part in the import. Every row has columnCount() cells.
class ImportGrid {
public:
    // The number column as it sits beside the data: 400 twips, centred; the data columns are left-aligned.
    static constexpr int kNumberWidth = 400;
    static constexpr int kDataWidth = 1500;
    // The grid a reading always leaves: the number column and at least one column per message field.
    static constexpr int kMinimumColumns = 9;

    ImportGrid() = default;
    // A header row of columns cells (column 0 empty) and no data row; every column of width defaultWidth.
    explicit ImportGrid(int columns, int defaultWidth = kDataWidth);

    int rowCount() const { return static_cast<int>(m_rows.size()); }  // the header row included
    int columnCount() const { return static_cast<int>(m_widths.size()); }
    int dataRowCount() const { return rowCount() - 1; }

    const QString& cell(int row, int column) const { return m_rows[row][column]; }
    void setCell(int row, int column, const QString& text) { m_rows[row][column] = text; }
    const QString& header(int column) const { return cell(0, column); }
    void setHeader(int column, const QString& text) { setCell(0, column, text); }
    const QStringList& row(int row) const { return m_rows[row]; }

    int width(int column) const { return m_widths[column]; }
    void setWidth(int column, int twips) { m_widths[column] = twips; }
    bool isVisible(int column) const { return column >= 1 && m_widths[column] > 0; }
    // Deleting a column hides it for good: it cannot be shown again.
    void hideColumn(int column) { m_widths[column] = 0; }
    int visibleColumnCount() const;

    // A new data row: its number in column 0, then cells (cut or padded to the column count).
    void appendRow(QStringList cells);
    // Removes a data row; while data rows remain, column 0 is numbered 1, 2, 3 ... again.
    void removeRow(int row);
    // Removes data rows without renumbering (rows must be sorted, ascending).
    void removeRowsKeepingNumbers(const std::vector<int>& rows);
    // One more column at the right, empty header and cells.
    void appendColumn(int twips = kDataWidth);

    void reserveRows(int rows) { m_rows.reserve(static_cast<size_t>(rows) + 1); }

private:
    std::vector<QStringList> m_rows{QStringList()};
    std::vector<int> m_widths;
};

// The mapping of columns to field names (the list of names still to give, lstChamps).

// Where a deleted column's name goes back into the names still to give: the position it has among the eight
// field names (the end when the list is shorter), or -1 when the header is no field name or is already there.
// Names are compared in lower case.
int homeIndex(const QStringList& available, const QString& header);

// The refusal of "Ajouter une colonne", or the empty text when the grid may take one more column.
QString addColumnRefusal(const ImportGrid& grid, int availableNames);

// The text of lblLigne after a selection or a change of current cell, and after a scroll.
QString cellPositionText(int column, int row);
QString scrolledRowText(int row, int rowCount);

// The questions and notices of the grid commands.
QString deleteColumnQuestion(const QString& header);
QString deleteRowQuestion(int row);

}  // namespace tavanote
