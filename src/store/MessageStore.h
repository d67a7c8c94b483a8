#pragma once

#include <QSet>
#include <QString>
#include <memory>
#include <optional>

#include "store/Message.h"

struct sqlite3;

namespace tavanote {

// Why the message file could not be opened.
enum class StoreFault { None, Missing, Unreadable, NotADatabase, Corrupt, NoTable, ReadOnly };

struct StoreOpenResult {
    StoreFault fault = StoreFault::None;
    QString detail;  // the engine's own words, for the message shown to the user
    bool ok() const { return fault == StoreFault::None; }
};

// What an update did.
enum class StoreWrite { Done, Gone, Failed };

// The one connection to messages.fdm for the whole run, with one method per operation on the table. Every value
// is bound as a parameter; every call is its own transaction (unless a Transaction is open) and is on the disk
// when it returns. Rows are read by the field-to-text rule; texts are written as given (the empty text for a
// null one): the callers trim what the user typed. A call that
// fails says so in its result and leaves the engine's words in lastError(); a call that succeeds clears it.
class MessageStore {
public:
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
    // Adds every message, all of them or none.
    bool insertAll(const MessageList& messages);
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
    std::optional<MessageList> withState(const QString& etat, MessageOrder order);
    // Active messages whose next display is one of the given minutes ("dd/mm/yyyy hh:mm"), in id order.
    std::optional<MessageList> activeAt(const QSet<QString>& minutes);
    // The messages shown at every start (periodicity 9), whatever their state, in id order.
    std::optional<MessageList> startupMessages();

    const QString& lastError() const { return m_error; }

    // Groups the calls made while it lives into one transaction: all of them reach the disk together at
    // commit(), or none does. Without commit() they are rolled back.
    class Transaction {
    public:
        explicit Transaction(MessageStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool commit();
        // False when the transaction could not begin (the file is locked): run nothing then.
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
    bool failWith(const QString& error);
    std::optional<MessageList> readList(Query& query);

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_error;
};

}  // namespace tavanote
