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
    // The search finds each match in turn, then tells the count, then starts from the top again. A print gives all
    // pages in as many jobs as copies, or the selection only when asked; a cancelled dialog prints nothing; a PDF
    // file that cannot be written whole is told and leaves the older one as it was.
    void searchesAndPrints() {
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

        for (const bool selection : {true, false}) {
            w.printToPdf(1, selection);
            QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
            QCOMPARE(pdfText(w.path("page.pdf")).contains("TAVANOTE"), !selection);
        }
        w.printToPdf(3);
        QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
        QCOMPARE(w.printer.jobs, 5);
        QCOMPARE(w.printer.sheets, 5);
        const QString text = pdfText(w.path("page.pdf"));
        for (const char* part : {"TAVANOTE", "Titre: Anniversaire de Zoé", "Pain, œufs", "Total: 3 messages"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
        w.dialogs.printing = nullptr;
        w.frm->Boutons_Click(2);
        QCOMPARE(w.printer.jobs, 5);

        w.printToPdf(1);
        write(w.path("page.pdf"), "ancien");
        w.dialogs.expect(Icon::Exclamation, kFailed.arg("page.pdf"));
        {
            SizeLimit fullDisk(1000);
            w.frm->Boutons_Click(2);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(contents(w.path("page.pdf")), "ancien");
    }

    // A bare name takes the type chosen (RTF when none); an existing file is replaced only once the program asked;
    // a refused name, a missing folder or a full disk (here a file size limit) is told, never "a été créé", and
    // leaves the older file whole.
    // typed|filter chosen|answer to "replace?"|answer to "open?" (none: not asked)|box told|file left|a part of it
    void exports_data() {
        QTest::addColumn<QStringList>("c");
        for (const QString& row : QStringList{
                 "rapport|||oui|Aucune application associée avec ce type de fichier.|rapport.rtf|{\\rtf1",
                 "liste|Fichier CSV(*.csv)||non||liste.csv|;Courses;",
                 "liste|Fichier TEXTE (*.txt)|non|||liste.txt|ancien",
                 "liste.htm|Fichier RTF (*.rtf)|oui|non||liste.htm|<html>",
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
