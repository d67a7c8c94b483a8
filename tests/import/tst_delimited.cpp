#include <QTest>

#include "import/DelimitedReader.h"

using namespace tavanote;

namespace {

// The data rows as "cell|cell/cell|cell" (number column left out, padding columns left out), or the status.
QString describe(const DelimitedRead& read, int columns) {
    if (read.status == ReadStatus::Faulty)
        return QStringLiteral("<faulty>");
    if (read.status == ReadStatus::NoData)
        return QStringLiteral("<no data>");
    QStringList rows;
    for (int r = 0; r < read.grid.rowCount(); ++r) {
        if (r > 0 && read.grid.cell(r, 0) != QString::number(r))
            return QStringLiteral("<row %1 numbered %2>").arg(r).arg(read.grid.cell(r, 0));
        rows.append(read.grid.row(r).mid(1, columns).join(QLatin1Char('|')));
    }
    return rows.join(QLatin1Char('/'));
}

}  // namespace

// The reader's cases the import window's tests do not reach (those read files through the window).
class tst_delimited : public QObject {
    Q_OBJECT
private slots:
    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf;b") << QStringLiteral(";b");
        QTest::newRow("UTF-8 mixed with 1252") << QByteArray("\xc3\xa9\xe9") << QStringLiteral("Ã©é");
        QTest::newRow("1252 unassigned byte") << QByteArray("\x81") << QStringLiteral("\u0081");
    }

    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeImportBytes(bytes), text);
    }

    void reading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("grid");  // header row / data rows, the first three columns
        const QString q = QStringLiteral("\"");
        const QString none;
        auto row = [](const char* name, const QString& text, const char* field, const QString& quote, bool names,
                      const QString& grid) {
            QTest::newRow(name) << text << QString::fromUtf8(field) << quote << names << grid;
        };
        row("CR", "a;b;c\rd;e;f\r", ";", none, false, "titre|message|datemessage/a|b|c/d|e|f");
        row("blank lines skipped", "a;b;c\r\n\r\n\nd;e;f", ";", none, false, "titre|message|datemessage/a|b|c/d|e|f");
        row("fewer fields", "a;b;c\nd;e", ";", none, false, "<faulty>");
        row("more fields ignored", "a;b\nc;d;e", ";", none, false, "titre|message|/a|b|/c|d|");
        row("end delimiter", "a;\nb;", ";", none, false, "titre|message|/a||/b||");
        row("names line only", "t;m;d\r\n", ";", none, true, "t|m|d");
        row("first line empty", "\na;b\nc", ";", none, false, "||/||/||");
        row("other delimiter", "a||b|c||d", "||", none, false, "titre|message|datemessage/a|b|c|d");
        row("doubled quote", "\"x\"\"y\";\"\"", ";", q, false, "titre|message|/x\"y||");
        row("line ends inside quotes", "\"l1\r\nl2\";z\n\"\n\";w", ";", q, false, "titre|message|/l1\r\nl2|z|/\n|w|");
        row("quotes kept without a text delimiter", "\"a;b\";c", ";", none, false,
            "titre|message|datemessage/\"a|b\"|c");
        row("quote inside a plain field", "a\"b;c", ";", q, false, "titre|message|/a\"b|c|");
        row("text after the closing quote", "\"ab\"cd;e", ";", q, false, "titre|message|/abcd|e|");
        row("single quote", "'it''s';b", ";", QStringLiteral("'"), false, "titre|message|/it's|b|");
        row("quoted names", "\"t;1\",m\n", ",", q, true, "t;1|m|");
        row("unclosed quote", "a;b\n\"c;d\n", ";", q, false, "<faulty>");
        row("unclosed quote in the names", "\"a;b\n", ";", q, true, "<faulty>");
        row("only line ends", "\r\n\r\n", ";", none, false, "||");
        row("binary", QString::fromLatin1("a;b\0c", 5), ";", none, false, "<faulty>");
        row("too many columns", QString(kMaxImportColumns + 1, QLatin1Char(';')), ";", none, false, "<faulty>");
    }

    void reading() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QString, quote);
        QFETCH(bool, names);
        QFETCH(QString, grid);
        const DelimitedRead read = readDelimited(text, {field, quote, names});
        QCOMPARE(describe(read, 3), grid);
        if (read.status == ReadStatus::Read)
            QVERIFY(read.grid.columnCount() >= ImportGrid::kMinimumColumns);
    }

    void foundNames() {
        QCOMPARE(readDelimited(QStringLiteral("a;b;c\nd;e;f"), {}).foundNames, importFieldNames());

        const DelimitedRead named = readDelimited(QStringLiteral("x;y\n1;2"), {QStringLiteral(";"), {}, true});
        QCOMPARE(named.foundNames, QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    }

    // A device that never ends is refused, not read forever.
    void endlessFileIsRefused() { QVERIFY(!readImportFile(QStringLiteral("/dev/zero")).error.isEmpty()); }

    // A cell of 10 MB is read whole (binary input and too many columns are rows of the table above).
    void largeCell() {
        const QByteArray line(10 * 1024 * 1024, 'x');
        const DelimitedRead read = readDelimited(decodeImportBytes(line), {});
        QCOMPARE(read.status, ReadStatus::Read);
        QCOMPARE(read.grid.dataRowCount(), 1);
        QCOMPARE(read.grid.cell(1, 1).size(), line.size());
    }
};

QTEST_GUILESS_MAIN(tst_delimited)
#include "tst_delimited.moc"
