#pragma once

#include <QByteArray>

class QTextDocument;

namespace tavanote {

// The document as RTF, code page 1252: font and colour tables, the paragraphs with their alignment, and each run
// with its bold, italic, underline, size, colour and font. Characters outside cp1252 are written as \uN with "?"
// for readers that do not know them.
QByteArray writeRtf(const QTextDocument& doc);

}  // namespace tavanote
