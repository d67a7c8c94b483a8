#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include "messages/MessageLists.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kTip = QStringLiteral(":: Tavanote :: affiche automatiquement vos rendez-vous, notes...");
const QString kCloseQuestion = QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?");
const QString kDelete =
    QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer définitivement le message sélectionné ?\n<%1>");
const QString kDaily = QStringLiteral(
    "Ce message est periodique (affiché tous les jours).\nSon prochain affichage est prévu pour le:06/06/2026 à 09:05");
const QString kGone = QStringLiteral("Message: %1\n\nCe message est maintenant supprimé.");
const QString kOtherList = QStringLiteral("\nVeuillez sélectionner un message actif ou érroné.");

// Lets closed notes go, as the event loop would right after a close.
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Program : MainWindowWorld {
    qint64 due(const QString& titre) { return add(titre, "actif", "2", "05/06/2026 09:05"); }  // daily, due soon
    void tick(const char* at) {
        clock.set(dateTime(QString::fromLatin1(at)));
        frm->Timer2_Timer();
    }
    // Loaded with the close question on, then at 09:05:10: the notes of the messages due are shown.
    void showNotes() {
        set("confirmation fermeture", "1");
        load();
        tick("05/06/2026 09:05:10");
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
    // Closes the note of a daily message due at 09:05, answering Yes to the close question.
    void closeDaily(frmTavanote* note) {
        dialogs.expect(Icon::Question, kCloseQuestion, Answer::Yes);
        dialogs.expect(Icon::Information, kDaily);
        QVERIFY(note->close());
        QVERIFY(dialogs.allAnswered());
        flushDeletes();
    }
    // "etat prochainaffichage" of a row, or "gone".
    QString row(qint64 id) {
        SqlRows rs = sql(QStringLiteral("SELECT etat, prochainaffichage FROM message WHERE id = %1").arg(id));
        return rs.isEmpty() ? QStringLiteral("gone") : rs.text(0) + ' ' + rs.text(1);
    }
    // The titles of a list, then the number its count label shows.
    QString list(int list) {
        QStringList texts;
        for (int r = 0; r < frm->listModel(list)->rowCount(); ++r)
            texts << frm->listModel(list)->row(r).cells[1];
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

class tst_commands : public QObject {
    Q_OBJECT
private slots:
    void refusalsFollowTheListShown_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("etat");  // of the one row in the store
        QTest::addColumn<QString>("text");
        const QString modify = "Veuillez sélectionner le message que vous désirez modifier.";
        const QString remove = "Veuillez sélectionner le message que vous désirez supprimer.";
        const QString shown = "Un message en cours d'affichage ne peut pas être modifié." + kOtherList;
        const QString none = "Il n'existe aucun message en cours d'affichage à supprimer." + kOtherList;
        QTest::newRow("modifier, érronés vides") << 1 << int(Qt::Key_M) << "actif" << modify;
        QTest::newRow("modifier, affichés non vides") << 2 << int(Qt::Key_M) << "affiche" << shown;
        QTest::newRow("supprimer, érronés vides") << 1 << int(Qt::Key_S) << "affiche" << remove;
        QTest::newRow("supprimer, affichés vides") << 2 << int(Qt::Key_S) << "actif" << none;
        QTest::newRow("aperçu, actifs vides")
            << 0 << int(Qt::Key_A) << "errone"
            << "Il n'existe aucuns messages actifs actuellement à afficher dans l'aperçu.";
        QTest::newRow("imprimer, érronés vides") << 1 << int(Qt::Key_I) << "actif"
                                                 << "Il n'existe aucuns messages érronés actuellement à imprimer.";
        QTest::newRow("exporter, affichés vides") << 2 << int(Qt::Key_E) << "actif"
                                                  << "Il n'existe aucuns messages affichés actuellement à exporter.";
    }
    void refusalsFollowTheListShown() {
        QFETCH(int, list);
        QFETCH(int, key);
        QFETCH(QString, etat);
        QFETCH(QString, text);
        Program p;
        const qint64 id = p.add("Banque", etat);
        p.load();
        p.showList(list);
        const QStringList before = visibleWindows();
        p.dialogs.printAnswer = true;
        p.dialogs.fileNames.push_back(p.dir.filePath("rapport.txt"));
        p.dialogs.expect(Icon::Information, text);
        p.ctrl(Qt::Key(key));
        QVERIFY(p.dialogs.allAnswered() && p.dialogs.fileNames.size() == 1);
        QCOMPARE(visibleWindows(), before);
        QCOMPARE(p.row(id), etat + " 12/06/2026 10:00");
    }

    void modifyOpensTheEditorOnTheSelectedRow() {
        Program p;
        const qint64 banque = p.add("Banque", "actif", "4", "12/06/2026 14:30");
        p.add("Dentiste", "actif");
        p.load();
        p.select(ListActifs, 0);
        p.frm->ToolbarCommand(2);
        QVERIFY(p.frm->editor() && p.frm->editor()->isVisible());
        QCOMPARE(editorShows(p.frm->editor()),
                 "Modifier le message <Banque>|Banque|Texte de Banque|12/06/2026|14:30|4|30/06/2026");
        // Saved, it is the message selected, though the lists were filled again.
        ctl<QLineEdit>(p.frm->editor(), "txtDateFin")->setText("31/12/2026");
        QTest::keyClick(p.frm->editor(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(p.frm->SelectedMessageId(p.frm->grid(ListActifs)), QString::number(banque));
        QCOMPARE(p.count(), 2);
    }

    // From the list of errors: the row of the list shown goes, not that of the active list.
    void deleteAsksFirst() {
        Program p;
        const qint64 banque = p.add("Banque", "errone");
        p.add("Dentiste", "errone");
        p.add("Ailleurs", "actif");
        p.load();
        p.remove(ListErrones, "Banque", Answer::No);
        QCOMPARE(p.list(ListErrones), "Banque,Dentiste / 2");
        p.remove(ListErrones, "Banque", Answer::Yes, false);
        QCOMPARE(p.row(banque), "gone");
        QCOMPARE(p.list(ListErrones), "Dentiste / 1");
        QCOMPARE(p.list(ListActifs), "Ailleurs / 1");
    }

    // No close question and no rescheduling: the note says the message is gone.
    void deletingADisplayedMessageClosesItsNote() {
        Program p;
        const qint64 banque = p.due("Banque"), dentiste = p.due("Dentiste");
        p.showNotes();
        QVERIFY(p.frm->findNote(banque) && p.frm->findNote(dentiste));
        p.remove(ListAffiches, "Banque", Answer::Yes, true, true);
        flushDeletes();
        QVERIFY(!p.frm->findNote(banque));
        QCOMPARE(p.row(banque), "gone");
        QCOMPARE(p.list(ListAffiches), "Dentiste / 1");

        // Another note closed afterwards asks the usual question and is handled by its code.
        p.closeDaily(p.frm->findNote(dentiste));
        QCOMPARE(p.row(dentiste), "actif 06/06/2026 09:05");

        // A displayed row whose note is no longer open (a note put off) still goes.
        const qint64 seul = p.add("Seul", "affiche");
        p.frm->RefreshMessageLists();
        p.remove(ListAffiches, "Seul", Answer::Yes, false);
        QCOMPARE(p.row(seul), "gone");
    }

    // Deleted from the main window while its note asks its own question (answered No), the note still says the
    // message is gone, and goes.
    void deletionDuringTheNoteQuestionClosesTheNote() {
        Program p;
        const qint64 banque = p.due("Banque");
        p.showNotes();
        QPointer<frmTavanote> note = p.frm->findNote(banque);
        QVERIFY(note);
        p.dialogs.whileNextBoxOpen = [&] {
            p.remove(ListAffiches, "Banque", Answer::Yes);
            p.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
            p.dialogs.expect(Icon::Information, kGone.arg("Banque"));
        };
        note->close();
        QVERIFY(p.dialogs.allAnswered());
        flushDeletes();
        QVERIFY(!note);
        QCOMPARE(p.row(banque), "gone");
    }

    // Without a notification area, minimising must not hide the only way back.
    void withoutTrayTheWindowStaysShown() {
        Program p;
        p.tray.present = false;
        p.load();
        QVERIFY(p.frm->isVisible());
        p.frm->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(p.frm->isVisible());
    }

    void disabledMessagesWaitForTheNextMinute() {
        Program p;
        const qint64 first = p.add("Réunion", "actif", "0", "05/06/2026 09:05");
        const qint64 next = p.add("Appel", "actif", "0", "05/06/2026 09:06");
        p.load();
        ctl<QAction>(p.frm.get(), "mnuDesactiverMessage")->trigger();
        QCOMPARE(p.tray.toolTip, kTip + "\n(messages désactivés)");
        p.tick("05/06/2026 09:05:10");
        QVERIFY(p.frm->openNotes().isEmpty());
        QCOMPARE(p.row(first), "actif 05/06/2026 09:05");

        ctl<QAction>(p.frm.get(), "mnuDesactiverMessage")->trigger();
        QCOMPARE(p.tray.toolTip, kTip);
        p.tick("05/06/2026 09:06:05");
        QVERIFY(p.frm->openNotes().size() == 1 && p.frm->findNote(next));
        QCOMPARE(p.row(next), "affiche 05/06/2026 09:06");
        QCOMPARE(p.row(first), "actif 05/06/2026 09:05");
    }

    void dailyMessageFromEditorToNoteAndBack() {
        Program p;
        p.set("confirmation fermeture", "1");
        p.add("Ancien", "actif");
        p.load();
        p.ctrl(Qt::Key_N);
        frmAjoutMessage* e = p.frm->editor();
        QVERIFY(e && e->isVisible());
        QCOMPARE(editorShows(e), "Créer un nouveau message|||05/06/2026||0|");  // today, by the program's clock
        QTest::keyClicks(ctl<QLineEdit>(e, "txtTitre"), "Pharmacie");
        QTest::keyClicks(ctl<QPlainTextEdit>(e, "txtTexte"), "Prendre le sirop");
        ctl<QAction>(p.frm.get(), "mnuNouveauMessage")->trigger();  // asked again: the same editor, as typed
        QCOMPARE(p.frm->editor(), e);
        QCOMPARE(editorShows(e), "Créer un nouveau message|Pharmacie|Prendre le sirop|05/06/2026||0|");
        QTest::keyClicks(ctl<QLineEdit>(e, "txtHeure"), "09:05");
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        QTest::keyClicks(ctl<QLineEdit>(e, "txtDateFin"), "30/06/2026");
        QTest::keyClick(e, Qt::Key_E, Qt::ControlModifier);  // the series is long: no repeat warning
        QVERIFY(!e->isVisible());
        const qint64 id = p.sql("SELECT id FROM message WHERE titre = 'Pharmacie'").text(0).toLongLong();
        QCOMPARE(p.row(id), "actif 05/06/2026 09:05");

        p.tick("05/06/2026 09:05:10");
        frmTavanote* note = p.frm->findNote(id);
        QVERIFY(note && note->isVisible());
        QCOMPARE(p.row(id), "affiche 05/06/2026 09:05");

        p.closeDaily(note);
        QCOMPARE(p.row(id), "actif 06/06/2026 09:05");
        QCOMPARE(p.list(ListActifs), "Ancien,Pharmacie / 2");
    }
};

QTEST_MAIN(tst_commands)
#include "tst_commands.moc"
