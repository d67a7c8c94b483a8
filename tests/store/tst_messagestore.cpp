// The message file: which one a run uses, every operation the program asks of it, the text rules around them, the
// table of the notes put off, and the file's safety when it is not ours or when a writer dies.
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
#include <tuple>

#include "store/MessageFile.h"
#include "store/MessageStore.h"
#include "support/SqlProbe.h"

using namespace tavanote;

namespace {

// With this argument and a file path, the test program becomes a writer that never stops on its own.
const char* const kWriterArgument = "--writer";
const int kWriterTextSize = 40000;  // several pages a row, so that a kill often lands mid-row

// A row written "id|titre|...|dernieraffichage".
Message message(const QString& row) {
    const QStringList f = row.split(QLatin1Char('|'));
    return {f[0].toLongLong(), f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]};
}
QString row(const Message& m) {
    const QStringList fields{m.titre, m.message,     m.datemessage,       m.heuremessage,
                             m.etat,  m.periodicite, m.prochainaffichage, m.dernieraffichage};
    return QString::number(m.id) + '|' + fields.join(QLatin1Char('|'));
}
// The rows a read gave, or only one field of each.
QStringList rows(const std::optional<MessageList>& list, int field = -1) {
    if (!list)
        QTest::qFail("the read failed", __FILE__, __LINE__);
    QStringList out;
    for (const Message& m : list.value_or(MessageList()))
        out << (field < 0 ? row(m) : row(m).section(QLatin1Char('|'), field, field));
    return out;
}
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
// Statements of the test's own, run on a file made when missing.
bool runSql(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}
const QString kDentiste = "1|Dentiste|Appeler le cabinet|05/06/2026|09:00|actif|0|05/06/2026 09:00|";
const QString kPiscine = "2|Piscine|Sac de sport|06/06/2026|18:30|actif|3|06/06/2026 18:30|27/06/2026 18:30";
const QString kBonjour = "3|Bonjour|Au démarrage|||actif|9||";  // written with a lone blank as next display
// The child's side of killedWriterLosesNothingItReported: insert, and say each id once the store has it (a
// failure says an empty id, which the test refuses).
int runWriter(const QString& path) {
    MessageStore store;
    if (!store.open(path).ok())
        return 3;
    Message m = message("0|x|x|05/06/2026|09:00|actif|2|05/06/2026 09:00|31/12/2026 09:00");
    m.message = QString(kWriterTextSize, QLatin1Char('x'));
    for (int i = 1;; ++i) {
        m.titre = QStringLiteral("Écriture %1").arg(i);
        const std::optional<qint64> id = store.insert(m);
        std::printf("%s\n", id ? qPrintable(QString::number(*id)) : "");
        std::fflush(stdout);
    }
}

}  // namespace

class tst_MessageStore : public QObject {
    Q_OBJECT

    // Each test's own message file, new and empty, in its own temporary program folder, opened.
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    MessageStore m_store;

    // A statement of the test's own on its file, and the first field it gives.
    QString value(const QString& sql) { return test::SqlProbe(m_path).must(sql).text(0); }
    qint64 add(const QString& title, const QString& etat = kStateActif) {
        Message m = message("0|x|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|");
        m.titre = title;
        m.etat = etat;
        const std::optional<qint64> id = m_store.insert(m);
        if (!id)
            QTest::qFail(qPrintable(m_store.lastError()), __FILE__, __LINE__);
        return id.value_or(0);
    }
    // Three messages as the editor writes them: once, weekly with an end, and at every start.
    void addThreeMessages() {
        for (const QString& r : {kDentiste, kPiscine, QStringLiteral("|Bonjour|Au démarrage|||actif|9| | ")})
            QVERIFY(m_store.insert(message(r)));
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = MessageStore::pathIn(m_dir->path());
        QVERIFY(MessageStore::createEmpty(m_path, nullptr) && m_store.open(m_path).ok());
    }

    // Each operation, and the stored rows after it; a new file is alone in its folder and empty, and never made over
    // an existing one.
    void everyOperationAndTheRowsItLeaves() {
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"messages.fdm"});
        QCOMPARE(rows(m_store.all()), QStringList());
        addThreeMessages();
        QVERIFY(!MessageStore::createEmpty(m_path, nullptr));
        QCOMPARE(m_store.insert(message("|Arrosage|x|||errone|9| |")).value_or(0), qint64(4));
        const QString arrosage = "4|Arrosage|x|||errone|9||";
        QCOMPARE(row(*m_store.find(2)), kPiscine);
        QVERIFY(!m_store.find(9) && m_store.lastError().isEmpty());
        // The start-up messages: code 9 whatever the state, in id order.
        QCOMPARE(rows(m_store.startupMessages()), (QStringList{kBonjour, arrosage}));
        QVERIFY(m_store.setState(2, kStateAffiche) && m_store.setNextDisplay(2, QStringLiteral("13/06/2026 18:30")));
        QString piscine = "2|Piscine|Sac de sport|06/06/2026|18:30|affiche|3|13/06/2026 18:30|27/06/2026 18:30";
        QCOMPARE(rows(m_store.withState(kStateAffiche, MessageOrder::ById)), QStringList{piscine});
        QVERIFY(m_store.setState(2, kStateActif) && m_store.setState(1, kStateErrone));
        piscine.replace(QLatin1String("affiche"), kStateActif);
        const QString dentiste = QString(kDentiste).replace(kStateActif, kStateErrone);
        QCOMPARE(rows(m_store.all()), (QStringList{dentiste, piscine, kBonjour, arrosage}));
        QCOMPARE(rows(m_store.withState(kStateActif, MessageOrder::ById)), (QStringList{piscine, kBonjour}));
        // Due: active, at one of the minutes asked for.
        QCOMPARE(rows(m_store.activeAt({"13/06/2026 18:30", "05/06/2026 09:00"})), QStringList{piscine});
        QCOMPARE(rows(m_store.activeAt({})), QStringList());
        // An update rewrites the whole message; one of a row that is gone says so.
        const QString modified = "1|L'anniversaire|Gâteau\r\nBougies|08/06/2026|07:45|actif|0|08/06/2026 07:45|";
        QCOMPARE(m_store.update(message(modified)), StoreWrite::Done);
        QCOMPARE(m_store.update(message("99" + modified.mid(1))), StoreWrite::Gone);
        QVERIFY(m_store.remove(4) && m_store.remove(4));  // the second: gone already, nothing happens
        // Many at once, numbered after the deleted last row, whose id is not given again.
        const QString recovered = "5|L'heure|x|05/06/2026|09:00|actif|0|05/06/2026 09:00|";
        const QString reunion = "6|Réunion|Salle 2|05/12/2026|14:00|errone|2|05/12/2026 14:00|31/12/2026 14:00";
        QVERIFY(m_store.insertAll({message(recovered), message(reunion)}));
        QCOMPARE(rows(m_store.all()), (QStringList{modified, piscine, kBonjour, recovered, reunion}));
        // Nor after the table was emptied and the file reopened.
        for (const qint64 id : {6, 5, 3, 2, 1})
            QVERIFY(m_store.remove(id));
        QVERIFY(m_store.open(m_path).ok());
        QCOMPARE(rows(m_store.all()), QStringList());
        QCOMPARE(add(QStringLiteral("Encore")), qint64(7));
    }

    // A title is stored as given, never as Null, read back trimmed of blanks (another tool's rows too) and listed in
    // French order. Over 30 characters, every write refuses it, a batch holding one whole; a transaction goes on.
    void titlesStoredTrimmedSortedAndLimited() {
        const QString words = QStringLiteral("x','y'); DELETE FROM message;");
        const QString thirty = QStringLiteral("Réunion du conseil municipal!1");
        const std::pair<QString, QString> typedAndRead[] = {
            {"  L'heure d'été  ", "L'heure d'été"}, {"     ", ""},  {QString(), ""},
            {"Salle  2\r\nici", "Salle  2\r\nici"}, {words, words}, {thirty, thirty}};
        for (const auto& [typed, read] : typedAndRead) {
            QCOMPARE(m_store.find(add(typed))->titre, read);
            const QString sql = QStringLiteral("SELECT count(*) FROM message WHERE titre = '%1'");
            QCOMPARE(value(sql.arg(QString(typed).replace("'", "''"))), QStringLiteral("1"));
        }
        value(
            "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
            "dernieraffichage) VALUES ('  Marge  ',NULL,NULL,'  09:00 ','actif ',0,' ',NULL)");
        QCOMPARE(row(*m_store.find(7)), QStringLiteral("7|Marge|||09:00|actif|0||"));
        for (const QString& title :
             QStringList{"Zèbre", "Été", "fête", "Étude", "Bilan", "école", "abricot", "émail", "Ecole"})
            add(title, kStateAffiche);
        for (const QString& title : QStringList{"Œuf", "orange", "Ægide"})
            add(title, kStateErrone);
        QCOMPARE(rows(m_store.withState(kStateAffiche, MessageOrder::ByTitle), 1),
                 (QStringList{"abricot", "Bilan", "Ecole", "école", "émail", "Été", "Étude", "fête", "Zèbre"}));
        QCOMPARE(rows(m_store.withState(kStateErrone, MessageOrder::ByTitle), 1),
                 (QStringList{"Ægide", "Œuf", "orange"}));
        const QString reason = QStringLiteral("Le titre ne doit pas dépasser 30 caractères.");
        QStringList kept = rows(m_store.all());
        Message renamed = *m_store.find(1);
        renamed.titre = thirty + QLatin1Char('2');
        QVERIFY(!m_store.insert(renamed));
        QCOMPARE(m_store.lastError(), reason);
        QCOMPARE(m_store.update(renamed), StoreWrite::Failed);
        MessageStore::Transaction transaction(m_store);
        QVERIFY(!m_store.insertAll({message(kDentiste), renamed, message(kBonjour)}));
        QCOMPARE(m_store.lastError(), reason);
        QVERIFY(m_store.setState(1, kStateErrone));
        QVERIFY(transaction.commit());
        kept[0].replace(kStateActif, kStateErrone);
        QCOMPARE(rows(m_store.all()), kept);
    }

    // The table rappel is made on first use beside an unchanged table message, and written with the message's state
    // in one transaction: nothing for a message that is gone, and a row refused takes the state back.
    void putOffWrittenWithTheState() {
        addThreeMessages();
        const QString schema = QStringLiteral("SELECT group_concat(sql) FROM sqlite_master WHERE tbl_name = 'message'");
        const QString messageTable = value(schema);
        QCOMPARE(m_store.putOff({9, "07/12/2026 08:00", "07/12/2026 08:10", "07/12/2026 08:05"}), StoreWrite::Gone);
        QCOMPARE(value("SELECT count(*) FROM sqlite_master WHERE name = 'rappel'"), QStringLiteral("0"));
        QCOMPARE(m_store.putOffs()->size(), size_t(0));
        QCOMPARE(m_store.putOff({2, "07/12/2026 08:00", "07/12/2026 08:10", "07/12/2026 08:05"}), StoreWrite::Done);
        // Put off again: one row, the new time.
        QCOMPARE(m_store.putOff({2, "07/12/2026 08:00", "07/12/2026 09:10", "07/12/2026 08:10"}), StoreWrite::Done);
        QCOMPARE(value("SELECT group_concat(id || ' ' || affichage || ' ' || retour || ' ' || depuis || ' ' || "
                       "(SELECT etat FROM message WHERE id = 2)) FROM rappel"),
                 QStringLiteral("2 07/12/2026 08:00 07/12/2026 09:10 07/12/2026 08:10 affiche"));
        QCOMPARE(value(schema), messageTable);
        // Accepted at open with the table; forgotten with removePutOff.
        QVERIFY(m_store.open(m_path).ok());
        QCOMPARE(m_store.putOffs()->at(0).retour, QStringLiteral("07/12/2026 09:10"));
        QVERIFY(m_store.removePutOff(2));
        QCOMPARE(m_store.putOffs()->size(), size_t(0));
        m_store.close();
        QVERIFY(runSql(m_path,
                       "DROP TABLE rappel; CREATE TABLE rappel (id INTEGER PRIMARY KEY, affichage, retour CHECK "
                       "(retour <> 'refusé'), depuis)"));
        QVERIFY(m_store.open(m_path).ok());
        QCOMPARE(m_store.putOff({1, "07/12/2026 08:00", "refusé", "07/12/2026 08:05"}), StoreWrite::Failed);
        QCOMPARE(value("SELECT etat || (SELECT count(*) FROM rappel) FROM message WHERE id = 1"), "actif0");
        QVERIFY(!m_store.inTransaction());
    }

    // Each fault is told for what it is, naming the file, which stays as it was, and its folder too. Another tool's
    // table opens when its key numbers its rows, every row listed even one breaking a rule; so does a table rappel.
    void openFaultsLeaveTheFileUntouched_data() {
        QTest::addColumn<QString>("fixture");  // SQL run on a new file, or how the file is made
        QTest::addColumn<StoreFault>("fault");
        QTest::addColumn<QString>("reason");  // part of the text the user reads
        const auto row = [](const char* name, const QString& fixture, StoreFault fault, const char* reason = "") {
            QTest::newRow(name) << fixture << fault << QString::fromUtf8(reason);
        };
        const QString two = QStringLiteral(" INSERT INTO message (titre) VALUES ('a'), ('b');");
        row("text file", "text", StoreFault::NotADatabase, "n'est pas un fichier de messages");
        row("empty file", "empty", StoreFault::EmptyFile, "Le fichier est vide");
        row("database without message", "CREATE TABLE contacts (%1); INSERT INTO contacts (titre) VALUES ('Léa');",
            StoreFault::NoTable, "ne contient pas la table des messages");
        row("message table missing columns",
            "CREATE TABLE message (id INTEGER PRIMARY KEY, texte); INSERT INTO message (texte) VALUES ('bonjour');",
            StoreFault::MissingColumns,
            "Il manque des colonnes à la table des messages: titre, message, datemessage, heuremessage, etat, "
            "periodicite, prochainaffichage, dernieraffichage.");
        // An overdue row without id would have deleted the row 0, one 5 the other 5.
        row("null and repeated ids",
            "CREATE TABLE message (id INTEGER, %1); INSERT INTO message (id) VALUES (NULL), (5), (5), (5), (6);",
            StoreFault::BadKey, "(messages sans numéro: 1, numéros en double: 2)");
        row("DESC key", "CREATE TABLE message (id INTEGER PRIMARY KEY DESC, %1);" + two, StoreFault::BadKey,
            "(messages sans numéro: 2)");
        row("WITHOUT ROWID", "CREATE TABLE message (id INTEGER PRIMARY KEY, %1) WITHOUT ROWID;", StoreFault::BadKey,
            "n'est pas une clé primaire entière qui numérote ses lignes");
        row("DESC in a table constraint", "CREATE TABLE message (id INTEGER, %1, PRIMARY KEY (id DESC));" + two,
            StoreFault::None);
        row("title over 30 characters",
            "CREATE TABLE message (id INTEGER PRIMARY KEY, %1); PRAGMA ignore_check_constraints = 1; INSERT INTO "
            "message (titre) VALUES ('Un titre écrit par un autre outil, bien trop long');",
            StoreFault::None);
        const QString ours = "CREATE TABLE message (id INTEGER PRIMARY KEY, %1);" + two + "CREATE TABLE rappel (id ";
        row("rappel with a column more", ours + "INTEGER PRIMARY KEY, affichage, retour, depuis, x)", StoreFault::None);
        row("rappel missing a column", ours + "INTEGER PRIMARY KEY, affichage, depuis)", StoreFault::BadPutOffTable,
            "(rappel) n'a pas la forme attendue: il lui manque les colonnes: retour.");
        row("rappel DESC key", ours + "INTEGER PRIMARY KEY DESC, affichage, retour, depuis)",
            StoreFault::BadPutOffTable, "(rappel) n'a pas la forme attendue: sa colonne id n'est pas une clé");
        row("corrupted", "corrupted", StoreFault::Corrupt, "Le fichier est endommagé.");
        // Also for the superuser, who could write it: its owner protected it.
        row("mode forbids writing", "read-only", StoreFault::ReadOnly, "est protégé en écriture");
        row("locked by another program", "locked", StoreFault::Locked, "est utilisé par un autre programme");
    }

    void openFaultsLeaveTheFileUntouched() {
        QFETCH(QString, fixture);
        QFETCH(StoreFault, fault);
        QFETCH(QString, reason);
        m_store.close();  // the test's file, new and empty, made again or changed
        const QString columns = QStringLiteral(
            "titre TEXT CHECK (length(titre) <= 30), message, datemessage, "
            "heuremessage, etat, periodicite, prochainaffichage, dernieraffichage");
        QFile file(m_path);
        if (fixture.startsWith(QLatin1String("CREATE")))
            QVERIFY(file.remove() && runSql(m_path, QString(fixture).replace(QLatin1String("%1"), columns)));
        else if (fixture == QLatin1String("text") || fixture == QLatin1String("empty"))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(fixture == "text" ? "titre;etat\n" : "") >= 0);
        file.close();
        std::unique_ptr<test::SqlProbe> other;
        if (fixture == QLatin1String("corrupted")) {  // the table's page, from its header on
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(4096));
            QCOMPARE(file.write(QByteArray(512, char(0xA5))), qint64(512));
            file.close();
        } else if (fixture == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else if (fixture == QLatin1String("locked")) {
            other = std::make_unique<test::SqlProbe>(m_path);
            QVERIFY(other->run(QStringLiteral("BEGIN EXCLUSIVE")).ok);
        }
        const QByteArray before = contents(m_path);
        const QStringList folderBefore = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        const StoreOpenResult result = m_store.open(m_path);
        QVERIFY2(result.fault == fault, qPrintable(QString::number(int(result.fault)) + result.detail));
        if (result.ok())
            QCOMPARE(QString::number(rows(m_store.all()).size()), value("SELECT count(*) FROM message"));
        else
            QVERIFY(!m_store.isOpen() && !m_store.all() && !m_store.lastError().isEmpty());
        m_store.close();
        other.reset();
        QCOMPARE(contents(m_path), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), folderBefore);
        const QString text = MessageStore::faultText(result, m_path);
        QVERIFY2(reason.isEmpty() || (text.contains(m_path) && text.contains(reason) && text.endsWith("programme")),
                 qPrintable(text));
    }

    // A write the disk or another program refuses changes nothing and says why in French; then writes go on.
    void writeFailuresSayWhyInFrench() {
        addThreeMessages();
        const std::tuple<int, StoreErrorKind, const char*> failures[] = {
            {SQLITE_FULL, StoreErrorKind::DiskFull, "Le disque est plein"},
            {SQLITE_BUSY, StoreErrorKind::InUse, "Le fichier est utilisé par un autre programme"},
            {SQLITE_READONLY, StoreErrorKind::WriteProtected, "Le fichier est protégé en écriture"},
            {SQLITE_IOERR_WRITE, StoreErrorKind::DiskError, "Le disque n'a pas pu écrire le fichier"}};
        for (const auto& [code, kind, meaning] : failures) {
            m_store.failWritesWith(code);
            const auto refused = [&] {
                const QString text = storeErrorText(m_store.failure());
                return m_store.failure().kind == kind && text.startsWith(QString::fromUtf8(meaning)) &&
                       !m_store.lastError().isEmpty() && text.endsWith(QStringLiteral("(%1)").arg(m_store.lastError()));
            };
            QVERIFY2(!m_store.insert(message(kDentiste)) && refused(), meaning);
            QVERIFY(m_store.update(message(kDentiste)) == StoreWrite::Failed && refused());
            QVERIFY(!m_store.remove(2) && refused());
            QVERIFY(!m_store.setState(2, kStateAffiche) && refused());
            QVERIFY(!m_store.setNextDisplay(2, QStringLiteral("13/06/2026 18:30")) && refused());
            QVERIFY(!m_store.insertAll({message(kDentiste), message(kPiscine)}) && refused());
            MessageStore::Transaction transaction(m_store);
            QVERIFY(transaction.isOpen());
            QVERIFY(!transaction.commit() && refused());
            QCOMPARE(rows(m_store.all()), (QStringList{kDentiste, kPiscine, kBonjour}));
        }
        m_store.failWritesWith(0);
        QVERIFY(m_store.remove(2) && m_store.failure().ok());
        QCOMPARE(rows(m_store.all()), (QStringList{kDentiste, kBonjour}));
    }

    // A writer killed at any point leaves a sound file holding every row it said it wrote, each row whole.
    void killedWriterLosesNothingItReported() {
        m_store.close();
        QSet<qint64> reported;
        qint64 lastReported = 0;
        for (const int wanted : {1, 7, 23, 40, 61, 3, 12, 30, 2, 17}) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {QLatin1String(kWriterArgument), m_path});
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
            output.truncate(output.lastIndexOf('\n'));  // a line cut by the kill was not said
            for (const QByteArray& line : output.split('\n')) {
                QVERIFY2(line.toLongLong() > lastReported, line.constData());
                reported.insert(lastReported = line.toLongLong());
            }
            QVERIFY(m_store.open(m_path).ok());
            QCOMPARE(value("PRAGMA integrity_check"), QStringLiteral("ok"));
            QSet<qint64> stored;
            for (const Message& m : m_store.all().value_or(MessageList())) {
                stored.insert(m.id);
                QVERIFY2(m.titre.startsWith("Écriture ") && m.message.size() == kWriterTextSize &&
                             m.dernieraffichage == QLatin1String("31/12/2026 09:00"),
                         qPrintable(m.titre));  // every row whole
            }
            m_store.close();
            const QSet<qint64> lost = reported - stored;
            QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("%1 reported ids are missing").arg(lost.size())));
        }
        QVERIFY(reported.size() >= 196);
    }

    // Which messages file a run uses: the program folder's own, or one per user when the program folder holds none
    // and cannot be written; never another file in place of a protected one, nothing ever made in the program folder.
    void whichMessageFileARunUses() {
        enum File { None, Writable, ReadOnly };
        // Whether the program folder is writable, its file, the user's file, whether the user's is chosen, its fault.
        const std::tuple<const char*, bool, File, File, bool, StoreFault> cases[] = {
            {"writable folder, protected file", true, ReadOnly, Writable, false, StoreFault::ReadOnly},
            {"protected folder, file", false, Writable, None, false, StoreFault::None},
            {"writable folder, no file: nothing made", true, None, Writable, false, StoreFault::Missing},
            {"first start", false, None, None, true, StoreFault::None},
            {"next start", false, None, Writable, true, StoreFault::None},
            {"protected user file", false, None, ReadOnly, true, StoreFault::ReadOnly}};
        for (const auto& [name, folderWritable, programFile, userFile, perUser, fault] : cases) {
            QTemporaryDir dir;
            const QString program = dir.filePath(QStringLiteral("lib/tavanote"));
            const QString user = dir.filePath(QStringLiteral("home/.local/share/Tavanote"));
            QVERIFY(QDir().mkpath(program));
            for (const auto& [folder, file] : {std::pair(program, programFile), std::pair(user, userFile)}) {
                const QString path = MessageStore::pathIn(folder);
                QVERIFY(file == None || (QDir().mkpath(folder) && MessageStore::createEmpty(path, nullptr)));
                QVERIFY(file != ReadOnly || QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
            }
            const MessageFileChoice choice = chooseMessageFile(program, user, folderWritable);
            QVERIFY2(choice.perUser == perUser && choice.folder() == (perUser ? user : program), name);
            QVERIFY2(!choice.perUser || makePerUserMessageFile(choice.path).isEmpty(), name);
            QVERIFY2(MessageStore().open(choice.path).fault == fault, name);
            QVERIFY2(QFileInfo::exists(MessageStore::pathIn(program)) == (programFile != None), name);
        }
        // Without a home folder, no per-user file (the engine would put it at the root, nobody's).
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", "");
        QCOMPARE(userDataFolder(), QString());
        QVERIFY(makePerUserMessageFile(QString()).contains(QStringLiteral("HOME")));
        qputenv("HOME", "/home/anne");
        QCOMPARE(userDataFolder(), QStringLiteral("/home/anne/.local/share/Tavanote"));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kWriterArgument) == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    tst_MessageStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagestore.moc"
