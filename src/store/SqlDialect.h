#pragma once

#include <QString>

namespace tavanote {

// The program writes its statements in the forms of its original store. This maps the few forms SQLite
// does not take, with the same effect, and leaves every other text as written:
// - "DELETE * FROM t" becomes "DELETE FROM t";
// - "INSERT INTO message VALUES (...)" names the eight columns after id, so the store numbers the row;
// - "ORDER BY titre" sorts titles as a French reader expects (case and accents folded).
QString mapStatement(const QString& sql);

// The columns of the table after id, in the order the value-only inserts give their values.
extern const char* const kValueColumns;

}  // namespace tavanote
