// The scheduling rules: instants read, periods stepped, and the start-up pass over a real message file, also when
// the file is busy, full or refuses a row.
#include <sqlite3.h>

#include <QRandomGenerator>
#include <QTest>
#include <thread>

#include "StoreFixture.h"
#include "support/NextDisplayByLoop.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const char* const kDaily = "31/12/2026 08:00";

// Three overdue messages already marked "errone" (so none opens late), two periodic ones and one shown once, first
// in their file; and their rows then, one deleted left out.
void addOverdue(StoreFixture& f) {
    f.insert("Courrier", "errone", "2", "10/03/2026 08:00", kDaily);
    f.insert("Piscine", "errone", "3", "05/03/2026 18:30", "31/12/2026 18:30");
    f.insert("Dentiste", "errone", "0", "11/03/2026 09:00", QString());
}
QString overdue(StoreFixture& f) {
    return f.query("SELECT group_concat(etat || ' ' || prochainaffichage, ' | ') FROM message WHERE id <= 3");
}
const QString kUntouched = "errone 10/03/2026 08:00 | errone 05/03/2026 18:30 | errone 11/03/2026 09:00";
const QString kStepped = "errone 13/03/2026 08:00 | errone 12/03/2026 18:30";

}  // namespace

class tst_Schedule : public QObject {
    Q_OBJECT
private slots:
    void readsInstants() {
        // The day comes first, leading zeros are optional, seconds dropped, a date alone is midnight.
        const QStringList read = {"05/03/2026 08:00>05/03/2026 08:00", "5/3/2026 8:00>05/03/2026 08:00",
                                  "12/03/2026 09:15:42>12/03/2026 09:15", "12/03/2026>12/03/2026 00:00"};
        for (const QString& text : read)
            QCOMPARE(shown(readInstant(text.section('>', 0, 0))), text.section('>', 1));
        const QStringList refused =
            QStringLiteral(
                ";   ;demain matin;31/02/2026 08:00;29/02/2026 08:00;01/13/2026 08:00;05/03/2026 "
                "25:00;05/03/2026 08:60;2026-03-05 08:00")
                .split(';');
        QVERIFY(!readInstant(QString()));
        for (const QString& text : refused)
            QVERIFY2(!readInstant(text), qPrintable(text));
    }

    // Fixed steps add wall-clock time: the spring change in Paris (29/03/2026 02:00 -> 03:00) shortens nothing.
    // Calendar steps keep the day or take the last day of the month.
    void stepsOnePeriod() {
        const QStringList steps = {"1 29/03/2026 01:30 29/03/2026 02:30", "2 28/03/2026 08:00 29/03/2026 08:00",
                                   "3 24/10/2026 09:00 31/10/2026 09:00", "4 31/01/2026 10:00 28/02/2026 10:00",
                                   "4 31/01/2028 10:00 29/02/2028 10:00", "5 31/12/2026 10:00 28/02/2027 10:00",
                                   "6 31/10/2026 10:00 31/01/2027 10:00", "7 31/08/2026 07:45 28/02/2027 07:45",
                                   "8 29/02/2028 10:00 28/02/2029 10:00"};
        for (const QString& step : steps)  // code, from, to
            QVERIFY2(formatDateTime(addStep(step.left(1).toInt(), at(step.mid(2, 16)))) == step.mid(19),
                     qPrintable(step));
    }

    void fastRuleAgreesWithSteppingOnePeriodAtATime() {
        for (const qint64 code : {0, 9, -1, 10})
            QVERIFY(!hasStep(code) && !nextDisplay(code, at("10/03/2026 08:00"), std::nullopt, at("01/03/2026 00:00")));
        QRandomGenerator random(20260305);
        int expired = 0;
        for (int i = 0; i < 6000; ++i) {
            const qint64 code = 1 + random.bounded(8);
            // Bases on the last four days of a month, which calendar steps shorten, 29 February included.
            const QDate month(2024 + random.bounded(5), 1 + random.bounded(12), 1);
            const QDateTime base = naiveInstant(month.addDays(month.daysInMonth() - 1 - random.bounded(4)),
                                                QTime(random.bounded(24), random.bounded(60)));
            // Hourly stepping over thirty years is slow: three years but for a handful of cases.
            const quint32 reachMinutes = (code == 1 && i % 200 != 0 ? 3 : 30) * 525600;
            const int pick = random.bounded(4);  // before the base, on a candidate, or after the base
            QDateTime now = pick == 0   ? base.addSecs(-60 * random.bounded(60 * 24 * 400))
                            : pick == 1 ? base
                                        : base.addSecs(60 * random.bounded(reachMinutes));
            for (int s = pick == 1 ? random.bounded(code == 1 ? 2000 : 300) : 0; s > 0; --s)
                now = addStep(code, now);
            std::optional<QDateTime> end;  // none, or up to a year either side of now
            if (random.bounded(3) > 0)
                end = now.addSecs(60 * (qint64(random.bounded(2 * 525600)) - 525600));
            const std::optional<QDateTime> loop = nextDisplayByLoop(code, base, end, now);
            const QString fast = shown(nextDisplay(code, base, end, now));
            QVERIFY2(fast == shown(loop),
                     qPrintable(QStringLiteral("code %1, base %2, end %3, now %4: %5, not %6")
                                    .arg(QString::number(code), formatDateTime(base),
                                         end ? formatDateTime(*end) : "none", formatDateTime(now), fast, shown(loop))));
            expired += loop ? 0 : 1;
            if (!loop)
                continue;
            // The end right on the answer keeps it; one minute earlier the series expires.
            QCOMPARE(shown(nextDisplay(code, base, *loop, now)), shown(loop));
            QCOMPARE(shown(nextDisplay(code, base, loop->addSecs(-60), now)), QStringLiteral("expired"));
        }
        QVERIFY(expired > 100 && expired < 5000);
    }

    // Each row, "suppression etat code|next|end|after" (end NULL: none), in the file at 12/03/2026 09:15: the row
    // after the pass ("etat next" or "gone"), then " unreadable" or " late <display>" for a note it leaves to open
    // late. Whatever the row, the pass goes on to the next one.
    void startupPass() {
        const QStringList rows = {
            // What was missed is left for a late note; errone rows only step; due at this very minute is not missed.
            "0 actif 2|10/03/2026 08:00|31/12/2026 08:00|actif 10/03/2026 08:00 late 12/03/2026 08:00",
            "1 errone 2|10/03/2026 08:00|31/12/2026 08:00|errone 13/03/2026 08:00",
            "0 actif 3|12/03/2026 09:15|31/12/2026 08:00|actif 12/03/2026 09:15",
            // Once is never expired unseen.
            "0 actif 0|11/03/2025 14:00|NULL|actif 11/03/2025 14:00 late 11/03/2025 14:00",
            "0 errone 0|11/03/2026 14:00|NULL|gone",
            // Seven days back at most: the limit itself is late, a minute before it is stepped silently.
            "0 actif 4|05/03/2026 09:15|31/12/2026 08:00|actif 05/03/2026 09:15 late 05/03/2026 09:15",
            "0 actif 4|05/03/2026 09:14|31/12/2026 08:00|actif 05/04/2026 09:14",
            // An ended series shows its last display when it is recent; otherwise it expires at once.
            "0 actif 3|02/03/2026 18:00|11/03/2026 18:00|actif 02/03/2026 18:00 late 09/03/2026 18:00",
            "1 actif 3|02/02/2026 18:00|11/02/2026 18:00|errone 02/02/2026 18:00",
            // Codes 9 and past it (another tool's) are left alone, however late; hourly ten years behind is late.
            "0 errone 9|||errone", "0 actif 10|10/03/2026 08:00|11/03/2026 08:00|actif 10/03/2026 08:00",
            "0 actif 1|12/03/2016 08:00|31/12/2030 08:00|actif 12/03/2016 08:00 late 12/03/2026 09:00",
            // A row whose next display or end cannot be read is left as it is.
            "0 actif 0|demain|NULL|actif demain unreadable",
            "0 actif 2|10/03/2026 08:00|fin de l'année|actif 10/03/2026 08:00 unreadable",
            "0 actif 8|10/03/2026 08:00|NULL|actif 10/03/2026 08:00 unreadable"};
        for (const QString& row : rows) {
            const QStringList c = row.split('|');
            const QStringList head = c[0].split(' ');
            StoreFixture f(head[0]);
            const qint64 id = f.insert("Médicament", head[1], head[2], c[1], c[2] == "NULL" ? QString() : c[2]);
            const qint64 next = f.insert("Suivant", "errone", "2", "10/03/2026 08:00", kDaily);
            const StartupPassResult result = runStartupPass(f.store, f.expiry, at("12/03/2026 09:15"));
            QString after = f.row(id).trimmed() + (result.unreadable == 1 ? " unreadable" : "");
            for (const LateDisplay& late : result.late)
                after += QStringLiteral(" late ") + formatDateTime(late.at);
            QVERIFY2(after == c[3] && result.failed == 0, qPrintable(row + ": " + after));
            QCOMPARE(f.row(next), QStringLiteral("errone 13/03/2026 08:00"));
        }
    }

    // The pass waits a moment for another writer; on a full disk it changes nothing and says so, and the next start
    // brings the rows up to date (another writer all along: tst_frmgestionmessages).
    void passWaitsForAnotherWriterAndIsAllOrNothing() {
        for (const int sqlite : {0, SQLITE_FULL}) {  // a failure of every write, 0: none
            StoreFixture f;
            addOverdue(f);
            SqlProbe other(MessageStore::pathIn(f.dir.path()));
            other.must(QStringLiteral("BEGIN IMMEDIATE"));
            std::thread lettingGo([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                other.must(QStringLiteral("COMMIT"));
            });
            f.store.failWritesWith(sqlite);
            const StartupPassResult result = runStartupPass(f.store, f.expiry, at("12/03/2026 09:15"));
            lettingGo.join();
            const QString report = startupPassReport(result);
            QCOMPARE(overdue(f), sqlite ? kUntouched : kStepped);
            if (!sqlite) {
                QVERIFY(result.error.ok() && report.isEmpty());
                continue;
            }
            QVERIFY2(report.startsWith("Les messages dont l'heure d'affichage est passée n'ont pas pu être mis à "
                                       "jour: aucun message n'a été modifié.\nIls le seront au prochain démarrage "
                                       "du programme.\n\nLe disque est plein"),
                     qPrintable(report));
            f.store.failWritesWith(0);
            QVERIFY(runStartupPass(f.store, f.expiry, at("12/03/2026 09:15")).error.ok());
            QCOMPARE(overdue(f), kStepped);
        }
    }

    // A row the file refuses stays as it is and is listed; so does a title over 30 characters written by another
    // tool, which the file would refuse to write whole.
    void refusedRowIsSkippedAndListed() {
        StoreFixture f;
        addOverdue(f);
        SqlProbe tool(MessageStore::pathIn(f.dir.path()));
        tool.must(QStringLiteral("PRAGMA ignore_check_constraints = 1"));
        tool.must(
            QStringLiteral("INSERT INTO message (titre, etat, periodicite, prochainaffichage, dernieraffichage) "
                           "VALUES ('Un titre écrit par un autre outil, bien trop long', 'errone', '2', "
                           "'10/03/2026 10:00', '31/12/2026 10:00')"));
        const qint64 tooLong = f.query(QStringLiteral("SELECT max(id) FROM message")).toLongLong();
        const qint64 guarded = f.insert("Gardé", "errone", "0", "10/03/2026 11:00", QString());
        f.query(
            QStringLiteral("CREATE TRIGGER garde BEFORE DELETE ON message WHEN old.titre = 'Gardé' "
                           "BEGIN SELECT RAISE(ABORT, 'ligne protégée'); END"));
        const StartupPassResult result = runStartupPass(f.store, f.expiry, at("12/03/2026 09:15"));
        QVERIFY(result.error.ok());
        QCOMPARE(overdue(f), kStepped);
        QCOMPARE(f.row(tooLong) + " | " + f.row(guarded), "errone 10/03/2026 10:00 | errone 10/03/2026 11:00");
        QCOMPARE(startupPassReport(result),
                 QStringLiteral("Les messages suivants n'ont pas pu être mis à jour: le fichier les refuse tels "
                                "qu'ils sont.\nIls restent inchangés; modifiez-les ou supprimez-les.\n\n- Un titre "
                                "écrit par un autre outil, bien trop long\n- Gardé"));
    }
};

QTEST_GUILESS_MAIN(tst_Schedule)
#include "tst_schedule.moc"
