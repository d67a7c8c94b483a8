#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "store/Message.h"

namespace tavanote {

class MessageStore;

// The editor's fields as they are written.
struct EditorFields {
    QString titre;
    QString texte;
    QString date;
    QString heure;
    QString dateFin;
    int code = 0;  // the periodicity: the index of the chosen entry
};

// The ten periodicity choices, in code order.
const QStringList& periodicityChoices();

// The units between the second display and the end date (taken at midnight), in the unit of the code's step:
// hours, days, weeks (Sunday to Sunday), months or years; negative when the end comes first.
qint64 repeatCount(int code, const QDateTime& firstDisplay, const QDate& endDate);
// The step's number of units: at or below it, the message would hardly show more than once.
int repeatThreshold(int code);

enum class EditorField { None, Titre, Texte, Date, Heure, DateFin };

// The first fault found in the editor's fields: the text shown and the field that gets the focus. A question
// (the repeat warning) is asked with Yes and No; Yes lets the message be saved.
struct EditorFault {
    EditorField field = EditorField::None;
    QString text;
    bool selectText = false;  // a date or time that is not one: its text is selected for typing over
    bool question = false;
};

// Trims the fields and empties those the periodicity does not use, then checks them in the editor's order
// against now; nothing when they may be written.
std::optional<EditorFault> checkEditorFields(EditorFields& fields, const QDateTime& now);

// The message the checked fields make: active, next displayed at its date and time, its series ending on the
// end date at the same time of day.
Message editorMessage(const EditorFields& fields);

// The fields of a stored message as the editor shows them; nothing when it is gone or cannot be read.
std::optional<EditorFields> loadEditorFields(MessageStore& store, qint64 id);

// What saving did: for Saved, the id of the message written; otherwise the text shown to the user.
struct EditorSaveResult {
    enum Kind { Saved, Gone, Displayed, Failed };
    Kind kind = Failed;
    qint64 id = 0;
    QString text;
};

// Writes checked fields: a new message when id is 0, else the message id, refused when it has gone or is on
// screen meanwhile.
EditorSaveResult saveEditorFields(MessageStore& store, const EditorFields& fields, qint64 id);

// The text shown when the message being modified no longer exists.
QString messageGoneText();

}  // namespace tavanote
