#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

#include "store/Message.h"
#include "store/PutOff.h"
#include "store/StoreError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tavanote {

// Why the message file could not be opened.
enum class StoreFault {
    None,
    Missing,
    Unreadable,
    NotADatabase,
    EmptyFile,  // zero bytes long
    Corrupt,
    NoTable,         // no table message
    MissingColumns,  // a table message without some of its columns (detail names them)
    BadKey,          // id is not an integer primary key: a row could not be told from another
    ReadOnly,
    Locked,          // another program holds the file, and did not let go within a few seconds
    BadPutOffTable,  // a table rappel without the columns or the key of ours (detail says which)
};

struct StoreOpenResult {
    StoreFault fault = StoreFault::None;
    QString detail;  // the engine's own words (or the missing columns), for the message shown to the user
    bool ok() const { return fault == StoreFault::None; }
};

// What an update did.
enum class StoreWrite { Done, Gone, Failed };

// The one connection to messages.fdm for the whole run, with one method per operation on the table. Every value
// is bound as a parameter; every call is its own transaction (unless a Transaction is open) and is on the disk
// when it returns. Rows are read by the field-to-text rule; texts are written as given (the empty text for a
// null one): the callers trim what the user typed. A call that fails says so in its result and leaves why in
// failure() (the engine's words alone in lastError()); a call that succeeds clears it. While another program
// writes to the file, a call waits for it up to kBusyWaitMs before it fails as InUse.
class MessageStore {
public:
    static constexpr int kBusyWaitMs = 1500;
    // How long open() waits for a file another program holds locked.
    static constexpr int kOpenWaitMs = 4000;

    MessageStore();
    ~MessageStore();
    MessageStore(const MessageStore&) = delete;
    MessageStore& operator=(const MessageStore&) = delete;

    // The file's path in a program folder given with or without its trailing separator.
    static QString pathIn(const QString& programFolder);

    // Opens an existing message file; never creates, repairs or changes one that is not a message file.
    StoreOpenResult open(const QString& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    // A number that changes whenever the file changes, by this connection or another; it costs no statement.
    quint64 dataVersion() const;

    // Adds a message (its id is ignored) and gives the id the store assigned it; nothing when it failed.
    std::optional<qint64> insert(const Message& message);
    // Adds every message, all of them or none; ids, when given, receives the id of each in turn.
    bool insertAll(const MessageList& messages, std::vector<qint64>* ids = nullptr);
    // Rewrites the eight fields of the row message.id; Gone when there is no such row.
    StoreWrite update(const Message& message);
    // Deleting a row that is gone already is no fault.
    bool remove(qint64 id);
    bool setState(qint64 id, const QString& etat);
    bool setNextDisplay(qint64 id, const QString& when);  // "dd/mm/yyyy hh:mm"

    // Nothing when the row is gone or the read failed (lastError() tells them apart).
    std::optional<Message> find(qint64 id);
    // Every message in id order.
    std::optional<MessageList> all();
    // The messages of one state, in id order or in French title order.
    std::optional<MessageList> withState(const QString& etat, MessageOrder order, FieldText text = FieldText::Trimmed);
    // Active messages whose next display is one of the given minutes ("dd/mm/yyyy hh:mm"), in id order.
    std::optional<MessageList> activeAt(const QSet<QString>& minutes);
    // The messages shown at every start (periodicity 9), whatever their state, in id order.
    std::optional<MessageList> startupMessages();

    // Notes put off, in the table rappel beside message: made on first use, so that the table message keeps the
    // form the previous version reads. Writes the message's state (displayed) and its put-off row in one
    // transaction; Gone, with nothing written, when the message is not there.
    StoreWrite putOff(const PutOff& row);
    // Every put-off row, in id order; none when the file has no table rappel.
    std::optional<PutOffList> putOffs();
    // Forgets a message's put-off row; no fault when there is none, or no table.
    bool removePutOff(qint64 id);

    const StoreError& failure() const { return m_failure; }
    const QString& lastError() const { return m_failure.words; }
    // True while a Transaction is open; false again when the engine undid it after a failure.
    bool inTransaction() const;

    // For tests of a full or protected disk: every write from now on fails as the engine would with this SQLite
    // result code (SQLITE_FULL, SQLITE_READONLY...), changing nothing; 0 lets writes through again.
    void failWritesWith(int code) { m_injectedFailure = code; }

    // Groups the calls made while it lives into one transaction: all of them reach the disk together at
    // commit(), or none does. Without commit() they are rolled back.
    class Transaction {
    public:
        explicit Transaction(MessageStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool commit();
        // False when the transaction could not begin (the file stayed locked for kBusyWaitMs): run nothing then;
        // the store's failure() says why.
        bool isOpen() const { return m_open; }

    private:
        MessageStore& m_store;
        bool m_open = false;
    };

    // Makes an empty message file at path; refuses to touch a file that is already there.
    static bool createEmpty(const QString& path, QString* error);

    // The French explanation of an open fault, naming the file.
    static QString faultText(const StoreOpenResult& result, const QString& path);

private:
    class Query;
    static QString withEnding(const QString& path, const QString& reason, const QString& detail);
    bool failWith(const StoreError& error);
    bool failWithEngine(int code);
    bool succeed() { return failWith(StoreError()); }
    std::optional<MessageList> readList(Query& query, FieldText text = FieldText::Trimmed);
    std::optional<bool> hasPutOffTable();  // nothing when the read failed

    sqlite3* m_db = nullptr;
    // Statements prepared once and kept for the run, by their text: the due check's tick then costs no
    // compilation. A statement in use by a query is taken out while it runs.
    QHash<QByteArray, sqlite3_stmt*> m_statements;
    QString m_path;
    StoreError m_failure;
    int m_injectedFailure = 0;
};

}  // namespace tavanote
