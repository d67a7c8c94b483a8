#include "MessageStore.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/FileExists.h"
#include "store/SqlDialect.h"

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

QString engineError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Titles sort with case and accents folded ("école" beside "Ecole", before "Fête"); equal folds fall back
// to the plain order so that the sort stays total.
QString frenchKey(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
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

bool onlyBlanks(const char* text) {
    for (; text && *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n' && *text != ';')
            return false;
    }
    return true;
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
    const QByteArray nativePath = QFile::encodeName(path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(nativePath.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK)
        return {StoreFault::Unreadable, raw ? engineError(raw) : QString()};
    sqlite3_busy_timeout(db.get(), 2000);

    // Read the file before anything could write to it: a file that is not ours is left as it is.
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
        if (checkRc == SQLITE_NOTADB)
            return {StoreFault::NotADatabase, engineError(db.get())};
        if (checkRc == SQLITE_CORRUPT || (checkRc == SQLITE_ROW && verdict != QLatin1String("ok")))
            return {StoreFault::Corrupt, verdict.isEmpty() ? engineError(db.get()) : verdict};
        if (checkRc != SQLITE_ROW && checkRc != SQLITE_DONE)
            return {StoreFault::Unreadable, engineError(db.get())};
    }
    {
        sqlite3_stmt* rawInfo = nullptr;
        if (sqlite3_prepare_v2(db.get(), "PRAGMA table_info(message)", -1, &rawInfo, nullptr) != SQLITE_OK)
            return {StoreFault::Unreadable, engineError(db.get())};
        Statement info(rawInfo);
        QStringList found;
        while (sqlite3_step(info.get()) == SQLITE_ROW)
            found << columnValue(info.get(), 1).toString().toLower();
        for (const char* column : kColumns) {
            if (!found.contains(QLatin1String(column)))
                return {StoreFault::NoTable, QString()};
        }
    }
    const QFileInfo fileInfo(path);
    if (sqlite3_db_readonly(db.get(), "main") == 1 || !fileInfo.isWritable() ||
        !QFileInfo(fileInfo.absolutePath()).isWritable())
        return {StoreFault::ReadOnly, QString()};

    // A rollback journal with a full sync: a statement that returned is on the disk, and a write cut short by a
    // crash or a power loss is rolled back at the next open.
    sqlite3_exec(db.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db.get(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_create_collation(db.get(), "FRENCH", SQLITE_UTF8, nullptr, frenchCompare);
    m_db = db.release();
    m_path = path;
    return {};
}

void MessageStore::close() {
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

Recordset MessageStore::run(const QString& sql) {
    if (!m_db)
        return Recordset::failed(QStringLiteral("Le fichier des messages n'est pas ouvert."));
    const QByteArray text = mapStatement(sql).toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()) + 1, &raw, &tail) != SQLITE_OK)
        return Recordset::failed(engineError(m_db));
    Statement stmt(raw);
    if (!stmt)
        return Recordset::failed(QStringLiteral("L'instruction est vide."));
    if (!onlyBlanks(tail))
        return Recordset::failed(QStringLiteral("Une seule instruction est permise à la fois."));

    const int columnCount = sqlite3_column_count(stmt.get());
    QStringList columns;
    for (int c = 0; c < columnCount; ++c)
        columns << QString::fromUtf8(sqlite3_column_name(stmt.get(), c));
    std::vector<std::vector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(static_cast<size_t>(columnCount));
        for (int c = 0; c < columnCount; ++c)
            row.push_back(columnValue(stmt.get(), c));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        if (sqlite3_extended_errcode(m_db) == SQLITE_CONSTRAINT_CHECK)
            return Recordset::failed(QStringLiteral("Le titre ne doit pas dépasser 30 caractères."));
        return Recordset::failed(engineError(m_db));
    }
    return Recordset(std::move(columns), std::move(rows));
}

MessageStore::Transaction::Transaction(MessageStore& store) : m_store(store) {
    m_open = store.m_db && sqlite3_get_autocommit(store.m_db) &&
             sqlite3_exec(store.m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

MessageStore::Transaction::~Transaction() {
    if (m_open && m_store.m_db)
        sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool MessageStore::Transaction::commit() {
    if (!m_open || !m_store.m_db)
        return false;
    m_open = false;
    if (sqlite3_exec(m_store.m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
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
        case StoreFault::Corrupt:
            reason = QStringLiteral("Le fichier est endommagé.");
            break;
        case StoreFault::NoTable:
            reason = QStringLiteral("Le fichier ne contient pas la table des messages.");
            break;
        case StoreFault::ReadOnly:
            reason = QStringLiteral("Le fichier (ou son dossier) est protégé en écriture.");
            break;
    }
    QString text = QStringLiteral("Impossible d'utiliser le fichier contenant les messages:\n%1\n\n%2")
                       .arg(QDir::toNativeSeparators(path), reason);
    if (!result.detail.isEmpty())
        text += QStringLiteral("\n(%1)").arg(result.detail);
    return text + QStringLiteral("\n\nLe fichier n'a pas été modifié.\n\nFin du programme");
}

}  // namespace tavanote
