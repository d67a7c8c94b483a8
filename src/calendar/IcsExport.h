#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "store/Message.h"

namespace tavanote {

// The messages as an iCalendar file: one event per message at its next display, in the computer's time zone (its
// VTIMEZONE included), with an alarm at the start; a periodic message repeats as Tavanote steps it. UTF-8, CR LF.
struct IcsExport {
    QByteArray bytes;
    int exported = 0;
    int startup = 0;     // shown at every start: no time to give them in a calendar
    int unreadable = 0;  // neither a next display nor a date and time that can be read
};

// source names the message file, so each message keeps its UID from one export to the next; stamp is now.
IcsExport exportIcs(const MessageList& messages, const QString& source, const QDateTime& stamp);

// What the end of the export tells about the messages left out; empty when none was.
QString icsLeftOutText(const IcsExport& result);

}  // namespace tavanote
