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

// Started with this argument and a file path, the test program becomes a writer that never stops on its own.
const char* const kWriterArgument = "--writer";
// Each row the writer adds spans several pages, so that a kill often lands in the middle of writing one.
const int kWriterTextSize = 40000;

const QStringList kColumns = {QStringLiteral("id"),
                              QStringLiteral("titre"),
                              QStringLiteral("message"),
                              QStringLiteral("datemessage"),
                              QStringLiteral("heuremessage"),
                              QStringLiteral("etat"),
                              QStringLiteral("periodicite"),
                              QStringLiteral("prochainaffichage"),
                              QStringLiteral("dernieraffichage")};

const QString kEditorInsert = QStringLiteral(
    "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
    "dernieraffichage) VALUES (");

using Rows = QList<QStringList>;

// Runs a statement that must succeed; a failure fails the running test with the statement and the store's words.
Recordset mustRun(MessageStore& store, const QString& sql) {
    Recordset rs = store.run(sql);
    if (!rs.ok())
        QTest::qFail(qPrintable(sql + QStringLiteral("\n-> ") + rs.error()), __FILE__, __LINE__);
    return rs;
}

// The rows as the program walks them: from the first to the end, each field through the field-to-text rule.
Rows rowsOf(Recordset rs) {
    Rows rows;
    if (rs.isBOF() && rs.isEOF())
        return rows;
    rs.moveFirst();
    while (!rs.isEOF()) {
        QStringList row;
        for (const QString& column : kColumns)
            row << rs.text(column);
        rows << row;
        rs.moveNext();
    }
    return rows;
}

Rows select(MessageStore& store, const QString& sql) {
    return rowsOf(mustRun(store, sql));
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

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A message file made empty in its own temporary program folder, and opened.
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

// Three messages as the editor writes them: once, weekly with an end, and at every start.
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
    const StoreOpenResult opened = store.open(path);
    if (!opened.ok()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(opened.detail));
        return 3;
    }
    for (int i = 1; i <= 1000000; ++i) {
        const QString title = QStringLiteral("Écriture %1").arg(i);
        const Recordset inserted =
            store.run(kEditorInsert + QStringLiteral("'%1','%2','05/06/2026','09:00','actif','2',"
                                                     "'05/06/2026 09:00','31/12/2026 09:00')")
                                          .arg(title, QString(kWriterTextSize, QLatin1Char('x'))));
        if (!inserted.ok()) {
            std::fprintf(stderr, "insert: %s\n", qPrintable(inserted.error()));
            return 4;
        }
        Recordset last = store.run(QStringLiteral("SELECT max(id) AS id FROM message"));
        if (!last.ok()) {
            std::fprintf(stderr, "select: %s\n", qPrintable(last.error()));
            return 5;
        }
        last.moveFirst();
        std::printf("%s\n", qPrintable(last.text(QStringLiteral("id"))));
        std::fflush(stdout);
    }
    return 0;
}

// An SQLite file made without the program, for the files that are not message files.
bool makeForeignDatabase(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class tst_MessageStore : public QObject {
    Q_OBJECT

private slots:
    void createdFileIsEmptyAndOpens();
    void createEmptyRefusesAnExistingFile();
    void pathIsTheSameWithOrWithoutTrailingSeparator();

    void editorInsertStoresTheEightFields();
    void readStatementsGiveTheirRows();
    void startupMessagesAreTheCodeNineRowsInIdOrder();
    void updateStatementsChangeOnlyTheirRowAndColumn();
    void modifyRewritesTheWholeMessage();
    void deleteStarRemovesOnlyThatRow();
    void recoveryInsertReadsBackPeriodicityAsText();
    void importInsertFillsTheColumnsInTableOrder();
    void reportsSortTitlesInFrenchOrder();
    void wordsOfTheDialectInsideTextsAreKeptAsTyped();

    void quoteRule_data();
    void quoteRule();
    void quotedTextsAreStoredAsTyped();
    void fieldToTextRule();

    void idsAreNeverReused();
    void titleOfMoreThan30CharactersIsRefused();
    void twoStatementsInOneTextAreRefused_data();
    void twoStatementsInOneTextAreRefused();
    void semicolonInsideATextIsOneStatement();

    void openFaultsLeaveTheFileUntouched_data();
    void openFaultsLeaveTheFileUntouched();
    void killedWriterLosesNothingItReported();
};

void tst_MessageStore::createdFileIsEmptyAndOpens() {
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    QString error;
    QVERIFY2(MessageStore::createEmpty(path, &error), qPrintable(error));
    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("messages.fdm")});
    MessageStore store;
    QVERIFY(store.open(path).ok());
    QVERIFY(store.isOpen());
    QCOMPARE(table(store), Rows());
}

void tst_MessageStore::createEmptyRefusesAnExistingFile() {
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    QVERIFY(writeFile(path, "Mes notes, à ne pas perdre\n"));
    const QByteArray before = fileHash(path);
    QString error;
    QVERIFY(!MessageStore::createEmpty(path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileHash(path), before);

    // A message file already holding messages keeps them.
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    f.store.close();
    const QByteArray filled = fileHash(f.path);
    error.clear();
    QVERIFY(!MessageStore::createEmpty(f.path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileHash(f.path), filled);
    QVERIFY(f.store.open(f.path).ok());
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
}

void tst_MessageStore::pathIsTheSameWithOrWithoutTrailingSeparator() {
    QCOMPARE(MessageStore::pathIn(QStringLiteral("/opt/tavanote")), QStringLiteral("/opt/tavanote/messages.fdm"));
    QCOMPARE(MessageStore::pathIn(QStringLiteral("/opt/tavanote/")), QStringLiteral("/opt/tavanote/messages.fdm"));
    QCOMPARE(MessageStore::pathIn(QStringLiteral("/home/léa/Mes programmes/Tavanote")),
             MessageStore::pathIn(QStringLiteral("/home/léa/Mes programmes/Tavanote/")));
}

void tst_MessageStore::editorInsertStoresTheEightFields() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    // A message of periodicity 9 has a lone blank as its next display, which reads back empty.
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
}

void tst_MessageStore::readStatementsGiveTheirRows() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'errone' WHERE id = 1"));
    const QStringList dentiste = with(kDentiste, 5, QStringLiteral("errone"));

    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message ORDER BY id ASC")),
             (Rows{dentiste, kPiscine, kBonjour}));
    // The editor finds the row it has just added first in this order.
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message ORDER BY id DESC")),
             (Rows{kBonjour, kPiscine, dentiste}));
    const QStringList active = titles(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'actif'")));
    QCOMPARE(QSet<QString>(active.begin(), active.end()),
             (QSet<QString>{QStringLiteral("Piscine"), QStringLiteral("Bonjour")}));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE id = 2")), Rows{kPiscine});
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE id = 7")), Rows());
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message")).size(), 3);
}

void tst_MessageStore::startupMessagesAreTheCodeNineRowsInIdOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, kEditorInsert + QStringLiteral("'Café','x','','','affiche','9',' ','')"));
    mustRun(f.store,
            kEditorInsert + QStringLiteral("'Agenda','x','05/06/2026','09:00','actif','0','05/06/2026 09:00','')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'Arrosage','x','','','errone','9',' ','')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'Courrier','x','05/06/2026','09:00','actif','8',"
                                                    "'05/06/2026 09:00','05/06/2030 09:00')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'Bureau','x','','','actif','9',' ','')"));

    const Rows rows = select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite LIKE '9' ORDER BY id"));
    QCOMPARE(titles(rows), (QStringList{"Café", "Arrosage", "Bureau"}));
    QCOMPARE(rows.at(0).at(0), QStringLiteral("1"));
    QCOMPARE(rows.at(1).at(0), QStringLiteral("3"));
    QCOMPARE(rows.at(2).at(0), QStringLiteral("5"));
}

void tst_MessageStore::updateStatementsChangeOnlyTheirRowAndColumn() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);

    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'affiche' WHERE id = 2"));
    QCOMPARE(table(f.store), (Rows{kDentiste, with(kPiscine, 5, "affiche"), kBonjour}));

    mustRun(f.store, QStringLiteral("UPDATE message SET prochainaffichage = '13/06/2026 18:30' WHERE id = 2"));
    const QStringList moved = with(with(kPiscine, 5, "affiche"), 7, "13/06/2026 18:30");
    QCOMPARE(table(f.store), (Rows{kDentiste, moved, kBonjour}));

    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'actif' WHERE id = 2"));
    QCOMPARE(table(f.store), (Rows{kDentiste, with(moved, 5, "actif"), kBonjour}));

    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'errone' WHERE id = 1"));
    QCOMPARE(table(f.store), (Rows{with(kDentiste, 5, "errone"), with(moved, 5, "actif"), kBonjour}));
}

void tst_MessageStore::modifyRewritesTheWholeMessage() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("UPDATE message SET etat = 'errone' WHERE id = 2"));

    // With an end date, and the state back to actif.
    mustRun(f.store, QStringLiteral("UPDATE message SET titre = 'Piscine municipale',message = 'Sac de sport\r\n"
                                    "Bonnet',datemessage = '07/06/2026',heuremessage = '19:00',etat = 'actif',"
                                    "periodicite = '2',prochainaffichage = '07/06/2026 19:00',"
                                    "dernieraffichage = '30/06/2026 19:00' WHERE id = 2"));
    const QStringList daily = {"2", "Piscine municipale", "Sac de sport\r\nBonnet", "07/06/2026", "19:00", "actif",
                               "2", "07/06/2026 19:00",   "30/06/2026 19:00"};
    QCOMPARE(table(f.store), (Rows{kDentiste, daily, kBonjour}));

    // Once, without an end date.
    mustRun(f.store, QStringLiteral("UPDATE message SET titre = 'L''anniversaire',message = 'Gâteau',"
                                    "datemessage = '08/06/2026',heuremessage = '07:45',etat = 'actif',"
                                    "periodicite = '0',prochainaffichage = '08/06/2026 07:45',"
                                    "dernieraffichage = '' WHERE id = 2"));
    const QStringList once = {"2", "L'anniversaire",   "Gâteau", "08/06/2026", "07:45", "actif",
                              "0", "08/06/2026 07:45", ""};
    QCOMPARE(table(f.store), (Rows{kDentiste, once, kBonjour}));
}

void tst_MessageStore::deleteStarRemovesOnlyThatRow() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 3"));
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine}));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 1"));
    QCOMPARE(table(f.store), Rows{kPiscine});
    // A row that is not there any more: nothing happens.
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 1"));
    QCOMPARE(table(f.store), Rows{kPiscine});
}

void tst_MessageStore::recoveryInsertReadsBackPeriodicityAsText() {
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('L''heure','x','05/06/2026','09:00','actif',0,"
                                    "'05/06/2026 09:00','')"));
    const QStringList recovered = {"1", "L'heure", "x", "05/06/2026", "09:00", "actif", "0", "05/06/2026 09:00", ""};
    QCOMPARE(table(f.store), Rows{recovered});
    // The code is the text "0", as the editor writes it: text comparisons find it.
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite = '0'")), Rows{recovered});
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite LIKE '0'")), Rows{recovered});
    Recordset rs = mustRun(f.store, QStringLiteral("SELECT * FROM message WHERE id = 1"));
    rs.moveFirst();
    QCOMPARE(rs.value(QStringLiteral("periodicite")).toString(), QStringLiteral("0"));
    QCOMPARE(rs.value(QStringLiteral("periodicite")).metaType(), QMetaType::fromType<QString>());
}

void tst_MessageStore::importInsertFillsTheColumnsInTableOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('Réunion','Salle 2','05/12/2026','14:00','actif',2,"
                                    "'05/12/2026 14:00','31/12/2026 14:00')"));
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('Vieux rappel','Classé','01/01/2026','08:00',"
                                    "'errone','0','01/01/2026 08:00','')"));
    const QStringList reunion = {"4",     "Réunion", "Salle 2",          "05/12/2026",      "14:00",
                                 "actif", "2",       "05/12/2026 14:00", "31/12/2026 14:00"};
    const QStringList vieux = {"5", "Vieux rappel",     "Classé", "01/01/2026", "08:00", "errone",
                               "0", "01/01/2026 08:00", ""};
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour, reunion, vieux}));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message WHERE periodicite = '2'")), Rows{reunion});
}

void tst_MessageStore::reportsSortTitlesInFrenchOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    const QStringList scrambled = {"Zèbre", "fête", "Étude", "école", "abricot", "Ecole"};
    for (const QString& title : scrambled) {
        mustRun(f.store, kEditorInsert + QStringLiteral("'%1','x','05/06/2026','09:00','actif','0',"
                                                        "'05/06/2026 09:00','')")
                                             .arg(title));
    }
    for (const QString& title : {QStringLiteral("Été"), QStringLiteral("Bilan"), QStringLiteral("émail")}) {
        mustRun(f.store, kEditorInsert + QStringLiteral("'%1','x','05/06/2026','09:00','errone','0',"
                                                        "'05/06/2026 09:00','')")
                                             .arg(title));
    }
    mustRun(f.store, kEditorInsert + QStringLiteral("'Œuf','x','','','affiche','9',' ','')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'orange','x','','','affiche','9',' ','')"));

    QCOMPARE(titles(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'actif' ORDER BY titre"))),
             (QStringList{"abricot", "Ecole", "école", "Étude", "fête", "Zèbre"}));
    QCOMPARE(titles(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'errone' ORDER BY titre"))),
             (QStringList{"Bilan", "émail", "Été"}));
    QCOMPARE(titles(select(f.store, QStringLiteral("SELECT * FROM message WHERE etat = 'affiche' ORDER BY titre"))),
             (QStringList{"orange", "Œuf"}));
}

void tst_MessageStore::wordsOfTheDialectInsideTextsAreKeptAsTyped() {
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('DELETE * FROM message','Trier ORDER BY titre',"
                                    "'05/06/2026','09:00','actif',0,'05/06/2026 09:00','')"));
    mustRun(f.store, kEditorInsert + QStringLiteral("'INSERT INTO message VALUES','order by titre desc',"
                                                    "'05/06/2026','09:00','actif','0','05/06/2026 09:00','')"));
    const Rows rows = table(f.store);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).at(1), QStringLiteral("DELETE * FROM message"));
    QCOMPARE(rows.at(0).at(2), QStringLiteral("Trier ORDER BY titre"));
    QCOMPARE(rows.at(1).at(1), QStringLiteral("INSERT INTO message VALUES"));
    QCOMPARE(rows.at(1).at(2), QStringLiteral("order by titre desc"));
}

void tst_MessageStore::quoteRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("apostrophe") << "L'heure"
                                << "L''heure";
    QTest::newRow("several apostrophes, blanks around") << "  L'heure d'été  "
                                                        << "L''heure d''été";
    QTest::newRow("only apostrophes") << "''"
                                      << "''''";
    QTest::newRow("blanks only") << "     "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("null") << QString() << "";
    QTest::newRow("line break inside") << "Ligne 1\r\nLigne 2"
                                       << "Ligne 1\r\nLigne 2";
    QTest::newRow("blanks inside") << "Salle  2"
                                   << "Salle  2";
}

void tst_MessageStore::quoteRule() {
    QFETCH(QString, typed);
    QFETCH(QString, quoted);
    QCOMPARE(quoteText(typed), quoted);
    QVERIFY(!quoteText(typed).isNull() || quoted.isEmpty());
}

void tst_MessageStore::quotedTextsAreStoredAsTyped() {
    StoreFile f;
    QVERIFY(f.ready);
    const QString title = QStringLiteral("  L'heure d'été  ");
    const QString text = QStringLiteral("C'est l'heure\r\nd'y aller");
    mustRun(f.store, kEditorInsert + QStringLiteral("'%1','%2','05/06/2026','09:00','actif','0','05/06/2026 09:00','')")
                                         .arg(quoteText(title), quoteText(text)));
    mustRun(f.store, kEditorInsert + QStringLiteral("'%1','%2','05/06/2026','09:00','actif','0','05/06/2026 09:00','')")
                                         .arg(quoteText(QStringLiteral("      ")), quoteText(QStringLiteral("x"))));
    const Rows rows = table(f.store);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).at(1), QStringLiteral("L'heure d'été"));
    QCOMPARE(rows.at(0).at(2), text);
    QCOMPARE(rows.at(1).at(1), QString());
    // The blanks-only title is stored empty, not as blanks that read back trimmed.
    Recordset rs = mustRun(f.store, QStringLiteral("SELECT * FROM message WHERE titre = ''"));
    QCOMPARE(rs.rowCount(), 1);
}

void tst_MessageStore::fieldToTextRule() {
    QCOMPARE(fieldText(QVariant()), QString());
    QCOMPARE(fieldText(QVariant(QMetaType::fromType<QString>())), QString());
    QCOMPARE(fieldText(QVariant(QStringLiteral("  09:00  "))), QStringLiteral("09:00"));
    QCOMPARE(fieldText(QVariant(qint64(42))), QStringLiteral("42"));
    QCOMPARE(fieldText(QVariant(QStringLiteral(" Ligne 1\r\nLigne 2 "))), QStringLiteral("Ligne 1\r\nLigne 2"));

    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, kEditorInsert + QStringLiteral("'  Marge  ',NULL,NULL,'  09:00 ','actif ',NULL,' ',NULL)"));
    Recordset rs = mustRun(f.store, QStringLiteral("SELECT * FROM message ORDER BY id ASC"));
    QVERIFY(!rs.isEOF());
    rs.moveFirst();
    QVERIFY(rs.value(QStringLiteral("message")).isNull());
    QCOMPARE(rs.text(QStringLiteral("titre")), QStringLiteral("Marge"));
    QCOMPARE(rs.text(QStringLiteral("message")), QString());
    QCOMPARE(rs.text(QStringLiteral("datemessage")), QString());
    QCOMPARE(rs.text(QStringLiteral("heuremessage")), QStringLiteral("09:00"));
    QCOMPARE(rs.text(QStringLiteral("etat")), QStringLiteral("actif"));
    QCOMPARE(rs.text(QStringLiteral("periodicite")), QString());
    QCOMPARE(rs.text(QStringLiteral("prochainaffichage")), QString());
    QCOMPARE(rs.text(QStringLiteral("dernieraffichage")), QString());
    QCOMPARE(rs.text(QStringLiteral("id")), QStringLiteral("1"));
    // A column the statement did not give reads as the empty text too.
    QCOMPARE(rs.text(QStringLiteral("couleur")), QString());
    // The same rule by position.
    QCOMPARE(rs.text(rs.columnIndex(QStringLiteral("titre"))), QStringLiteral("Marge"));
    QCOMPARE(rs.text(rs.columnIndex(QStringLiteral("message"))), QString());
    QCOMPARE(rs.columnIndex(QStringLiteral("couleur")), -1);
    QCOMPARE(rs.text(-1), QString());
    QCOMPARE(rs.text(99), QString());
    // Past the last row every field reads empty.
    rs.moveNext();
    QVERIFY(rs.isEOF());
    QCOMPARE(rs.text(QStringLiteral("titre")), QString());
}

void tst_MessageStore::idsAreNeverReused() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 3"));
    mustRun(f.store, QStringLiteral("INSERT INTO message VALUES ('Suivant','x','05/06/2026','09:00','actif',0,"
                                    "'05/06/2026 09:00','')"));
    QCOMPARE(select(f.store, QStringLiteral("SELECT * FROM message ORDER BY id DESC")).at(0).at(0),
             QStringLiteral("4"));

    // Nor after the table was emptied and the file reopened.
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 4"));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 2"));
    mustRun(f.store, QStringLiteral("DELETE * FROM message WHERE id = 1"));
    QCOMPARE(table(f.store), Rows());
    f.store.close();
    QVERIFY(f.store.open(f.path).ok());
    mustRun(f.store, kEditorInsert + QStringLiteral("'Encore','x','05/06/2026','09:00','actif','0',"
                                                    "'05/06/2026 09:00','')"));
    QCOMPARE(table(f.store).at(0).at(0), QStringLiteral("5"));
}

void tst_MessageStore::titleOfMoreThan30CharactersIsRefused() {
    StoreFile f;
    QVERIFY(f.ready);
    auto insertTitle = [&](const QString& title) {
        return f.store.run(kEditorInsert + QStringLiteral("'%1','x','05/06/2026','09:00','actif','0',"
                                                          "'05/06/2026 09:00','')")
                                               .arg(title));
    };
    const QString twentyNine = QStringLiteral("Réunion du conseil municipal!");
    QCOMPARE(twentyNine.size(), 29);
    QVERIFY(insertTitle(twentyNine + QLatin1Char('1')).ok());
    // Thirty accented letters are thirty characters, whatever their size on the disk.
    QVERIFY(insertTitle(QString(30, QChar(0xE9))).ok());
    QCOMPARE(table(f.store).size(), 2);

    const Rows before = table(f.store);
    for (const QString& title : {twentyNine + QStringLiteral("12"), QString(31, QChar(0xE9)), QString(31, 'a')}) {
        const Recordset rs = insertTitle(title);
        QVERIFY2(!rs.ok(), qPrintable(title));
        QVERIFY(!rs.error().isEmpty());
    }
    const Recordset recovery = f.store.run(
        QStringLiteral("INSERT INTO message VALUES ('%1','x','05/06/2026','09:00','actif',0,'05/06/2026 09:00','')")
            .arg(QString(31, 'b')));
    QVERIFY(!recovery.ok());
    QVERIFY(!recovery.error().isEmpty());
    const Recordset modify =
        f.store.run(QStringLiteral("UPDATE message SET titre = '%1' WHERE id = 1").arg(QString(31, 'c')));
    QVERIFY(!modify.ok());
    QVERIFY(!modify.error().isEmpty());
    QCOMPARE(table(f.store), before);
}

void tst_MessageStore::twoStatementsInOneTextAreRefused_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("update then delete") << "UPDATE message SET etat = 'errone' WHERE id = 1; DELETE FROM message";
    QTest::newRow("delete then delete") << "DELETE * FROM message WHERE id = 1;DELETE * FROM message WHERE id = 2";
    QTest::newRow("select then delete") << "SELECT * FROM message; DELETE FROM message";
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

void tst_MessageStore::semicolonInsideATextIsOneStatement() {
    StoreFile f;
    QVERIFY(f.ready);
    mustRun(f.store, kEditorInsert + QStringLiteral("'Réunion; salle 2','Apporter: café; sucre','05/06/2026','09:00',"
                                                    "'actif','0','05/06/2026 09:00','')"));
    const Rows rows = table(f.store);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).at(1), QStringLiteral("Réunion; salle 2"));
    QCOMPARE(rows.at(0).at(2), QStringLiteral("Apporter: café; sucre"));
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
        QByteArray text;
        for (int i = 0; i < 200; ++i)
            text += "titre;message;datemessage;heuremessage;etat;periodicite\n";
        QVERIFY(writeFile(path, text));
    } else if (fixture == QLatin1String("other table")) {
        QVERIFY(makeForeignDatabase(path,
                                    "CREATE TABLE contacts (nom TEXT, telephone TEXT);"
                                    "INSERT INTO contacts VALUES ('Léa', '0102030405');"));
    } else if (fixture == QLatin1String("other columns")) {
        QVERIFY(makeForeignDatabase(path,
                                    "CREATE TABLE message (id INTEGER PRIMARY KEY, texte TEXT);"
                                    "INSERT INTO message (texte) VALUES ('bonjour');"));
    } else if (fixture == QLatin1String("empty")) {
        QVERIFY(writeFile(path, QByteArray()));
    } else if (fixture == QLatin1String("corrupted")) {
        QString error;
        QVERIFY2(MessageStore::createEmpty(path, &error), qPrintable(error));
        {
            MessageStore store;
            QVERIFY(store.open(path).ok());
            // Many rows in one statement, so that the file spans many pages.
            mustRun(store,
                    QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,"
                                   "periodicite,prochainaffichage,dernieraffichage) "
                                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                   "SELECT 'Message ' || i, printf('%.300c', 'x'), '05/06/2026', '09:00', "
                                   "'actif', '2', '05/06/2026 09:00', '31/12/2026 09:00' FROM n"));
            QCOMPARE(table(store).size(), 3000);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 size = file.size();
        QVERIFY(size > 100 * 4096);
        // A page in the middle of the file, from its header on.
        QVERIFY(file.seek((size / 2) / 4096 * 4096));
        QCOMPARE(file.write(QByteArray(512, char(0xA5))), qint64(512));
        file.close();
    }
    const bool existed = QFileInfo::exists(path);
    const QByteArray before = fileHash(path);
    const QStringList folderBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    MessageStore store;
    const StoreOpenResult result = store.open(path);
    QVERIFY2(faults.contains(int(result.fault)),
             qPrintable(QStringLiteral("fault %1 (%2)").arg(int(result.fault)).arg(result.detail)));
    QVERIFY(!result.ok());
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
    const int wantedPerRound[] = {1, 7, 23, 40, 61, 3, 12, 30, 2, 17};
    for (const int wanted : wantedPerRound) {
        QProcess writer;
        writer.setProgram(QCoreApplication::applicationFilePath());
        writer.setArguments({QLatin1String(kWriterArgument), f.path});
        writer.start();
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

        // Only whole lines: a line cut by the kill was not said.
        output.truncate(output.lastIndexOf('\n') + 1);
        for (const QByteArray& line : output.split('\n')) {
            if (line.isEmpty())
                continue;
            bool isNumber = false;
            const qint64 id = line.toLongLong(&isNumber);
            QVERIFY2(isNumber, line.constData());
            QVERIFY2(id > lastReported, line.constData());
            lastReported = id;
            reported.insert(id);
        }

        MessageStore store;
        const StoreOpenResult opened = store.open(f.path);
        QVERIFY2(opened.ok(), qPrintable(opened.detail));
        Recordset check = mustRun(store, QStringLiteral("PRAGMA integrity_check"));
        QCOMPARE(check.rowCount(), 1);
        check.moveFirst();
        QCOMPARE(check.text(0), QStringLiteral("ok"));

        const Rows rows = table(store);
        QSet<qint64> stored;
        for (const QStringList& row : rows) {
            stored.insert(row.at(0).toLongLong());
            // Every row is whole.
            QVERIFY2(row.at(1).startsWith(QStringLiteral("Écriture ")), qPrintable(row.at(1)));
            QCOMPARE(row.at(2), QString(kWriterTextSize, QLatin1Char('x')));
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
