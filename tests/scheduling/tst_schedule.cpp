#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include "StoreFixture.h"
#include "scheduling/Schedule.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kEnd = QStringLiteral("31/12/2030 10:00");

}  // namespace

class tst_Schedule : public QObject {
    Q_OBJECT
private slots:
    // Reading instants
    void readsDayFirstWithOrWithoutLeadingZeros();
    void refusesTextsThatAreNoInstant_data();
    void refusesTextsThatAreNoInstant();

    // Steps and the stepping rule
    void fixedStepsAddWallClockTime();
    void calendarStepKeepsTheDayOrTakesTheLastDayOfTheMonth();
    void firstCandidateIsOneStepAfterTheBaseEvenWhenTheBaseIsAhead();
    void candidateOnTheEndIsKeptOneMinuteAfterExpires();
    void codesWithoutStepGiveNothing();
    void fastRuleAgreesWithSteppingOnePeriodAtATime();

    // Expiry
    void expiryDeletesOrMarksErroneByTheSuppressionSetting();

    // Start-up pass
    void dailyMessageMissedIsMovedToTheNextDayAfterNow();
    void candidateEqualToNowIsPassedOver();
    void messageDueLaterTodayIsLeftInEveryState();
    void oneTimeMessagePassedIsDeletedOrMadeErrone();
    void seriesWhoseEndPassedExpiresWithoutStepping();
    void monthlyAndYearlyMessagesKeepTheShortenedDay();
    void stepPastTheEndExpiresStepOnTheEndIsKept();
    void startupMessagesAreNeverChanged();
    void displayedAndErroneRowsKeepTheirStateButAreStepped();
    void erroneOneTimeRowGoesThroughExpiryAgain();
    void unreadableRowsAreLeftAloneAndThePassGoesOn();
    void hourlyMessageTenYearsBehindIsSteppedToTheNextHour();
};

// --- Reading instants ---

void tst_Schedule::readsDayFirstWithOrWithoutLeadingZeros() {
    QCOMPARE(formatDateTime(at(QStringLiteral("05/03/2026 08:00"))), QStringLiteral("05/03/2026 08:00"));
    QCOMPARE(formatDateTime(at(QStringLiteral("5/3/2026 8:00"))), QStringLiteral("05/03/2026 08:00"));
    QCOMPARE(formatDateTime(at(QStringLiteral("12/03/2026 09:15:42"))), QStringLiteral("12/03/2026 09:15"));
    QCOMPARE(formatDateTime(at(QStringLiteral("12/03/2026"))), QStringLiteral("12/03/2026 00:00"));
    // Day first: 03/12 is the third of December.
    QCOMPARE(at(QStringLiteral("03/12/2026 10:00")).date(), QDate(2026, 12, 3));
}

void tst_Schedule::refusesTextsThatAreNoInstant_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("words") << QStringLiteral("demain matin");
    QTest::newRow("31 February") << QStringLiteral("31/02/2026 08:00");
    QTest::newRow("29 February of a common year") << QStringLiteral("29/02/2026 08:00");
    QTest::newRow("month 13") << QStringLiteral("01/13/2026 08:00");
    QTest::newRow("hour 25") << QStringLiteral("05/03/2026 25:00");
    QTest::newRow("minute 60") << QStringLiteral("05/03/2026 08:60");
    QTest::newRow("year first") << QStringLiteral("2026-03-05 08:00");
}

void tst_Schedule::refusesTextsThatAreNoInstant() {
    QFETCH(QString, text);
    QVERIFY(!readInstant(text));
}

// --- Steps and the stepping rule ---

void tst_Schedule::fixedStepsAddWallClockTime() {
    // The spring change in Paris (29/03/2026 02:00 -> 03:00) does not shorten a step.
    QCOMPARE(formatDateTime(addStep(1, at("29/03/2026 01:30"))), QStringLiteral("29/03/2026 02:30"));
    QCOMPARE(formatDateTime(addStep(1, at("31/12/2026 23:30"))), QStringLiteral("01/01/2027 00:30"));
    QCOMPARE(formatDateTime(addStep(2, at("28/03/2026 08:00"))), QStringLiteral("29/03/2026 08:00"));
    QCOMPARE(formatDateTime(addStep(2, at("28/02/2028 08:00"))), QStringLiteral("29/02/2028 08:00"));
    QCOMPARE(formatDateTime(addStep(3, at("24/10/2026 09:00"))), QStringLiteral("31/10/2026 09:00"));
}

void tst_Schedule::calendarStepKeepsTheDayOrTakesTheLastDayOfTheMonth() {
    // Each step starts from the previous result: the day does not come back to 31 after a short month.
    const QDateTime first = at("31/01/2026 10:00");
    const QDateTime second = addStep(4, first);
    QCOMPARE(formatDateTime(second), QStringLiteral("28/02/2026 10:00"));
    QCOMPARE(formatDateTime(addStep(4, second)), QStringLiteral("28/03/2026 10:00"));

    QCOMPARE(formatDateTime(addStep(4, at("31/01/2028 10:00"))), QStringLiteral("29/02/2028 10:00"));
    QCOMPARE(formatDateTime(addStep(4, at("31/03/2026 10:00"))), QStringLiteral("30/04/2026 10:00"));
    QCOMPARE(formatDateTime(addStep(5, at("31/12/2026 10:00"))), QStringLiteral("28/02/2027 10:00"));
    QCOMPARE(formatDateTime(addStep(6, at("30/11/2026 10:00"))), QStringLiteral("28/02/2027 10:00"));
    QCOMPARE(formatDateTime(addStep(6, at("31/10/2026 10:00"))), QStringLiteral("31/01/2027 10:00"));
    QCOMPARE(formatDateTime(addStep(7, at("31/08/2026 07:45"))), QStringLiteral("28/02/2027 07:45"));
    QCOMPARE(formatDateTime(addStep(8, at("29/02/2028 10:00"))), QStringLiteral("28/02/2029 10:00"));
    QCOMPARE(formatDateTime(addStep(8, at("15/06/2026 10:00"))), QStringLiteral("15/06/2027 10:00"));
}

void tst_Schedule::firstCandidateIsOneStepAfterTheBaseEvenWhenTheBaseIsAhead() {
    const QDateTime now = at("01/03/2026 12:00");
    QCOMPARE(shown(nextDisplay(2, at("10/03/2026 08:00"), at(kEnd), now)), QStringLiteral("11/03/2026 08:00"));
    QCOMPARE(shown(nextDisplay(4, at("10/03/2026 08:00"), at(kEnd), now)), QStringLiteral("10/04/2026 08:00"));
    QCOMPARE(shown(nextDisplay(2, at("01/03/2026 12:00"), at(kEnd), now)), QStringLiteral("02/03/2026 12:00"));
}

void tst_Schedule::candidateOnTheEndIsKeptOneMinuteAfterExpires() {
    const QDateTime base = at("10/03/2026 08:00");
    const QDateTime now = at("10/03/2026 09:00");
    QCOMPARE(shown(nextDisplay(2, base, at("11/03/2026 08:00"), now)), QStringLiteral("11/03/2026 08:00"));
    QCOMPARE(shown(nextDisplay(2, base, at("11/03/2026 07:59"), now)), QStringLiteral("expired"));
    // Also after many steps: the last candidate not after now is within the end, the next one is not.
    QCOMPARE(shown(nextDisplay(2, base, at("20/03/2026 08:00"), at("19/03/2026 08:00"))),
             QStringLiteral("20/03/2026 08:00"));
    QCOMPARE(shown(nextDisplay(2, base, at("20/03/2026 07:59"), at("19/03/2026 08:00"))), QStringLiteral("expired"));
    QCOMPARE(shown(nextDisplay(4, at("31/01/2026 10:00"), at("28/03/2026 10:00"), at("01/03/2026 00:00"))),
             QStringLiteral("28/03/2026 10:00"));
    QCOMPARE(shown(nextDisplay(4, at("31/01/2026 10:00"), at("28/03/2026 09:59"), at("01/03/2026 00:00"))),
             QStringLiteral("expired"));
    // No end: the series goes on.
    QCOMPARE(shown(nextDisplay(3, base, std::nullopt, at("01/01/2040 00:00"))), QStringLiteral("03/01/2040 08:00"));
}

void tst_Schedule::codesWithoutStepGiveNothing() {
    const QDateTime base = at("10/03/2026 08:00");
    for (const qint64 code : {0, 9, -1, 10}) {
        QVERIFY(!hasStep(code));
        QVERIFY(!nextDisplay(code, base, at(kEnd), at("01/03/2026 00:00")));
        QVERIFY(!nextDisplayByLoop(code, base, at(kEnd), at("01/03/2026 00:00")));
    }
    for (qint64 code = 1; code <= 8; ++code)
        QVERIFY(hasStep(code));
}

void tst_Schedule::fastRuleAgreesWithSteppingOnePeriodAtATime() {
    QRandomGenerator random(20260305);
    QElapsedTimer timer;
    timer.start();
    // Bases on the days that calendar steps shorten, 29 February included.
    const QList<QDate> bases = {QDate(2026, 1, 28), QDate(2026, 1, 29), QDate(2026, 1, 30),  QDate(2026, 1, 31),
                                QDate(2026, 3, 31), QDate(2026, 5, 30), QDate(2026, 8, 31),  QDate(2027, 12, 31),
                                QDate(2028, 2, 29), QDate(2024, 2, 29), QDate(2026, 10, 31), QDate(2026, 6, 15)};
    const qint64 yearSeconds = 365LL * 24 * 3600;
    int cases = 0;
    int expired = 0;
    for (int i = 0; i < 6000; ++i) {
        const qint64 code = 1 + random.bounded(8);
        const QDate day = bases[random.bounded(bases.size())];
        const QDateTime base = naiveInstant(day, QTime(random.bounded(24), random.bounded(60)));
        // Stepping one hour at a time over thirty years is slow: keep the hourly reach to three years, but for a
        // handful of cases.
        const qint64 reachYears = code == 1 && i % 200 != 0 ? 3 : 30;
        QDateTime now;
        switch (random.bounded(4)) {
            case 0:  // before the base
                now = base.addSecs(-60 * random.bounded(60 * 24 * 400));
                break;
            case 1: {  // exactly on a candidate
                now = base;
                const int steps = random.bounded(code == 1 ? 2000 : 300);
                for (int s = 0; s < steps; ++s)
                    now = addStep(code, now);
                break;
            }
            default:
                now = base.addSecs(60 * random.bounded(static_cast<quint32>(reachYears * yearSeconds / 60)));
                break;
        }
        std::optional<QDateTime> end;
        switch (random.bounded(3)) {
            case 0:
                break;
            case 1:  // before now: between the base and now, or around the base when now is before it
                if (now > base)
                    end = base.addSecs(
                        60LL * random.bounded(static_cast<quint32>(std::max<qint64>(1, base.secsTo(now) / 60))));
                else
                    end = base.addSecs(60 * (static_cast<qint64>(random.bounded(2 * 525600)) - 525600));
                break;
            default:  // after now
                end = now.addSecs(60 * random.bounded(60 * 24 * 800));
                break;
        }
        const std::optional<QDateTime> loop = nextDisplayByLoop(code, base, end, now);
        const std::optional<QDateTime> fast = nextDisplay(code, base, end, now);
        const QString where =
            QStringLiteral("code %1, base %2, end %3, now %4")
                .arg(code)
                .arg(formatDateTime(base), end ? formatDateTime(*end) : QStringLiteral("none"), formatDateTime(now));
        QVERIFY2(shown(fast) == shown(loop),
                 qPrintable(where + QStringLiteral(": %1 instead of %2").arg(shown(fast), shown(loop))));
        ++cases;
        if (!loop) {
            ++expired;
            continue;
        }
        // The end placed right on the answer keeps it; one minute earlier makes the series expire.
        QCOMPARE(shown(nextDisplay(code, base, *loop, now)), shown(loop));
        QCOMPARE(shown(nextDisplay(code, base, loop->addSecs(-60), now)), QStringLiteral("expired"));
        QCOMPARE(shown(nextDisplayByLoop(code, base, loop->addSecs(-60), now)), QStringLiteral("expired"));
    }
    QVERIFY(expired > 100);
    QVERIFY(cases - expired > 1000);
    qInfo("%d cases, %d expired, in %lld ms", cases, expired, timer.elapsed());
}

// --- Expiry ---

void tst_Schedule::expiryDeletesOrMarksErroneByTheSuppressionSetting() {
    StoreFixture f;
    const qint64 a = f.insert("Dentiste", "affiche", "2", "10/03/2026 08:00", kEnd);
    const qint64 b = f.insert("Banque", "actif", "0", "10/03/2026 08:00", QString());

    f.setSuppression("1");
    QVERIFY(applyExpiry(f.store, *f.settings, a));
    QCOMPARE(f.etat(a), QStringLiteral("errone"));
    QCOMPARE(f.next(a), QStringLiteral("10/03/2026 08:00"));

    f.setSuppression("0");
    QVERIFY(applyExpiry(f.store, *f.settings, a));
    QVERIFY(!f.exists(a));
    QVERIFY(f.exists(b));

    // Writing a next display changes nothing else.
    QVERIFY(writeNextDisplay(f.store, b, at("11/03/2026 09:05")));
    QCOMPARE(f.next(b), QStringLiteral("11/03/2026 09:05"));
    QCOMPARE(f.etat(b), QStringLiteral("actif"));
}

// --- Start-up pass ---

void tst_Schedule::dailyMessageMissedIsMovedToTheNextDayAfterNow() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 id = f.insert("Médicament", "actif", "2", "10/03/2026 08:00", "31/12/2026 08:00");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.next(id), QStringLiteral("13/03/2026 08:00"));
    QCOMPARE(f.etat(id), QStringLiteral("actif"));
    QCOMPARE(f.field(id, "dernieraffichage"), QStringLiteral("31/12/2026 08:00"));
    QCOMPARE(f.field(id, "datemessage"), QStringLiteral("10/03/2026"));
}

void tst_Schedule::candidateEqualToNowIsPassedOver() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 id = f.insert("Médicament", "actif", "2", "10/03/2026 08:00", "31/12/2026 08:00");
    runStartupPass(f.store, *f.settings, at("12/03/2026 08:00"));
    QCOMPARE(f.next(id), QStringLiteral("13/03/2026 08:00"));
}

void tst_Schedule::messageDueLaterTodayIsLeftInEveryState() {
    StoreFixture f;
    f.setSuppression("0");
    QList<qint64> ids;
    for (const char* etat : {"actif", "affiche", "errone"}) {
        ids << f.insert("Une fois", etat, "0", "12/03/2026 18:00", QString());
        ids << f.insert("Chaque jour", etat, "2", "12/03/2026 18:00", "31/12/2026 18:00");
        // Due at this very minute: not yet passed.
        ids << f.insert("Maintenant", etat, "3", "12/03/2026 09:15", "31/12/2026 09:15");
    }
    const StartupPassResult result = runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(result.stepped + result.expired + result.unreadable + result.failed, 0);
    const QStringList states = {"actif", "affiche", "errone"};
    for (int i = 0; i < ids.size(); ++i) {
        QCOMPARE(f.etat(ids[i]), states[i / 3]);
        QCOMPARE(f.next(ids[i]), i % 3 == 2 ? QStringLiteral("12/03/2026 09:15") : QStringLiteral("12/03/2026 18:00"));
    }
}

void tst_Schedule::oneTimeMessagePassedIsDeletedOrMadeErrone() {
    {
        StoreFixture f;
        f.setSuppression("0");
        const qint64 passed = f.insert("Réunion", "actif", "0", "11/03/2026 14:00", QString());
        const qint64 ahead = f.insert("Plus tard", "actif", "0", "13/03/2026 14:00", QString());
        // A code that is no digit counts as once.
        const qint64 noCode = f.insert("Sans code", "actif", "", "11/03/2026 14:00", "31/12/2026 14:00");
        const qint64 letter = f.insert("Lettre", "actif", "x", "11/03/2026 14:00", "31/12/2026 14:00");
        runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
        QVERIFY(!f.exists(passed));
        QVERIFY(!f.exists(noCode));
        QVERIFY(!f.exists(letter));
        QCOMPARE(f.etat(ahead), QStringLiteral("actif"));
    }
    {
        StoreFixture f;
        f.setSuppression("1");
        const qint64 passed = f.insert("Réunion", "actif", "0", "11/03/2026 14:00", QString());
        runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
        QCOMPARE(f.etat(passed), QStringLiteral("errone"));
        QCOMPARE(f.next(passed), QStringLiteral("11/03/2026 14:00"));
    }
}

void tst_Schedule::seriesWhoseEndPassedExpiresWithoutStepping() {
    StoreFixture f;
    f.setSuppression("1");
    // The end passed yesterday; a step from the base would still land before it, but the series is over.
    const qint64 id = f.insert("Piscine", "actif", "3", "02/03/2026 18:00", "11/03/2026 18:00");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.etat(id), QStringLiteral("errone"));
    QCOMPARE(f.next(id), QStringLiteral("02/03/2026 18:00"));

    f.setSuppression("0");
    const qint64 other = f.insert("Piscine 2", "actif", "3", "02/03/2026 18:00", "11/03/2026 18:00");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QVERIFY(!f.exists(other));
}

void tst_Schedule::monthlyAndYearlyMessagesKeepTheShortenedDay() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 monthly = f.insert("Loyer", "actif", "4", "31/01/2026 10:00", kEnd);
    runStartupPass(f.store, *f.settings, at("01/02/2026 09:00"));
    QCOMPARE(f.next(monthly), QStringLiteral("28/02/2026 10:00"));
    runStartupPass(f.store, *f.settings, at("01/03/2026 09:00"));
    QCOMPARE(f.next(monthly), QStringLiteral("28/03/2026 10:00"));

    const qint64 yearly = f.insert("Anniversaire", "actif", "8", "29/02/2028 10:00", "31/12/2035 10:00");
    runStartupPass(f.store, *f.settings, at("01/03/2028 09:00"));
    QCOMPARE(f.next(yearly), QStringLiteral("28/02/2029 10:00"));
}

void tst_Schedule::stepPastTheEndExpiresStepOnTheEndIsKept() {
    StoreFixture f;
    f.setSuppression("1");
    const qint64 onEnd = f.insert("Sur la fin", "actif", "2", "10/03/2026 08:00", "13/03/2026 08:00");
    const qint64 pastEnd = f.insert("Après la fin", "actif", "2", "10/03/2026 08:00", "13/03/2026 07:59");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.etat(onEnd), QStringLiteral("actif"));
    QCOMPARE(f.next(onEnd), QStringLiteral("13/03/2026 08:00"));
    QCOMPARE(f.etat(pastEnd), QStringLiteral("errone"));
    QCOMPARE(f.next(pastEnd), QStringLiteral("10/03/2026 08:00"));
}

void tst_Schedule::startupMessagesAreNeverChanged() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 a = f.insert("Au démarrage", "actif", "9", "10/03/2026 08:00", "11/03/2026 08:00");
    const qint64 b = f.insert("Au démarrage 2", "affiche", "9", "01/01/2020 08:00", QString());
    const qint64 c = f.insert("Au démarrage 3", "errone", "9", "", "");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.etat(a), QStringLiteral("actif"));
    QCOMPARE(f.next(a), QStringLiteral("10/03/2026 08:00"));
    QCOMPARE(f.etat(b), QStringLiteral("affiche"));
    QCOMPARE(f.next(b), QStringLiteral("01/01/2020 08:00"));
    QCOMPARE(f.etat(c), QStringLiteral("errone"));
    QCOMPARE(f.next(c), QString());
}

void tst_Schedule::displayedAndErroneRowsKeepTheirStateButAreStepped() {
    StoreFixture f;
    f.setSuppression("1");
    const qint64 displayed = f.insert("Laissé ouvert", "affiche", "2", "10/03/2026 08:00", "31/12/2026 08:00");
    const qint64 errone = f.insert("Érroné", "errone", "3", "02/03/2026 09:00", "31/12/2026 09:00");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.etat(displayed), QStringLiteral("affiche"));
    QCOMPARE(f.next(displayed), QStringLiteral("13/03/2026 08:00"));
    QCOMPARE(f.etat(errone), QStringLiteral("errone"));
    QCOMPARE(f.next(errone), QStringLiteral("16/03/2026 09:00"));
}

void tst_Schedule::erroneOneTimeRowGoesThroughExpiryAgain() {
    StoreFixture f;
    f.setSuppression("1");
    const qint64 id = f.insert("Réunion", "errone", "0", "11/03/2026 14:00", QString());
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.etat(id), QStringLiteral("errone"));
    // The user has since chosen automatic deletion.
    f.setSuppression("0");
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QVERIFY(!f.exists(id));
}

void tst_Schedule::unreadableRowsAreLeftAloneAndThePassGoesOn() {
    StoreFixture f;
    f.setSuppression("0");
    struct Row {
        const char* code;
        const char* next;
        const char* end;
    };
    const Row rows[] = {
        {"0", "", ""},
        {"0", "demain", ""},
        {"2", "", "31/12/2026 08:00"},
        {"2", "31/02/2026 08:00", "31/12/2026 08:00"},
        {"2", "10/03/2026 08:00", ""},
        {"2", "10/03/2026 08:00", "fin de l'année"},
        {"4", "10/03/2026 08:00", "30/02/2026 08:00"},
        {"8", "10/03/2026 08:00", nullptr},
    };
    QList<qint64> ids;
    for (const Row& row : rows) {
        ids << f.insert("Illisible", "actif", row.code, row.next, row.end ? QString::fromUtf8(row.end) : QString());
    }
    const qint64 due = f.insert("Lisible", "actif", "2", "10/03/2026 08:00", "31/12/2026 08:00");
    const qint64 once = f.insert("Une fois", "actif", "0", "10/03/2026 08:00", QString());

    const StartupPassResult result = runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    for (int i = 0; i < ids.size(); ++i) {
        QVERIFY2(f.exists(ids[i]), qPrintable(QStringLiteral("row %1 was deleted").arg(i)));
        QCOMPARE(f.etat(ids[i]), QStringLiteral("actif"));
        QCOMPARE(f.next(ids[i]), QString::fromUtf8(rows[i].next));
    }
    QCOMPARE(result.unreadable, ids.size());
    QCOMPARE(f.next(due), QStringLiteral("13/03/2026 08:00"));
    QVERIFY(!f.exists(once));
}

void tst_Schedule::hourlyMessageTenYearsBehindIsSteppedToTheNextHour() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 id = f.insert("Pause", "actif", "1", "12/03/2016 08:00", "31/12/2030 08:00");
    QElapsedTimer timer;
    timer.start();
    runStartupPass(f.store, *f.settings, at("12/03/2026 09:15"));
    QCOMPARE(f.next(id), QStringLiteral("12/03/2026 10:00"));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
}

QTEST_GUILESS_MAIN(tst_Schedule)
#include "tst_schedule.moc"
