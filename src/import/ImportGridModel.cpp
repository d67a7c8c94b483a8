#include "ImportGridModel.h"

namespace tavanote {

void ImportGridModel::setGrid(ImportGrid grid) {
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
}

void ImportGridModel::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= m_grid.rowCount() || column < 0 || column >= m_grid.columnCount())
        return;
    m_grid.setCell(row, column, text);
    if (row == 0 && column >= 1)
        emit headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    else if (column == 0 && row >= 1)
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else if (row >= 1)
        emit dataChanged(index(row - 1, column - 1), index(row - 1, column - 1));
}

void ImportGridModel::removeRow(int row) {
    if (row < 1 || row >= m_grid.rowCount())
        return;
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_grid.removeRow(row);
    endRemoveRows();
    if (row < m_grid.rowCount())
        emit headerDataChanged(Qt::Vertical, row - 1, m_grid.rowCount() - 2);
}

void ImportGridModel::appendColumn() {
    const int column = m_grid.columnCount() - 1;
    beginInsertColumns(QModelIndex(), column, column);
    m_grid.appendColumn();
    endInsertColumns();
}

void ImportGridModel::refreshed(int rowsBefore) {
    if (m_grid.rowCount() != rowsBefore) {
        beginResetModel();
        endResetModel();
        return;
    }
    // The same rows: the view keeps its current cell and scroll position.
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int ImportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.dataRowCount();
}

int ImportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, m_grid.columnCount() - 1);
}

QVariant ImportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_grid.cell(index.row() + 1, index.column() + 1);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

QVariant ImportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section + 1 < m_grid.columnCount()) {
        if (role == Qt::DisplayRole)
            return m_grid.header(section + 1);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (orientation == Qt::Vertical && section >= 0 && section + 1 < m_grid.rowCount()) {
        if (role == Qt::DisplayRole)
            return m_grid.cell(section + 1, 0);
        if (role == Qt::TextAlignmentRole)
            return Qt::AlignCenter;
    }
    return QVariant();
}

}  // namespace tavanote
