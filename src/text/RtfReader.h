#pragma once

#include <QByteArray>

class QTextDocument;

namespace tavanote {

// Reads RTF into doc, replacing its content: paragraphs, line breaks, tabs, bold, italic, underline, colour, size,
// font and paragraph alignment. Anything else (pictures, tables, fields, unknown destinations) is skipped. Any input
// is accepted without a crash or a hang: unbalanced braces, huge numbers, deep nesting, truncated or binary data.
// Returns false when the data does not start as RTF ("{\rtf"); it is read all the same.
bool readRtf(const QByteArray& rtf, QTextDocument& doc);

}  // namespace tavanote
