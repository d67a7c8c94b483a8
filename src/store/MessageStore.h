#pragma once

#include <QString>
#include <memory>

#include "store/Recordset.h"

struct sqlite3;

namespace tavanote {

// Why the message file could not be opened.
enum class StoreFault { None, Missing, Unreadable, NotADatabase, Corrupt, NoTable, ReadOnly };

struct StoreOpenResult {
    StoreFault fault = StoreFault::None;
    QString detail;  // the engine's own words, for the message shown to the user
    bool ok() const { return fault == StoreFault::None; }
};

// The one connection to messages.fdm for the whole run. Every statement is SQL text, run alone (no transaction
// spans two calls) and on the disk when the call returns.
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

    // Runs exactly one statement; text after the first statement is refused.
    Recordset run(const QString& sql);

    // Groups the statements run while it lives into one transaction: all of them reach the disk together at
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
    sqlite3* m_db = nullptr;
    QString m_path;
};

}  // namespace tavanote
