#pragma once

#include <QByteArray>
#include <QString>

#include "store/Message.h"

class QTextDocument;

namespace tavanote {

enum class ExportFormat { Rtf, Text, Html, Csv, Ics, Refused };

// The save dialog's filters, in Qt's syntax, RTF first.
QString exportFilter();
// The name with the extension of the chosen filter (".rtf" when none is known) added when its file name has none.
QString withDefaultExtension(const QString& path, const QString& chosenFilter = QString());
// The format chosen by the last three characters of the name, lower-cased: "rtf", "txt", "htm", "csv" or "ics";
// anything else (".html" included) is refused.
ExportFormat exportFormatFor(const QString& path);

// The file contents of each format.
QByteArray exportRtf(const QTextDocument& doc);
QByteArray exportText(const QTextDocument& doc);  // UTF-8, CR LF
QByteArray exportHtml(const QTextDocument& doc);  // UTF-8 with a byte order mark
// The messages as semicolon-separated values, UTF-8 with a byte order mark; empty when there is none (no file is
// written then).
QByteArray exportCsv(const MessageList& messages);

// What the search says when the text is not found (again): foundCount finds since the search text changed.
QString notFoundMessage(qint32 foundCount);

}  // namespace tavanote
