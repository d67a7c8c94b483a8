#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <vector>

#include "messages/MessageLists.h"

namespace tavanote {

// One list of the main window: rows as loaded, each cell's text drawn in its periodicity's colour.
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MessageListModel(QObject* parent = nullptr);

    void setRows(std::vector<ListRow> rows);
    void clear();
    // The colours of the legend's swatches, by periodicity code.
    void setColours(const std::array<QColor, 10>& colours);
    // The colour of a code with no swatch: matches none, so the legend arrow hides.
    static QColor unknownCodeColour() { return QColor(64, 64, 64); }

    const ListRow& row(int index) const { return m_rows[static_cast<size_t>(index)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QColor colourOf(int code) const;
    std::vector<ListRow> m_rows;
    std::array<QColor, 10> m_colours;
};

}  // namespace tavanote
