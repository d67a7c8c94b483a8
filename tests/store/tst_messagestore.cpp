// The message file: every operation the program asks of it, the text rules around them, and the file's safety
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
#include <memory>

#include "common/TextRules.h"
#include "store/MessageStore.h"
#include "support/SqlProbe.h"

using namespace tavanote;

namespace {

// With this argument and a file path, the test program becomes a writer that never stops on its own.
const char* const kWriterArgument = "--writer";
const int kWriterTextSize = 40000;  // several pages a row, so that a kill often lands mid-row

using Rows = QList<QStringList>;

// A row written "id|titre|...|dernieraffichage".
QStringList row(const char* fields) {
    return QString::fromUtf8(fields).split(QLatin1Char('|'));
}
QStringList with(QStringList fields, int column, const QString& value) {
    fields[column] = value;
    return fields;
}
Message message(const QStringList& f) {
    return {f[0].toLongLong(), f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]};
}
QStringList fields(const Message& m) {
    return {QString::number(m.id), m.titre,           m.message, m.datemessage, m.heuremessage, m.etat, m.periodicite,
            m.prochainaffichage,   m.dernieraffichage};
}
Rows rows(const std::optional<MessageList>& list) {
    if (!list)
        QTest::qFail("the read failed", __FILE__, __LINE__);
    Rows out;
    for (const Message& m : list.value_or(MessageList()))
        out << fields(m);
    return out;
}
Rows table(MessageStore& store) {
    return rows(store.all());
}
qint64 add(MessageStore& store, const QStringList& f) {
    const std::optional<qint64> id = store.insert(message(f));
    if (!id)
        QTest::qFail(qPrintable(store.lastError()), __FILE__, __LINE__);
    return id.value_or(0);
}
qint64 add(MessageStore& store, const QString& title, const char* etat = "actif") {
    return add(store, with(with(row("|x|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|"), 1, title), 5, etat));
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
    add(store, kDentiste);
    add(store, kPiscine);
    add(store, row("|Bonjour|Au démarrage|||actif|9| | "));
}
// The child's side of killedWriterLosesNothingItReported: insert, and say each id once the store has it (a
// failure says a repeated or empty id, which the test refuses).
int runWriter(const QString& path) {
    MessageStore store;
    if (!store.open(path).ok())
        return 3;
    const QString text(kWriterTextSize, QLatin1Char('x'));
    for (int i = 1;; ++i) {
        const QStringList f = row("|Écriture|x|05/06/2026|09:00|actif|2|05/06/2026 09:00|31/12/2026 09:00");
        const std::optional<qint64> id =
            store.insert(message(with(with(f, 1, QStringLiteral("Écriture %1").arg(i)), 2, text)));
        std::printf("%s\n", id ? qPrintable(QString::number(*id)) : "");
        std::fflush(stdout);
    }
}

// An SQLite file made without the program.
bool makeForeignDatabase(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace

class tst_MessageStore : public QObject {
    Q_OBJECT

private slots:
    void createEmptyNeverOverwrites();
    void operations();
    void listsInFrenchTitleOrder();
    void storedTexts_data();
    void storedTexts();
    void rowsWrittenByOthersAreReadTrimmed();
    void openFaultsLeaveTheFileUntouched_data();
    void openFaultsLeaveTheFileUntouched();
    void writeFailuresSayWhyInFrench_data();
    void writeFailuresSayWhyInFrench();
    void killedWriterLosesNothingItReported();
};

void tst_MessageStore::createEmptyNeverOverwrites() {
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    QVERIFY(writeFile(path, "Mes notes, à ne pas perdre\n"));
    QString error;
    QVERIFY(!MessageStore::createEmpty(path, &error) && !error.isEmpty());
    QCOMPARE(contents(path), QByteArray("Mes notes, à ne pas perdre\n"));

    // A new file is alone in its folder and empty.
    StoreFile f;
    QVERIFY(f.ready);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"messages.fdm"});
    QCOMPARE(table(f.store), Rows());
}

// Each operation, and the stored rows after it.
void tst_MessageStore::operations() {
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    QCOMPARE(add(f.store, row("|Arrosage|x|||errone|9| |")), qint64(4));
    const QStringList arrosage = row("4|Arrosage|x|||errone|9||");
    QCOMPARE(fields(*f.store.find(2)), kPiscine);
    QVERIFY(!f.store.find(9) && f.store.lastError().isEmpty());
    // The start-up messages: code 9 whatever the state, in id order.
    QCOMPARE(rows(f.store.startupMessages()), (Rows{kBonjour, arrosage}));

    QVERIFY(f.store.setState(2, kStateAffiche));
    QVERIFY(f.store.setNextDisplay(2, QStringLiteral("13/06/2026 18:30")));
    QStringList piscine = with(with(kPiscine, 5, "affiche"), 7, "13/06/2026 18:30");
    QCOMPARE(table(f.store), (Rows{kDentiste, piscine, kBonjour, arrosage}));
    QCOMPARE(rows(f.store.withState(kStateAffiche, MessageOrder::ById)), Rows{piscine});
    QVERIFY(f.store.setState(2, kStateActif) && f.store.setState(1, kStateErrone));
    piscine = with(piscine, 5, "actif");
    QCOMPARE(table(f.store), (Rows{with(kDentiste, 5, "errone"), piscine, kBonjour, arrosage}));
    QCOMPARE(rows(f.store.withState(kStateActif, MessageOrder::ById)), (Rows{piscine, kBonjour}));
    // Due: active, at one of the minutes asked for.
    QCOMPARE(rows(f.store.activeAt({"13/06/2026 18:30", "05/06/2026 09:00"})), Rows{piscine});
    QCOMPARE(rows(f.store.activeAt({})), Rows());

    // An update rewrites the whole message; one of a row that is gone says so.
    const QStringList modified = row("1|L'anniversaire|Gâteau\r\nBougies|08/06/2026|07:45|actif|0|08/06/2026 07:45|");
    QCOMPARE(f.store.update(message(modified)), StoreWrite::Done);
    QCOMPARE(f.store.update(message(with(modified, 0, "99"))), StoreWrite::Gone);
    QVERIFY(f.store.remove(4));
    QVERIFY(f.store.remove(4));  // gone already: nothing happens
    QCOMPARE(table(f.store), (Rows{modified, piscine, kBonjour}));

    // Many at once, numbered after the deleted last row, whose id is not given again.
    const QStringList recovered = row("5|L'heure|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|");
    const QStringList reunion = row("6|Réunion|Salle 2|05/12/2026|14:00|errone|2|05/12/2026 14:00|31/12/2026 14:00");
    QVERIFY(f.store.insertAll({message(recovered), message(reunion)}));
    QCOMPARE(table(f.store), (Rows{modified, piscine, kBonjour, recovered, reunion}));

    // Nor after the table was emptied and the file reopened.
    for (const qint64 id : {6, 5, 3, 2, 1})
        QVERIFY(f.store.remove(id));
    QCOMPARE(table(f.store), Rows());
    f.store.close();
    QVERIFY(f.store.open(f.path).ok());
    QCOMPARE(add(f.store, QStringLiteral("Encore")), qint64(7));
}

void tst_MessageStore::listsInFrenchTitleOrder() {
    StoreFile f;
    QVERIFY(f.ready);
    for (const QString& title :
         QStringList{"Zèbre", "Été", "fête", "Étude", "Bilan", "école", "abricot", "émail", "Ecole"})
        add(f.store, title);
    add(f.store, QStringLiteral("Œuf"), "affiche");
    add(f.store, QStringLiteral("orange"), "affiche");
    add(f.store, QStringLiteral("Ægide"), "affiche");
    const auto sorted = [&](const QString& etat) {
        return titles(rows(f.store.withState(etat, MessageOrder::ByTitle)));
    };
    QCOMPARE(sorted(kStateActif),
             (QStringList{"abricot", "Bilan", "Ecole", "école", "émail", "Été", "Étude", "fête", "Zèbre"}));
    QCOMPARE(sorted(kStateAffiche), (QStringList{"Ægide", "Œuf", "orange"}));
    QCOMPARE(sorted(kStateErrone), QStringList());
}

// A title is stored as given and read back trimmed of blanks: apostrophes, line breaks and SQL words are data.
// One over 30 characters is refused with its reason by every write, and a batch holding one is refused whole,
// inside a transaction too, which goes on.
void tst_MessageStore::storedTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");  // "refused": not written
    QTest::newRow("apostrophes, blanks around")
        << QStringLiteral("  L'heure d'été  ") << QStringLiteral("L'heure d'été");
    QTest::newRow("blanks only") << QStringLiteral("     ") << QString();
    QTest::newRow("null") << QString() << QString();
    QTest::newRow("line break and blanks inside")
        << QStringLiteral("Salle  2\r\nici") << QStringLiteral("Salle  2\r\nici");
    const QString words = QStringLiteral("x','y'); DELETE FROM message;");
    QTest::newRow("statement words, semicolon") << words << words;
    const QString thirty = QStringLiteral("Réunion du conseil municipal!1");
    QTest::newRow("30 characters") << thirty << thirty;
    QTest::newRow("31 characters") << QStringLiteral("Réunion du conseil municipal!12") << "refused";
}

void tst_MessageStore::storedTexts() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    if (stored == QLatin1String("refused")) {
        const QString reason = QStringLiteral("Le titre ne doit pas dépasser 30 caractères.");
        QVERIFY(!f.store.insert(message(with(kDentiste, 1, typed))));
        QCOMPARE(f.store.lastError(), reason);
        QCOMPARE(f.store.update(message(with(kDentiste, 1, typed))), StoreWrite::Failed);
        MessageStore::Transaction transaction(f.store);
        QVERIFY(!f.store.insertAll({message(kDentiste), message(with(kPiscine, 1, typed)), message(kBonjour)}));
        QCOMPARE(f.store.lastError(), reason);
        QVERIFY(f.store.setState(1, kStateErrone));
        QVERIFY(transaction.commit());
        QCOMPARE(table(f.store), (Rows{with(kDentiste, 5, "errone"), kPiscine, kBonjour}));
        QVERIFY(f.store.insertAll({}));
        return;
    }
    add(f.store, typed);
    QCOMPARE(titles(table(f.store)), (QStringList{"Dentiste", "Piscine", "Bonjour", stored}));
    test::SqlProbe probe(f.path);
    QCOMPARE(probe
                 .must(QStringLiteral("SELECT count(*) FROM message WHERE titre = '%1'")
                           .arg(QString(typed).replace("'", "''")))
                 .text(0),
             QStringLiteral("1"));  // stored as the text itself, never as Null
}

// Blanks around a field and Null are read as the text without them.
void tst_MessageStore::rowsWrittenByOthersAreReadTrimmed() {
    StoreFile f;
    QVERIFY(f.ready);
    test::SqlProbe(f.path).must(
        QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
                       "dernieraffichage) VALUES ('  Marge  ',NULL,NULL,'  09:00 ','actif ',0,' ',NULL)"));
    QCOMPARE(table(f.store), Rows{row("1|Marge|||09:00|actif|0||")});
}

// Each fault is told for what it is, naming the file, and the file and its folder stay as they were; a table
// written by another tool opens when its key numbers its rows, whatever rule of the table a row breaks.
void tst_MessageStore::openFaultsLeaveTheFileUntouched_data() {
    QTest::addColumn<QString>("fixture");  // SQL run on a new file, or how the file is made
    QTest::addColumn<QList<int>>("faults");
    QTest::addColumn<QString>("reason");  // part of the text the user reads
    auto row = [](const char* name, const QString& fixture, std::initializer_list<StoreFault> faults,
                  const QString& reason = {}) {
        QList<int> codes;
        for (const StoreFault fault : faults)
            codes << int(fault);
        QTest::newRow(name) << fixture << codes << reason;
    };
    const QString two = QStringLiteral(" INSERT INTO message (titre) VALUES ('a'), ('b');");
    row("missing", "missing", {StoreFault::Missing});
    row("text file", "text", {StoreFault::NotADatabase}, "n'est pas un fichier de messages");
    row("empty file", "empty", {StoreFault::EmptyFile}, "Le fichier est vide");
    row("database without message", "CREATE TABLE contacts (nom TEXT); INSERT INTO contacts VALUES ('Léa');",
        {StoreFault::NoTable}, "ne contient pas la table des messages");
    row("message table missing columns",
        "CREATE TABLE message (id INTEGER PRIMARY KEY, texte TEXT); INSERT INTO message (texte) VALUES ('bonjour');",
        {StoreFault::MissingColumns},
        "Il manque des colonnes à la table des messages: titre, message, datemessage, heuremessage, etat, "
        "periodicite, prochainaffichage, dernieraffichage.");
    // An overdue row without id would have deleted the row 0, one 5 the other 5.
    row("null and repeated ids",
        "CREATE TABLE message (id INTEGER, %1); INSERT INTO message (id) VALUES (NULL), (5), (5), (5), (6);",
        {StoreFault::BadKey}, "(messages sans numéro: 1, numéros en double: 2)");
    row("DESC key", "CREATE TABLE message (id INTEGER PRIMARY KEY DESC, %1);" + two, {StoreFault::BadKey},
        "(messages sans numéro: 2)");
    row("WITHOUT ROWID", "CREATE TABLE message (id INTEGER PRIMARY KEY, %1) WITHOUT ROWID;", {StoreFault::BadKey},
        "n'est pas une clé primaire entière qui numérote ses lignes");
    row("DESC in a table constraint", "CREATE TABLE message (id INTEGER, %1, PRIMARY KEY (id DESC));" + two,
        {StoreFault::None});
    row("title over 30 characters",
        "CREATE TABLE message (id INTEGER PRIMARY KEY, %1); PRAGMA ignore_check_constraints = 1; INSERT INTO "
        "message (titre) VALUES ('Un titre écrit par un autre outil, bien trop long');",
        {StoreFault::None});
    row("corrupted", "corrupted", {StoreFault::Corrupt, StoreFault::NotADatabase});
    // Also for the superuser, who could write it: its owner protected it.
    row("mode forbids writing", "read-only", {StoreFault::ReadOnly}, "est protégé en écriture");
    row("locked by another program", "locked", {StoreFault::Locked}, "est utilisé par un autre programme");
}

void tst_MessageStore::openFaultsLeaveTheFileUntouched() {
    QFETCH(QString, fixture);
    QFETCH(QList<int>, faults);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    std::unique_ptr<test::SqlProbe> other;
    if (fixture == QLatin1String("text"))
        QVERIFY(writeFile(path, QByteArray("titre;message;datemessage;heuremessage;etat\n").repeated(200)));
    else if (fixture == QLatin1String("empty"))
        QVERIFY(writeFile(path, QByteArray()));
    else if (fixture.startsWith(QLatin1String("CREATE")))
        QVERIFY(makeForeignDatabase(
            path, fixture.contains("%1") ? fixture.arg("titre TEXT CHECK (length(titre) <= 30), message TEXT, "
                                                       "datemessage TEXT, heuremessage TEXT, etat TEXT, periodicite "
                                                       "TEXT, prochainaffichage TEXT, dernieraffichage TEXT")
                                         : fixture));
    else if (fixture != QLatin1String("missing"))
        QVERIFY(MessageStore::createEmpty(path, nullptr));
    if (fixture == QLatin1String("corrupted")) {
        // Many rows, so that the file spans many pages; then 512 bytes of a middle page from its header on.
        QVERIFY(makeForeignDatabase(path,
                                    "INSERT INTO message (titre,message) WITH RECURSIVE n(i) AS (SELECT 1 "
                                    "UNION ALL SELECT i + 1 FROM n WHERE i < 3000) SELECT 'Message ' || i, "
                                    "printf('%.300c', 'x') FROM n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 100 * 4096);
        QVERIFY(file.seek((file.size() / 2) / 4096 * 4096));
        QCOMPARE(file.write(QByteArray(512, char(0xA5))), qint64(512));
    } else if (fixture == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (fixture == QLatin1String("locked")) {
        other = std::make_unique<test::SqlProbe>(path);
        QVERIFY(other->run(QStringLiteral("BEGIN EXCLUSIVE")).ok);
    }
    const QByteArray before = contents(path);
    const QStringList folderBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    MessageStore store;
    const StoreOpenResult result = store.open(path);
    QVERIFY2(faults.contains(int(result.fault)),
             qPrintable(QStringLiteral("fault %1 (%2)").arg(int(result.fault)).arg(result.detail)));
    if (result.ok()) {
        QVERIFY(store.all());
        return;
    }
    QVERIFY(!store.isOpen());
    QVERIFY(!store.all() && !store.lastError().isEmpty());
    store.close();
    other.reset();
    QCOMPARE(contents(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), folderBefore);
    const QString text = MessageStore::faultText(result, path);
    if (!reason.isEmpty())
        QVERIFY2(text.contains(path) && text.contains(reason) && text.endsWith("Fin du programme"), qPrintable(text));
}

// A write the disk or another program refuses changes nothing and says why in French; then writes go on.
void tst_MessageStore::writeFailuresSayWhyInFrench_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("disk full") << SQLITE_FULL << int(StoreErrorKind::DiskFull) << "Le disque est plein";
    QTest::newRow("in use") << SQLITE_BUSY << int(StoreErrorKind::InUse)
                            << "Le fichier est utilisé par un autre programme";
    QTest::newRow("locked table") << SQLITE_LOCKED << int(StoreErrorKind::InUse)
                                  << "Le fichier est utilisé par un autre programme";
    QTest::newRow("read-only") << SQLITE_READONLY << int(StoreErrorKind::WriteProtected)
                               << "Le fichier est protégé en écriture";
    QTest::newRow("cannot open") << SQLITE_CANTOPEN << int(StoreErrorKind::WriteProtected)
                                 << "Le fichier est protégé en écriture";
    QTest::newRow("disk error") << SQLITE_IOERR_WRITE << int(StoreErrorKind::DiskError)
                                << "Le disque n'a pas pu écrire le fichier";
}

void tst_MessageStore::writeFailuresSayWhyInFrench() {
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(QString, meaning);
    StoreFile f;
    QVERIFY(f.ready);
    addThreeMessages(f.store);
    f.store.failWritesWith(code);
    const auto refused = [&] {
        const QString text = storeErrorText(f.store.failure());
        return int(f.store.failure().kind) == kind && text.startsWith(meaning) && !f.store.lastError().isEmpty() &&
               text.endsWith(QStringLiteral("(%1)").arg(f.store.lastError()));
    };
    QVERIFY(!f.store.insert(message(kDentiste)) && refused());
    QVERIFY(f.store.update(message(with(kDentiste, 1, "Autre"))) == StoreWrite::Failed && refused());
    QVERIFY(!f.store.remove(2) && refused());
    QVERIFY(!f.store.setState(2, kStateAffiche) && refused());
    QVERIFY(!f.store.setNextDisplay(2, QStringLiteral("13/06/2026 18:30")) && refused());
    QVERIFY(!f.store.insertAll({message(kDentiste), message(kPiscine)}) && refused());
    {
        MessageStore::Transaction transaction(f.store);
        QVERIFY(transaction.isOpen());
        QVERIFY(!transaction.commit() && refused());
    }
    QCOMPARE(table(f.store), (Rows{kDentiste, kPiscine, kBonjour}));
    QCOMPARE(storeFailureText(QStringLiteral("Rien n'a été enregistré."), f.store.failure()),
             QStringLiteral("Rien n'a été enregistré.\n\n") + storeErrorText(f.store.failure()));

    f.store.failWritesWith(0);
    QVERIFY(f.store.remove(2) && f.store.failure().ok());
    QCOMPARE(table(f.store), (Rows{kDentiste, kBonjour}));
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
        const test::SqlRows check = test::SqlProbe(f.path).must(QStringLiteral("PRAGMA integrity_check"));
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
