#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "import/ImportGrid.h"
#include "text/TextFiles.h"

namespace tavanote {

// The delimiters and the name line chosen in the import window's options.
struct DelimitedOptions {
    QString fieldDelimiter = QStringLiteral(";");  // tab, ";", ",", blank, or the other delimiter typed (any length)
    QString textDelimiter;                         // "'", "\"", or empty for "{Aucun}"
    bool namesOnFirstLine = false;
};

// Refuses options the reading cannot use: an empty other delimiter, or a text delimiter equal to the field
// delimiter. Gives the message to show, or the empty text.
QString delimiterRefusal(const DelimitedOptions& options);

// The text of an import file (the plain text of an RTF document), or why it cannot be read (a missing file, a
// folder, an unreadable file): then text is empty and error holds the message to show.
struct ImportFileText {
    QString text;
    QString error;
};
ImportFileText readImportFile(const QString& path);

enum class ReadStatus {
    Read,    // grid holds the file
    NoData,  // the text is empty: say so, the window is unchanged
    Faulty,  // the error path: say so, then return to the collapsed window
};

struct DelimitedRead {
    ReadStatus status = ReadStatus::NoData;
    QString message;         // what to show when the status is not Read
    ImportGrid grid;         // at least ImportGrid::kMinimumColumns columns when read
    QStringList foundNames;  // lstChampsTrouves: the names of the first line, or the eight field names
};

// Reads a delimited text (already decoded; an RTF document already turned into its plain text) into the grid.
// CR LF, LF and CR alone each end a line; empty lines are skipped. With a text delimiter, a field that begins
// with it ends at the next lone one, a doubled one inside stands for one, delimiters and line ends inside belong
// to the field, and the enclosing quotes are removed. Without one, quotes are ordinary characters.
DelimitedRead readDelimited(const QString& text, const DelimitedOptions& options);

// The columns a reading accepts: a wider first line is no message file.
inline constexpr int kMaxImportColumns = 1000;

}  // namespace tavanote
