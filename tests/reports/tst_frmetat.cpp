// The report window: search, print and export, and what becomes of each told as it is (the copies asked for, a
// full disk, the type chosen, the file replaced once asked, no application to open it); the import preview; the
// main window's report commands.
#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <memory>

#include "reports/frmEtat.h"
#include "support/MainWindowWorld.h"
#include "support/SizeLimit.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kCreated = QStringLiteral("Le fichier [%1] a été créé.\nDésirez-vous ouvrir ce fichier ?");
const QString kFailed = QStringLiteral(
    "Impossible d'enregistrer le fichier [%1].\n\nLe disque n'a pas pu écrire le fichier (disque en erreur ou protégé "
    "en écriture).");

Message message(qint64 id, const QString& titre, const QString& text) {
    return Message{id, titre, text, "12/06/2026", "10:00", kStateActif, "0", "12/06/2026 10:00", QString()};
}

// Counts the jobs and sheets: each job begins a painter on the printer, which asks for its paint engine once.
class CountingPrinter : public QPrinter {
public:
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
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return QStringLiteral("<pdftotext failed on %1>").arg(path);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
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
    void showActive() {
        frm->show();
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm.get()));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // The print dialog answers OK, printing to a PDF file: copies copies, only the selection when asked to.
    void printToPdf(int copies, bool selection = false) {
        dialogs.printing = [this, copies, selection](QPrinter& p, bool) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(path("page.pdf"));
            p.setCopyCount(copies);
            p.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
            return true;
        };
    }

    CountingPrinter printer;
    std::unique_ptr<frmEtat> frm;
};

}  // namespace

class tst_frmEtat : public QObject {
    Q_OBJECT
private slots:
    // Each match in turn, then the count, then from the top again.
    void findsNextFromTheSelection() {
        Window w;
        w.showActive();
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
    }

    // All pages in as many jobs as copies, or the selection; a cancelled dialog prints nothing; a PDF file that
    // cannot be written whole is told and leaves the older one as it was.
    void printsTheReportToPdf() {
        Window w;
        w.showActive();
        w.printToPdf(3);
        QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
        QCOMPARE(w.printer.jobs, 3);
        QCOMPARE(w.printer.sheets, 3);
        const QString text = pdfText(w.path("page.pdf"));
        for (const char* part : {"TAVANOTE", "Titre: Anniversaire de Zoé", "Pain, œufs", "Total: 3 messages"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);

        // A title found is selected: the selection alone only when the user asks for it.
        QTest::mouseClick(ctl<QLineEdit>(w.frm.get(), "txtRecherche"), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), "Banque");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (const bool selection : {true, false}) {
            w.printToPdf(1, selection);
            QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
            QCOMPARE(pdfText(w.path("page.pdf")).contains("TAVANOTE"), !selection);
        }
        w.dialogs.printing = nullptr;
        w.frm->Boutons_Click(2);
        QCOMPARE(w.printer.jobs, 5);

        w.printToPdf(1);
        write(w.path("page.pdf"), "ancien");
        w.dialogs.expect(Icon::Exclamation, kFailed.arg("page.pdf"));
        {
            SizeLimit limit(1000);
            w.frm->Boutons_Click(2);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(contents(w.path("page.pdf")), "ancien");
    }

    // A bare name takes the type chosen (RTF when none); an existing file is replaced only once the program asked;
    // a refused name, a missing folder or a full disk (here a file size limit) is told, never "a été créé", and
    // leaves the older file whole.
    void exports_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("replace");  // -1: no file there, else the answer to the question
        QTest::addColumn<int>("open");     // -1: not offered, else the answer to the question
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("written");  // the file left, and a part of it
        QTest::addColumn<QString>("part");
        const auto row = [](const char* name, const char* typed, const char* filter, int replace, int open,
                            const QString& told, const char* written = "", const char* part = "", bool full = false) {
            QTest::newRow(name) << typed << filter << replace << open << told << full << written << part;
        };
        const int no = int(Answer::No);
        const int yes = int(Answer::Yes);
        row("bare name, no application", "rapport", "", -1, yes, "Aucune application associée avec ce type de fichier.",
            "rapport.rtf", "{\\rtf1");
        row("csv chosen", "liste", "Fichier CSV(*.csv)", -1, no, "", "liste.csv", ";Courses;");
        row("replacing refused", "liste", "Fichier TEXTE (*.txt)", no, -1, "", "liste.txt", "ancien");
        row("extension typed, replaced", "liste.htm", "Fichier RTF (*.rtf)", yes, no, "", "liste.htm", "<html>");
        row("full disk", "liste", "Fichier TEXTE (*.txt)", yes, -1, kFailed.arg("liste.txt"), "liste.txt", "ancien",
            true);
        row("html refused", "rapport.html", "", -1, -1,
            "Exportation impossible: Le type de fichier choisi semble incorrect.");
        row("no such folder", "absent/rapport.csv", "", -1, -1,
            "Impossible d'enregistrer le fichier [rapport.csv].\n\n"
            "Le dossier du fichier n'existe pas: choisissez un dossier existant, puis recommencez.");
    }
    void exports() {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(int, replace);
        QFETCH(int, open);
        QFETCH(QString, told);
        QFETCH(bool, fullDisk);
        QFETCH(QString, written);
        QFETCH(QString, part);
        Window w;
        if (replace >= 0) {
            write(w.path(written), "ancien");
            w.dialogs.expect(Icon::Question,
                             QStringLiteral("Le fichier [%1] existe déjà.\nVoulez-vous le remplacer ?").arg(written),
                             Answer(replace));
        }
        if (open >= 0)
            w.dialogs.expect(Icon::Question, kCreated.arg(written), Answer(open));
        if (!told.isEmpty())
            w.dialogs.expect(told.startsWith("Impossible") ? Icon::Exclamation : Icon::Information, told);
        w.dialogs.fileNames.push_back(w.path(typed));
        w.dialogs.chosenFilter = filter;
        w.dialogs.openUrlAnswer = false;
        {
            SizeLimit limit(fullDisk ? 100 : -1);
            w.frm->Boutons_Click(0);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(QDir(w.dir.path()).entryList({"liste*", "rapport*", "absent"}),
                 written.isEmpty() ? QStringList() : QStringList{written});
        QVERIFY(written.isEmpty() || contents(w.path(written)).contains(part.toUtf8()));
        QCOMPARE(w.dialogs.openedUrls.size(), int(open == int(Answer::Yes)));
    }

    void previewsAnImportFileAsItIs() {
        Window w;
        const QByteArray rtf = "{\\rtf1\\ansi{\\b Caf\\'e9;}\\par a;b}";
        const QByteArray cp1252 = "Caf\xe9;{\\b x}\r\nb";
        for (const auto& [name, bytes, shown] :
             {std::tuple{"liste.RTF", rtf, "Café;\na;b"}, std::tuple{"liste.txt", cp1252, "Café;{\\b x}\nb"}}) {
            write(w.path(name), bytes);
            QVERIFY(w.frm->previewFile(w.path(name)));
            QCOMPARE(w.frm->RTF->toPlainText(), QString::fromUtf8(shown));
        }
        w.showActive();
        QVERIFY(!w.frm->Boutons[0]->isVisible());
        w.dialogs.expect(Icon::Information,
                         "Impossible de lire le fichier [absent.txt].\n"
                         "Assurez-vous que ce dernier existe ou que le nom est correct.");
        QVERIFY(!w.frm->previewFile(w.path("absent.txt")));
        QVERIFY(w.dialogs.allAnswered());
    }

    // Ctrl+A shows the report of the list shown, in title order; Ctrl+I and Ctrl+E print and export it without
    // showing the window.
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
        QVERIFY(shown.contains("Total: 2 messages érronés"));
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const QString pdf = p.dir.filePath("liste.pdf");
        p.dialogs.printing = [&](QPrinter& printer, bool) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
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
    void opensWithTheDesktopsApplication_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("told");
        QTest::newRow("ouvert") << "0" << false;
        QTest::newRow("aucune application") << "3" << true;
        QTest::newRow("échec") << "4" << true;
        QTest::newRow("pas de xdg-open") << "" << true;
    }
    void opensWithTheDesktopsApplication() {
        QFETCH(QString, status);
        QFETCH(bool, told);
        QTemporaryDir bin;
        if (!status.isEmpty()) {
            write(bin.filePath("xdg-open"), "#!/bin/sh\necho \"$1\" > \"$0.arg\"\nexit " + status.toLatin1() + "\n");
            QVERIFY(QFile::setPermissions(bin.filePath("xdg-open"), QFile::ReadOwner | QFile::ExeOwner));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        int toldCount = 0;
        QtDialogs().openFile("/tmp/liste a.csv", [&] { ++toldCount; });
        qputenv("PATH", path);
        // Until the opener is done with: its outcome is known by then.
        QTRY_VERIFY_WITH_TIMEOUT(qApp->findChildren<QProcess*>().isEmpty(), 30000);
        QCOMPARE(toldCount, int(told));
        if (!status.isEmpty())
            QCOMPARE(contents(bin.filePath("xdg-open.arg")), "/tmp/liste a.csv\n");
    }

    // "Configuration de l'imprimante" asks for the printer, then the page.
    void printerSetupChoosesThePrinterThenThePage() {
        QPrinter printer;
        QStringList shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal || shown.contains(modal->metaObject()->className()))
                return;
            shown << modal->metaObject()->className();
            if (auto* input = qobject_cast<QInputDialog*>(modal))
                input->setTextValue("Fichier PDF");
            modal->accept();
        });
        answer.start(20);
        QVERIFY(QtDialogs().pageSetup(nullptr, printer));
        QCOMPARE(shown, (QStringList{"QInputDialog", "QPageSetupDialog"}));
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    }
};

QTEST_MAIN(tst_frmEtat)
#include "tst_frmetat.moc"
