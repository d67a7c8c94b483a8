#include <QTemporaryDir>
#include <QTest>

#include "common/DateText.h"
#include "editor/DateFields.h"
#include "editor/EditorRules.h"
#include "store/MessageStore.h"

using namespace tavanote;

Q_DECLARE_METATYPE(tavanote::EditorFields)

class tst_fields : public QObject {
    Q_OBJECT
private slots:
    // kind|text|valid|the text as the check gives it back (when trimmed)
    void checks_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row : {"date|05/06/2026|1",
                                "date|5/6/2026|0",
                                "date|05-06-2026|0",
                                "date|29/02/2028|1",
                                "date|12/13/2026|0",
                                "date|+5/06/2026|0",
                                "date|01/01/0099|0",
                                "date|01/01/0100|1",
                                "date||0",
                                "date| 05/06/2026  |1|05/06/2026",
                                "time|00:00|1",
                                "time|23:59|1",
                                "time|12:60|0",
                                "time|7:30|0",
                                "time|07.30|0",
                                "time||0",
                                "time| 07:30 |1|07:30",
                                "date-time|05/06/2026 07:30|1",
                                "date-time|  05/06/2026 07:30 |1|05/06/2026 07:30",
                                "date-time| 05/06/2026 |0|05/06/2026",
                                "date-time|05/06/2026 25:00|0",
                                "date-time|05/06/2026  7:30|0",
                                "date-time|   |0|"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }

    void checks() {
        QFETCH(QStringList, c);
        const QString kind = c[0];
        QString text = c[1];
        const bool valid = c[2] == "1";
        const QString trimmed = c.value(3, text);
        QString fault;
        if (kind == QLatin1String("date")) {
            QCOMPARE(CheckDateText(text, &fault), valid);
            QCOMPARE(fault, valid || text.isEmpty() ? QString()
                                                    : "Vous devez spécifier une date valide au format JJ/MM/AAAA ");
        } else if (kind == QLatin1String("time")) {
            QCOMPARE(CheckTimeText(text, &fault), valid);
            QCOMPARE(fault,
                     valid || text.isEmpty() ? QString() : "Vous devez spécifier une heure valide au format HH:MM ");
        } else {
            QCOMPARE(CheckDateTimeText(text), valid);
        }
        QCOMPARE(text, trimmed);
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
        row("date: slash after the day", false, '/', "05", 2, "", "05/", 3);
        row("date: slash in a full date", false, '/', "05/06/2026", 10, "", "05/06/2026", 10);
        row("date: slash goes to the end", false, '/', "0506/2026", 2, "", "0506/2026/", 10);
        row("date: digit", false, '7', "05/0", 4, "pass", "05/0", 4);
        row("date: letter", false, 'a', "05/0", 4, "beep", "05/0", 4);
        row("date: colon", false, ':', "05", 2, "beep", "05", 2);
        row("date: backspace", false, QChar(8), "05/0", 4, "pass", "05/0", 4);
        row("time: colon after the hour", true, ':', "07", 2, "", "07:", 3);
        row("time: colon in a full time", true, ':', "07:30", 5, "", "07:30", 5);
        row("time: slash", true, '/', "07", 2, "beep", "07", 2);
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

    // Whether saving asks first, at the last end date that shows a series hardly more than once and the day after.
    void repeatWarning_data() {
        QTest::addColumn<EditorFields>("fields");
        QTest::addColumn<bool>("warns");
        // code, first display, the last end date that warns; the day after (or the date given) does not. 05/06/2026
        // is a Friday: weeks count from Sunday to Sunday.
        for (const char* row :
             {"2|05/06/2026|07/06/2026", "1|05/06/2026|05/06/2026", "3|05/06/2026|14/06/2026|21/06/2026",
              "4|31/01/2027|31/03/2027", "5|05/06/2026|31/10/2026", "6|05/06/2026|31/12/2026",
              "7|05/06/2026|30/06/2027", "8|05/06/2026|31/12/2028"}) {
            const QStringList c = QString::fromLatin1(row).split('|');
            const QString after = c.value(3, formatDate(QDate::fromString(c[2], "dd/MM/yyyy").addDays(1)));
            QTest::newRow(row) << EditorFields{"Réunion", "Salle 2", c[1], "10:00", c[2], c[0].toInt()} << true;
            QTest::newRow(qPrintable(c[0] + " next day"))
                << EditorFields{"Réunion", "Salle 2", c[1], "10:00", after, c[0].toInt()} << false;
        }
    }

    void repeatWarning() {
        QFETCH(EditorFields, fields);
        QFETCH(bool, warns);
        const std::optional<EditorFault> found = checkEditorFields(fields, QDateTime(QDate(2026, 6, 5), QTime(9, 0)));
        QCOMPARE(found && found->question, warns);
        QCOMPARE(found && !found->question, false);
    }

    // The editor's checks in their order: the first fault, the field that gets the focus, and the fields as the
    // window shows them afterwards (trimmed, the unused ones emptied). Now is 05/06/2026 09:00:30.
    void editorChecks_data() {
        QTest::addColumn<EditorFields>("fields");
        QTest::addColumn<QString>("fault");  // "field: text", "question: text" or empty
        QTest::addColumn<bool>("select");
        QTest::addColumn<QStringList>("after");  // titre, texte, date, heure, date de fin
        const QString badDate = QStringLiteral("Vous devez spécifier une date valide au format JJ/MM/AAAA pour la ");
        auto row = [](const char* name, const EditorFields& f, const QString& fault, bool select = false,
                      const QStringList& after = {}) {
            QTest::newRow(name) << f << fault << select
                                << (after.isEmpty() ? QStringList{f.titre, f.texte, f.date, f.heure, f.dateFin}
                                                    : after);
        };
        const EditorFields daily{"Réunion", "Salle 2", "05/06/2026", "10:00", "30/06/2026", 2};
        auto with = [&daily](int field, const QString& value, int code = 2) {
            EditorFields f = daily;
            QString* fields[] = {&f.titre, &f.texte, &f.date, &f.heure, &f.dateFin};
            *fields[field] = value;
            f.code = code;
            return f;
        };
        row("daily passes", daily, "");
        row("blank title", with(0, "   "), "titre: Le titre du message doit être saisi.", false,
            {"", "Salle 2", "05/06/2026", "10:00", "30/06/2026"});
        row("no text", with(1, ""), "texte: Le texte du message doit être saisi.");
        row("at start: only title and text", with(2, "hier", 9), "", false,
            {"Réunion", "Salle 2", "", "", "30/06/2026"});
        row("no date", with(2, " "), "date: La date d'affichage du message doit être saisie.", false,
            {"Réunion", "Salle 2", "", "10:00", "30/06/2026"});
        row("no such date", with(2, "31/04/2026"), "date: " + badDate + "date d'affichage du message.", true);
        row("yesterday", with(2, "04/06/2026"), "date: Vous ne pouvez pas saisir de date antérieure à aujourd'hui.");
        row("no time", with(3, ""), "heure: L'heure d'affichage du message doit être saisie.");
        row("no such time", with(3, "24:00"),
            "heure: Vous devez spécifier une heure valide au format HH:MM pour l'heure d'affichage du message.", true);
        row("this minute, its second 00 past", with(3, "09:00"),
            "heure: Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure actuelle.\n"
            "Entrez une autre heure qui soit plus grande que celle actuelle ou un jour postérieur à aujourd'hui.");
        row("once: the end date is emptied", with(4, "01/01/2000", 0), "", false,
            {"Réunion", "Salle 2", "05/06/2026", "10:00", ""});
        row("no end date", with(4, ""), "datefin: La date de fin d'affichage du message doit être saisie.");
        row("no such end date", with(4, "29/02/2027"), "datefin: " + badDate + "date de fin d'affichage du message.",
            true);
        row("end before start", with(4, "04/06/2026"),
            "datefin: Vous avez saisi une date de fin d'affichage du message inférieure à la date d'affichage du "
            "message.\nEntrez une autre date qui soit postérieure à celle du premier jour d'affichage.");
        row("shown hardly more than once", with(4, "07/06/2026"),
            "question: La date de fin d'affichage que vous avez saisi pour le message\nne permettra sans doute pas "
            "d'afficher le message plus d'une fois.\nDésirez-vous quand même enregistrer le message ?");
    }

    void editorChecks() {
        QFETCH(EditorFields, fields);
        QFETCH(QString, fault);
        QFETCH(bool, select);
        QFETCH(QStringList, after);
        const std::optional<EditorFault> found =
            checkEditorFields(fields, QDateTime(QDate(2026, 6, 5), QTime(9, 0, 30)));
        static const char* const names[] = {"question", "titre", "texte", "date", "heure", "datefin"};
        QCOMPARE(found ? QLatin1String(names[int(found->field)]) + ": " + found->text : QString(), fault);
        QCOMPARE(found && found->selectText, select);
        QCOMPARE(found && found->question, fault.startsWith("question"));
        QCOMPARE((QStringList{fields.titre, fields.texte, fields.date, fields.heure, fields.dateFin}), after);
    }

    // A row the file refuses is told as such and nothing is written; a message gone has no fields to edit
    // (what is written, and the refusals of a message shown or gone: tst_editor).
    void refusedSaveWritesNothing() {
        QTemporaryDir dir;
        MessageStore store;
        const QString path = MessageStore::pathIn(dir.path());
        QVERIFY(MessageStore::createEmpty(path, nullptr) && store.open(path).ok());
        const EditorSaveResult r = saveEditorFields(store, {QString(31, 'T'), "x", "05/06/2026", "10:00", "", 0}, 0);
        QCOMPARE(r.kind, EditorSaveResult::Failed);
        QCOMPARE(r.text,
                 "Impossible d'enregistrer le message: le fichier des messages est resté tel qu'il était.\n\n"
                 "Le titre ne doit pas dépasser 30 caractères.");
        QVERIFY(store.all()->empty());
        QVERIFY(!loadEditorFields(store, 1));
    }
};

QTEST_GUILESS_MAIN(tst_fields)
#include "tst_fields.moc"
