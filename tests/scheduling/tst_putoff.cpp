// What a note put off becomes: when it comes back, and what happens to it when its time is read again.
#include <QTest>

#include "StoreFixture.h"
#include "scheduling/PutOffRule.h"

using namespace tavanote;
using namespace tavanote::test;

class tst_PutOff : public QObject {
    Q_OBJECT
private slots:
    void becomes_data() {
        QTest::addColumn<QString>("clock");    // the clock's local reading when the note is put off
        QTest::addColumn<int>("choice");       // the entry chosen; -1: the row is written as retour below
        QTest::addColumn<QString>("retour");   // for choice -1
        QTest::addColumn<QString>("etat");     // the message's state when the row is read; empty: the message is gone
        QTest::addColumn<QString>("now");      // the naive minute the row is read at
        QTest::addColumn<QString>("becomes");  // wait <retour> | open <display> | rearm <retour> <depuis> | drop
        auto row = [](const char* name, const char* clock, int choice, const char* etat, const char* now,
                      const char* becomes, const char* retour = "") {
            QTest::newRow(name) << clock << choice << retour << etat << now << becomes;
        };
        const int m5 = 0, m10 = 1, m30 = 2, tomorrow = 4;
        row("5 minutes, the minute before", "07/12/2026 08:03", m5, "affiche", "07/12/2026 08:07",
            "wait 07/12/2026 08:08");
        row("5 minutes, at its minute", "07/12/2026 08:03", m5, "affiche", "07/12/2026 08:08", "open 07/12/2026 08:00");
        row("30 minutes over midnight", "07/12/2026 23:45", m30, "affiche", "08/12/2026 00:14",
            "wait 08/12/2026 00:15");
        row("tomorrow, same time", "07/12/2026 08:03", tomorrow, "affiche", "08/12/2026 08:02",
            "wait 08/12/2026 08:03");
        row("tomorrow, across the month", "31/12/2026 08:03", tomorrow, "affiche", "01/01/2027 08:03",
            "open 31/12/2026 08:00");
        // The computer slept, or the clock was set forward: it opens at once, showing its display.
        row("clock set forward", "07/12/2026 08:03", m5, "affiche", "09/12/2026 15:00", "open 07/12/2026 08:00");
        // The clock set back behind the moment it was put off: the delay counts again from now.
        row("clock set back", "07/12/2026 08:03", m10, "affiche", "07/12/2026 07:30",
            "rearm 07/12/2026 07:40 07/12/2026 07:30");
        row("clock set back a day, tomorrow", "07/12/2026 08:03", tomorrow, "affiche", "06/12/2026 20:00",
            "rearm 07/12/2026 20:00 06/12/2026 20:00");
        // Spring change in Paris, 29/03/2026: 02:00 becomes 03:00.
        row("tomorrow in the spring gap, before", "28/03/2026 02:30", tomorrow, "affiche", "29/03/2026 01:59",
            "wait 29/03/2026 02:30");
        row("tomorrow in the spring gap, first minute after", "28/03/2026 02:30", tomorrow, "affiche",
            "29/03/2026 03:00", "open 28/03/2026 02:30");
        row("30 minutes lived over the spring change", "29/03/2026 01:50", m30, "affiche", "29/03/2026 03:00",
            "wait 29/03/2026 03:20");
        row("message gone", "07/12/2026 08:03", m5, "", "07/12/2026 08:08", "drop");
        row("message changed meanwhile", "07/12/2026 08:03", m5, "actif", "07/12/2026 08:04", "drop");
        row("return time unreadable", "07/12/2026 08:03", -1, "affiche", "07/12/2026 08:04", "open 07/12/2026 08:00",
            "demain");
    }

    void becomes() {
        QFETCH(QString, clock);
        QFETCH(int, choice);
        QFETCH(QString, retour);
        QFETCH(QString, etat);
        QFETCH(QString, now);
        QFETCH(QString, becomes);
        // The clock reads local time (TZ=Europe/Paris); the note shows the display of 08:00, or the minute put off.
        const QDateTime naive = at(clock);
        const QDateTime local(naive.date(), naive.time(), Qt::LocalTime);
        const QDateTime display = clock.endsWith(QLatin1String("08:03")) ? naive.addSecs(-180) : naive;
        PutOff row = putOffRow(7, display, static_cast<PutOffChoice>(std::max(choice, 0)), local);
        if (choice < 0)
            row.retour = retour;
        QCOMPARE(row.depuis, clock);
        std::optional<Message> message;
        if (!etat.isEmpty())
            message = Message{7, "Dentiste", "Appeler", "", "", etat, "0", formatDateTime(display), ""};
        const PutOffDecision decision = decidePutOff(row, message, at(now));
        QString got;
        switch (decision.kind) {
            case PutOffDecision::Wait:
                got = "wait " + row.retour;
                break;
            case PutOffDecision::Open:
                got = "open " + formatDateTime(decision.display);
                break;
            case PutOffDecision::Rearm:
                got = "rearm " + decision.rearmed.retour + ' ' + decision.rearmed.depuis;
                QCOMPARE(decision.rearmed.affichage, row.affichage);
                break;
            case PutOffDecision::Drop:
                got = "drop";
                break;
        }
        QCOMPARE(got, becomes);
    }
};

QTEST_GUILESS_MAIN(tst_PutOff)
#include "tst_putoff.moc"
