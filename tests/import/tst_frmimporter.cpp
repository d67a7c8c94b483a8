// The import window as a user drives it: reading a file into the grid, preparing the grid, the cell editor, the
// import in one transaction with its questions, and imported messages whose display time has passed.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "app/Application.h"
#include "common/WindowHelpers.h"
#include "import/ImportGridModel.h"
#include "import/frmImporter.h"
#include "import/frmValeurCellule.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kNames =
    QStringLiteral("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage");
const QString kContinue = QStringLiteral("\nDésirez-vous continuer l'importation des données ?");
const QString kSucceeded = QStringLiteral("L'importation des données a été réalisée avec succès.");

QString writeFile(TestWorld& w, const QString& name, const QByteArray& bytes) {
    QFile out(w.dir.filePath(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        QTest::qFail("cannot write the file", __FILE__, __LINE__);
    return out.fileName();
}

// Chooses path in the file dialog, sets the options as a user would and, unless told not to, reads the file.
void read(TestWorld& w, QWidget* frm, const QString& path, int option = 1, int quote = 2, bool names = false,
          const QString& other = {}, bool andRead = true) {
    w.dialogs.fileNames.push_back(path);
    QTest::mouseClick(ctl<QPushButton>(frm, "cmdParcourir"), Qt::LeftButton);
    QTest::mouseClick(ctl<QRadioButton>(frm, QStringLiteral("optDelimiteurChamp_%1").arg(option)), Qt::LeftButton, {},
                      QPoint(6, 6));
    QTest::keyClicks(ctl<QLineEdit>(frm, "txtDelimiteurChamp"), other);
    ctl<QComboBox>(frm, "cboDelimiteurTexte")->setCurrentIndex(quote);
    if (names)
        QTest::mouseClick(ctl<QCheckBox>(frm, "chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
    if (andRead)
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdDonnees"), Qt::LeftButton);
}

struct ImportHostSpy : ImportHost {
    void previewFile(const QString&) override {}
    void messagesImported(const MessageList&) override { ++imported; }
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
    void ask(Icon icon, const QString& text, Answer answer = Answer::Ok) { dialogs.expect(icon, text, answer); }
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
    // The reader's rules are the reader's tests; here the file's bytes, the boxes and the window's two states.
    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("quote");
        QTest::addColumn<QString>("box");   // the one box shown, or empty
        QTest::addColumn<QString>("rows");  // the grid read: header row, then the data rows, or "collapsed"
        QTest::newRow("Windows-1252, tab") << QByteArray("caf\xe9\t\x80") << "w.txt" << 0 << 2 << QString()
                                           << QStringLiteral("|titre|message/1|café|€");
        QTest::newRow("RTF read as its text")
            << QByteArray("{\\rtf1 Un;Deux\\par}") << "r.RTF" << 1 << 2 << QString() << "|titre|message/1|Un|Deux";
        QTest::newRow("a shorter second line")
            << QByteArray("a;b;c\nd;e") << "s.txt" << 1 << 2
            << "Le fichier que vous tentez d'importer n'est peut être pas un fichier valide ou il se peut que vous "
               "ayez mal défini la valeur du séparateur de texte ou de délimiteur de texte ce qui provoque cette "
               "erreur. Recommencez l'importation mais, avant d'appuyer sur le bouton VOIR LES DONNEES, appuyez sur "
               "le bouton APERCU pour avoir un aperçu des données du fichier et regler les options en fonction de "
               "celles-ci."
            << "collapsed";
        QTest::newRow("empty") << QByteArray() << "e.txt" << 1 << 2
                               << "Il n'existe aucune donnée dans le fichier à importer."
                               << "collapsed";
        QTest::newRow("the same delimiters")
            << QByteArray("a'b") << "d.txt" << 4 << 0
            << "Vous avez choisi un délimiteur de texte et un délimiteur de champ identiques.\nCeux-ci doivent "
               "obligatoirement être différents."
            << "collapsed";
        QTest::newRow("other left empty")
            << QByteArray("a") << "o.txt" << 4 << 2
            << "Vous avez choisi un délimiteur de champ personnalisé.\nSaisissez un caractère dans la zone de texte "
               "adéquate."
            << "collapsed";
    }
    void reading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(int, option);
        QFETCH(int, quote);
        QFETCH(QString, box);
        QFETCH(QString, rows);
        World w;
        if (!box.isEmpty())
            w.ask(Icon::Information, box);
        read(w, w.frm, writeFile(w, name, bytes), option, quote, false, quote == 0 ? "'" : "");
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
        QVERIFY(w.expanded() && !w.c("cmdDonnees")->isEnabled() && !w.c<QLineEdit>("txtCheminfichier")->isEnabled());
        // Nothing is done to the grid until a data cell is chosen.
        for (const char* command : {"cmdAjoutColonne", "cmdSupprimerColonne", "cmdSupprimerLigne", "cmdModifierValeur"})
            QVERIFY2(!w.c(command)->isEnabled(), command);
    }

    // A folder or a file gone since it was chosen: the path is refused, the window stays as it was.
    void unusablePaths() {
        World w;
        for (const QString& path : {w.dir.path(), w.dir.filePath("gone.txt")}) {
            w.ask(Icon::Information,
                  "Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce "
                  "dernier existe ou que le nom est correct.");
            read(w, w.frm, path);
            QVERIFY(w.dialogs.allAnswered() && !w.expanded());
            QCOMPARE(QApplication::focusWidget(), w.c<QLineEdit>("txtCheminfichier"));
        }
    }

    // Naming, deleting columns and rows, with the line count shown; "Autre:" stays usable across a path change.
    void preparingTheGrid() {
        World w;
        QLabel* line = w.c<QLabel>("lblLigne");
        read(w, w.frm, writeFile(w, "x.txt", ""), 4, 2, false, {}, false);
        w.dialogs.fileNames.push_back(writeFile(w, "m.txt", "a;b\nc;d\ne;f\ng;h\ni;j\n"));
        w.click("cmdParcourir");
        QVERIFY(w.c<QLineEdit>("txtDelimiteurChamp")->isEnabled());
        QTest::keyClicks(w.c<QLineEdit>("txtDelimiteurChamp"), ";");
        w.click("cmdDonnees");
        QVERIFY2(line->text().startsWith(" Ligne: 1 sur 5 "), qPrintable(line->text()));
        QListWidget* fields = w.c<QListWidget>("lstChamps");
        // "titre" given to column 2, then column 2 deleted: the name is offered again, at the top.
        w.clickCell(1, 2);
        QVERIFY(w.c("cmdSupprimerLigne")->isEnabled() && fields->isEnabled());
        fields->setCurrentRow(0);
        w.click("cmdChanger");
        QCOMPARE(w.grid().header(2), QStringLiteral("titre"));
        QCOMPARE(fields->count(), 7);
        w.ask(Icon::Information, QStringLiteral("Sélectionnez une colonne."));
        w.click("cmdSupprimerColonne");  // the header row is current after a change
        w.clickCell(1, 2);
        w.ask(Icon::Question,
              "Êtes-vous sûr(e) de vouloir supprimer la colonne sélectionnée [titre] ?\nAttention: cette suppression "
              "est définitive.",
              Answer::Yes);
        w.click("cmdSupprimerColonne");
        QVERIFY(w.dialogs.allAnswered() && !w.grid().isVisible(2) && w.c<QTableView>("FGrid")->isColumnHidden(1));
        QCOMPARE(fields->item(0)->text(), QStringLiteral("titre"));
        QCOMPARE(fields->count(), 8);

        // Row 2 of five deleted: the rows are numbered 1 to 4 again.
        w.clickCell(2, 1);
        w.ask(Icon::Question,
              "Êtes-vous sûr(e) de vouloir supprimer la ligne sélectionnée (ligne 2) ?\nAttention: cette suppression "
              "est définitive.",
              Answer::Yes);
        w.click("cmdSupprimerLigne");
        QCOMPARE(w.row(2), QStringLiteral("2|e|f"));
        QCOMPARE(w.row(4), QStringLiteral("4|i|j"));
        QVERIFY2(line->text().startsWith(" Ligne: 2 sur 4 "), qPrintable(line->text()));
        w.ask(Icon::None,
              "Le nombre maximum de colonnes (nombre: 8) a été atteint.\nIl n'existe que 8 champs dans "
              "la base de données.");
        w.click("cmdAjoutColonne");
        QVERIFY(w.dialogs.allAnswered());
    }

    // The editor is modeless: OK writes into the cell current at that moment, blanks kept.
    void cellEditor() {
        World w;
        read(w, w.frm, writeFile(w, "m.txt", "a;b\nc;d\n"));
        w.clickCell(1, 1, true);
        QPointer<frmValeurCellule> editor = w.frm->cellEditor();
        QVERIFY(editor && editor->isVisible() && editor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(editor->txtValeur->selectedText(), QStringLiteral("a"));
        w.clickCell(2, 2);
        editor->txtValeur->setFocus();
        QTest::keyClicks(editor->txtValeur, "  neuf");
        QTest::mouseClick(editor->Boutons[0], Qt::LeftButton);
        QCOMPARE(w.row(1), QStringLiteral("1|a|b"));
        QCOMPARE(w.row(2), QStringLiteral("2|c|  neuf"));
        QVERIFY(!editor || !editor->isVisible());

        // Closing the window closes an open editor with it.
        w.click("cmdModifierValeur");
        editor = w.frm->cellEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(w.frm, Qt::Key_Escape);
        QVERIFY(!w.frm->isVisible() && (!editor || !editor->isVisible()));
    }

    // What each answer, refusal and store failure leaves in the store and the window: all rows or none.
    void importing_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("failure");        // an SQLite code every write fails with, or 0
        QTest::addColumn<QStringList>("boxes");  // "Q:text" questions answered Yes, "N:text" No, "I:" notices, "E:"
        QTest::addColumn<QStringList>("stored");
        const QString good = QStringLiteral("Réunion;Salle 2;05/12/2026;14:00;;2;05/12/2026 14:00;31/12/2026 14:00");
        const QString stored = QStringLiteral("Déjà là|actif|2|05/12/2026 14:00");
        const QString failed = QStringLiteral("E:L'importation des données a échoué: aucun message n'a été importé.\n");
        QTest::newRow("imported") << QStringList{kNames, good, QStringLiteral("L'été;Texte;01/07/2026;08:30;;0;;")} << 0
                                  << QStringList{"Q:" + kContinue, "I:" + kSucceeded}
                                  << QStringList{stored, QStringLiteral("Réunion|actif|2|05/12/2026 14:00"),
                                                 QStringLiteral("L'été|actif|0|01/07/2026 08:30")};
        QTest::newRow("no to going on") << QStringList{kNames, good} << 0
                                        << QStringList{"N:" + kContinue, "I:Importation annulée..."}
                                        << QStringList{stored};
        QTest::newRow("duplicate dropped")
            << QStringList{kNames, QString(good).replace("Réunion", "DÉJÀ LÀ"), good} << 0
            << QStringList{"Q:Information avant l'importation:\nDes messages dont le titre existe déjà, ont été "
                           "trouvés dans le fichier à importer.\nLes messages ci-dessous ne pourront pas être "
                           "importés.\n\nDÉJÀ LÀ\n\nDésirez-vous continuer quand même l'importation ?",
                           "Q:" + kContinue, "I:" + kSucceeded}
            << QStringList{stored, QStringLiteral("Réunion|actif|2|05/12/2026 14:00")};
        QTest::newRow("the second row refused by the store")
            << QStringList{kNames, good, QString(good).replace("Réunion", "Deux")} << 0
            << QStringList{"Q:" + kContinue, failed + "titre refusé"} << QStringList{stored};
        QTest::newRow("disk full") << QStringList{kNames, good} << SQLITE_FULL
                                   << QStringList{"Q:" + kContinue,
                                                  failed +
                                                      "Le disque est plein: libérez de la place sur le disque, puis "
                                                      "recommencez.\n(" +
                                                      sqlite3_errstr(SQLITE_FULL) + ")"}
                                   << QStringList{stored};
    }
    void importing() {
        QFETCH(QStringList, lines);
        QFETCH(int, failure);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, stored);
        World w;
        w.insert("Déjà là", "x", "05/12/2026", "14:00", "actif", "2", "05/12/2026 14:00", "31/12/2026 14:00");
        w.sql(
            "CREATE TRIGGER refuse BEFORE INSERT ON message WHEN NEW.titre = 'Deux' "
            "BEGIN SELECT RAISE(ABORT, 'titre refusé'); END");
        read(w, w.frm, writeFile(w, "i.txt", lines.join("\r\n").toUtf8()), 1, 2, true);
        const QMap<QChar, std::pair<Icon, Answer>> kinds = {{'Q', {Icon::Question, Answer::Yes}},
                                                            {'N', {Icon::Question, Answer::No}},
                                                            {'I', {Icon::Information, Answer::Ok}},
                                                            {'E', {Icon::Exclamation, Answer::Ok}}};
        for (const QString& box : boxes)
            w.ask(kinds[box[0]].first, box.mid(2), kinds[box[0]].second);
        w.store.failWritesWith(failure);
        w.click("cmdImporter");
        w.store.failWritesWith(0);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.titles(), stored);
        const bool done = boxes.last().endsWith(kSucceeded);
        QCOMPARE(w.importHost.imported, done ? 1 : 0);
        QCOMPARE(bool(w.frm && w.frm->isVisible()), !done);
        if (boxes.last().startsWith('E'))  // a failed import empties the grid for a new reading
            QVERIFY(!w.expanded() && w.grid().rowCount() == 1 && w.c("cmdParcourir")->isEnabled());
        else if (!done)
            QVERIFY(w.expanded() && w.c("cmdImporter")->isEnabled() && !w.c<QWidget>("picVerification")->isVisible());
    }

    // Ctrl+O in the main window: imported messages show in its lists at once; the latest display missed within a
    // week opens late, one long past is stepped, an ended series expires, this minute's is the due check's.
    void pastDisplaysAreDealtWithAtOnce() {
        TestWorld w(QStringLiteral("05/06/2026 09:00"));
        frmGestionMessages main(w.services(), false);
        QVERIFY(main.Form_Load());
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        frmImporter* frm = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            frm = frm ? frm : qobject_cast<frmImporter*>(window);
        QVERIFY(frm && frm->isVisible());
        const QStringList lines = {kNames,
                                   "Quotidien;t;01/06/2026;05:11;;2;04/06/2026 05:11;31/12/2026 05:11",
                                   "Ce matin;t;05/06/2026;07:00;;0;;",
                                   "Mensuel;t;10/01/2026;10:00;;4;10/01/2026 10:00;31/12/2026 10:00",
                                   "Fini;t;01/01/2026;10:00;;2;01/01/2026 10:00;01/02/2026 10:00",
                                   "Maintenant;t;05/06/2026;09:00;;0;;",
                                   "Demain;t;06/06/2026;10:00;;0;;"};
        read(w, frm, writeFile(w, "n.csv", lines.join('\n').toUtf8()), 1, 2, true);
        w.dialogs.expect(Icon::Question, kContinue, Answer::Yes);
        w.dialogs.expect(Icon::Information, kSucceeded);
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdImporter"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(main.listModel(0)->rowCount(), 3);  // the active ones, listed at once
        QCOMPARE(w.count("etat = 'affiche' AND prochainaffichage IN ('05/06/2026 05:11', '05/06/2026 07:00')"), 2);
        QCOMPARE(w.count("prochainaffichage = '10/06/2026 10:00' OR etat = 'errone'"), 2);
        QCOMPARE(w.count("etat = 'actif' AND titre IN ('Maintenant', 'Demain')"), 2);
        QCOMPARE(main.openNotes().size(), 2);
        main.Timer2_Timer();
        QCOMPARE(main.openNotes().size(), 3);
    }

    // The real box listing 10,000 duplicate titles fits the screen with its texts and buttons, and the list scrolls.
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

QTEST_MAIN(tst_frmImporter)
#include "tst_frmimporter.moc"
