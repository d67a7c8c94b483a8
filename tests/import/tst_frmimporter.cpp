// The import window opened from the main window (Ctrl+O): the grid prepared and edited, a delimited file or a
// calendar imported in one transaction with its questions, imported messages whose display time has passed.
#include <QtWidgets>

#include "common/WindowHelpers.h"
#include "import/ImportCheck.h"
#include "import/ImportGridModel.h"
#include "import/frmImporter.h"
#include "import/frmValeurCellule.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kThunderbird = QStringLiteral(
    "Le fichier [thunderbird.ics] contient 4 événement(s) ou tâche(s).\n3 seront importé(s).\n\nNe seront pas "
    "importés:\n« Sport » : répétition plusieurs jours par semaine\n\nA noter:\n« Anniversaire de Camille » : journée "
    "entière, importé à 09:00\n« Déclarer les impôts en ligne avant la date limite » : titre coupé à 30 caractères\n");

// The main window loaded with "Dentiste" stored and a trigger refusing the title "Deux", and its import window.
struct World : MainWindowWorld {
    explicit World(bool disabled = false) {
        insert("Dentiste", "Contrôle", "01/01/2027", "08:00", "actif", "2", "01/01/2027 08:00", "01/01/2028 08:00");
        sql("CREATE TRIGGER refuse BEFORE INSERT ON message WHEN NEW.titre = 'Deux' "
            "BEGIN SELECT RAISE(ABORT, 'titre refusé'); END");
        load();
        if (disabled)
            ctl<QAction>(frm.get(), "mnuDesactiverMessage")->trigger();
        ctrl(Qt::Key_O);  // the import window opens, active
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<frmImporter*>(QApplication::activeWindow()), 10000);
        imp = qobject_cast<frmImporter*>(QApplication::activeWindow());
    }

    template <typename T = QPushButton>
    T* c(const char* name) {
        return ctl<T>(imp, QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(c(name), Qt::LeftButton); }
    // Boxes in turn: "Q:text" answered Yes, "N:text" No, "I:" a notice, "E:" a failure.
    void expectBoxes(const QStringList& boxes) {
        for (const QString& box : boxes) {
            const Icon icon = box[0] == 'I' ? Icon::Information : box[0] == 'E' ? Icon::Exclamation : Icon::Question;
            dialogs.expect(icon, box.mid(2), box[0] == 'Q' ? Answer::Yes : box[0] == 'N' ? Answer::No : Answer::Ok);
        }
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            QTest::qFail("cannot write the file", __FILE__, __LINE__);
        return out.fileName();
    }
    const ImportGrid& grid() { return imp->gridModel().grid(); }
    bool expanded() { return imp->height() == twips(frmImporter::kExpandedHeight); }
    // A click on a data cell of the grid, in grid coordinates.
    void clickCell(int row, int column, bool twice = false) {
        QTableView* view = c<QTableView>("FGrid");
        const QPoint at = view->visualRect(view->model()->index(row - 1, column - 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    QPointer<frmImporter> imp;
};

}  // namespace

class tst_frmImporter : public QObject {
    Q_OBJECT
private slots:
    // Naming, deleting columns and rows with the line count shown, then the cell editor; "Autre:" stays usable
    // across a path change.
    void preparingTheGrid() {
        World w;
        w.dialogs.fileNames = {w.write("x.txt", ""), w.write("m.txt", "a;b\nc;d\ne;f\ng;h\ni;j\n")};
        w.click("cmdParcourir");
        QTest::mouseClick(w.c<QRadioButton>("optDelimiteurChamp_4"), Qt::LeftButton, {}, QPoint(6, 6));
        w.click("cmdParcourir");
        QTest::keyClicks(w.c<QLineEdit>("txtDelimiteurChamp"), ";");
        w.click("cmdDonnees");
        QVERIFY(w.c<QLabel>("lblLigne")->text().startsWith(" Ligne: 1 sur 5 "));
        QListWidget* fields = w.c<QListWidget>("lstChamps");
        // "titre" given to column 2, then column 2 deleted: the name is offered again, at the top.
        w.clickCell(1, 2);
        fields->setCurrentRow(0);
        w.click("cmdChanger");
        QVERIFY(w.grid().header(2) == "titre" && fields->count() == 7);
        w.expectBoxes({"I:Sélectionnez une colonne.",
                       "Q:Êtes-vous sûr(e) de vouloir supprimer la colonne sélectionnée [titre] ?\nAttention: cette "
                       "suppression est définitive."});
        w.click("cmdSupprimerColonne");  // the header row is current after a change
        w.clickCell(1, 2);
        w.click("cmdSupprimerColonne");
        QVERIFY(w.dialogs.allAnswered() && !w.grid().isVisible(2) && w.c<QTableView>("FGrid")->isColumnHidden(1));
        QVERIFY(fields->item(0)->text() == "titre" && fields->count() == 8);

        // Row 2 of five deleted: the rows are numbered 1 to 4 again.
        w.clickCell(2, 1);
        w.expectBoxes(
            {"Q:Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne 2) ?\nAttention: cette "
             "suppression est définitive."});
        w.click("cmdSupprimerLigne");
        QCOMPARE(w.grid().row(4).mid(0, 3), QStringList({"4", "i", "j"}));
        QVERIFY(w.c<QLabel>("lblLigne")->text().startsWith(" Ligne: 2 sur 4 "));

        // The editor is modeless: OK writes into the cell current at that moment, blanks kept.
        w.clickCell(1, 1, true);
        QPointer<frmValeurCellule> editor = w.imp->cellEditor();
        QVERIFY(editor && editor->isVisible() && editor->txtValeur->selectedText() == "a");
        w.clickCell(2, 1);
        editor->txtValeur->setFocus();
        QTest::keyClicks(editor->txtValeur, "  neuf");
        QTest::mouseClick(editor->Boutons[0], Qt::LeftButton);
        QCOMPARE(w.grid().row(1).mid(1, 2) + w.grid().row(2).mid(1, 2), QStringList({"a", "b", "  neuf", "f"}));
        QVERIFY(!editor || !editor->isVisible());
        // Closing the window closes an open editor with it.
        w.click("cmdModifierValeur");
        editor = w.imp->cellEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(w.imp, Qt::Key_Escape);
        QVERIFY(!w.imp->isVisible() && (!editor || !editor->isVisible()));
    }

    // What a delimited file or a calendar chosen leaves in the boxes, the store and the window: all rows or none.
    // Displays already passed are dealt with at once: the latest missed within a week opens late, one long past is
    // stepped, an ended series expires, this minute's is left to the due check; none while messages are disabled.
    void importing_data() {
        QTest::addColumn<QString>("file");        // empty: the folder itself
        QTest::addColumn<QByteArray>("bytes");    // null: not written (a calendar of tests/calendar/data, the folder)
        QTest::addColumn<bool>("disabled");       // the messages disabled in the main window
        QTest::addColumn<QStringList>("boxes");   // as World::expectBoxes
        QTest::addColumn<QStringList>("stored");  // after "Dentiste", stored before
        const QByteArray names = importFieldNames().join(QLatin1Char(';')).toUtf8() + "\r\n";
        const QByteArray good = "Réunion;Salle 2;05/12/2026;14:00;;2;05/12/2026 14:00;31/12/2026 14:00\r\n";
        const QString goOn = QStringLiteral("Q:\nDésirez-vous continuer l'importation des données ?");
        const QString done = QStringLiteral("I:L'importation des données a été réalisée avec succès.");
        const QString cancelled = QStringLiteral("I:Importation annulée...");
        QTest::newRow("RTF read as its text")
            << "r.RTF"
            << "{\\rtf1 " + names + "\\par " + QByteArray(good).replace("é", "\\'e9") + "\\par}" << false
            << QStringList{goOn, done} << QStringList{"Réunion|actif|2|05/12/2026 14:00|31/12/2026 14:00"};
        QTest::newRow("no to going on") << "i.txt" << names + good << false << QStringList{"N" + goOn.mid(1), cancelled}
                                        << QStringList{};
        QTest::newRow("the second row refused by the store")
            << "i.txt" << names + good + QByteArray(good).replace("Réunion", "Deux") << false
            << QStringList{goOn, "E:L'importation des données a échoué: aucun message n'a été importé.\ntitre refusé"}
            << QStringList{};
        QTest::newRow("a shorter second line")
            << "s.txt" << QByteArray("a;b;c\nd;e") << false
            << QStringList{"I:Le fichier que vous tentez d'importer n'est peut être pas un fichier valide ou il se "
                           "peut que vous ayez mal défini la valeur du séparateur de texte ou de délimiteur de texte "
                           "ce qui provoque cette erreur. Recommencez l'importation mais, avant d'appuyer sur le "
                           "bouton VOIR LES DONNEES, appuyez sur le bouton APERCU pour avoir un aperçu des données "
                           "du fichier et regler les options en fonction de celles-ci."}
            << QStringList{};
        QTest::newRow("empty") << "e.txt" << QByteArray("") << false
                               << QStringList{"I:Il n'existe aucune donnée dans le fichier à importer."}
                               << QStringList{};
        QTest::newRow("a folder") << QString() << QByteArray() << false
                                  << QStringList{"I:Impossible d'importer les données du fichier sélectionné.\nAssurez-"
                                                 "vous que ce dernier existe ou que le nom est correct."}
                                  << QStringList{};
        QTest::newRow("calendar, a duplicate left out")
            << "thunderbird.ics" << QByteArray() << false
            << QStringList{"Q:" + kThunderbird + goOn.mid(2),
                           "Q:Information avant l'importation:\nDes messages dont le titre existe déjà, ont été "
                           "trouvés dans le "
                           "fichier à importer.\nLes messages ci-dessous ne pourront pas être importés.\n\nDentiste\n\n"
                           "Désirez-vous continuer quand même l'importation ?",
                           done}
            << QStringList{"Anniversaire de Camille|actif|8|23/10/2027 09:00|23/10/2030 09:00",
                           "Déclarer les impôts en ligne a|actif|0|15/04/2027 09:00|"};
        QTest::newRow("calendar from Evolution")
            << "evolution.ics" << QByteArray() << false
            << QStringList{"Q:Le fichier [evolution.ics] contient 5 événement(s) ou tâche(s).\n2 seront importé(s).\n\n"
                           "Ne seront pas importés:\n« Loyer » : ses dates ne suivent pas les pas de Tavanote (fin de "
                           "mois, dates ajoutées ou retirées)\n« Acheter du pain » : tâche sans date de début\n"
                           "« Ailleurs » : fuseau horaire inconnu (Mars/Olympus)\n" +
                               goOn.mid(2),
                           done}
            << QStringList{"Appel avec New York|actif|0|15/01/2027 15:00|",
                           "Comprimé|actif|2|10/01/2027 08:00|19/01/2027 08:00"};
        QTest::newRow("calendar refused at the summary")
            << "thunderbird.ics" << QByteArray() << false << QStringList{"N:" + kThunderbird + goOn.mid(2), cancelled}
            << QStringList{};
        QTest::newRow("broken calendar")
            << "b.ics" << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n") << false
            << QStringList{"I:Importation impossible:\nCe fichier n'est pas un agenda iCalendar lisible: il doit "
                           "commencer par BEGIN:VCALENDAR et se terminer par END:VCALENDAR (un fichier tronqué ou "
                           "abîmé est refusé entier)."}
            << QStringList{};
        const QByteArray passed = names +
                                  "Quotidien;t;01/06/2026;05:11;;2;04/06/2026 05:11;31/12/2026 05:11\n"
                                  "Ce matin;t;05/06/2026;07:00;;0;;\n"
                                  "Mensuel;t;10/01/2026;10:00;;4;10/01/2026 10:00;31/12/2026 10:00\n"
                                  "Fini;t;01/01/2026;10:00;;2;01/01/2026 10:00;01/02/2026 10:00\n"
                                  "Maintenant;t;05/06/2026;09:00;;0;;";
        QTest::newRow("displays passed") << "n.csv" << passed << false << QStringList{goOn, done}
                                         << QStringList{"Quotidien|affiche|2|05/06/2026 05:11|31/12/2026 05:11",
                                                        "Ce matin|affiche|0|05/06/2026 07:00|",
                                                        "Mensuel|actif|4|10/06/2026 10:00|31/12/2026 10:00",
                                                        "Fini|errone|2|01/01/2026 10:00|01/02/2026 10:00",
                                                        "Maintenant|actif|0|05/06/2026 09:00|"};
        QTest::newRow("displays passed, messages disabled")
            << "n.csv" << passed << true << QStringList{goOn, done}
            << QStringList{"Quotidien|actif|2|04/06/2026 05:11|31/12/2026 05:11", "Ce matin|actif|0|05/06/2026 07:00|",
                           "Mensuel|actif|4|10/01/2026 10:00|31/12/2026 10:00",
                           "Fini|actif|2|01/01/2026 10:00|01/02/2026 10:00", "Maintenant|actif|0|05/06/2026 09:00|"};
    }
    void importing() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, disabled);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, stored);
        World w(disabled);
        w.expectBoxes(boxes);
        const bool calendar = file.endsWith(".ics");
        const QString path = !bytes.isNull() ? w.write(file, bytes)
                             : calendar      ? QStringLiteral(ICS_DATA "/") + file
                                             : w.dir.filePath(file);
        w.dialogs.fileNames.push_back(path);
        w.click("cmdParcourir");  // a calendar is imported as soon as it is chosen
        if (!calendar) {          // a delimited file is read, the first line naming the columns, then imported
            QTest::mouseClick(w.c<QCheckBox>("chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
            w.click("cmdDonnees");
            if (w.expanded())
                w.click("cmdImporter");
        }
        QVERIFY(w.dialogs.allAnswered());
        SqlRows rs = w.sql(
            "SELECT titre || '|' || etat || '|' || periodicite || '|' || prochainaffichage || '|' || "
            "ifnull(dernieraffichage, '') FROM message");
        QStringList rows;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            rows << rs.text(0);
        stored.prepend("Dentiste|actif|2|01/01/2027 08:00|01/01/2028 08:00");
        QCOMPARE(rows, stored);
        QCOMPARE(w.frm->listModel(0)->rowCount(), stored.filter("|actif|").size());  // listed at once
        QCOMPARE(w.frm->openNotes().size(), stored.filter("|affiche|").size());
        const bool done = boxes.last().endsWith(importSucceededText());
        QCOMPARE(bool(w.imp && w.imp->isVisible()), !done);
        if (!done && !calendar && boxes.last().endsWith(importCancelledText()))  // the grid is left to correct
            QVERIFY(w.expanded() && w.c("cmdImporter")->isEnabled() && !w.c<QWidget>("picVerification")->isVisible());
        else if (!done)  // a failed reading or import leaves the window empty for a new reading
            QVERIFY(!w.expanded() && w.grid().rowCount() == 1 && w.c("cmdParcourir")->isEnabled());
        if (bytes.isNull() && !calendar)  // the path is refused
            QCOMPARE(QApplication::focusWidget(), w.c<QLineEdit>("txtCheminfichier"));
    }

    // The real box listing 10,000 duplicate titles fits the screen and its list scrolls.
    void longListScrolls() {
        bool fits = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* list = box->findChild<QPlainTextEdit*>();
            fits = box->screen()->availableGeometry().contains(box->frameGeometry()) &&
                   list->verticalScrollBar()->maximum() > 0 && list->document()->blockCount() == 10000;
            box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click();
        });
        QCOMPARE(QtDialogs().listMessage(nullptr, "Avant:\n\n", QStringLiteral("Titre\n").repeated(10000),
                                         "\nOn continue ?", Icon::Question, Buttons::YesNo),
                 Answer::Yes);
        QVERIFY(fits);
    }
};

QTEST_MAIN(tst_frmImporter)
#include "tst_frmimporter.moc"
