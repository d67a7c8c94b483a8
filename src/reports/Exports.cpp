#include "Exports.h"

#include <QColor>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <optional>

#include "Report.h"
#include "common/Version.h"
#include "text/RtfWriter.h"

namespace tavanote {

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");
const QString kCrLf = QStringLiteral("\r\n");

const char* const kHtmlHead[] = {
    "<html>",
    "<head>",
    "<meta http-equiv='content-type' content='text/html'>",
    "<title>TAVANOTE</title>",
    "<meta name='author' content='Tavanote'>",
    "<meta name='keywords' content='post-it,note,rdv,rendez-vous,personnel,message,anniversaire,fete,fiche'>",
    "<meta name='description' content='Affichez vos messages, vos notes pour rappeler vos rendez-vous, "
    "anniversaires, fêtes ou auters événements.'>",
    "<style>",
    "<!--",
    "a { font-family:'Arial Narrow'; font-style:normal; font-weight:normal; font-size:10pt; color:blue; "
    "text-decoration:none; }",
    "a:hover { font-family:'Arial Narrow'; font-style:normal; font-weight:normal; font-size:10pt; color:blue; "
    "text-decoration:underline; }",
    "-->",
    "</style>",
    "</head>",
    "<body bgcolor='white' text='black'>",
};

// One property over a line: set while every character agrees, empty once two differ.
template <typename T>
struct Uniform {
    std::optional<T> value;
    bool mixed = false;
    void add(const T& v) {
        if (!value)
            value = v;
        else if (*value != v)
            mixed = true;
    }
    bool has() const { return value && !mixed; }
};

// The properties of one line of the document, as the HTML export reads them.
struct LineFormat {
    Uniform<bool> bold, italic, underline;
    Uniform<QString> colour;  // "#rrggbb", as browsers read it
    Uniform<QString> font;
    Uniform<int> size;

    void add(const QTextCharFormat& f, const QTextDocument& doc) {
        bold.add(f.fontWeight() >= QFont::DemiBold);
        italic.add(f.fontItalic());
        underline.add(f.fontUnderline());
        // Text without a colour of its own is black.
        colour.add(f.foreground().style() != Qt::NoBrush ? f.foreground().color().name() : QStringLiteral("#000000"));
        const QString family = f.fontFamilies().toStringList().value(0);
        font.add(family.isEmpty() ? doc.defaultFont().family() : family);
        const qreal points = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
        size.add(qRound(points));
    }
};

QString escapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QStringLiteral("&amp;");
        else if (c == QLatin1Char('<'))
            out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            out += QStringLiteral("&gt;");
        else if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            continue;  // control characters have no place in a document, as in the RTF export
        else
            out += c;
    }
    return out;
}

void appendHtmlLine(QString& html, const QString& text, const LineFormat& f) {
    static const QString rule(69, QLatin1Char('-'));
    const bool bold = f.bold.has() && *f.bold.value;
    const bool italic = f.italic.has() && *f.italic.value;
    const bool underline = f.underline.has() && *f.underline.value;
    QString line;
    if (bold)
        line += QStringLiteral("<b>");
    if (italic)
        line += QStringLiteral("<i>");
    if (underline)
        line += QStringLiteral("<u>");
    if (text == rule) {
        line = QStringLiteral("<hr size='1' color='#000000'>") + kCrLf;
    } else {
        line += QStringLiteral("<font color ='") + (f.colour.has() ? *f.colour.value : QString()) +
                QStringLiteral("' face = '") + (f.font.has() ? *f.font.value : QString()) +
                QStringLiteral("'><span style='font-size:") +
                (f.size.has() ? QString::number(*f.size.value) : QString()) + QStringLiteral("pt;'>") +
                escapeHtml(text) + QStringLiteral("</span></font>");
    }
    if (underline)
        line += QStringLiteral("</u>");
    if (italic)
        line += QStringLiteral("</i>");
    if (bold)
        line += QStringLiteral("</b>");
    html += line + QStringLiteral("<br>") + kCrLf;
}

}  // namespace

QString exportFilter() {
    return QStringLiteral(
        "Fichier RTF (*.rtf);;Fichier TEXTE (*.txt);;Fichier HTML (*.htm);;Fichier CSV(*.csv);;Agenda iCalendar "
        "(*.ics)");
}

QString withDefaultExtension(const QString& path, const QString& chosenFilter) {
    if (QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    // "Fichier CSV(*.csv)" gives ".csv".
    const qsizetype star = chosenFilter.indexOf(QStringLiteral("(*."));
    const qsizetype close = chosenFilter.indexOf(QLatin1Char(')'), star);
    if (star < 0 || close < 0)
        return path + QStringLiteral(".rtf");
    return path + chosenFilter.mid(star + 2, close - star - 2);
}

ExportFormat exportFormatFor(const QString& path) {
    const QString end = path.right(3).toLower();
    if (end == QLatin1String("rtf"))
        return ExportFormat::Rtf;
    if (end == QLatin1String("txt"))
        return ExportFormat::Text;
    if (end == QLatin1String("htm"))
        return ExportFormat::Html;
    if (end == QLatin1String("csv"))
        return ExportFormat::Csv;
    if (end == QLatin1String("ics"))
        return ExportFormat::Ics;
    return ExportFormat::Refused;
}

QByteArray exportRtf(const QTextDocument& doc) {
    return writeRtf(doc);
}

QByteArray exportText(const QTextDocument& doc) {
    QString text = doc.toPlainText();
    text.replace(QLatin1Char('\n'), kCrLf);
    return text.toUtf8();
}

QByteArray exportHtml(const QTextDocument& doc) {
    QString html;
    for (const char* line : kHtmlHead)
        html += QString::fromUtf8(line) + kCrLf;

    // Walks the document's own lines: its paragraphs, and inside them the line breaks. The empty line after the
    // last paragraph end is no line of text.
    int lines = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const bool last = !block.next().isValid();
        QString text;
        LineFormat format;
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString piece = fragment.text();
            const QTextCharFormat charFormat = fragment.charFormat();
            qsizetype start = 0;
            for (;;) {
                const qsizetype end = piece.indexOf(QChar::LineSeparator, start);
                const QStringView part = QStringView(piece).mid(start, end < 0 ? piece.size() - start : end - start);
                if (!part.isEmpty()) {
                    text += part;
                    format.add(charFormat, doc);
                    empty = false;
                }
                if (end < 0)
                    break;
                if (empty)
                    format.add(charFormat, doc);
                appendHtmlLine(html, text, format);
                ++lines;
                text.clear();
                format = LineFormat();
                empty = true;
                start = end + 1;
            }
        }
        if (empty && last && lines > 0)
            break;
        if (empty)
            format.add(block.charFormat(), doc);
        appendHtmlLine(html, text, format);
        ++lines;
    }

    const QString mailLink = QStringLiteral("<a href='mailto:") + kMakerMail + QStringLiteral("?subject=") +
                             kReportProgramName + QStringLiteral(", version ") + versionText() +
                             QStringLiteral("' title='ENVOYER UN MAIL'>") + kMakerMail + QStringLiteral("</a>");
    const QString siteLink = QStringLiteral("<a href='") + kMakerSite +
                             QStringLiteral("' target='_blank' title='VISITER LE SITE INTERNET'>") + kMakerSite +
                             QStringLiteral("</a>");
    html.replace(kMakerMail, mailLink);
    html.replace(kMakerSite, siteLink);
    html += kCrLf;
    return kBom + html.toUtf8();
}

QByteArray exportCsv(const MessageList& messages) {
    if (messages.empty())
        return {};
    const auto field = [](const QString& value) {
        if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
            !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
            return value;
        QString quoted = value;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    };
    QString csv = Message::columnNames().join(QLatin1Char(';')) + kCrLf;
    for (const Message& m : messages) {
        const QString values[] = {QString::number(m.id), m.titre, m.message,     m.datemessage,
                                  m.heuremessage,        m.etat,  m.periodicite, m.prochainaffichage,
                                  m.dernieraffichage};
        bool first = true;
        for (const QString& v : values) {
            if (!first)
                csv += QLatin1Char(';');
            csv += field(v);
            first = false;
        }
        csv += kCrLf;
    }
    csv += kCrLf;
    return kBom + csv.toUtf8();
}

QString notFoundMessage(qint32 foundCount) {
    if (foundCount > 0)
        return QStringLiteral(
                   "Aucun texte supplémentaire, correspondant à votre recherche, n'a été trouvé.\n"
                   "(Le texte a été trouvé ") +
               QString::number(foundCount) + QStringLiteral(" fois)");
    return QStringLiteral("Aucun texte, correspondant à votre recherche, n'a été trouvé.");
}

}  // namespace tavanote
