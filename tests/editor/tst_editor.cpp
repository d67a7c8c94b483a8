#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "editor/FieldChecks.h"
#include "main_window/MessageListModel.h"
#include "main_window/MessageLists.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kRepeat = QStringLiteral(
    "La date de fin d'affichage que vous avez saisi pour le message\n"
    "ne permettra sans doute pas d'afficher le message plus d'une fois.\n"
    "Désirez-vous quand même enregistrer le message ?");

// The program once started: the main window loaded on the world's store, and the editor it opens.
struct Program {
    explicit Program(const QString& now = QStringLiteral("05/06/2026 09:00")) : w(now) {}
    // The main window does not own the editor, which lives on its own until it is closed.
    ~Program() { delete editor.data(); }

    void load() {
        frm = std::make_unique<frmGestionMessages>(w.services(), false);
        QVERIFY(frm->Form_Load());
    }
    frmAjoutMessage* openNew() {
        if (!frm)
            load();
        frm->mnuNouveauMessage_Click();
        return editor = frm->editor();
    }
    // Selects a row of the active list and asks to modify its message.
    frmAjoutMessage* openOn(int row) {
        frm->MSFactifs->setCurrentIndex(frm->listModel(ListActifs)->index(row, 1));
        frm->ToolbarCommand(2);
        return editor = frm->editor();
    }
    QString currentActiveId() const {
        const QModelIndex current = frm->MSFactifs->currentIndex();
        return current.isValid() ? frm->listModel(ListActifs)->row(current.row()).cells[kIdColumn] : QString();
    }
    // The eight fields of a row, as read back, joined by "|".
    QString stored(qint64 id) {
        Recordset rs = w.sql(QStringLiteral("SELECT * FROM message WHERE id = %1").arg(id));
        QStringList fields;
        for (const char* name : {"titre", "message", "datemessage", "heuremessage", "etat", "periodicite",
                                 "prochainaffichage", "dernieraffichage"})
            fields << (rs.isEmpty() ? QString() : rs.text(QLatin1String(name)));
        return fields.join(QLatin1Char('|'));
    }
    qint64 lastId() {
        Recordset rs = w.sql(QStringLiteral("SELECT max(id) AS id FROM message"));
        return rs.text(QStringLiteral("id")).toLongLong();
    }
    bool editorOpen() const { return editor && editor->isVisible(); }

    TestWorld w;
    std::unique_ptr<frmGestionMessages> frm;
    QPointer<frmAjoutMessage> editor;
};

// Title, text, date, time and end date, joined by "|", then the periodicity.
void fill(frmAjoutMessage* e, const QString& typed, int code) {
    const QStringList f = typed.split(QLatin1Char('|'));
    ctl<QLineEdit>(e, "txtTitre")->setText(f.value(0));
    ctl<QPlainTextEdit>(e, "txtTexte")->setPlainText(f.value(1));
    ctl<QLineEdit>(e, "txtDate")->setText(f.value(2));
    ctl<QLineEdit>(e, "txtHeure")->setText(f.value(3));
    ctl<QLineEdit>(e, "txtDateFin")->setText(f.value(4));
    ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(code);
}

void save(frmAjoutMessage* e) {
    QTest::keyClick(e, Qt::Key_E, Qt::ControlModifier);
}

}  // namespace

class tst_editor : public QObject {
    Q_OBJECT
private slots:
    void faults_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("focus");
        // Every field after the faulty one is wrong too: only the first fault is reported.
        auto row = [](const char* name, const char* fields, const char* box, const char* focus,
                      const char* now = "05/06/2026 09:00") {
            QTest::newRow(name) << QString(fields) << QString(now) << QString::fromUtf8(box) << QString(focus);
        };
        row("blank title", "   ||||", "Le titre du message doit être saisi.", "txtTitre");
        row("blank text", "Dentiste|  |||", "Le texte du message doit être saisi.", "txtTexte");
        row("blank date", "Dentiste|Cabinet| ||", "La date d'affichage du message doit être saisie.", "txtDate");
        row("31 April", "Dentiste|Cabinet|31/04/2026||",
            "Vous devez spécifier une date valide au format JJ/MM/AAAA pour la date d'affichage du message.",
            "txtDate");
        row("yesterday", "Dentiste|Cabinet|04/06/2026||", "Vous ne pouvez pas saisir de date antérieure à aujourd'hui.",
            "txtDate");
        row("blank time", "Dentiste|Cabinet|05/06/2026| |", "L'heure d'affichage du message doit être saisie.",
            "txtHeure");
        row("hour 24", "Dentiste|Cabinet|05/06/2026|24:00|",
            "Vous devez spécifier une heure valide au format HH:MM pour l'heure d'affichage du message.", "txtHeure");
        row("this minute, 30 s gone", "Dentiste|Cabinet|05/06/2026|09:00|",
            "Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure actuelle.\nEntrez une autre "
            "heure qui soit plus grande que celle actuelle ou un jour postérieur à aujourd'hui.",
            "txtHeure", "05/06/2026 09:00:30");
        row("blank end date", "Dentiste|Cabinet|05/06/2026|10:00|",
            "La date de fin d'affichage du message doit être saisie.", "txtDateFin");
        row("29 February 2027", "Dentiste|Cabinet|05/06/2026|10:00|29/02/2027",
            "Vous devez spécifier une date valide au format JJ/MM/AAAA pour la date de fin d'affichage du message.",
            "txtDateFin");
        row("end before start", "Dentiste|Cabinet|10/06/2026|10:00|09/06/2026",
            "Vous avez saisi une date de fin d'affichage du message inférieure à la date d'affichage du message.\n"
            "Entrez une autre date qui soit postérieure à celle du premier jour d'affichage.",
            "txtDateFin");
    }
    void faults() {
        QFETCH(QString, fields);
        QFETCH(QString, now);
        QFETCH(QString, box);
        QFETCH(QString, focus);
        Program p(now);
        frmAjoutMessage* e = p.openNew();
        fill(e, fields, 2);
        p.w.dialogs.expect(Icon::Information, box);
        save(e);
        QVERIFY(p.w.dialogs.allAnswered());
        QCOMPARE(p.w.dialogs.shown.back().buttons, Buttons::Ok);
        QCOMPARE(e->focusWidget(), ctl<QWidget>(e, focus));
        QVERIFY(p.editorOpen());
        QCOMPARE(p.w.count(), 0);
    }

    void repeatWarning_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("answer");  // -1: no question
        QTest::addColumn<int>("written");
        const int none = -1, yes = int(Answer::Yes), no = int(Answer::No);
        QTest::newRow("daily, end two days on, No") << "07/06/2026" << 2 << no << 0;
        QTest::newRow("daily, end two days on, Yes") << "07/06/2026" << 2 << yes << 1;
        QTest::newRow("daily, end three days on") << "08/06/2026" << 2 << none << 1;
        QTest::newRow("monthly, end on the start day, Yes") << "05/06/2026" << 4 << yes << 1;
        QTest::newRow("hourly, end the same day, No") << "05/06/2026" << 1 << no << 0;
        QTest::newRow("hourly, end the next day") << "06/06/2026" << 1 << none << 1;
    }
    void repeatWarning() {
        QFETCH(QString, end);
        QFETCH(int, code);
        QFETCH(int, answer);
        QFETCH(int, written);
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, "Dentiste|Cabinet|05/06/2026|10:00|" + end, code);
        if (answer >= 0)
            p.w.dialogs.expect(Icon::Information, kRepeat, Answer(answer));
        save(e);
        QVERIFY(p.w.dialogs.allAnswered());
        QCOMPARE(p.w.dialogs.shown.size(), size_t(answer >= 0 ? 1 : 0));
        if (answer >= 0)
            QCOMPARE(p.w.dialogs.shown.back().buttons, Buttons::YesNo);
        QCOMPARE(p.w.count(), written);
        QCOMPARE(p.editorOpen(), written == 0);
    }

    void savesNewMessage() {
        Program p;
        p.w.insert("Ancien", "Texte", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        p.frm->MSFactifs->setCurrentIndex(p.frm->listModel(ListActifs)->index(0, 1));
        frmAjoutMessage* e = p.openNew();
        auto* date = ctl<QLineEdit>(e, "txtDate");
        QCOMPARE(date->text(), QStringLiteral("05/06/2026"));
        QTest::keyClicks(ctl<QLineEdit>(e, "txtTitre"), "Dentiste");
        QTest::keyClicks(ctl<QPlainTextEdit>(e, "txtTexte"), "Cabinet 2");
        date->clear();
        QTest::keyClicks(date, "06/06/2026");
        QTest::keyClicks(ctl<QLineEdit>(e, "txtHeure"), "10:00");
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        QTest::keyClicks(ctl<QLineEdit>(e, "txtDateFin"), "30/06/2026");
        save(e);
        QVERIFY(!p.editorOpen());
        const qint64 id = p.lastId();
        QCOMPARE(p.stored(id), "Dentiste|Cabinet 2|06/06/2026|10:00|actif|2|06/06/2026 10:00|30/06/2026 10:00");
        QCOMPARE(p.frm->listModel(ListActifs)->rowCount(), 2);
        QCOMPARE(p.currentActiveId(), QString::number(id));
    }

    void unusedFieldsAreNotWritten_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("raw");  // what the store holds beyond what it reads back
        // At every start the date and time are neither checked nor kept; once, the end date typed earlier goes.
        QTest::newRow("at every start") << "Dentiste|Cabinet|31/04/2026|25:00|" << 9 << "Dentiste|Cabinet|||actif|9||"
                                        << "prochainaffichage = ' '";
        QTest::newRow("once") << "Dentiste|Cabinet|06/06/2026|10:00|30/06/2026" << 0
                              << "Dentiste|Cabinet|06/06/2026|10:00|actif|0|06/06/2026 10:00|"
                              << "dernieraffichage = ''";
    }
    void unusedFieldsAreNotWritten() {
        QFETCH(QString, fields);
        QFETCH(int, code);
        QFETCH(QString, stored);
        QFETCH(QString, raw);
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, fields, 2);
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(code);
        save(e);
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.stored(p.lastId()), stored);
        QCOMPARE(p.w.count(raw), 1);
    }

    void modifiesMessage() {
        Program p;
        const qint64 id = p.w.insert("L'agenda", "Relire l'ordre du jour", "12/06/2026", "10:00", "actif", "4",
                                     "12/06/2026 10:00", "12/12/2026 10:00");
        p.w.insert("Autre", "Texte", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        frmAjoutMessage* e = p.openOn(0);
        QVERIFY(p.editorOpen());
        QCOMPARE(ctl<QLineEdit>(e, "txtTitre")->text(), "L'agenda");
        QCOMPARE(ctl<QLineEdit>(e, "txtDateFin")->text(), "12/12/2026");
        QCOMPARE(ctl<QComboBox>(e, "cboPeriode")->currentIndex(), 4);
        ctl<QLineEdit>(e, "txtHeure")->setText("11:30");
        p.frm->MSFactifs->setCurrentIndex(p.frm->listModel(ListActifs)->index(1, 1));  // the user looks elsewhere
        save(e);
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.stored(id),
                 "L'agenda|Relire l'ordre du jour|12/06/2026|11:30|actif|4|12/06/2026 11:30|12/12/2026 11:30");
        QCOMPARE(p.w.count(), 2);
        QCOMPARE(p.currentActiveId(), QString::number(id));
    }

    void refusesChangeOfVanishedMessage_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("box");
        QTest::newRow("displayed") << "UPDATE message SET etat = 'affiche' WHERE id = %1"
                                   << "Impossible de modifier le message. Celui-ci est affiché.";
        QTest::newRow("deleted") << "DELETE FROM message WHERE id = %1"
                                 << "Impossible de modifier le message. Celui-ci n'existe plus.";
    }
    void refusesChangeOfVanishedMessage() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, box);
        Program p;
        const qint64 id =
            p.w.insert("Dentiste", "Cabinet", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        frmAjoutMessage* e = p.openOn(0);
        ctl<QLineEdit>(e, "txtTitre")->setText("Changé");
        p.w.sql(meanwhile.arg(id));
        const QString before = p.stored(id);
        const int count = p.w.count();
        p.w.dialogs.expect(Icon::Information, box);
        save(e);
        QVERIFY(p.w.dialogs.allAnswered());
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.stored(id), before);
        QCOMPARE(p.w.count(), count);
    }

    void keys_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        auto row = [](const char* name, const char* field, const char* text, char key, const char* after, int beeps) {
            QTest::newRow(name) << QString(field) << QString(text) << key << QString(after) << beeps;
        };
        row("letter in the date", "txtDate", "05/0", 'a', "05/0", 1);
        row("slash after the day", "txtDate", "05", '/', "05/", 0);
        row("slash in a full date", "txtDate", "05/06/2026", '/', "05/06/2026", 0);
        row("letter in the end date", "txtDateFin", "", 'x', "", 1);
        row("letter in the time", "txtHeure", "07", 'h', "07", 1);
        row("colon after the hour", "txtHeure", "07", ':', "07:", 0);
    }
    void keys() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(char, key);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        Program p;
        frmAjoutMessage* e = p.openNew();
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        auto* edit = ctl<QLineEdit>(e, field);
        edit->setText(text);
        QTest::keyClick(edit, key);
        QCOMPARE(edit->text(), after);
        QCOMPARE(p.w.platform.beeps, beeps);
    }

    // Tab and Shift+Tab are not typed into the date and time fields: they move the focus, without a beep.
    void tabLeavesDateAndTimeFields() {
        Program p;
        frmAjoutMessage* e = p.openNew();
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        for (const char* name : {"txtDate", "txtHeure", "txtDateFin"}) {
            for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
                auto* edit = ctl<QLineEdit>(e, name);
                edit->setFocus();
                edit->setText("05/06");
                QTest::keyClick(edit, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
                QVERIFY2(e->focusWidget() != edit, name);
                QCOMPARE(edit->text(), "05/06");
            }
        }
        QCOMPARE(p.w.platform.beeps, 0);
    }

    // Only whole seconds count: at 09:00:00.400, 09:00 today is still to come; at 09:00:01 it is past.
    void currentMinuteAcceptedUntilItsFirstSecond() {
        for (const int ms : {400, 1000}) {
            Program p;
            p.w.clock.set(dateTime("05/06/2026 09:00:00").addMSecs(ms));
            frmAjoutMessage* e = p.openNew();
            fill(e, "Dentiste|Cabinet|05/06/2026|09:00|", 0);
            if (ms == 1000)
                p.w.dialogs.expect(Icon::Information,
                                   "Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure "
                                   "actuelle.\nEntrez une autre heure qui soit plus grande que celle actuelle ou "
                                   "un jour postérieur à aujourd'hui.");
            save(e);
            QVERIFY(p.w.dialogs.allAnswered());
            QCOMPARE(p.w.dialogs.shown.size(), size_t(ms == 1000 ? 1 : 0));
            QCOMPARE(p.w.count(), ms == 1000 ? 0 : 1);
        }
    }

    void escapeClosesWithoutSaving() {
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, "Dentiste|Cabinet|06/06/2026|10:00|", 0);
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.w.count(), 0);
    }

    void periodicityEnablesFields_data() {
        QTest::addColumn<int>("code");
        for (int code = 0; code <= 9; ++code)
            QTest::addRow("code %d", code) << code;
    }
    void periodicityEnablesFields() {
        QFETCH(int, code);
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, "Dentiste|Cabinet|06/06/2026|10:00|30/06/2026", code == 9 ? 0 : 9);  // coming from another choice
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(code);
        const bool start = code != 9, end = code >= 1 && code <= 8;
        const std::pair<const char*, bool> expected[] = {{"txtDate", start},  {"cmdCalendrier_0", start},
                                                         {"txtHeure", start}, {"cmdHeure", start},
                                                         {"txtDateFin", end}, {"cmdCalendrier_1", end}};
        for (const auto& [name, enabled] : expected)
            QVERIFY2(ctl<QWidget>(e, name)->isEnabled() == enabled, name);
        QCOMPARE(ctl<QLineEdit>(e, "txtDate")->text(), "06/06/2026");
        QCOMPARE(ctl<QLineEdit>(e, "txtHeure")->text(), "10:00");
        QCOMPARE(ctl<QLineEdit>(e, "txtDateFin")->text(), "30/06/2026");
    }

    void checksTrimAndEmptyIsSilent() {
        TestWorld w;
        QString date = QStringLiteral(" 05/06/2026 "), time = QStringLiteral("  07:30 "), blank = QStringLiteral("  ");
        QVERIFY(CheckDateText(w.dialogs, date, nullptr, true));
        QCOMPARE(date, "05/06/2026");
        QVERIFY(CheckTimeText(w.dialogs, time, nullptr, true));
        QCOMPARE(time, "07:30");
        QVERIFY(!CheckDateText(w.dialogs, blank, nullptr, true));
        QVERIFY(!CheckTimeText(w.dialogs, blank, nullptr, true));
        QVERIFY(w.dialogs.shown.empty());
    }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
