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
                const QString& periodicite, const QString& next, const QString& end) {
    Message m;
    m.id = id;
    m.titre = titre;
    m.message = text;
    m.datemessage = date;
    m.heuremessage = time;
    m.etat = kStateActif;
    m.periodicite = periodicite;
    m.prochainaffichage = next;
    m.dernieraffichage = end;
    return m;
}

// Accents, œ, €, an emoji, apostrophes, ";", quotes, a line break, an empty end date, a 30-character title; in
// title order, as the store gives them.
MessageList awkwardMessages() {
    return {message(7, QStringLiteral("Cœur de l'été: la fête de Zoé!"),
                    QStringLiteral("Prix: 12 €; \"promo\"\r\nDeuxième ligne 🎉"), QStringLiteral("05/06/2026"),
                    QStringLiteral("09:30"), QStringLiteral("7"), QStringLiteral("05/06/2026 09:30"), QString()),
            message(2, QStringLiteral("Œuvre \"B\"; acte 2"), QStringLiteral("Texte <simple> & court"),
                    QStringLiteral("01/01/2027"), QStringLiteral("10:00"), QStringLiteral("9"),
                    QStringLiteral("01/01/2027 10:00"), QStringLiteral("31/12/2027"))};
}

QByteArray expected(const char* name) {
    QFile file(QStringLiteral(TAVANOTE_REPORT_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing expected file %s", name);
    return file.readAll();
}

QStringList lines(const QTextDocument& doc) {
    return doc.toPlainText().split(QLatin1Char('\n'));
}

}  // namespace

class tst_Report : public QObject {
    Q_OBJECT

private slots:
    void buildsTheDocument();
    void wordsTheListAndTotal_data();
    void wordsTheListAndTotal();
    void rewritesTheTemplate();
    void buildsWithoutAWritableFolder_data();
    void buildsWithoutAWritableFolder();
    void leavesPlaceholderNamesInMessages();
    void exportsCsv();
    void exportsHtml();
    void exportsText();
    void choosesTheFormatByTheName_data();
    void choosesTheFormatByTheName();

private:
    QTemporaryDir m_folder;
};

void tst_Report::buildsTheDocument() {
    QTextDocument doc;
    QVERIFY(BuildReport(doc, awkwardMessages(), 0, kToday, m_folder.path()));
    const QString rule(69, QLatin1Char('-'));
    const QStringList expectedLines = {
        QStringLiteral("Date: 05/06/2026"),
        QStringLiteral("TAVANOTE"),
        QStringLiteral("Liste des messages actifs"),
        rule,
        QStringLiteral("Titre: Cœur de l'été: la fête de Zoé!"),
        QStringLiteral("Message: "),
        QStringLiteral("Prix: 12 €; \"promo\""),
        QStringLiteral("Deuxième ligne 🎉"),
        QStringLiteral("Date d'affichage: 05/06/2026\tHeure d'affichage: 09:30"),
        QStringLiteral("Périodicité: Affiché toutes les semestres"),
        QStringLiteral("Prochain affichage: 05/06/2026 09:30\tDate du dernier affichage: "),
        QString(),
        QStringLiteral("Titre: Œuvre \"B\"; acte 2"),
        QStringLiteral("Message: "),
        QStringLiteral("Texte <simple> & court"),
        QStringLiteral("Date d'affichage: 01/01/2027\tHeure d'affichage: 10:00"),
        QStringLiteral("Périodicité: Affiché au démarrage du programme"),
        QStringLiteral("Prochain affichage: 01/01/2027 10:00\tDate du dernier affichage: 31/12/2027"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Total: 2 messages actifs"),
        rule,
        QStringLiteral("Tavanote - version 2.0.0 - Copyright © 2026"),
        QStringLiteral("Site Internet: https://tavanote.example.org"),
        QStringLiteral("E-mail: contact@tavanote.example.org"),
        QString(),
    };
    QCOMPARE(lines(doc), expectedLines);
}

void tst_Report::wordsTheListAndTotal_data() {
    QTest::addColumn<QStringList>("c");  // list, count, heading, total
    for (const char* row : {"0|1|actifs|1 message actif", "1|2|érronés|2 messages érronés",
                            "2|0|affichés|0 message affiché", "2|2|affichés|2 messages affichés"})
        QTest::newRow(row) << QString::fromUtf8(row).split('|');
}

void tst_Report::wordsTheListAndTotal() {
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

void tst_Report::rewritesTheTemplate() {
    const QString path = m_folder.filePath(QStringLiteral("defaut.rtf"));
    QFile edited(path);
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write("{\\rtf1 mon propre modèle <DATE>}");
    edited.close();
    QTextDocument doc;
    QVERIFY(BuildReport(doc, awkwardMessages(), 0, kToday, m_folder.path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written, defaultTemplate());
}

void tst_Report::buildsWithoutAWritableFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder named defaut.rtf") << "folder";
    QTest::newRow("a missing program folder") << "missing";
}

void tst_Report::buildsWithoutAWritableFolder() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString folder = dir.path();
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(folder).mkdir(QStringLiteral("defaut.rtf")));
    } else {
        folder += QStringLiteral("/absent");
    }
    QTextDocument reference;
    BuildReport(reference, awkwardMessages(), 0, kToday, m_folder.path());
    QTextDocument doc;
    QVERIFY(!BuildReport(doc, awkwardMessages(), 0, kToday, folder));
    QCOMPARE(doc.toPlainText(), reference.toPlainText());
    QCOMPARE(exportHtml(doc), exportHtml(reference));
}

void tst_Report::leavesPlaceholderNamesInMessages() {
    MessageList messages = awkwardMessages();
    messages.front().message = QStringLiteral("<TOTAL_DONNEES> <ADRESSE_MAIL> <ANNEE>");
    QTextDocument doc;
    BuildReport(doc, messages, 0, kToday, m_folder.path());
    QCOMPARE(lines(doc).at(6), QStringLiteral("<TOTAL_DONNEES> <ADRESSE_MAIL> <ANNEE>"));
    QVERIFY(lines(doc).contains(QStringLiteral("Total: 2 messages actifs")));
    QVERIFY(lines(doc).contains(QStringLiteral("E-mail: contact@tavanote.example.org")));
}

void tst_Report::exportsCsv() {
    QCOMPARE(exportCsv(awkwardMessages()), expected("awkward.csv"));
    QVERIFY(exportCsv({}).isEmpty());
    MessageList one = {awkwardMessages().at(1)};
    one[0].titre = QStringLiteral("Courses; pain");  // a semicolon alone is quoted too
    QVERIFY(exportCsv(one).contains(";\"Courses; pain\";"));
}

void tst_Report::exportsHtml() {
    QTextDocument doc;
    BuildReport(doc, awkwardMessages(), 0, kToday, m_folder.path());
    const QByteArray html = exportHtml(doc);
    if (html != expected("awkward.htm")) {
        QFile out(QDir::temp().filePath(QStringLiteral("tavanote_awkward.htm")));
        if (out.open(QIODevice::WriteOnly))
            out.write(html);
        QFAIL(qPrintable(QStringLiteral("the HTML differs; written to ") + out.fileName()));
    }
}

void tst_Report::exportsText() {
    QTextDocument doc;
    BuildReport(doc, awkwardMessages(), 0, kToday, m_folder.path());
    const QByteArray text = exportText(doc);
    QVERIFY(text.contains("Prix: 12 \xE2\x82\xAC; \"promo\"\r\nDeuxi\xC3\xA8me ligne \xF0\x9F\x8E\x89\r\n"));
    QVERIFY(text.endsWith("E-mail: contact@tavanote.example.org\r\n"));
    QCOMPARE(text.count('\n'), text.count("\r\n"));
    QCOMPARE(text.count('\r'), text.count("\r\n"));
}

// The names the report window's export does not try: a dot in a folder, an unknown extension, and the last
// three characters deciding.
void tst_Report::choosesTheFormatByTheName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<ExportFormat>("format");
    QTest::newRow("no extension") << "/tmp/a.b/rapport"
                                  << "/tmp/a.b/rapport.rtf" << ExportFormat::Rtf;
    QTest::newRow("other extension") << "r.doc"
                                     << "r.doc" << ExportFormat::Refused;
    QTest::newRow("by the last three characters") << "r.xcsv"
                                                  << "r.xcsv" << ExportFormat::Csv;
}

void tst_Report::choosesTheFormatByTheName() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QFETCH(ExportFormat, format);
    QCOMPARE(withDefaultExtension(typed), saved);
    QCOMPARE(exportFormatFor(withDefaultExtension(typed)), format);
}

QTEST_MAIN(tst_Report)
#include "tst_report.moc"
