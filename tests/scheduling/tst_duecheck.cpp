#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "common/WindowHelpers.h"
#include "main_window/frmGestionMessages.h"
#include "scheduling/DueTimer.h"
#include "scheduling/frmRetards.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// Rings when the test says: the instant came, the computer woke, or the clock was set.
struct FakeAlarm : WallAlarm {
    void armAt(const QDateTime& at) override { armed = at; }
    void disarm() override { armed = QDateTime(); }
    QDateTime armed;
};

struct World : TestWorld {
    using TestWorld::TestWorld;
    qint64 add(const QString& titre, const QString& due, const QString& code = "0") {
        return insert(titre, "Texte", due.left(10), due.mid(11), "actif", code, due,
                      code == QLatin1String("0") ? QString() : QStringLiteral("31/12/2030 08:00"));
    }
    void load() {
        frm = std::make_unique<frmGestionMessages>(services(), false);
        QVERIFY(frm->Form_Load());
        QTRY_VERIFY(!frm->openingNotes());
    }
    // The program's own ticks: the clock moves to the instant the due check is armed for, which then runs.
    void runMinutes(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            clock.set(frm->dueTimer().armedFor());
            frm->Timer2_Timer();
        }
    }
    QList<qint64> opened() {
        QList<qint64> ids;
        for (frmTavanote* note : frm->openNotes())
            ids << note->messageId();
        return ids;
    }
    QString state(qint64 id) {
        SqlRows rs = sql(QStringLiteral("SELECT etat || ' ' || prochainaffichage FROM message WHERE id = %1").arg(id));
        rs.moveFirst();
        return rs.isEmpty() ? QStringLiteral("gone") : rs.text(0);
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

QString text(const QDateTime& at) {
    return at.toString("dd/MM/yyyy HH:mm:ss.zzz t");
}

}  // namespace

class tst_DueCheck : public QObject {
    Q_OBJECT
private slots:
    void armedForTheStartOfTheNextMinute_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("msec");
        QTest::addColumn<QString>("armed");
        QTest::newRow("first ms") << "05/03/2026 08:00:00" << 0 << "05/03/2026 08:01:00.000 CET";
        QTest::newRow("last ms") << "05/03/2026 08:00:59" << 999 << "05/03/2026 08:01:00.000 CET";
        QTest::newRow("midnight") << "31/12/2026 23:59:59" << 500 << "01/01/2027 00:00:00.000 CET";
        QTest::newRow("spring") << "29/03/2026 01:59:30" << 0 << "29/03/2026 03:00:00.000 CEST";
    }
    void armedForTheStartOfTheNextMinute() {
        QFETCH(QString, now);
        QFETCH(int, msec);
        QFETCH(QString, armed);
        FakeClock clock(dateTime(now).addMSecs(msec));
        int checks = 0;
        auto* alarm = new FakeAlarm;
        DueTimer timer(
            clock, std::unique_ptr<WallAlarm>(alarm), [&] { ++checks; }, nullptr);
        timer.start();
        QCOMPARE(checks, 1);
        QCOMPARE(text(alarm->armed), armed);
        // Without a wall alarm, the precise timer waits exactly as long.
        DueTimer fallback(
            clock, nullptr, [] {}, nullptr);
        fallback.start();
        auto* timer2 = fallback.findChild<QTimer*>("Timer2");
        QVERIFY(timer2->isActive() && timer2->isSingleShot());
        QCOMPARE(timer2->interval(), clock.now().msecsTo(dateTime(armed.left(19))));
    }

    // Whatever woke the alarm (its minute, the computer waking, the clock set either way), the check runs at once
    // and the next one is armed for the minute after the clock's new now; stopped, it runs no more.
    void ringingChecksAndArmsAfterTheNewNow() {
        FakeClock clock(dateTime("25/10/2026 02:58:10"));  // summer time
        QStringList checked;
        auto* alarm = new FakeAlarm;
        DueTimer timer(
            clock, std::unique_ptr<WallAlarm>(alarm), [&] { checked << clock.now().toString("HH:mm:ss"); }, nullptr);
        timer.start();
        // Seconds after the armed instant: its minute twice, the clock set back, set a day on, the computer waking
        // three hours after it.
        QStringList armed;
        for (const int late : {0, 0, -7260, 86340, 10837}) {
            clock.set(alarm->armed.addSecs(late));
            alarm->ringing();
            armed << text(alarm->armed);
        }
        QCOMPARE(checked, QStringList({"02:58:10", "02:59:00", "02:00:00", "01:00:00", "00:00:00", "03:01:37"}));
        QCOMPARE(armed, QStringList({"25/10/2026 02:00:00.000 CET", "25/10/2026 02:01:00.000 CET",
                                     "25/10/2026 01:01:00.000 CEST", "26/10/2026 00:01:00.000 CET",
                                     "26/10/2026 03:02:00.000 CET"}));
        timer.stop();
        alarm->ringing();
        QCOMPARE(checked.size(), 6);
        QVERIFY(!alarm->armed.isValid());
    }

    // Ticking at each minute's start, each message opens in the tick of its minute, once; a clock set back opens
    // nothing again, one set forward opens the skipped minutes' messages late, once.
    void everyMinuteCoveredOnce() {
        World w("05/03/2026 07:58");
        const qint64 a = w.add("A", "05/03/2026 08:00");
        const qint64 b = w.add("B", "05/03/2026 08:01", "1");
        const qint64 c = w.add("C", "05/03/2026 08:01");
        const qint64 d = w.add("D", "05/03/2026 08:30");
        w.load();
        QList<QList<qint64>> seen;
        for (int minute = 0; minute < 4; ++minute) {
            w.runMinutes(1);
            seen << w.opened();
        }
        QCOMPARE(seen, QList<QList<qint64>>({{}, {a}, {a, b, c}, {a, b, c}}));
        QCOMPARE(w.clock.now().toString("HH:mm:ss"), "08:02:00");
        w.clock.set(dateTime("05/03/2026 07:59:30"));
        w.frm->Timer2_Timer();
        w.runMinutes(3);
        QCOMPARE(w.opened(), QList<qint64>({a, b, c}));
        w.clock.set(dateTime("05/03/2026 08:45:12"));
        w.frm->Timer2_Timer();
        w.runMinutes(2);
        QCOMPARE(w.opened(), QList<qint64>({a, b, c, d}));
        QCOMPARE(w.state(d), "affiche 05/03/2026 08:30");
    }

    // The hour lived twice in the autumn: the ticks go on minute after minute, as the program's own, and the
    // message due at 02:30, opened and acknowledged in the first 02:30, does not open in the second.
    void hourLivedTwiceOpensOnce() {
        World w("25/10/2026 01:50");
        w.settingsStore->set(kParametres, "suppression", "1");
        const qint64 id = w.add("Heure d'hiver", "25/10/2026 02:30");
        w.load();
        int openings = 0;
        for (int minute = 0; minute < 150; ++minute) {
            w.runMinutes(1);
            if (frmTavanote* note = w.frm->findNote(id)) {
                ++openings;
                w.dialogs.expect(Icon::Information, "Message: Heure d'hiver\n\nCe message est maintenant érroné.");
                QVERIFY(note->close());
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                w.sql(QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = %1").arg(id));
            }
        }
        QCOMPARE(w.clock.now().toString("HH:mm t"), "03:20 CET");
        QCOMPARE(openings, 1);
        QCOMPARE(w.state(id), "actif 25/10/2026 02:30");
    }

    // More late reminders than fit on a screen: the most recent open as notes, the others wait in one list until
    // opened or acknowledged there.
    void floodOfLateRemindersIsListed() {
        World w("05/03/2026 09:00");
        QList<qint64> ids;
        for (int i = 0; i < 24; ++i)
            ids << w.add(QStringLiteral("R%1").arg(i), QStringLiteral("04/03/2026 08:%1").arg(i, 2, 10, QChar('0')));
        w.load();
        QList<qint64> notes = w.opened();
        std::sort(notes.begin(), notes.end());
        QCOMPARE(notes, ids.mid(4));
        frmRetards* list = w.lateList();
        QVERIFY(list && list->isVisible());
        auto* grid = ctl<QTableWidget>(list, "MSFretards");
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->item(0, 0)->text() + ' ' + grid->item(0, 1)->text(), "R3 04/03/2026 08:03");
        grid->selectRow(0);
        ctl<QPushButton>(list, "cmdAfficher")->click();
        QVERIFY(w.frm->findNote(ids[3]));
        w.dialogs.expect(Icon::Question, "Acquitter les 3 messages en retard de la liste ?", Answer::Yes);
        ctl<QPushButton>(list, "cmdToutAcquitter")->click();
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.state(ids[2]) + "; " + w.state(ids[4]), "errone 04/03/2026 08:02; affiche 04/03/2026 08:04");
        QVERIFY(!w.lateList());
    }

    void frameAskedOncePerKind() {
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

QTEST_MAIN(tst_DueCheck)
#include "tst_duecheck.moc"
