// What a note does: how its close leaves its message, when it comes back once put off, and where it goes in which
// colour, on a real message file and settings file.
#include <QTest>

#include "StoreFixture.h"
#include "scheduling/NoteClose.h"
#include "scheduling/NotePlacement.h"
#include "scheduling/PutOffRule.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// The outcome of closing the note of a message stored with the next display 01/01/2020 08:00 (so that a close
// that keeps it is told from one that writes one), and its row then ("etat next" or "gone"), another message's
// row left as it was.
QString close(const QString& supp, const QString& code, const QString& end, const QString& shownAt,
              const QString& closedAt, bool deleting, NoteCloseOutcome& outcome) {
    StoreFixture f(supp);
    const qint64 id = f.insert("Réunion", "affiche", code, "01/01/2020 08:00", end);
    const qint64 other = f.insert("Autre", "affiche", "0", "01/01/2020 08:00", QString());
    const Message note{id, "Réunion", "", "", "", "affiche", code, "", end};  // what a note holds of its message
    outcome = decideNoteClose(note, at(shownAt), at(closedAt), f.expiry, deleting);
    if (!writeNoteClose(f.store, f.expiry, id, outcome) || f.row(other) != "affiche 01/01/2020 08:00")
        return "not written";
    return f.row(id);
}

// The preferences read from a settings file once one key of "parametres" is set in it.
Preferences stored(const char* key, const QString& value) {
    static StoreFixture f;
    f.settings.set(kParametres, QLatin1String(key), value);
    return Preferences(f.settings);
}

}  // namespace

class tst_NoteRules : public QObject {
    Q_OBJECT
private slots:
    // Code, end, shown at, closed at, next display; each for either "suppression".
    void periodicMessageIsRescheduled() {
        const QStringList labels = QStringLiteral(
                                       "|toutes les heures|tous les jours|toutes les semaines|tous les mois|tous les "
                                       "bimestres|tous les trimestres|tous les semestres|toutes les années")
                                       .split('|');
        // Shown on Monday 08/06/2026 at 09:00, closed five minutes later: one period later, for each code that steps.
        QStringList rows;
        const QStringList nexts = {"08/06/2026 10:00", "09/06/2026 09:00", "15/06/2026 09:00", "08/07/2026 09:00",
                                   "08/08/2026 09:00", "08/09/2026 09:00", "08/12/2026 09:00", "08/06/2027 09:00"};
        for (int code = 1; code <= 8; ++code)
            rows << QStringLiteral("%1|31/12/2030 09:00|08/06/2026 09:00|08/06/2026 09:05|").arg(code) +
                        nexts[code - 1];
        rows << QStringList{
            // Displays missed while the note was open are not made up.
            "1|31/12/2030 09:00|08/06/2026 08:00|08/06/2026 10:30|08/06/2026 11:00",
            "2|31/12/2030 09:00|05/06/2026 08:00|08/06/2026 07:00|08/06/2026 08:00",  // left open over a week-end
            "4|08/07/2026 09:00|08/06/2026 09:00|08/06/2026 09:05|08/07/2026 09:00",  // next right on the end
            // An end that cannot be read is a series without end.
            "2|jamais|08/06/2026 09:00|08/06/2026 09:05|09/06/2026 09:00"};
        for (const QString& row : rows) {
            const QStringList c = row.split('|');
            for (const QString supp : {"0", "1"}) {
                NoteCloseOutcome outcome;
                QVERIFY2(close(supp, c[0], c[1], c[2], c[3], false, outcome) == "actif " + c[4], qPrintable(row));
                QCOMPARE(outcome.kind, NoteCloseOutcome::Rescheduled);
                QCOMPARE(outcome.text, QStringLiteral("Ce message est periodique (affiché %1).\nSon prochain affichage "
                                                      "est prévu pour le:%2 à %3")
                                           .arg(labels[c[0].toInt()], c[4].left(10), c[4].mid(11)));
                QVERIFY(!outcome.tellBeforeWriting);
            }
        }
    }

    // Suppression, code, end (null: none), then the outcome, its box and the row left.
    void otherCloses() {
        const QString deleted = "Message: Réunion\n\nCe message a été supprimé.";
        const struct {
            const char *supp, *code, *end;
            NoteCloseOutcome::Kind kind;
            QString text;
            const char* row;
        } closes[] = {
            // Whatever the code and the setting, a message being deleted from the main window goes.
            {"1", "3", "31/12/2030 09:00", NoteCloseOutcome::Deleted,
             "Message: Réunion\n\nCe message est maintenant supprimé.", "gone"},
            {"0", "9", nullptr, NoteCloseOutcome::AtStart,
             "Ce message est periodique (affiché au démarrage du programme).\nSon prochain affichage se fera donc au "
             "prochain démarrage du programme.",
             "actif 01/01/2020 08:00"},
            // The next month would be 08/07, after the end.
            {"0", "4", "30/06/2026 10:00", NoteCloseOutcome::Expired, deleted, "gone"},
            {"1", "4", "30/06/2026 10:00", NoteCloseOutcome::Expired,
             "Message: Réunion\n\nCe message est maintenant érroné.", "errone 01/01/2020 08:00"},
            {"0", "0", nullptr, NoteCloseOutcome::Expired, deleted, "gone"}};
        for (const auto& c : closes) {
            NoteCloseOutcome outcome;
            const QString end = c.end ? QString(c.end) : QString();
            const bool deleting = c.kind == NoteCloseOutcome::Deleted;
            QCOMPARE(close(c.supp, c.code, end, "08/06/2026 09:00", "08/06/2026 09:05", deleting, outcome), c.row);
            QCOMPARE(outcome.kind, c.kind);
            QCOMPARE(outcome.text, c.text);
            QVERIFY(outcome.tellBeforeWriting == !deleting && !outcome.next);
        }
    }

    // Each row "clock|entry|etat|now|becomes": put off at the clock's local reading (TZ=Europe/Paris) with the entry
    // chosen (0: 5 minutes, 1: 10 minutes, 2: 30 minutes, 4: tomorrow; -1: the return time written as "demain"), the
    // message in the state given (empty: gone), the row read at now, it becomes "wait <retour>", "open <display>",
    // "rearm <retour> <depuis>" or "drop". The note shows the display of 08:00, or the minute put off.
    void putOffNoteBecomes() {
        const QStringList rows = {
            "07/12/2026 08:03|0|affiche|07/12/2026 08:07|wait 07/12/2026 08:08",
            "07/12/2026 08:03|0|affiche|07/12/2026 08:08|open 07/12/2026 08:00",
            "07/12/2026 08:03|4|affiche|08/12/2026 08:02|wait 08/12/2026 08:03",
            // The computer slept, or the clock was set forward: it opens at once, showing its display.
            "07/12/2026 08:03|0|affiche|09/12/2026 15:00|open 07/12/2026 08:00",
            // The clock set back behind the moment it was put off: the delay counts again from now.
            "07/12/2026 08:03|1|affiche|07/12/2026 07:30|rearm 07/12/2026 07:40 07/12/2026 07:30",
            // Spring change in Paris, 29/03/2026: 02:00 becomes 03:00.
            "28/03/2026 02:30|4|affiche|29/03/2026 03:00|open 28/03/2026 02:30",
            "29/03/2026 01:50|2|affiche|29/03/2026 03:00|wait 29/03/2026 03:20",
            // The message gone, or changed meanwhile; a return time that cannot be read.
            "07/12/2026 08:03|0||07/12/2026 08:08|drop", "07/12/2026 08:03|0|actif|07/12/2026 08:04|drop",
            "07/12/2026 08:03|-1|affiche|07/12/2026 08:04|open 07/12/2026 08:00"};
        for (const QString& r : rows) {
            const QStringList c = r.split('|');
            const QDateTime naive = at(c[0]);
            const QDateTime local(naive.date(), naive.time(), Qt::LocalTime);
            const QDateTime display = c[0].endsWith("08:03") ? naive.addSecs(-180) : naive;
            PutOff row = putOffRow(7, display, static_cast<PutOffChoice>(std::max(c[1].toInt(), 0)), local);
            if (c[1] == "-1")
                row.retour = "demain";
            QCOMPARE(row.depuis, c[0]);
            const Message message{7, "Dentiste", "Appeler", "", "", c[2], "0", formatDateTime(display), ""};
            const PutOffDecision decision =
                decidePutOff(row, c[2].isEmpty() ? std::nullopt : std::optional(message), at(c[3]));
            QString got = "drop";
            if (decision.kind == PutOffDecision::Wait)
                got = "wait " + row.retour;
            else if (decision.kind == PutOffDecision::Open)
                got = "open " + formatDateTime(decision.display);
            else if (decision.kind == PutOffDecision::Rearm && decision.rearmed.affichage == row.affichage)
                got = "rearm " + decision.rearmed.retour + ' ' + decision.rearmed.depuis;
            QVERIFY2(got == c[4], qPrintable(r + ": " + got));
        }
    }

    // On a second monitor right of the first, its available area below a 24-pixel panel: the draws play no part in
    // a fixed place (every place on a real screen with frames: tests/desktop).
    void place() {
        const QRect area(1920, 24, 1280, 1000);
        const QSize note(280, 190);
        const int right = 1920 + 1280 - 280, centre = 1920 + (1280 - 280) / 2;
        const int bottom = 24 + 1000 - 190, middle = 24 + (1000 - 190) / 2;
        const struct {
            const char* position;
            double rl, rt;
            QPoint expected;  // null: left to the window system
        } places[] = {{"5", 0.7, 0.3, {right, middle}}, {"7", 0.7, 0.3, {centre, bottom}},
                      {"", 0.0, 0.0, {1920, 24}},       {"", 0.999999, 0.999999, {right, bottom}},
                      {"", 0.5, 0.0, {1920 + 500, 24}}, {"9", 0.5, 0.5, {}}};
        for (const auto& p : places) {
            const std::optional<QPoint> at =
                notePosition(stored("position", p.position).notePlace(), area, note, p.rl, p.rt);
            QCOMPARE(bool(at), !p.expected.isNull());
            QVERIFY2(!at || (area.contains(QRect(*at, note)) && (*at - p.expected).manhattanLength() <= 2),
                     qPrintable(p.position + QString::number(p.rl)));
        }
    }

    void colours() {
        // "couleur" is read as blue, green, red (which texts give a colour: tst_settings).
        QCOMPARE(storedToRgb(*stored("couleur", "16711680").noteColour()), quint32(0x0000FF));
        // A random draw times 7 is rounded to the nearest, halves to even: the first and last colours come.
        const QList<QPair<double, int>> draws = {{0.5 / 7, 0}, {0.51 / 7, 1}, {1.5 / 7, 2},  {2.5 / 7, 2},
                                                 {0.5, 4},     {5.5 / 7, 6},  {6.51 / 7, 7}, {1.0 - 1e-16, 7}};
        for (const auto& [draw, index] : draws)
            QVERIFY2(randomNoteColour(draw) == storedToRgb(kNoteColours[index]), qPrintable(QString::number(draw)));
    }
};

QTEST_GUILESS_MAIN(tst_NoteRules)
#include "tst_noterules.moc"
