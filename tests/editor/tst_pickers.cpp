#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "editor/CalendarGrid.h"
#include "editor/frmCalendrier.h"
#include "editor/frmHeure.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// Stands for the editor: its date and time fields, and the owner of the pickers it opens.
struct Editor {
    QWidget window;
    QLineEdit* txtDate = new QLineEdit(&window);
    QLineEdit* txtDateFin = new QLineEdit(&window);
    QLineEdit* txtHeure = new QLineEdit(&window);
};

QPointer<frmCalendrier> openCalendar(TestWorld& w, Editor& editor, int target = 0) {
    auto* frm = new frmCalendrier(w.services(), w.host, {editor.txtDate, editor.txtDateFin}, &editor.window);
    frm->CalendarTarget = target;
    frm->Form_Load();
    frm->show();
    return frm;
}

QPointer<frmHeure> openTime(TestWorld& w, Editor& editor) {
    auto* frm = new frmHeure(w.services(), w.host, editor.txtHeure, &editor.window);
    frm->Form_Load();
    frm->show();
    frm->activateWindow();
    if (!QTest::qWaitForWindowActive(frm))
        QTest::qFail("the time picker is not active", __FILE__, __LINE__);
    return frm;
}

QLabel* cell(frmCalendrier* frm, int i) {
    return ctl<QLabel>(frm, QStringLiteral("lblJourSemaine_%1").arg(i));
}

// The caption of the cell shown selected: dark red, white bold text.
QString selectedDay(frmCalendrier* frm) {
    QString day;
    for (int i = 0; i < 42; ++i) {
        const QPalette colours = cell(frm, i)->palette();
        if (colours.color(QPalette::Window) == QColor(192, 0, 0) && colours.color(QPalette::WindowText) == Qt::white &&
            cell(frm, i)->font().bold())
            day += cell(frm, i)->text();
    }
    return day;
}

// Keys as the keyboard sends them: to the picker's window, which hands them to its focused list.
void type(QWidget* frm, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(frm->windowHandle(), c.toLatin1());
}

// The picker opens with the hour selected: typing replaces it, Tab moves to the minute and selects it.
void fill(QWidget* frm, const QString& hour, const QString& minute) {
    for (const QString& text : {hour, minute}) {
        if (text.isEmpty())
            QTest::keyClick(frm->windowHandle(), Qt::Key_Backspace);
        type(frm, text);
        QTest::keyClick(frm->windowHandle(), Qt::Key_Tab);
    }
}

}  // namespace

class tst_pickers : public QObject {
    Q_OBJECT
private slots:
    // Every month the calendar offers, laid out against the calendar's own reckoning (the window shows this grid:
    // the days its cells write, below).
    void monthGridAgreesWithTheCalendar() {
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const QDate first(year, month, 1);
                const MonthGrid grid = monthGrid(month, year);
                QCOMPARE(grid.firstCell, first.dayOfWeek() - 1);
                QCOMPARE(daysInMonth(month, year), first.daysInMonth());
                for (int i = 0; i < kGridCells; ++i) {
                    const QDate day = first.addDays(i - grid.firstCell);
                    QCOMPARE(grid.captions[i], day.month() == month ? day.toString("dd") : QString());
                }
            }
        }
    }

    void arrows_data() {
        QTest::addColumn<QStringList>("steps");  // today, arrow, date selected after one click, after two
        // The month arrows stay in the year shown.
        for (const char* row : {"31/01/2028 09:00|lblMoisSuivant|29/02/2028|29/03/2028",
                                "15/01/2026 09:00|lblMoisPrecedent|15/12/2026|15/11/2026",
                                "15/12/2026 09:00|lblMoisSuivant|15/01/2026|15/02/2026",
                                "29/02/2028 09:00|lblAnneeSuivante|28/02/2029|28/02/2030",
                                "15/06/2099 09:00|lblAnneeSuivante|15/06/2100|15/06/2100",
                                "15/06/1901 09:00|lblAnneePrecedente|15/06/1900|15/06/1900"})
            QTest::newRow(row) << QString::fromLatin1(row).split('|');
    }

    void arrows() {
        QFETCH(QStringList, steps);
        TestWorld w(steps[0]);
        Editor editor;
        QPointer<frmCalendrier> frm = openCalendar(w, editor);
        for (const QString& shown : {steps[2], steps[3]}) {
            QTest::mouseClick(ctl<QLabel>(frm, steps[1]), Qt::LeftButton);
            QCOMPARE(selectedDay(frm), shown.left(2));
            QCOMPARE(ctl<QLabel>(frm, "lblMois")->text(), monthName(shown.mid(3, 2).toInt() - 1));
            QCOMPARE(ctl<QLabel>(frm, "lblAnnee")->text(), shown.mid(6));
        }
    }

    void calendarWrites() {
        TestWorld w("05/06/2026 09:00");
        Editor editor;
        QPointer<frmCalendrier> frm = openCalendar(w, editor);
        QTest::mouseDClick(cell(frm, 41), Qt::LeftButton);  // empty: June 2026 ends in cell 29
        QVERIFY(frm && frm->isVisible());
        QCOMPARE(editor.txtDate->text(), QString());

        // Opened from the end-date button: a click selects, Insérer writes the end date only.
        frm->CalendarTarget = 1;
        QTest::mouseClick(cell(frm, 16), Qt::LeftButton);
        QCOMPARE(selectedDay(frm), QStringLiteral("17"));
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdInserer"), Qt::LeftButton);
        QCOMPARE(editor.txtDateFin->text(), QStringLiteral("17/06/2026"));
        QCOMPARE(editor.txtDate->text(), QString());
        QVERIFY(!frm || !frm->isVisible());

        // A double click on a day writes it at once.
        frm = openCalendar(w, editor);
        QTest::mouseDClick(cell(frm, 20), Qt::LeftButton);
        QCOMPARE(editor.txtDate->text(), QStringLiteral("21/06/2026"));
        QVERIFY(!frm || !frm->isVisible());

        // Enter inserts; Esc leaves without writing.
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            editor.txtDate->clear();
            frm = openCalendar(w, editor);
            frm->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(frm));
            QTest::mouseClick(cell(frm, 2), Qt::LeftButton);
            QTest::keyClick(frm, key);
            QCOMPARE(editor.txtDate->text(), key == Qt::Key_Return ? QStringLiteral("03/06/2026") : QString());
            QVERIFY(!frm || !frm->isVisible());
        }
    }

    // The time typed is written once checked (Enter: tests/desktop); a fault keeps the picker open on its list.
    void timeChecked_data() {
        QTest::addColumn<QStringList>("typed");  // hour, minute, message, list in fault, its selected text
        for (const char* row :
             {"7|5||07:05|", "24|05|L'heure du message doit être comprise entre 00 et 23.|cboHeure|24",
              "7|60|Les minutes du message doit être comprise entre 00 et 59.|cboMinute|60",
              "||L'heure du message doit être saisie.|cboHeure|",
              "7||Les minutes du message doit être saisie.|cboMinute|"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }

    void timeChecked() {
        QFETCH(QStringList, typed);
        const QString faulty = typed[3];
        TestWorld w("05/06/2026 14:37");
        Editor editor;
        QPointer<frmHeure> frm = openTime(w, editor);
        fill(frm, typed[0], typed[1]);
        if (!typed[2].isEmpty())
            w.dialogs.expect(Icon::Information, typed[2]);
        QTest::mouseClick(ctl<QPushButton>(frm, "Bouton_0"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        if (typed[2].isEmpty()) {
            QCOMPARE(editor.txtHeure->text(), faulty);
            QVERIFY(!frm || !frm->isVisible());
            return;
        }
        QCOMPARE(editor.txtHeure->text(), QString());
        QVERIFY(frm && frm->isVisible());
        QComboBox* list = ctl<QComboBox>(frm, faulty);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->lineEdit()->selectedText(), typed[4]);
        if (faulty == QLatin1String("cboMinute"))
            QCOMPARE(ctl<QComboBox>(frm, "cboHeure")->currentText(), QStringLiteral("07"));
    }

    void timeTyping() {
        TestWorld w("05/06/2026 14:37");
        Editor editor;
        QPointer<frmHeure> frm = openTime(w, editor);
        QCOMPARE(ctl<QComboBox>(frm, "cboHeure")->currentText() + ctl<QComboBox>(frm, "cboMinute")->currentText(),
                 QStringLiteral("1437"));
        for (const char* name : {"cboHeure", "cboMinute"}) {
            QComboBox* list = ctl<QComboBox>(frm, name);
            QCOMPARE(QApplication::focusWidget(), list);
            type(frm, QStringLiteral("3"));  // replaces the selection
            QCOMPARE(list->currentText(), QStringLiteral("3"));
            type(frm, QStringLiteral("h"));
            QCOMPARE(w.platform.beeps, 1);
            type(frm, QStringLiteral("45"));  // a third digit, nothing selected: ignored without a beep
            QCOMPARE(list->currentText(), QStringLiteral("34"));
            QCOMPARE(w.platform.beeps, 1);
            w.platform.beeps = 0;
            QTest::keyClick(frm->windowHandle(), Qt::Key_Tab);
        }
        QTest::keyClick(frm->windowHandle(), Qt::Key_Escape);
        QCOMPARE(editor.txtHeure->text(), QString());
        QVERIFY(!frm || !frm->isVisible());
    }
};

QTEST_MAIN(tst_pickers)
#include "tst_pickers.moc"
