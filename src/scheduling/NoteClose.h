#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace tavanote {

class MessageStore;
class SettingsStore;

// What a note knows of its message: the fields it was opened with and the moment it appeared.
struct NoteFields {
    qint64 id = 0;
    QString title;
    QString code;           // periodicite as stored
    QString lastDisplay;    // dernieraffichage as stored: the end of the series
    QDateTime displayedAt;  // naive instant the note appeared, at the minute
};

// What closing a note does to its message and what the user is told.
struct NoteCloseOutcome {
    enum Kind { Deleted, AtStart, Rescheduled, Expired };
    Kind kind = Expired;
    QString text;                    // the box shown
    std::optional<QDateTime> next;   // the new next display when rescheduled
    bool tellBeforeWriting = false;  // the box comes before the store changes
};

// The fate of a message whose note closes at now. An end that cannot be read is a series with no end: the
// message goes on.
NoteCloseOutcome decideNoteClose(const NoteFields& note, const QDateTime& now, const QString& suppression,
                                 bool deletingDisplayed);

// Writes the outcome to the store, all of it or nothing. False when a statement failed.
bool writeNoteClose(MessageStore& store, const SettingsStore& settings, qint64 id, const NoteCloseOutcome& outcome);

// The question asked before a note closes when "confirmation fermeture" is "1".
QString noteCloseQuestion();

}  // namespace tavanote
