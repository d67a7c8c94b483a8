// What closing a note does: the box it tells and the row it leaves, on a real message file.
#include <QTest>

#include "StoreFixture.h"
#include "scheduling/NoteClose.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// The outcome of closing the note of a message stored with the next display 01/01/2020 08:00 (so that a close
// that keeps it is told from one that writes one), and its row then ("etat next" or "gone"). Another message's
// row stays as it is.
QString close(const QString& supp, const QString& code, const QString& end, const QString& shownAt,
              const QString& closedAt, bool deleting, NoteCloseOutcome& outcome) {
    StoreFixture f(supp);
    const qint64 id = f.insert("Réunion", "affiche", code, "01/01/2020 08:00", end);
    const qint64 other = f.insert("Autre", "affiche", "0", "01/01/2020 08:00", QString());
    Message note;  // what a note holds of its message
    note.id = id;
    note.titre = "Réunion";
    note.periodicite = code;
    note.dernieraffichage = end;
    outcome = decideNoteClose(note, at(shownAt), at(closedAt), f.expiry, deleting);
    if (!writeNoteClose(f.store, f.expiry, id, outcome) || f.row(other) != "affiche 01/01/2020 08:00")
        return "not written";
    const QString after = f.query(QStringLiteral("SELECT dernieraffichage FROM message WHERE id = %1").arg(id));
    const QString row = f.row(id);
    return row == "gone" || after == end ? row : row + " end changed";
}

}  // namespace

class tst_NoteClose : public QObject {
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
            // Displays missed while the note was open are not made up; one at the very minute of the close has passed.
            "1|31/12/2030 09:00|08/06/2026 08:00|08/06/2026 10:30|08/06/2026 11:00",
            "1|31/12/2030 09:00|08/06/2026 08:00|08/06/2026 10:00|08/06/2026 11:00",
            "2|31/12/2030 09:00|05/06/2026 08:00|08/06/2026 07:00|08/06/2026 08:00",  // left open over a week-end
            "4|08/07/2026 09:00|08/06/2026 09:00|08/06/2026 09:05|08/07/2026 09:00",  // next right on the end
            // An end that cannot be read is a series without end.
            "2||08/06/2026 09:00|08/06/2026 09:05|09/06/2026 09:00",
            "2|jamais|08/06/2026 09:00|08/06/2026 09:05|09/06/2026 09:00"};
        for (const QString& row : rows) {
            const QStringList c = row.split('|');
            const QString end = c[1].isEmpty() ? QString() : c[1];
            for (const QString supp : {"0", "1"}) {
                NoteCloseOutcome outcome;
                QVERIFY2(close(supp, c[0], end, c[2], c[3], false, outcome) == "actif " + c[4], qPrintable(row));
                QCOMPARE(outcome.kind, NoteCloseOutcome::Rescheduled);
                QCOMPARE(outcome.text, QStringLiteral("Ce message est periodique (affiché %1).\nSon prochain affichage "
                                                      "est prévu pour le:%2 à %3")
                                           .arg(labels[c[0].toInt()], c[4].left(10), c[4].mid(11)));
                QVERIFY(!outcome.tellBeforeWriting);
            }
        }
    }

    // Suppression, code, end (null: none), deleted from the main window, then the outcome, its box and the row left.
    void otherCloses() {
        const QString deleted = "Message: Réunion\n\nCe message a été supprimé.";
        const struct {
            const char *supp, *code, *end;
            bool deleting;
            NoteCloseOutcome::Kind kind;
            QString text;
            const char* row;
        } closes[] = {
            // Whatever the code and the setting, a message being deleted from the main window goes.
            {"1", "3", "31/12/2030 09:00", true, NoteCloseOutcome::Deleted,
             "Message: Réunion\n\nCe message est maintenant supprimé.", "gone"},
            {"0", "9", nullptr, false, NoteCloseOutcome::AtStart,
             "Ce message est periodique (affiché au démarrage du programme).\nSon prochain affichage se fera donc au "
             "prochain démarrage du programme.",
             "actif 01/01/2020 08:00"},
            // The next month would be 08/07, after the end.
            {"0", "4", "30/06/2026 10:00", false, NoteCloseOutcome::Expired, deleted, "gone"},
            {"1", "4", "30/06/2026 10:00", false, NoteCloseOutcome::Expired,
             "Message: Réunion\n\nCe message est maintenant érroné.", "errone 01/01/2020 08:00"},
            {"0", "0", nullptr, false, NoteCloseOutcome::Expired, deleted, "gone"}};
        for (const auto& c : closes) {
            NoteCloseOutcome outcome;
            const QString end = c.end ? QString(c.end) : QString();
            QCOMPARE(close(c.supp, c.code, end, "08/06/2026 09:00", "08/06/2026 09:05", c.deleting, outcome), c.row);
            QCOMPARE(outcome.kind, c.kind);
            QCOMPARE(outcome.text, c.text);
            QCOMPARE(outcome.tellBeforeWriting, c.kind != NoteCloseOutcome::Deleted);
            QVERIFY(!outcome.next);
        }
    }
};

QTEST_GUILESS_MAIN(tst_NoteClose)
#include "tst_noteclose.moc"
