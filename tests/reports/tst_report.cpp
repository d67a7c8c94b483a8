// The report document and its exports, built from awkward messages.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "reports/Exports.h"
#include "reports/Report.h"

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
                    QStringLiteral("Prix: 12 €; \"promo\"\r\nDeuxième ligne 🎉"), QStringLiteral("05/06/2026"),
                    QStringLiteral("09:30"), QStringLiteral("7"), QString()),
            message(2, QStringLiteral("Œuvre \"B\"; acte 2"), QStringLiteral("Texte <simple> & court"),
                    QStringLiteral("01/01/2027"), QStringLiteral("10:00"), QStringLiteral("9"),
                    QStringLiteral("31/12/2027"))};
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
        MessageList one = {awkwardMessages().at(1)};
        one[0].titre = QStringLiteral("Courses; pain");  // a semicolon alone is quoted too
        QVERIFY(exportCsv(one).contains(";\"Courses; pain\";"));
    }

    void wordsTheListAndTotal_data() {
        QTest::addColumn<QStringList>("c");  // list, count, heading, total
        for (const char* row : {"0|1|actifs|1 message actif", "1|2|érronés|2 messages érronés",
                                "2|0|affichés|0 message affiché", "2|2|affichés|2 messages affichés"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void wordsTheListAndTotal() {
        QFETCH(QStringList, c);
        const int list = c[0].toInt(), count = c[1].toInt();
        MessageList messages(count, awkwardMessages().at(1));
        if (count > 0)
            messages.front().periodicite = QStringLiteral("12");  // no code: the report shows it as it is
        QTextDocument doc;
        BuildReport(doc, messages, list, kToday, m_folder.path());
        QCOMPARE(lines(doc).at(2), "Liste des messages " + c[2]);
        QVERIFY(lines(doc).contains("Total: " + c[3]));
        QCOMPARE(lines(doc).contains(QStringLiteral("Périodicité: 12")), count > 0);
    }

    // A template edited by hand is written back as the program's own; a folder where it cannot be written
    // changes nothing of the report. Placeholders typed in a message stay as typed.
    void templateAndPlaceholders_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("edited template") << "edited";
        QTest::newRow("a folder named defaut.rtf") << "folder";
    }
    void templateAndPlaceholders() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString folder = dir.path();
        QFile file(dir.filePath(QStringLiteral("defaut.rtf")));
        if (kind == QLatin1String("edited"))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 mon propre modèle <DATE>}") > 0);
        else
            QVERIFY(QDir(folder).mkdir(QStringLiteral("defaut.rtf")));
        file.close();
        MessageList messages = awkwardMessages();
        messages.front().message = QStringLiteral("<TOTAL_DONNEES> <ADRESSE_MAIL> <ANNEE>");
        QTextDocument reference, doc;
        BuildReport(reference, messages, 0, kToday, m_folder.path());
        QCOMPARE(BuildReport(doc, messages, 0, kToday, folder), kind == QLatin1String("edited"));
        QCOMPARE(exportHtml(doc), exportHtml(reference));
        QCOMPARE(lines(doc).at(6), messages.front().message);
        if (kind == QLatin1String("edited"))
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == defaultTemplate());
    }

    // The last three characters decide, lower-cased; a dot in a folder is no extension; ".html" is refused.
    void choosesTheFormatByTheName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("no extension") << "/tmp/a.b/rapport"
                                      << "/tmp/a.b/rapport.rtf" << ExportFormat::Rtf;
        QTest::newRow("text") << "r.TXT"
                              << "r.TXT" << ExportFormat::Text;
        QTest::newRow("html") << "r.html"
                              << "r.html" << ExportFormat::Refused;
        QTest::newRow("by the last three characters") << "r.xcsv"
                                                      << "r.xcsv" << ExportFormat::Csv;
    }
    void choosesTheFormatByTheName() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QCOMPARE(withDefaultExtension(typed), saved);
        QTEST(exportFormatFor(withDefaultExtension(typed)), "format");
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(tst_Report)
#include "tst_report.moc"
