#include "MessageListModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

namespace tavanote {

MessageListModel::MessageListModel(QObject* parent) : QAbstractTableModel(parent) {}

void MessageListModel::setRows(std::vector<ListRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void MessageListModel::clear() {
    setRows({});
}

void MessageListModel::setColours(const std::array<QColor, 10>& colours) {
    m_colours = colours;
    if (!m_rows.empty())
        emit dataChanged(index(0, 1), index(rowCount() - 1, kListColumns - 1), {Qt::ForegroundRole});
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumns;
}

QColor MessageListModel::colourOf(int code) const {
    if (code < 0 || code > 9)
        return unknownCodeColour();
    return m_colours[static_cast<size_t>(code)];
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kListColumns)
        return QVariant();
    const ListRow& r = m_rows[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return r.cells[static_cast<size_t>(column)];
        case Qt::ForegroundRole:
            if (column == 0)
                return QVariant();
            return QBrush(colourOf(r.code));
        case Qt::BackgroundRole:
            // The number column keeps the look of a fixed column.
            if (column == 0)
                return QGuiApplication::palette().brush(QPalette::Button);
            return QVariant();
        case Qt::ToolTipRole:
            return r.putOffUntil.isEmpty() ? QVariant() : QVariant(putOffTip(r.putOffUntil));
        case Qt::TextAlignmentRole: {
            const bool left = column == 1 || column == 2 || column == 5;
            return QVariant::fromValue<Qt::Alignment>((left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop);
        }
        default:
            return QVariant();
    }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kListColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return listHeaders()[static_cast<size_t>(section)];
    return QVariant();
}

}  // namespace tavanote
