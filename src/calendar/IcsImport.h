#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "import/ImportGrid.h"
#include "store/Message.h"

namespace tavanote {

// An iCalendar file read for the import: its events and to-dos with a start become messages; the others are left,
// each with its reason.
struct IcsRead {
    QString error;         // the file is no calendar that can be read: the reason, and nothing else is set
    int held = 0;          // events and to-dos in the file
    MessageList messages;  // what will be imported, in file order
    QStringList left;      // one line per event left: its title and why
    QStringList notes;     // one line per change made to an imported event (time of day given, title cut)
};

IcsRead readIcs(const QByteArray& bytes);

// The box that asks to confirm: how many the file holds, how many will be imported, what is left and why.
QString icsImportSummary(const QString& fileName, const IcsRead& read);

// The messages as the import grid holds them (the eight fields, one row each), so they go through the same checks,
// duplicate question and store step as a delimited file.
ImportGrid icsImportGrid(const MessageList& messages);

}  // namespace tavanote
