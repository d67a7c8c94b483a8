// What becomes of a print, an export and its opening, told as it is: the copies asked for, a full disk, the type
// chosen, the file replaced once asked, no application to open it.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include "common/RealServices.h"
#include "main_window/frmGestionMessages.h"
#include "reports/Exports.h"
#include "reports/frmEtat.h"
#include "support/SizeLimit.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The main window over a few messages, with the report window its Ctrl+A opens.
struct Program : TestWorld {
    Program() {
        insert(" Banque ", "une ligne\rseule", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        insert("Zèbre", "a\nb", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        insert("Œuvre d'art", "c", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        frm = std::make_unique<frmGestionMessages>(services(), false);
        frm->Form_Load();
        QTest::keyClick(frm.get(), Qt::Key_A, Qt::ControlModifier);
        report = frm->report();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    std::unique_ptr<frmGestionMessages> frm;
    frmEtat* report = nullptr;
};

const QString kCreated = QStringLiteral("Le fichier [%1] a été créé.\nDésirez-vous ouvrir ce fichier ?");
const QString kFailed = QStringLiteral(
    "Impossible d'enregistrer le fichier [%1].\n\nLe disque n'a pas pu écrire le fichier (disque en erreur ou protégé "
    "en écriture).");
const QString kReplace = QStringLiteral("Le fichier [%1] existe déjà.\nVoulez-vous le remplacer ?");

}  // namespace

class tst_ReportOutcomes : public QObject {
    Q_OBJECT
private slots:
    // A bare name takes the type chosen; an existing file is replaced only once the program asked, typed
    // extension or not; a full disk (here a file size limit) leaves the older file whole and says why, never
    // "a été créé".
    void exportNamesAndReplaces_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("replace");  // -1: no file there, else the answer to the question
        QTest::addColumn<bool>("fullDisk");
        const auto row = [](const char* name, const char* typed, const char* filter, const char* written, int replace,
                            bool fullDisk = false) {
            QTest::newRow(name) << typed << filter << written << replace << fullDisk;
        };
        row("csv choisi", "liste", "Fichier CSV(*.csv)", "liste.csv", -1);
        row("texte choisi, refusé", "liste", "Fichier TEXTE (*.txt)", "liste.txt", int(Answer::No));
        row("extension tapée", "liste.htm", "Fichier RTF (*.rtf)", "liste.htm", int(Answer::Yes));
        row("disque plein", "liste", "Fichier TEXTE (*.txt)", "liste.txt", int(Answer::Yes), true);
    }
    void exportNamesAndReplaces() {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(int, replace);
        QFETCH(bool, fullDisk);
        Program p;
        if (replace >= 0) {
            write(p.path(written), "ancien");
            p.dialogs.expect(Icon::Question, kReplace.arg(written), Answer(replace));
        }
        if (fullDisk)
            p.dialogs.expect(Icon::Exclamation, kFailed.arg(written));
        else if (replace != int(Answer::No))
            p.dialogs.expect(Icon::Question, kCreated.arg(written), Answer::No);
        p.dialogs.fileNames.push_back(p.path(typed));
        p.dialogs.chosenFilter = filter;
        {
            SizeLimit limit(fullDisk ? 100 : -1);
            p.report->Boutons_Click(0);
        }
        QVERIFY(p.dialogs.allAnswered());
        QCOMPARE(QDir(p.dir.path()).entryList({"liste*"}), QStringList{written});
        QCOMPARE(contents(p.path(written)) == "ancien", replace == int(Answer::No) || fullDisk);
        if (written.endsWith("csv")) {
            // In French order, values as stored; a lone CR or LF quoted so that a reader keeps the row whole.
            const QByteArray csv = contents(p.path(written));
            QVERIFY2(csv.contains("; Banque ;\"une ligne\rseule\";") && csv.contains(";Zèbre;\"a\nb\";"), csv);
            QVERIFY(csv.indexOf("Banque") < csv.indexOf("Œuvre") && csv.indexOf("Œuvre") < csv.indexOf("Zèbre"));
        }
    }

    // A PDF file that cannot be written whole is told and leaves the older one as it was (copies: tst_frmetat).
    void printToAFullDiskIsTold() {
        Program p;
        QPrinter printer;
        frmEtat report(p.services(), printer, &p.host);
        report.BuildReport("Aperçu", 0, {});
        const QString pdf = p.path("liste.pdf");
        p.dialogs.printing = [&](QPrinter& chosen, bool) {
            chosen.setOutputFormat(QPrinter::PdfFormat);
            chosen.setOutputFileName(pdf);
            return true;
        };
        write(pdf, "ancien");
        p.dialogs.expect(Icon::Exclamation, kFailed.arg("liste.pdf"));
        SizeLimit limit(1000);
        report.Boutons_Click(2);
        QVERIFY(p.dialogs.allAnswered());
        QCOMPARE(contents(pdf), "ancien");
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
        if (told)
            QTRY_COMPARE_WITH_TIMEOUT(toldCount, 1, 30000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(contents(bin.filePath("xdg-open.arg")), "/tmp/liste a.csv\n", 30000);
        QTest::qWait(50);
        QCOMPARE(toldCount, int(told));
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

    void htmlDropsControlCharacters() {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("a\u0001b\u001Fc\td"));
        QVERIFY(exportHtml(doc).contains(">abc\td<"));
    }
};

QTEST_MAIN(tst_ReportOutcomes)
#include "tst_reportoutcomes.moc"
