#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

namespace tavanote {

// Windows code page 1252, the code page of RTF files written on French systems.
QChar cp1252ToUnicode(unsigned char byte);
// The cp1252 byte of c, or -1 when the code page has none.
int unicodeToCp1252(QChar c);
// Bytes read as Windows-1252.
QString decodeCp1252(const QByteArray& bytes);

}  // namespace tavanote
