// The import window: imported messages whose display time has passed dealt with as soon as they are stored, a
// store failure said in French, and the details of the window between readings.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "import/frmImporter.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kContinue = QStringLiteral("\nDésirez-vous continuer l'importation des données ?");

// Writes the lines (the first naming the columns) and reads them into the window as a user would.
void readLines(TestWorld& w, QWidget* frm, const QByteArray& lines) {
    QFile file(w.dir.filePath("i.csv"));
    if (!file.open(QIODevice::WriteOnly) || file.write(lines) != lines.size())
        QTest::qFail("cannot write the file", __FILE__, __LINE__);
    file.close();
    w.dialogs.fileNames.push_back(file.fileName());
    QTest::mouseClick(ctl<QPushButton>(frm, "cmdParcourir"), Qt::LeftButton);
    QTest::mouseClick(ctl<QCheckBox>(frm, "chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
    QTest::mouseClick(ctl<QPushButton>(frm, "cmdDonnees"), Qt::LeftButton);
}

const QByteArray kNames("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage\n");

struct Host : ImportHost {
    void previewFile(const QString&) override {}
    void messagesImported(const MessageList&) override {}
};

struct FilterSpy : FakeDialogs {
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        filters << filter;
        return FakeDialogs::openFileName(parent, caption, folder, filter);
    }
    QStringList filters;
};

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
        QVERIFY(frm && frm->isVisible());
        readLines(w, frm,
                  kNames +
                      "Quotidien;t;01/06/2026;05:11;;2;04/06/2026 05:11;31/12/2026 05:11\n"
                      "Ce matin;t;05/06/2026;07:00;;0;;\n"
                      "Mensuel;t;10/01/2026;10:00;;4;10/01/2026 10:00;31/12/2026 10:00\n"
                      "Fini;t;01/01/2026;10:00;;2;01/01/2026 10:00;01/02/2026 10:00\n"
                      "Maintenant;t;05/06/2026;09:00;;0;;\n"
                      "Demain;t;06/06/2026;10:00;;0;;\n");
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Information, QStringLiteral("L'importation des données a été réalisée avec succès."));
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        QStringList rows;
        SqlRows rs = w.sql(QStringLiteral("SELECT titre, etat, prochainaffichage FROM message ORDER BY id"));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            rows << rs.text(0) + QLatin1Char('|') + rs.text(1) + QLatin1Char('|') + rs.text(2);
        // The latest display missed within a week opens late; one long past is stepped; an ended series expires.
        QCOMPARE(rows, QStringList({"Quotidien|affiche|05/06/2026 05:11", "Ce matin|affiche|05/06/2026 07:00",
                                    "Mensuel|actif|10/06/2026 10:00", "Fini|errone|01/01/2026 10:00",
                                    "Maintenant|actif|05/06/2026 09:00", "Demain|actif|06/06/2026 10:00"}));
        QCOMPARE(main.openNotes().size(), 2);
        QCOMPARE(main.listModel(2)->rowCount(), 2);
        main.Timer2_Timer();  // this minute's message is the due check's
        QCOMPARE(main.openNotes().size(), 3);
    }

    void storeFailureInFrench() {
        TestWorld w;
        w.openStore();
        Host host;
        frmImporter frm(w.services(), w.host, host);
        frm.Form_Load();
        frm.show();
        readLines(w, &frm, kNames + "Un;t;05/12/2026;14:00;;0;;\n");
        w.store.failWritesWith(SQLITE_FULL);
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Exclamation,
                         QStringLiteral("L'importation des données a échoué: aucun message n'a été importé.\nLe disque "
                                        "est plein: libérez de la place sur le disque, puis recommencez.\n(%1)")
                             .arg(QString::fromUtf8(sqlite3_errstr(SQLITE_FULL))));
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
    }

    // "Autre:" stays usable across a path change; the line count is right after a reading and after rows go.
    void windowDetails() {
        TestWorld w;
        w.openStore();
        FilterSpy dialogs;
        Services services{w.clock, w.random,   dialogs, *w.settingsStore, w.preferences,
                          w.store, w.platform, w.tray,  w.help,           w.programFolder()};
        Host host;
        frmImporter frm(services, w.host, host);
        frm.Form_Load();
        frm.show();
        dialogs.fileNames.push_back(QStringLiteral("/nulle/part.txt"));
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdParcourir"), Qt::LeftButton);
        QTest::mouseClick(ctl<QRadioButton>(&frm, "optDelimiteurChamp_4"), Qt::LeftButton, {}, QPoint(6, 6));
        QLineEdit* other = ctl<QLineEdit>(&frm, "txtDelimiteurChamp");
        QTest::keyClicks(other, ";");
        QFile file(w.dir.filePath("l.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("a;b\nc;d\ne;f\n") > 0);
        file.close();
        dialogs.fileNames.push_back(file.fileName());
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdParcourir"), Qt::LeftButton);
        QVERIFY(other->isEnabled());
        QCOMPARE(dialogs.filters.last(),
                 QStringLiteral("Fichiers TEXTE (*.txt);;Fichiers TEXTE délimités (*.csv);;Tous les fichiers (*.*)"));
        QTest::keyClicks(other, ";");
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdDonnees"), Qt::LeftButton);
        QLabel* line = ctl<QLabel>(&frm, "lblLigne");
        QVERIFY2(line->text().startsWith(" Ligne: 1 sur 3 "), qPrintable(line->text()));
        QTableView* grid = ctl<QTableView>(&frm, "FGrid");
        grid->setCurrentIndex(grid->model()->index(2, 0));
        dialogs.expect(Icon::Question,
                       QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne 3) ?\n"
                                      "Attention: cette suppression est définitive."),
                       Answer::Yes);
        QTest::mouseClick(ctl<QPushButton>(&frm, "cmdSupprimerLigne"), Qt::LeftButton);
        QVERIFY(dialogs.allAnswered());
        QVERIFY2(line->text().startsWith(" Ligne: 2 sur 2 "), qPrintable(line->text()));
    }
};

QTEST_MAIN(tst_ImportWindow)
#include "tst_importwindow.moc"
