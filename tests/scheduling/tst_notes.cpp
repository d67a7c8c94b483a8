// Notes through the main window: what the due check opens minute after minute and at start, what their closes
// leave in the file, and the due check's timer, autumn guard, list of late reminders and frame cache.
#include <sqlite3.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include "common/WindowHelpers.h"
#include "main_window/frmGestionMessages.h"
#include "scheduling/NoteScheduler.h"
#include "scheduling/frmRetards.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kCloseQuestion = QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?");

// Rings when the test says: the instant came, the computer woke, or the clock was set.
struct FakeAlarm : WallAlarm {
    void armAt(const QDateTime& at) override { armed = at; }
    void disarm() override { armed = QDateTime(); }
    QString armedText() const { return armed.toString("dd/MM/yyyy HH:mm:ss.zzz t"); }
    QDateTime armed;
};

// The main window, as far as the notes see it.
struct Host : NoteHost {
    bool deletingDisplayedMessage() const override { return false; }
    void RefreshMessageLists() override { ++refreshes; }
    void showAbout() override {}
    int refreshes = 0;
};

// A test world with a main window on it, loaded once the test's rows are in; the settings named in on are "1".
struct World : TestWorld {
    // Lets closed notes go, as the event loop would right after a close.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    explicit World(const QString& now, const QStringList& on = {}) : TestWorld(now) {
        for (const QString& key : on)
            settingsStore->set(kParametres, key, "1");
    }
    // One message first due at due ("dd/mm/yyyy hh:mm"); a periodic one ends in 2030.
    qint64 add(const QString& titre, const QString& due, const QString& code = "0", const QString& etat = "actif") {
        return insert(titre, "Texte de " + titre, due.left(10), due.mid(11), etat, code, due,
                      code == "0" ? QString() : QStringLiteral("31/12/2030 08:00"));
    }
    void load() {
        frm = std::make_unique<frmGestionMessages>(services(), false);
        QVERIFY(frm->Form_Load());
        QTRY_VERIFY_WITH_TIMEOUT(!frm->openingNotes(), 60000);  // start-up notes open a few at a turn
    }
    // The program's own ticks: the clock moves to the instant the due check is armed for, which then runs.
    void runMinutes(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            clock.set(frm->dueTimer().armedFor());
            frm->Timer2_Timer();
        }
    }
    QList<qint64> opened() { return ids(frm->openNotes()); }
    static QList<qint64> ids(const QList<frmTavanote*>& notes) {
        QList<qint64> ids;
        for (frmTavanote* note : notes)
            ids << note->messageId();
        return ids;
    }
    // "etat prochainaffichage" of each row, or "gone", joined by "; ".
    QString row(std::initializer_list<qint64> ids) {
        QStringList rows;
        for (const qint64 id : ids)
            rows << sql("SELECT ifnull(max(etat || ' ' || prochainaffichage), 'gone') FROM message WHERE id = " +
                        QString::number(id))
                        .text(0);
        return rows.join("; ");
    }
    frmTavanote* note(qint64 id) { return frm->findNote(id); }
    // Closes the note of id, the box telling text; gives its row then.
    QString close(qint64 id, const QString& text) {
        dialogs.expect(Icon::Information, text);
        const bool closed = note(id)->close();
        flushDeletes();
        return closed && dialogs.allAnswered() ? row({id}) : QStringLiteral("not closed");
    }
    // The window of the late reminders not opened as notes, when on screen.
    frmRetards* lateList() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* list = qobject_cast<frmRetards*>(window); list && list->isVisible())
                return list;
        }
        return nullptr;
    }
    std::unique_ptr<frmGestionMessages> frm;
};

}  // namespace

class tst_Notes : public QObject {
    Q_OBJECT
private slots:
    // Whatever woke the alarm (its minute, the computer waking, the clock set either way), the check runs at once
    // and the next one is armed for the start of the minute after the clock's new now; stopped, it runs no more.
    void dueTimerArmsForTheNextMinuteWhateverWokeIt() {
        FakeClock clock(dateTime("05/03/2026 08:00:00"));
        int checks = 0;
        auto check = [&] { ++checks; };
        auto* alarm = new FakeAlarm;
        DueTimer timer(clock, std::unique_ptr<WallAlarm>(alarm), check, nullptr);
        timer.start();
        QCOMPARE(alarm->armedText(), "05/03/2026 08:01:00.000 CET");
        // The clock (UTC) when the alarm rings, then the minute armed: the last millisecond of a minute, the eve of a
        // new year, the minute before the spring gap; then around the autumn change the armed minute rings twice,
        // the clock is set back two hours, then a day on, and the computer wakes three hours after the minute.
        const QStringList rings = {"2026-03-05T07:00:59.999Z 05/03/2026 08:01:00.000 CET",
                                   "2026-12-31T22:59:59.500Z 01/01/2027 00:00:00.000 CET",
                                   "2026-03-29T00:59:30Z 29/03/2026 03:00:00.000 CEST",
                                   "2026-10-25T00:58:10Z 25/10/2026 02:59:00.000 CEST",
                                   "2026-10-25T00:59:00Z 25/10/2026 02:00:00.000 CET",
                                   "2026-10-25T01:00:00Z 25/10/2026 02:01:00.000 CET",
                                   "2026-10-24T23:00:00Z 25/10/2026 01:01:00.000 CEST",
                                   "2026-10-25T23:00:00Z 26/10/2026 00:01:00.000 CET",
                                   "2026-10-26T02:01:37Z 26/10/2026 03:02:00.000 CET"};
        for (const QString& ring : rings) {
            clock.set(QDateTime::fromString(ring.section(' ', 0, 0), Qt::ISODateWithMs).toLocalTime());
            alarm->ringing();
            QVERIFY2(alarm->armedText() == ring.section(' ', 1), qPrintable(ring));
        }
        timer.stop();
        alarm->ringing();
        QVERIFY(checks == 10 && !alarm->armed.isValid());
    }

    // Ticking at each minute's start, each message opens in the tick of its minute (at load for the minute the
    // program starts in), once; a clock set back opens nothing again, one set a day forward opens the skipped
    // minutes' messages late, once. A next display not written as the program writes it, or one of a message shown
    // at start, is never due.
    void everyMinuteOpensItsMessagesOnce() {
        World w("05/03/2026 07:58:50");
        const qint64 first = w.add("Réveil", "05/03/2026 07:58");  // due in the minute the program starts: at load
        const qint64 a = w.add("Dentiste", "05/03/2026 08:00");
        const qint64 b = w.add("Banque", "05/03/2026 08:01", "1");
        const qint64 c = w.add("Courrier", "05/03/2026 08:01");
        const qint64 d = w.add("Coiffeur", "05/03/2026 08:30");
        const qint64 noZeros = w.insert("Sans zéros", "Texte", "5/3/2026", "08:10", "actif", "0", "5/3/2026 08:10", {});
        w.load();
        const qint64 atStart = w.add("Au démarrage", "05/03/2026 08:01", "9");  // after the load, which opens such
        QList<QList<qint64>> seen;
        for (int minute = 0; minute < 4; ++minute) {
            w.runMinutes(1);
            seen << w.opened();
        }
        QCOMPARE(seen, QList<QList<qint64>>({{first}, {first, a}, {first, a, b, c}, {first, a, b, c}}));
        QCOMPARE(w.note(a)->windowTitle() + ": " + ctl<QTextEdit>(w.note(a), "txtMessage")->toPlainText(),
                 "Dentiste: Texte de Dentiste");
        // A row on screen made active again for a later minute by another writer: its note is not opened twice.
        w.sql(QStringLiteral("UPDATE message SET etat = 'actif', prochainaffichage = '05/03/2026 08:03' WHERE id = %1")
                  .arg(a));
        w.clock.set(dateTime("05/03/2026 07:59:30"));
        w.frm->Timer2_Timer();
        w.runMinutes(4);
        QCOMPARE(w.opened(), QList<qint64>({first, a, b, c}));
        w.clock.set(dateTime("06/03/2026 08:45:12"));
        w.frm->Timer2_Timer();
        w.runMinutes(2);
        QCOMPARE(w.opened(), QList<qint64>({first, a, b, c, d}));
        QCOMPARE(w.row({d, noZeros, atStart}),
                 "affiche 05/03/2026 08:30; actif 5/3/2026 08:10; actif 05/03/2026 08:01");
        // Destroying the main window takes the notes away without their close handling, and without a box.
        const QPointer<frmTavanote> note = w.note(b);
        w.frm.reset();
        World::flushDeletes();
        QVERIFY(!note && w.dialogs.shown.empty());
        QCOMPARE(w.row({b, c}), QStringLiteral("affiche 05/03/2026 08:01; affiche 05/03/2026 08:01"));
    }

    // The hour lived twice in the autumn: the ticks go on minute after minute, as the program's own, and the
    // message due at 02:30, opened and acknowledged in the first 02:30, does not open in the second.
    void hourLivedTwiceOpensOnce() {
        World w("25/10/2026 01:50", {"suppression"});
        const qint64 id = w.add("Heure d'hiver", "25/10/2026 02:30");
        w.load();
        int openings = 0;
        for (int minute = 0; minute < 150; ++minute) {
            w.runMinutes(1);
            if (w.note(id)) {
                ++openings;
                QCOMPARE(w.close(id, "Message: Heure d'hiver\n\nCe message est maintenant érroné."),
                         "errone 25/10/2026 02:30");
                w.sql(QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = %1").arg(id));
            }
        }
        QCOMPARE(w.clock.now().toString("HH:mm t"), "03:20 CET");
        QCOMPARE(openings, 1);
    }

    // The notes opened at start open from the next turn of the event loop on, a few at a turn, each message marked
    // displayed only once its note is on screen; a row deleted or changed meanwhile is left alone; the program
    // ending while they wait leaves their messages as they were.
    void startupNotesOpenAfterTheLoadAFewAtATurn() {
        World w("05/03/2026 09:30");
        w.openStore();
        QList<qint64> every;
        for (int i = 0; i < 60; ++i)
            every << w.add(QStringLiteral("N%1").arg(i), "01/01/2026 08:00", "9");
        const qint64 late = w.add("Oubli", "04/03/2026 08:00");
        const std::vector<LateDisplay> missed = {{*w.store.find(late), dateTime("04/03/2026 08:00")}};
        Host host;
        {  // ending
            NoteScheduler ending(w.services(), host);
            ending.openStartupNotes(missed);
            ending.stop();
            QCoreApplication::sendPostedEvents(&ending, QEvent::MetaCall);
            QVERIFY(!ending.opening() && ending.openNotes().isEmpty() && w.count("etat = 'affiche'") == 0);
        }
        NoteScheduler scheduler(w.services(), host);
        scheduler.openStartupNotes(missed);
        QVERIFY(scheduler.openNotes().isEmpty());
        w.sql(QStringLiteral("DELETE FROM message WHERE id = %1").arg(every[30]));
        w.sql(QStringLiteral("UPDATE message SET periodicite = '1' WHERE id = %1").arg(every[31]));
        int turns = 0;
        for (; scheduler.opening(); ++turns) {
            const int before = scheduler.openNotes().size();
            QCoreApplication::sendPostedEvents(&scheduler, QEvent::MetaCall);
            QVERIFY(scheduler.openNotes().size() - before <= NoteScheduler::kNotesPerTurn);
            QCOMPARE(w.count("etat = 'affiche'"), scheduler.openNotes().size());
        }
        QVERIFY2(turns > 1, "all the notes opened in one turn");
        QCOMPARE(World::ids(scheduler.openNotes()), every.mid(0, 30) + every.mid(32) + QList<qint64>{late});
        QCOMPARE(host.refreshes, 1);
    }

    // A tick during a note's close question (Esc, answered No, then its close answered No) waits for the answer;
    // answered in the next minute, it still opens the message of the minute it fell in, once.
    void ticksWaitForTheCloseQuestion() {
        World w("05/03/2026 07:59", {"confirmation fermeture", "suppression"});
        const qint64 id = w.add("Dentiste", "05/03/2026 08:00", "3");
        const qint64 later = w.add("Banque", "05/03/2026 08:01");
        w.load();
        w.runMinutes(1);
        QPointer<frmTavanote> note = w.note(id);
        int inBox = -1;  // notes open while the box was
        w.dialogs.whileNextBoxOpen = [&] {
            w.runMinutes(1);
            inBox = int(w.opened().size());
        };
        w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
        QTest::keyClick(note, Qt::Key_Escape);
        w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
        QVERIFY(!note->close());
        QVERIFY(w.dialogs.allAnswered() && w.dialogs.shown[0].buttons == Buttons::YesNo);
        QCOMPARE(inBox, 1);
        World::flushDeletes();
        QVERIFY(note && note->isVisible());
        w.clock.set(dateTime("05/03/2026 08:02:10"));
        QTRY_COMPARE(w.opened(), QList<qint64>({id, later}));
        w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::Yes);
        QCOMPARE(w.close(later, "Message: Banque\n\nCe message est maintenant érroné."),
                 QStringLiteral("errone 05/03/2026 08:01"));
    }

    // On a full disk the notes still open, once each, and the user is told once; a close that cannot be
    // written keeps its note and says why.
    void fullDiskIsToldOnceAndNotesOpenOnce() {
        World w("05/03/2026 07:59");
        const qint64 once = w.add("Dentiste", "05/03/2026 08:00");
        const qint64 daily = w.add("Courrier", "05/03/2026 08:00", "2");
        const qint64 next = w.add("Banque", "05/03/2026 08:01");
        w.load();
        w.store.failWritesWith(SQLITE_FULL);
        const QString full = QStringLiteral(
            "Le disque est plein: libérez de la place sur le disque, puis recommencez.\n(database or disk is full)");
        w.dialogs.expect(Icon::Exclamation,
                         "Un message est affiché, mais le fichier des messages n'a pas pu "
                         "enregistrer qu'il l'est: il y reste actif.\n\n" +
                             full);
        w.runMinutes(2);  // the fault lasts into the next minute: not told again
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.opened(), (QList<qint64>{once, daily, next}));
        QCOMPARE(w.row({once, daily, next}), "actif 05/03/2026 08:00; actif 05/03/2026 08:00; actif 05/03/2026 08:01");
        const QString kept = QStringLiteral("Message: Dentiste\n\nCe message est maintenant érroné.");
        w.dialogs.expect(Icon::Information, kept);
        w.dialogs.expect(Icon::Exclamation,
                         "Impossible d'enregistrer la fermeture du message \"Dentiste\".\nLe "
                         "message reste affiché et n'a pas été modifié.\n\n" +
                             full);
        QVERIFY(!w.note(once)->close());
        QVERIFY(w.dialogs.allAnswered());
        // Room again: the closes go through, and neither message opens again in its minute.
        w.store.failWritesWith(0);
        QCOMPARE(w.close(once, kept), QStringLiteral("errone 05/03/2026 08:00"));
        QCOMPARE(w.close(daily,
                         "Ce message est periodique (affiché tous les jours).\nSon prochain affichage est "
                         "prévu pour le:06/03/2026 à 08:00"),
                 QStringLiteral("actif 06/03/2026 08:00"));
        w.frm->Timer2_Timer();
        QCOMPARE(w.opened(), QList<qint64>({next}));
    }

    // More late reminders than fit on a screen: the 20 most recent open as notes, showing when they were due, in
    // the colour set; the others wait in one list until opened or acknowledged there.
    void floodOfLateRemindersIsListed() {
        World w("05/03/2026 09:00");
        w.settingsStore->set(kParametres, "couleur", "255");
        QList<qint64> ids;
        for (int i = 0; i < 24; ++i)
            ids << w.add(QStringLiteral("R%1").arg(i), QStringLiteral("04/03/2026 08:%1").arg(i, 2, 10, QChar('0')));
        w.load();
        const QList<qint64> notes = w.opened();
        QCOMPARE(QSet<qint64>(notes.begin(), notes.end()), QSet<qint64>(ids.begin() + 4, ids.end()));
        frmTavanote* note = w.note(ids[23]);
        QCOMPARE(ctl<QLabel>(note, "lblJour")->text() + '|' + ctl<QLabel>(note, "lblheure")->text(),
                 "04/03/2026|08:23");
        QCOMPARE(ctl<QTextEdit>(note, "txtMessage")->palette().color(QPalette::Base), QColor(255, 0, 0));
        auto* grid = ctl<QTableWidget>(w.lateList(), "MSFretards");
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->item(0, 0)->text() + ' ' + grid->item(0, 1)->text(), "R3 04/03/2026 08:03");
        grid->selectRow(0);
        ctl<QPushButton>(w.lateList(), "cmdAfficher")->click();
        QVERIFY(w.note(ids[3]));
        w.dialogs.expect(Icon::Question, "Acquitter les 3 messages en retard de la liste ?", Answer::Yes);
        ctl<QPushButton>(w.lateList(), "cmdToutAcquitter")->click();
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.row({ids[2], ids[4]}), "errone 04/03/2026 08:02; affiche 04/03/2026 08:04");
        QVERIFY(!w.lateList());
    }

    void frameAskedOncePerKindOfWindow() {
        FrameCache cache;
        int asked = 0;
        const QMargins frame(1, 22, 1, 1);
        for (int note = 0; note < 100; ++note) {
            QCOMPARE(cache.frame("frmTavanote", [&] { return ++asked, std::optional<QMargins>(frame); }), frame);
            QCOMPARE(cache.frame("frmSilent", [&] { return ++asked, std::optional<QMargins>(); }), std::nullopt);
        }
        QCOMPARE(asked, 2);
        cache.seen("frmSilent", frame);
        QCOMPARE(cache.frame("frmSilent", [&] { return ++asked, std::optional<QMargins>(); }), frame);
    }
};

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
