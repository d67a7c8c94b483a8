#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "common/Preferences.h"
#include "store/Message.h"

namespace tavanote {

class MessageStore;

// What closing a note does to its message and what the user is told.
struct NoteCloseOutcome {
    enum Kind { Deleted, AtStart, Rescheduled, Expired };
    Kind kind = Expired;
    QString text;                    // the box shown
    std::optional<QDateTime> next;   // the new next display when rescheduled
    bool tellBeforeWriting = false;  // the box comes before the store changes
};

// The fate of a message whose note appeared at displayedAt (a naive instant, at the minute) and closes at now.
// An end that cannot be read is a series with no end: the message goes on.
NoteCloseOutcome decideNoteClose(const Message& message, const QDateTime& displayedAt, const QDateTime& now,
                                 Expiry expiry, bool deletingDisplayed);

// Writes the outcome to the store, all of it or nothing. False when a write failed.
bool writeNoteClose(MessageStore& store, Expiry expiry, qint64 id, const NoteCloseOutcome& outcome);

// The question asked before a note closes when "confirmation fermeture" is "1".
QString noteCloseQuestion();

}  // namespace tavanote
