#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include "store/Message.h"

class QTextDocument;

namespace tavanote {

// The maker's web site and e-mail address, shown in the report's footer and linked in its HTML export.
inline const QString kMakerSite = QStringLiteral("https://tavanote.example.org");
inline const QString kMakerMail = QStringLiteral("contact@tavanote.example.org");

// The program name as the report writes it.
inline const QString kReportProgramName = QStringLiteral("TAVANOTE");

// The report template file, in the program folder.
inline const QString kTemplateFileName = QStringLiteral("defaut.rtf");

// The default content of defaut.rtf.
const QByteArray& defaultTemplate();

// Writes defaut.rtf with the default content into programFolder, replacing the file whole. False when the folder
// cannot take it (read-only install, a folder of that name); the caller goes on without a message.
bool WriteDefaultTemplate(const QString& programFolder);

// Builds into doc the report of list (0 active, 1 erroneous, 2 displayed messages) over messages, which the caller
// selected in title order. defaut.rtf is rewritten first; the document is built from the same default template
// whether or not the file could be written. Returns whether it was.
bool BuildReport(QTextDocument& doc, const MessageList& messages, int list, const QDate& today,
                 const QString& programFolder);

}  // namespace tavanote
