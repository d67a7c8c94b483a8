#include <QRandomGenerator>
#include <QTest>

#include "StoreFixture.h"
#include "support/NextDisplayByLoop.h"

using namespace tavanote;
using namespace tavanote::test;

class tst_Schedule : public QObject {
    Q_OBJECT
private slots:
    void readsInstants_data();
    void readsInstants();
    void stepsOnePeriod_data();
    void stepsOnePeriod();
    void fastRuleAgreesWithSteppingOnePeriodAtATime();
    void startupPass_data();
    void startupPass();
    void unreadableRowsAreLeftAloneAndThePassGoesOn();
};

void tst_Schedule::readsInstants_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("read");  // empty: refused
    auto row = [](const char* name, const QString& text, const QString& read) { QTest::newRow(name) << text << read; };
    row("leading zeros", "05/03/2026 08:00", "05/03/2026 08:00");
    row("no leading zeros", "5/3/2026 8:00", "05/03/2026 08:00");
    row("seconds dropped", "12/03/2026 09:15:42", "12/03/2026 09:15");
    row("date alone", "12/03/2026", "12/03/2026 00:00");
    row("day first", "03/12/2026 10:00", "03/12/2026 10:00");
    row("null", QString(), "");
    for (const char* text : {"", "   ", "demain matin", "31/02/2026 08:00", "29/02/2026 08:00", "01/13/2026 08:00",
                             "05/03/2026 25:00", "05/03/2026 08:60", "2026-03-05 08:00"})
        row(qPrintable(QStringLiteral("'%1' refused").arg(text)), text, "");
}

void tst_Schedule::readsInstants() {
    QFETCH(QString, text);
    QFETCH(QString, read);
    const std::optional<QDateTime> when = readInstant(text);
    QCOMPARE(when ? formatDateTime(*when) : QString(), read);
}

void tst_Schedule::stepsOnePeriod_data() {
    QTest::addColumn<qint64>("code");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    auto row = [](const char* name, qint64 code, const QString& from, const QString& to) {
        QTest::newRow(name) << code << from << to;
    };
    // Fixed steps add wall-clock time: the spring change in Paris (29/03/2026 02:00 -> 03:00) shortens nothing.
    row("hour over the spring change", 1, "29/03/2026 01:30", "29/03/2026 02:30");
    row("day over the spring change", 2, "28/03/2026 08:00", "29/03/2026 08:00");
    row("week", 3, "24/10/2026 09:00", "31/10/2026 09:00");
    // Calendar steps keep the day or take the last day of the month.
    row("month from 31 January", 4, "31/01/2026 10:00", "28/02/2026 10:00");
    row("month to a leap February", 4, "31/01/2028 10:00", "29/02/2028 10:00");
    row("two months", 5, "31/12/2026 10:00", "28/02/2027 10:00");
    row("three months to January", 6, "31/10/2026 10:00", "31/01/2027 10:00");
    row("six months", 7, "31/08/2026 07:45", "28/02/2027 07:45");
    row("year from 29 February", 8, "29/02/2028 10:00", "28/02/2029 10:00");
}

void tst_Schedule::stepsOnePeriod() {
    QFETCH(qint64, code);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QCOMPARE(formatDateTime(addStep(code, at(from))), to);
}

void tst_Schedule::fastRuleAgreesWithSteppingOnePeriodAtATime() {
    for (const qint64 code : {0, 9, -1, 10})
        QVERIFY(!hasStep(code) && !nextDisplay(code, at("10/03/2026 08:00"), std::nullopt, at("01/03/2026 00:00")));
    QRandomGenerator random(20260305);
    // Bases on the days that calendar steps shorten, 29 February included.
    const QList<QDate> bases = {QDate(2026, 1, 28), QDate(2026, 1, 29), QDate(2026, 1, 30),  QDate(2026, 1, 31),
                                QDate(2026, 3, 31), QDate(2026, 5, 30), QDate(2026, 8, 31),  QDate(2027, 12, 31),
                                QDate(2028, 2, 29), QDate(2024, 2, 29), QDate(2026, 10, 31), QDate(2026, 6, 15)};
    int expired = 0;
    for (int i = 0; i < 6000; ++i) {
        const qint64 code = 1 + random.bounded(8);
        const QDateTime base =
            naiveInstant(bases[random.bounded(bases.size())], QTime(random.bounded(24), random.bounded(60)));
        // Hourly stepping over thirty years is slow: three years but for a handful of cases.
        const quint32 reachMinutes = (code == 1 && i % 200 != 0 ? 3 : 30) * 525600;
        const int pick = random.bounded(4);  // before the base, on a candidate, or after the base
        QDateTime now = pick == 0   ? base.addSecs(-60 * random.bounded(60 * 24 * 400))
                        : pick == 1 ? base
                                    : base.addSecs(60 * random.bounded(reachMinutes));
        for (int s = pick == 1 ? random.bounded(code == 1 ? 2000 : 300) : 0; s > 0; --s)
            now = addStep(code, now);
        std::optional<QDateTime> end;
        const int endPick = random.bounded(3);
        if (endPick == 1 && now > base)  // between the base and now
            end = base.addSecs(60LL * random.bounded(static_cast<quint32>(std::max<qint64>(1, base.secsTo(now) / 60))));
        else if (endPick == 1)  // around the base
            end = base.addSecs(60 * (static_cast<qint64>(random.bounded(2 * 525600)) - 525600));
        else if (endPick == 2)  // after now
            end = now.addSecs(60 * random.bounded(60 * 24 * 800));
        const std::optional<QDateTime> loop = nextDisplayByLoop(code, base, end, now);
        const QString fast = shown(nextDisplay(code, base, end, now));
        QVERIFY2(fast == shown(loop),
                 qPrintable(QStringLiteral("code %1, base %2, end %3, now %4: %5, not %6")
                                .arg(QString::number(code), formatDateTime(base), end ? formatDateTime(*end) : "none",
                                     formatDateTime(now), fast, shown(loop))));
        expired += loop ? 0 : 1;
        if (!loop)
            continue;
        // The end right on the answer keeps it; one minute earlier the series expires.
        QCOMPARE(shown(nextDisplay(code, base, *loop, now)), shown(loop));
        QCOMPARE(shown(nextDisplay(code, base, loop->addSecs(-60), now)), QStringLiteral("expired"));
        QCOMPARE(shown(nextDisplayByLoop(code, base, loop->addSecs(-60), now)), QStringLiteral("expired"));
    }
    QVERIFY(expired > 100 && expired < 5000);
}

void tst_Schedule::startupPass_data() {
    QTest::addColumn<QStringList>("c");
    auto row = [](const QByteArray& name, const char* supp, const char* etat, const char* code, const char* next,
                  const char* end, const QByteArray& after, const char* now = "12/03/2026 09:15") {
        QTest::newRow(name.constData()) << QStringList{supp, etat,          code, next, end ? QString(end) : QString(),
                                                       now,  QString(after)};
    };
    const char* daily = "31/12/2026 08:00";
    // What was missed is left for a late note ("late" and the display it shows); errone rows only step.
    row("daily missed", "0", "actif", "2", "10/03/2026 08:00", daily, "actif 10/03/2026 08:00 late 12/03/2026 08:00");
    row("daily missed, errone", "1", "errone", "2", "10/03/2026 08:00", daily, "errone 13/03/2026 08:00");
    row("once later today", "0", "affiche", "0", "12/03/2026 18:00", nullptr, "affiche 12/03/2026 18:00");
    // Due at this very minute: not yet passed.
    row("weekly due now", "0", "actif", "3", "12/03/2026 09:15", daily, "actif 12/03/2026 09:15");
    // Once is never expired unseen.
    row("once a year late", "0", "actif", "0", "11/03/2025 14:00", nullptr,
        "actif 11/03/2025 14:00 late 11/03/2025 14:00");
    // A code that is no digit counts as once.
    row("letter code", "0", "actif", "x", "11/03/2026 14:00", daily, "actif 11/03/2026 14:00 late 11/03/2026 14:00");
    row("errone once, kept", "1", "errone", "0", "11/03/2026 14:00", nullptr, "errone 11/03/2026 14:00");
    row("errone once, deleted", "0", "errone", "0", "11/03/2026 14:00", nullptr, "gone");
    // Seven days back at most: the limit itself is late, a minute before it is stepped silently.
    row("monthly, 7 days late", "0", "actif", "4", "05/03/2026 09:15", daily,
        "actif 05/03/2026 09:15 late 05/03/2026 09:15");
    row("monthly, 7 days and a minute", "0", "actif", "4", "05/03/2026 09:14", daily, "actif 05/04/2026 09:14");
    // An ended series shows its last display when it is recent; otherwise it expires at once, without stepping.
    row("weekly ended recently", "0", "actif", "3", "02/03/2026 18:00", "11/03/2026 18:00",
        "actif 02/03/2026 18:00 late 09/03/2026 18:00");
    row("weekly ended, errone", "1", "actif", "3", "02/02/2026 18:00", "11/02/2026 18:00", "errone 02/02/2026 18:00");
    row("weekly ended, deleted", "0", "actif", "3", "02/02/2026 18:00", "11/02/2026 18:00", "gone");
    row("startup, ended", "0", "actif", "9", "10/03/2026 08:00", "11/03/2026 08:00", "actif 10/03/2026 08:00");
    row("startup, errone", "0", "errone", "9", "", "", "errone");
    // Codes past 9 are another tool's: left alone like 9, however late.
    row("code 10, passed", "0", "actif", "10", "10/03/2026 08:00", "11/03/2026 08:00", "actif 10/03/2026 08:00");
    row("displayed, late", "1", "affiche", "2", "10/03/2026 08:00", daily,
        "affiche 10/03/2026 08:00 late 12/03/2026 08:00");
    row("hourly ten years behind, late", "0", "actif", "1", "12/03/2016 08:00", "31/12/2030 08:00",
        "actif 12/03/2016 08:00 late 12/03/2026 09:00");
}

void tst_Schedule::startupPass() {
    QFETCH(QStringList, c);  // suppression, etat, code, next, end, now, then "etat next" after the pass or "gone"
    StoreFixture f(c[0]);
    const qint64 id = f.insert("Médicament", c[1], c[2], c[3], c[4]);
    const StartupPassResult result = runStartupPass(f.store, f.expiry, at(c[5]));
    QString after = f.row(id);
    for (const LateDisplay& late : result.late)
        after += QStringLiteral(" late ") + formatDateTime(late.at);
    QCOMPARE(after, c[6]);
    QCOMPARE(result.unreadable + result.failed, 0);
}

void tst_Schedule::unreadableRowsAreLeftAloneAndThePassGoesOn() {
    StoreFixture f;
    // Code, next display and end of each row; the last one has no end field (NULL).
    const QStringList rows = QStringLiteral(
                                 "0||;0|demain|;2||31/12/2026 08:00;2|31/02/2026 08:00|31/12/2026 08:00;"
                                 "2|10/03/2026 08:00|;2|10/03/2026 08:00|fin de l'année;4|10/03/2026 08:00|30/02/2026 "
                                 "08:00;8|10/03/2026 08:00")
                                 .split(';');
    QList<qint64> ids;
    for (const QString& row : rows) {
        const QStringList c = row.split('|');
        ids << f.insert("Illisible", "actif", c[0], c[1], c.value(2));
    }
    const qint64 due = f.insert("Lisible", "actif", "2", "10/03/2026 08:00", "31/12/2026 08:00");
    const qint64 once = f.insert("Une fois", "actif", "0", "10/03/2026 08:00", QString());
    const StartupPassResult result = runStartupPass(f.store, f.expiry, at("12/03/2026 09:15"));
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(f.row(ids[i]), (QStringLiteral("actif ") + rows[i].section('|', 1, 1)).trimmed());
    QCOMPARE(result.unreadable, ids.size());
    QCOMPARE(f.row(due), QStringLiteral("actif 10/03/2026 08:00"));
    QCOMPARE(f.row(once), QStringLiteral("actif 10/03/2026 08:00"));
    QCOMPARE(result.late.size(), size_t(2));
}

QTEST_GUILESS_MAIN(tst_Schedule)
#include "tst_schedule.moc"
