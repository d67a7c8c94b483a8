// The editor window built on its own services: the box each fault shows (its text: tst_fields) and where the focus
// goes, what one save writes, the keys of its date and time fields, and the date and time pickers it opens.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "editor/CalendarGrid.h"
#include "editor/EditorRules.h"
#include "editor/frmAjoutMessage.h"
#include "editor/frmCalendrier.h"
#include "editor/frmHeure.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

class Host : public EditorHost {
public:
    void showAbout() override {}
    void editorSaved(qint64 id) override { saved << id; }
    QList<qint64> saved;
};

// An editor on a test world whose store is open.
struct Editor : TestWorld {
    explicit Editor(const QString& now = QStringLiteral("05/06/2026 09:00")) : TestWorld(now) {
        openStore();
        e->Form_Load();
    }
    void startNew() { e->startNew(clock.now().date()); }
    QLineEdit* field(const char* name) { return ctl<QLineEdit>(e.get(), name); }
    // The picker an editor's button opens, shown and active.
    template <typename Picker>
    QPointer<Picker> open(const char* button) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // a picker closed is gone
        QTest::mouseClick(ctl<QWidget>(e.get(), button), Qt::LeftButton);
        QPointer<Picker> picker = e->findChild<Picker*>();
        if (picker)
            picker->activateWindow();
        if (!picker || !QTest::qWaitForWindowActive(picker))
            QTest::qFail("the picker is not active", __FILE__, __LINE__);
        return picker;
    }
    // Title, text, date, time and end date joined by "|", typed with every field enabled; then the periodicity.
    void fill(const QString& typed, int code) {
        ctl<QComboBox>(e.get(), "cboPeriode")->setCurrentIndex(2);
        const QStringList f = typed.split(QLatin1Char('|'));
        ctl<QLineEdit>(e.get(), "txtTitre")->setText(f.value(0));
        ctl<QPlainTextEdit>(e.get(), "txtTexte")->setPlainText(f.value(1));
        int i = 2;
        for (const char* name : {"txtDate", "txtHeure", "txtDateFin"})
            ctl<QLineEdit>(e.get(), name)->setText(f.value(i++));
        ctl<QComboBox>(e.get(), "cboPeriode")->setCurrentIndex(code);
    }
    void save() { QTest::keyClick(e.get(), Qt::Key_E, Qt::ControlModifier); }
    // The eight fields of a row, as read back, joined by "|".
    QString stored(qint64 id) {
        SqlRows rs = sql(QStringLiteral("SELECT * FROM message WHERE id = %1").arg(id));
        QStringList fields;
        for (const char* name : {"titre", "message", "datemessage", "heuremessage", "etat", "periodicite",
                                 "prochainaffichage", "dernieraffichage"})
            fields << rs.text(QLatin1String(name));
        return fields.join(QLatin1Char('|'));
    }

    Host host;
    std::unique_ptr<frmAjoutMessage> e = std::make_unique<frmAjoutMessage>(services(), host);
};

QLabel* cell(frmCalendrier* frm, int i) {
    return ctl<QLabel>(frm, QStringLiteral("lblJourSemaine_%1").arg(i));
}

// The caption of the cell shown selected: dark red, white bold text.
QString selectedDay(frmCalendrier* frm) {
    QString day;
    for (int i = 0; i < kGridCells; ++i) {
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

}  // namespace

class tst_editor : public QObject {
    Q_OBJECT
private slots:
    void saving_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("ms");  // after 05/06/2026 09:00
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("focus");   // after a refusal
        QTest::addColumn<QString>("stored");  // the row written
        const QString dc = "Dentiste|Cabinet|";
        auto row = [](const char* name, const QString& fields, int code, const char* focus, const char* stored = "",
                      int ms = 0, Answer answer = Answer::Ok) {
            QTest::newRow(name) << fields << code << ms << int(answer) << QString(focus) << QString(stored);
        };
        // One fault per field: its box, and the focus on it.
        row("blank title", "   ||||", 2, "txtTitre");
        row("blank text", "Dentiste|  |||", 2, "txtTexte");
        row("31 April", dc + "31/04/2026||", 2, "txtDate");
        row("hour 24", dc + "05/06/2026|24:00|", 2, "txtHeure");
        // Only whole seconds count: 09:00 today is past at 09:00:01, still to come at 09:00:00.400.
        row("this minute, 1 s gone", dc + "05/06/2026|09:00|", 2, "txtHeure", "", 1000);
        row("this minute, 0.4 s gone", dc + "05/06/2026|09:00|", 0, "",
            "Dentiste|Cabinet|05/06/2026|09:00|actif|0|05/06/2026 09:00|", 400);
        row("29 February 2027", dc + "05/06/2026|10:00|29/02/2027", 2, "txtDateFin");
        // A series too short to show twice asks first.
        row("short series, No", dc + "05/06/2026|10:00|07/06/2026", 2, "", "", 0, Answer::No);
        row("short series, Yes", dc + "05/06/2026|10:00|07/06/2026", 2, "",
            "Dentiste|Cabinet|05/06/2026|10:00|actif|2|05/06/2026 10:00|07/06/2026 10:00", 0, Answer::Yes);
        // At every start the date and time are neither checked nor kept; once, the end date typed earlier goes.
        row("at every start", dc + "31/04/2026|25:00|", 9, "", "Dentiste|Cabinet|||actif|9||");
        row("once", dc + "06/06/2026|10:00|30/06/2026", 0, "",
            "Dentiste|Cabinet|06/06/2026|10:00|actif|0|06/06/2026 10:00|");
    }
    void saving() {
        QFETCH(QString, fields);
        QFETCH(int, code);
        QFETCH(int, ms);
        QFETCH(int, answer);
        QFETCH(QString, focus);
        QFETCH(QString, stored);
        Editor w;
        w.clock.set(dateTime("05/06/2026 09:00").addMSecs(ms));
        w.startNew();
        w.fill(fields, code);
        const QStringList f = fields.split('|');
        EditorFields checked{f[0], f[1], f[2], f[3], f[4], code};
        const std::optional<EditorFault> fault = checkEditorFields(checked, w.clock.now());
        if (fault)
            w.dialogs.expect(Icon::Information, fault->text, Answer(answer));
        w.save();
        QVERIFY(w.dialogs.allAnswered());  // and no other box: the fake fails on those
        if (fault)
            QCOMPARE(w.dialogs.shown.back().buttons, fault->question ? Buttons::YesNo : Buttons::Ok);
        if (!focus.isEmpty())
            QCOMPARE(w.e->focusWidget(), ctl<QWidget>(w.e.get(), focus));
        QCOMPARE(w.count(), int(!stored.isEmpty()));
        QCOMPARE(w.e->isVisible(), stored.isEmpty());
        QCOMPARE(w.host.saved.size(), int(!stored.isEmpty()));
        if (!stored.isEmpty())
            QCOMPARE(w.stored(w.host.saved[0]), stored);
    }

    // A change is written on the row opened; it is refused when the message was shown or deleted meanwhile.
    void modifiesMessage_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");
        const QString row = "L'agenda|Relire l'ordre du jour|12/06/2026|%1|%2|4|12/06/2026 %1|12/12/2026 %1";
        QTest::newRow("kept") << QString() << QString() << row.arg("11:30", "actif");
        QTest::newRow("displayed") << "UPDATE message SET etat = 'affiche' WHERE id = %1"
                                   << "Impossible de modifier le message. Celui-ci est affiché."
                                   << row.arg("10:00", "affiche");
        QTest::newRow("deleted") << "DELETE FROM message WHERE id = %1"
                                 << "Impossible de modifier le message. Celui-ci n'existe plus."
                                 << "|||||||";
    }
    void modifiesMessage() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, box);
        QFETCH(QString, stored);
        Editor w;
        const qint64 id = w.insert("L'agenda", "Relire l'ordre du jour", "12/06/2026", "10:00", "actif", "4",
                                   "12/06/2026 10:00", "12/12/2026 10:00");
        QVERIFY(w.e->startEdit(id, "L'agenda"));
        QCOMPARE(w.e->windowTitle() + '|' + ctl<QLineEdit>(w.e.get(), "txtDateFin")->text() + '|' +
                     QString::number(ctl<QComboBox>(w.e.get(), "cboPeriode")->currentIndex()),
                 "Modifier le message <L'agenda>|12/12/2026|4");
        ctl<QLineEdit>(w.e.get(), "txtHeure")->setText("11:30");
        if (!box.isEmpty()) {
            w.sql(meanwhile.arg(id));
            w.dialogs.expect(Icon::Information, box);
        }
        w.save();
        QVERIFY(w.dialogs.allAnswered());
        QVERIFY(!w.e->isVisible());
        QCOMPARE(w.stored(id), stored);
        QCOMPARE(w.host.saved, box.isEmpty() ? QList<qint64>{id} : QList<qint64>{});
    }

    // Date and time fields take digits and their separator (the rules: tst_fields), anything else beeps, Shift+Tab
    // moves on; Esc closes without saving.
    void keysOfTheFields() {
        Editor w;
        w.startNew();
        ctl<QComboBox>(w.e.get(), "cboPeriode")->setCurrentIndex(2);
        QStringList seen;  // text, beeps so far, whether the field kept the focus
        for (const auto& [name, key] : std::initializer_list<std::pair<const char*, Qt::Key>>{
                 {"txtDateFin", Qt::Key_X}, {"txtHeure", Qt::Key_Colon}, {"txtDate", Qt::Key_Backtab}}) {
            auto* edit = ctl<QLineEdit>(w.e.get(), name);
            edit->setFocus();
            edit->setText("05");
            QTest::keyClick(edit, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            seen << QStringLiteral("%1 %2 %3").arg(edit->text()).arg(w.platform.beeps).arg(w.e->focusWidget() == edit);
        }
        QCOMPARE(seen, QStringList({"05 1 1", "05: 1 1", "05 1 0"}));
        w.fill("Dentiste|Cabinet|06/06/2026|10:00|", 0);
        QTest::keyClick(w.e.get(), Qt::Key_Escape);
        QVERIFY(!w.e->isVisible());
        QCOMPARE(w.count(), 0);
    }

    // The fields a periodicity uses are enabled, and what was typed stays.
    void periodicityEnablesFields() {
        for (const int code : {0, 1, 8, 9}) {
            Editor w;
            w.startNew();
            w.fill("Dentiste|Cabinet|06/06/2026|10:00|30/06/2026", code == 9 ? 0 : 9);  // coming from another choice
            ctl<QComboBox>(w.e.get(), "cboPeriode")->setCurrentIndex(code);
            for (const char* name : {"txtDate", "cmdCalendrier_0", "txtHeure", "cmdHeure"})
                QVERIFY2(ctl<QWidget>(w.e.get(), name)->isEnabled() == (code != 9), name);
            for (const char* name : {"txtDateFin", "cmdCalendrier_1"})
                QVERIFY2(ctl<QWidget>(w.e.get(), name)->isEnabled() == (code >= 1 && code <= 8), name);
            QStringList texts;
            for (const char* name : {"txtDate", "txtHeure", "txtDateFin"})
                texts << ctl<QLineEdit>(w.e.get(), name)->text();
            QCOMPARE(texts.join(' '), "06/06/2026 10:00 30/06/2026");
        }
    }

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

    // The month arrows stay in the year shown, the year arrows in 1900 to 2100: today, the arrow, the date selected
    // after one click, after two.
    void calendarArrows() {
        for (const char* row : {"31/01/2028 09:00|lblMoisSuivant|29/02/2028|29/03/2028",
                                "15/01/2026 09:00|lblMoisPrecedent|15/12/2026|15/11/2026",
                                "15/12/2026 09:00|lblMoisSuivant|15/01/2026|15/02/2026",
                                "29/02/2028 09:00|lblAnneeSuivante|28/02/2029|28/02/2030",
                                "15/06/2099 09:00|lblAnneeSuivante|15/06/2100|15/06/2100",
                                "15/06/1901 09:00|lblAnneePrecedente|15/06/1900|15/06/1900"}) {
            const QStringList steps = QString::fromLatin1(row).split('|');
            Editor w(steps[0]);
            w.startNew();
            QPointer<frmCalendrier> frm = w.open<frmCalendrier>("cmdCalendrier_0");
            for (const QString& shown : {steps[2], steps[3]}) {
                QTest::mouseClick(ctl<QLabel>(frm, steps[1]), Qt::LeftButton);
                const QString seen = selectedDay(frm) + '/' + ctl<QLabel>(frm, "lblMois")->text() + '/' +
                                     ctl<QLabel>(frm, "lblAnnee")->text();
                QCOMPARE(seen, shown.left(3) + monthName(shown.mid(3, 2).toInt() - 1) + shown.mid(5));
            }
        }
    }

    // A calendar writes the field whose button opened it: a click selects and Insérer or Enter writes; a double
    // click writes at once, but not on an empty cell; Esc leaves without writing.
    void calendarWrites() {
        Editor w;
        w.startNew();
        ctl<QComboBox>(w.e.get(), "cboPeriode")->setCurrentIndex(2);
        w.field("txtDate")->clear();
        QPointer<frmCalendrier> frm = w.open<frmCalendrier>("cmdCalendrier_0");
        QTest::mouseDClick(cell(frm, 41), Qt::LeftButton);  // empty: June 2026 ends in cell 29
        QVERIFY(frm && frm->isVisible());
        QCOMPARE(w.field("txtDate")->text(), QString());

        frm = w.open<frmCalendrier>("cmdCalendrier_1");
        QTest::mouseClick(cell(frm, 16), Qt::LeftButton);
        QCOMPARE(selectedDay(frm), QStringLiteral("17"));
        QTest::mouseClick(ctl<QPushButton>(frm, "cmdInserer"), Qt::LeftButton);
        QCOMPARE(w.field("txtDateFin")->text() + '|' + w.field("txtDate")->text(), "17/06/2026|");
        QVERIFY(!frm || !frm->isVisible());

        frm = w.open<frmCalendrier>("cmdCalendrier_0");
        QTest::mouseDClick(cell(frm, 20), Qt::LeftButton);
        QCOMPARE(w.field("txtDate")->text(), QStringLiteral("21/06/2026"));
        QVERIFY(!frm || !frm->isVisible());

        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            w.field("txtDate")->clear();
            frm = w.open<frmCalendrier>("cmdCalendrier_0");
            QTest::mouseClick(cell(frm, 2), Qt::LeftButton);
            QTest::keyClick(frm, key);
            QCOMPARE(w.field("txtDate")->text(), key == Qt::Key_Return ? QStringLiteral("03/06/2026") : QString());
            QVERIFY(!frm || !frm->isVisible());
        }
    }

    // The time typed is written once checked (Enter: tests/desktop); a fault keeps the picker open on its list.
    // hour|minute|box|the list at fault, or the time written|its text selected
    void timeChecked_data() {
        QTest::addColumn<QStringList>("typed");
        for (const char* row :
             {"7|5||07:05|", "24|05|L'heure du message doit être comprise entre 00 et 23.|cboHeure|24",
              "7|60|Les minutes du message doit être comprise entre 00 et 59.|cboMinute|60",
              "||L'heure du message doit être saisie.|cboHeure|",
              "7||Les minutes du message doit être saisie.|cboMinute|"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void timeChecked() {
        QFETCH(QStringList, typed);
        Editor w("05/06/2026 14:37");
        w.startNew();
        QPointer<frmHeure> frm = w.open<frmHeure>("cmdHeure");
        // The picker opens with the hour selected: typing replaces it, Tab moves to the minute and selects it.
        for (const QString& text : {typed[0], typed[1]}) {
            if (text.isEmpty())
                QTest::keyClick(frm->windowHandle(), Qt::Key_Backspace);
            type(frm, text);
            QTest::keyClick(frm->windowHandle(), Qt::Key_Tab);
        }
        if (!typed[2].isEmpty())
            w.dialogs.expect(Icon::Information, typed[2]);
        QTest::mouseClick(ctl<QPushButton>(frm, "Bouton_0"), Qt::LeftButton);
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.field("txtHeure")->text(), typed[2].isEmpty() ? typed[3] : QString());
        QCOMPARE(frm && frm->isVisible(), !typed[2].isEmpty());
        if (typed[2].isEmpty())
            return;
        QComboBox* list = ctl<QComboBox>(frm, typed[3]);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->lineEdit()->selectedText(), typed[4]);
        QCOMPARE(ctl<QComboBox>(frm, "cboHeure")->currentText(), typed[3] == "cboMinute" ? "07" : typed[4]);
    }

    // The lists open on the time now, each selected: a digit replaces it, a letter beeps, a third digit is ignored
    // without a beep. Esc writes nothing.
    void timeTyping() {
        Editor w("05/06/2026 14:37");
        w.startNew();
        QPointer<frmHeure> frm = w.open<frmHeure>("cmdHeure");
        QStringList seen;
        for (const char* name : {"cboHeure", "cboMinute"}) {
            QComboBox* list = ctl<QComboBox>(frm, name);
            QCOMPARE(QApplication::focusWidget(), list);
            seen << list->currentText();
            type(frm, QStringLiteral("3h45"));
            seen << list->currentText() + ' ' + QString::number(w.platform.beeps);
            QTest::keyClick(frm->windowHandle(), Qt::Key_Tab);
        }
        QCOMPARE(seen, QStringList({"14", "34 1", "37", "34 2"}));
        QTest::keyClick(frm->windowHandle(), Qt::Key_Escape);
        QCOMPARE(w.field("txtHeure")->text(), QString());
        QVERIFY(!frm || !frm->isVisible());
    }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
