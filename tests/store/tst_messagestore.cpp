// The message file: every statement the program sends, the text rules around them, and the file's safety
// when it is not ours or when a writer dies.
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "common/TextRules.h"
#include "store/MessageStore.h"
#include "store/Recordset.h"

using namespace tavanote;

namespace {

// With this argument and a file path, the test program becomes a writer that never stops on its own.
const char* const kWriterArgument = "--writer";
const int kWriterTextSize = 40000;  // several pages a row, so that a kill often lands mid-row
const QStringList kColumns =
    QStringLiteral("id titre message datemessage heuremessage etat periodicite prochainaffichage dernieraffichage")
        .split(QLatin1Char(' '));
const QString kEditorInsert = QStringLiteral(
    "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
    "dernieraffichage) VALUES ('");

using Rows = QList<QStringList>;

// A row written "id|titre|...|dernieraffichage".
QStringList row(const char* fields) {
    return QString::fromUtf8(fields).split(QLatin1Char('|'));
}
QStringList with(QStringList fields, int column, const QString& value) {
    fields[column] = value;
    return fields;
}
// The editor's insert of a row's fields after the id, each between quotes.
QString editorInsert(const QStringList& fields) {
    return kEditorInsert + fields.mid(1).join(QStringLiteral("','")) + QStringLiteral("')");
}
QString editorInsert(const QString& title, const char* etat = "actif") {
    return editorInsert(with(with(row("||x|05/06/2026|09:00|actif|0|05/06/2026 09:00|"), 1, title), 5, etat));
}
Recordset mustRun(MessageStore& store, const QString& sql) {
    Recordset rs = store.run(sql);
    if (!rs.ok())
        QTest::qFail(qPrintable(sql + QStringLiteral("\n-> ") + rs.error()), __FILE__, __LINE__);
    return rs;
}
// The rows as the program walks them, each field through the field-to-text rule.
Rows select(MessageStore& store, const QString& sql) {
    Recordset rs = mustRun(store, sql);
    Rows rows;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        rows << QStringList();
        for (const QString& column : kColumns)
            rows.last() << rs.text(column);
    }
    return rows;
}
Rows table(MessageStore& store) {
    return select(store, QStringLiteral("SELECT * FROM message ORDER BY id ASC"));
}
QStringList titles(const Rows& rows) {
    QStringList out;
    for (const QStringList& r : rows)
        out << r.at(1);
    return out;
}
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
// An empty message file in its own temporary program folder, opened.
struct StoreFile {
    StoreFile() {
        path = MessageStore::pathIn(dir.path());
        ready = dir.isValid() && MessageStore::createEmpty(path, nullptr) && store.open(path).ok();
    }
    QTemporaryDir dir;
    QString path;
    MessageStore store;
    bool ready = false;
};

const QStringList kDentiste = row("1|Dentiste|Appeler le cabinet|05/06/2026|09:00|actif|0|05/06/2026 09:00|");
const QStringList kPiscine = row("2|Piscine|Sac de sport|06/06/2026|18:30|actif|3|06/06/2026 18:30|27/06/2026 18:30");
const QStringList kBonjour = row("3|Bonjour|Au démarrage|||actif|9||");  // written with a lone blank as next display

// Three messages as the editor writes them: once, weekly with an end, and at every start.
void addThreeMessages(MessageStore& store) {
    mustRun(store, editorInsert(kDentiste));
    mustRun(store, editorInsert(kPiscine));
    mustRun(store, editorInsert(row("|Bonjour|Au démarrage|||actif|9| |")));
}
// The child's side of killedWriterLosesNothingItReported: insert, and say each id once the store has it (a
// failure says a repeated or empty id, which the test refuses).
int runWriter(const QString& path) {
    MessageStore store;
    if (!store.open(path).ok())
        return 3;
    const QString text(kWriterTextSize, QLatin1Char('x'));
    for (int i = 1;; ++i) {
        const QStringList fields = row("|Écriture|x|05/06/2026|09:00|actif|2|05/06/2026 09:00|31/12/2026 09:00");
        store.run(editorInsert(with(with(fields, 1, QStringLiteral("Écriture %1").arg(i)), 2, text)));
        Recordset last = store.run(QStringLiteral("SELECT max(id) AS id FROM message"));
        last.moveFirst();
        std::printf("%s\n", qPrintable(last.text(QStringLiteral("id"))));
        std::fflush(stdout);
    }
}

// An SQLite file made without the program.
bool makeForeignDatabase(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace

class tst_MessageStore : public QObject {
    Q_OBJECT

private slots:
    void createEmptyNeverOverwrites();
    void catalogueStatements();
    void reportsSortTitlesInFrenchOrder();
    void storedTexts_data();
    void storedTexts();
    void fieldToTextRule();
    void refusedStatementsChangeNothing_data();
    void refusedStatementsChangeNothing();
    void openFaultsLeaveTheFileUntouched_data();
    void openFaultsLeaveTheFileUntouched();
    void killedWriterLosesNothingItReported();
};

void tst_MessageStore::createEmptyNeverOverwrites() {
    QCOMPARE(MessageStore::pathIn(QStringLiteral("/opt/tavanote/")), QStringLiteral("/opt/tavanote/messages.fdm"));
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    QVERIFY(writeFile(path, "Mes notes, à ne pas perdre\n"));
    QString error;
    QVERIFY(!MessageStore::createEmpty(path, &error) && !error.isEmpty());
    QCOMPARE(contents(path), QByteArray("Mes notes, à ne pas perdre\n"));

    // A new file is alone in its folder and empty; once it holds messages it keeps them.
    StoreFile f;
    QVERIFY(f.ready);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"messages.fdm"});
    QCOMPARE(table(f.store), Rows());
    addThreeMessages(f.store);
    f.store.close();
    const QByteArray filled = contents(f.path);
    QVERIFY(!MessageStore::createEmpty(f.path, &error));
    QCOMPARE(contents(f.path), filled);
    QVERIFY(f.store.open(f.path).ok());
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
}

// Each statement as the program writes it, and the stored rows after it.
void tst_MessageStore::catalogueStatements() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, editorInsert(row("|Arrosage|x|||errone|9| |")));
    const QStringList arrosage = row("4|Arrosage|x|||errone|9||");
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message ORDER BY id DESC")),
             (Rows{arrosage, kBonjour, kPiscine, kDentiste}));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE id = 2")), Rows{kPiscine});
    // The start-up messages: code 9 whatever the state, in id order.
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite LIKE '9' ORDER BY id")),
             (Rows{kBonjour, arrosage}));

    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'affiche' WHERE id = 2"));
    mustRun(f.store, QStringLiteral("UPDATE message SET prochainaffichage = '13/06/2026 18:30' WHERE id = 2"));
    QStringList piscine = with(with(kPiscine, 5, "affiche"), 7, "13/06/2026 18:30");
    QCOMPARE(table(f.store), (Rows{kDentiste, piscine, kBonjour, arrosage}));
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = 2"));
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'errone' WHERE id = 1"));
    piscine = with(piscine, 5, "actif");
    QCOMPARE(table(f.store), (Rows{with(kDentiste, 5, "errone"), piscine, kBonjour, arrosage}));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'actif'")).size(), 2);
    // The editor's modify rewrites the whole message.
    mustRun(f.store, QStringLiteral("UPDATE message SET titre = 'L''anniversaire',message = 'Gâteau\r\nBougies',"
                                    "datemessage = '08/06/2026',heuremessage = '07:45',etat = 'actif',"
                                    "periodicite = '0',prochainaffichage = '08/06/2026 07:45',"
                                    "dernieraffichage = '' WHERE id = 1"));
    const QStringList modified = row("1|L'anniversaire|Gâteau\r\nBougies|08/06/2026|07:45|actif|0|08/06/2026 07:45|");
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 4"));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 4"));  // gone already: nothing happens
    QCOMPARE(table(f.store), (Rows{modified, piscine, kBonjour}));

    // The recovery insert gives periodicity 0 as a number; it reads back, and compares, as the text "0". The
    // deleted last row's id is not given again.
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('L''heure','x','05/06/2026','09:00','actif',0,"
                                    "'05/06/2026 09:00','')"));
    const QStringList recovered = row("5|L'heure|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|");
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite = '0'")),
             (Rows{modified, recovered}));
    // The import insert: eight values in table order.
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('Réunion','Salle 2','05/12/2026','14:00','errone',"
                                    "'2','05/12/2026 14:00','31/12/2026 14:00')"));
    const QStringList reunion = row("6|Réunion|Salle 2|05/12/2026|14:00|errone|2|05/12/2026 14:00|31/12/2026 14:00");
    QCOMPARE(table(f.store), (Rows{modified, piscine, kBonjour, recovered, reunion}));

    // Nor after the table was emptied and the file reopened.
    for (const char* id : {"6", "5", "3", "2", "1"})
        mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = %1").arg(QLatin1String(id)));
    QCOMPARE(table(f.store), Rows());
    f.store.close();
    QVERIFY(f.store.open(f.path).ok());
    mustRun(f.store, editorInsert(QStringLiteral("Encore")));
    QCOMPARE(table(f.store), Rows{row("7|Encore|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|")});
}

void tst_MessageStore::reportsSortTitlesInFrenchOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    for (const QString& title :
         QStringList{"Zèbre", "Été", "fête", "Étude", "Bilan", "école", "abricot", "émail", "Ecole"})
        mustRun(f.store, editorInsert(title));
    mustRun(f.store, editorInsert(QStringLiteral("Œuf"), "affiche"));
    mustRun(f.store, editorInsert(QStringLiteral("orange"), "affiche"));
    const auto sorted = [&](const char* etat) {
        return titles(
            select(f.store,
                   QStringLiteral("SELECT * FROM message WHERE etat = '%1' ORDER BY titre").arg(QLatin1String(etat))));
    };
    QCOMPARE(sorted("actif"),
             (QStringList{"abricot", "Bilan", "Ecole", "école", "émail", "Été", "Étude", "fête", "Zèbre"}));
    QCOMPARE(sorted("affiche"), (QStringList{"orange", "Œuf"}));
}

// The quote rule, then the text stored by an editor insert and read back as typed, trimmed.
void tst_MessageStore::storedTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("apostrophes, blanks around")
        << QStringLiteral("  L'heure d'été  ") << QStringLiteral("L''heure d''été");
    QTest::newRow("only apostrophes") << QStringLiteral("''") << QStringLiteral("''''");
    QTest::newRow("blanks only") << QStringLiteral("     ") << QString();
    QTest::newRow("null") << QString() << QString();
    QTest::newRow("line break and blanks inside")
        << QStringLiteral("Salle  2\r\nici") << QStringLiteral("Salle  2\r\nici");
    const QString words = QStringLiteral("Salle 2; DELETE * FROM message");
    QTest::newRow("dialect words, semicolon") << words << words;
    const QString thirty = QStringLiteral("Réunion du conseil municipal!1");
    QTest::newRow("30 characters") << thirty << thirty;
    QTest::newRow("30 accented (60 bytes)") << QString(30, QChar(0xE9)) << QString(30, QChar(0xE9));
}

void tst_MessageStore::storedTexts() {
    QFETCH(QString, typed);
    QFETCH(QString, quoted);
    QCOMPARE(quoteText(typed), quoted);
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, editorInsert(quoteText(typed)));
    QCOMPARE(titles(table(f.store)), QStringList{quoted.replace(QStringLiteral("''"), QStringLiteral("'"))});
    const QString where = QStringLiteral("SELECT * FROM message WHERE titre = '%1'").arg(quoteText(typed));
    QCOMPARE(select(f.store, where).size(), 1);
}

void tst_MessageStore::fieldToTextRule() {
    QCOMPARE(fieldText(QVariant()), QString());
    QCOMPARE(fieldText(QVariant(QStringLiteral(" Ligne 1\r\nLigne 2 "))), QStringLiteral("Ligne 1\r\nLigne 2"));
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, kEditorInsert + QStringLiteral("  Marge  ',NULL,NULL,'  09:00 ','actif ',NULL,' ',NULL)"));
    QCOMPARE(table(f.store), Rows{row("1|Marge|||09:00|actif|||")});
    Recordset rs = mustRun(f.store, QStringLiteral("SELECT * FROM message"));
    rs.moveFirst();
    QVERIFY(rs.value(QStringLiteral("message")).isNull());
    // A column the statement did not give reads empty, by name or position; so does any field past the end.
    QCOMPARE(rs.text(QStringLiteral("couleur")), QString());
    QCOMPARE(rs.text(rs.columnIndex(QStringLiteral("couleur"))), QString());
    QCOMPARE(rs.text(rs.columnIndex(QStringLiteral("titre"))), QStringLiteral("Marge"));
    rs.moveNext();
    QCOMPARE(rs.text(QStringLiteral("titre")), QString());
}

void tst_MessageStore::refusedStatementsChangeNothing_data() {
    QTest::addColumn<QString>("sql");
    const QString a31(31, QLatin1Char('a'));
    QTest::newRow("31 characters") << editorInsert(QStringLiteral("Réunion du conseil municipal!12"));
    QTest::newRow("31 accented") << editorInsert(QString(31, QChar(0xE9)));
    QTest::newRow("31, value-only insert")
        << QStringLiteral("INSERT INTO message VALUES ('%1','x','05/06/2026','09:00','actif',0,'05/06/2026 09:00','')")
               .arg(a31);
    QTest::newRow("31, update") << QStringLiteral("UPDATE message SET titre = '%1' WHERE id = 1").arg(a31);
    // Two statements in one text: neither is run.
    QTest::newRow("update then delete") << "UPDATE message SET etat = 'errone' WHERE id = 1; DELETE FROM message";
    QTest::newRow("delete then delete") << "DELETE * FROM message WHERE id = 1;DELETE * FROM message WHERE id = 2";
    QTest::newRow("insert then drop") << "INSERT INTO message VALUES ('a','b','05/06/2026','09:00','actif',0,"
                                         "'05/06/2026 09:00',''); DROP TABLE message";
    QTest::newRow("after a quoted semicolon") << "UPDATE message SET titre = 'a;b' WHERE id = 1;"
                                                 "UPDATE message SET etat = 'errone'";
}

void tst_MessageStore::refusedStatementsChangeNothing() {
    QFETCH(QString, sql);
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    const Recordset rs = f.store.run(sql);
    QVERIFY(!rs.ok() && !rs.error().isEmpty());
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
}

void tst_MessageStore::openFaultsLeaveTheFileUntouched_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QList<int>>("faults");
    QTest::newRow("missing") << "missing" << QList<int>{int(StoreFault::Missing)};
    QTest::newRow("text file") << "text" << QList<int>{int(StoreFault::NotADatabase)};
    QTest::newRow("database without message") << "other table" << QList<int>{int(StoreFault::NoTable)};
    QTest::newRow("message table of other columns") << "other columns" << QList<int>{int(StoreFault::NoTable)};
    QTest::newRow("empty file") << "empty" << QList<int>{int(StoreFault::NoTable), int(StoreFault::NotADatabase)};
    QTest::newRow("corrupted") << "corrupted" << QList<int>{int(StoreFault::Corrupt), int(StoreFault::NotADatabase)};
}

void tst_MessageStore::openFaultsLeaveTheFileUntouched() {
    QFETCH(QString, fixture);
    QFETCH(QList<int>, faults);
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    if (fixture == QLatin1String("text")) {
        QVERIFY(writeFile(path, QByteArray("titre;message;datemessage;heuremessage;etat\n").repeated(200)));
    } else if (fixture == QLatin1String("other table")) {
        QVERIFY(makeForeignDatabase(path, "CREATE TABLE contacts (nom TEXT); INSERT INTO contacts VALUES ('Léa');"));
    } else if (fixture == QLatin1String("other columns")) {
        QVERIFY(makeForeignDatabase(path,
                                    "CREATE TABLE message (id INTEGER PRIMARY KEY, texte TEXT);"
                                    "INSERT INTO message (texte) VALUES ('bonjour');"));
    } else if (fixture == QLatin1String("empty")) {
        QVERIFY(writeFile(path, QByteArray()));
    } else if (fixture == QLatin1String("corrupted")) {
        // Many rows, so that the file spans many pages; then 512 bytes of a middle page from its header on.
        QVERIFY(MessageStore::createEmpty(path, nullptr));
        QVERIFY(makeForeignDatabase(path,
                                    "INSERT INTO message (titre,message) WITH RECURSIVE n(i) AS (SELECT 1 "
                                    "UNION ALL SELECT i + 1 FROM n WHERE i < 3000) SELECT 'Message ' || i, "
                                    "printf('%.300c', 'x') FROM n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 100 * 4096);
        QVERIFY(file.seek((file.size() / 2) / 4096 * 4096));
        QCOMPARE(file.write(QByteArray(512, char(0xA5))), qint64(512));
    }
    const QByteArray before = contents(path);
    const QStringList folderBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    MessageStore store;
    const StoreOpenResult result = store.open(path);
    QVERIFY2(faults.contains(int(result.fault)),
             qPrintable(QStringLiteral("fault %1 (%2)").arg(int(result.fault)).arg(result.detail)));
    QVERIFY(!store.isOpen());
    QVERIFY(!store.run(QStringLiteral("SELECT * FROM message")).ok());
    store.close();
    QCOMPARE(contents(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), folderBefore);
}

void tst_MessageStore::killedWriterLosesNothingItReported() {
    StoreFile f;
    QVERIFY(f.ready);
    f.store.close();
    QSet<qint64> reported;
    qint64 lastReported = 0;
    for (const int wanted : {1, 7, 23, 40, 61, 3, 12, 30, 2, 17}) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QLatin1String(kWriterArgument), f.path});
        QVERIFY(writer.waitForStarted());
        QByteArray output;
        while (output.count('\n') < wanted && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(30000);
            output += writer.readAllStandardOutput();
        }
        QVERIFY2(output.count('\n') >= wanted, writer.readAllStandardError().constData());
        writer.kill();  // SIGKILL: no handler, no cleanup
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        output += writer.readAllStandardOutput();
        output.truncate(output.lastIndexOf('\n') + 1);  // a line cut by the kill was not said
        for (const QByteArray& line : output.split('\n')) {
            if (line.isEmpty())
                continue;
            QVERIFY2(line.toLongLong() > lastReported, line.constData());
            reported.insert(lastReported = line.toLongLong());
        }

        MessageStore store;
        const StoreOpenResult opened = store.open(f.path);
        QVERIFY2(opened.ok(), qPrintable(opened.detail));
        Recordset check = mustRun(store, QStringLiteral("PRAGMA integrity_check"));
        check.moveFirst();
        QCOMPARE(check.rowCount() == 1 ? check.text(0) : QString(), QStringLiteral("ok"));
        QSet<qint64> stored;
        for (const QStringList& r : table(store)) {
            stored.insert(r.at(0).toLongLong());
            QVERIFY2(r.at(1).startsWith("Écriture ") && r.at(2).size() == kWriterTextSize &&
                         r.at(8) == QLatin1String("31/12/2026 09:00"),
                     qPrintable(r.at(1)));  // every row whole
        }
        const QSet<qint64> lost = reported - stored;
        QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("%1 reported ids are missing").arg(lost.size())));
    }
    QVERIFY(reported.size() >= 196);
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kWriterArgument) == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    tst_MessageStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagestore.moc"
