#pragma once

#include <QTableView>

namespace tavanote {

// The first column of a list kept in place while the list scrolls sideways: a view of that column alone laid
// over the list, sharing its rows, selection and vertical scrolling.
class FrozenColumn : public QTableView {
    Q_OBJECT
public:
    explicit FrozenColumn(QTableView* list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followColumns();
    void place();

    QTableView* m_list;
};

}  // namespace tavanote
