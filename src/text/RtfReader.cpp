#include "RtfReader.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>
#include <vector>

#include "Cp1252.h"

namespace tavanote {

namespace {

constexpr int kMaxDepth = 256;          // deeper groups are read as part of the group at this depth
constexpr int kMaxNumber = 1000000000;  // a parameter's digits saturate here
constexpr int kMaxControlWord = 32;     // longer control words are read whole but compared by their start
constexpr int kDefaultHalfPoints = 24;  // 12 pt, the size RTF gives text without \fs
constexpr int kMaxHalfPoints = 3276;    // 1638 pt, the largest size word processors offer

enum class Destination { Text, FontTable, ColourTable, Skip };

// What a group saves and restores.
struct State {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0;
    int halfPoints = kDefaultHalfPoints;
    int font = -1;  // -1: the default font (\deff)
    int unicodeSkip = 1;
    Qt::Alignment alignment = Qt::AlignLeft;
    Destination destination = Destination::Text;
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose content is not part of the text, even without the \* marker.
bool isSkippedDestination(const QByteArray& word) {
    static const QSet<QByteArray> skipped = {"stylesheet", "info",
                                             "pict",       "object",
                                             "header",     "headerl",
                                             "headerr",    "headerf",
                                             "footer",     "footerl",
                                             "footerr",    "footerf",
                                             "footnote",   "fldinst",
                                             "listtable",  "listoverridetable",
                                             "rsidtbl",    "revtbl",
                                             "filetbl",    "xmlnstbl",
                                             "themedata",  "colorschememapping",
                                             "datastore",  "latentstyles",
                                             "generator",  "author",
                                             "operator",   "title",
                                             "subject",    "keywords",
                                             "comment",    "doccomm",
                                             "company",    "creatim",
                                             "revtim",     "printim",
                                             "buptim",     "nonshppict",
                                             "bkmkstart",  "bkmkend",
                                             "pgdsctbl",   "mmathPr",
                                             "private",    "annotation",
                                             "atnid",      "atnauthor",
                                             "txe",        "xe",
                                             "tc",         "template",
                                             "userprops",  "shppict",
                                             "sp",         "sn",
                                             "sv"};
    return skipped.contains(word);
}

class Reader {
public:
    Reader(const QByteArray& data, QTextDocument& doc)
        : m_pos(data.constData()), m_end(data.constData() + data.size()), m_cursor(&doc) {}

    void run() {
        m_cursor.beginEditBlock();
        while (m_pos < m_end) {
            const char c = *m_pos++;
            if (c == '{') {
                openGroup();
            } else if (c == '}') {
                // A last paragraph without its \par keeps the alignment it had when the document closed.
                const Qt::Alignment alignment = m_state.alignment;
                if (closeGroup()) {
                    m_state.alignment = alignment;
                    break;
                }
            } else if (c == '\\') {
                readControl();
            } else if (c == '\r' || c == '\n') {
                // line ends of the file are not text
            } else {
                plainChar(static_cast<unsigned char>(c));
            }
        }
        flushBytes();
        flushText();
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(m_state.alignment);
        m_cursor.setBlockFormat(block);
        m_cursor.endEditBlock();
    }

private:
    // Groups.
    void openGroup() {
        flushBytes();
        m_fallback = 0;
        if (m_stack.size() >= kMaxDepth) {
            ++m_overflow;
            return;
        }
        m_stack.push_back(m_state);
    }

    // True when the outermost group is closed: the document ends there.
    bool closeGroup() {
        flushBytes();
        m_fallback = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return false;
        }
        if (m_stack.empty())
            return false;  // a stray brace
        if (m_state.destination == Destination::FontTable)
            commitFont();
        m_state = m_stack.back();
        m_stack.pop_back();
        return m_stack.empty();
    }

    // Control words and symbols, after the backslash.
    void readControl() {
        if (m_pos >= m_end)
            return;
        const char c = *m_pos;
        if (!isLetter(c)) {
            ++m_pos;
            readSymbol(c);
            return;
        }
        QByteArray word;
        while (m_pos < m_end && isLetter(*m_pos)) {
            if (word.size() < kMaxControlWord)
                word.append(*m_pos);
            ++m_pos;
        }
        bool hasNumber = false;
        bool negative = false;
        int number = 0;
        if (m_pos < m_end && *m_pos == '-' && m_pos + 1 < m_end && isDigit(m_pos[1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_end && isDigit(*m_pos)) {
            hasNumber = true;
            number = number >= kMaxNumber / 10 ? kMaxNumber : number * 10 + (*m_pos - '0');
            ++m_pos;
        }
        if (negative)
            number = -number;
        if (m_pos < m_end && *m_pos == ' ')
            ++m_pos;  // the delimiter belongs to the control word
        if (word == "bin") {
            // Binary data is skipped whatever the destination, and never counts as a fallback character.
            const qint64 left = m_end - m_pos;
            m_pos += qBound<qint64>(0, qint64(number), left);
            return;
        }
        flushBytes();
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        controlWord(word, hasNumber ? number : -1, hasNumber);
    }

    void readSymbol(char c) {
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_end && hexValue(*m_pos) >= 0) {
                value = value * 16 + hexValue(*m_pos++);
                ++digits;
            }
            if (digits == 0)
                return;
            if (m_fallback > 0) {
                --m_fallback;
                return;
            }
            if (m_state.destination == Destination::Text || m_state.destination == Destination::FontTable)
                m_bytes.append(static_cast<char>(value));
            return;
        }
        flushBytes();
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                appendChar(QChar(QLatin1Char(c)));
                break;
            case '~':
                appendChar(QChar(0x00A0));
                break;
            case '_':
                appendChar(QChar(0x2011));
                break;
            case '*':
                m_state.destination = Destination::Skip;
                break;
            case '\r':
            case '\n':
                paragraph();
                break;
            default:
                break;  // \- optional hyphen, \| \: index marks, anything unknown
        }
    }

    void controlWord(const QByteArray& word, int value, bool hasNumber) {
        if (m_state.destination == Destination::Skip)
            return;
        if (m_state.destination == Destination::ColourTable) {
            const int component = qBound(0, value, 255);
            int* target = word == "red" ? &m_red : word == "green" ? &m_green : word == "blue" ? &m_blue : nullptr;
            if (target) {
                *target = component;
                m_colourSet = true;
            }
            return;
        }
        if (m_state.destination == Destination::FontTable) {
            if (word == "f" && hasNumber) {
                commitFont();
                m_fontEntry = value;
            } else if (isSkippedDestination(word)) {
                m_state.destination = Destination::Skip;
            }
            return;
        }
        if (word == "par" || word == "page" || word == "sect" || word == "row") {
            paragraph();
        } else if (word == "line") {
            appendChar(QChar::LineSeparator);
        } else if (word == "tab" || word == "cell") {
            appendChar(QLatin1Char('\t'));
        } else if (word == "b") {
            m_state.bold = value != 0;
        } else if (word == "i") {
            m_state.italic = value != 0;
        } else if (word == "ulnone") {
            m_state.underline = false;
        } else if (word.startsWith("ul") && !word.startsWith("ulc")) {
            m_state.underline = value != 0;  // \ul and its styles (\uld, \uldb, \ulw...)
        } else if (word == "cf") {
            m_state.colour = qMax(0, value);
        } else if (word == "fs") {
            m_state.halfPoints = value <= 0 ? kDefaultHalfPoints : qMin(value, kMaxHalfPoints);
        } else if (word == "f") {
            m_state.font = hasNumber ? value : -1;
        } else if (word == "plain") {
            m_state.bold = m_state.italic = m_state.underline = false;
            m_state.colour = 0;
            m_state.halfPoints = kDefaultHalfPoints;
            m_state.font = -1;
        } else if (word == "pard") {
            m_state.alignment = Qt::AlignLeft;
        } else if (word == "ql") {
            m_state.alignment = Qt::AlignLeft;
        } else if (word == "qr") {
            m_state.alignment = Qt::AlignRight;
        } else if (word == "qc") {
            m_state.alignment = Qt::AlignHCenter;
        } else if (word == "qj") {
            m_state.alignment = Qt::AlignJustify;
        } else if (word == "u" && hasNumber) {
            const int unit = value < 0 ? value + 65536 : value;
            appendChar(unit >= 0 && unit <= 0xFFFF ? QChar(static_cast<char16_t>(unit)) : QChar::ReplacementCharacter);
            m_fallback = m_state.unicodeSkip;
        } else if (word == "uc") {
            m_state.unicodeSkip = qBound(0, value, 16);
        } else if (word == "ansicpg") {
            setCodePage(value);
        } else if (word == "deff") {
            m_defaultFont = value;
        } else if (word == "fonttbl") {
            m_state.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            m_state.destination = Destination::ColourTable;
        } else if (word == "lquote") {
            appendChar(QChar(0x2018));
        } else if (word == "rquote") {
            appendChar(QChar(0x2019));
        } else if (word == "ldblquote") {
            appendChar(QChar(0x201C));
        } else if (word == "rdblquote") {
            appendChar(QChar(0x201D));
        } else if (word == "bullet") {
            appendChar(QChar(0x2022));
        } else if (word == "endash") {
            appendChar(QChar(0x2013));
        } else if (word == "emdash") {
            appendChar(QChar(0x2014));
        } else if (isSkippedDestination(word)) {
            m_state.destination = Destination::Skip;
        }
    }

    void plainChar(unsigned char c) {
        flushBytes();
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        switch (m_state.destination) {
            case Destination::Text:
                appendChar(cp1252ToUnicode(c));
                break;
            case Destination::FontTable:
                if (c == ';')
                    commitFont();
                else
                    m_fontName.append(cp1252ToUnicode(c));
                break;
            case Destination::ColourTable:
                if (c == ';') {
                    m_colours.push_back(m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
                    m_red = m_green = m_blue = 0;
                    m_colourSet = false;
                    m_formatCached = false;
                }
                break;
            case Destination::Skip:
                break;
        }
    }

    // Text.
    void appendChar(QChar c) {
        if (m_state.destination == Destination::FontTable) {
            m_fontName.append(c);
            return;
        }
        if (m_state.destination != Destination::Text)
            return;
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return;  // control characters are no text (line ends come as \par and \line)
        const QTextCharFormat format = currentFormat();
        if (!m_text.isEmpty() && format != m_textFormat)
            flushText();
        if (m_text.isEmpty())
            m_textFormat = format;
        m_text.append(c);
    }

    void flushBytes() {
        if (m_bytes.isEmpty())
            return;
        QString text;
        if (m_decoder && m_decoder->isValid()) {
            text = m_decoder->decode(m_bytes);
        } else {
            text.reserve(m_bytes.size());
            for (char b : std::as_const(m_bytes))
                text.append(cp1252ToUnicode(static_cast<unsigned char>(b)));
        }
        m_bytes.clear();
        for (QChar c : std::as_const(text))
            appendChar(c);
    }

    void flushText() {
        if (m_text.isEmpty())
            return;
        // A surrogate without its other half cannot be shown or saved: it becomes the replacement character.
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text.at(i);
            if (c.isHighSurrogate() && i + 1 < m_text.size() && m_text.at(i + 1).isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                m_text[i] = QChar::ReplacementCharacter;
        }
        m_cursor.insertText(m_text, m_textFormat);
        m_text.clear();
    }

    void paragraph() {
        if (m_state.destination != Destination::Text)
            return;
        flushText();
        const QTextCharFormat format = currentFormat();
        if (m_cursor.block().length() <= 1)
            m_cursor.setBlockCharFormat(format);  // an empty paragraph keeps the format of its mark
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(m_state.alignment);
        m_cursor.setBlockFormat(block);
        m_cursor.insertBlock(block, format);
    }

    QTextCharFormat currentFormat() {
        if (m_formatCached && m_cachedBold == m_state.bold && m_cachedItalic == m_state.italic &&
            m_cachedUnderline == m_state.underline && m_cachedColour == m_state.colour &&
            m_cachedHalfPoints == m_state.halfPoints && m_cachedFont == m_state.font)
            return m_cachedFormat;
        QTextCharFormat format;
        format.setFontWeight(m_state.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(m_state.italic);
        format.setFontUnderline(m_state.underline);
        format.setFontPointSize(m_state.halfPoints / 2.0);
        if (m_state.colour > 0 && m_state.colour < static_cast<int>(m_colours.size()) &&
            m_colours[m_state.colour].isValid())
            format.setForeground(m_colours[m_state.colour]);
        const QString family = m_fonts.value(m_state.font < 0 ? m_defaultFont : m_state.font);
        if (!family.isEmpty())
            format.setFontFamilies(QStringList{family});
        m_cachedFormat = format;
        m_formatCached = true;
        m_cachedBold = m_state.bold;
        m_cachedItalic = m_state.italic;
        m_cachedUnderline = m_state.underline;
        m_cachedColour = m_state.colour;
        m_cachedHalfPoints = m_state.halfPoints;
        m_cachedFont = m_state.font;
        return format;
    }

    // Tables.
    void commitFont() {
        const QString name = m_fontName.trimmed();
        if (m_fontEntry >= 0 && !name.isEmpty() && !m_fonts.contains(m_fontEntry)) {
            m_fonts.insert(m_fontEntry, name);
            m_formatCached = false;
        }
        m_fontName.clear();
        m_fontEntry = -1;
    }

    void setCodePage(int codePage) {
        m_decoder.reset();
        if (codePage == 1252 || codePage <= 0)
            return;
        const QByteArray name = "windows-" + QByteArray::number(codePage);
        QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            m_decoder.emplace(std::move(decoder));
    }

    const char* m_pos;
    const char* const m_end;
    QTextCursor m_cursor;

    State m_state;
    std::vector<State> m_stack;
    int m_overflow = 0;  // groups opened past the depth cap, still to be closed
    int m_fallback = 0;  // characters of a \u fallback still to skip

    QByteArray m_bytes;                       // \'hh bytes waiting to be decoded together
    std::optional<QStringDecoder> m_decoder;  // none: cp1252
    QString m_text;
    QTextCharFormat m_textFormat;

    QHash<int, QString> m_fonts;
    int m_defaultFont = 0;
    int m_fontEntry = -1;
    QString m_fontName;
    std::vector<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;

    QTextCharFormat m_cachedFormat;
    bool m_formatCached = false;
    bool m_cachedBold = false, m_cachedItalic = false, m_cachedUnderline = false;
    int m_cachedColour = 0, m_cachedHalfPoints = 0, m_cachedFont = 0;
};

}  // namespace

bool readRtf(const QByteArray& rtf, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    Reader(rtf, doc).run();
    doc.setUndoRedoEnabled(undo);
    return rtf.trimmed().startsWith("{\\rtf");
}

}  // namespace tavanote
