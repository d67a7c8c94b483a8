#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <memory>

#include "editor/FieldInput.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "messages/MessageLists.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kRepeat = QStringLiteral(
    "La date de fin d'affichage que vous avez saisi pour le message\n"
    "ne permettra sans doute pas d'afficher le message plus d'une fois.\n"
    "Désirez-vous quand même enregistrer le message ?");
const QString kPast = QStringLiteral(
    "Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure actuelle.\nEntrez une autre "
    "heure qui soit plus grande que celle actuelle ou un jour postérieur à aujourd'hui.");
const QString kBadDate =
    QStringLiteral("Vous devez spécifier une date valide au format JJ/MM/AAAA pour la date %1d'affichage du message.");

// The main window loaded on a test world, and the editor it opens (deleted with the window).
struct Program : TestWorld {
    void load() {
        frm = std::make_unique<frmGestionMessages>(services(), false);
        QVERIFY(frm->Form_Load());
    }
    frmAjoutMessage* openNew() {
        if (!frm)
            load();
        frm->mnuNouveauMessage_Click();
        return editor = frm->editor();
    }
    QString currentActiveId() const {
        const QModelIndex current = frm->grid(ListActifs)->currentIndex();
        return current.isValid() ? frm->listModel(ListActifs)->row(current.row()).cells[kIdColumn] : QString();
    }
    void select(int row) { frm->grid(ListActifs)->setCurrentIndex(frm->listModel(ListActifs)->index(row, 1)); }
    // The eight fields of a row (by default the last written), as read back, joined by "|".
    QString stored(const QString& id = "(SELECT max(id) FROM message)") {
        SqlRows rs = sql("SELECT * FROM message WHERE id = " + id);
        QStringList fields;
        for (const char* name : {"titre", "message", "datemessage", "heuremessage", "etat", "periodicite",
                                 "prochainaffichage", "dernieraffichage"})
            fields << rs.text(QLatin1String(name));
        return fields.join(QLatin1Char('|'));
    }
    bool editorOpen() const { return editor && editor->isVisible(); }

    std::unique_ptr<frmGestionMessages> frm;
    QPointer<frmAjoutMessage> editor;
};

// Title, text, date, time and end date, joined by "|", typed with every field enabled; then the periodicity.
void fill(frmAjoutMessage* e, const QString& typed, int code) {
    ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
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
    void saving_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("code");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("box");  // empty: none
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("focus");   // after a refusal
        QTest::addColumn<QString>("stored");  // the row written, when checked
        QTest::addColumn<QString>("where");   // what the rows written hold beyond what they read back
        const QDateTime nine = dateTime("05/06/2026 09:00");
        const QString dc = "Dentiste|Cabinet|";
        auto row = [](const char* name, const QString& fields, int code, const QDateTime& now, const QString& box,
                      Answer answer, const char* focus = "", const char* stored = "", const char* where = "") {
            QTest::newRow(name) << fields << code << now << box << answer << QString(focus) << QString(stored)
                                << QString(where);
        };
        // One fault per field: its box, and the focus on it (the checks' order and texts: tst_fields).
        auto fault = [&](const char* name, const QString& fields, const QString& box, const char* focus,
                         const QDateTime& now = {}) {
            row(name, fields, 2, now.isValid() ? now : nine, box, Answer::Ok, focus);
        };
        fault("blank title", "   ||||", "Le titre du message doit être saisi.", "txtTitre");
        fault("blank text", "Dentiste|  |||", "Le texte du message doit être saisi.", "txtTexte");
        fault("31 April", dc + "31/04/2026||", kBadDate.arg(""), "txtDate");
        fault("yesterday, time blank", dc + "04/06/2026||",
              "Vous ne pouvez pas saisir de date antérieure à aujourd'hui.", "txtDate");
        fault("hour 24", dc + "05/06/2026|24:00|",
              "Vous devez spécifier une heure valide au format HH:MM pour l'heure d'affichage du message.", "txtHeure");
        // Only whole seconds count: 09:00 today is past at 09:00:01, still to come at 09:00:00.400.
        fault("this minute, 1 s gone", dc + "05/06/2026|09:00|", kPast, "txtHeure", nine.addSecs(1));
        row("this minute, 0.4 s gone", dc + "05/06/2026|09:00|", 0, nine.addMSecs(400), "", Answer::Ok);
        fault("29 February 2027", dc + "05/06/2026|10:00|29/02/2027", kBadDate.arg("de fin "), "txtDateFin");
        // A series too short to show twice asks first (which series: tst_fields).
        auto repeat = [&](const char* name, const char* end, int code, bool asked, Answer answer = Answer::Yes) {
            row(name, dc + "05/06/2026|10:00|" + end, code, nine, asked ? kRepeat : "", answer);
        };
        repeat("daily, end two days on, No", "07/06/2026", 2, true, Answer::No);
        repeat("daily, end two days on, Yes", "07/06/2026", 2, true);
        // At every start the date and time are neither checked nor kept; once, the end date typed earlier goes.
        row("at every start", dc + "31/04/2026|25:00|", 9, nine, "", Answer::Ok, "", "Dentiste|Cabinet|||actif|9||",
            "prochainaffichage = ' '");
        row("once", dc + "06/06/2026|10:00|30/06/2026", 0, nine, "", Answer::Ok, "",
            "Dentiste|Cabinet|06/06/2026|10:00|actif|0|06/06/2026 10:00|", "dernieraffichage = ''");
    }
    void saving() {
        QFETCH(QString, fields);
        QFETCH(int, code);
        QFETCH(QDateTime, now);
        QFETCH(QString, box);
        QFETCH(Answer, answer);
        QFETCH(QString, focus);
        QFETCH(QString, stored);
        QFETCH(QString, where);
        const int written = focus.isEmpty() && answer != Answer::No;
        Program p;
        p.clock.set(now);
        frmAjoutMessage* e = p.openNew();
        fill(e, fields, code);
        if (!box.isEmpty())
            p.dialogs.expect(Icon::Information, box, answer);
        save(e);
        QVERIFY(p.dialogs.allAnswered());  // and no other box: the fake fails on those
        if (!box.isEmpty())
            QCOMPARE(p.dialogs.shown.back().buttons, box == kRepeat ? Buttons::YesNo : Buttons::Ok);
        if (!focus.isEmpty())
            QCOMPARE(e->focusWidget(), ctl<QWidget>(e, focus));
        QCOMPARE(p.count(where), written);
        QCOMPARE(p.editorOpen(), written == 0);
        if (!stored.isEmpty())
            QCOMPARE(p.stored(), stored);
    }

    void savesNewMessage() {
        Program p;
        p.insert("Ancien", "Texte", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        p.select(0);
        frmAjoutMessage* e = p.openNew();
        QCOMPARE(ctl<QLineEdit>(e, "txtDate")->text(), QStringLiteral("05/06/2026"));
        QTest::keyClicks(ctl<QLineEdit>(e, "txtTitre"), "Dentiste");
        QTest::keyClicks(ctl<QPlainTextEdit>(e, "txtTexte"), "Cabinet 2");
        ctl<QLineEdit>(e, "txtDate")->clear();
        QTest::keyClicks(ctl<QLineEdit>(e, "txtDate"), "06/06/2026");
        QTest::keyClicks(ctl<QLineEdit>(e, "txtHeure"), "10:00");
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        QTest::keyClicks(ctl<QLineEdit>(e, "txtDateFin"), "30/06/2026");
        save(e);
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.frm->listModel(ListActifs)->rowCount(), 2);
        QCOMPARE(p.stored(p.currentActiveId()),  // selected in the list
                 "Dentiste|Cabinet 2|06/06/2026|10:00|actif|2|06/06/2026 10:00|30/06/2026 10:00");
    }

    // A change is written on the row opened, even when another row is selected meanwhile; it is refused when the
    // message was shown or deleted meanwhile.
    void modifiesMessage_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("count");
        const QString row = "L'agenda|Relire l'ordre du jour|12/06/2026|%1|%2|4|12/06/2026 %1|12/12/2026 %1";
        QTest::newRow("kept") << QString() << QString() << row.arg("11:30", "actif") << 2;
        QTest::newRow("displayed") << "UPDATE message SET etat = 'affiche' WHERE id = %1"
                                   << "Impossible de modifier le message. Celui-ci est affiché."
                                   << row.arg("10:00", "affiche") << 2;
        QTest::newRow("deleted") << "DELETE FROM message WHERE id = %1"
                                 << "Impossible de modifier le message. Celui-ci n'existe plus."
                                 << "|||||||" << 1;
    }
    void modifiesMessage() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, box);
        QFETCH(QString, stored);
        QFETCH(int, count);
        Program p;
        const qint64 id = p.insert("L'agenda", "Relire l'ordre du jour", "12/06/2026", "10:00", "actif", "4",
                                   "12/06/2026 10:00", "12/12/2026 10:00");
        p.insert("Autre", "Texte", "12/06/2026", "10:00", "actif", "0", "12/06/2026 10:00", "");
        p.load();
        p.select(0);
        p.frm->ToolbarCommand(2);  // modifier
        frmAjoutMessage* e = p.editor = p.frm->editor();
        QVERIFY(p.editorOpen());
        QCOMPARE(ctl<QLineEdit>(e, "txtTitre")->text() + '|' + ctl<QLineEdit>(e, "txtDateFin")->text() + '|' +
                     QString::number(ctl<QComboBox>(e, "cboPeriode")->currentIndex()),
                 "L'agenda|12/12/2026|4");
        ctl<QLineEdit>(e, "txtHeure")->setText("11:30");
        p.select(1);
        if (!box.isEmpty()) {
            p.sql(meanwhile.arg(id));
            p.dialogs.expect(Icon::Information, box);
        }
        save(e);
        QVERIFY(p.dialogs.allAnswered());
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.stored(QString::number(id)), stored);
        QCOMPARE(p.count(), count);
        if (box.isEmpty())
            QCOMPARE(p.currentActiveId(), QString::number(id));
    }

    // Date and time fields take digits and their separator; Tab and Shift+Tab move on. Anything else beeps.
    void keys_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        auto row = [](const char* name, const char* field, const char* text, Qt::Key key, const char* after,
                      int beeps) {
            QTest::newRow(name) << QString(field) << QString(text) << int(key) << QString(after) << beeps;
        };
        row("letter in the date", "txtDate", "05/0", Qt::Key_A, "05/0", 1);
        row("slash after the day", "txtDate", "05", Qt::Key_Slash, "05/", 0);
        row("letter in the end date", "txtDateFin", "", Qt::Key_X, "", 1);
        row("letter in the time", "txtHeure", "07", Qt::Key_H, "07", 1);
        row("colon after the hour", "txtHeure", "07", Qt::Key_Colon, "07:", 0);
        for (const char* field : {"txtDate", "txtHeure"}) {
            QTest::addRow("Tab in %s", field) << QString(field) << "05/06" << int(Qt::Key_Tab) << "05/06" << 0;
            QTest::addRow("Shift+Tab in %s", field)
                << QString(field) << "05/06" << int(Qt::Key_Backtab) << "05/06" << 0;
        }
    }
    void keys() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        Program p;
        frmAjoutMessage* e = p.openNew();
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(2);
        auto* edit = ctl<QLineEdit>(e, field);
        edit->setFocus();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(edit->text(), after);
        QCOMPARE(p.platform.beeps, beeps);
        QCOMPARE(e->focusWidget() != edit, key == Qt::Key_Tab || key == Qt::Key_Backtab);  // Tab moves on
    }

    void escapeClosesWithoutSaving() {
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, "Dentiste|Cabinet|06/06/2026|10:00|", 0);
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!p.editorOpen());
        QCOMPARE(p.count(), 0);
    }

    void periodicityEnablesFields_data() {
        QTest::addColumn<int>("code");
        for (int code : {0, 1, 8, 9})
            QTest::addRow("code %d", code) << code;
    }
    void periodicityEnablesFields() {
        QFETCH(int, code);
        Program p;
        frmAjoutMessage* e = p.openNew();
        fill(e, "Dentiste|Cabinet|06/06/2026|10:00|30/06/2026", code == 9 ? 0 : 9);  // coming from another choice
        ctl<QComboBox>(e, "cboPeriode")->setCurrentIndex(code);
        for (const char* name : {"txtDate", "cmdCalendrier_0", "txtHeure", "cmdHeure"})
            QVERIFY2(ctl<QWidget>(e, name)->isEnabled() == (code != 9), name);
        for (const char* name : {"txtDateFin", "cmdCalendrier_1"})
            QVERIFY2(ctl<QWidget>(e, name)->isEnabled() == (code >= 1 && code <= 8), name);
        QCOMPARE(ctl<QLineEdit>(e, "txtDate")->text() + ' ' + ctl<QLineEdit>(e, "txtHeure")->text() + ' ' +
                     ctl<QLineEdit>(e, "txtDateFin")->text(),
                 "06/06/2026 10:00 30/06/2026");
    }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
