// The report window: search, print to PDF, export, the import preview, and the main window's report commands.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <memory>

#include "main_window/frmGestionMessages.h"
#include "reports/frmEtat.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kCaption = QStringLiteral("Aperçu avant l'impression/l'exportation");
const QString kOpenQuestion = QStringLiteral("Le fichier [%1] a été créé.\nDésirez-vous ouvrir ce fichier ?");

Message message(qint64 id, const QString& titre, const QString& text) {
    Message m;
    m.id = id;
    m.titre = titre;
    m.message = text;
    m.datemessage = QStringLiteral("12/06/2026");
    m.heuremessage = QStringLiteral("10:00");
    m.etat = kStateActif;
    m.periodicite = QStringLiteral("0");
    m.prochainaffichage = QStringLiteral("12/06/2026 10:00");
    return m;
}

// Three messages in title order; "dentiste" is in each text once.
MessageList threeMessages() {
    return {message(3, QStringLiteral("Anniversaire de Zoé"), QStringLiteral("Gâteau; puis dentiste")),
            message(1, QStringLiteral("Banque"), QStringLiteral("Appeler le dentiste\r\net la banque")),
            message(2, QStringLiteral("Courses"), QStringLiteral("Pain, œufs, dentiste"))};
}

// Counts the print jobs: each job begins a painter on the printer, which asks for its paint engine once.
class CountingPrinter : public QPrinter {
public:
    QPaintEngine* paintEngine() const override {
        ++jobs;
        return QPrinter::paintEngine();
    }
    mutable int jobs = 0;
};

QString pdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, "-"});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return QStringLiteral("<pdftotext failed on %1>").arg(path);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A report window loaded on a test world, shown and active.
struct Window : TestWorld {
    Window() {
        frm = std::make_unique<frmEtat>(services(), printer, &host);
        frm->Form_Load();
    }
    void build(const MessageList& messages = threeMessages()) { frm->BuildReport(kCaption, 0, messages); }
    void showActive() {
        frm->show();
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm.get()));
    }
    QString selected() const { return frm->RTF->textCursor().selectedText(); }
    QString pdf() const { return dir.filePath(QStringLiteral("page.pdf")); }
    // The print dialog answers OK, printing to a PDF file: copies copies, only the selection when asked to.
    void printToPdf(int copies = 1, bool selection = false) {
        dialogs.printing = [this, copies, selection](QPrinter& p, bool offered) {
            offeredSelection.append(offered);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf());
            p.setCopyCount(copies);
            p.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
            return true;
        };
    }

    CountingPrinter printer;
    std::unique_ptr<frmEtat> frm;
    QList<bool> offeredSelection;
};

// The main window loaded on a test world holding one message of each list.
struct Program : TestWorld {
    void load() {
        frm = std::make_unique<frmGestionMessages>(services(), false);
        QVERIFY(frm->Form_Load());
    }
    void showList(int list) { ctl<QTabBar>(frm.get(), "TabStrip1")->setCurrentIndex(list); }
    void ctrl(Qt::Key key) { QTest::keyClick(frm.get(), key, Qt::ControlModifier); }
    std::unique_ptr<frmGestionMessages> frm;
};

}  // namespace

class tst_frmEtat : public QObject {
    Q_OBJECT
private slots:
    // [-] takes the window off the top and [+] puts it back; F1 its help, Esc closes.
    void onTopHelpAndEscape() {
        Window w;
        w.build();
        w.showActive();
        QCOMPARE(w.frm->windowTitle(), kCaption);
        for (const int button : {0, 1}) {
            QTest::mouseClick(w.frm->cmdPlan[button], Qt::LeftButton);
            QCOMPARE(bool(w.frm->windowFlags() & Qt::WindowStaysOnTopHint), button == 1);
            QVERIFY(w.frm->isVisible() && w.frm->cmdPlan[1 - button]->isVisible());
        }
        QTest::keyClick(w.frm.get(), Qt::Key_F1);
        QCOMPARE(w.help.shown, (QList<std::pair<QString, HelpContext>>{{"frmEtat", HelpContext::Report}}));
        QTest::keyClick(w.frm.get(), Qt::Key_Escape);
        QVERIFY(!w.frm->isVisible());
    }

    // Each match in turn, then the count, then from the top again; a changed text starts a new count.
    void findsNextFromTheSelection() {
        Window w;
        w.build();
        w.showActive();
        QLineEdit* search = ctl<QLineEdit>(w.frm.get(), "txtRecherche");
        w.dialogs.expect(Icon::Information, "Saisissez un texte à rechercher.");
        QTest::mouseClick(w.frm->Boutons[3], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), search);

        QTest::keyClicks(search, "DENTISTE");
        QList<int> starts;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(w.selected(), "dentiste");
            starts << w.frm->RTF->textCursor().selectionStart();
        }
        QVERIFY(starts[0] < starts[1] && starts[1] < starts[2]);
        QCOMPARE(w.frm->FoundCount, 3);
        w.dialogs.expect(Icon::Information,
                         "Aucun texte supplémentaire, correspondant à votre recherche, n'a été trouvé.\n"
                         "(Le texte a été trouvé 3 fois)");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.frm->FoundCount, 0);
        QCOMPARE(QApplication::focusWidget(), search);
        QCOMPARE(search->selectedText(), "DENTISTE");
        QVERIFY(!w.frm->RTF->textCursor().hasSelection());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.frm->RTF->textCursor().selectionStart(), starts[0]);

        // Found once, then the text changes: the miss that follows counts nothing found.
        QTest::keyClick(search, Qt::Key_End);
        QTest::keyClicks(search, "s");
        w.dialogs.expect(Icon::Information, "Aucun texte, correspondant à votre recherche, n'a été trouvé.");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.dialogs.allAnswered());
    }

    void emptyDocumentSaysSoAndCloses_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("exporter") << 0 << "Aucunes données à exporter.";
        QTest::newRow("imprimer") << 2 << "Aucunes données à imprimer.";
    }
    void emptyDocumentSaysSoAndCloses() {
        QFETCH(int, button);
        QFETCH(QString, text);
        Window w;
        QFile empty(w.dir.filePath("vide.txt"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(w.frm->previewFile(empty.fileName()));
        w.showActive();
        w.printToPdf();
        w.dialogs.fileNames.push_back(w.dir.filePath("vide.rtf"));
        w.dialogs.expect(Icon::Information, text);
        w.frm->Boutons_Click(button);
        QVERIFY(w.dialogs.allAnswered() && !w.frm->isVisible());
        QVERIFY(w.offeredSelection.isEmpty() && w.dialogs.fileNames.size() == 1);
    }

    void printsTheReportToPdf_data() {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("selectFirst");  // a title selected before printing
        QTest::addColumn<bool>("selection");    // the user prints only the selection
        QTest::newRow("trois exemplaires, trois travaux") << 3 << false << false;
        QTest::newRow("la sélection seule") << 1 << true << true;
        QTest::newRow("tout, malgré une sélection") << 2 << true << false;
    }
    void printsTheReportToPdf() {
        QFETCH(int, copies);
        QFETCH(bool, selectFirst);
        QFETCH(bool, selection);
        Window w;
        w.build();
        w.showActive();
        if (selectFirst) {
            QTest::mouseClick(ctl<QLineEdit>(w.frm.get(), "txtRecherche"), Qt::LeftButton);
            QTest::keyClicks(QApplication::focusWidget(), "Banque");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(w.selected(), "Banque");
        }
        w.printToPdf(copies, selection);
        QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
        QCOMPARE(w.offeredSelection, QList<bool>{selectFirst});
        QCOMPARE(w.printer.jobs, copies);
        QCOMPARE(w.frm->RTF->textCursor().hasSelection(), selection);
        const QString text = pdfText(w.pdf());
        if (selection) {
            QVERIFY2(text.startsWith("Banque\n") && !text.contains("TAVANOTE"), qPrintable(text));
        } else {
            for (const char* part : {"TAVANOTE", "Liste des messages actifs", "Titre: Anniversaire de Zoé",
                                     "Pain, œufs, dentiste", "Total: 3 messages actifs", "Date: 05/06/2026"})
                QVERIFY2(text.contains(QString::fromUtf8(part)), part);
            QVERIFY(text.indexOf("Anniversaire") < text.indexOf("Titre: Banque"));
        }
        QVERIFY(w.frm->isVisible());

        // A cancelled dialog prints nothing more.
        w.dialogs.printing = nullptr;
        w.frm->Boutons_Click(2);
        QCOMPARE(w.printer.jobs, copies);
    }

    // The name chosen decides the format; the file is written whole, then the user may open it.
    void exportsByTheName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");  // empty: refused
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<bool>("opens");  // the answer to "open this file?" and whether an application opens it
        QTest::newRow("sans extension: RTF") << "rapport"
                                             << "rapport.rtf" << QByteArray("{\\rtf1") << true;
        QTest::newRow("texte") << "rapport.TXT"
                               << "rapport.TXT" << QByteArray("Date: 05/06/2026\r\nTAVANOTE") << false;
        QTest::newRow("html") << "rapport.htm"
                              << "rapport.htm" << QByteArray("\xEF\xBB\xBF<html>\r\n") << true;
        QTest::newRow("csv") << "rapport.csv"
                             << "rapport.csv" << QByteArray("\xEF\xBB\xBFid;titre;message;") << true;
        QTest::newRow("agenda") << "rapport.ics"
                                << "rapport.ics" << QByteArray("BEGIN:VCALENDAR\r\nPRODID:") << false;
        QTest::newRow(".html refusé") << "rapport.html"
                                      << "" << QByteArray() << false;
    }
    void exportsByTheName() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, begins);
        QFETCH(bool, opens);
        Window w;
        w.build();
        w.showActive();
        w.dialogs.fileNames.push_back(w.dir.filePath(typed));
        if (written.isEmpty()) {
            w.dialogs.expect(Icon::Information, "Exportation impossible: Le type de fichier choisi semble incorrect.");
        } else {
            w.dialogs.expect(Icon::Question, kOpenQuestion.arg(written), opens ? Answer::Yes : Answer::No);
            w.dialogs.openUrlAnswer = false;
            if (opens)
                w.dialogs.expect(Icon::Information, "Aucune application associée avec ce type de fichier.");
        }
        QTest::mouseClick(w.frm->Boutons[0], Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        if (written.isEmpty()) {
            QCOMPARE(QDir(w.dir.path()).entryList({"rapport*"}), QStringList());
            return;
        }
        const QString path = w.dir.filePath(written);
        QVERIFY(fileBytes(path).startsWith(begins));
        QCOMPARE(w.dialogs.openedUrls, opens ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>{});
        QVERIFY(w.frm->isVisible());
    }

    // A name completed with ".rtf" that names an existing file is confirmed first; a failed write says so and
    // leaves no file behind.
    void exportAsksBeforeReplacingAndReportsFailures() {
        Window w;
        w.build();
        const QString existing = w.dir.filePath("rapport.rtf");
        QFile old(existing);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("ancien") == 6);
        old.close();
        w.dialogs.fileNames.push_back(w.dir.filePath("rapport"));
        w.dialogs.expect(Icon::Question, "Le fichier [rapport.rtf] existe déjà.\nVoulez-vous le remplacer ?",
                         Answer::No);
        w.frm->Boutons_Click(0);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(fileBytes(existing), "ancien");

        w.dialogs.fileNames.push_back(w.dir.filePath("absent/rapport.csv"));
        w.dialogs.expect(Icon::Exclamation,
                         "Impossible d'enregistrer le fichier [rapport.csv].\n"
                         "Vérifiez que son dossier existe et que vous pouvez y écrire.");
        w.frm->Boutons_Click(0);
        QVERIFY(w.dialogs.allAnswered());
        QVERIFY(!QFile::exists(w.dir.filePath("absent")));
    }

    void previewsAnImportFileAsItIs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("bold");  // the first character
        QTest::newRow("rtf") << "liste.RTF" << QByteArray("{\\rtf1\\ansi{\\b Caf\\'e9;}\\par a;b}") << "Café;\na;b"
                             << true;
        QTest::newRow("texte cp1252") << "liste.txt" << QByteArray("Caf\xe9;{\\b x}\r\nb") << "Café;{\\b x}\nb"
                                      << false;
    }
    void previewsAnImportFileAsItIs() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(bool, bold);
        Window w;
        QFile file(w.dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QVERIFY(w.frm->previewFile(file.fileName()));
        w.showActive();
        QCOMPARE(w.frm->windowTitle(), "Aperçu avant l'importation");
        QCOMPARE(w.frm->RTF->toPlainText(), shown);
        QCOMPARE(w.frm->RTF->document()->begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold, bold);
        QVERIFY(!w.frm->Boutons[0]->isVisible());
        QVERIFY(w.frm->Boutons[2]->isVisible());

        w.dialogs.expect(Icon::Information,
                         "Impossible de lire le fichier [absent.txt].\n"
                         "Assurez-vous que ce dernier existe ou que le nom est correct.");
        QVERIFY(!w.frm->previewFile(w.dir.filePath("absent.txt")));
        QVERIFY(w.dialogs.allAnswered());
    }

    // The report commands of the main window on an empty list say so, whichever list is shown.
    void reportCommandsOnAnEmptyList_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("aperçu, actifs") << 0 << int(Qt::Key_A)
                                        << "Il n'existe aucuns messages actifs actuellement à afficher dans l'aperçu.";
        QTest::newRow("imprimer, érronés")
            << 1 << int(Qt::Key_I) << "Il n'existe aucuns messages érronés actuellement à imprimer.";
        QTest::newRow("exporter, affichés")
            << 2 << int(Qt::Key_E) << "Il n'existe aucuns messages affichés actuellement à exporter.";
    }
    void reportCommandsOnAnEmptyList() {
        QFETCH(int, list);
        QFETCH(int, key);
        QFETCH(QString, text);
        Program p;
        // One message in each of the other lists.
        const QString states[3] = {"actif", "errone", "affiche"};
        for (int other = 0; other < 3; ++other)
            if (other != list)
                p.insert("Autre", "Texte", "12/06/2026", "10:00", states[other], "0", "12/06/2026 10:00", "");
        p.load();
        p.showList(list);
        const QStringList before = visibleWindows();
        p.dialogs.printAnswer = true;
        p.dialogs.fileNames.push_back(p.dir.filePath("rapport.txt"));
        p.dialogs.expect(Icon::Information, text);
        p.ctrl(Qt::Key(key));
        QVERIFY(p.dialogs.allAnswered());
        QCOMPARE(visibleWindows(), before);
        QCOMPARE(p.dialogs.fileNames.size(), size_t(1));
    }

    // Ctrl+A shows the report of the list shown, in title order; Ctrl+I and Ctrl+E print and export it without
    // showing the window.
    void reportCommandsOfTheMainWindow() {
        Program p;
        p.insert("Zèbre", "Rayures", "12/06/2026", "10:00", "errone", "0", "12/06/2026 10:00", "");
        p.insert("banque", "Relevé", "12/06/2026", "10:00", "errone", "0", "12/06/2026 10:00", "");
        p.insert("Actif", "Ailleurs", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        p.showList(1);
        const QStringList before = visibleWindows();

        p.ctrl(Qt::Key_A);
        frmEtat* report = p.frm->report();
        QVERIFY(report && report->isVisible());
        QCOMPARE(report->windowTitle(), kCaption);
        const QString shown = report->RTF->toPlainText();
        QVERIFY(shown.contains("Liste des messages érronés"));
        QVERIFY(shown.indexOf("Titre: banque") < shown.indexOf("Titre: Zèbre"));
        QVERIFY(!shown.contains("Actif"));
        QVERIFY(shown.contains("Total: 2 messages érronés"));
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p.frm->report());

        const QString pdf = p.dir.filePath("liste.pdf");
        p.dialogs.printing = [&](QPrinter& printer, bool offered) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return !offered;
        };
        p.ctrl(Qt::Key_I);
        QVERIFY(pdfText(pdf).contains("Titre: Zèbre"));
        QCOMPARE(visibleWindows(), before);

        p.dialogs.fileNames.push_back(p.dir.filePath("liste.txt"));
        p.dialogs.expect(Icon::Question, kOpenQuestion.arg("liste.txt"), Answer::Yes);
        p.ctrl(Qt::Key_E);
        QVERIFY(p.dialogs.allAnswered());
        QVERIFY(fileBytes(p.dir.filePath("liste.txt")).contains("Total: 2 messages érronés\r\n"));
        QCOMPARE(p.dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(p.dir.filePath("liste.txt"))});
        QCOMPARE(visibleWindows(), before);
        QVERIFY(!p.frm->report());
    }
};

QTEST_MAIN(tst_frmEtat)
#include "tst_frmetat.moc"
