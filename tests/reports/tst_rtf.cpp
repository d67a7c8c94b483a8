// The RTF codec: what the reader takes from real files, what it survives, and the writer's output read back.
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "reports/Report.h"
#include "text/RtfReader.h"
#include "text/RtfWriter.h"

using namespace tavanote;

class tst_Rtf : public QObject {
    Q_OBJECT

private slots:
    void readsText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("escapes") << QByteArray("{\\rtf1 a\\\\b\\{c\\}d}") << QStringLiteral("a\\b{c}d");
        QTest::newRow("paragraphs, lines, tabs") << QByteArray("{\\rtf1 un\\par deux\\line trois\\tab quatre\r\n\\par}")
                                                 << QStringLiteral("un\ndeux\ntrois\tquatre\n");
        QTest::newRow("cp1252 bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \\'e9t\\'e9 \\'80 \\'9c\\'8c}")
                                      << QStringLiteral("été € œŒ");
        QTest::newRow("unicode and its fallback")
            << QByteArray("{\\rtf1\\uc1 \\u8364?\\u-10179?\\u-8704? {\\uc2\\u937\\'4f\\'4d}\\u937?}")
            << QStringLiteral("€😀 ΩΩ");
        QTest::newRow("skipped destinations")
            << QByteArray(
                   "{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
                   "{\\*\\unknown {nested} hidden}{\\pict\\bin2 }{}shown}")
            << QStringLiteral("shown");
        const QByteArray deep = QByteArray(200000, '{') + "x" + QByteArray(200000, '}');
        QTest::newRow("stray closing braces") << QByteArray("}}}a}{\\rtf1 b}") << QStringLiteral("ab");
        QTest::newRow("truncated text") << QByteArray("{\\rtf1 abc\\b de\\") << QStringLiteral("abcde");
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'e") << QStringLiteral("a");
        QTest::newRow("deep nesting") << deep << QStringLiteral("x");
        QTest::newRow("huge numbers")
            << QByteArray(
                   "{\\rtf1\\fs999999999999999999999\\cf2147483648\\f-99999999999\\uc99999999 "
                   "a\\u99999999999999 b}")
            << QStringLiteral("a\uFFFD");
        QTest::newRow("lone surrogates") << QByteArray("{\\rtf1\\u-10179?a\\u-8704?}")
                                         << QStringLiteral("\uFFFDa\uFFFD");
    }
    // Read, and whatever was read writes out and reads back the same.
    void readsText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc, again;
        readRtf(rtf, doc);
        QCOMPARE(doc.toPlainText(), text);
        readRtf(writeRtf(doc), again);
        QCOMPARE(again.toPlainText(), doc.toPlainText());
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
    void roundTripsTheReport() {
        Message awkward;
        awkward.id = 4;
        awkward.titre = QStringLiteral("L'œuf à 2 € \"frais\"; 🎉 Ω");
        awkward.message = QStringLiteral("ligne 1 {x}\\y\r\nligne 2\ttab");
        awkward.periodicite = QStringLiteral("3");
        QTextDocument doc;
        BuildReport(doc, {awkward}, 2, QDate(2026, 6, 5), QStringLiteral("/nonexistent/folder"));
        QTextDocument again;
        QVERIFY(readRtf(writeRtf(doc), again));
        QCOMPARE(again.toPlainText(), doc.toPlainText());
        QCOMPARE(again.toHtml(), doc.toHtml());
    }
    void writesOutsideCp1252AsUnicode() {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("é€Ω香🎉"));
        const QByteArray rtf = writeRtf(doc);
        // cp1252 as bytes; Ω and 香 as \uN?, the latter above 32767 so negative; the emoji as its two surrogates.
        QVERIFY2(rtf.contains("\\'e9\\'80\\u937?\\u-26215?\\u-10180?\\u-8311?"), rtf.constData());
        for (char c : rtf)
            QVERIFY(static_cast<unsigned char>(c) < 0x80);
    }
};

QTEST_MAIN(tst_Rtf)
#include "tst_rtf.moc"
