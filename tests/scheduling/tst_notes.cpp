#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <memory>

#include "app/SettingsStore.h"
#include "main_window/MessageLists.h"
#include "main_window/frmGestionMessages.h"
#include "scheduling/frmTavanote.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kEnd = QStringLiteral("31/12/2030 08:00");
const QString kCloseQuestion = QStringLiteral("Êtes-vous sûr(e) que ce message ne doit plus être affiché ?");

// One message with its first display at due ("dd/mm/yyyy hh:mm").
qint64 add(TestWorld& w, const QString& titre, const QString& due, const QString& code = QStringLiteral("0"),
           const QString& etat = QStringLiteral("actif"), const QString& end = kEnd) {
    return w.insert(titre, QStringLiteral("Texte de ") + titre, due.left(10), due.mid(11), etat, code, due,
                    code == QLatin1String("0") ? QString() : end);
}

void setting(TestWorld& w, const QString& key, const QString& value) {
    w.settingsStore->set(kParametres, key, value);
}

// A tick of the due check at the given local time ("dd/mm/yyyy hh:mm:ss").
void tick(TestWorld& w, frmGestionMessages& frm, const QString& when) {
    w.clock.set(dateTime(when));
    frm.Timer2_Timer();
}

void tickAt(TestWorld& w, frmGestionMessages& frm, const QDateTime& when) {
    w.clock.set(when);
    frm.Timer2_Timer();
}

QString field(TestWorld& w, qint64 id, const QString& column) {
    Recordset rs = w.sql(QStringLiteral("SELECT * FROM message WHERE id = %1").arg(id));
    if (rs.isEmpty())
        return QStringLiteral("(none)");
    rs.moveFirst();
    return rs.text(column);
}

QString etat(TestWorld& w, qint64 id) {
    return field(w, id, QStringLiteral("etat"));
}

QString next(TestWorld& w, qint64 id) {
    return field(w, id, QStringLiteral("prochainaffichage"));
}

QStringList tags(frmGestionMessages& frm) {
    QStringList list;
    for (frmTavanote* note : frm.openNotes())
        list << note->tag();
    return list;
}

QString tagOf(qint64 id) {
    return QStringLiteral("Tavanote_%1").arg(id);
}

QString countLabel(frmGestionMessages& frm, int list) {
    return ctl<QLabel>(&frm, QStringLiteral("lblNombre_%1").arg(list))->text();
}

// Lets the deleted notes go, as the event loop would right after a close.
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRect availableArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

const QList<QColor> kEightColours = {QColor(224, 224, 224), QColor(255, 128, 128), QColor(255, 192, 128),
                                     QColor(255, 255, 128), QColor(128, 255, 128), QColor(128, 255, 255),
                                     QColor(128, 128, 255), QColor(255, 128, 255)};

QColor textBackground(frmTavanote* note) {
    return note->txtMessage->palette().color(QPalette::Base);
}

}  // namespace

class tst_Notes : public QObject {
    Q_OBJECT
private slots:
    void init();

    // The due check
    void messageOpensAtTheFirstTickOfItsMinuteAndOnlyThen();
    void messagesOfTheSameMinuteOpenInOneTickInStoreOrder();
    void nextDisplayWithoutLeadingZerosIsNeverMatched();
    void startupMessageIsNeverOpenedByATick();
    void startupMessagesOpenAtLoadInEveryState();
    void tickDuringTheQuitQuestionRunsOnceTheQuestionIsAnswered();
    void tickDuringANotesCloseQuestionRunsOnceTheQuestionIsAnswered();
    void messageInTheSkippedSpringHourOpensAfterTheJump();
    void minutesSleptThroughAreNotMadeUp();
    void messageOfTheHourLivedTwiceOpensOnce();
    void messageOnScreenIsNotOpenedAgain();

    // The note window
    void bottomRightNoteTouchesTheScreensCorner();
    void randomPlaceKeepsTheNoteOnScreen_data();
    void randomPlaceKeepsTheNoteOnScreen();
    void fixedColourIsTheTextBackground();
    void randomColourIsOneOfTheEight_data();
    void randomColourIsOneOfTheEight();
    void dateAndTimeLabelsFollowTheDisplaySetting_data();
    void dateAndTimeLabelsFollowTheDisplaySetting();
    void hiddenLabelsStillDateTheNextDisplay();
    void onTopButtonTogglesTopmost();

    // Closing a note
    void answeringNoToTheCloseQuestionKeepsTheNote();
    void closingAWeeklyNoteReschedulesIt();
    void closingAOneTimeNoteDeletesOrMarksIt();
    void deletionFromTheMainWindowClosesWithoutQuestion();
    void closingAStartupNoteKeepsItsNextDisplay();
    void programEndLeavesNotesDisplayedWithoutCloseHandling();
};

void tst_Notes::init() {
    // Every test starts with no note on screen: notes never outlive the main window that opened them.
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<frmTavanote*>(widget));
}

// --- The due check ---

void tst_Notes::messageOpensAtTheFirstTickOfItsMinuteAndOnlyThen() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "position", "0");
    setting(w, "couleur", "255");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    const qint64 later = add(w, "Banque", "05/03/2026 08:01");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QCOMPARE(countLabel(frm, ListActifs), QStringLiteral("Nombre de messages actifs: 2"));

    tick(w, frm, "05/03/2026 07:59:45");
    QVERIFY(frm.openNotes().isEmpty());

    tick(w, frm, "05/03/2026 08:00:00");
    QCOMPARE(frm.openNotes().size(), 1);
    frmTavanote* note = frm.openNotes().first();
    QCOMPARE(note->tag(), tagOf(id));
    QCOMPARE(note->property("Tag").toString(), tagOf(id));
    QCOMPARE(note->windowTitle(), QStringLiteral("Dentiste"));
    QCOMPARE(note->txtMessage->toPlainText(), QStringLiteral("Texte de Dentiste"));
    QCOMPARE(note->txtID->text(), QString::number(id));
    QCOMPARE(note->txtPeriodicite->text(), QStringLiteral("0"));
    QVERIFY(note->isVisible());
    QVERIFY(!note->isModal());
    QCOMPARE(frm.findNote(id), note);
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(etat(w, later), QStringLiteral("actif"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 1"));
    QCOMPARE(countLabel(frm, ListActifs), QStringLiteral("Nombre de messages actifs: 1"));

    for (const char* when : {"05/03/2026 08:00:15", "05/03/2026 08:00:30", "05/03/2026 08:00:45", "05/03/2026 08:00:59",
                             "05/03/2026 08:01:14", "05/03/2026 08:02:00"}) {
        tick(w, frm, when);
        QCOMPARE(tags(frm).count(tagOf(id)), 1);
    }
    // The 08:01 message opened by the 08:01 tick, and only it.
    QCOMPARE(tags(frm), QStringList({tagOf(id), tagOf(later)}));
    QVERIFY(w.dialogs.shown.empty());
}

void tst_Notes::messagesOfTheSameMinuteOpenInOneTickInStoreOrder() {
    TestWorld w("05/03/2026 07:59");
    const qint64 first = add(w, "Premier", "05/03/2026 08:00");
    const qint64 other = add(w, "Autre minute", "05/03/2026 08:02");
    const qint64 second = add(w, "Second", "05/03/2026 08:00", "2");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    tick(w, frm, "05/03/2026 08:00:12");
    QCOMPARE(tags(frm), QStringList({tagOf(first), tagOf(second)}));
    QCOMPARE(frm.openNotes().at(0)->windowTitle(), QStringLiteral("Premier"));
    QCOMPARE(frm.openNotes().at(1)->windowTitle(), QStringLiteral("Second"));
    QCOMPARE(etat(w, first), QStringLiteral("affiche"));
    QCOMPARE(etat(w, second), QStringLiteral("affiche"));
    QCOMPARE(etat(w, other), QStringLiteral("actif"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 2"));
}

void tst_Notes::nextDisplayWithoutLeadingZerosIsNeverMatched() {
    TestWorld w("05/03/2026 07:59");
    const qint64 id = w.insert("Sans zéros", "Texte", "5/3/2026", "08:00", "actif", "0", "5/3/2026 08:00", QString());
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    for (int second = 0; second < 180; second += 15)
        tickAt(w, frm, dateTime("05/03/2026 07:59:30").addSecs(second));
    QVERIFY(frm.openNotes().isEmpty());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(next(w, id), QStringLiteral("5/3/2026 08:00"));
}

void tst_Notes::startupMessageIsNeverOpenedByATick() {
    TestWorld w("05/03/2026 07:59");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    // Written after the load, so that the load's own display of start-up messages has not seen it.
    const qint64 id = add(w, "Au démarrage", "05/03/2026 08:00", "9");
    for (int second = 0; second < 120; second += 15)
        tickAt(w, frm, dateTime("05/03/2026 07:59:45").addSecs(second));
    QVERIFY(frm.openNotes().isEmpty());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
}

void tst_Notes::startupMessagesOpenAtLoadInEveryState() {
    TestWorld w("05/03/2026 07:59");
    const qint64 active = add(w, "Actif", "01/01/2026 08:00", "9");
    const qint64 ordinary = add(w, "Ordinaire", "06/03/2026 08:00", "2");
    const qint64 displayed = add(w, "Affiché", "01/01/2026 08:00", "9", "affiche");
    const qint64 errone = add(w, "Érroné", "01/01/2026 08:00", "9", "errone");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    QCOMPARE(tags(frm), QStringList({tagOf(active), tagOf(displayed), tagOf(errone)}));
    for (const qint64 id : {active, displayed, errone}) {
        QCOMPARE(etat(w, id), QStringLiteral("affiche"));
        QCOMPARE(next(w, id), QStringLiteral("01/01/2026 08:00"));
    }
    QCOMPARE(etat(w, ordinary), QStringLiteral("actif"));
    QCOMPARE(frm.findNote(errone)->windowTitle(), QStringLiteral("Érroné"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 3"));
    QCOMPARE(countLabel(frm, ListErrones), QStringLiteral("Nombre de messages érronés: 0"));
    QVERIFY(w.dialogs.shown.empty());
}

void tst_Notes::tickDuringTheQuitQuestionRunsOnceTheQuestionIsAnswered() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "fin programme", "1");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    int notesDuringTheBox = -1;
    w.dialogs.whileNextBoxOpen = [&] {
        tick(w, frm, "05/03/2026 08:00:50");
        notesDuringTheBox = frm.openNotes().size();
    };
    w.dialogs.expect(Icon::Question,
                     QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?\n\nAttention:\n"
                                    "Il existe des messages actifs à afficher [1 message(s)]\n"
                                    "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré."),
                     Answer::No);
    frm.mnuQuitter_Click();
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(notesDuringTheBox, 0);
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(w.platform.endCount, 0);

    // The user took until the next minute to answer: the tick still belongs to 08:00.
    w.clock.set(dateTime("05/03/2026 08:01:20"));
    QTest::qWait(0);
    QCOMPARE(tags(frm), QStringList({tagOf(id)}));
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 1"));

    // It ran once: nothing more comes later.
    QTest::qWait(0);
    QCOMPARE(frm.openNotes().size(), 1);
}

void tst_Notes::tickDuringANotesCloseQuestionRunsOnceTheQuestionIsAnswered() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "confirmation fermeture", "1");
    const qint64 atStart = add(w, "Au démarrage", "01/01/2026 08:00", "9");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QPointer<frmTavanote> startNote = frm.findNote(atStart);
    QVERIFY(startNote);

    int notesDuringTheBox = -1;
    w.dialogs.whileNextBoxOpen = [&] {
        tick(w, frm, "05/03/2026 08:00:55");
        notesDuringTheBox = frm.openNotes().size();
    };
    w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
    QVERIFY(!startNote->close());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(notesDuringTheBox, 1);
    QCOMPARE(etat(w, id), QStringLiteral("actif"));

    w.clock.set(dateTime("05/03/2026 08:01:10"));
    QCoreApplication::processEvents();
    QCOMPARE(tags(frm), QStringList({tagOf(atStart), tagOf(id)}));
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(etat(w, atStart), QStringLiteral("affiche"));
    QVERIFY(startNote && startNote->isVisible());
}

void tst_Notes::messageInTheSkippedSpringHourOpensAfterTheJump() {
    // In Paris, 29/03/2026 02:00 does not exist: the clock goes from 01:59:59 to 03:00:00.
    TestWorld w("29/03/2026 01:58");
    const qint64 id = add(w, "Heure d'été", "29/03/2026 02:30");
    const qint64 later = add(w, "Après", "29/03/2026 03:30");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    tick(w, frm, "29/03/2026 01:59:50");
    QVERIFY(frm.openNotes().isEmpty());
    const QDateTime jump = dateTime("29/03/2026 03:00:05");
    QCOMPARE(dateTime("29/03/2026 01:59:50").secsTo(jump), 15);
    tickAt(w, frm, jump);
    QCOMPARE(tags(frm), QStringList({tagOf(id)}));
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(etat(w, later), QStringLiteral("actif"));
    tick(w, frm, "29/03/2026 03:00:20");
    QCOMPARE(frm.openNotes().size(), 1);
}

void tst_Notes::minutesSleptThroughAreNotMadeUp() {
    TestWorld w("05/03/2026 07:58");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 07:59:00");
    tick(w, frm, "05/03/2026 07:59:15");
    // Asleep until 08:05.
    for (int second = 0; second < 120; second += 15)
        tickAt(w, frm, dateTime("05/03/2026 08:05:02").addSecs(second));
    QVERIFY(frm.openNotes().isEmpty());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(next(w, id), QStringLiteral("05/03/2026 08:00"));
}

void tst_Notes::messageOfTheHourLivedTwiceOpensOnce() {
    // In Paris, 25/10/2026 02:30 comes twice: at 00:30 UTC (summer time) and at 01:30 UTC (winter time).
    const QDateTime firstPass = QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC).toLocalTime();
    const QDateTime secondPass = firstPass.addSecs(3600);
    QCOMPARE(firstPass.toString("dd/MM/yyyy HH:mm"), QStringLiteral("25/10/2026 02:30"));
    QCOMPARE(secondPass.toString("dd/MM/yyyy HH:mm"), QStringLiteral("25/10/2026 02:30"));

    TestWorld w("25/10/2026 02:00");
    w.clock.set(firstPass.addSecs(-20 * 60));
    setting(w, "suppression", "1");
    const qint64 id = add(w, "Heure d'hiver", "25/10/2026 02:30");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    // The due check ticks every 15 seconds through the first 02:30.
    for (QDateTime when = firstPass.addSecs(-20); when < firstPass.addSecs(120); when = when.addSecs(15))
        tickAt(w, frm, QDateTime::fromSecsSinceEpoch(when.toSecsSinceEpoch()));
    QCOMPARE(tags(frm), QStringList({tagOf(id)}));

    // The user closes the note; then the message becomes active again at the same minute.
    w.dialogs.expect(Icon::Information, QStringLiteral("Message: Heure d'hiver\n\nCe message est maintenant érroné."));
    QVERIFY(frm.findNote(id)->close());
    QVERIFY(w.dialogs.allAnswered());
    flushDeletes();
    QVERIFY(frm.openNotes().isEmpty());
    w.sql(QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = %1").arg(id));
    QCOMPARE(next(w, id), QStringLiteral("25/10/2026 02:30"));

    for (QDateTime when = firstPass.addSecs(120); when < secondPass.addSecs(120); when = when.addSecs(15))
        tickAt(w, frm, QDateTime::fromSecsSinceEpoch(when.toSecsSinceEpoch()));
    QVERIFY(frm.openNotes().isEmpty());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
}

void tst_Notes::messageOnScreenIsNotOpenedAgain() {
    TestWorld w("05/03/2026 07:59");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 08:00:05");
    QCOMPARE(frm.openNotes().size(), 1);

    // Another writer makes the row active again for a later minute while its note is still on screen.
    w.sql(QStringLiteral("UPDATE message SET etat = 'actif', prochainaffichage = '05/03/2026 08:05' WHERE id = %1")
              .arg(id));
    for (int second = 0; second < 420; second += 15)
        tickAt(w, frm, dateTime("05/03/2026 08:00:20").addSecs(second));
    QCOMPARE(tags(frm), QStringList({tagOf(id)}));
}

// --- The note window ---

void tst_Notes::bottomRightNoteTouchesTheScreensCorner() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "position", "8");
    const qint64 a = add(w, "Coin", "01/01/2026 08:00", "9");
    const qint64 b = add(w, "Coin 2", "01/01/2026 08:00", "9");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    for (const qint64 id : {a, b}) {
        frmTavanote* note = frm.findNote(id);
        QVERIFY(note);
        QCOMPARE(note->frameGeometry().bottomRight(), availableArea().bottomRight());
    }
    // Two notes of the same fixed place lie exactly on one another.
    QCOMPARE(frm.findNote(a)->frameGeometry(), frm.findNote(b)->frameGeometry());
}

void tst_Notes::randomPlaceKeepsTheNoteOnScreen_data() {
    QTest::addColumn<double>("rl");
    QTest::addColumn<double>("rt");
    QTest::newRow("0, 0") << 0.0 << 0.0;
    QTest::newRow("0.5, 0.25") << 0.5 << 0.25;
    QTest::newRow("0.999999, 0.999999") << 0.999999 << 0.999999;
}

void tst_Notes::randomPlaceKeepsTheNoteOnScreen() {
    QFETCH(double, rl);
    QFETCH(double, rt);
    TestWorld w("05/03/2026 07:59");
    setting(w, "couleur", "255");
    w.random.draws = {rl, rt};
    const qint64 id = add(w, "Au hasard", "01/01/2026 08:00", "9");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    frmTavanote* note = frm.findNote(id);
    QVERIFY(note);
    const QRect area = availableArea();
    const QRect frame = note->frameGeometry();
    QVERIFY2(
        area.contains(frame),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    QVERIFY(qAbs(frame.left() - (area.left() + rl * (area.width() - frame.width()))) <= 1);
    QVERIFY(qAbs(frame.top() - (area.top() + rt * (area.height() - frame.height()))) <= 1);
}

void tst_Notes::fixedColourIsTheTextBackground() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "position", "4");
    setting(w, "couleur", "255");
    const qint64 id = add(w, "Rouge", "01/01/2026 08:00", "9");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    frmTavanote* note = frm.findNote(id);
    QCOMPARE(textBackground(note), QColor(255, 0, 0));
    QCOMPARE(note->lblJour->palette().color(note->lblJour->backgroundRole()), QColor(255, 0, 0));
    QCOMPARE(note->lblheure->palette().color(note->lblheure->backgroundRole()), QColor(255, 0, 0));
}

void tst_Notes::randomColourIsOneOfTheEight_data() {
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("0.3") << 0.3 << 2;
    QTest::newRow("0.5") << 0.5 << 4;
    QTest::newRow("0.999999") << 0.999999 << 7;
}

void tst_Notes::randomColourIsOneOfTheEight() {
    QFETCH(double, draw);
    QFETCH(int, index);
    TestWorld w("05/03/2026 07:59");
    setting(w, "position", "0");
    w.random.draws = {draw};
    const qint64 id = add(w, "Couleur", "01/01/2026 08:00", "9");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    const QColor colour = textBackground(frm.findNote(id));
    QVERIFY(kEightColours.contains(colour));
    QCOMPARE(colour, kEightColours[index]);
}

void tst_Notes::dateAndTimeLabelsFollowTheDisplaySetting_data() {
    QTest::addColumn<QString>("affichage");
    QTest::addColumn<QString>("jour");
    QTest::addColumn<QString>("heure");
    QTest::newRow("0 nothing") << "0"
                               << ""
                               << "";
    QTest::newRow("1 date only") << "1"
                                 << "05/03/2026"
                                 << "";
    QTest::newRow("2 time only") << "2"
                                 << ""
                                 << "08:00";
    QTest::newRow("3 both") << "3"
                            << "05/03/2026"
                            << "08:00";
    QTest::newRow("other both") << "7"
                                << "05/03/2026"
                                << "08:00";
}

void tst_Notes::dateAndTimeLabelsFollowTheDisplaySetting() {
    QFETCH(QString, affichage);
    QFETCH(QString, jour);
    QFETCH(QString, heure);
    TestWorld w("05/03/2026 07:59");
    setting(w, "affichage", affichage);
    const qint64 id = add(w, "Étiquettes", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 08:00:40");
    frmTavanote* note = frm.findNote(id);
    QVERIFY(note);
    QCOMPARE(note->lblJour->text(), jour);
    QCOMPARE(note->lblheure->text(), heure);
    QCOMPARE(note->lblJour->toolTip(), QStringLiteral("Date du message"));
    QCOMPARE(note->lblheure->toolTip(), QStringLiteral("Heure du message"));
    QCOMPARE(note->txtMessage->toolTip(), QStringLiteral("Texte du message"));
    QCOMPARE(note->cmdOnTop->text(), QStringLiteral("[-]"));
    QCOMPARE(note->cmdOnTop->toolTip(), QStringLiteral("Mettre le message en avant ou arrière plan"));
}

void tst_Notes::hiddenLabelsStillDateTheNextDisplay() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "affichage", "0");
    const qint64 id = add(w, "Courrier", "05/03/2026 08:00", "2");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 08:00:40");
    frmTavanote* note = frm.findNote(id);
    QVERIFY(note);
    QVERIFY(note->lblJour->text().isEmpty());
    QVERIFY(note->lblheure->text().isEmpty());

    // Closed the next morning, before the hour it appeared at: the next display is that hour.
    w.clock.set(dateTime("06/03/2026 07:30:00"));
    w.dialogs.expect(Icon::Information, QStringLiteral("Ce message est periodique (affiché tous les jours).\n"
                                                       "Son prochain affichage est prévu pour le:06/03/2026 à 08:00"));
    QVERIFY(note->close());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(next(w, id), QStringLiteral("06/03/2026 08:00"));
}

void tst_Notes::onTopButtonTogglesTopmost() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "position", "4");
    const qint64 id = add(w, "Devant", "01/01/2026 08:00", "9");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QPointer<frmTavanote> note = frm.findNote(id);
    QVERIFY(note->onTop());
    QVERIFY(note->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QPoint position = note->pos();

    QTest::mouseClick(note->cmdOnTop, Qt::LeftButton);
    QVERIFY(!note->onTop());
    QVERIFY(!note->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(note->isVisible());
    QCOMPARE(note->pos(), position);
    QCOMPARE(note->cmdOnTop->text(), QStringLiteral("[-]"));

    QTest::mouseClick(note->cmdOnTop, Qt::LeftButton);
    QVERIFY(note->onTop());
    QVERIFY(note->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(note->isVisible());
    QCOMPARE(note->pos(), position);
    QVERIFY(w.dialogs.shown.empty());
}

// --- Closing a note ---

void tst_Notes::answeringNoToTheCloseQuestionKeepsTheNote() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "confirmation fermeture", "1");
    const qint64 id = add(w, "Dentiste", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 08:00:05");
    QPointer<frmTavanote> note = frm.findNote(id);
    QVERIFY(note);
    note->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(note));

    w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
    QTest::keyClick(note, Qt::Key_Escape);
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.dialogs.shown[0].buttons, Buttons::YesNo);
    QCOMPARE(w.dialogs.shown[0].title, QStringLiteral("Tavanote"));
    flushDeletes();
    QVERIFY(note && note->isVisible());
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));

    w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::No);
    QVERIFY(!note->close());
    QVERIFY(w.dialogs.allAnswered());
    flushDeletes();
    QVERIFY(note && note->isVisible());
    QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 1"));
}

void tst_Notes::closingAWeeklyNoteReschedulesIt() {
    // Monday 08/06/2026.
    TestWorld w("08/06/2026 08:59");
    setting(w, "confirmation fermeture", "1");
    const qint64 id = add(w, "Piscine", "08/06/2026 09:00", "3");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "08/06/2026 09:00:10");
    QPointer<frmTavanote> note = frm.findNote(id);
    QVERIFY(note);
    note->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(note));

    w.clock.set(dateTime("08/06/2026 11:42:00"));
    w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::Yes);
    w.dialogs.expect(Icon::Information, QStringLiteral("Ce message est periodique (affiché toutes les semaines).\n"
                                                       "Son prochain affichage est prévu pour le:15/06/2026 à 09:00"));
    QTest::keyClick(note, Qt::Key_Escape);
    QVERIFY(w.dialogs.allAnswered());
    flushDeletes();
    QVERIFY(!note);
    QVERIFY(frm.openNotes().isEmpty());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(next(w, id), QStringLiteral("15/06/2026 09:00"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 0"));
    QCOMPARE(countLabel(frm, ListActifs), QStringLiteral("Nombre de messages actifs: 1"));

    // And it opens again on the following Monday.
    tick(w, frm, "15/06/2026 08:59:55");
    tick(w, frm, "15/06/2026 09:00:10");
    QCOMPARE(tags(frm), QStringList({tagOf(id)}));
}

void tst_Notes::closingAOneTimeNoteDeletesOrMarksIt() {
    for (const char* suppression : {"0", "1"}) {
        TestWorld w("05/03/2026 07:59");
        setting(w, "suppression", suppression);
        const qint64 id = add(w, "Réunion", "05/03/2026 08:00");
        frmGestionMessages frm(w.services(), false);
        QVERIFY(frm.Form_Load());
        tick(w, frm, "05/03/2026 08:00:05");
        const bool deleting = QLatin1String(suppression) == QLatin1String("0");
        w.dialogs.expect(Icon::Information,
                         deleting ? QStringLiteral("Message: Réunion\n\nCe message a été supprimé.")
                                  : QStringLiteral("Message: Réunion\n\nCe message est maintenant érroné."));
        QVERIFY(frm.findNote(id)->close());
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(etat(w, id), deleting ? QStringLiteral("(none)") : QStringLiteral("errone"));
        QCOMPARE(countLabel(frm, ListErrones), deleting ? QStringLiteral("Nombre de messages érronés: 0")
                                                        : QStringLiteral("Nombre de messages érronés: 1"));
        flushDeletes();
    }
}

void tst_Notes::deletionFromTheMainWindowClosesWithoutQuestion() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "confirmation fermeture", "1");
    setting(w, "suppression", "1");
    const qint64 deleted = add(w, "Dentiste", "05/03/2026 08:00", "3");
    const qint64 other = add(w, "Banque", "05/03/2026 08:00");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    tick(w, frm, "05/03/2026 08:00:05");
    QCOMPARE(frm.openNotes().size(), 2);

    frm.DeletingDisplayedMessage = true;
    w.dialogs.expect(Icon::Information, QStringLiteral("Message: Dentiste\n\nCe message est maintenant supprimé."));
    QVERIFY(frm.findNote(deleted)->close());
    frm.DeletingDisplayedMessage = false;
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(etat(w, deleted), QStringLiteral("(none)"));
    QCOMPARE(countLabel(frm, ListAffiches), QStringLiteral("Nombre de messages actuellement affichés: 1"));

    // The next note closes the usual way.
    w.dialogs.expect(Icon::Question, kCloseQuestion, Answer::Yes);
    w.dialogs.expect(Icon::Information, QStringLiteral("Message: Banque\n\nCe message est maintenant érroné."));
    QVERIFY(frm.findNote(other)->close());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(etat(w, other), QStringLiteral("errone"));
    flushDeletes();
    QVERIFY(frm.openNotes().isEmpty());
}

void tst_Notes::closingAStartupNoteKeepsItsNextDisplay() {
    TestWorld w("05/03/2026 07:59");
    const qint64 id = add(w, "Sauvegarde", "01/01/2026 08:00", "9", "errone");
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    w.clock.set(dateTime("05/03/2026 10:00:00"));
    w.dialogs.expect(Icon::Information,
                     QStringLiteral("Ce message est periodique (affiché au démarrage du programme).\n"
                                    "Son prochain affichage se fera donc au prochain démarrage du programme."));
    QVERIFY(frm.findNote(id)->close());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(etat(w, id), QStringLiteral("actif"));
    QCOMPARE(next(w, id), QStringLiteral("01/01/2026 08:00"));
    QCOMPARE(countLabel(frm, ListActifs), QStringLiteral("Nombre de messages actifs: 1"));
    flushDeletes();
}

void tst_Notes::programEndLeavesNotesDisplayedWithoutCloseHandling() {
    TestWorld w("05/03/2026 07:59");
    setting(w, "confirmation fermeture", "1");
    const qint64 atStart = add(w, "Au démarrage", "01/01/2026 08:00", "9");
    const qint64 once = add(w, "Dentiste", "05/03/2026 08:00");
    const qint64 weekly = add(w, "Piscine", "05/03/2026 08:00", "3");
    auto frm = std::make_unique<frmGestionMessages>(w.services(), false);
    QVERIFY(frm->Form_Load());
    tick(w, *frm, "05/03/2026 08:00:05");
    QList<QPointer<frmTavanote>> notes;
    for (frmTavanote* note : frm->openNotes())
        notes << note;
    QCOMPARE(notes.size(), 3);

    frm.reset();
    flushDeletes();
    for (const QPointer<frmTavanote>& note : notes)
        QVERIFY(!note);
    QVERIFY(w.dialogs.shown.empty());
    for (const qint64 id : {atStart, once, weekly})
        QCOMPARE(etat(w, id), QStringLiteral("affiche"));
    QCOMPARE(next(w, weekly), QStringLiteral("05/03/2026 08:00"));
}

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
