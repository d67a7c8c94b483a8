#include "DelimitedReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringView>
#include <QTextDocument>
#include <algorithm>

#include "text/RtfReader.h"

namespace tavanote {

namespace {

QString faultyFileMessage() {
    return QStringLiteral("Le fichier que vous tentez d'importer n'est peut être pas un fichier valide ") +
           QStringLiteral(
               "ou il se peut que vous ayez mal défini la valeur du séparateur de texte ou de délimiteur de texte ce "
               "qui provoque cette erreur.") +
           QStringLiteral(
               " Recommencez l'importation mais, avant d'appuyer sur le bouton VOIR LES DONNEES, appuyez sur le "
               "bouton APERCU pour avoir un aperçu des ") +
           QStringLiteral("données du fichier et regler les options en fonction de celles-ci.");
}

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Reads a text record by record. A record is one line, or several when a quoted field holds line ends.
class RecordReader {
public:
    RecordReader(QStringView text, QStringView delimiter, QChar quote)
        : m_text(text), m_delimiter(delimiter), m_quote(quote) {}

    qsizetype position() const { return m_pos; }
    void restart() { m_pos = 0; }

    // Skips line ends; false at the end of the text.
    bool atRecord() {
        while (m_pos < m_text.size() && isLineEnd(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size();
    }

    // Reads the record at the position into fields, keeping the first keep of them (the others are read and
    // dropped), and stops at its line end. Gives the number of fields, or -1 for a quoted field never closed.
    qsizetype read(QStringList& fields, qsizetype keep) {
        fields.clear();
        qsizetype count = 0;
        qsizetype lineEnd = lineEndFrom(m_pos);
        for (;;) {
            QString quoted;
            const bool isQuoted = !m_quote.isNull() && m_pos < m_text.size() && m_text[m_pos] == m_quote;
            if (isQuoted && !readQuoted(count < keep ? &quoted : nullptr))
                return -1;
            if (m_pos > lineEnd)
                lineEnd = lineEndFrom(m_pos);
            // The rest of the field runs to the delimiter or the line end; after a quoted part it is kept as it is.
            const QStringView rest = m_text.mid(m_pos, lineEnd - m_pos);
            const qsizetype found = rest.indexOf(m_delimiter);
            const qsizetype length = found < 0 ? rest.size() : found;
            if (count < keep)
                fields.append(isQuoted ? quoted.append(rest.left(length)) : rest.left(length).toString());
            ++count;
            m_pos += length;
            if (found < 0)
                return count;
            m_pos += m_delimiter.size();
        }
    }

private:
    qsizetype lineEndFrom(qsizetype pos) const {
        while (pos < m_text.size() && !isLineEnd(m_text[pos]))
            ++pos;
        return pos;
    }

    // From an opening quote to its closing one; a doubled quote inside stands for one.
    bool readQuoted(QString* out) {
        ++m_pos;
        for (;;) {
            const qsizetype close = m_text.indexOf(m_quote, m_pos);
            if (close < 0)
                return false;
            if (out)
                out->append(m_text.mid(m_pos, close - m_pos));
            m_pos = close + 1;
            if (m_pos < m_text.size() && m_text[m_pos] == m_quote) {
                if (out)
                    out->append(m_quote);
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    QStringView m_text;
    QStringView m_delimiter;
    QChar m_quote;
    qsizetype m_pos = 0;
};

DelimitedRead faulty() {
    DelimitedRead result;
    result.status = ReadStatus::Faulty;
    result.message = faultyFileMessage();
    return result;
}

}  // namespace

QString delimiterRefusal(const DelimitedOptions& options) {
    if (options.fieldDelimiter.isEmpty())
        return QStringLiteral(
            "Vous avez choisi un délimiteur de champ personnalisé.\nSaisissez un caractère dans la zone de texte "
            "adéquate.");
    if (options.textDelimiter.toLower() == options.fieldDelimiter.toLower())
        return QStringLiteral(
            "Vous avez choisi un délimiteur de texte et un délimiteur de champ identiques.\nCeux-ci doivent "
            "obligatoirement être différents.");
    return QString();
}

ImportFileText readImportFile(const QString& path) {
    ImportFileText result;
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral(
            "Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce dernier existe ou que le "
            "nom est correct.");
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (isRtfFileName(path)) {
        QTextDocument document;
        readRtf(bytes, document);
        result.text = document.toPlainText();
    } else {
        result.text = decodeImportBytes(bytes);
    }
    return result;
}

DelimitedRead readDelimited(const QString& text, const DelimitedOptions& options) {
    DelimitedRead result;
    if (text.isEmpty()) {
        result.message = QStringLiteral("Il n'existe aucune donnée dans le fichier à importer.");
        return result;
    }
    // A text file holds no NUL character: this one is binary (or UTF-16, which the import does not read).
    if (text.contains(QChar(0)) || options.fieldDelimiter.isEmpty())
        return faulty();

    const QChar quote = options.textDelimiter.size() == 1 ? options.textDelimiter.at(0) : QChar();
    RecordReader reader(text, options.fieldDelimiter, quote);

    // The first line gives the number of columns (none when it is empty) and, when asked, their names.
    QStringList first;
    qsizetype columns = 0;
    if (!isLineEnd(text.at(0))) {
        columns = reader.read(first, kMaxImportColumns + 1);
        if (columns < 0 || columns > kMaxImportColumns)
            return faulty();
    }
    if (!options.namesOnFirstLine)
        reader.restart();

    const int gridColumns = std::max(static_cast<int>(columns) + 1, ImportGrid::kMinimumColumns);
    ImportGrid& grid = result.grid;
    grid = ImportGrid(gridColumns, options.namesOnFirstLine ? 750 : 1000);
    grid.setWidth(0, options.namesOnFirstLine ? 200 : ImportGrid::kNumberWidth);
    const QStringList& fields = importFieldNames();
    if (options.namesOnFirstLine) {
        result.foundNames = first;
        for (int c = 1; c <= columns; ++c)
            grid.setHeader(c, first.at(c - 1));
    } else {
        result.foundNames = fields;
        for (int c = 1; c <= std::min<int>(columns, fields.size()); ++c)
            grid.setHeader(c, fields.at(c - 1));
    }

    QStringList cells;
    while (reader.atRecord()) {
        const qsizetype count = reader.read(cells, columns);
        if (count < 0 || count < columns)
            return faulty();
        grid.appendRow(std::move(cells));
    }
    if (grid.dataRowCount() > 0) {
        for (int c = 0; c < gridColumns; ++c)
            grid.setWidth(c, c == 0 ? ImportGrid::kNumberWidth : ImportGrid::kDataWidth);
    }
    result.status = ReadStatus::Read;
    return result;
}

}  // namespace tavanote
