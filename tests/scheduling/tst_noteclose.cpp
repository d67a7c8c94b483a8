#include <QTest>

#include "StoreFixture.h"
#include "scheduling/NoteClose.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kAtStartText = QStringLiteral(
    "Ce message est periodique (affiché au démarrage du programme).\n"
    "Son prochain affichage se fera donc au prochain démarrage du programme.");

NoteFields note(qint64 id, const QString& title, const QString& code, const QString& lastDisplay,
                const QString& displayedAt) {
    NoteFields fields;
    fields.id = id;
    fields.title = title;
    fields.code = code;
    fields.lastDisplay = lastDisplay;
    fields.displayedAt = at(displayedAt);
    return fields;
}

QString expiredText(const QString& title, const QString& suppression) {
    return QStringLiteral("Message: ") + title + QStringLiteral("\n\n") +
           (suppression == QLatin1String("0") ? QStringLiteral("Ce message a été supprimé.")
                                              : QStringLiteral("Ce message est maintenant érroné."));
}

}  // namespace

class tst_NoteClose : public QObject {
    Q_OBJECT
private slots:
    void deletionFromTheMainWindowDeletesTheRow();
    void startupMessageGoesBackToActiveWithItsNextDisplayUnchanged();
    void periodicMessageIsRescheduled_data();
    void periodicMessageIsRescheduled();
    void yearlyMessageIsNextDueAYearLater();
    void displaysMissedWhileTheNoteWasOpenAreNotMadeUp();
    void endedSeriesIsDeletedOrMadeErrone_data();
    void endedSeriesIsDeletedOrMadeErrone();
    void oneTimeMessageIsDeletedOrMadeErrone_data();
    void oneTimeMessageIsDeletedOrMadeErrone();
    void periodicMessageWithUnreadableEndGoesOn_data();
    void periodicMessageWithUnreadableEndGoesOn();
    void closeQuestionText();
};

void tst_NoteClose::deletionFromTheMainWindowDeletesTheRow() {
    StoreFixture f;
    f.setSuppression("1");
    const qint64 id = f.insert("Dentiste", "affiche", "3", "08/06/2026 09:00", "31/12/2030 09:00");
    const qint64 other = f.insert("Banque", "affiche", "0", "08/06/2026 09:00", QString());
    // Whatever the code and the setting: the message is being deleted.
    const NoteCloseOutcome outcome = decideNoteClose(note(id, "Dentiste", "3", "31/12/2030 09:00", "08/06/2026 09:00"),
                                                     at("08/06/2026 09:05"), "1", true);
    QCOMPARE(outcome.kind, NoteCloseOutcome::Deleted);
    QCOMPARE(outcome.text, QStringLiteral("Message: Dentiste\n\nCe message est maintenant supprimé."));
    QVERIFY(!outcome.tellBeforeWriting);
    QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
    QVERIFY(!f.exists(id));
    QCOMPARE(f.etat(other), QStringLiteral("affiche"));
}

void tst_NoteClose::startupMessageGoesBackToActiveWithItsNextDisplayUnchanged() {
    for (const char* suppression : {"0", "1"}) {
        StoreFixture f;
        f.setSuppression(suppression);
        const qint64 id = f.insert("Sauvegarde", "affiche", "9", "01/01/2020 08:00", QString());
        const NoteCloseOutcome outcome = decideNoteClose(note(id, "Sauvegarde", "9", QString(), "08/06/2026 09:00"),
                                                         at("08/06/2026 09:05"), suppression, false);
        QCOMPARE(outcome.kind, NoteCloseOutcome::AtStart);
        QCOMPARE(outcome.text, kAtStartText);
        QVERIFY(outcome.tellBeforeWriting);
        QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
        QCOMPARE(f.etat(id), QStringLiteral("actif"));
        QCOMPARE(f.next(id), QStringLiteral("01/01/2020 08:00"));
    }
}

void tst_NoteClose::periodicMessageIsRescheduled_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("next");
    // Shown on Monday 08/06/2026 at 09:00, closed five minutes later.
    QTest::newRow("hourly") << "1"
                            << "(affiché toutes les heures)"
                            << "08/06/2026 10:00";
    QTest::newRow("daily") << "2"
                           << "(affiché tous les jours)"
                           << "09/06/2026 09:00";
    QTest::newRow("weekly") << "3"
                            << "(affiché toutes les semaines)"
                            << "15/06/2026 09:00";
    QTest::newRow("monthly") << "4"
                             << "(affiché tous les mois)"
                             << "08/07/2026 09:00";
    QTest::newRow("two months") << "5"
                                << "(affiché tous les bimestres)"
                                << "08/08/2026 09:00";
    QTest::newRow("three months") << "6"
                                  << "(affiché tous les trimestres)"
                                  << "08/09/2026 09:00";
    QTest::newRow("six months") << "7"
                                << "(affiché tous les semestres)"
                                << "08/12/2026 09:00";
    QTest::newRow("yearly") << "8"
                            << "(affiché toutes les années)"
                            << "08/06/2027 09:00";
}

void tst_NoteClose::periodicMessageIsRescheduled() {
    QFETCH(QString, code);
    QFETCH(QString, label);
    QFETCH(QString, next);
    for (const char* suppression : {"0", "1"}) {
        StoreFixture f;
        f.setSuppression(suppression);
        const qint64 id = f.insert("Piscine", "affiche", code, "08/06/2026 09:00", "31/12/2030 09:00");
        const NoteCloseOutcome outcome =
            decideNoteClose(note(id, "Piscine", code, "31/12/2030 09:00", "08/06/2026 09:00"), at("08/06/2026 09:05"),
                            suppression, false);
        QCOMPARE(outcome.kind, NoteCloseOutcome::Rescheduled);
        QCOMPARE(shown(outcome.next), next);
        const QString when = next.left(10) + QStringLiteral(" à ") + next.mid(11);
        QCOMPARE(outcome.text, QStringLiteral("Ce message est periodique ") + label +
                                   QStringLiteral(".\nSon prochain affichage est prévu pour le:") + when);
        QVERIFY(!outcome.tellBeforeWriting);
        QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
        QCOMPARE(f.etat(id), QStringLiteral("actif"));
        QCOMPARE(f.next(id), next);
        QCOMPARE(f.field(id, "dernieraffichage"), QStringLiteral("31/12/2030 09:00"));
    }
}

void tst_NoteClose::yearlyMessageIsNextDueAYearLater() {
    StoreFixture f;
    f.setSuppression("0");
    const qint64 id = f.insert("Anniversaire", "affiche", "8", "15/06/2026 10:00", "31/12/2030 10:00");
    const NoteCloseOutcome outcome = decideNoteClose(
        note(id, "Anniversaire", "8", "31/12/2030 10:00", "15/06/2026 10:00"), at("15/06/2026 18:30"), "0", false);
    QCOMPARE(outcome.text, QStringLiteral("Ce message est periodique (affiché toutes les années).\n"
                                          "Son prochain affichage est prévu pour le:15/06/2027 à 10:00"));
    QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
    QCOMPARE(f.next(id), QStringLiteral("15/06/2027 10:00"));
    QCOMPARE(f.etat(id), QStringLiteral("actif"));
}

void tst_NoteClose::displaysMissedWhileTheNoteWasOpenAreNotMadeUp() {
    const NoteCloseOutcome hourly = decideNoteClose(note(1, "Pause", "1", "31/12/2030 08:00", "08/06/2026 08:00"),
                                                    at("08/06/2026 10:30"), "0", false);
    QCOMPARE(shown(hourly.next), QStringLiteral("08/06/2026 11:00"));
    // Closed at the very minute of a candidate: that candidate has passed.
    const NoteCloseOutcome onTheHour = decideNoteClose(note(1, "Pause", "1", "31/12/2030 08:00", "08/06/2026 08:00"),
                                                       at("08/06/2026 10:00"), "0", false);
    QCOMPARE(shown(onTheHour.next), QStringLiteral("08/06/2026 11:00"));
    // A daily note left open over a week-end.
    const NoteCloseOutcome daily = decideNoteClose(note(1, "Courrier", "2", "31/12/2030 08:00", "05/06/2026 08:00"),
                                                   at("08/06/2026 07:00"), "0", false);
    QCOMPARE(shown(daily.next), QStringLiteral("08/06/2026 08:00"));
}

void tst_NoteClose::endedSeriesIsDeletedOrMadeErrone_data() {
    QTest::addColumn<QString>("suppression");
    QTest::newRow("automatic deletion") << "0";
    QTest::newRow("manual deletion") << "1";
}

void tst_NoteClose::endedSeriesIsDeletedOrMadeErrone() {
    QFETCH(QString, suppression);
    StoreFixture f;
    f.setSuppression(suppression);
    // The next month would be 15/07, after the end.
    const qint64 id = f.insert("Loyer", "affiche", "4", "15/06/2026 10:00", "30/06/2026 10:00");
    const NoteCloseOutcome outcome = decideNoteClose(note(id, "Loyer", "4", "30/06/2026 10:00", "15/06/2026 10:00"),
                                                     at("15/06/2026 10:05"), suppression, false);
    QCOMPARE(outcome.kind, NoteCloseOutcome::Expired);
    QCOMPARE(outcome.text, expiredText("Loyer", suppression));
    QVERIFY(!outcome.next);
    QVERIFY(outcome.tellBeforeWriting);
    QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
    if (suppression == "0") {
        QVERIFY(!f.exists(id));
    } else {
        QCOMPARE(f.etat(id), QStringLiteral("errone"));
        QCOMPARE(f.next(id), QStringLiteral("15/06/2026 10:00"));
    }

    // One minute after the end is past it too; exactly on the end is still a display.
    const NoteCloseOutcome late = decideNoteClose(note(2, "Loyer", "4", "15/07/2026 09:59", "15/06/2026 10:00"),
                                                  at("15/06/2026 10:05"), suppression, false);
    QCOMPARE(late.kind, NoteCloseOutcome::Expired);
    const NoteCloseOutcome onEnd = decideNoteClose(note(2, "Loyer", "4", "15/07/2026 10:00", "15/06/2026 10:00"),
                                                   at("15/06/2026 10:05"), suppression, false);
    QCOMPARE(onEnd.kind, NoteCloseOutcome::Rescheduled);
    QCOMPARE(shown(onEnd.next), QStringLiteral("15/07/2026 10:00"));
}

void tst_NoteClose::oneTimeMessageIsDeletedOrMadeErrone_data() {
    QTest::addColumn<QString>("suppression");
    QTest::newRow("automatic deletion") << "0";
    QTest::newRow("manual deletion") << "1";
}

void tst_NoteClose::oneTimeMessageIsDeletedOrMadeErrone() {
    QFETCH(QString, suppression);
    StoreFixture f;
    f.setSuppression(suppression);
    const qint64 id = f.insert("Réunion d'équipe", "affiche", "0", "08/06/2026 09:00", QString());
    const NoteCloseOutcome outcome = decideNoteClose(note(id, "Réunion d'équipe", "0", QString(), "08/06/2026 09:00"),
                                                     at("08/06/2026 09:05"), suppression, false);
    QCOMPARE(outcome.kind, NoteCloseOutcome::Expired);
    QCOMPARE(outcome.text, expiredText("Réunion d'équipe", suppression));
    QVERIFY(outcome.tellBeforeWriting);
    QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
    if (suppression == "0")
        QVERIFY(!f.exists(id));
    else
        QCOMPARE(f.etat(id), QStringLiteral("errone"));
}

void tst_NoteClose::periodicMessageWithUnreadableEndGoesOn_data() {
    QTest::addColumn<QString>("lastDisplay");
    QTest::newRow("empty") << QString();
    QTest::newRow("words") << QStringLiteral("jamais");
    QTest::newRow("no such day") << QStringLiteral("31/02/2026 08:00");
}

void tst_NoteClose::periodicMessageWithUnreadableEndGoesOn() {
    QFETCH(QString, lastDisplay);
    StoreFixture f;
    f.setSuppression("0");
    const qint64 id = f.insert("Courrier", "affiche", "2", "08/06/2026 09:00", lastDisplay);
    const NoteCloseOutcome outcome =
        decideNoteClose(note(id, "Courrier", "2", lastDisplay, "08/06/2026 09:00"), at("08/06/2026 09:05"), "0", false);
    QCOMPARE(outcome.kind, NoteCloseOutcome::Rescheduled);
    QCOMPARE(shown(outcome.next), QStringLiteral("09/06/2026 09:00"));
    QVERIFY(writeNoteClose(f.store, *f.settings, id, outcome));
    QVERIFY(f.exists(id));
    QCOMPARE(f.etat(id), QStringLiteral("actif"));
    QCOMPARE(f.next(id), QStringLiteral("09/06/2026 09:00"));
}

void tst_NoteClose::closeQuestionText() {
    QCOMPARE(noteCloseQuestion(), QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?"));
}

QTEST_GUILESS_MAIN(tst_NoteClose)
#include "tst_noteclose.moc"
