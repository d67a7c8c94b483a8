#include "RtfWriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "Cp1252.h"

namespace tavanote {

namespace {

const char kHex[] = "0123456789abcdef";

QString familyOf(const QTextCharFormat& format, const QTextDocument& doc) {
    const QString family = format.fontFamilies().toStringList().value(0);
    return family.isEmpty() ? doc.defaultFont().family() : family;
}

void appendText(QByteArray& out, QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out.append('\\').append(static_cast<char>(u));
        } else if (u == '\t') {
            out.append("\\tab ");
        } else if (u == QChar::LineSeparator) {
            out.append("\\line ");
        } else if (u < 0x20) {
            // other control characters have no place in a document
        } else if (u < 0x80) {
            out.append(static_cast<char>(u));
        } else if (const int byte = unicodeToCp1252(c); byte >= 0) {
            out.append("\\'").append(kHex[byte >> 4]).append(kHex[byte & 15]);
        } else {
            // RTF numbers are signed 16-bit: units above 32767 are written negative; a character outside the
            // basic plane is its two surrogates, each its own \u.
            out.append("\\u").append(QByteArray::number(static_cast<qint16>(u))).append('?');
        }
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc) {}

    QByteArray run() {
        collectTables();
        QByteArray out;
        out.reserve(m_doc.characterCount() * 2 + 1024);
        out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl");
        for (int i = 0; i < m_fonts.size(); ++i) {
            out.append("{\\f").append(QByteArray::number(i)).append("\\fnil\\fcharset0 ");
            QString name = m_fonts.at(i);
            name.remove(QLatin1Char(';'));
            appendText(out, name);
            out.append(";}");
        }
        out.append("}\r\n{\\colortbl ;");
        for (QRgb rgb : std::as_const(m_colours)) {
            out.append("\\red").append(QByteArray::number(qRed(rgb)));
            out.append("\\green").append(QByteArray::number(qGreen(rgb)));
            out.append("\\blue").append(QByteArray::number(qBlue(rgb))).append(';');
        }
        out.append("}\r\n\\viewkind4\\uc1");
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            if (block != m_doc.begin())
                out.append("\\par\r\n");
            out.append("\\pard").append(alignment(block.blockFormat().alignment()));
            bool empty = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid())
                    continue;
                appendFormat(out, fragment.charFormat());
                appendText(out, fragment.text());
                empty = false;
            }
            if (empty)
                appendFormat(out, block.charFormat());
        }
        out.append("\r\n}\r\n");
        return out;
    }

private:
    void collectTables() {
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            addFormat(block.charFormat());
            for (auto it = block.begin(); !it.atEnd(); ++it)
                addFormat(it.fragment().charFormat());
        }
        if (m_fonts.isEmpty())
            m_fonts.append(m_doc.defaultFont().family());
    }

    void addFormat(const QTextCharFormat& format) {
        const QString family = familyOf(format, m_doc);
        if (!m_fonts.contains(family))
            m_fonts.append(family);
        if (format.foreground().style() != Qt::NoBrush) {
            const QRgb rgb = format.foreground().color().rgb();
            if (!m_colours.contains(rgb))
                m_colours.append(rgb);
        }
    }

    static const char* alignment(Qt::Alignment align) {
        switch (align & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute) {
            case Qt::AlignRight:
                return "\\qr";
            case Qt::AlignHCenter:
                return "\\qc";
            case Qt::AlignJustify:
                return "\\qj";
            default:
                return "\\ql";
        }
    }

    void appendFormat(QByteArray& out, const QTextCharFormat& format) const {
        qreal points = format.fontPointSize();
        if (points <= 0)
            points = m_doc.defaultFont().pointSizeF() > 0 ? m_doc.defaultFont().pointSizeF() : 12;
        out.append("\\plain\\f").append(QByteArray::number(m_fonts.indexOf(familyOf(format, m_doc))));
        out.append("\\fs").append(QByteArray::number(qRound(points * 2)));
        if (format.fontWeight() >= QFont::DemiBold)
            out.append("\\b");
        if (format.fontItalic())
            out.append("\\i");
        if (format.fontUnderline())
            out.append("\\ul");
        if (format.foreground().style() != Qt::NoBrush)
            out.append("\\cf").append(QByteArray::number(m_colours.indexOf(format.foreground().color().rgb()) + 1));
        out.append(' ');
    }

    const QTextDocument& m_doc;
    QStringList m_fonts;
    QList<QRgb> m_colours;
};

}  // namespace

QByteArray writeRtf(const QTextDocument& doc) {
    return Writer(doc).run();
}

}  // namespace tavanote
