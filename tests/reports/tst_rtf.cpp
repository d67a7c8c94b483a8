// The RTF codec: what the reader takes from real files, what it survives, and the writer's output read back.
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "reports/Report.h"
#include "text/RtfReader.h"
#include "text/RtfWriter.h"

using namespace tavanote;

namespace {

QTextCharFormat formatAt(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

}  // namespace

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
        QTest::newRow("unknown control words") << QByteArray("{\\rtf1\\foobar12 a\\zz-3 b}") << QStringLiteral("ab");
        QTest::newRow("field result kept")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt lien}}}") << QStringLiteral("lien");
        QTest::newRow("other code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0}") << QStringLiteral("А");
        const QByteArray deep = QByteArray(200000, '{') + "x" + QByteArray(200000, '}');
        QTest::newRow("stray closing braces") << QByteArray("}}}a}{\\rtf1 b}") << QStringLiteral("ab");
        QTest::newRow("truncated text") << QByteArray("{\\rtf1 abc\\b de\\") << QStringLiteral("abcde");
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'e") << QStringLiteral("a");
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz}") << QStringLiteral("azz");
        QTest::newRow("deep nesting") << deep << QStringLiteral("x");
        QTest::newRow("huge numbers")
            << QByteArray(
                   "{\\rtf1\\fs999999999999999999999\\cf2147483648\\f-99999999999\\uc99999999 "
                   "a\\u99999999999999 b}")
            << QStringLiteral("a\uFFFD");
        QTest::newRow("huge binary length") << QByteArray("{\\rtf1 a\\bin99999999999 xyz}") << QStringLiteral("a");
        QTest::newRow("negative binary length") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << QStringLiteral("axyz");
        QTest::newRow("colour table out of range")
            << QByteArray("{\\rtf1{\\colortbl;\\red999\\green-4\\blue77777;}\\cf1 a\\cf9 b\\cf0 c}")
            << QStringLiteral("abc");
        QTest::newRow("lone surrogates") << QByteArray("{\\rtf1\\u-10179?a\\u-8704?}")
                                         << QStringLiteral("\uFFFDa\uFFFD");
        QTest::newRow("long control word")
            << QByteArray("{\\rtf1\\") + QByteArray(100000, 'a') + " b}" << QStringLiteral("b");
    }
    // Read, and whatever was read writes out and reads back the same.
    void readsText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        if (QByteArray(QTest::currentDataTag()) == "other code page" && !QStringDecoder("windows-1251").isValid())
            QSKIP("this Qt has no windows-1251 codec");
        QTextDocument doc, again;
        readRtf(rtf, doc);
        QCOMPARE(doc.toPlainText(), text);
        readRtf(writeRtf(doc), again);
        QCOMPARE(again.toPlainText(), doc.toPlainText());
    }
    // The template's own formats are checked on the report built from it.
    void readsFormats() {
        QTextDocument doc;
        // Italic, centring, justification, \plain and the group that restores what it changed.
        readRtf(
            "{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Courier New;}\\pard\\qc\\i\\f1 a{\\plain b}c\\par\\qj\\b d\\i0\\ulnone "
            "e\\par}",
            doc);
        QVERIFY(formatAt(doc, "a").fontItalic());
        QCOMPARE(formatAt(doc, "a").fontFamilies().toStringList(), QStringList{"Courier New"});
        QCOMPARE(formatAt(doc, "b").fontFamilies().toStringList(), QStringList{"Arial"});
        QVERIFY(!formatAt(doc, "b").fontItalic());
        QVERIFY(formatAt(doc, "c").fontItalic());
        QCOMPARE(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(doc.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QVERIFY(formatAt(doc, "e").fontWeight() == QFont::Bold && !formatAt(doc, "e").fontItalic());
        readRtf("{\\rtf1\\qc x}", doc);  // a last paragraph without \par
        QCOMPARE(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
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
