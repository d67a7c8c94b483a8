// What a note put off becomes: when it comes back, and what happens to it when its time is read again.
#include <QTest>

#include "StoreFixture.h"
#include "scheduling/PutOffRule.h"

using namespace tavanote;
using namespace tavanote::test;

class tst_PutOff : public QObject {
    Q_OBJECT
private slots:
    // Put off at the clock's local reading (TZ=Europe/Paris) with the entry chosen (-1: the return time written as
    // "demain"), the message in the state given (empty: gone), the row read at now. The note shows the display of
    // 08:00, or the minute put off.
    void becomes() {
        const int m5 = 0, m10 = 1, m30 = 2, tomorrow = 4;
        const struct {
            const char *name, *clock;
            int choice;
            const char *etat, *now;
            const char* becomes;  // wait <retour> | open <display> | rearm <retour> <depuis> | drop
        } rows[] = {
            {"5 minutes, the minute before", "07/12/2026 08:03", m5, "affiche", "07/12/2026 08:07",
             "wait 07/12/2026 08:08"},
            {"5 minutes, at its minute", "07/12/2026 08:03", m5, "affiche", "07/12/2026 08:08",
             "open 07/12/2026 08:00"},
            {"tomorrow, same time", "07/12/2026 08:03", tomorrow, "affiche", "08/12/2026 08:02",
             "wait 08/12/2026 08:03"},
            // The computer slept, or the clock was set forward: it opens at once, showing its display.
            {"clock set forward", "07/12/2026 08:03", m5, "affiche", "09/12/2026 15:00", "open 07/12/2026 08:00"},
            // The clock set back behind the moment it was put off: the delay counts again from now.
            {"clock set back", "07/12/2026 08:03", m10, "affiche", "07/12/2026 07:30",
             "rearm 07/12/2026 07:40 07/12/2026 07:30"},
            // Spring change in Paris, 29/03/2026: 02:00 becomes 03:00.
            {"tomorrow in the spring gap, before", "28/03/2026 02:30", tomorrow, "affiche", "29/03/2026 01:59",
             "wait 29/03/2026 02:30"},
            {"tomorrow in the spring gap, first minute after", "28/03/2026 02:30", tomorrow, "affiche",
             "29/03/2026 03:00", "open 28/03/2026 02:30"},
            {"30 minutes lived over the spring change", "29/03/2026 01:50", m30, "affiche", "29/03/2026 03:00",
             "wait 29/03/2026 03:20"},
            {"message gone", "07/12/2026 08:03", m5, "", "07/12/2026 08:08", "drop"},
            {"message changed meanwhile", "07/12/2026 08:03", m5, "actif", "07/12/2026 08:04", "drop"},
            {"return time unreadable", "07/12/2026 08:03", -1, "affiche", "07/12/2026 08:04", "open 07/12/2026 08:00"},
        };
        for (const auto& r : rows) {
            const QDateTime naive = at(r.clock);
            const QDateTime local(naive.date(), naive.time(), Qt::LocalTime);
            const QDateTime display = QString(r.clock).endsWith("08:03") ? naive.addSecs(-180) : naive;
            PutOff row = putOffRow(7, display, static_cast<PutOffChoice>(std::max(r.choice, 0)), local);
            if (r.choice < 0)
                row.retour = "demain";
            QCOMPARE(row.depuis, r.clock);
            std::optional<Message> message;
            if (*r.etat)
                message = Message{7, "Dentiste", "Appeler", "", "", r.etat, "0", formatDateTime(display), ""};
            const PutOffDecision decision = decidePutOff(row, message, at(r.now));
            QString got = "drop";
            if (decision.kind == PutOffDecision::Wait)
                got = "wait " + row.retour;
            else if (decision.kind == PutOffDecision::Open)
                got = "open " + formatDateTime(decision.display);
            else if (decision.kind == PutOffDecision::Rearm && decision.rearmed.affichage == row.affichage)
                got = "rearm " + decision.rearmed.retour + ' ' + decision.rearmed.depuis;
            QVERIFY2(got == r.becomes, qPrintable(r.name + (": " + got)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_PutOff)
#include "tst_putoff.moc"
