// The import window as a user opens it from the main window (Ctrl+O): reading a file into the grid, preparing the
// grid, the cell editor, the import of a delimited file or a calendar in one transaction with its questions, and
// imported messages whose display time has passed.
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
#include <QTimer>

#include "app/Application.h"
#include "common/WindowHelpers.h"
#include "import/ImportCheck.h"
#include "import/ImportGridModel.h"
#include "import/frmImporter.h"
#include "import/frmValeurCellule.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kNames =
    QStringLiteral("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage");
const QString kNotFound = QStringLiteral(
    "Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce dernier existe ou que le nom est "
    "correct.");
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
        ctrl(Qt::Key_O);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<frmImporter*>(window); found && found->isVisible())
                imp = found;
        }
        if (!imp || (imp->activateWindow(), !QTest::qWaitForWindowActive(imp)))
            QTest::qFail("the import window is not active", __FILE__, __LINE__);
    }

    template <typename T = QPushButton>
    T* c(const char* name) {
        return ctl<T>(imp, QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(c(name), Qt::LeftButton); }
    void ask(Icon icon, const QString& text, Answer answer = Answer::Ok) { dialogs.expect(icon, text, answer); }
    // Boxes in turn: "Q:text" answered Yes, "N:text" No, "I:" a notice, "E:" a failure.
    void expectBoxes(const QStringList& boxes) {
        const QMap<QChar, std::pair<Icon, Answer>> kinds = {{'Q', {Icon::Question, Answer::Yes}},
                                                            {'N', {Icon::Question, Answer::No}},
                                                            {'I', {Icon::Information, Answer::Ok}},
                                                            {'E', {Icon::Exclamation, Answer::Ok}}};
        for (const QString& box : boxes)
            ask(kinds[box[0]].first, box.mid(2), kinds[box[0]].second);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            QTest::qFail("cannot write the file", __FILE__, __LINE__);
        return out.fileName();
    }
    // Chooses path in the file dialog, sets the options as a user would and, unless told not to, reads the file.
    void read(const QString& path, int option = 1, int quote = 2, bool names = false, const QString& other = {},
              bool andRead = true) {
        dialogs.fileNames.push_back(path);
        click("cmdParcourir");
        const QString radio = QStringLiteral("optDelimiteurChamp_%1").arg(option);
        QTest::mouseClick(ctl<QRadioButton>(imp, radio), Qt::LeftButton, {}, QPoint(6, 6));
        QTest::keyClicks(c<QLineEdit>("txtDelimiteurChamp"), other);
        c<QComboBox>("cboDelimiteurTexte")->setCurrentIndex(quote);
        if (names)
            QTest::mouseClick(c<QCheckBox>("chkNomChamp"), Qt::LeftButton, {}, QPoint(6, 6));
        if (andRead)
            click("cmdDonnees");
    }
    const ImportGrid& grid() { return imp->gridModel().grid(); }
    // Row r of the grid, its cells joined by "|" (the number column first), without the empty cells at its end.
    QString row(int r) {
        QString text = grid().row(r).join(QLatin1Char('|'));
        while (text.endsWith(QLatin1Char('|')))
            text.chop(1);
        return text;
    }
    bool expanded() { return imp->height() == twips(frmImporter::kExpandedHeight); }
    // A click on a data cell of the grid, in grid coordinates.
    void clickCell(int row, int column, bool twice = false) {
        QTableView* view = c<QTableView>("FGrid");
        const QPoint at = view->visualRect(view->model()->index(row - 1, column - 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList stored() {
        QStringList list;
        SqlRows rs = sql("SELECT titre, etat, periodicite, prochainaffichage, dernieraffichage FROM message");
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            list << QStringList{rs.text(0), rs.text(1), rs.text(2), rs.text(3), rs.text(4)}.join(QLatin1Char('|'));
        return list;
    }

    QPointer<frmImporter> imp;
};

}  // namespace

class tst_frmImporter : public QObject {
    Q_OBJECT
private slots:
    // The reader's rules are the reader's tests; here the file's bytes, the boxes and the window's two states.
    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");  // null: the file is not written
        QTest::addColumn<QString>("name");      // empty: the folder itself
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
        QTest::newRow("empty") << QByteArray("") << "e.txt" << 1 << 2
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
        QTest::newRow("a folder") << QByteArray() << QString() << 1 << 2 << kNotFound << "collapsed";
        QTest::newRow("a file gone") << QByteArray() << "gone.txt" << 1 << 2 << kNotFound << "collapsed";
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
        w.read(bytes.isNull() ? w.dir.filePath(name) : w.write(name, bytes), option, quote, false, quote ? "" : "'");
        QVERIFY(w.dialogs.allAnswered() && w.dialogs.shown.size() == (box.isEmpty() ? 0u : 1u));
        if (rows == QLatin1String("collapsed")) {
            QVERIFY(!w.expanded() && w.c("cmdDonnees")->isEnabled() && w.c("cmdParcourir")->isEnabled());
            QCOMPARE(w.grid().dataRowCount(), 0);
            if (bytes.isNull())  // the path is refused
                QCOMPARE(QApplication::focusWidget(), w.c<QLineEdit>("txtCheminfichier"));
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

    // Naming, deleting columns and rows with the line count shown, then the cell editor; "Autre:" stays usable
    // across a path change.
    void preparingTheGrid() {
        World w;
        QLabel* line = w.c<QLabel>("lblLigne");
        w.read(w.write("x.txt", ""), 4, 2, false, {}, false);
        w.dialogs.fileNames.push_back(w.write("m.txt", "a;b\nc;d\ne;f\ng;h\ni;j\n"));
        w.click("cmdParcourir");
        QTest::keyClicks(w.c<QLineEdit>("txtDelimiteurChamp"), ";");
        w.click("cmdDonnees");
        QVERIFY2(line->text().startsWith(" Ligne: 1 sur 5 "), qPrintable(line->text()));
        QListWidget* fields = w.c<QListWidget>("lstChamps");
        // "titre" given to column 2, then column 2 deleted: the name is offered again, at the top.
        w.clickCell(1, 2);
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
        QCOMPARE(w.row(4), QStringLiteral("4|i|j"));
        QVERIFY2(line->text().startsWith(" Ligne: 2 sur 4 "), qPrintable(line->text()));

        // The editor is modeless: OK writes into the cell current at that moment, blanks kept.
        w.clickCell(1, 1, true);
        QPointer<frmValeurCellule> editor = w.imp->cellEditor();
        QVERIFY(editor && editor->isVisible() && editor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(editor->txtValeur->selectedText(), QStringLiteral("a"));
        w.clickCell(2, 1);
        editor->txtValeur->setFocus();
        QTest::keyClicks(editor->txtValeur, "  neuf");
        QTest::mouseClick(editor->Boutons[0], Qt::LeftButton);
        QCOMPARE(w.row(1), QStringLiteral("1|a|b"));
        QCOMPARE(w.row(2), QStringLiteral("2|  neuf|f"));
        QVERIFY(!editor || !editor->isVisible());
        // Closing the window closes an open editor with it.
        w.click("cmdModifierValeur");
        editor = w.imp->cellEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(w.imp, Qt::Key_Escape);
        QVERIFY(!w.imp->isVisible() && (!editor || !editor->isVisible()));
    }

    // What each answer, refusal and store failure leaves in the store and the window, for a delimited file or a
    // calendar: all rows or none.
    void importing_data() {
        QTest::addColumn<QString>("file");        // a calendar of tests/calendar/data, or written from lines
        QTest::addColumn<QStringList>("lines");   // the file's lines
        QTest::addColumn<int>("failure");         // an SQLite code every write fails with, or 0
        QTest::addColumn<QStringList>("boxes");   // as World::expectBoxes
        QTest::addColumn<QStringList>("stored");  // after "Dentiste", stored before
        const QString good = QStringLiteral("Réunion;Salle 2;05/12/2026;14:00;;2;05/12/2026 14:00;31/12/2026 14:00");
        const QString failed = QStringLiteral("E:L'importation des données a échoué: aucun message n'a été importé.\n");
        const QString goOn = "Q:" + continueImportQuestion();
        const QString done = "I:" + importSucceededText();
        const QString cancelled = "I:" + importCancelledText();
        QTest::newRow("imported") << "i.txt" << QStringList{kNames, good, "L'été;Texte;01/07/2026;08:30;;0;;"} << 0
                                  << QStringList{goOn, done}
                                  << QStringList{"Réunion|actif|2|05/12/2026 14:00|31/12/2026 14:00",
                                                 "L'été|actif|0|01/07/2026 08:30|"};
        QTest::newRow("no to going on") << "i.txt" << QStringList{kNames, good} << 0
                                        << QStringList{"N" + goOn.mid(1), cancelled} << QStringList{};
        QTest::newRow("the second row refused by the store")
            << "i.txt" << QStringList{kNames, good, QString(good).replace("Réunion", "Deux")} << 0
            << QStringList{goOn, failed + "titre refusé"} << QStringList{};
        QTest::newRow("disk full") << "i.txt" << QStringList{kNames, good} << SQLITE_FULL
                                   << QStringList{goOn, failed +
                                                            "Le disque est plein: libérez de la place sur le disque, "
                                                            "puis recommencez.\n(" +
                                                            sqlite3_errstr(SQLITE_FULL) + ")"}
                                   << QStringList{};
        QTest::newRow("calendar, a duplicate left out")
            << "thunderbird.ics" << QStringList{} << 0
            << QStringList{"Q:" + kThunderbird + continueImportQuestion(),
                           "Q:" + duplicateQuestionHead() + "Dentiste\n" + duplicateQuestionTail(), done}
            << QStringList{"Anniversaire de Camille|actif|8|23/10/2027 09:00|23/10/2030 09:00",
                           "Déclarer les impôts en ligne a|actif|0|15/04/2027 09:00|"};
        QTest::newRow("calendar refused at the summary")
            << "thunderbird.ics" << QStringList{} << 0
            << QStringList{"N:" + kThunderbird + continueImportQuestion(), cancelled} << QStringList{};
        QTest::newRow("broken calendar")
            << "b.ics" << QStringList{"BEGIN:VCALENDAR", "BEGIN:VEVENT", ""} << 0
            << QStringList{"I:Importation impossible:\nCe fichier n'est pas un agenda iCalendar lisible: il doit "
                           "commencer par BEGIN:VCALENDAR et se terminer par END:VCALENDAR (un fichier tronqué ou "
                           "abîmé est refusé entier)."}
            << QStringList{};
    }
    void importing() {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(int, failure);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, stored);
        World w;
        w.expectBoxes(boxes);
        const QString path =
            lines.isEmpty() ? QStringLiteral(ICS_DATA "/") + file : w.write(file, lines.join("\r\n").toUtf8());
        if (file.endsWith(".ics")) {  // a calendar is imported as soon as it is chosen
            w.dialogs.fileNames.push_back(path);
            w.click("cmdParcourir");
        } else {
            w.read(path, 1, 2, true);
            w.store.failWritesWith(failure);
            w.click("cmdImporter");
            w.store.failWritesWith(0);
        }
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.stored(), QStringList{"Dentiste|actif|2|01/01/2027 08:00|01/01/2028 08:00"} + stored);
        QCOMPARE(w.frm->listModel(0)->rowCount(), 1 + stored.size());  // listed at once
        const bool done = boxes.last().endsWith(importSucceededText());
        QCOMPARE(bool(w.imp && w.imp->isVisible()), !done);
        if (boxes.last().startsWith('E'))  // a failed import empties the grid for a new reading
            QVERIFY(!w.expanded() && w.grid().rowCount() == 1 && w.c("cmdParcourir")->isEnabled());
        else if (!done && !file.endsWith(".ics"))
            QVERIFY(w.expanded() && w.c("cmdImporter")->isEnabled() && !w.c<QWidget>("picVerification")->isVisible());
    }

    // Imported displays already passed are dealt with at once: the latest display missed within a week opens late,
    // one long past is stepped, an ended series expires, this minute's is the due check's; none while the messages
    // are disabled.
    void pastDisplaysAreDealtWithAtOnce_data() {
        QTest::addColumn<bool>("disabled");
        QTest::newRow("messages enabled") << false;
        QTest::newRow("messages disabled") << true;
    }
    void pastDisplaysAreDealtWithAtOnce() {
        QFETCH(bool, disabled);
        World w(disabled);
        const QStringList lines = {kNames,
                                   "Quotidien;t;01/06/2026;05:11;;2;04/06/2026 05:11;31/12/2026 05:11",
                                   "Ce matin;t;05/06/2026;07:00;;0;;",
                                   "Mensuel;t;10/01/2026;10:00;;4;10/01/2026 10:00;31/12/2026 10:00",
                                   "Fini;t;01/01/2026;10:00;;2;01/01/2026 10:00;01/02/2026 10:00",
                                   "Maintenant;t;05/06/2026;09:00;;0;;",
                                   "Demain;t;06/06/2026;10:00;;0;;"};
        w.read(w.write("n.csv", lines.join('\n').toUtf8()), 1, 2, true);
        w.expectBoxes({"Q:" + continueImportQuestion(), "I:" + importSucceededText()});
        w.click("cmdImporter");
        QVERIFY(w.dialogs.allAnswered());
        if (disabled) {
            QVERIFY(w.frm->openNotes().isEmpty());
            QCOMPARE(w.count("etat = 'actif'"), 7);
            return;
        }
        QCOMPARE(w.frm->listModel(0)->rowCount(), 4);  // the active ones, listed at once
        QCOMPARE(w.count("etat = 'affiche' AND prochainaffichage IN ('05/06/2026 05:11', '05/06/2026 07:00')"), 2);
        QCOMPARE(w.count("prochainaffichage = '10/06/2026 10:00' OR etat = 'errone'"), 2);
        QCOMPARE(w.count("etat = 'actif' AND titre IN ('Maintenant', 'Demain')"), 2);
        QCOMPARE(w.frm->openNotes().size(), 2);
        w.frm->Timer2_Timer();
        QCOMPARE(w.frm->openNotes().size(), 3);
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
