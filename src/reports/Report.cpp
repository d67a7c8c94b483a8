#include "Report.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>

#include "common/SafeWrite.h"
#include "common/TextRules.h"
#include "common/Version.h"
#include "text/RtfReader.h"

namespace tavanote {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString listTitle(int list) {
    switch (list) {
        case 1:
            return QStringLiteral("Liste des messages érronés");
        case 2:
            return QStringLiteral("Liste des messages affichés");
        default:
            return QStringLiteral("Liste des messages actifs");
    }
}

// The report's own wording of a periodicity: codes 7 and 9 read differently from the lists' column.
QString periodicityWording(const QString& code) {
    static const QStringList wordings = {
        QStringLiteral("Affiché une seule fois"),      QStringLiteral("Affiché toutes les heures"),
        QStringLiteral("Affiché tous les jours"),      QStringLiteral("Affiché toutes les semaines"),
        QStringLiteral("Affiché tous les mois"),       QStringLiteral("Affiché tous les bimestres"),
        QStringLiteral("Affiché tous les trimestres"), QStringLiteral("Affiché toutes les semestres"),
        QStringLiteral("Affiché tous les ans"),        QStringLiteral("Affiché au démarrage du programme")};
    const QString trimmed = code.trimmed();
    if (trimmed.size() == 1 && trimmed.at(0).isDigit() && trimmed.at(0).unicode() < 0x80)
        return wordings.at(trimmed.at(0).unicode() - '0');
    return code;
}

QString total(int list, int count) {
    static const char* const singular[] = {" message actif", " message érroné", " message affiché"};
    static const char* const plural[] = {" messages actifs", " messages érronés", " messages affichés"};
    const int index = list >= 0 && list <= 2 ? list : 0;
    return QStringLiteral("Total: ") + QString::number(count) +
           QString::fromUtf8(count < 2 ? singular[index] : plural[index]);
}

// Every field read as trimmed text (the CSV export has them as stored).
QString messageBlocks(const MessageList& stored) {
    QString text;
    for (Message m : stored) {
        for (QString* field : {&m.titre, &m.message, &m.datemessage, &m.heuremessage, &m.periodicite,
                               &m.prochainaffichage, &m.dernieraffichage})
            *field = trimBlanks(*field);
        text += QStringLiteral("Titre: ") + m.titre + kCrLf;
        text += QStringLiteral("Message: ") + kCrLf + m.message + kCrLf;
        text += QStringLiteral("Date d'affichage: ") + m.datemessage + QLatin1Char('\t') +
                QStringLiteral("Heure d'affichage: ") + m.heuremessage + kCrLf;
        text += QStringLiteral("Périodicité: ") + periodicityWording(m.periodicite) + kCrLf;
        text += QStringLiteral("Prochain affichage: ") + m.prochainaffichage + QLatin1Char('\t') +
                QStringLiteral("Date du dernier affichage: ") + m.dernieraffichage + kCrLf + kCrLf;
    }
    return text;
}

// Replaces the first placeholder found from position from with value, in the format of the placeholder's first
// character. Returns the position after the value, where the next placeholder is looked for: the placeholders
// come in template order, and a message text holding a placeholder's name is left as it is.
int replacePlaceholder(QTextDocument& doc, int from, const QString& placeholder, const QString& value) {
    QTextCursor found = doc.find(placeholder, from, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return from;
    QTextCursor first(&doc);
    first.setPosition(found.selectionStart() + 1);
    const QTextCharFormat format = first.charFormat();
    found.insertText(value, format);
    return found.position();
}

}  // namespace

const QByteArray& defaultTemplate() {
    static const QByteArray text = [] {
        const QByteArray rule(69, '-');
        QByteArray t;
        t += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Tahoma;}}\r\n";
        t += "{\\colortbl ;\\red0\\green0\\blue128;\\red0\\green0\\blue255;}\r\n";
        t += "\\viewkind4\\uc1\\pard\\qr\\cf0\\f0\\fs16 <DATE>\\b\\par\r\n";
        t += "\\pard\\cf1\\fs30 <NOM_PROGRAMME>\\cf0\\b0\\fs20\\par\r\n";
        t += "\\b\\fs24 <TITRE_DONNEES>\\fs20\\par\r\n";
        t += "\\b0 " + rule + "\\par\r\n";
        t += "<LISTE_DONNEES>\\par\r\n";
        t += "\\par\r\n";
        t += "\\b\\fs20 <TOTAL_DONNEES>\\b0\\fs20\\par\r\n";
        t += rule + "\\par\r\n";
        t += "\\fs20 <TITRE_PROGRAMME> - <VERSION> - Copyright \\'a9 <ANNEE>\\par\r\n";
        t += "Site Internet: \\cf2\\ul <ADRESSE_SITE>\\par\r\n";
        t += "\\cf0\\ulnone E-mail: \\cf2\\ul <ADRESSE_MAIL>\\par\r\n";
        t += "}\r\n";
        return t;
    }();
    return text;
}

bool WriteDefaultTemplate(const QString& programFolder) {
    return writeFileSafely(QDir(programFolder).filePath(kTemplateFileName), defaultTemplate()).ok();
}

bool BuildReport(QTextDocument& doc, const MessageList& messages, int list, const QDate& today,
                 const QString& programFolder) {
    const bool written = WriteDefaultTemplate(programFolder);
    // The file just written holds exactly these bytes; reading them from memory also serves a folder that could
    // not be written, with the same document.
    readRtf(defaultTemplate(), doc);

    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    const std::pair<const char*, QString> values[] = {
        {"<DATE>", QStringLiteral("Date: ") + today.toString(QStringLiteral("dd/MM/yyyy"))},
        {"<NOM_PROGRAMME>", kReportProgramName},
        {"<TITRE_DONNEES>", listTitle(list)},
        {"<LISTE_DONNEES>", messageBlocks(messages)},
        {"<TOTAL_DONNEES>", total(list, static_cast<int>(messages.size()))},
        {"<TITRE_PROGRAMME>", QStringLiteral("Tavanote")},
        {"<VERSION>", QStringLiteral("version ") + versionText()},
        {"<ANNEE>", today.toString(QStringLiteral("yyyy"))},
        {"<ADRESSE_SITE>", kMakerSite},
        {"<ADRESSE_MAIL>", kMakerMail},
    };
    int position = 0;
    for (const auto& [placeholder, value] : values)
        position = replacePlaceholder(doc, position, QString::fromLatin1(placeholder), value);
    doc.setUndoRedoEnabled(undo);
    return written;
}

}  // namespace tavanote
