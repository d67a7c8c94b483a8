#pragma once

#include <sqlite3.h>

#include <QFile>
#include <QStringList>
#include <QTest>
#include <QVariant>
#include <vector>

#include "common/TextRules.h"

namespace tavanote::test {

// The rows a statement gave, walked first to last, each field read by the field-to-text rule.
class SqlRows {
public:
    bool ok = true;
    QString error;
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;

    bool isEmpty() const { return rows.empty(); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    void moveFirst() { m_at = 0; }
    void moveNext() { ++m_at; }
    bool isEOF() const { return m_at >= rows.size(); }
    QVariant value(int column) const {
        return isEOF() || column < 0 || column >= columns.size() ? QVariant() : rows[m_at][size_t(column)];
    }
    QString text(int column) const { return fieldText(value(column)); }
    QString text(const QString& column) const { return text(int(columns.indexOf(column))); }

private:
    size_t m_at = 0;
};

// A connection of the test's own to a message file, beside the program's: tests look at and arrange the rows
// with it, the program never sees its statements.
class SqlProbe {
public:
    explicit SqlProbe(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 2000);
    }
    ~SqlProbe() { sqlite3_close_v2(m_db); }
    SqlProbe(const SqlProbe&) = delete;
    SqlProbe& operator=(const SqlProbe&) = delete;

    SqlRows run(const QString& sql) {
        SqlRows out;
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, text.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            out.ok = false;
            out.error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return out;
        }
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            out.columns << QString::fromUtf8(sqlite3_column_name(stmt, c));
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<QVariant> row;
            for (int c = 0; c < out.columns.size(); ++c) {
                const int type = sqlite3_column_type(stmt, c);
                if (type == SQLITE_NULL)
                    row.emplace_back();
                else if (type == SQLITE_INTEGER)
                    row.emplace_back(qint64(sqlite3_column_int64(stmt, c)));
                else
                    row.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
            }
            out.rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            out.ok = false;
            out.error = QString::fromUtf8(sqlite3_errmsg(m_db));
        }
        sqlite3_finalize(stmt);
        return out;
    }
    // The same, failing the running test when the statement fails.
    SqlRows must(const QString& sql) {
        SqlRows rows = run(sql);
        if (!rows.ok)
            QTest::qFail(qPrintable(sql + QStringLiteral(": ") + rows.error), __FILE__, __LINE__);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
};

}  // namespace tavanote::test
