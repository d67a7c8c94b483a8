// The report window: search, print to PDF, export, the import preview, and the main window's report commands.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <memory>

#include "reports/frmEtat.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kCaption = QStringLiteral("Aperçu avant l'impression/l'exportation");
const QString kOpenQuestion = QStringLiteral("Le fichier [%1] a été créé.\nDésirez-vous ouvrir ce fichier ?");

Message message(qint64 id, const QString& titre, const QString& text) {
    return Message{id, titre, text, "12/06/2026", "10:00", kStateActif, "0", "12/06/2026 10:00", QString()};
}

// Three messages in title order; "dentiste" is in each text once.
MessageList threeMessages() {
    return {message(3, QStringLiteral("Anniversaire de Zoé"), QStringLiteral("Gâteau; puis dentiste")),
            message(1, QStringLiteral("Banque"), QStringLiteral("Appeler le dentiste\r\net la banque")),
            message(2, QStringLiteral("Courses"), QStringLiteral("Pain, œufs, dentiste"))};
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
    void printToPdf(int copies, bool selection = false) {
        dialogs.printing = [this, copies, selection](QPrinter& p, bool) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf());
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
        w.dialogs.expect(Icon::Information,
                         "Aucun texte supplémentaire, correspondant à votre recherche, n'a été trouvé.\n"
                         "(Le texte a été trouvé 3 fois)");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(QApplication::focusWidget(), search);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.frm->RTF->textCursor().selectionStart(), starts[0]);
    }

    // All pages in as many jobs as copies, or the selection; a cancelled dialog prints nothing.
    void printsTheReportToPdf() {
        Window w;
        w.build();
        w.showActive();
        w.printToPdf(3);
        QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
        QCOMPARE(w.printer.jobs, 3);
        QCOMPARE(w.printer.sheets, 3);
        const QString text = pdfText(w.pdf());
        for (const char* part : {"TAVANOTE", "Titre: Anniversaire de Zoé", "Pain, œufs", "Total: 3 messages"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);

        // A title found is selected: the selection alone only when the user asks for it.
        QTest::mouseClick(ctl<QLineEdit>(w.frm.get(), "txtRecherche"), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), "Banque");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (const bool selection : {true, false}) {
            w.printToPdf(1, selection);
            QTest::mouseClick(w.frm->Boutons[2], Qt::LeftButton);
            QCOMPARE(pdfText(w.pdf()).contains("TAVANOTE"), !selection);
        }
        w.dialogs.printing = nullptr;
        w.frm->Boutons_Click(2);
        QCOMPARE(w.printer.jobs, 5);
    }

    // A bare name is written as RTF, then the user may open it; a refused name or a failed write is told and
    // leaves no file behind (replacing and CSV: tst_reportoutcomes).
    void exports() {
        Window w;
        w.build();
        const auto exportAs = [&](const QString& typed) {
            w.dialogs.fileNames.push_back(w.dir.filePath(typed));
            w.frm->Boutons_Click(0);
            QVERIFY(w.dialogs.allAnswered());
        };
        const QString rtf = w.dir.filePath("rapport.rtf");
        w.dialogs.openUrlAnswer = false;
        w.dialogs.expect(Icon::Question, kOpenQuestion.arg("rapport.rtf"), Answer::Yes);
        w.dialogs.expect(Icon::Information, "Aucune application associée avec ce type de fichier.");
        exportAs("rapport");
        QVERIFY(fileBytes(rtf).startsWith("{\\rtf1"));
        QCOMPARE(w.dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(rtf)});

        w.dialogs.expect(Icon::Information, "Exportation impossible: Le type de fichier choisi semble incorrect.");
        exportAs("rapport.html");
        w.dialogs.expect(Icon::Exclamation,
                         "Impossible d'enregistrer le fichier [rapport.csv].\n\n"
                         "Le dossier du fichier n'existe pas: choisissez un dossier existant, puis recommencez.");
        exportAs("absent/rapport.csv");
        QCOMPARE(QDir(w.dir.path()).entryList({"rapport*", "absent"}), QStringList{"rapport.rtf"});
        QCOMPARE(w.dialogs.openedUrls.size(), 1);
    }

    void previewsAnImportFileAsItIs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rtf") << "liste.RTF" << QByteArray("{\\rtf1\\ansi{\\b Caf\\'e9;}\\par a;b}") << "Café;\na;b";
        QTest::newRow("texte cp1252") << "liste.txt" << QByteArray("Caf\xe9;{\\b x}\r\nb") << "Café;{\\b x}\nb";
    }
    void previewsAnImportFileAsItIs() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        Window w;
        QFile file(w.dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QVERIFY(w.frm->previewFile(file.fileName()));
        w.showActive();
        QCOMPARE(w.frm->RTF->toPlainText(), shown);
        QVERIFY(!w.frm->Boutons[0]->isVisible());

        w.dialogs.expect(Icon::Information,
                         "Impossible de lire le fichier [absent.txt].\n"
                         "Assurez-vous que ce dernier existe ou que le nom est correct.");
        QVERIFY(!w.frm->previewFile(w.dir.filePath("absent.txt")));
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
        p.dialogs.expect(Icon::Question, kOpenQuestion.arg("liste.txt"), Answer::Yes);
        p.ctrl(Qt::Key_E);
        QVERIFY(p.dialogs.allAnswered());
        QVERIFY(fileBytes(p.dir.filePath("liste.txt")).contains("Total: 2 messages érronés\r\n"));
        QCOMPARE(visibleWindows(), before);
    }
};

QTEST_MAIN(tst_frmEtat)
#include "tst_frmetat.moc"
