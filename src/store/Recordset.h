#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tavanote {

// The rows a statement gave, walked as the program walks them: BOF/EOF, MoveFirst, MoveNext, fields by name.
// A statement that failed gives a recordset with ok() false and the store's error text.
class Recordset {
public:
    Recordset() = default;
    static Recordset failed(const QString& error);
    Recordset(QStringList columns, std::vector<std::vector<QVariant>> rows);

    bool ok() const { return m_ok; }
    const QString& error() const { return m_error; }

    bool isBOF() const { return m_rows.empty() || m_position < 0; }
    bool isEOF() const { return m_rows.empty() || m_position >= static_cast<qsizetype>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void moveFirst() { m_position = 0; }
    void moveNext();
    void close();

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const QStringList& columns() const { return m_columns; }

    // The current row's field through the field-to-text rule: a missing column or Null gives the empty text.
    QString text(const QString& column) const;
    QVariant value(const QString& column) const;
    // The same by position, for loops over many rows: columnIndex gives -1 for a missing column.
    int columnIndex(const QString& column) const;
    QString text(int column) const;

private:
    bool m_ok = true;
    QString m_error;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    qsizetype m_position = 0;
};

}  // namespace tavanote
