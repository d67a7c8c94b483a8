#pragma once

#include <QChar>

namespace tavanote {

// Windows code page 1252, the code page of RTF files written on French systems.
QChar cp1252ToUnicode(unsigned char byte);
// The cp1252 byte of c, or -1 when the code page has none.
int unicodeToCp1252(QChar c);

}  // namespace tavanote
