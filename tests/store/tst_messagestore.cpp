// The message file: every statement the program sends, the text rules around them, and the file's safety
// when it is not ours or when a writer dies.
#include <sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
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

const QStringList kColumns = {"id",   "titre",       "message",           "datemessage",     "heuremessage",
                              "etat", "periodicite", "prochainaffichage", "dernieraffichage"};
const QString kEditorInsert = QStringLiteral(
    "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
    "dernieraffichage) VALUES (");

using Rows = QList<QStringList>;

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
        QStringList row;
        for (const QString& column : kColumns)
            row << rs.text(column);
        rows << row;
    }
    return rows;
}

Rows table(MessageStore& store) {
    return select(store, QStringLiteral("SELECT * FROM message ORDER BY id ASC"));
}

QStringList titles(const Rows& rows) {
    QStringList out;
    for (const QStringList& row : rows)
        out << row.at(1);
    return out;
}

// An editor insert of a once-only message with this title and state.
QString editorInsert(const QString& title, const QString& etat = QStringLiteral("actif")) {
    return kEditorInsert +
           QStringLiteral("'%1','x','05/06/2026','09:00','%2','0','05/06/2026 09:00','')").arg(title, etat);
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An empty message file in its own temporary program folder, opened.
struct StoreFile {
    StoreFile() {
        path = MessageStore::pathIn(dir.path());
        QString error;
        ready = dir.isValid() && MessageStore::createEmpty(path, &error) && store.open(path).ok();
        if (!ready)
            QTest::qFail(qPrintable(QStringLiteral("cannot make %1: %2").arg(path, error)), __FILE__, __LINE__);
    }
    QTemporaryDir dir;
    QString path;
    MessageStore store;
    bool ready = false;
};

// Three messages as the editor writes them: once, weekly with an end, and at every start (a lone blank as
// next display, which reads back empty).
void addThreeMessages(MessageStore& store) {
    mustRun(store, kEditorInsert + QStringLiteral("'Dentiste','Appeler le cabinet','05/06/2026','09:00','actif','0',"
                                                  "'05/06/2026 09:00','')"));
    mustRun(store, kEditorInsert + QStringLiteral("'Piscine','Sac de sport','06/06/2026','18:30','actif','3',"
                                                  "'06/06/2026 18:30','27/06/2026 18:30')"));
    mustRun(store, kEditorInsert + QStringLiteral("'Bonjour','Au démarrage','','','actif','9',' ','')"));
}

const QStringList kDentiste = {
    "1", "Dentiste", "Appeler le cabinet", "05/06/2026", "09:00", "actif", "0", "05/06/2026 09:00", ""};
const QStringList kPiscine = {"2",     "Piscine", "Sac de sport",     "06/06/2026",      "18:30",
                              "actif", "3",       "06/06/2026 18:30", "27/06/2026 18:30"};
const QStringList kBonjour = {"3", "Bonjour", "Au démarrage", "", "", "actif", "9", "", ""};

QStringList with(QStringList row, int column, const QString& value) {
    row[column] = value;
    return row;
}

// The child's side of killedWriterLosesNothingItReported: insert, and say each id once the store has it.
int runWriter(const QString& path) {
    MessageStore store;
    if (!store.open(path).ok())
        return 3;
    for (int i = 1;; ++i) {
        if (!store
                 .run(kEditorInsert + QStringLiteral("'Écriture %1','%2','05/06/2026','09:00','actif','2',"
                                                     "'05/06/2026 09:00','31/12/2026 09:00')")
                                          .arg(i)
                                          .arg(QString(kWriterTextSize, QLatin1Char('x'))))
                 .ok())
            return 4;
        Recordset last = store.run(QStringLiteral("SELECT max(id) AS id FROM message"));
        if (!last.ok())
            return 5;
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
    void readAndUpdateStatements();
    void deleteAndValueOnlyInserts();
    void reportsSortTitlesInFrenchOrder();
    void dialectWordsAndSemicolonsInsideTextsAreKept();
    void quoteRule_data();
    void quoteRule();
    void fieldToTextRule();
    void idsAreNeverReused();
    void titleOfMoreThan30CharactersIsRefused();
    void twoStatementsInOneTextAreRefused_data();
    void twoStatementsInOneTextAreRefused();
    void openFaultsLeaveTheFileUntouched_data();
    void openFaultsLeaveTheFileUntouched();
    void killedWriterLosesNothingItReported();
};

void tst_MessageStore::createEmptyNeverOverwrites() {
    QCOMPARE(MessageStore::pathIn(QStringLiteral("/opt/tavanote/")), QStringLiteral("/opt/tavanote/messages.fdm"));
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    QVERIFY(writeFile(path, "Mes notes, à ne pas perdre\n"));
    const QByteArray before = fileHash(path);
    QString error;
    QVERIFY(!MessageStore::createEmpty(path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileHash(path), before);

    // A new file is empty and opens; once it holds messages it keeps them.
    StoreFile f;
    QVERIFY(f.ready);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"messages.fdm"});
    QCOMPARE(table(f.store), Rows());
    addThreeMessages(f.store);
    f.store.close();
    const QByteArray filled = fileHash(f.path);
    QVERIFY(!MessageStore::createEmpty(f.path, &error));
    QCOMPARE(fileHash(f.path), filled);
    QVERIFY(f.store.open(f.path).ok());
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
}

void tst_MessageStore::readAndUpdateStatements() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, kEditorInsert + QStringLiteral("'Arrosage','x','','','errone','9',' ','')"));
    const QStringList arrosage = {"4", "Arrosage", "x", "", "", "errone", "9", "", ""};
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message ORDER BY id DESC")),
             (Rows{arrosage, kBonjour, kPiscine, kDentiste}));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE id = 2")), Rows{kPiscine});
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE id = 7")), Rows());
    // The start-up messages: code 9 whatever the state, in id order.
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite LIKE '9' ORDER BY id")),
             (Rows{kBonjour, arrosage}));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 4"));

    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'affiche' WHERE id = 2"));
    mustRun(f.store, QStringLiteral("UPDATE message SET prochainaffichage = '13/06/2026 18:30' WHERE id = 2"));
    const QStringList moved = with(with(kPiscine, 5, "affiche"), 7, "13/06/2026 18:30");
    QCOMPARE(table(f.store), (Rows{kDentiste, moved, kBonjour}));
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = 2"));
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'errone' WHERE id = 1"));
    QCOMPARE(table(f.store), (Rows{with(kDentiste, 5, "errone"), with(moved, 5, "actif"), kBonjour}));
    QCOMPARE(titles(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'actif' ORDER BY id"))),
             (QStringList{"Piscine", "Bonjour"}));

    // The editor's modify rewrites the whole message.
    mustRun(f.store, QStringLiteral("UPDATE message SET titre = 'L''anniversaire',message = 'Gâteau\r\nBougies',"
                                    "datemessage = '08/06/2026',heuremessage = '07:45',etat = 'actif',"
                                    "periodicite = '0',prochainaffichage = '08/06/2026 07:45',"
                                    "dernieraffichage = '' WHERE id = 1"));
    const QStringList once = {
        "1", "L'anniversaire", "Gâteau\r\nBougies", "08/06/2026", "07:45", "actif", "0", "08/06/2026 07:45", ""};
    QCOMPARE(table(f.store), (Rows{once, with(moved, 5, "actif"), kBonjour}));
}

void tst_MessageStore::deleteAndValueOnlyInserts() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 1"));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 1"));  // gone already: nothing happens
    QCOMPARE(table(f.store), (Rows{kPiscine, kBonjour}));

    // The recovery insert gives periodicity 0 as a number; it reads back, and compares, as the text "0".
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('L''heure','x','05/06/2026','09:00','actif',0,"
                                    "'05/06/2026 09:00','')"));
    const QStringList recovered = {"4", "L'heure", "x", "05/06/2026", "09:00", "actif", "0", "05/06/2026 09:00", ""};
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite = '0'")), Rows{recovered});
    // The import insert: eight values in table order.
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('Réunion','Salle 2','05/12/2026','14:00','errone',"
                                    "'2','05/12/2026 14:00','31/12/2026 14:00')"));
    const QStringList reunion = {"5",      "Réunion", "Salle 2",          "05/12/2026",      "14:00",
                                 "errone", "2",       "05/12/2026 14:00", "31/12/2026 14:00"};
    QCOMPARE(table(f.store), (Rows{kPiscine, kBonjour, recovered, reunion}));
}

void tst_MessageStore::reportsSortTitlesInFrenchOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    for (const QString& title : {"Zèbre", "fête", "Étude", "école", "abricot", "Ecole"})
        mustRun(f.store, editorInsert(title));
    for (const QString& title : {"Été", "Bilan", "émail"})
        mustRun(f.store, editorInsert(title, QStringLiteral("errone")));
    for (const QString& title : {"Œuf", "orange"})
        mustRun(f.store, editorInsert(title, QStringLiteral("affiche")));
    const auto sortedTitles = [&](const char* etat) {
        return titles(
            select(f.store,
                   QStringLiteral("SELECT * FROM message WHERE etat = '%1' ORDER BY titre").arg(QLatin1String(etat))));
    };
    QCOMPARE(sortedTitles("actif"), (QStringList{"abricot", "Ecole", "école", "Étude", "fête", "Zèbre"}));
    QCOMPARE(sortedTitles("errone"), (QStringList{"Bilan", "émail", "Été"}));
    QCOMPARE(sortedTitles("affiche"), (QStringList{"orange", "Œuf"}));
}

void tst_MessageStore::dialectWordsAndSemicolonsInsideTextsAreKept() {
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('DELETE * FROM message','Trier ORDER BY titre',"
                                    "'05/06/2026','09:00','actif',0,'05/06/2026 09:00','')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'Réunion; salle 2','Apporter: café; sucre','05/06/2026','09:00',"
                                                    "'actif','0','05/06/2026 09:00','')"));
    const Rows rows = table(f.store);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).mid(1, 2), (QStringList{"DELETE * FROM message", "Trier ORDER BY titre"}));
    QCOMPARE(rows.at(1).mid(1, 2), (QStringList{"Réunion; salle 2", "Apporter: café; sucre"}));
}

void tst_MessageStore::quoteRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("quoted");
    const auto row = [](const char* tag, const QString& typed, const QString& quoted) {
        QTest::newRow(tag) << typed << quoted;
    };
    row("apostrophes, blanks around", QStringLiteral("  L'heure d'été  "), QStringLiteral("L''heure d''été"));
    row("only apostrophes", QStringLiteral("''"), QStringLiteral("''''"));
    row("blanks only", QStringLiteral("     "), QString());
    row("null", QString(), QString());
    row("line break and blanks inside", QStringLiteral("Salle  2\r\nici"), QStringLiteral("Salle  2\r\nici"));
}

// The rule on its own, then its text stored and read back as typed (trimmed).
void tst_MessageStore::quoteRule() {
    QFETCH(QString, typed);
    QFETCH(QString, quoted);
    QCOMPARE(quoteText(typed), quoted);
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, editorInsert(quoteText(typed)));
    QCOMPARE(table(f.store).at(0).at(1), quoted.replace(QStringLiteral("''"), QStringLiteral("'")));
    QCOMPARE(
        mustRun(f.store, QStringLiteral("SELECT * FROM message WHERE titre = '%1'").arg(quoteText(typed))).rowCount(),
        1);
}

void tst_MessageStore::fieldToTextRule() {
    QCOMPARE(fieldText(QVariant()), QString());
    QCOMPARE(fieldText(QVariant(QMetaType::fromType<QString>())), QString());
    QCOMPARE(fieldText(QVariant(QStringLiteral(" Ligne 1\r\nLigne 2 "))), QStringLiteral("Ligne 1\r\nLigne 2"));
    QCOMPARE(fieldText(QVariant(qint64(42))), QStringLiteral("42"));

    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, kEditorInsert + QStringLiteral("'  Marge  ',NULL,NULL,'  09:00 ','actif ',NULL,' ',NULL)"));
    QCOMPARE(table(f.store), Rows{QStringList({"1", "Marge", "", "", "09:00", "actif", "", "", ""})});
    Recordset rs = mustRun(f.store, QStringLiteral("SELECT * FROM message"));
    rs.moveFirst();
    QVERIFY(rs.value(QStringLiteral("message")).isNull());
    // A column the statement did not give, or a position out of range, reads empty; so does any field past the end.
    QCOMPARE(rs.text(QStringLiteral("couleur")), QString());
    QCOMPARE(rs.columnIndex(QStringLiteral("couleur")), -1);
    QCOMPARE(rs.text(rs.columnIndex(QStringLiteral("titre"))), QStringLiteral("Marge"));
    QCOMPARE(rs.text(99), QString());
    rs.moveNext();
    QVERIFY(rs.isEOF());
    QCOMPARE(rs.text(QStringLiteral("titre")), QString());
}

void tst_MessageStore::idsAreNeverReused() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 3"));
    mustRun(f.store, editorInsert(QStringLiteral("Suivant")));
    QCOMPARE(table(f.store).at(2).at(0), QStringLiteral("4"));
    // Nor after the table was emptied and the file reopened.
    for (const char* id : {"4", "2", "1"})
        mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = %1").arg(QLatin1String(id)));
    QCOMPARE(table(f.store), Rows());
    f.store.close();
    QVERIFY(f.store.open(f.path).ok());
    mustRun(f.store, editorInsert(QStringLiteral("Encore")));
    QCOMPARE(table(f.store).at(0).at(0), QStringLiteral("5"));
}

void tst_MessageStore::titleOfMoreThan30CharactersIsRefused() {
    StoreFile f;
    QVERIFY(f.ready);
    const QString thirty = QStringLiteral("Réunion du conseil municipal!1");
    QCOMPARE(thirty.size(), 30);
    mustRun(f.store, editorInsert(thirty));
    mustRun(f.store, editorInsert(QString(30, QChar(0xE9))));  // 30 characters, 60 bytes
    const Rows before = table(f.store);
    QCOMPARE(titles(before), (QStringList{thirty, QString(30, QChar(0xE9))}));
    const QString a31 = QString(31, 'a');
    for (const QString& sql : {editorInsert(thirty + QLatin1Char('2')), editorInsert(QString(31, QChar(0xE9))),
                               QStringLiteral("INSERT INTO message VALUES ('%1','x','05/06/2026','09:00','actif',0,"
                                              "'05/06/2026 09:00','')")
                                   .arg(a31),
                               QStringLiteral("UPDATE message SET titre = '%1' WHERE id = 1").arg(a31)}) {
        const Recordset rs = f.store.run(sql);
        QVERIFY2(!rs.ok(), qPrintable(sql));
        QVERIFY(!rs.error().isEmpty());
    }
    QCOMPARE(table(f.store), before);
}

void tst_MessageStore::twoStatementsInOneTextAreRefused_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("update then delete") << "UPDATE message SET etat = 'errone' WHERE id = 1; DELETE FROM message";
    QTest::newRow("delete then delete") << "DELETE * FROM message WHERE id = 1;DELETE * FROM message WHERE id = 2";
    QTest::newRow("insert then drop") << "INSERT INTO message VALUES ('a','b','05/06/2026','09:00','actif',0,"
                                         "'05/06/2026 09:00',''); DROP TABLE message";
    QTest::newRow("after a quoted semicolon") << "UPDATE message SET titre = 'a;b' WHERE id = 1;"
                                                 "UPDATE message SET etat = 'errone'";
}

void tst_MessageStore::twoStatementsInOneTextAreRefused() {
    QFETCH(QString, sql);
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    const Recordset rs = f.store.run(sql);
    QVERIFY(!rs.ok());
    QVERIFY(!rs.error().isEmpty());
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
        QVERIFY(writeFile(path, QByteArray("titre;message;datemessage;heuremessage;etat;periodicite\n").repeated(200)));
    } else if (fixture == QLatin1String("other table")) {
        QVERIFY(makeForeignDatabase(path, "CREATE TABLE contacts (nom TEXT); INSERT INTO contacts VALUES ('Léa');"));
    } else if (fixture == QLatin1String("other columns")) {
        QVERIFY(makeForeignDatabase(path,
                                    "CREATE TABLE message (id INTEGER PRIMARY KEY, texte TEXT);"
                                    "INSERT INTO message (texte) VALUES ('bonjour');"));
    } else if (fixture == QLatin1String("empty")) {
        QVERIFY(writeFile(path, QByteArray()));
    } else if (fixture == QLatin1String("corrupted")) {
        QVERIFY(MessageStore::createEmpty(path, nullptr));
        {
            MessageStore store;
            QVERIFY(store.open(path).ok());
            mustRun(store, kEditorInsert.chopped(8) +
                               QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                              "WHERE i < 3000) SELECT 'Message ' || i, printf('%.300c', 'x'), "
                                              "'05/06/2026', '09:00', 'actif', '2', '', '' FROM n"));
        }
        // 512 bytes of a page in the middle of the file, from its header on.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 100 * 4096);
        QVERIFY(file.seek((file.size() / 2) / 4096 * 4096));
        QCOMPARE(file.write(QByteArray(512, char(0xA5))), qint64(512));
    }
    const bool existed = QFileInfo::exists(path);
    const QByteArray before = fileHash(path);
    const QStringList folderBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    MessageStore store;
    const StoreOpenResult result = store.open(path);
    QVERIFY2(faults.contains(int(result.fault)),
             qPrintable(QStringLiteral("fault %1 (%2)").arg(int(result.fault)).arg(result.detail)));
    QVERIFY(!store.isOpen());
    QVERIFY(!store.run(QStringLiteral("SELECT * FROM message")).ok());
    store.close();
    QCOMPARE(QFileInfo::exists(path), existed);
    QCOMPARE(fileHash(path), before);
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
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
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
            const qint64 id = line.toLongLong();
            QVERIFY2(id > lastReported, line.constData());
            reported.insert(lastReported = id);
        }

        MessageStore store;
        const StoreOpenResult opened = store.open(f.path);
        QVERIFY2(opened.ok(), qPrintable(opened.detail));
        Recordset check = mustRun(store, QStringLiteral("PRAGMA integrity_check"));
        QCOMPARE(check.rowCount(), 1);
        check.moveFirst();
        QCOMPARE(check.text(0), QStringLiteral("ok"));
        QSet<qint64> stored;
        for (const QStringList& row : table(store)) {
            stored.insert(row.at(0).toLongLong());
            QVERIFY2(row.at(1).startsWith(QStringLiteral("Écriture ")), qPrintable(row.at(1)));  // every row whole
            QCOMPARE(row.at(2).size(), kWriterTextSize);
            QCOMPARE(row.at(8), QStringLiteral("31/12/2026 09:00"));
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
