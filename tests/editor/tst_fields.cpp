#include <QTest>

#include "editor/DateFields.h"
#include "editor/EditorRules.h"
#include "scheduling/Schedule.h"

using namespace tavanote;

Q_DECLARE_METATYPE(tavanote::EditorFields)

class tst_fields : public QObject {
    Q_OBJECT
private slots:
    void checks_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("trimmed");  // the text as the date-time check gives it back
        auto row = [](const char* kind, const char* text, bool valid, const char* trimmed = nullptr) {
            QTest::addRow("%s \"%s\"", kind, text) << kind << text << valid << (trimmed ? trimmed : text);
        };
        row("date", "05/06/2026", true);
        row("date", "5/6/2026", false);
        row("date", "05-06-2026", false);
        row("date", "05/06/26", false);
        row("date", "05/06/2026 10:00", false);
        row("date", "31/04/2026", false);
        row("date", "29/02/2027", false);
        row("date", "29/02/2028", true);
        row("date", "12/13/2026", false);  // read day first only
        row("date", "+5/06/2026", false);
        row("date", "01/01/0099", false);  // years below 100 are refused
        row("date", "01/01/0100", true);
        row("date", "", false);
        row("time", "00:00", true);
        row("time", "23:59", true);
        row("time", "24:00", false);
        row("time", "12:60", false);
        row("time", "7:30", false);
        row("time", "07.30", false);
        row("time", "", false);
        row("date-time", "05/06/2026 07:30", true);
        row("date-time", "  05/06/2026 07:30 ", true, "05/06/2026 07:30");
        row("date-time", " 05/06/2026 ", false, "05/06/2026");
        row("date-time", "05/06/2026 25:00", false);
        row("date-time", "05/06/2026  7:30", false);
        row("date-time", "   ", false, "");
    }

    void checks() {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, trimmed);
        if (kind == QLatin1String("date")) {
            QCOMPARE(isDateText(text), valid);
        } else if (kind == QLatin1String("time")) {
            QCOMPARE(isTimeText(text), valid);
        } else {
            QCOMPARE(CheckDateTimeText(text), valid);
            QCOMPARE(text, trimmed);
        }
    }

    void keyFilter_data() {
        QTest::addColumn<bool>("timeField");
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("outcome");  // "pass": typed as usual, "beep": refused, "": handled silently
        QTest::addColumn<QString>("after");    // the field's text and caret once the key is handled
        QTest::addColumn<int>("afterCursor");
        auto row = [](const char* name, bool time, QChar typed, const QString& text, int cursor, const char* outcome,
                      const QString& after, int afterCursor) {
            QTest::newRow(name) << time << typed << text << cursor << outcome << after << afterCursor;
        };
        row("date: slash in an empty field", false, '/', "", 0, "", "/", 1);
        row("date: slash after the day", false, '/', "05", 2, "", "05/", 3);
        row("date: slash in a full date", false, '/', "05/06/2026", 10, "", "05/06/2026", 10);
        row("date: slash goes to the end", false, '/', "0506/2026", 2, "", "0506/2026/", 10);
        row("date: digit", false, '7', "05/0", 4, "pass", "05/0", 4);
        row("date: letter", false, 'a', "05/0", 4, "beep", "05/0", 4);
        row("date: colon", false, ':', "05", 2, "beep", "05", 2);
        row("date: backspace", false, QChar(8), "05/0", 4, "pass", "05/0", 4);
        row("time: colon in an empty field", true, ':', "", 0, "", ":", 1);
        row("time: colon after the hour", true, ':', "07", 2, "", "07:", 3);
        row("time: colon in a full time", true, ':', "07:30", 5, "", "07:30", 5);
        row("time: colon goes to the end", true, ':', "0730", 2, "", "0730:", 5);
        row("time: letter", true, 'h', "07", 2, "beep", "07", 2);
        row("time: slash", true, '/', "07", 2, "beep", "07", 2);
        row("time: backspace", true, QChar(8), "07:", 3, "pass", "07:", 3);
    }

    void keyFilter() {
        QFETCH(bool, timeField);
        QFETCH(QChar, typed);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, outcome);
        QFETCH(QString, after);
        QFETCH(int, afterCursor);
        const KeyFilterResult r = timeField ? filterTimeKey(typed, text, cursor) : filterDateKey(typed, text, cursor);
        QCOMPARE(r.pass, outcome == QLatin1String("pass"));
        QCOMPARE(r.beep, outcome == QLatin1String("beep"));
        QCOMPARE(r.changed ? r.text : text, after);
        QCOMPARE(r.changed ? r.cursor : cursor, afterCursor);
    }

    void repeatWarning_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("end");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<bool>("warns");
        auto row = [](const char* name, int code, const char* end, qint64 count, bool warns,
                      const char* first = "05/06/2026 10:00") {  // a Friday
            QTest::newRow(name) << code << QString(first) << QString(end) << count << warns;
        };
        row("daily, end two days on", 2, "07/06/2026", 1, true);
        row("daily, end three days on", 2, "08/06/2026", 2, false);
        row("daily, end on the start", 2, "05/06/2026", -1, true);
        row("hourly, end the next day", 1, "06/06/2026", 13, false);
        row("hourly, end the same day", 1, "05/06/2026", -11, true);
        row("weekly, end Saturday after", 3, "13/06/2026", 0, true);
        row("weekly, end Sunday after", 3, "14/06/2026", 1, true);
        row("weekly, end second Sunday", 3, "21/06/2026", 2, false);
        row("monthly from 31 January", 4, "31/03/2027", 1, true, "31/01/2027 10:00");
        row("monthly, one more month", 4, "01/04/2027", 2, false, "31/01/2027 10:00");
        row("two months, 2", 5, "31/10/2026", 2, true);
        row("two months, 3", 5, "01/11/2026", 3, false);
        row("three months, 3", 6, "31/12/2026", 3, true);
        row("three months, 4", 6, "01/01/2027", 4, false);
        row("six months, 6", 7, "30/06/2027", 6, true);
        row("six months, 7", 7, "01/07/2027", 7, false);
        row("yearly, 1", 8, "31/12/2028", 1, true);
        row("yearly, 2", 8, "01/01/2029", 2, false);
    }

    void repeatWarning() {
        QFETCH(int, code);
        QFETCH(QString, first);
        QFETCH(QString, end);
        QFETCH(qint64, count);
        QFETCH(bool, warns);
        const QDateTime start = QDateTime::fromString(first, QStringLiteral("dd/MM/yyyy HH:mm"));
        const qint64 counted = repeatCount(code, naiveInstant(start.date(), start.time()),
                                           QDate::fromString(end, QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(counted, count);
        QCOMPARE(counted <= repeatThreshold(code), warns);
    }

    void statements_data() {
        QTest::addColumn<EditorFields>("fields");
        QTest::addColumn<qint64>("id");  // 0: a new message
        QTest::addColumn<QString>("statement");
        const QString insert = QStringLiteral(
            "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
            "dernieraffichage) VALUES ");
        const EditorFields daily{"Réunion", "Salle 2", "05/06/2026", "10:00", "30/06/2026", 2};
        QTest::newRow("new daily") << daily << qint64(0)
                                   << insert +
                                          "('Réunion','Salle 2','05/06/2026','10:00','actif','2','05/06/2026 10:00',"
                                          "'30/06/2026 10:00')";
        QTest::newRow("changed daily")
            << daily << qint64(12)
            << "UPDATE message SET titre = 'Réunion',message = 'Salle 2',datemessage = '05/06/2026',heuremessage = "
               "'10:00',etat = 'actif',periodicite = '2',prochainaffichage = '05/06/2026 10:00',dernieraffichage = "
               "'30/06/2026 10:00' WHERE id = 12";
        // Once: the end date typed earlier is not written.
        QTest::newRow("changed once, quotes and percent signs")
            << EditorFields{"L'agenda 5%2", "C'est l'heure, 100%1", "05/06/2026", "10:00", "30/06/2026", 0} << qint64(7)
            << "UPDATE message SET titre = 'L''agenda 5%2',message = 'C''est l''heure, 100%1',datemessage = "
               "'05/06/2026',heuremessage = '10:00',etat = 'actif',periodicite = '0',prochainaffichage = "
               "'05/06/2026 10:00',dernieraffichage = '' WHERE id = 7";
        QTest::newRow("new once") << EditorFields{"Réunion", "Salle 2", "05/06/2026", "10:00", "", 0} << qint64(0)
                                  << insert +
                                         "('Réunion','Salle 2','05/06/2026','10:00','actif','0','05/06/2026 10:00','')";
        QTest::newRow("at every start") << EditorFields{"Bonjour", "Café", "", "", "", 9} << qint64(0)
                                        << insert + "('Bonjour','Café','','','actif','9',' ',' ')";
    }

    void statements() {
        QFETCH(EditorFields, fields);
        QFETCH(qint64, id);
        QFETCH(QString, statement);
        QCOMPARE(id ? updateStatement(fields, id) : insertStatement(fields), statement);
    }
};

QTEST_GUILESS_MAIN(tst_fields)
#include "tst_fields.moc"
