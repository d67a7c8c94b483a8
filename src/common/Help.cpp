#include "Help.h"

namespace tavanote {

QString helpTopic(HelpContext context) {
    switch (context) {
        case HelpContext::General:
            return QStringLiteral("aide.htm");
        case HelpContext::About:
            return QStringLiteral("aproposde.htm");
        case HelpContext::Settings:
            return QStringLiteral("parametres.htm");
        case HelpContext::Messages:
            return QStringLiteral("gestionmessage.htm");
        case HelpContext::Editor:
            return QStringLiteral("ajoutmessage.htm");
        case HelpContext::Calendar:
            return QStringLiteral("calendrier.htm");
        case HelpContext::Time:
            return QStringLiteral("heure.htm");
        case HelpContext::Report:
            return QStringLiteral("apercu.htm");
        case HelpContext::Note:
            return QStringLiteral("message.htm");
        case HelpContext::Import:
            return QStringLiteral("importer.htm");
        case HelpContext::CellValue:
            return QStringLiteral("valeurcellule.htm");
    }
    return QString();
}

}  // namespace tavanote
