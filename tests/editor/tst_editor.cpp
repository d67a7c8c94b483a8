// The editor's rules on their own (texts, keys, the checks of a save), then its window built on them (the box each
// fault shows and where the focus goes, what one save writes) and the date and time pickers it opens.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/DateText.h"
#include "editor/CalendarGrid.h"
#include "editor/DateFields.h"
#include "editor/EditorRules.h"
#include "editor/frmAjoutMessage.h"
#include "editor/frmCalendrier.h"
#include "editor/frmHeure.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kQuestion = QStringLiteral(
    "question: La date de fin d'affichage que vous avez saisi pour le message\nne permettra sans doute pas "
    "d'afficher le message plus d'une fois.\nDésirez-vous quand même enregistrer le message ?");

struct Host : EditorHost {
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
        field("txtTitre")->setText(f.value(0));
        ctl<QPlainTextEdit>(e.get(), "txtTexte")->setPlainText(f.value(1));
        int i = 2;
        for (const char* name : {"txtDate", "txtHeure", "txtDateFin"})
            field(name)->setText(f.value(i++));
        ctl<QComboBox>(e.get(), "cboPeriode")->setCurrentIndex(code);
    }
    void save() { QTest::keyClick(e.get(), Qt::Key_E, Qt::ControlModifier); }
    // The eight fields of a row, as read back, joined by "|".
    QString stored(qint64 id) {
        SqlRows rs = sql(QStringLiteral("SELECT titre, message, datemessage, heuremessage, etat, periodicite, "
                                        "prochainaffichage, dernieraffichage FROM message WHERE id = %1")
                             .arg(id));
        QStringList fields;
        for (int c = 0; c < 8; ++c)
            fields << rs.text(c);
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
    // kind (date, time or both)|text|valid|the text as the check gives it back (when trimmed)
    void checks_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row : {"date|05/06/2026|1", "date|5/6/2026|0", "date|05-06-2026|0", "date|29/02/2028|1",
                                "date|12/13/2026|0", "date|+5/06/2026|0", "date|01/01/0099|0", "date|01/01/0100|1",
                                "date||0", "date| 05/06/2026  |1|05/06/2026", "time|00:00|1", "time|23:59|1",
                                "time|12:60|0", "time|7:30|0", "time|07.30|0", "time||0", "time| 07:30 |1|07:30",
                                "both| 05/06/2026 07:30 |1|05/06/2026 07:30", "both|05/06/2026 24:00|0"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void checks() {
        QFETCH(QStringList, c);
        QString text = c[1];
        QString fault;
        const bool valid = c[0] == QLatin1String("date")   ? CheckDateText(text, &fault)
                           : c[0] == QLatin1String("time") ? CheckTimeText(text, &fault)
                                                           : CheckDateTimeText(text);  // a date and a time
        QCOMPARE(valid, c[2] == QLatin1String("1"));
        QCOMPARE(fault.isEmpty(), valid || text.isEmpty() || c[0] == QLatin1String("both"));  // its text: saveChecks
        QCOMPARE(text, c.value(3, c[1]));
    }

    // field|key|text|caret|outcome ("pass": typed as usual, "beep": refused, "": handled)|text after|caret after
    void keyFilter_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row :
             {"date|/|05|2||05/|3", "date|/|05/06/2026|10||05/06/2026|10", "date|/|0506/2026|2||0506/2026/|10",
              "date|7|05/0|4|pass|05/0|4", "date|a|05/0|4|beep|05/0|4", "date|:|05|2|beep|05|2",
              "date|\b|05/0|4|pass|05/0|4", "time|:|07|2||07:|3", "time|:|07:30|5||07:30|5", "time|/|07|2|beep|07|2"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void keyFilter() {
        QFETCH(QStringList, c);
        const int cursor = c[3].toInt();
        const KeyFilterResult r =
            c[0] == QLatin1String("time") ? filterTimeKey(c[1][0], c[2], cursor) : filterDateKey(c[1][0], c[2], cursor);
        const QString outcome = r.pass ? "pass" : r.beep ? "beep" : "";
        QCOMPARE(outcome + '|' + (r.changed ? r.text : c[2]) + '|' + QString::number(r.changed ? r.cursor : cursor),
                 c.mid(4).join('|'));
    }

    // The checks of a save in their order: the first fault ("field: text", that field gets the focus), whether its
    // text is selected, and the fields shown afterwards (trimmed, unused ones emptied). Now is Friday 05/06/2026
    // 09:00:30.
    void saveChecks_data() {
        QTest::addColumn<QStringList>("typed");  // titre, texte, date, heure, date de fin, code
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const QString& name, const QString& typed, const QString& fault, bool select = false,
                            const QString& after = {}) {
            const QStringList fields = typed.split('|');
            QTest::newRow(qPrintable(name))
                << fields << fault << select << (after.isEmpty() ? fields.mid(0, 5) : after.split('|'));
        };
        const QString badDate = QStringLiteral("Vous devez spécifier une date valide au format JJ/MM/AAAA pour la ");
        // The fields of a daily series, with one changed.
        const auto with = [](int field, const QString& value, int code = 2) {
            QStringList fields = QStringLiteral("Réunion|Salle 2|05/06/2026|10:00|30/06/2026").split('|');
            fields[field] = value;
            return fields.join('|') + '|' + QString::number(code);
        };
        row("daily passes", with(0, "Réunion"), "");
        row("blank title", with(0, "   "), "titre: Le titre du message doit être saisi.", false,
            "|Salle 2|05/06/2026|10:00|30/06/2026");
        row("no text", with(1, ""), "texte: Le texte du message doit être saisi.");
        row("at start: only title and text", with(2, "hier", 9), "", false, "Réunion|Salle 2|||30/06/2026");
        row("no date", with(2, " "), "date: La date d'affichage du message doit être saisie.", false,
            "Réunion|Salle 2||10:00|30/06/2026");
        row("no such date", with(2, "31/04/2026"), "date: " + badDate + "date d'affichage du message.", true);
        row("yesterday", with(2, "04/06/2026"), "date: Vous ne pouvez pas saisir de date antérieure à aujourd'hui.");
        row("no time", with(3, ""), "heure: L'heure d'affichage du message doit être saisie.");
        row("no such time", with(3, "24:00"),
            "heure: Vous devez spécifier une heure valide au format HH:MM pour l'heure d'affichage du message.", true);
        row("this minute, its second 00 past", with(3, "09:00"),
            "heure: Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure actuelle.\n"
            "Entrez une autre heure qui soit plus grande que celle actuelle ou un jour postérieur à aujourd'hui.");
        row("once: the end date is emptied", with(4, "01/01/2000", 0), "", false, "Réunion|Salle 2|05/06/2026|10:00|");
        row("no end date", with(4, ""), "datefin: La date de fin d'affichage du message doit être saisie.");
        row("no such end date", with(4, "29/02/2027"), "datefin: " + badDate + "date de fin d'affichage du message.",
            true);
        row("end before start", with(4, "04/06/2026"),
            "datefin: Vous avez saisi une date de fin d'affichage du message inférieure à la date d'affichage du "
            "message.\nEntrez une autre date qui soit postérieure à celle du premier jour d'affichage.");
        // Per code: the first display, the last end date that asks; the day after (or the date given) does not.
        for (const char* series :
             {"2|05/06/2026|07/06/2026", "1|05/06/2026|05/06/2026", "3|05/06/2026|14/06/2026|21/06/2026",
              "4|31/01/2027|31/03/2027", "5|05/06/2026|31/10/2026", "6|05/06/2026|31/12/2026",
              "7|05/06/2026|30/06/2027", "8|05/06/2026|31/12/2028"}) {
            const QStringList c = QString::fromLatin1(series).split('|');
            const QString after = c.value(3, formatDate(QDate::fromString(c[2], "dd/MM/yyyy").addDays(1)));
            row(series, "Réunion|Salle 2|" + c[1] + "|10:00|" + c[2] + '|' + c[0], kQuestion);
            row(c[0] + " next day", "Réunion|Salle 2|" + c[1] + "|10:00|" + after + '|' + c[0], "");
        }
    }
    void saveChecks() {
        QFETCH(QStringList, typed);
        QFETCH(QString, fault);
        QFETCH(bool, select);
        QFETCH(QStringList, after);
        EditorFields f{typed[0], typed[1], typed[2], typed[3], typed[4], typed[5].toInt()};
        const std::optional<EditorFault> found = checkEditorFields(f, QDateTime(QDate(2026, 6, 5), QTime(9, 0, 30)));
        static const char* const names[] = {"question", "titre", "texte", "date", "heure", "datefin"};
        QCOMPARE(found ? QLatin1String(names[int(found->field)]) + ": " + found->text : QString(), fault);
        QCOMPARE(found && found->selectText, select);
        QCOMPARE(found && found->question, fault.startsWith("question"));
        QCOMPARE((QStringList{f.titre, f.texte, f.date, f.heure, f.dateFin}), after);
    }

    // Every month the calendar offers, laid out against the calendar's own reckoning.
    void monthGridAgreesWithTheCalendar() {
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const QDate first(year, month, 1);
                const MonthGrid grid = monthGrid(month, year);
                QCOMPARE(grid.firstCell, first.dayOfWeek() - 1);
                for (int i = 0; i < kGridCells; ++i) {
                    const QDate day = first.addDays(i - grid.firstCell);
                    QCOMPARE(grid.captions[i], day.month() == month ? day.toString("dd") : QString());
                }
            }
        }
    }

    // A row the file refuses is told as such and nothing is written; a message gone has no fields to edit.
    void refusedSaveWritesNothing() {
        TestWorld w;
        w.openStore();
        const EditorSaveResult r = saveEditorFields(w.store, {QString(31, 'T'), "x", "05/06/2026", "10:00", "", 0}, 0);
        QCOMPARE(r.kind, EditorSaveResult::Failed);
        QCOMPARE(r.text,
                 "Impossible d'enregistrer le message: le fichier des messages est resté tel qu'il était.\n\n"
                 "Le titre ne doit pas dépasser 30 caractères.");
        QCOMPARE(w.count(), 0);
        QVERIFY(!loadEditorFields(w.store, 1));
    }

    // One save through the window: the box of the core's check and its buttons, the focus, the row written.
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
        // Only whole seconds count: 09:00 today is past at 09:00:01, still to come at 09:00:00.400.
        row("this minute, 1 s gone", dc + "05/06/2026|09:00|", 2, "txtHeure", "", 1000);
        row("this minute, 0.4 s gone", dc + "05/06/2026|09:00|", 0, "",
            "Dentiste|Cabinet|05/06/2026|09:00|actif|0|05/06/2026 09:00|", 400);
        row("29 February 2027", dc + "05/06/2026|10:00|29/02/2027", 2, "txtDateFin");
        // A series too short to show twice asks first.
        row("short series, No", dc + "05/06/2026|10:00|07/06/2026", 2, "", "", 0, Answer::No);
        row("short series, Yes", dc + "05/06/2026|10:00|07/06/2026", 2, "",
            "Dentiste|Cabinet|05/06/2026|10:00|actif|2|05/06/2026 10:00|07/06/2026 10:00", 0, Answer::Yes);
        // At every start the date and time are neither checked nor kept.
        row("at every start", dc + "31/04/2026|25:00|", 9, "", "Dentiste|Cabinet|||actif|9||");
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
    void modifiesMessage() {
        const QString row = "L'agenda|Relire l'ordre du jour|12/06/2026|%1|%2|4|12/06/2026 %1|12/12/2026 %1";
        for (const auto& [meanwhile, box, stored] :
             {std::tuple<QString, QString, QString>{"", "", row.arg("11:30", "actif")},
              {"UPDATE message SET etat = 'affiche' WHERE id = %1",
               "Impossible de modifier le message. Celui-ci est affiché.", row.arg("10:00", "affiche")},
              {"DELETE FROM message WHERE id = %1", "Impossible de modifier le message. Celui-ci n'existe plus.",
               "|||||||"}}) {
            Editor w;
            const qint64 id = w.insert("L'agenda", "Relire l'ordre du jour", "12/06/2026", "10:00", "actif", "4",
                                       "12/06/2026 10:00", "12/12/2026 10:00");
            QVERIFY(w.e->startEdit(id, "L'agenda"));  // the end date and periodicity loaded are written back
            w.field("txtHeure")->setText("11:30");
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
    }

    // The fields a periodicity uses are enabled and what was typed stays. Date and time fields take digits and their
    // separator (the rules: keyFilter), anything else beeps, Shift+Tab moves on; Esc closes without saving.
    void fieldsAndKeys() {
        Editor w;
        w.startNew();
        w.fill("Dentiste|Cabinet|06/06/2026|10:00|30/06/2026", 9);
        QStringList seen;  // the date, time and end date controls enabled, then the texts
        for (const int code : {9, 0, 1, 8}) {
            ctl<QComboBox>(w.e.get(), "cboPeriode")->setCurrentIndex(code);
            QString line;
            for (const char* name :
                 {"txtDate", "cmdCalendrier_0", "txtHeure", "cmdHeure", "txtDateFin", "cmdCalendrier_1"})
                line += ctl<QWidget>(w.e.get(), name)->isEnabled() ? '1' : '0';
            for (const char* name : {"txtDate", "txtHeure", "txtDateFin"})
                line += ' ' + w.field(name)->text();
            seen << line;
        }
        const QString texts = " 06/06/2026 10:00 30/06/2026";
        QCOMPARE(seen, QStringList({"000000" + texts, "111100" + texts, "111111" + texts, "111111" + texts}));
        seen.clear();  // text, beeps so far, whether the field kept the focus
        for (const auto& [name, key] : std::initializer_list<std::pair<const char*, Qt::Key>>{
                 {"txtDateFin", Qt::Key_X}, {"txtHeure", Qt::Key_Colon}, {"txtDate", Qt::Key_Backtab}}) {
            QLineEdit* edit = w.field(name);
            edit->setFocus();
            edit->setText("05");
            QTest::keyClick(edit, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            seen << QStringLiteral("%1 %2 %3").arg(edit->text()).arg(w.platform.beeps).arg(w.e->focusWidget() == edit);
        }
        QCOMPARE(seen, QStringList({"05 1 1", "05: 1 1", "05 1 0"}));
        QTest::keyClick(w.e.get(), Qt::Key_Escape);
        QVERIFY(!w.e->isVisible());
        QCOMPARE(w.count(), 0);
    }

    // Month arrows stay in the year shown, year arrows in 1900-2100: today, arrow, the day selected after 1 and 2
    // clicks.
    void calendarArrows() {
        for (const char* row : {"31/01/2028 09:00|lblMoisSuivant|29/02/2028|29/03/2028",
                                "15/12/2026 09:00|lblMoisSuivant|15/01/2026|15/02/2026",
                                "15/01/2026 09:00|lblMoisPrecedent|15/12/2026|15/11/2026",
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

    // The time picker opens on the time now, the hour selected: a digit replaces the selection, a letter beeps, a
    // third digit is ignored without a beep, Tab selects the minute. OK writes the time once checked (Enter:
    // tests/desktop); a fault keeps the picker open on its list, its text selected. Esc writes nothing.
    void timePicker() {
        Editor w("05/06/2026 14:37");
        w.startNew();
        QPointer<frmHeure> frm = w.open<frmHeure>("cmdHeure");
        QCOMPARE(ctl<QComboBox>(frm, "cboHeure")->currentText() + ctl<QComboBox>(frm, "cboMinute")->currentText(),
                 "1437");
        const auto refused = [&](const QString& box, const char* list, const QString& selected) {
            const QString before = w.field("txtHeure")->text();
            w.dialogs.expect(Icon::Information, box);
            QTest::mouseClick(ctl<QPushButton>(frm, "Bouton_0"), Qt::LeftButton);
            QVERIFY(w.dialogs.allAnswered() && frm && frm->isVisible());
            QCOMPARE(w.field("txtHeure")->text(), before);
            QCOMPARE(QApplication::focusWidget(), ctl<QComboBox>(frm, list));
            QCOMPARE(ctl<QComboBox>(frm, list)->lineEdit()->selectedText(), selected);
        };
        type(frm, "3h45");
        QCOMPARE(w.platform.beeps, 1);
        refused("L'heure du message doit être comprise entre 00 et 23.", "cboHeure", "34");
        type(frm, "7");
        QTest::keyClick(frm->windowHandle(), Qt::Key_Tab);
        type(frm, "60");
        refused("Les minutes du message doit être comprise entre 00 et 59.", "cboMinute", "60");
        QCOMPARE(ctl<QComboBox>(frm, "cboHeure")->currentText(), "07");
        QTest::keyClick(frm->windowHandle(), Qt::Key_Backspace);
        refused("Les minutes du message doit être saisie.", "cboMinute", "");
        type(frm, "5");
        QTest::mouseClick(ctl<QPushButton>(frm, "Bouton_0"), Qt::LeftButton);
        QCOMPARE(w.field("txtHeure")->text(), "07:05");
        QVERIFY(!frm || !frm->isVisible());

        frm = w.open<frmHeure>("cmdHeure");
        type(frm, "3");
        QTest::keyClick(frm->windowHandle(), Qt::Key_Escape);
        QCOMPARE(w.field("txtHeure")->text(), "07:05");
        QVERIFY(!frm || !frm->isVisible());
    }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
