// The report document, its exports and the RTF codec; the report window (search, print, export and what becomes of
// each, told as it is), the import preview and the main window's report commands.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <memory>

#include "reports/Exports.h"
#include "reports/Report.h"
#include "reports/frmEtat.h"
#include "support/MainWindowWorld.h"
#include "support/SizeLimit.h"
#include "text/RtfReader.h"
#include "text/RtfWriter.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QDate kToday(2026, 6, 5);

Message message(qint64 id, const QString& titre, const QString& text, const QString& date = "12/06/2026",
                const QString& time = "10:00", const QString& periodicite = "0", const QString& end = {}) {
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

void compareToFile(const QByteArray& bytes, const char* name) {
    QFile file(QStringLiteral(TAVANOTE_REPORT_DATA "/") + QLatin1String(name));
    QVERIFY2(file.open(QIODevice::ReadOnly), name);
    QCOMPARE(bytes, file.readAll());
}

QStringList lines(const QTextDocument& doc) {
    return doc.toPlainText().split(QLatin1Char('\n'));
}

const QString kCreated = QStringLiteral("Le fichier [%1] a été créé.\nDésirez-vous ouvrir ce fichier ?");
const QString kFailed = QStringLiteral(
    "Impossible d'enregistrer le fichier [%1].\n\nLe disque n'a pas pu écrire le fichier (disque en erreur ou protégé "
    "en écriture).");

// Counts the jobs and sheets: each job begins a painter on the printer, which asks for its paint engine once.
struct CountingPrinter : QPrinter {
    QPaintEngine* paintEngine() const override {
        ++jobs;
        sheets += copyCount();
        return QPrinter::paintEngine();
    }
    mutable int jobs = 0, sheets = 0;
};

QString pdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, "-"});
    return pdftotext.waitForFinished(30000) ? QString::fromUtf8(pdftotext.readAllStandardOutput()) : QString();
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The print dialog answers OK, printing to a PDF file: copies copies, only the selection when asked to.
void printTo(FakeDialogs& dialogs, const QString& pdf, int copies = 1, bool selection = false) {
    dialogs.printing = [=](QPrinter& p, bool) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        p.setCopyCount(copies);
        p.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
        return true;
    };
}

// The report of three messages in title order ("dentiste" in each text once), in a window on a test world.
struct Window : TestWorld {
    Window() {
        frm = std::make_unique<frmEtat>(services(), printer, &host);
        frm->Form_Load();
        frm->BuildReport(QStringLiteral("Aperçu avant l'impression/l'exportation"), 0,
                         {message(3, QStringLiteral("Anniversaire de Zoé"), QStringLiteral("Gâteau; puis dentiste")),
                          message(1, QStringLiteral("Banque"), QStringLiteral("Appeler le dentiste\r\net la banque")),
                          message(2, QStringLiteral("Courses"), QStringLiteral("Pain, œufs, dentiste"))});
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    CountingPrinter printer;
    std::unique_ptr<frmEtat> frm;
};

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

    // The heading and total of each list, singular below two; a periodicity without a code is shown as it is.
    void wordsTheListAndTotal() {
        for (const char* row : {"0|1|actifs|1 message actif", "1|2|érronés|2 messages érronés",
                                "2|0|affichés|0 message affiché", "2|2|affichés|2 messages affichés"}) {
            const QStringList c = QString::fromUtf8(row).split('|');  // list, count, heading, total
            MessageList messages(c[1].toInt(), awkwardMessages().at(1));
            if (!messages.empty())
                messages.front().periodicite = QStringLiteral("12");
            QTextDocument doc;
            BuildReport(doc, messages, c[0].toInt(), kToday, m_folder.path());
            QVERIFY2(lines(doc).at(2) == "Liste des messages " + c[2] && lines(doc).contains("Total: " + c[3]), row);
            QVERIFY2(lines(doc).contains(QStringLiteral("Périodicité: 12")) == !messages.empty(), row);
        }
    }

    // The template is the program's own: one edited by hand is written back, a folder where it cannot be written
    // changes nothing of the report. Placeholders typed in a message stay as typed.
    void templateAndPlaceholders() {
        MessageList messages = awkwardMessages();
        messages.front().message = QStringLiteral("<TOTAL_DONNEES> <ADRESSE_MAIL> <ANNEE>");
        QTemporaryDir edited, unwritable;
        write(edited.filePath("defaut.rtf"), "{\\rtf1 mon propre modèle <DATE>}");
        QVERIFY(QDir(unwritable.path()).mkdir(QStringLiteral("defaut.rtf")));
        QTextDocument doc, reference;
        QVERIFY(BuildReport(doc, messages, 0, kToday, edited.path()));
        QVERIFY(!BuildReport(reference, messages, 0, kToday, unwritable.path()));
        QCOMPARE(exportHtml(doc), exportHtml(reference));
        QCOMPARE(lines(doc).at(6), messages.front().message);
        QCOMPARE(contents(edited.filePath("defaut.rtf")), defaultTemplate());
    }

    // What the reader takes from real files and what it survives; what was read writes out and reads back the same.
    void readsRtf() {
        const std::pair<QByteArray, QString> cases[] = {
            {"{\\rtf1 a\\\\b\\{c\\}d}", "a\\b{c}d"},
            {"{\\rtf1 un\\par deux\\line trois\\tab quatre\r\n\\par}", "un\ndeux\ntrois\tquatre\n"},
            {"{\\rtf1\\ansi\\ansicpg1252 \\'e9t\\'e9 \\'80 \\'9c\\'8c}", "été € œŒ"},
            {"{\\rtf1\\uc1 \\u8364?\\u-10179?\\u-8704? {\\uc2\\u937\\'4f\\'4d}\\u937?}", "€😀 ΩΩ"},
            {"{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown {nested} "
             "hidden}{\\pict\\bin2 }{}shown}",
             "shown"},
            {QByteArray(200000, '{') + "x" + QByteArray(200000, '}'), "x"},
            {"{\\rtf1\\fs999999999999999999999\\cf2147483648\\f-99999999999\\uc99999999 a\\u99999999999999 b}",
             "a\uFFFD"},
            {"}}}a}{\\rtf1 \\u-10179?b}", "a\uFFFDb"}};
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

    // The search finds each match in turn, then tells the count, then starts from the top again. A print gives all
    // pages in as many jobs as copies, or the selection only when asked; a cancelled dialog prints nothing; a PDF
    // file that cannot be written whole is told and leaves the older one as it was.
    void searchesAndPrints() {
        Window w;
        w.frm->show();
        w.frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frm.get()));
        QLineEdit* search = ctl<QLineEdit>(w.frm.get(), "txtRecherche");
        w.dialogs.expect(Icon::Information, "Saisissez un texte à rechercher.");
        QTest::mouseClick(w.frm->Boutons[3], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), search);
        QTest::keyClicks(search, "DENTISTE");
        QList<int> starts;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(w.frm->RTF->textCursor().selectedText(), "dentiste");
            starts << w.frm->RTF->textCursor().selectionStart();
        }
        QVERIFY(starts[0] < starts[1] && starts[1] < starts[2]);
        w.dialogs.expect(Icon::Information,
                         "Aucun texte supplémentaire, correspondant à votre recherche, n'a été trouvé.\n"
                         "(Le texte a été trouvé 3 fois)");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(QApplication::focusWidget(), search);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.frm->RTF->textCursor().selectionStart(), starts[0]);

        for (const bool selection : {true, false}) {
            printTo(w.dialogs, w.path("page.pdf"), 1, selection);
            QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
            QCOMPARE(pdfText(w.path("page.pdf")).contains("TAVANOTE"), !selection);
        }
        printTo(w.dialogs, w.path("page.pdf"), 3);
        QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
        QCOMPARE(w.printer.jobs, 5);
        QCOMPARE(w.printer.sheets, 5);
        const QString text = pdfText(w.path("page.pdf"));
        for (const char* part : {"TAVANOTE", "Titre: Anniversaire de Zoé", "Pain, œufs", "Total: 3 messages"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
        w.dialogs.printing = nullptr;
        w.frm->Boutons_Click(2);
        QCOMPARE(w.printer.jobs, 5);

        printTo(w.dialogs, w.path("page.pdf"));
        write(w.path("page.pdf"), "ancien");
        w.dialogs.expect(Icon::Exclamation, kFailed.arg("page.pdf"));
        {
            SizeLimit fullDisk(1000);
            w.frm->Boutons_Click(2);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(contents(w.path("page.pdf")), "ancien");
    }

    // A bare name takes the type chosen (RTF when none), a typed one decides in any case; a file is replaced only
    // once the program asked; a refused name, a missing folder or a full disk (a file size limit) is told, never "a
    // été créé", and leaves the older file.
    // typed|filter chosen|answer to "replace?"|answer to "open?" (none: not asked)|box told|file left|a part of it
    void exports_data() {
        QTest::addColumn<QStringList>("c");
        for (const QString& row : QStringList{
                 "rapport|||oui|Aucune application associée avec ce type de fichier.|rapport.rtf|{\\rtf1",
                 "liste|Fichier CSV(*.csv)||non||liste.csv|;Courses;",
                 "liste|Fichier TEXTE (*.txt)|non|||liste.txt|ancien",
                 "liste.HTM|Fichier RTF (*.rtf)|oui|non||liste.HTM|<html>",
                 "liste|Fichier TEXTE (*.txt)|oui||" + kFailed.arg("liste.txt") + "|liste.txt|ancien",
                 "rapport.html||||Exportation impossible: Le type de fichier choisi semble incorrect.||",
                 "absent/rapport.csv||||Impossible d'enregistrer le fichier [rapport.csv].\n\nLe dossier du fichier "
                 "n'existe pas: choisissez un dossier existant, puis recommencez.||"})
            QTest::newRow(qPrintable(row.left(40))) << row.split('|');
    }
    void exports() {
        QFETCH(QStringList, c);
        const QString written = c[5];
        Window w;
        if (!c[2].isEmpty()) {
            write(w.path(written), "ancien");
            w.dialogs.expect(Icon::Question, "Le fichier [" + written + "] existe déjà.\nVoulez-vous le remplacer ?",
                             c[2] == "oui" ? Answer::Yes : Answer::No);
        }
        if (!c[3].isEmpty())
            w.dialogs.expect(Icon::Question, kCreated.arg(written), c[3] == "oui" ? Answer::Yes : Answer::No);
        if (!c[4].isEmpty())
            w.dialogs.expect(c[4].startsWith("Impossible") ? Icon::Exclamation : Icon::Information, c[4]);
        w.dialogs.fileNames.push_back(w.path(c[0]));
        w.dialogs.chosenFilter = c[1];
        w.dialogs.openUrlAnswer = false;
        {
            SizeLimit fullDisk(c[4] == kFailed.arg(written) ? 100 : -1);
            w.frm->Boutons_Click(0);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(QDir(w.dir.path()).entryList({"liste*", "rapport*", "absent"}),
                 written.isEmpty() ? QStringList() : QStringList{written});
        QVERIFY(contents(w.path(written)).contains(c[6].toUtf8()));
        QCOMPARE(w.dialogs.openedUrls.size(), int(c[3] == "oui"));
    }

    void previewsAnImportFileAsItIs() {
        Window w;
        for (const auto& [name, bytes, shown] :
             {std::tuple{"liste.RTF", "{\\rtf1\\ansi{\\b Caf\\'e9;}\\par a;b}", "Café;\na;b"},
              std::tuple{"liste.txt", "Caf\xe9;{\\b x}\r\nb", "Café;{\\b x}\nb"}}) {
            write(w.path(name), bytes);
            QVERIFY(w.frm->previewFile(w.path(name)));
            QCOMPARE(w.frm->RTF->toPlainText(), QString::fromUtf8(shown));
        }
        QVERIFY(w.frm->Boutons[0]->isHidden());
        w.dialogs.expect(Icon::Information,
                         "Impossible de lire le fichier [absent.txt].\n"
                         "Assurez-vous que ce dernier existe ou que le nom est correct.");
        QVERIFY(!w.frm->previewFile(w.path("absent.txt")));
        QVERIFY(w.dialogs.allAnswered());
    }

    // Ctrl+A shows the report of the list shown, in title order; Ctrl+I and Ctrl+E print and export it unseen.
    void reportCommandsOfTheMainWindow() {
        MainWindowWorld p;
        p.add("Zèbre", "errone");
        p.add("banque", "errone");
        p.add("Actif", "actif");
        p.load();
        p.showList(1);
        const QStringList before = visibleWindows();

        p.ctrl(Qt::Key_A);
        frmEtat* report = p.frm->report();
        QVERIFY(report && report->isVisible());
        const QString shown = report->RTF->toPlainText();
        QVERIFY(shown.indexOf("Titre: banque") < shown.indexOf("Titre: Zèbre") && !shown.contains("Actif"));
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const QString pdf = p.dir.filePath("liste.pdf");
        printTo(p.dialogs, pdf);
        p.ctrl(Qt::Key_I);
        QVERIFY(pdfText(pdf).contains("Titre: Zèbre"));
        QCOMPARE(visibleWindows(), before);

        p.dialogs.fileNames.push_back(p.dir.filePath("liste.txt"));
        p.dialogs.expect(Icon::Question, kCreated.arg("liste.txt"), Answer::Yes);
        p.ctrl(Qt::Key_E);
        QVERIFY(p.dialogs.allAnswered());
        QVERIFY(contents(p.dir.filePath("liste.txt")).contains("Total: 2 messages érronés\r\n"));
        QCOMPARE(visibleWindows(), before);
    }

    // xdg-open's exit status: 3 (no application) and 4 (it failed) are told, as is no xdg-open at all.
    void opensWithTheDesktopsApplication() {
        for (const QString& status : QStringList{"0", "3", "4", ""}) {
            QTemporaryDir bin;
            if (!status.isEmpty()) {
                write(bin.filePath("xdg-open"),
                      "#!/bin/sh\necho \"$1\" > \"$0.arg\"\nexit " + status.toLatin1() + "\n");
                QVERIFY(QFile::setPermissions(bin.filePath("xdg-open"), QFile::ReadOwner | QFile::ExeOwner));
            }
            const QByteArray path = qgetenv("PATH");
            qputenv("PATH", bin.path().toLocal8Bit());
            int told = 0;
            QtDialogs().openFile("/tmp/liste a.csv", [&] { ++told; });
            qputenv("PATH", path);
            // Until the opener is done with: its outcome is known by then.
            QTRY_VERIFY_WITH_TIMEOUT(qApp->findChildren<QProcess*>().isEmpty(), 30000);
            QVERIFY2(told == int(status != "0"), qPrintable("exit status " + status));
            QVERIFY(status.isEmpty() || contents(bin.filePath("xdg-open.arg")) == "/tmp/liste a.csv\n");
        }
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(tst_Report)
#include "tst_report.moc"
