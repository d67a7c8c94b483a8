#include <QTest>

#include "import/DelimitedReader.h"

using namespace tavanote;

// The reader's cases from a file's bytes to the grid (the import window's tests read a few files through the window).
class tst_delimited : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("grid");  // header row / data rows, the first three columns; or the refusal
        auto row = [](const char* name, const QByteArray& bytes, const char* field, const char* quote, bool names,
                      const QString& grid) {
            QTest::newRow(name) << bytes << QString::fromUtf8(field) << QString::fromUtf8(quote) << names << grid;
        };
        row("UTF-8 with BOM", "\xef\xbb\xbf;b", ";", "", false, "titre|message|/|b|");
        row("UTF-8 mixed with 1252", "\xc3\xa9;\xe9", ";", "", false, "titre|message|/Ã©|é|");
        row("1252 unassigned byte", "\x81", ";", "", false, QStringLiteral("titre||/\u0081||"));
        row("CR", "a;b;c\rd;e;f\r", ";", "", false, "titre|message|datemessage/a|b|c/d|e|f");
        row("blank lines skipped", "a;b;c\r\n\r\n\nd;e;f", ";", "", false, "titre|message|datemessage/a|b|c/d|e|f");
        row("fewer fields", "a;b;c\nd;e", ";", "", false, "<faulty>");
        row("more fields ignored", "a;b\nc;d;e", ";", "", false, "titre|message|/a|b|/c|d|");
        row("end delimiter", "a;\nb;", ";", "", false, "titre|message|/a||/b||");
        row("names line only", "t;m;d\r\n", ";", "", true, "t|m|d");
        row("first line empty", "\na;b\nc", ";", "", false, "||/||/||");
        row("other delimiter", "a||b|c||d", "||", "", false, "titre|message|datemessage/a|b|c|d");
        row("doubled quote", "\"x\"\"y\";\"\"", ";", "\"", false, "titre|message|/x\"y||");
        row("line ends inside quotes", "\"l1\r\nl2\";z\n\"\n\";w", ";", "\"", false,
            "titre|message|/l1\r\nl2|z|/\n|w|");
        row("quotes kept without a text delimiter", "\"a;b\";c", ";", "", false, "titre|message|datemessage/\"a|b\"|c");
        row("quote inside a plain field", "a\"b;c", ";", "\"", false, "titre|message|/a\"b|c|");
        row("text after the closing quote", "\"ab\"cd;e", ";", "\"", false, "titre|message|/abcd|e|");
        row("single quote", "'it''s';b", ";", "'", false, "titre|message|/it's|b|");
        row("quoted names", "\"t;1\",m\n", ",", "\"", true, "t;1|m|");
        row("unclosed quote", "a;b\n\"c;d\n", ";", "\"", false, "<faulty>");
        row("unclosed quote in the names", "\"a;b\n", ";", "\"", true, "<faulty>");
        row("only line ends", "\r\n\r\n", ";", "", false, "||");
        row("binary", QByteArray("a;b\0c", 5), ";", "", false, "<faulty>");
        row("a cell of 10 MB read whole", QByteArray(10 << 20, 'x'), ";", "", false,
            "titre||/" + QString(10 << 20, 'x') + "||");
        row("too many columns", QByteArray(kMaxImportColumns + 1, ';'), ";", "", false, "<faulty>");
        row("the same delimiters", "a'b", "'", "'", false,
            "Vous avez choisi un délimiteur de texte et un délimiteur de champ identiques.\nCeux-ci doivent "
            "obligatoirement être différents.");
        row("other delimiter left empty", "a", "", "", false,
            "Vous avez choisi un délimiteur de champ personnalisé.\nSaisissez un caractère dans la zone de texte "
            "adéquate.");
    }

    void reading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QString, quote);
        QFETCH(bool, names);
        QFETCH(QString, grid);
        const DelimitedOptions options{field, quote, names};
        if (const QString refusal = delimiterRefusal(options); !refusal.isEmpty()) {
            QCOMPARE(refusal, grid);
            return;
        }
        const DelimitedRead read = readDelimited(decodeImportBytes(bytes), options);
        if (read.status != ReadStatus::Read) {
            QCOMPARE(read.status == ReadStatus::Faulty ? QStringLiteral("<faulty>") : read.message, grid);
            return;
        }
        QStringList rows;  // the number column and the padding columns left out
        for (int r = 0; r < read.grid.rowCount(); ++r) {
            QCOMPARE(read.grid.cell(r, 0), r ? QString::number(r) : QString());
            rows.append(read.grid.row(r).mid(1, 3).join(QLatin1Char('|')));
        }
        QCOMPARE(rows.join(QLatin1Char('/')), grid);
        QVERIFY(read.grid.columnCount() >= ImportGrid::kMinimumColumns);
        QCOMPARE(read.foundNames, names ? read.grid.row(0).mid(1, read.foundNames.size()) : importFieldNames());
    }

    // A device that never ends is refused, not read forever.
    void endlessFileIsRefused() { QVERIFY(!readImportFile(QStringLiteral("/dev/zero")).error.isEmpty()); }
};

QTEST_GUILESS_MAIN(tst_delimited)
#include "tst_delimited.moc"
