#include <QTest>

#include "StoreFixture.h"
#include "scheduling/NoteClose.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// Rows are stored with this next display, so that a close that keeps it is told from one that writes one.
const QString kStored = QStringLiteral("01/01/2020 08:00");
const QString kTitle = QStringLiteral("Réunion d'équipe");
// The words of the box for each code that steps.
const QStringList kLabels =
    QStringLiteral(
        "|toutes les heures|tous les jours|toutes les semaines|tous les mois|tous les bimestres|"
        "tous les trimestres|tous les semestres|toutes les années")
        .split('|');

// What a note holds of its message.
Message note(qint64 id, const QString& code, const QString& end) {
    Message m;
    m.id = id;
    m.titre = kTitle;
    m.periodicite = code;
    m.dernieraffichage = end;
    return m;
}

}  // namespace

class tst_NoteClose : public QObject {
    Q_OBJECT
private slots:
    void periodicMessageIsRescheduled_data();
    void periodicMessageIsRescheduled();
    void otherCloses_data();
    void otherCloses();
};

void tst_NoteClose::periodicMessageIsRescheduled_data() {
    QTest::addColumn<QStringList>("c");
    auto row = [](const char* name, const QString& code, const char* end, const char* shownAt, const char* closedAt,
                  const QString& next) {
        QTest::newRow(name) << QStringList{code, end ? QString(end) : QString(), shownAt, closedAt, next};
    };
    // Shown on Monday 08/06/2026 at 09:00, closed five minutes later: one period later, for each code that steps.
    const char* end = "31/12/2030 09:00";
    const char* shownAt = "08/06/2026 09:00";
    const char* closedAt = "08/06/2026 09:05";
    const QStringList nexts = {"08/06/2026 10:00", "09/06/2026 09:00", "15/06/2026 09:00", "08/07/2026 09:00",
                               "08/08/2026 09:00", "08/09/2026 09:00", "08/12/2026 09:00", "08/06/2027 09:00"};
    for (int code = 1; code <= 8; ++code)
        row(qPrintable(kLabels[code]), QString::number(code), end, shownAt, closedAt, nexts[code - 1]);
    // Displays missed while the note was open are not made up; one at the very minute of the close has passed.
    row("hourly left open", "1", end, "08/06/2026 08:00", "08/06/2026 10:30", "08/06/2026 11:00");
    row("hourly closed on the hour", "1", end, "08/06/2026 08:00", "08/06/2026 10:00", "08/06/2026 11:00");
    row("daily left open over a week-end", "2", end, "05/06/2026 08:00", "08/06/2026 07:00", "08/06/2026 08:00");
    row("monthly, next right on the end", "4", "08/07/2026 09:00", shownAt, closedAt, "08/07/2026 09:00");
    // An end that cannot be read is a series without end.
    row("no end", "2", nullptr, shownAt, closedAt, "09/06/2026 09:00");
    row("end in words", "2", "jamais", shownAt, closedAt, "09/06/2026 09:00");
}

void tst_NoteClose::periodicMessageIsRescheduled() {
    QFETCH(QStringList, c);  // code, end, shown at, closed at, next display
    const QString& end = c[1];
    const QString& next = c[4];
    for (const QString supp : {"0", "1"}) {
        StoreFixture f(supp);
        const qint64 id = f.insert(kTitle, "affiche", c[0], kStored, end);
        const NoteCloseOutcome outcome = decideNoteClose(note(id, c[0], end), at(c[2]), at(c[3]), f.expiry, false);
        QCOMPARE(outcome.kind, NoteCloseOutcome::Rescheduled);
        QCOMPARE(shown(outcome.next), next);
        QCOMPARE(outcome.text, QStringLiteral("Ce message est periodique (affiché %1).\nSon prochain affichage est "
                                              "prévu pour le:%2 à %3")
                                   .arg(kLabels[c[0].toInt()], next.left(10), next.mid(11)));
        QVERIFY(!outcome.tellBeforeWriting);
        QVERIFY(writeNoteClose(f.store, f.expiry, id, outcome));
        QCOMPARE(f.row(id), QStringLiteral("actif ") + next);
        QCOMPARE(f.query(QStringLiteral("SELECT dernieraffichage FROM message WHERE id = %1").arg(id)), end);
    }
}

void tst_NoteClose::otherCloses_data() {
    QTest::addColumn<QStringList>("c");  // suppression, code, end, box text, row after the close
    QTest::addColumn<bool>("deleting");  // deleted from the main window
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("tellBefore");  // the box comes before the store changes
    auto row = [](const char* name, const char* supp, const char* code, const char* end, bool deleting, int kind,
                  const QString& text, bool tellBefore, const QString& row) {
        QTest::newRow(name) << QStringList{supp, code, end ? QString(end) : QString(), text, row} << deleting << kind
                            << tellBefore;
    };
    const QString gone = QStringLiteral("gone");
    const QString errone = QStringLiteral("errone ") + kStored;
    const QString deleted = QStringLiteral("Message: Réunion d'équipe\n\nCe message a été supprimé.");
    const QString madeErrone = QStringLiteral("Message: Réunion d'équipe\n\nCe message est maintenant érroné.");
    const QString atStart = QStringLiteral(
        "Ce message est periodique (affiché au démarrage du programme).\n"
        "Son prochain affichage se fera donc au prochain démarrage du programme.");
    // Whatever the code and the setting, a message being deleted from the main window goes.
    row("deleted from the main window", "1", "3", "31/12/2030 09:00", true, NoteCloseOutcome::Deleted,
        "Message: Réunion d'équipe\n\nCe message est maintenant supprimé.", false, gone);
    row("at start", "0", "9", nullptr, false, NoteCloseOutcome::AtStart, atStart, true, "actif " + kStored);
    // The next month would be 08/07, after the end.
    row("ended, deleted", "0", "4", "30/06/2026 10:00", false, NoteCloseOutcome::Expired, deleted, true, gone);
    row("ended, errone", "1", "4", "30/06/2026 10:00", false, NoteCloseOutcome::Expired, madeErrone, true, errone);
    row("once, deleted", "0", "0", nullptr, false, NoteCloseOutcome::Expired, deleted, true, gone);
}

void tst_NoteClose::otherCloses() {
    QFETCH(QStringList, c);
    QFETCH(bool, deleting);
    QFETCH(int, kind);
    QFETCH(bool, tellBefore);
    StoreFixture f(c[0]);
    const qint64 id = f.insert(kTitle, "affiche", c[1], kStored, c[2]);
    const qint64 other = f.insert("Autre", "affiche", "0", kStored, QString());
    const NoteCloseOutcome outcome =
        decideNoteClose(note(id, c[1], c[2]), at("08/06/2026 09:00"), at("08/06/2026 09:05"), f.expiry, deleting);
    QCOMPARE(int(outcome.kind), kind);
    QCOMPARE(outcome.text, c[3]);
    QCOMPARE(outcome.tellBeforeWriting, tellBefore);
    QVERIFY(!outcome.next);
    QVERIFY(writeNoteClose(f.store, f.expiry, id, outcome));
    QCOMPARE(f.row(id), c[4]);
    QCOMPARE(f.row(other), QStringLiteral("affiche ") + kStored);
}

QTEST_GUILESS_MAIN(tst_NoteClose)
#include "tst_noteclose.moc"
