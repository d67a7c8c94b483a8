// The editor window built on its own services: the box each fault shows (its text: tst_fields) and where the focus
// goes, what one save writes, and the keys of its date and time fields.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "editor/EditorRules.h"
#include "editor/frmAjoutMessage.h"
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
    Editor() {
        openStore();
        e->Form_Load();
    }
    void startNew() { e->startNew(clock.now().date()); }
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

    // Date and time fields take digits and their separator; Tab moves on. Anything else beeps.
    void keysOfTheDateAndTimeFields() {
        const struct {
            const char* field;
            Qt::Key key;
            const char* after;
            int beeps;
        } cases[] = {{"txtDate", Qt::Key_A, "05", 1},
                     {"txtDateFin", Qt::Key_X, "05", 1},
                     {"txtHeure", Qt::Key_Colon, "05:", 0},
                     {"txtHeure", Qt::Key_Tab, "05", 0},
                     {"txtDate", Qt::Key_Backtab, "05", 0}};
        for (const auto& c : cases) {
            Editor w;
            w.startNew();
            ctl<QComboBox>(w.e.get(), "cboPeriode")->setCurrentIndex(2);
            auto* edit = ctl<QLineEdit>(w.e.get(), c.field);
            edit->setFocus();
            edit->setText("05");
            QTest::keyClick(edit, c.key, c.key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            const QString where = QStringLiteral("%1, key %2").arg(c.field).arg(int(c.key));
            QVERIFY2(edit->text() == c.after && w.platform.beeps == c.beeps, qPrintable(where));
            QVERIFY2((w.e->focusWidget() != edit) == (c.key == Qt::Key_Tab || c.key == Qt::Key_Backtab),
                     qPrintable(where));
        }
    }

    void escapeClosesWithoutSaving() {
        Editor w;
        w.startNew();
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
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
