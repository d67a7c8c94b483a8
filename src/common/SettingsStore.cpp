#include "SettingsStore.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <climits>

namespace tavanote {

namespace {

// Names go through two layers, both kept from the files earlier versions wrote with QSettings. The program's own
// layer hides "/", "\" and "%" (the INI layer reads "/" and "\" as group separators); the INI layer then writes
// every byte but letters, digits, "_", "-" and "." as %XX (or %UXXXX).
QString encodeName(const QString& name) {
    QString encoded;
    encoded.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('%'))
            encoded += QLatin1String("%25");
        else if (c == QLatin1Char('/'))
            encoded += QLatin1String("%2F");
        else if (c == QLatin1Char('\\'))
            encoded += QLatin1String("%5C");
        else
            encoded += c;
    }
    return encoded;
}

QString decodeName(const QString& encoded) {
    QString name;
    name.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) == QLatin1Char('%') && i + 2 < encoded.size()) {
            const QStringView code = QStringView(encoded).mid(i + 1, 2);
            if (code == QLatin1String("25") || code == QLatin1String("2F") || code == QLatin1String("5C")) {
                name += code == QLatin1String("25")
                            ? QLatin1Char('%')
                            : (code == QLatin1String("2F") ? QLatin1Char('/') : QLatin1Char('\\'));
                i += 2;
                continue;
            }
        }
        name += encoded.at(i);
    }
    return name;
}

// UTF-8 as written: a U+FEFF at the start is a character of the text (QString::fromUtf8 would drop it).
QString utf8Text(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

constexpr char kHex[] = "0123456789ABCDEF";

QByteArray iniKey(const QString& key) {
    QByteArray out;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
                   c == u'-' || c == u'.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHex[c / 16];
            out += kHex[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

QString fromIniKey(const QByteArray& raw) {
    const QString text = utf8Text(raw);
    QString key;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == QLatin1Char('%') && i + 1 < text.size()) {
            const bool wide = text.at(i + 1) == QLatin1Char('U');
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            bool ok = false;
            const ushort code = first + digits <= text.size() ? text.mid(first, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                key += QChar(code);
                i = first + digits;
                continue;
            }
        }
        key += c;
        ++i;
    }
    return key;
}

QByteArray iniValue(const QString& value) {
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out;
    bool quoted = false;
    bool escapeHexDigit = false;  // after \0 or \xNN a following hex digit would join the number
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u';' || c == u',' || c == u'=')
            quoted = true;
        if (escapeHexDigit && ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        static constexpr char kNamed[][2] = {{'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'}, {'\n', 'n'}, {'\r', 'r'},
                                             {'\t', 't'}, {'\v', 'v'}, {'"', '"'},  {'\\', '\\'}};
        const auto named = std::find_if(std::begin(kNamed), std::end(kNamed), [c](const char* e) { return e[0] == c; });
        if (c == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (named != std::end(kNamed)) {
            out += '\\';
            out += (*named)[1];
        } else if (c <= 0x1F || c == 0xFEFF) {
            // U+FEFF as it is would be taken for a byte order mark and dropped by QSettings
            out += "\\x" + QByteArray::number(c, 16);
            escapeHexDigit = true;
        } else if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            out += text.mid(i, 2).toUtf8();
            ++i;
        } else {
            out += QString(text.at(i)).toUtf8();
        }
    }
    if (quoted || out.startsWith(' ') || out.endsWith(' '))
        return '"' + out + '"';
    return out;
}

void chopBlanks(QString& text, qsizetype limit) {
    while (text.size() > limit && (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'))))
        text.chop(1);
}

// A value as QSettings reads it: quotes, C escapes, and unquoted commas making a list.
QStringList fromIniValue(const QByteArray& raw) {
    QStringList items;
    QString item;
    bool inQuotes = false;
    bool itemQuoted = false;
    qsizetype i = 0;
    qsizetype chopLimit = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
        chopLimit = item.size();
    };
    const auto number = [&](int base, int maxDigits) {
        uint code = 0;
        for (int n = 0; n < maxDigits && i < raw.size(); ++n, ++i) {
            const int digit = QByteArray(1, raw.at(i)).toInt(nullptr, 16);
            const bool isDigit = QByteArray("0123456789abcdefABCDEF").indexOf(raw.at(i)) >= 0;
            if (!isDigit || digit >= base)
                break;
            code = code * base + digit;
        }
        item += QChar(char16_t(code));
        chopLimit = item.size();
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw.at(i);
        if (c == '\\') {
            if (++i >= raw.size())
                break;
            const char e = raw.at(i++);
            static const QByteArray kFrom("abfnrtv\"?'\\");
            static const QByteArray kTo("\a\b\f\n\r\t\v\"?'\\");
            if (kFrom.indexOf(e) >= 0) {
                item += QLatin1Char(kTo.at(kFrom.indexOf(e)));
            } else if (e == 'x') {
                if (i < raw.size() && QByteArray("0123456789abcdefABCDEF").indexOf(raw.at(i)) >= 0)
                    number(16, INT_MAX);
            } else if (e >= '0' && e <= '7') {
                --i;
                number(8, INT_MAX);
            } else if ((e == '\n' || e == '\r') && i < raw.size() && (raw.at(i) == '\n' || raw.at(i) == '\r') &&
                       raw.at(i) != e) {
                ++i;
            }
            chopLimit = item.size();
        } else if (c == '"') {
            ++i;
            itemQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (!itemQuoted)
                chopBlanks(item, chopLimit);
            items << item;
            item.clear();
            itemQuoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw.at(j) != '\\' && raw.at(j) != '"' && raw.at(j) != ',')
                ++j;
            item += utf8Text(QByteArrayView(raw).sliced(i, j - i));
            i = j;
        }
    }
    if (!itemQuoted)
        chopBlanks(item, chopLimit);
    items << item;
    return items;
}

// The text of one item, with the typed forms QSettings gives a leading "@".
QString valueText(const QString& item) {
    if (!item.startsWith(QLatin1Char('@')))
        return item;
    if (item.startsWith(QLatin1String("@@")))
        return item.mid(1);
    if (!item.endsWith(QLatin1Char(')')))
        return item;
    if (item.startsWith(QLatin1String("@ByteArray(")))
        return utf8Text(item.mid(11).chopped(1).toLatin1());
    if (item.startsWith(QLatin1String("@String(")))
        return item.mid(8).chopped(1);
    for (const char* prefix : {"@Variant(", "@DateTime("}) {
        if (item.startsWith(QLatin1String(prefix))) {
            const QByteArray bytes = item.mid(qstrlen(prefix)).chopped(1).toLatin1();
            // Only the plain types: a list or a map would reserve whatever count the file claims, gigabytes included.
            static constexpr quint32 kPlainTypes[] = {1, 2, 3, 4, 5, 6, 7, 10, 12, 14, 15, 16};
            const quint32 type = bytes.size() < 4 ? 0 : qFromBigEndian<quint32>(bytes.constData());
            if (std::find(std::begin(kPlainTypes), std::end(kPlainTypes), type) == std::end(kPlainTypes))
                return QString();
            QDataStream stream(bytes);
            stream.setVersion(QDataStream::Qt_4_0);
            QVariant variant;
            stream >> variant;
            return variant.toString();
        }
    }
    for (const char* prefix : {"@Rect(", "@Size(", "@Point(", "@Invalid("}) {
        if (item.startsWith(QLatin1String(prefix)))
            return QString();
    }
    return item;
}

// One line (or a quoted value running over several) as QSettings cuts the file: [start, end) holds it without
// the blanks, blank lines and ";" comments before it, which belong to it all the same. A line the data ends in
// the middle of (a quote left open, a "\" as last byte, a "\" and "\r" awaiting their "\n") gives in `open` what
// ends it whatever follows.
bool nextLine(const QByteArray& data, qsizetype& pos, qsizetype& start, qsizetype& equals, QByteArray* open = nullptr) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    bool inQuotes = false;
    equals = -1;
    start = pos;
    while (start < data.size() && blank(data.at(start)))
        ++start;
    qsizetype i = start;
    while (i < data.size()) {
        const char c = data.at(i++);
        if (c == '=') {
            if (!inQuotes && equals == -1)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < data.size()) {
                const char next = data.at(i++);
                if (i < data.size() && ((next == '\n' && data.at(i) == '\r') || (next == '\r' && data.at(i) == '\n')))
                    ++i;
                else if (open && i == data.size() && next == '\r')
                    *open += '\n';  // a "\n" coming next would join the "\r" and carry on the line
            } else if (open) {
                *open += '\\';  // the "\" that ends the data is to go: it reads as nothing
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < data.size() && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < data.size() && blank(data.at(i)))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    if (open && inQuotes)
        *open += '"';
    pos = i;
    return i > start;
}

// What ends the last line of the data when the data stops inside it; empty when it ends as a line should.
QByteArray openEnd(const QByteArray& data) {
    QByteArray open;
    qsizetype pos = 0;
    qsizetype start = 0;
    qsizetype equals = -1;
    while (nextLine(data, pos, start, equals, &open)) {
    }
    return open;
}

// What stays of a line or a section the program drops: the comments before it, without the line breaks that
// led to it.
QByteArray keptBefore(const QByteArray& raw, qsizetype lead) {
    QByteArray kept = raw.left(lead);
    while (!kept.isEmpty() && QByteArrayView(" \t\r\n\f\v").contains(kept.back()))
        kept.chop(1);
    return kept;
}

}  // namespace

// The file as a list of pieces, each kept as it was read until the program changes it.
struct SettingsStore::File {
    struct Line {
        QByteArray raw;      // with the line breaks, blanks and comments before it
        qsizetype lead = 0;  // how many bytes of raw come before the line itself
        bool isEntry = false;
        QString key;  // as the INI layer reads it
        QString value;
    };
    struct Section {
        bool named = false;  // false for the lines before any header, and for [General]
        QString name;        // as the INI layer reads it
        QByteArray header;   // empty for the lines before any header
        qsizetype lead = 0;  // how many bytes of header come before the header line
        QList<Line> lines;
    };

    QString path;
    QList<Section> sections{Section()};
    QByteArray tail;
    QByteArray eol = "\n";  // new lines follow the file's own line breaks
    bool failed = false;

    void parse(const QByteArray& data);
    void endPiece(QByteArray& piece) const;
    void endLastPiece(qsizetype sectionCount);  // of the first sectionCount sections
    QByteArray text() const;
    bool save();
};

void SettingsStore::File::parse(const QByteArray& data) {
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype done = 0;
    qsizetype start = 0;
    qsizetype equals = -1;
    while (nextLine(data, pos, start, equals)) {
        const QByteArray raw = data.mid(done, pos - done);
        done = pos;
        if (data.at(start) == '[') {
            Section section;
            section.header = raw;
            section.lead = start - (pos - raw.size());
            const qsizetype close = data.indexOf(']', start);
            QByteArray name = (close == -1 || close >= pos) ? data.mid(start + 1, pos - start - 1)
                                                            : data.mid(start + 1, close - start - 1);
            name = name.trimmed();
            section.named = name.compare("general", Qt::CaseInsensitive) != 0;
            section.name = name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.mid(1))
                                                                              : fromIniKey(name);
            sections.append(section);
            continue;
        }
        Line line;
        line.raw = raw;
        line.lead = start - (pos - raw.size());
        if (equals >= 0) {
            line.isEntry = true;
            qsizetype keyEnd = equals;
            while (keyEnd > start && (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
                --keyEnd;
            qsizetype valueStart = equals + 1;
            while (valueStart < pos && (data.at(valueStart) == ' ' || data.at(valueStart) == '\t'))
                ++valueStart;
            line.key = fromIniKey(data.mid(start, keyEnd - start));
            QStringList items = fromIniValue(data.mid(valueStart, pos - valueStart));
            for (QString& item : items)
                item = valueText(item);
            line.value = items.join(QLatin1Char(','));
        }
        sections.last().lines.append(line);
    }
    // A file of comments only keeps them (and its byte order mark) at the top, before any line added.
    if (done == 0 && !data.isEmpty())
        sections.first().lines.append(Line{data, data.size(), false, {}, {}});
    else
        tail = data.mid(done);
    const qsizetype lf = data.indexOf('\n');
    if (lf > 0 && data.at(lf - 1) == '\r')
        eol = "\r\n";
}

QByteArray SettingsStore::File::text() const {
    QByteArray out;
    for (const Section& section : sections) {
        out += section.header;
        for (const Line& line : section.lines)
            out += line.raw;
    }
    if (!out.isEmpty() && !tail.contains('\n') && !tail.contains('\r'))
        return out + tail + eol;
    return out + tail;
}

// A line another tool left unfinished would take in whatever the program puts after it: it gets what ends it,
// which leaves its value as it was read.
void SettingsStore::File::endPiece(QByteArray& piece) const {
    QByteArray open = openEnd(piece);
    if (open.startsWith('\\')) {
        piece.chop(1);
        open.remove(0, 1);
    }
    piece += open;
}

void SettingsStore::File::endLastPiece(qsizetype sectionCount) {
    for (qsizetype s = sectionCount - 1; s >= 0; --s) {
        if (!sections[s].lines.isEmpty())
            return endPiece(sections[s].lines.last().raw);
        if (!sections[s].header.isEmpty())
            return endPiece(sections[s].header);
    }
}

bool SettingsStore::File::save() {
    if (failed || path.isEmpty())
        return false;
    QSaveFile file(path);
    failed = !QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
             file.write(text()) < 0 || !file.commit();
    return !failed;
}

QString userConfigFolder() {
    // Without HOME the engine would fall back on the root folder: settings there would belong to nobody.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME")) && qEnvironmentVariable("HOME").isEmpty())
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SettingsStore::defaultPath() {
    const QString folder = userConfigFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/Tavanote/Tavanote.ini");
}

SettingsStore::SettingsStore(const QString& iniPath) : m_file(std::make_unique<File>()) {
    m_file->path = iniPath.isEmpty() ? QString() : QFileInfo(iniPath).absoluteFilePath();
    QFile file(m_file->path);
    if (m_file->path.isEmpty() || !file.exists())
        return;
    // A file that cannot be read is never written over.
    if (file.open(QIODevice::ReadOnly))
        m_file->parse(file.readAll());
    else
        m_file->failed = true;
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::get(const QString& section, const QString& key) const {
    QString value;
    if (section.isEmpty() || key.isEmpty())
        return value;
    const QString sectionName = encodeName(section);
    const QString keyName = encodeName(key);
    for (const File::Section& s : m_file->sections) {
        if (s.named && s.name == sectionName) {
            for (const File::Line& line : s.lines) {
                if (line.isEntry && line.key == keyName)
                    value = line.value;  // the last one counts, as it always did
            }
        }
    }
    return value;
}

void SettingsStore::set(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty())
        return;
    const QString sectionName = encodeName(section);
    const QString keyName = encodeName(key);
    const QByteArray text = iniKey(keyName) + '=' + iniValue(value);
    // Only the line of that key changes; of repeated lines the last one is rewritten and the others dropped.
    QList<File::Section>& sections = m_file->sections;
    qsizetype lastSection = -1;
    bool written = false;
    for (qsizetype s = sections.size() - 1; s >= 0; --s) {
        if (!sections[s].named || sections[s].name != sectionName)
            continue;
        if (lastSection < 0)
            lastSection = s;
        QList<File::Line>& lines = sections[s].lines;
        for (qsizetype l = lines.size() - 1; l >= 0; --l) {
            if (!lines[l].isEntry || lines[l].key != keyName)
                continue;
            if (written) {
                const QByteArray kept = keptBefore(lines[l].raw, lines[l].lead);
                lines[l] = File::Line{kept, kept.size(), false, {}, {}};
                continue;
            }
            lines[l].raw = lines[l].raw.left(lines[l].lead) + text;
            lines[l].value = value;
            written = true;
        }
    }
    if (!written) {
        if (lastSection < 0) {
            m_file->endLastPiece(sections.size());
            File::Section added;
            added.named = true;
            added.name = sectionName;
            added.header = m_file->text().trimmed().isEmpty() ? QByteArray() : m_file->eol + m_file->eol;
            added.header +=
                '[' +
                (sectionName.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0 ? '%' + iniKey(sectionName)
                                                                                         : iniKey(sectionName)) +
                ']';
            sections.append(added);
            lastSection = sections.size() - 1;
        }
        QList<File::Line>& lines = sections[lastSection].lines;
        qsizetype after = lines.size();
        while (after > 0 && !lines[after - 1].isEntry)
            --after;
        m_file->endPiece(after > 0 ? lines[after - 1].raw : sections[lastSection].header);
        lines.insert(after, File::Line{m_file->eol + text, m_file->eol.size(), true, keyName, value});
    }
    m_file->save();
}

QList<QPair<QString, QString>> SettingsStore::section(const QString& section) const {
    QList<QPair<QString, QString>> pairs;
    if (section.isEmpty())
        return pairs;
    const QString sectionName = encodeName(section);
    for (const File::Section& s : m_file->sections) {
        if (!s.named || s.name != sectionName)
            continue;
        for (const File::Line& line : s.lines) {
            // Keys holding "/" belong to subgroups, which the program never writes.
            if (!line.isEntry || line.key.isEmpty() || line.key.contains(QLatin1Char('/')))
                continue;
            const QString key = decodeName(line.key);
            const auto same =
                std::find_if(pairs.begin(), pairs.end(), [&key](const auto& p) { return p.first == key; });
            if (same == pairs.end())
                pairs.append({key, line.value});
            else
                same->second = line.value;
        }
    }
    return pairs;
}

void SettingsStore::removeSection(const QString& section) {
    if (section.isEmpty())
        return;
    const QString sectionName = encodeName(section);
    QList<File::Section>& sections = m_file->sections;
    bool removed = false;
    // The first section, the lines before any header, is never named.
    for (qsizetype s = sections.size() - 1; s > 0; --s) {
        if (!sections[s].named || sections[s].name != sectionName)
            continue;
        const QByteArray kept = keptBefore(sections[s].header, sections[s].lead);
        m_file->endLastPiece(s);
        if (!kept.isEmpty())
            sections[s - 1].lines.append(File::Line{kept, kept.size(), false, {}, {}});
        sections.removeAt(s);
        removed = true;
    }
    if (removed)
        m_file->save();
}

QString SettingsStore::fileName() const {
    return m_file->path;
}

bool SettingsStore::canSave() const {
    return !m_file->path.isEmpty() && !m_file->failed;
}

}  // namespace tavanote
