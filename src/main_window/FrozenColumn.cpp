#include "FrozenColumn.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace tavanote {

FrozenColumn::FrozenColumn(QTableView* list) : QTableView(list), m_list(list) {
    setObjectName(list->objectName() + QStringLiteral("_fixe"));
    setToolTip(list->toolTip());
    setModel(list->model());
    setSelectionModel(list->selectionModel());
    setSelectionBehavior(list->selectionBehavior());
    setSelectionMode(list->selectionMode());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(list->verticalHeader()->defaultSectionSize());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    list->viewport()->stackUnder(this);

    connect(list->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == 0)
            followColumns();
    });
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, list->verticalScrollBar(), &QScrollBar::setValue);
    connect(model(), &QAbstractItemModel::modelReset, this, &FrozenColumn::followColumns);
    connect(model(), &QAbstractItemModel::columnsInserted, this, &FrozenColumn::followColumns);
    list->installEventFilter(this);
    followColumns();
}

void FrozenColumn::followColumns() {
    for (int column = 1; column < model()->columnCount(); ++column)
        setColumnHidden(column, true);
    setColumnWidth(0, m_list->columnWidth(0));
    place();
}

void FrozenColumn::place() {
    horizontalHeader()->setFixedHeight(m_list->horizontalHeader()->height());
    setGeometry(m_list->frameWidth(), m_list->frameWidth(), m_list->columnWidth(0),
                m_list->viewport()->height() + m_list->horizontalHeader()->height());
}

bool FrozenColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        place();
    return QTableView::eventFilter(watched, event);
}

}  // namespace tavanote
