#pragma once

#include <QString>
#include <QVariant>

namespace tavanote {

// Removes the blanks (spaces) at both ends; line breaks and tabs inside a text are kept.
QString trimBlanks(const QString& text);

// A missing or Null field reads as the empty text, anything else as its text trimmed of blanks.
QString fieldText(const QVariant& value);

// The leading digits of a text as a number, after leading blanks; no digit gives 0 (so "9x" is 9, "x" is 0).
qint64 leadingNumber(const QString& text);

}  // namespace tavanote
