// The import window: imported messages whose display time has passed dealt with as soon as they are stored, the
// details of the window between readings, a store failure said in French, and the real box that lists the
// duplicate titles.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "app/Application.h"
#include "common/RealServices.h"
#include "import/frmImporter.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QByteArray kNames("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage\n");
const QString kContinue = QStringLiteral("\nDésirez-vous continuer l'importation des données ?");

struct Host : ImportHost {
    void previewFile(const QString&) override {}
    void messagesImported(const MessageList&) override {}
};

// Chooses a file of these lines in the dialog; reads it with the names on the first line.
void browse(TestWorld& w, QWidget* frm, const QByteArray& lines, bool read = true) {
    QFile file(w.dir.filePath(QString::number(lines.size()) + ".csv"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size());
    file.close();
    w.dialogs.fileNames.push_back(file.fileName());
    QTest::mouseClick(ctl<QPushButton>(frm, "cmdParcourir"), Qt::LeftButton);
    if (!read)
        return;
    QTest::mouseClick(ctl<QCheckBox>(frm, "chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
    QTest::mouseClick(ctl<QPushButton>(frm, "cmdDonnees"), Qt::LeftButton);
}

}  // namespace

class tst_ImportWindow : public QObject {
    Q_OBJECT
private slots:
    void pastDisplaysAreDealtWithAtOnce() {
        TestWorld w(QStringLiteral("05/06/2026 09:00"));
        frmGestionMessages main(w.services(), false);
        QVERIFY(main.Form_Load());
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        frmImporter* frm = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            frm = frm ? frm : qobject_cast<frmImporter*>(window);
        QVERIFY(frm);
        browse(w, frm,
               kNames +
                   "Quotidien;t;01/06/2026;05:11;;2;04/06/2026 05:11;31/12/2026 05:11\n"
                   "Ce matin;t;05/06/2026;07:00;;0;;\nMensuel;t;10/01/2026;10:00;;4;10/01/2026 10:00;31/12/2026 "
                   "10:00\nFini;t;01/01/2026;10:00;;2;01/01/2026 10:00;01/02/2026 10:00\n"
                   "Maintenant;t;05/06/2026;09:00;;0;;\nDemain;t;06/06/2026;10:00;;0;;\n");
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Information, QStringLiteral("L'importation des données a été réalisée avec succès."));
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        // The latest display missed within a week opens late; one long past is stepped; an ended series expires.
        QCOMPARE(w.count("etat = 'affiche' AND prochainaffichage IN ('05/06/2026 05:11', '05/06/2026 07:00')"), 2);
        QCOMPARE(w.count("prochainaffichage = '10/06/2026 10:00' OR etat = 'errone'"), 2);
        QCOMPARE(w.count("etat = 'actif' AND titre IN ('Maintenant', 'Demain')"), 2);
        QCOMPARE(main.openNotes().size(), 2);
        main.Timer2_Timer();  // this minute's message is the due check's
        QCOMPARE(main.openNotes().size(), 3);
    }

    // "Autre:" stays usable across a path change; the line count is right after a reading and after a row goes;
    // a full disk is said in French.
    void windowDetails() {
        TestWorld w;
        w.openStore();
        Host host;
        frmImporter frm(w.services(), w.host, host);
        frm.Form_Load();
        frm.show();
        browse(w, &frm, "", false);
        QTest::mouseClick(ctl<QRadioButton>(&frm, "optDelimiteurChamp_4"), Qt::LeftButton, {}, QPoint(6, 6));
        const QByteArray row(";t;05/12/2026;14:00;;0;;\n");
        browse(w, &frm, kNames + "Un" + row + "Deux" + row + "Trois" + row, false);
        QLineEdit* other = ctl<QLineEdit>(&frm, "txtDelimiteurChamp");
        QVERIFY(other->isEnabled());
        QTest::keyClicks(other, ";");
        QTest::mouseClick(ctl<QCheckBox>(&frm, "chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdDonnees"), Qt::LeftButton);
        QLabel* line = ctl<QLabel>(&frm, "lblLigne");
        QVERIFY2(line->text().startsWith(" Ligne: 1 sur 3 "), qPrintable(line->text()));
        QTableView* grid = ctl<QTableView>(&frm, "FGrid");
        grid->setCurrentIndex(grid->model()->index(2, 0));
        w.dialogs.expect(Icon::Question,
                         "Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne 3) ?\nAttention: cette "
                         "suppression est définitive.",
                         Answer::Yes);
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdSupprimerLigne"), Qt::LeftButton);
        QVERIFY2(line->text().startsWith(" Ligne: 2 sur 2 "), qPrintable(line->text()));

        w.store.failWritesWith(SQLITE_FULL);
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Exclamation,
                         QStringLiteral("L'importation des données a échoué: aucun message n'a été importé.\nLe disque "
                                        "est plein: libérez de la place sur le disque, puis recommencez.\n(%1)")
                             .arg(sqlite3_errstr(SQLITE_FULL)));
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
    }

    // 10,000 titles: the box fits the screen with its texts and buttons, and the list scrolls.
    void longListScrolls() {
        QVERIFY(installFrenchTranslations());
        QStringList shown;  // the texts inside the box
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (box->screen()->availableGeometry().contains(box->frameGeometry()))
                shown << "<fits>";
            for (QWidget* child : box->findChildren<QWidget*>()) {
                if (box->rect().contains(QRect(child->mapTo(box, QPoint(0, 0)), child->size())))
                    shown << child->property("text").toString().remove(QLatin1Char('&'));
            }
            auto* list = box->findChild<QPlainTextEdit*>();
            if (list && list->verticalScrollBar()->maximum() > 0 && list->document()->blockCount() == 10000)
                shown << "<scrolls>";
            box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click();
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.listMessage(nullptr, "Avant:\n\n", QStringLiteral("Titre\n").repeated(10000),
                                     "\nOn continue ?", Icon::Question, Buttons::YesNo),
                 Answer::Yes);
        shown.removeAll(QString());
        shown.sort();
        QCOMPARE(shown, QStringList({"<fits>", "<scrolls>", "Avant:", "Non", "On continue ?", "Oui"}));
    }
};

QTEST_MAIN(tst_ImportWindow)
#include "tst_importwindow.moc"
