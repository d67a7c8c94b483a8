#pragma once

#include <QString>

namespace tavanote {

// Why a statement on the message file failed, as the user needs to hear it.
enum class StoreErrorKind {
    None,
    DiskFull,        // no room left on the disk
    InUse,           // another program holds the file
    WriteProtected,  // the file, its folder or the disk cannot be written
    DiskError,       // the disk failed to read or write
    Damaged,         // the file is not a sound database any more
    Refused,         // the row breaks a rule of the table (a title over 30 characters...)
    NotOpen,         // the file was never opened
    Other,
};

struct StoreError {
    StoreErrorKind kind = StoreErrorKind::None;
    QString words;  // the engine's own words (or, for a refused row, the rule it breaks, in French)

    bool ok() const { return kind == StoreErrorKind::None; }
    // From an SQLite result code (primary or extended).
    static StoreError fromCode(int code, const QString& words);
};

// What the failure means, in French: one sentence of what happened, then the engine's words between brackets.
QString storeErrorText(const StoreError& error);

// One box's text: what could not be done and what it means for the messages, then why.
QString storeFailureText(const QString& action, const StoreError& error);

}  // namespace tavanote
