// The report document and its exports built from awkward messages, and the RTF codec: what the reader takes from
// real files, what it survives, and the writer's output read back.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "reports/Exports.h"
#include "reports/Report.h"
#include "text/RtfReader.h"
#include "text/RtfWriter.h"

using namespace tavanote;

namespace {

const QDate kToday(2026, 6, 5);

Message message(qint64 id, const QString& titre, const QString& text, const QString& date, const QString& time,
                const QString& periodicite, const QString& end) {
    return Message{id, titre, text, date, time, kStateActif, periodicite, date + ' ' + time, end};
}

// Accents, œ, €, an emoji, apostrophes, ";", quotes, a line break, an empty end date, a 30-character title; in
// title order, as the store gives them.
MessageList awkwardMessages() {
    return {message(7, QStringLiteral("Cœur de l'été: la fête de Zoé!"),
                    QStringLiteral("Prix: 12 €; \"promo\"\r\nDeuxième ligne 🎉"), "05/06/2026", "09:30", "7", QString()),
            message(2, QStringLiteral("Œuvre \"B\"; acte 2"), QStringLiteral("Texte <simple> & court"), "01/01/2027",
                    "10:00", "9", "31/12/2027")};
}

// The bytes match the expected file; when not, they are written beside it in the temporary folder to compare.
void compareToFile(const QByteArray& bytes, const char* name) {
    QFile file(QStringLiteral(TAVANOTE_REPORT_DATA "/") + QLatin1String(name));
    QVERIFY2(file.open(QIODevice::ReadOnly), name);
    if (bytes == file.readAll())
        return;
    QFile out(QDir::temp().filePath(QStringLiteral("tavanote_") + QLatin1String(name)));
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
    QFAIL(qPrintable(QStringLiteral("%1 differs; written to %2").arg(QLatin1String(name), out.fileName())));
}

QStringList lines(const QTextDocument& doc) {
    return doc.toPlainText().split(QLatin1Char('\n'));
}

}  // namespace

class tst_Report : public QObject {
    Q_OBJECT

private slots:
    // The document as text (CR LF), as HTML and as CSV, each against its expected file.
    void exportsTheDocument() {
        QTextDocument doc;
        QVERIFY(BuildReport(doc, awkwardMessages(), 0, kToday, m_folder.path()));
        compareToFile(exportText(doc), "awkward.txt");
        compareToFile(exportHtml(doc), "awkward.htm");
        compareToFile(exportCsv(awkwardMessages()), "awkward.csv");
        QVERIFY(exportCsv({}).isEmpty());
        // A semicolon, a lone CR and a bare LF are quoted too, so that a reader keeps the row whole.
        MessageList one = {awkwardMessages().at(1)};
        for (const char* value : {"Courses; pain", "une ligne\rseule", "a\nb"}) {
            one[0].titre = QString::fromLatin1(value);
            QVERIFY2(exportCsv(one).contains(";\"" + QByteArray(value) + "\";"), value);
        }
        doc.setPlainText(QStringLiteral("a\u0001b\u001Fc\td"));
        QVERIFY(exportHtml(doc).contains(">abc\td<"));  // control characters dropped
    }

    // list|count|heading|total; a periodicity without a code is shown as it is.
    void wordsTheListAndTotal_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row : {"0|1|actifs|1 message actif", "1|2|érronés|2 messages érronés",
                                "2|0|affichés|0 message affiché", "2|2|affichés|2 messages affichés"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void wordsTheListAndTotal() {
        QFETCH(QStringList, c);
        MessageList messages(c[1].toInt(), awkwardMessages().at(1));
        if (!messages.empty())
            messages.front().periodicite = QStringLiteral("12");
        QTextDocument doc;
        BuildReport(doc, messages, c[0].toInt(), kToday, m_folder.path());
        QCOMPARE(lines(doc).at(2), "Liste des messages " + c[2]);
        QVERIFY(lines(doc).contains("Total: " + c[3]));
        QCOMPARE(lines(doc).contains(QStringLiteral("Périodicité: 12")), !messages.empty());
    }

    // A template edited by hand is written back as the program's own; a folder where it cannot be written
    // changes nothing of the report. Placeholders typed in a message stay as typed.
    void templateAndPlaceholders() {
        MessageList messages = awkwardMessages();
        messages.front().message = QStringLiteral("<TOTAL_DONNEES> <ADRESSE_MAIL> <ANNEE>");
        QTextDocument reference;
        BuildReport(reference, messages, 0, kToday, m_folder.path());
        for (const bool edited : {true, false}) {
            QTemporaryDir dir;
            QFile file(dir.filePath(QStringLiteral("defaut.rtf")));
            if (edited)
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 mon propre modèle <DATE>}") > 0);
            else
                QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("defaut.rtf")));
            file.close();
            QTextDocument doc;
            QCOMPARE(BuildReport(doc, messages, 0, kToday, dir.path()), edited);
            QCOMPARE(exportHtml(doc), exportHtml(reference));
            QCOMPARE(lines(doc).at(6), messages.front().message);
            QVERIFY(!edited || (file.open(QIODevice::ReadOnly) && file.readAll() == defaultTemplate()));
        }
    }

    // The last three characters decide, lower-cased; a dot in a folder is no extension; ".html" is refused.
    void choosesTheFormatByTheName() {
        QCOMPARE(withDefaultExtension("/tmp/a.b/rapport"), "/tmp/a.b/rapport.rtf");
        QCOMPARE(withDefaultExtension("r.TXT"), "r.TXT");
        const std::pair<const char*, ExportFormat> cases[] = {{"a.b/rapport.rtf", ExportFormat::Rtf},
                                                              {"r.TXT", ExportFormat::Text},
                                                              {"r.html", ExportFormat::Refused},
                                                              {"r.xcsv", ExportFormat::Csv}};
        for (const auto& [name, format] : cases)
            QVERIFY2(exportFormatFor(name) == format, name);
    }

    // What the reader takes from real files and what it survives; whatever was read writes out and reads back the
    // same.
    void readsRtf() {
        const std::pair<QByteArray, QString> cases[] = {
            {"{\\rtf1 a\\\\b\\{c\\}d}", "a\\b{c}d"},
            {"{\\rtf1 un\\par deux\\line trois\\tab quatre\r\n\\par}", "un\ndeux\ntrois\tquatre\n"},
            {"{\\rtf1\\ansi\\ansicpg1252 \\'e9t\\'e9 \\'80 \\'9c\\'8c}", "été € œŒ"},
            {"{\\rtf1\\uc1 \\u8364?\\u-10179?\\u-8704? {\\uc2\\u937\\'4f\\'4d}\\u937?}", "€😀 ΩΩ"},
            {"{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown {nested} "
             "hidden}{\\pict\\bin2 }{}shown}",
             "shown"},
            {"}}}a}{\\rtf1 b}", "ab"},
            {"{\\rtf1 abc\\b de\\", "abcde"},
            {"{\\rtf1 a\\'e", "a"},
            {QByteArray(200000, '{') + "x" + QByteArray(200000, '}'), "x"},
            {"{\\rtf1\\fs999999999999999999999\\cf2147483648\\f-99999999999\\uc99999999 a\\u99999999999999 b}",
             "a\uFFFD"},
            {"{\\rtf1\\u-10179?a\\u-8704?}", "\uFFFDa\uFFFD"}};
        for (const auto& [rtf, text] : cases) {
            QTextDocument doc, again;
            readRtf(rtf, doc);
            QVERIFY2(doc.toPlainText() == text, rtf.left(80).constData());
            readRtf(writeRtf(doc), again);
            QCOMPARE(again.toPlainText(), doc.toPlainText());
        }
    }

    // A paragraph keeps its alignment, the last one too when no \par closes it (as word processors read it).
    void keepsParagraphAlignment() {
        QTextDocument doc;
        QVERIFY(readRtf("{\\rtf1\\pard\\qc a\\par\\qj b\\par\\qr c}", doc));
        QList<Qt::Alignment> read;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
            read << (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        QCOMPARE(read, QList<Qt::Alignment>({Qt::AlignHCenter, Qt::AlignJustify, Qt::AlignRight}));
    }

    // The report written as RTF reads back the same, formats included; outside cp1252 the writer uses \uN? (above
    // 32767 negative, an emoji as its two surrogates) and its output is plain ASCII.
    void writesRtf() {
        Message awkward = awkwardMessages().at(0);
        awkward.titre = QStringLiteral("L'œuf à 2 € \"frais\"; 🎉 Ω");
        awkward.message = QStringLiteral("ligne 1 {x}\\y\r\nligne 2\ttab");
        QTextDocument doc, again;
        BuildReport(doc, {awkward}, 2, kToday, QStringLiteral("/nonexistent/folder"));
        QVERIFY(readRtf(writeRtf(doc), again));
        QCOMPARE(again.toPlainText(), doc.toPlainText());
        QCOMPARE(again.toHtml(), doc.toHtml());
        doc.setPlainText(QStringLiteral("é€Ω香🎉"));
        const QByteArray rtf = writeRtf(doc);
        QVERIFY2(rtf.contains("\\'e9\\'80\\u937?\\u-26215?\\u-10180?\\u-8311?"), rtf.constData());
        QVERIFY(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(tst_Report)
#include "tst_report.moc"
