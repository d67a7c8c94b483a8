// The main window as a user meets it: its lists and counts, its commands and their refusals, deleting, the editor,
// disabling the notes, the boxes at load, quitting, its clock shown whole, and its help viewer.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "main_window/HelpSystem.h"
#include "messages/MessageLists.h"
#include "messages/QuitQuestion.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kCloseQuestion = QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?");
const QString kDelete =
    QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer définitivement le message sélectionné ?\n<%1>");
const QString kGone = QStringLiteral("Message: %1\n\nCe message est maintenant supprimé.");
const QString kTip = QStringLiteral(":: Tavanote :: affiche automatiquement vos rendez-vous, notes...");

struct Program : MainWindowWorld {
    using MainWindowWorld::MainWindowWorld;
    qint64 due(const QString& titre) { return add(titre, "actif", "2", "05/06/2026 09:05"); }  // daily, due soon
    void tick(const char* at) {
        clock.set(dateTime(QString::fromLatin1(at)));
        frm->Timer2_Timer();
    }
    // Shows a list and asks to delete its first row (by Ctrl+S or the toolbar), answering answer; then, when the
    // message is displayed, its note says it is gone.
    void remove(int list, const QString& titre, Answer answer, bool byKey = true, bool noteSaysGone = false) {
        showList(list);
        select(list, 0);
        dialogs.expect(Icon::Question, kDelete.arg(titre), answer);
        if (noteSaysGone)
            dialogs.expect(Icon::Information, kGone.arg(titre));
        byKey ? ctrl(Qt::Key_S) : frm->ToolbarCommand(3);
        QVERIFY(dialogs.allAnswered());
    }
    // "etat prochainaffichage" of a row, or "gone".
    QString row(qint64 id) {
        SqlRows rs = sql(QStringLiteral("SELECT etat, prochainaffichage FROM message WHERE id = %1").arg(id));
        return rs.isEmpty() ? QStringLiteral("gone") : rs.text(0) + ' ' + rs.text(1);
    }
    // The cells of a list's column (1: the titles), then the number its count label shows.
    QString list(int list, int column = 1) {
        QStringList texts;
        for (int r = 0; r < frm->listModel(list)->rowCount(); ++r)
            texts << frm->listModel(list)->row(r).cells[size_t(column)];
        const QString label = ctl<QLabel>(frm.get(), QStringLiteral("lblNombre_%1").arg(list))->text();
        return texts.join(',') + " / " + label.section(": ", 1);
    }
};

// The editor's title and fields (title, text, date, time, periodicity, end date), joined by "|".
QString editorShows(frmAjoutMessage* e) {
    return QStringList({e->windowTitle(), ctl<QLineEdit>(e, "txtTitre")->text(),
                        ctl<QPlainTextEdit>(e, "txtTexte")->toPlainText(), ctl<QLineEdit>(e, "txtDate")->text(),
                        ctl<QLineEdit>(e, "txtHeure")->text(),
                        QString::number(ctl<QComboBox>(e, "cboPeriode")->currentIndex()),
                        ctl<QLineEdit>(e, "txtDateFin")->text()})
        .join('|');
}

}  // namespace

class tst_frmGestionMessages : public QObject {
    Q_OBJECT
private slots:
    // A missing file is not made; an unusable one is left as it was. One box each, then the program ends.
    void unusableOrMissingMessageFileEndsTheProgram() {
        for (const QByteArray& bytes : {QByteArray(), QByteArray("ceci n'est pas une base")}) {
            Program p(QStringLiteral("05/06/2026 09:00"), false);
            QFile file(p.storePath());
            QVERIFY(bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
            file.close();
            const QString told = bytes.isNull()
                                     ? QStringLiteral("Impossible de trouver le fichier contenant les messages.")
                                     : "Impossible d'utiliser le fichier contenant les messages:\n" + p.storePath() +
                                           "\n\nCe fichier n'est pas un fichier de messages.\n(file is "
                                           "not a database)\n\nLe fichier n'a pas été modifié.";
            p.dialogs.expect(Icon::Exclamation, told + "\n\nFin du programme");
            frmGestionMessages frm(p.services(), false);
            QVERIFY(!frm.Form_Load());
            QVERIFY(p.dialogs.allAnswered() && p.platform.endStatus == 1);
            QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("no file"),
                     bytes.isNull() ? QByteArray("no file") : bytes);
        }
    }

    // Another program writing all along: the start-up pass changes nothing, one box says why, the program goes on.
    void startupPassThatCannotBeginIsToldAndTheProgramGoesOn() {
        Program p;
        const qint64 id = p.add("Courrier", "actif", "2", "01/06/2026 08:00");
        SqlProbe other(p.storePath());
        QVERIFY(other.run(QStringLiteral("BEGIN IMMEDIATE")).ok);
        p.dialogs.expect(Icon::Exclamation,
                         QStringLiteral("Les messages dont l'heure d'affichage est passée n'ont pas pu être mis à "
                                        "jour: aucun message n'a été modifié.\nIls le seront au prochain démarrage "
                                        "du programme.\n\nLe fichier est utilisé par un autre programme: attendez "
                                        "qu'il ait fini, ou fermez-le, puis recommencez.\n(database is locked)"));
        p.load();
        QVERIFY(p.dialogs.allAnswered() && p.tray.isAdded() && ctl<QTimer>(p.frm.get(), "Timer2")->isActive());
        QVERIFY(other.run(QStringLiteral("ROLLBACK")).ok);
        QCOMPARE(p.row(id), "actif 01/06/2026 08:00");
    }

    // Each list holds its state's rows in id order, trimmed, numbered from 1 again after a refresh; listing writes
    // nothing. The quit question counts the active and displayed messages; No to it, from the menu, the window's
    // close or Esc, keeps the program running; Yes ends it, writing nothing.
    void listsByStateThenQuitting() {
        Program p;
        p.set("fin programme", QStringLiteral("1"));
        const qint64 zebre = p.add("Zèbre", "Actif");
        p.add("Perdu", "perdu");
        p.add("Dentiste", "affiche");
        p.insert("  Banque  ", "  Salle 2  ", " 12/06/2026 ", " 14:30 ", " ACTIF ", " 3 ", " 12/06/2026 14:30 ", {});
        p.add("Sans état", QString());
        p.add("Accent", "affiché");
        p.insert({}, {}, {}, {}, "actif", "4x", {}, {});  // Null fields
        p.load(true);
        QCOMPARE(p.list(ListActifs), "Zèbre,Banque, / 3");
        QCOMPARE(p.list(ListErrones), "Perdu,Sans état,Accent / 3");
        QCOMPARE(p.list(ListAffiches), "Dentiste / 1");
        QCOMPARE(p.list(ListActifs, 5).section(',', 1, 1), "Affiché toutes les semaines");
        QCOMPARE(p.count(QStringLiteral("etat IS NULL")), 1);
        p.add("Marché", "actif");
        p.sql(QStringLiteral("DELETE FROM message WHERE id = %1").arg(zebre));
        p.frm->RefreshMessageLists();
        QCOMPARE(p.list(ListActifs, 0), "1,2,3 / 3");
        QCOMPARE(p.list(ListActifs), "Banque,,Marché / 3");

        frmGestionMessages* frm = p.frm.get();
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        const std::function<void()> ways[] = {[&] { frm->mnuQuitter_Click(); }, [&] { QVERIFY(!frm->close()); },
                                              [&] { QTest::keyClick(frm, Qt::Key_Escape); }, [&] { frm->close(); }};
        for (const auto& way : ways) {
            const bool last = &way == &ways[3];
            p.dialogs.expect(Icon::Question, quitQuestion(3, 1), last ? Answer::Yes : Answer::No);
            way();
            QVERIFY(p.dialogs.allAnswered() && (last || frm->isVisible()));
            QCOMPARE(p.platform.endCount, last ? 1 : 0);
            QVERIFY(p.store.isOpen() != last && (last || ctl<QTimer>(frm, "Timer2")->isActive()));
        }
        QVERIFY(!p.tray.isAdded());
        QCOMPARE(p.count(QStringLiteral("etat = 'affiche'")), 1);
    }

    // A command the list shown cannot serve: one box, no window and no dialog opened, the row left as it was.
    void refusalsFollowTheListShown() {
        const QString other = "\nVeuillez sélectionner un message actif ou érroné.";
        const std::tuple<int, Qt::Key, QString, QString> rows[] = {
            // the list, the key, the one row's state, the box
            {1, Qt::Key_M, "actif", "Veuillez sélectionner le message que vous désirez modifier."},
            {2, Qt::Key_M, "affiche", "Un message en cours d'affichage ne peut pas être modifié." + other},
            {1, Qt::Key_S, "affiche", "Veuillez sélectionner le message que vous désirez supprimer."},
            {2, Qt::Key_S, "actif", "Il n'existe aucun message en cours d'affichage à supprimer." + other},
            {0, Qt::Key_A, "errone", "Il n'existe aucuns messages actifs actuellement à afficher dans l'aperçu."},
            {1, Qt::Key_I, "actif", "Il n'existe aucuns messages érronés actuellement à imprimer."},
            {2, Qt::Key_E, "actif", "Il n'existe aucuns messages affichés actuellement à exporter."}};
        for (const auto& [list, key, etat, text] : rows) {
            Program p;
            const qint64 id = p.add("Banque", etat);
            p.load();
            p.showList(list);
            const QStringList before = visibleWindows();
            p.dialogs.printAnswer = true;
            p.dialogs.fileNames.push_back(p.dir.filePath("rapport.txt"));
            p.dialogs.expect(Icon::Information, text);
            p.ctrl(key);
            QVERIFY2(p.dialogs.allAnswered() && p.dialogs.fileNames.size() == 1, qPrintable(text));
            QCOMPARE(visibleWindows(), before);
            QCOMPARE(p.row(id), etat + " 12/06/2026 10:00");
        }
    }

    // From a list, only its row goes, after the question; a displayed one closes its note without the close
    // question or rescheduling, and the other notes keep their own close. Deleted while its note asks its own
    // question (answered No), the note still says the message is gone, and goes.
    void deleteAsksFirstAndClosesTheNote() {
        Program p;
        const qint64 faux = p.add("Faux", "errone");
        p.add("Juste", "errone");
        p.add("Ailleurs", "actif");
        const qint64 banque = p.due("Banque"), dentiste = p.due("Dentiste"), cabinet = p.due("Cabinet");
        p.set("confirmation fermeture", "1");
        p.load();
        p.tick("05/06/2026 09:05:10");
        p.remove(ListErrones, "Faux", Answer::No);
        QCOMPARE(p.list(ListErrones), "Faux,Juste / 2");
        p.remove(ListErrones, "Faux", Answer::Yes, false);
        QCOMPARE(p.row(faux), "gone");
        QCOMPARE(p.list(ListErrones), "Juste / 1");

        QVERIFY(p.frm->findNote(banque) && p.frm->findNote(dentiste));
        p.remove(ListAffiches, "Banque", Answer::Yes, true, true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed windows go
        QVERIFY(!p.frm->findNote(banque));
        QCOMPARE(p.row(banque), "gone");
        QCOMPARE(p.list(ListAffiches), "Dentiste,Cabinet / 2");
        p.dialogs.expect(Icon::Question, kCloseQuestion, Answer::Yes);
        p.dialogs.expect(Icon::Information,
                         "Ce message est periodique (affiché tous les jours).\nSon prochain "
                         "affichage est prévu pour le:06/06/2026 à 09:05");
        QVERIFY(p.frm->findNote(dentiste)->close() && p.dialogs.allAnswered());
        QCOMPARE(p.row(dentiste), "actif 06/06/2026 09:05");
        QCOMPARE(p.list(ListActifs), "Ailleurs,Dentiste / 2");

        QPointer<frmTavanote> note = p.frm->findNote(cabinet);
        p.dialogs.whileNextBoxOpen = [&] {
            p.remove(ListAffiches, "Cabinet", Answer::Yes);
            p.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
            p.dialogs.expect(Icon::Information, kGone.arg("Cabinet"));
        };
        note->close();
        QVERIFY(p.dialogs.allAnswered());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!note);
        QCOMPARE(p.row(cabinet), "gone");

        // A displayed row whose note is no longer open (a note put off) still goes.
        const qint64 seul = p.add("Seul", "affiche");
        p.frm->RefreshMessageLists();
        p.remove(ListAffiches, "Seul", Answer::Yes, false);
        QCOMPARE(p.row(seul), "gone");
    }

    // Modifier opens the editor on the selected row, which is selected again once saved. A second "new message"
    // raises the editor as typed. Messages disabled, the one due waits, told in the tray's tip; enabled again, the
    // next minute's message opens.
    void fromTheListsToTheEditorAndToNotes() {
        Program p;
        const qint64 banque = p.add("Banque", "actif", "4", "12/06/2026 14:30");
        const qint64 next = p.add("Appel", "actif", "0", "05/06/2026 09:06");
        p.load();
        p.select(ListActifs, 0);
        p.frm->ToolbarCommand(2);
        QVERIFY(p.frm->editor() && p.frm->editor()->isVisible());
        QCOMPARE(editorShows(p.frm->editor()),
                 "Modifier le message <Banque>|Banque|Texte de Banque|12/06/2026|14:30|4|30/06/2026");
        ctl<QLineEdit>(p.frm->editor(), "txtDateFin")->setText("31/12/2026");
        QTest::keyClick(p.frm->editor(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(p.frm->SelectedMessageId(p.frm->grid(ListActifs)), QString::number(banque));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        p.ctrl(Qt::Key_N);
        frmAjoutMessage* e = p.frm->editor();
        QVERIFY(e && e->isVisible());
        QCOMPARE(editorShows(e), "Créer un nouveau message|||05/06/2026||0|");  // today, by the program's clock
        QTest::keyClicks(ctl<QLineEdit>(e, "txtTitre"), "Pharmacie");
        QTest::keyClicks(ctl<QPlainTextEdit>(e, "txtTexte"), "Prendre le sirop");
        ctl<QAction>(p.frm.get(), "mnuNouveauMessage")->trigger();
        QCOMPARE(p.frm->editor(), e);
        QCOMPARE(editorShows(e), "Créer un nouveau message|Pharmacie|Prendre le sirop|05/06/2026||0|");
        QTest::keyClicks(ctl<QLineEdit>(e, "txtHeure"), "09:05");
        QTest::keyClick(e, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(!e->isVisible());
        QCOMPARE(p.list(ListActifs), "Banque,Appel,Pharmacie / 3");

        ctl<QAction>(p.frm.get(), "mnuDesactiverMessage")->trigger();
        QCOMPARE(p.tray.toolTip, kTip + "\n(messages désactivés)");
        p.tick("05/06/2026 09:05:10");
        QVERIFY(p.frm->openNotes().isEmpty());
        ctl<QAction>(p.frm.get(), "mnuDesactiverMessage")->trigger();
        QCOMPARE(p.tray.toolTip, kTip);
        p.tick("05/06/2026 09:06:05");
        QVERIFY(p.frm->openNotes().size() == 1 && p.frm->findNote(next));
        QCOMPARE(p.row(next), "affiche 05/06/2026 09:06");
        QCOMPARE(p.count("titre = 'Pharmacie' AND etat = 'actif' AND prochainaffichage = '05/06/2026 09:05'"), 1);
    }

    // Without a notification area, legend hidden: the date and the clock show whole however long the hint beside
    // them; minimising must not hide the only way back; quitting asks nothing when told so ("fin programme" read
    // when asked).
    void withoutTrayTheWindowShowsWholeAndStays() {
        Program p("30/09/2026 23:59");  // the longest date of the year
        p.set("legende", "0");
        p.tray.present = false;
        p.load(true);
        frmGestionMessages& frm = *p.frm;
        auto* hint = ctl<QLabel>(&frm, "StatusBar1_Panel1");
        const int hintWidth = hint->width();
        hint->setText(QString(200, QLatin1Char('m')));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);  // the bar lays its panels out again
        for (const char* name : {"StatusBar1_Panel2", "StatusBar1_Panel3"}) {
            auto* panel = ctl<QLabel>(&frm, name);
            QTRY_VERIFY2(panel->width() >= panel->sizeHint().width() &&
                             panel->mapTo(&frm, QPoint(panel->width(), 0)).x() <= frm.width(),
                         name);
        }
        QCOMPARE(hint->width(), hintWidth);
        frm.setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(frm.isVisible());
        p.set("fin programme", QStringLiteral("0"));
        frm.mnuQuitter_Click();
        QVERIFY(p.platform.endCount == 1 && !p.store.isOpen());
    }
    // Active and displayed messages are counted apart, each in the singular or the plural.
    void quitWarning() {
        const QString active = QStringLiteral(
            "\nIl existe des messages actifs à afficher [%1 message(s)]\n"
            "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");
        const QString one = QStringLiteral("Celui-ci ne sera plus affiché si vous quittez le programme.");
        const QString many = QStringLiteral("Ceux-ci ne seront plus affichés si vous quittez le programme.");
        const std::tuple<int, int, QString> rows[] = {
            {0, 0, ""},
            {1, 0, active.arg(1)},
            {3, 1, active.arg(3) + "\nDe plus, 1 message est actuellement affiché.\n" + one},
            {2, 3, active.arg(2) + "\nDe plus, 3 messages sont actuellement affichés.\n" + many},
            {0, 1, "\nIl existe un message actuellement affiché.\n" + one},
            {0, 2, "\nIl existe des messages actuellement affichés [2 messages]\n" + many}};
        for (const auto& [actives, displayed, warning] : rows)
            QCOMPARE(quitQuestion(actives, displayed), "Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?" +
                                                           (warning.isEmpty() ? "" : "\n\nAttention:" + warning));
    }
    // A missing or unreadable file, or a context the file does not know, is told and opens no viewer. Each known
    // context opens its own page in the one viewer; Esc closes it, and the next call opens a new one.
    void helpOpensTheRightPage() {
        TestWorld w;
        QFile file(w.programFolder() + "aide.qch");
        const QString builtHelp = qEnvironmentVariable("TAVANOTE_HELP_FILE");  // else two folders above this test
        for (const int context : {10006, 10001, 10003}) {
            if (context == 10001)
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("pas un fichier d'aide") > 0);
            file.close();
            if (context == 10003)
                QVERIFY(file.remove() &&
                        QFile::copy(builtHelp.isEmpty() ? QCoreApplication::applicationDirPath() + "/../../aide.qch"
                                                        : builtHelp,
                                    file.fileName()));
            HelpSystem help(w.services());
            w.dialogs.expect(Icon::Exclamation,
                             "Le fichier d'aide [aide.qch] est introuvable.\nAssurez-vous que ce "
                             "fichier doit se trouver\ndans le dossier:\n" +
                                 w.programFolder());
            help.ShowHelp(nullptr, QStringLiteral("aide.htm"), context);
            QVERIFY(w.dialogs.allAnswered() && !help.viewer());
        }
        HelpSystem help(w.services());
        help.ShowHelp(nullptr, QStringLiteral("gestionmessage.htm"), 10006);
        QPointer<frmAide> first = help.viewer();
        QVERIFY(first && first->isVisible());
        auto* page = ctl<QTextBrowser>(first, QStringLiteral("txtPage"));
        for (const auto& [context, topic, title] :
             {std::tuple(10001, "aide.htm", "Aide de Tavanote - Sommaire"),
              std::tuple(10002, "aproposde.htm", "A propos de Tavanote"),
              std::tuple(10006, "gestionmessage.htm", "La gestion des messages"),
              std::tuple(10007, "ajoutmessage.htm", "Créer ou modifier un message"),
              std::tuple(10011, "message.htm", "Le message affiché"),
              std::tuple(10013, "valeurcellule.htm", "Modifier la valeur d'une cellule")}) {
            help.ShowHelp(nullptr, QString::fromUtf8(topic), context);
            QCOMPARE(help.viewer(), first.data());
            QCOMPARE(page->documentTitle(), QString::fromUtf8(title));
        }
        QTest::keyClick(page, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first && !help.viewer());
        help.ShowHelp(nullptr, QStringLiteral("heure.htm"), 10009);
        QVERIFY(help.viewer() && w.dialogs.shown.size() == 3);
    }
};

QTEST_MAIN(tst_frmGestionMessages)
#include "tst_frmgestionmessages.moc"
