#include "MessageStore.h"

#include <sqlite3.h>

#include <iterator>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/FileExists.h"
#include "common/TextRules.h"

namespace tavanote {

namespace {

const char* const kSchema =
    "CREATE TABLE message ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " titre TEXT CHECK (titre IS NULL OR length(titre) <= 30),"
    " message TEXT,"
    " datemessage TEXT,"
    " heuremessage TEXT,"
    " etat TEXT,"
    " periodicite TEXT,"
    " prochainaffichage TEXT,"
    " dernieraffichage TEXT);"
    "CREATE INDEX message_prochainaffichage ON message (prochainaffichage)";

const char* const kColumns[] = {"id",   "titre",       "message",           "datemessage",     "heuremessage",
                                "etat", "periodicite", "prochainaffichage", "dernieraffichage"};

struct StatementDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

struct DatabaseDeleter {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseDeleter>;

StoreError notOpen() {
    return {StoreErrorKind::NotOpen, QStringLiteral("Le fichier des messages n'est pas ouvert.")};
}

QString engineError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Titles sort with case and accents folded ("école" beside "Ecole", before "Fête") and the joined letters spelt
// out ("Œuvre" as "oeuvre"); equal folds fall back to the plain order so that the sort stays total.
QString frenchKey(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c == u'œ' || c == u'Œ')
            key += QStringLiteral("oe");
        else if (c == u'æ' || c == u'Æ')
            key += QStringLiteral("ae");
        else
            key += c;
    }
    return key.toCaseFolded();
}

int frenchCompare(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const QString textA = QString::fromUtf8(static_cast<const char*>(a), lengthA);
    const QString textB = QString::fromUtf8(static_cast<const char*>(b), lengthB);
    int order = frenchKey(textA).compare(frenchKey(textB));
    if (order == 0)
        order = textA.compare(textB);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, column));
        case SQLITE_TEXT:
            return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                              sqlite3_column_bytes(stmt, column)));
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                       sqlite3_column_bytes(stmt, column)));
        default:
            return QVariant();
    }
}

// One number a statement gives; -1 when it fails.
qint64 numberOf(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    Statement statement(raw);
    return statement && sqlite3_step(statement.get()) == SQLITE_ROW ? sqlite3_column_int64(statement.get(), 0) : -1;
}

// "INTEGER PRIMARY KEY" makes id the row's own number (unique, never Null) except in a table WITHOUT ROWID or
// when declared DESC: the engine then keeps the key in an index of its own, as for any other primary key.
bool idIsRowId(sqlite3* db, const char* countPkIndexes) {
    return numberOf(db, countPkIndexes) == 0;
}

// A table as the file declares it: its columns (lower-cased; none when there is no such table), and whether id
// alone is its key, declared INTEGER.
struct TableShape {
    int rc = SQLITE_OK;  // of reading the declaration
    QStringList columns;
    bool integerKey = false;

    QStringList missing(const char* const* wanted, size_t count) const {
        QStringList absent;
        for (size_t i = 0; i < count; ++i) {
            if (!columns.contains(QLatin1String(wanted[i])))
                absent << QLatin1String(wanted[i]);
        }
        return absent;
    }
};

TableShape tableShape(sqlite3* db, const char* tableInfo) {
    TableShape shape;
    sqlite3_stmt* raw = nullptr;
    shape.rc = sqlite3_prepare_v2(db, tableInfo, -1, &raw, nullptr);
    if (shape.rc != SQLITE_OK)
        return shape;
    Statement info(raw);
    bool idKey = false;
    int keyColumns = 0;
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        const QString name = columnValue(info.get(), 1).toString().toLower();
        shape.columns << name;
        const qint64 pk = columnValue(info.get(), 5).toLongLong();
        keyColumns += pk > 0 ? 1 : 0;
        // Only "INTEGER PRIMARY KEY" can make id the row's own number: unique, never Null.
        if (name == QLatin1String("id") && pk == 1 &&
            columnValue(info.get(), 2).toString().trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            idKey = true;
    }
    shape.integerKey = idKey && keyColumns == 1;
    return shape;
}

// The rows a key that is not the row's number let in: without id, or sharing one.
QString keyFaults(sqlite3* db) {
    QStringList faults;
    if (const qint64 nulls = numberOf(db, "SELECT count(*) FROM message WHERE id IS NULL"); nulls > 0)
        faults << QStringLiteral("messages sans numéro: %1").arg(nulls);
    if (const qint64 repeated = numberOf(db, "SELECT count(id) - count(DISTINCT id) FROM message"); repeated > 0)
        faults << QStringLiteral("numéros en double: %1").arg(repeated);
    return faults.join(QStringLiteral(", "));
}

// The columns every read gives, in table order.
const char* const kSelect =
    "SELECT id, titre, message, datemessage, heuremessage, etat, periodicite, prochainaffichage, dernieraffichage "
    "FROM message ";

Message messageAt(sqlite3_stmt* stmt, FieldText text) {
    Message m;
    m.id = sqlite3_column_int64(stmt, 0);
    QString* const fields[] = {&m.titre, &m.message,     &m.datemessage,       &m.heuremessage,
                               &m.etat,  &m.periodicite, &m.prochainaffichage, &m.dernieraffichage};
    for (int c = 0; c < 8; ++c) {
        const QVariant value = columnValue(stmt, c + 1);
        *fields[c] = text == FieldText::AsStored ? value.toString() : fieldText(value);
    }
    return m;
}

// The table rappel of the notes put off, made on first use.
const char* const kPutOffSchema =
    "CREATE TABLE IF NOT EXISTS rappel ("
    " id INTEGER PRIMARY KEY,"
    " affichage TEXT NOT NULL,"
    " retour TEXT NOT NULL,"
    " depuis TEXT NOT NULL)";
const char* const kPutOffColumns[] = {"id", "affichage", "retour", "depuis"};

// A file without the table rappel is a file no note was ever put off in; one whose rappel lacks our columns, or
// whose id is not the row's own number, is no file of ours: refused as a foreign table message is.
StoreOpenResult checkPutOffTable(sqlite3* db) {
    const TableShape shape = tableShape(db, "PRAGMA table_info(rappel)");
    if (shape.rc != SQLITE_OK)
        return {StoreFault::Unreadable, engineError(db)};
    if (shape.columns.isEmpty())
        return {};
    if (const QStringList missing = shape.missing(kPutOffColumns, std::size(kPutOffColumns)); !missing.isEmpty())
        return {StoreFault::BadPutOffTable,
                QStringLiteral("il lui manque les colonnes: %1").arg(missing.join(QStringLiteral(", ")))};
    if (!shape.integerKey || !idIsRowId(db, "SELECT count(*) FROM pragma_index_list('rappel') WHERE origin = 'pk'"))
        return {StoreFault::BadPutOffTable, QStringLiteral("sa colonne id n'est pas une clé primaire entière")};
    return {};
}

}  // namespace

MessageStore::MessageStore() = default;

MessageStore::~MessageStore() {
    close();
}

QString MessageStore::pathIn(const QString& programFolder) {
    return withTrailingSeparator(programFolder) + QStringLiteral("messages.fdm");
}

StoreOpenResult MessageStore::open(const QString& path) {
    close();
    if (!FileExists(path))
        return {StoreFault::Missing, QString()};
    const QFileInfo fileInfo(path);
    // The engine would take an empty file for an empty database; it is no message file.
    if (fileInfo.size() == 0)
        return {StoreFault::EmptyFile, QString()};
    const QByteArray nativePath = QFile::encodeName(path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(nativePath.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK)
        return {StoreFault::Unreadable, raw ? engineError(raw) : QString()};
    // Another program may be writing: its lock usually goes within moments.
    sqlite3_busy_timeout(db.get(), kOpenWaitMs);
    const auto locked = [](int code) { return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED; };

    // Read the file before anything could write to it: a file that is not ours is left as it is. A row that breaks
    // a CHECK rule (a title over 30 characters written by another tool) is no damage: such rows are refused only
    // when written, and the rest of the file is sound.
    sqlite3_exec(db.get(), "PRAGMA ignore_check_constraints=ON", nullptr, nullptr, nullptr);
    {
        sqlite3_stmt* rawCheck = nullptr;
        int checkRc = sqlite3_prepare_v2(db.get(), "PRAGMA quick_check", -1, &rawCheck, nullptr);
        Statement check(rawCheck);
        QString verdict;
        if (checkRc == SQLITE_OK) {
            checkRc = sqlite3_step(check.get());
            if (checkRc == SQLITE_ROW)
                verdict = columnValue(check.get(), 0).toString();
        }
        if (locked(checkRc))
            return {StoreFault::Locked, QString()};
        if (checkRc == SQLITE_NOTADB)
            return {StoreFault::NotADatabase, engineError(db.get())};
        if (checkRc == SQLITE_CORRUPT || (checkRc == SQLITE_ROW && verdict != QLatin1String("ok")))
            return {StoreFault::Corrupt, verdict.isEmpty() ? engineError(db.get()) : verdict};
        if (checkRc != SQLITE_ROW && checkRc != SQLITE_DONE)
            return {StoreFault::Unreadable, engineError(db.get())};
    }
    sqlite3_exec(db.get(), "PRAGMA ignore_check_constraints=OFF", nullptr, nullptr, nullptr);
    {
        const TableShape shape = tableShape(db.get(), "PRAGMA table_info(message)");
        if (locked(shape.rc))
            return {StoreFault::Locked, QString()};
        if (shape.rc != SQLITE_OK)
            return {StoreFault::Unreadable, engineError(db.get())};
        if (shape.columns.isEmpty())
            return {StoreFault::NoTable, QString()};
        if (const QStringList missing = shape.missing(kColumns, std::size(kColumns)); !missing.isEmpty())
            return {StoreFault::MissingColumns, missing.join(QStringLiteral(", "))};
        if (!shape.integerKey ||
            !idIsRowId(db.get(), "SELECT count(*) FROM pragma_index_list('message') WHERE origin = 'pk'"))
            return {StoreFault::BadKey, keyFaults(db.get())};
    }
    if (const StoreOpenResult putOffs = checkPutOffTable(db.get()); !putOffs.ok())
        return putOffs;
    // The mode bits, not access(): the superuser may write anywhere, yet a file its owner protected stays as it is.
    const auto protectedByMode = [](const QFileInfo& info) {
        return !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    };
    const QFileInfo folderInfo(fileInfo.absolutePath());
    if (sqlite3_db_readonly(db.get(), "main") == 1 || !fileInfo.isWritable() || !folderInfo.isWritable() ||
        protectedByMode(fileInfo) || protectedByMode(folderInfo))
        return {StoreFault::ReadOnly, QString()};

    // A rollback journal with a full sync: a statement that returned is on the disk, and a write cut short by a
    // crash or a power loss is rolled back at the next open.
    sqlite3_exec(db.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db.get(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_create_collation(db.get(), "FRENCH", SQLITE_UTF8, nullptr, frenchCompare);
    sqlite3_busy_timeout(db.get(), kBusyWaitMs);
    m_db = db.release();
    m_path = path;
    m_failure = {};
    return {};
}

void MessageStore::close() {
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

quint64 MessageStore::dataVersion() const {
    if (!m_db)
        return 0;
    unsigned int version = 0;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return (static_cast<quint64>(sqlite3_total_changes64(m_db)) << 32) ^ version;
}

// One prepared statement: values bound by position from 1, rows stepped through.
class MessageStore::Query {
public:
    Query(MessageStore& store, const QByteArray& sql) : m_store(store), m_sql(sql) {
        sqlite3_stmt* raw = nullptr;
        if (!store.m_db) {
            m_error = notOpen();
        } else if (sqlite3_stmt* kept = store.m_statements.take(sql)) {
            raw = kept;
        } else {
            const int rc = sqlite3_prepare_v3(store.m_db, sql.constData(), static_cast<int>(sql.size()),
                                              SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
            if (rc != SQLITE_OK)
                m_error = StoreError::fromCode(sqlite3_extended_errcode(store.m_db), engineError(store.m_db));
        }
        m_stmt.reset(raw);
    }
    // The statement goes back to the store for the next query of the same text (unless one is kept already).
    ~Query() {
        if (!m_stmt || m_sql.size() > kKeptStatementLength || m_store.m_statements.contains(m_sql))
            return;
        sqlite3_reset(m_stmt.get());
        sqlite3_clear_bindings(m_stmt.get());
        m_store.m_statements.insert(m_sql, m_stmt.release());
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    // Texts are written as given, never as Null.
    Query& text(const QString& value) {
        const QByteArray bytes = value.toUtf8();
        if (m_stmt)
            sqlite3_bind_text(m_stmt.get(), ++m_bound, bytes.isEmpty() ? "" : bytes.constData(),
                              static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query& number(qint64 value) {
        if (m_stmt)
            sqlite3_bind_int64(m_stmt.get(), ++m_bound, value);
        return *this;
    }
    Query& fields(const Message& m) {
        return text(m.titre)
            .text(m.message)
            .text(m.datemessage)
            .text(m.heuremessage)
            .text(m.etat)
            .text(m.periodicite)
            .text(m.prochainaffichage)
            .text(m.dernieraffichage);
    }
    // SQLITE_ROW, SQLITE_DONE, or an error noted in error().
    int step() {
        if (!m_stmt)
            return SQLITE_ERROR;
        const int rc = sqlite3_step(m_stmt.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            const int code = sqlite3_extended_errcode(m_store.m_db);
            m_error = code == SQLITE_CONSTRAINT_CHECK
                          ? StoreError{StoreErrorKind::Refused,
                                       QStringLiteral("Le titre ne doit pas dépasser 30 caractères.")}
                          : StoreError::fromCode(code, engineError(m_store.m_db));
        }
        return rc;
    }
    // Runs a write to its end; the store's failure is set from it.
    bool run() {
        if (m_stmt && m_store.m_injectedFailure)
            return m_store.failWithEngine(m_store.m_injectedFailure);
        const bool ok = step() == SQLITE_DONE;
        return ok ? m_store.succeed() : m_store.failWith(m_error);
    }
    sqlite3_stmt* get() const { return m_stmt.get(); }
    const StoreError& error() const { return m_error; }

private:
    // Longer texts (the minutes of a long sleep) are rare: compiled each time rather than kept.
    static constexpr qsizetype kKeptStatementLength = 1024;
    MessageStore& m_store;
    QByteArray m_sql;
    Statement m_stmt;
    StoreError m_error;
    int m_bound = 0;
};

bool MessageStore::failWith(const StoreError& error) {
    m_failure = error;
    return error.ok();
}

bool MessageStore::failWithEngine(int code) {
    return failWith(StoreError::fromCode(
        code, QString::fromUtf8(m_db && code == sqlite3_extended_errcode(m_db) ? sqlite3_errmsg(m_db)
                                                                               : sqlite3_errstr(code))));
}

bool MessageStore::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

std::optional<MessageList> MessageStore::readList(Query& query, FieldText text) {
    MessageList list;
    int rc;
    while ((rc = query.step()) == SQLITE_ROW)
        list.push_back(messageAt(query.get(), text));
    if (!failWith(rc == SQLITE_DONE ? StoreError() : query.error()))
        return std::nullopt;
    return list;
}

std::optional<qint64> MessageStore::insert(const Message& message) {
    Query query(*this,
                "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite, "
                "prochainaffichage, dernieraffichage) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    if (!query.fields(message).run())
        return std::nullopt;
    return sqlite3_last_insert_rowid(m_db);
}

bool MessageStore::insertAll(const MessageList& messages, std::vector<qint64>* ids) {
    if (!m_db)
        return failWith(notOpen());
    // A savepoint, so that it nests inside a Transaction as well as standing alone.
    if (sqlite3_exec(m_db, "SAVEPOINT insert_all", nullptr, nullptr, nullptr) != SQLITE_OK)
        return failWithEngine(sqlite3_extended_errcode(m_db));
    const auto undo = [this](const StoreError& error) {
        sqlite3_exec(m_db, "ROLLBACK TO insert_all", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "RELEASE insert_all", nullptr, nullptr, nullptr);
        return failWith(error);
    };
    std::vector<qint64> added;
    added.reserve(messages.size());
    for (const Message& message : messages) {
        const std::optional<qint64> id = insert(message);
        if (!id)
            return undo(m_failure);
        added.push_back(*id);
    }
    if (sqlite3_exec(m_db, "RELEASE insert_all", nullptr, nullptr, nullptr) != SQLITE_OK)
        return undo(StoreError::fromCode(sqlite3_extended_errcode(m_db), engineError(m_db)));
    if (ids)
        *ids = std::move(added);
    return succeed();
}

StoreWrite MessageStore::update(const Message& message) {
    Query query(*this,
                "UPDATE message SET titre = ?, message = ?, datemessage = ?, heuremessage = ?, etat = ?, "
                "periodicite = ?, prochainaffichage = ?, dernieraffichage = ? WHERE id = ?");
    if (!query.fields(message).number(message.id).run())
        return StoreWrite::Failed;
    return sqlite3_changes(m_db) > 0 ? StoreWrite::Done : StoreWrite::Gone;
}

bool MessageStore::remove(qint64 id) {
    return Query(*this, "DELETE FROM message WHERE id = ?").number(id).run();
}

bool MessageStore::setState(qint64 id, const QString& etat) {
    return Query(*this, "UPDATE message SET etat = ? WHERE id = ?").text(etat).number(id).run();
}

bool MessageStore::setNextDisplay(qint64 id, const QString& when) {
    return Query(*this, "UPDATE message SET prochainaffichage = ? WHERE id = ?").text(when).number(id).run();
}

std::optional<Message> MessageStore::find(qint64 id) {
    Query query(*this, QByteArray(kSelect) + "WHERE id = ?");
    query.number(id);
    const std::optional<MessageList> found = readList(query);
    if (!found || found->empty())
        return std::nullopt;
    return found->front();
}

std::optional<MessageList> MessageStore::all() {
    Query query(*this, QByteArray(kSelect) + "ORDER BY id");
    return readList(query);
}

std::optional<MessageList> MessageStore::withState(const QString& etat, MessageOrder order, FieldText text) {
    Query query(*this, QByteArray(kSelect) + (order == MessageOrder::ByTitle
                                                  ? "WHERE etat = ? ORDER BY titre COLLATE FRENCH, id"
                                                  : "WHERE etat = ? ORDER BY id"));
    query.text(etat);
    return readList(query, text);
}

std::optional<MessageList> MessageStore::activeAt(const QSet<QString>& minutes) {
    if (minutes.isEmpty()) {
        succeed();
        return MessageList();
    }
    // Only the rows of the minutes asked for are read: with the index on the next display, a tick costs the same
    // whatever the number of messages.
    QByteArray sql = QByteArray(kSelect) + "WHERE etat = ? AND prochainaffichage IN (?";
    for (qsizetype i = 1; i < minutes.size(); ++i)
        sql += ", ?";
    Query query(*this, sql + ") ORDER BY id");
    query.text(kStateActif);
    for (const QString& minute : minutes)
        query.text(minute);
    return readList(query);
}

std::optional<MessageList> MessageStore::startupMessages() {
    Query query(*this, QByteArray(kSelect) + "WHERE periodicite LIKE ? ORDER BY id");
    query.text(QStringLiteral("9"));
    return readList(query);
}

std::optional<bool> MessageStore::hasPutOffTable() {
    Query query(*this, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'rappel'");
    if (query.step() != SQLITE_ROW) {
        failWith(query.error());
        return std::nullopt;
    }
    return sqlite3_column_int64(query.get(), 0) > 0;
}

StoreWrite MessageStore::putOff(const PutOff& row) {
    Transaction transaction(*this);
    if (!transaction.isOpen() && !inTransaction())
        return StoreWrite::Failed;
    if (!setState(row.id, kStateAffiche))
        return StoreWrite::Failed;
    if (sqlite3_changes(m_db) == 0) {
        succeed();
        return StoreWrite::Gone;  // the transaction is rolled back: no table made either
    }
    if (!Query(*this, kPutOffSchema).run())
        return StoreWrite::Failed;
    Query insert(*this, "INSERT OR REPLACE INTO rappel (id, affichage, retour, depuis) VALUES (?, ?, ?, ?)");
    if (!insert.number(row.id).text(row.affichage).text(row.retour).text(row.depuis).run())
        return StoreWrite::Failed;
    // Inside a caller's transaction the caller commits.
    if (!transaction.isOpen())
        return StoreWrite::Done;
    return transaction.commit() ? StoreWrite::Done : StoreWrite::Failed;
}

std::optional<PutOffList> MessageStore::putOffs() {
    PutOffList rows;
    if (!m_db) {
        failWith(notOpen());
        return std::nullopt;
    }
    const std::optional<bool> made = hasPutOffTable();
    if (!made)
        return std::nullopt;
    if (!*made) {
        succeed();
        return rows;
    }
    Query query(*this, "SELECT id, affichage, retour, depuis FROM rappel ORDER BY id");
    int rc;
    while ((rc = query.step()) == SQLITE_ROW) {
        rows.push_back({sqlite3_column_int64(query.get(), 0), fieldText(columnValue(query.get(), 1)),
                        fieldText(columnValue(query.get(), 2)), fieldText(columnValue(query.get(), 3))});
    }
    if (!failWith(rc == SQLITE_DONE ? StoreError() : query.error()))
        return std::nullopt;
    return rows;
}

bool MessageStore::removePutOff(qint64 id) {
    if (!m_db)
        return failWith(notOpen());
    const std::optional<bool> made = hasPutOffTable();
    if (!made)
        return false;
    if (!*made)
        return succeed();
    return Query(*this, "DELETE FROM rappel WHERE id = ?").number(id).run();
}

MessageStore::Transaction::Transaction(MessageStore& store) : m_store(store) {
    if (!store.m_db) {
        store.failWith(notOpen());
        return;
    }
    if (!sqlite3_get_autocommit(store.m_db))
        return;  // one inside another: the outer one decides
    // IMMEDIATE takes the write lock now; while another program holds it, the busy wait retries for a moment.
    const int rc = sqlite3_exec(store.m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    m_open = rc == SQLITE_OK;
    if (m_open)
        store.succeed();
    else
        store.failWithEngine(sqlite3_extended_errcode(store.m_db));
}

MessageStore::Transaction::~Transaction() {
    if (m_open && m_store.m_db && !sqlite3_get_autocommit(m_store.m_db))
        sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool MessageStore::Transaction::commit() {
    if (!m_open || !m_store.m_db)
        return false;
    m_open = false;
    sqlite3* db = m_store.m_db;
    if (sqlite3_get_autocommit(db)) {
        // The engine undid the transaction after a failure: nothing of it is on the disk.
        if (m_store.m_failure.ok())
            m_store.failWith({StoreErrorKind::Other, QStringLiteral("transaction rolled back")});
        return false;
    }
    if (m_store.m_injectedFailure) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return m_store.failWithEngine(m_store.m_injectedFailure);
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return m_store.succeed();
    const StoreError error = StoreError::fromCode(sqlite3_extended_errcode(db), engineError(db));
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return m_store.failWith(error);
}

bool MessageStore::createEmpty(const QString& path, QString* error) {
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("Le fichier existe déjà: %1").arg(path));
    // Built aside, then moved into place, so that no half-made file ever carries the name.
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Database db(raw);
        if (rc != SQLITE_OK)
            return fail(raw ? engineError(raw) : QStringLiteral("Impossible de créer %1").arg(temporary));
        char* message = nullptr;
        if (sqlite3_exec(db.get(), kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
            const QString text = QString::fromUtf8(message);
            sqlite3_free(message);
            db.reset();
            QFile::remove(temporary);
            return fail(text);
        }
    }
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        return fail(QStringLiteral("Impossible de créer %1").arg(path));
    }
    return true;
}

QString MessageStore::faultText(const StoreOpenResult& result, const QString& path) {
    QString reason;
    switch (result.fault) {
        case StoreFault::None:
        case StoreFault::Missing:
            return QString();
        case StoreFault::Unreadable:
            reason = QStringLiteral("Le fichier ne peut pas être lu.");
            break;
        case StoreFault::NotADatabase:
            reason = QStringLiteral("Ce fichier n'est pas un fichier de messages.");
            break;
        case StoreFault::EmptyFile:
            reason = QStringLiteral("Le fichier est vide (0 octet): il ne contient aucune table de messages.");
            break;
        case StoreFault::Corrupt:
            reason = QStringLiteral("Le fichier est endommagé.");
            break;
        case StoreFault::NoTable:
            reason = QStringLiteral("Le fichier ne contient pas la table des messages.");
            break;
        case StoreFault::MissingColumns:
            reason = QStringLiteral("Il manque des colonnes à la table des messages: %1.").arg(result.detail);
            return withEnding(path, reason, QString());
        case StoreFault::BadKey:
            reason = QStringLiteral(
                "La colonne id de la table des messages n'est pas une clé primaire entière qui numérote ses lignes "
                "(INTEGER PRIMARY KEY, sans DESC, dans une table ordinaire): des messages pourraient avoir le même "
                "numéro, ou aucun, et le programme modifierait ou supprimerait d'autres messages que ceux voulus.");
            break;
        case StoreFault::ReadOnly:
            reason = QStringLiteral("Le fichier (ou son dossier) est protégé en écriture.");
            break;
        case StoreFault::BadPutOffTable:
            reason = QStringLiteral("La table des rappels (rappel) n'a pas la forme attendue: %1.").arg(result.detail);
            return withEnding(path, reason, QString());
        case StoreFault::Locked:
            reason = QStringLiteral(
                "Le fichier est utilisé par un autre programme. Attendez qu'il ait fini, ou fermez-le, puis "
                "relancez Tavanote.");
            break;
    }
    return withEnding(path, reason, result.detail);
}

QString MessageStore::withEnding(const QString& path, const QString& reason, const QString& detail) {
    QString text = QStringLiteral("Impossible d'utiliser le fichier contenant les messages:\n%1\n\n%2")
                       .arg(QDir::toNativeSeparators(path), reason);
    if (!detail.isEmpty())
        text += QStringLiteral("\n(%1)").arg(detail);
    return text + QStringLiteral("\n\nLe fichier n'a pas été modifié.\n\nFin du programme");
}

}  // namespace tavanote
