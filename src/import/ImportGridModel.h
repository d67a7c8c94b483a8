#pragma once

#include <QAbstractTableModel>

#include "import/ImportGrid.h"

namespace tavanote {

// The import grid as the view shows it: row 0 of the grid (the column names) is the horizontal header, column 0
// (the row numbers) the vertical header, and model cell (r, c) is grid cell (r + 1, c + 1).
class ImportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    const ImportGrid& grid() const { return m_grid; }
    void setGrid(ImportGrid grid);

    // Writes a grid cell, the header row included.
    void setCell(int row, int column, const QString& text);
    void removeRow(int row);
    void appendColumn();
    // After the grid was changed in place by change: rows removed, cells rewritten.
    template <typename Change>
    void update(Change&& change) {
        const int rows = m_grid.rowCount();
        change(m_grid);
        refreshed(rows);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refreshed(int rowsBefore);

    ImportGrid m_grid;
};

}  // namespace tavanote
