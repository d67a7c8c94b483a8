// The import window as a user drives it: choosing and reading a file, preparing the grid, the cell editor, the
// checks with their panel, the insertion in one transaction, and the command that opens it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "common/WindowHelpers.h"
#include "import/ImportGridModel.h"
#include "import/frmImporter.h"
#include "import/frmValeurCellule.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "scheduling/frmTavanote.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kNames =
    QStringLiteral("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage");
const QString kFaulty = QStringLiteral(
    "Le fichier que vous tentez d'importer n'est peut être pas un fichier valide ou il se peut que vous ayez mal "
    "défini la valeur du séparateur de texte ou de délimiteur de texte ce qui provoque cette erreur. Recommencez "
    "l'importation mais, avant d'appuyer sur le bouton VOIR LES DONNEES, appuyez sur le bouton APERCU pour avoir un "
    "aperçu des données du fichier et regler les options en fonction de celles-ci.");
const QString kMissing = QStringLiteral(
    "Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce dernier existe ou que le nom "
    "est correct.");
const QString kContinue = QStringLiteral("\nDésirez-vous continuer l'importation des données ?");
const QString kSucceeded = QStringLiteral("L'importation des données a été réalisée avec succès.");

struct ImportHostSpy : ImportHost {
    void previewFile(const QString& path) override { previewed << path; }
    void messagesImported(const MessageList&) override { ++imported; }
    QStringList previewed;
    int imported = 0;
};

struct World : TestWorld {
    World() {
        openStore();
        frm = new frmImporter(services(), host, importHost);
        frm->Form_Load();
        frm->show();
        frm->activateWindow();
        if (!QTest::qWaitForWindowActive(frm))
            QTest::qFail("the window did not become active", __FILE__, __LINE__);
    }
    ~World() { delete frm.data(); }

    template <typename T = QPushButton>
    T* c(const char* name) {
        return ctl<T>(frm, QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(c(name), Qt::LeftButton); }
    QString file(const QString& name, const QByteArray& bytes) {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            QTest::qFail("cannot write the file", __FILE__, __LINE__);
        return out.fileName();
    }
    // Chooses path in the file dialog, sets the options as a user would and reads the file.
    void read(const QString& path, int option = 1, int quote = 2, bool names = false, const QString& other = {}) {
        dialogs.fileNames.push_back(path);
        click("cmdParcourir");
        QTest::mouseClick(c<QRadioButton>(qPrintable(QStringLiteral("optDelimiteurChamp_%1").arg(option))),
                          Qt::LeftButton, {}, QPoint(6, 6));
        if (!other.isEmpty())
            QTest::keyClicks(c<QLineEdit>("txtDelimiteurChamp"), other);
        c<QComboBox>("cboDelimiteurTexte")->setCurrentIndex(quote);
        if (names)
            QTest::mouseClick(c<QCheckBox>("chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
        click("cmdDonnees");
    }
    const ImportGrid& grid() { return frm->gridModel().grid(); }
    // Row r of the grid, its cells joined by "|" (the number column first), without the empty cells at its end.
    QString row(int r) {
        QString text = grid().row(r).join(QLatin1Char('|'));
        while (text.endsWith(QLatin1Char('|')))
            text.chop(1);
        return text;
    }
    bool expanded() { return frm->height() == twips(frmImporter::kExpandedHeight); }
    // A click on a data cell of the grid, in grid coordinates.
    void clickCell(int row, int column, bool twice = false) {
        QTableView* view = c<QTableView>("FGrid");
        const QPoint at = view->visualRect(view->model()->index(row - 1, column - 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList titles() {
        QStringList list;
        SqlRows rs = sql(QStringLiteral("SELECT titre, etat, periodicite, prochainaffichage FROM message"));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            list << QStringList{rs.text(0), rs.text(1), rs.text(2), rs.text(3)}.join(QLatin1Char('|'));
        return list;
    }

    ImportHostSpy importHost;
    QPointer<frmImporter> frm;
};

}  // namespace

class tst_frmImporter : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("quote");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("box");   // the one box shown, or empty
        QTest::addColumn<QString>("rows");  // the grid read: header row, then the data rows, or "collapsed"
        QTest::newRow("two lines, no names")
            << QByteArray("a;b;c\r\nd;e;f\r\n") << "f.txt" << 1 << 2 << false << QString()
            << QStringLiteral("|titre|message|datemessage/1|a|b|c/2|d|e|f");
        QTest::newRow("LF line ends, a blank line, names")
            << QByteArray("x,y\n\nab,cd\nef,gh\n") << "f.csv" << 2 << 2 << true << QString()
            << QStringLiteral("|x|y/1|ab|cd/2|ef|gh");
        QTest::newRow("quoted fields with the double quote")
            << QByteArray("\"Salle; 2\";\"dit \"\"oui\"\"\nsur deux\"\r\n") << "q.csv" << 1 << 1 << false << QString()
            << QStringLiteral("|titre|message/1|Salle; 2|dit \"oui\"\nsur deux");
        QTest::newRow("quotes kept without a text delimiter")
            << QByteArray("\"a;b\";c") << "q.csv" << 1 << 2 << false << QString()
            << QStringLiteral("|titre|message|datemessage/1|\"a|b\"|c");
        QTest::newRow("Windows-1252, tab") << QByteArray("caf\xe9\t\x80") << "w.txt" << 0 << 2 << false << QString()
                                           << QStringLiteral("|titre|message/1|café|€");
        QTest::newRow("RTF read as its text") << QByteArray("{\\rtf1 Un;Deux\\par}") << "r.RTF" << 1 << 2 << false
                                              << QString() << QStringLiteral("|titre|message/1|Un|Deux");
        QTest::newRow("a shorter second line")
            << QByteArray("a;b;c\nd;e") << "s.txt" << 1 << 2 << false << kFaulty << "collapsed";
        QTest::newRow("empty") << QByteArray() << "e.txt" << 1 << 2 << false
                               << "Il n'existe aucune donnée dans le fichier à importer."
                               << "collapsed";
        QTest::newRow("the same delimiters")
            << QByteArray("a'b") << "d.txt" << 4 << 0 << false
            << "Vous avez choisi un délimiteur de texte et un délimiteur de champ identiques.\nCeux-ci doivent "
               "obligatoirement être différents."
            << "collapsed";
        QTest::newRow("other left empty")
            << QByteArray("a") << "d.txt" << 4 << 2 << false
            << "Vous avez choisi un délimiteur de champ personnalisé.\nSaisissez un caractère dans la zone de texte "
               "adéquate."
            << "collapsed";
    }
    void reading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(int, option);
        QFETCH(int, quote);
        QFETCH(bool, names);
        QFETCH(QString, box);
        QFETCH(QString, rows);
        World w;
        if (!box.isEmpty())
            w.dialogs.expect(Icon::Information, box);
        w.read(w.file(name, bytes), option, quote, names, option == 4 && quote == 0 ? QStringLiteral("'") : QString());
        QVERIFY(w.dialogs.allAnswered() && w.dialogs.shown.size() == (box.isEmpty() ? 0u : 1u));
        if (rows == QLatin1String("collapsed")) {
            QVERIFY(!w.expanded() && w.c("cmdDonnees")->isEnabled() && w.c("cmdParcourir")->isEnabled());
            QCOMPARE(w.grid().dataRowCount(), 0);
            return;
        }
        QStringList read;
        for (int r = 0; r < w.grid().rowCount(); ++r)
            read << w.row(r);
        QCOMPARE(read.join(QLatin1Char('/')), rows);
        QVERIFY(w.grid().columnCount() >= ImportGrid::kMinimumColumns);
        QVERIFY(w.expanded() && !w.c("cmdDonnees")->isEnabled() && !w.c<QLineEdit>("txtCheminfichier")->isEnabled());
        // Nothing is done to the grid until a data cell is chosen.
        for (const char* command : {"cmdAjoutColonne", "cmdSupprimerColonne", "cmdSupprimerLigne", "cmdModifierValeur"})
            QVERIFY2(!w.c(command)->isEnabled(), command);
    }

    // A folder or a file gone since it was chosen: the path is refused, the window stays as it was.
    void unusablePaths() {
        World w;
        for (const QString& path : {w.dir.path(), w.dir.filePath("gone.txt")}) {
            w.dialogs.expect(Icon::Information, kMissing);
            w.read(path);
            QVERIFY(w.dialogs.allAnswered() && !w.expanded());
            QCOMPARE(QApplication::focusWidget(), w.c<QLineEdit>("txtCheminfichier"));
        }
    }

    void mapping() {
        World w;
        w.read(w.file("m.txt", "a;b\nc;d\ne;f\ng;h\ni;j\n"));
        QListWidget* fields = w.c<QListWidget>("lstChamps");
        // "titre" given to column 2, then column 2 deleted: the name is offered again, at the top.
        w.clickCell(1, 2);
        QVERIFY(w.c("cmdSupprimerLigne")->isEnabled() && fields->isEnabled());
        fields->setCurrentRow(0);
        w.click("cmdChanger");
        QCOMPARE(w.grid().header(2), QStringLiteral("titre"));
        QCOMPARE(fields->count(), 7);
        w.dialogs.expect(Icon::Information, QStringLiteral("Sélectionnez une colonne."));
        w.click("cmdSupprimerColonne");  // the header row is current after a change
        w.clickCell(1, 2);
        w.dialogs.expect(Icon::Question,
                         QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer la colonne sélectionnée [titre] ?\n"
                                        "Attention: cette suppression est définitive."),
                         Answer::Yes);
        w.click("cmdSupprimerColonne");
        QVERIFY(w.dialogs.allAnswered() && !w.grid().isVisible(2) && w.c<QTableView>("FGrid")->isColumnHidden(1));
        QCOMPARE(fields->item(0)->text(), QStringLiteral("titre"));
        QCOMPARE(fields->count(), 8);

        // Row 2 of five deleted: the rows are numbered 1 to 4 again.
        w.clickCell(2, 1);
        w.dialogs.expect(Icon::Question,
                         QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne 2) ?\n"
                                        "Attention: cette suppression est définitive."),
                         Answer::Yes);
        w.click("cmdSupprimerLigne");
        QCOMPARE(w.row(2), QStringLiteral("2|e|f"));
        QCOMPARE(w.row(4), QStringLiteral("4|i|j"));
        w.dialogs.expect(Icon::None, QStringLiteral("Le nombre maximum de colonnes (nombre: 8) a été atteint.\n"
                                                    "Il n'existe que 8 champs dans la base de données."));
        w.click("cmdAjoutColonne");
        QVERIFY(w.dialogs.allAnswered());
    }

    // The editor is modeless: OK writes into the cell current at that moment, blanks kept.
    void cellEditor() {
        World w;
        w.read(w.file("m.txt", "a;b\nc;d\n"));
        w.clickCell(1, 1, true);
        QPointer<frmValeurCellule> editor = w.frm->cellEditor();
        QVERIFY(editor && editor->isVisible() && editor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(editor->txtValeur->text(), QStringLiteral("a"));
        QCOMPARE(editor->txtValeur->selectedText(), QStringLiteral("a"));
        w.clickCell(2, 2);
        editor->txtValeur->setFocus();
        QTest::keyClicks(editor->txtValeur, "  neuf");
        QTest::keyClick(editor, Qt::Key_F1);
        QTest::keyClick(editor, Qt::Key_F2);
        QTest::mouseClick(editor->Boutons[0], Qt::LeftButton);
        QCOMPARE(w.row(1), QStringLiteral("1|a|b"));
        QCOMPARE(w.row(2), QStringLiteral("2|c|  neuf"));
        QVERIFY(!editor || !editor->isVisible());
        QCOMPARE(w.help.shown, (QList<std::pair<QString, HelpContext>>{{"frmValeurCellule", HelpContext::CellValue}}));
        QCOMPARE(w.host.abouts, 1);

        // Closing the window closes an open editor with it.
        w.click("cmdModifierValeur");
        editor = w.frm->cellEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(w.frm, Qt::Key_F1);
        QTest::keyClick(w.frm, Qt::Key_Escape);
        QVERIFY(!w.frm->isVisible() && (!editor || !editor->isVisible()));
        QCOMPARE(w.help.shown.last(), (std::pair<QString, HelpContext>{"frmImporter", HelpContext::Import}));
    }

    // What each answer and refusal leaves in the store and the window.
    void importing_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("boxes");  // "Q:text" questions answered Yes, "N:text" No, "I:text" notices
        QTest::addColumn<QStringList>("stored");
        const QString good = QStringLiteral("Réunion;Salle 2;05/12/2026;14:00;;2;05/12/2026 14:00;31/12/2026 14:00");
        const QString stored = QStringLiteral("Déjà là|actif|2|05/12/2026 14:00");
        const QString duplicate = QStringLiteral(
            "Information avant l'importation:\nDes messages dont le titre existe déjà, ont été trouvés dans le "
            "fichier à importer.\nLes messages ci-dessous ne pourront pas être importés.\n\nDÉJÀ LÀ\n\nDésirez-vous "
            "continuer quand même l'importation ?");
        QTest::newRow("imported") << QStringList{kNames, good, QStringLiteral("L'été;Texte;01/07/2026;08:30;;0;;")}
                                  << QStringList{"Q:" + kContinue, "I:" + kSucceeded}
                                  << QStringList{stored, QStringLiteral("Réunion|actif|2|05/12/2026 14:00"),
                                                 QStringLiteral("L'été|actif|0|01/07/2026 08:30")};
        QTest::newRow("no to going on") << QStringList{kNames, good}
                                        << QStringList{"N:" + kContinue, "I:Importation annulée..."}
                                        << QStringList{stored};
        QTest::newRow("duplicate dropped") << QStringList{kNames, QString(good).replace("Réunion", "DÉJÀ LÀ"), good}
                                           << QStringList{"Q:" + duplicate, "Q:" + kContinue, "I:" + kSucceeded}
                                           << QStringList{stored, QStringLiteral("Réunion|actif|2|05/12/2026 14:00")};
        QTest::newRow("a periodicity cell made of SQL")
            << QStringList{kNames,
                           QString(good).replace(";2;", ";2,'x','y','01/01/2030','10:00','actif',0,'',''),('z;")}
            << QStringList{"I:Importation impossible:\nLe champ [periodicite] contient une donnée non valide à la "
                           "ligne 1. Celle-ci doit être une periodicité de message valide (entre 0 et 8) pour pouvoir "
                           "importer les données dans la base de données du programme."}
            << QStringList{stored};
    }
    void importing() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, stored);
        World w;
        w.insert("Déjà là", "x", "05/12/2026", "14:00", "actif", "2", "05/12/2026 14:00", "31/12/2026 14:00");
        w.read(w.file("i.txt", lines.join("\r\n").toUtf8()), 1, 2, true);
        for (const QString& box : boxes)
            w.dialogs.expect(box.startsWith('I') ? Icon::Information : Icon::Question, box.mid(2),
                             box.startsWith('N')   ? Answer::No
                             : box.startsWith('Q') ? Answer::Yes
                                                   : Answer::Ok);
        w.click("cmdImporter");
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.titles(), stored);
        const bool done = boxes.last().endsWith(kSucceeded);
        QCOMPARE(w.importHost.imported, done ? 1 : 0);
        QCOMPARE(bool(w.frm && w.frm->isVisible()), !done);
        if (!done)
            QVERIFY(w.expanded() && w.c("cmdImporter")->isEnabled() && !w.c<QWidget>("picVerification")->isVisible());
    }

    // The panel shows the step under way while its box is open.
    void progressPanel() {
        World w;
        w.read(w.file("p.txt", (kNames + "\nTitre;Texte;32/01/2026;10:00;;1;;").toUtf8()), 1, 2, true);
        QString seen;
        w.dialogs.whileNextBoxOpen = [&] {
            seen = QStringLiteral("%1 %2 %3")
                       .arg(w.c<QWidget>("picVerification")->isVisible())
                       .arg(w.c<QLabel>("lblBarreVerification")->width())
                       .arg(w.c<QLabel>("lblInfoVerification")->text());
        };
        w.dialogs.expect(Icon::Information,
                         QStringLiteral("Importation impossible:\nLe champ [datemessage] contient une donnée "
                                        "invalide à la ligne 1. La date du message est obligatoire et doit être au "
                                        "format JJ/MM/AAAA pour pouvoir importer les données dans la base de données "
                                        "du programme."));
        w.click("cmdImporter");
        QCOMPARE(seen, QStringLiteral("1 %1 Vérification du format des données...").arg(twips(4 * 880)));
    }

    // A row the store refuses leaves the store as it was, says so, and empties the grid.
    void storeRefusesARow() {
        World w;
        w.sql(
            "CREATE TRIGGER refuse BEFORE INSERT ON message WHEN NEW.titre = 'Deux' "
            "BEGIN SELECT RAISE(ABORT, 'titre refusé'); END");
        const QString row = QStringLiteral(";Texte;05/12/2026;14:00;actif;2;05/12/2026 14:00;31/12/2026 14:00");
        w.read(w.file("t.txt", QStringList{kNames, "Un" + row, "Deux" + row}.join('\n').toUtf8()), 1, 2, true);
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Exclamation, QStringLiteral("L'importation des données a échoué: aucun message n'a "
                                                           "été importé.\ntitre refusé"));
        w.click("cmdImporter");
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.count(), 0);
        QVERIFY(!w.expanded() && w.grid().rowCount() == 1 && w.c("cmdParcourir")->isEnabled());
    }

    // Ctrl+O in the main window opens the import; a one-time message imported for the next minute opens as a note.
    void importedMessageFallsDue() {
        TestWorld w(QStringLiteral("05/06/2026 09:00"));
        frmGestionMessages main(w.services(), false);
        QVERIFY(main.Form_Load());
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        frmImporter* frm = main.findChild<frmImporter*>();
        if (!frm) {
            for (QWidget* window : QApplication::topLevelWidgets())
                frm = frm ? frm : qobject_cast<frmImporter*>(window);
        }
        QVERIFY(frm && frm->isVisible());
        QFile file(w.dir.filePath("n.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((kNames + "\nRappel;Appeler Paul;05/06/2026;09:01;;0;;\n").toUtf8());
        file.close();
        w.dialogs.fileNames.push_back(file.fileName());
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdParcourir"), Qt::LeftButton);
        QTest::mouseClick(ctl<QCheckBox>(frm, "chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdDonnees"), Qt::LeftButton);
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Information, kSucceeded);
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(main.listModel(0)->rowCount(), 1);  // the lists show it at once
        w.clock.set(dateTime("05/06/2026 09:01:05"));
        main.Timer2_Timer();
        QCOMPARE(main.openNotes().size(), 1);
    }
};

QTEST_MAIN(tst_frmImporter)
#include "tst_frmimporter.moc"
