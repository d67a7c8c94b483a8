#pragma once

#include <QByteArray>
#include <QString>

namespace tavanote {

// The bytes of a text file as text: UTF-8 when they are valid UTF-8 (a byte order mark dropped), Windows-1252
// otherwise.
QString decodeImportBytes(const QByteArray& bytes);

// Files whose name ends in "rtf" (any case) are RTF documents: the window reads their plain text.
bool isRtfFileName(const QString& path);

}  // namespace tavanote
