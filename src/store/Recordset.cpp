#include "Recordset.h"

#include "common/TextRules.h"

namespace tavanote {

Recordset Recordset::failed(const QString& error) {
    Recordset rs;
    rs.m_ok = false;
    rs.m_error = error;
    return rs;
}

Recordset::Recordset(QStringList columns, std::vector<std::vector<QVariant>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows)) {}

void Recordset::moveNext() {
    if (!isEOF())
        ++m_position;
}

void Recordset::close() {
    m_rows.clear();
    m_columns.clear();
    m_position = 0;
}

QVariant Recordset::value(const QString& column) const {
    if (isBOF() || isEOF())
        return QVariant();
    const int index = columnIndex(column);
    if (index < 0)
        return QVariant();
    return m_rows[static_cast<size_t>(m_position)][static_cast<size_t>(index)];
}

QString Recordset::text(const QString& column) const {
    return fieldText(value(column));
}

int Recordset::columnIndex(const QString& column) const {
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString Recordset::text(int column) const {
    if (isBOF() || isEOF() || column < 0 || column >= m_columns.size())
        return QString();
    return fieldText(m_rows[static_cast<size_t>(m_position)][static_cast<size_t>(column)]);
}

}  // namespace tavanote
