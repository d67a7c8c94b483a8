// A calendar file chosen in the import window: no grid, one box with what it holds and leaves, then the same
// duplicate question and store step as a delimited file.
#include <QFile>
#include <QPointer>
#include <QPushButton>

#include "import/ImportCheck.h"
#include "import/frmImporter.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

struct ImportHostSpy : ImportHost {
    void previewFile(const QString&) override {}
    void messagesImported(const MessageList&) override { ++imported; }
    int imported = 0;
};

const QString kThunderbird = QStringLiteral(
    "Le fichier [thunderbird.ics] contient 4 événement(s) ou tâche(s).\n3 seront importé(s).\n\nNe seront pas "
    "importés:\n« Sport » : répétition plusieurs jours par semaine\n\nA noter:\n« Anniversaire de Camille » : journée "
    "entière, importé à 09:00\n« Déclarer les impôts en ligne avant la date limite » : titre coupé à 30 caractères\n"
    "\nDésirez-vous continuer l'importation des données ?");

}  // namespace

class tst_IcsImport : public QObject {
    Q_OBJECT
private slots:
    void calendarFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("storedBefore");  // "Dentiste" is already stored
        QTest::addColumn<QStringList>("boxes");  // in turn; the questions answered Yes, a leading "-" answers No
        QTest::addColumn<QStringList>("rows");
        const QStringList three = {"Dentiste|actif|0|12/01/2027 14:30|",
                                   "Anniversaire de Camille|actif|8|23/10/2027 09:00|23/10/2030 09:00",
                                   "Déclarer les impôts en ligne a|actif|0|15/04/2027 09:00|"};
        QTest::newRow("imported") << "thunderbird.ics" << false << QStringList{kThunderbird, importSucceededText()}
                                  << three;
        QTest::newRow("refused at the summary")
            << "thunderbird.ics" << false << QStringList{"-" + kThunderbird, importCancelledText()} << QStringList{};
        QTest::newRow("duplicate left out")
            << "thunderbird.ics" << true
            << QStringList{kThunderbird, duplicateQuestionHead() + "Dentiste\n" + duplicateQuestionTail(),
                           importSucceededText()}
            << QStringList{"Dentiste|actif|2|01/01/2027 08:00|01/01/2028 08:00", three[1], three[2]};
        QTest::newRow("broken file")
            << "broken.ics" << false
            << QStringList{"Importation impossible:\nCe fichier n'est pas un agenda iCalendar lisible: il doit commencer "
                           "par BEGIN:VCALENDAR et se terminer par END:VCALENDAR (un fichier tronqué ou abîmé est "
                           "refusé entier)."}
            << QStringList{};
    }
    void calendarFile() {
        QFETCH(QString, file);
        QFETCH(bool, storedBefore);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, rows);
        TestWorld w;
        w.openStore();
        if (storedBefore)
            w.insert("Dentiste", "Contrôle", "01/01/2027", "08:00", "actif", "2", "01/01/2027 08:00",
                     "01/01/2028 08:00");
        QFile broken(w.dir.filePath("broken.ics"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n") > 0);
        ImportHostSpy importHost;
        QPointer<frmImporter> frm = new frmImporter(w.services(), w.host, importHost);
        frm->Form_Load();
        frm->show();
        for (const QString& box : boxes) {
            const bool no = box.startsWith('-');
            const bool question = no || box.endsWith('?');
            w.dialogs.expect(question ? Icon::Question : Icon::Information, no ? box.mid(1) : box,
                             question ? (no ? Answer::No : Answer::Yes) : Answer::Ok);
        }
        broken.close();
        w.dialogs.fileNames.push_back(file == "broken.ics" ? broken.fileName() : QStringLiteral(ICS_DATA "/") + file);
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdParcourir"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        QStringList stored;
        SqlRows rs = w.sql("SELECT titre, etat, periodicite, prochainaffichage, dernieraffichage FROM message");
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            stored << QStringList{rs.text(0), rs.text(1), rs.text(2), rs.text(3), rs.text(4)}.join('|');
        QCOMPARE(stored, rows);
        QCOMPARE(importHost.imported, boxes.last() == importSucceededText() ? 1 : 0);
        delete frm.data();
    }
};

QTEST_MAIN(tst_IcsImport)
#include "tst_icsimport.moc"
