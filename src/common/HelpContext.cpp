#include "HelpContext.h"

#include <utility>

namespace tavanote {

QString helpTopic(HelpContext context) {
    static const std::pair<HelpContext, const char*> kTopics[] = {
        {HelpContext::General, "aide.htm"},
        {HelpContext::About, "aproposde.htm"},
        {HelpContext::Settings, "parametres.htm"},
        {HelpContext::Messages, "gestionmessage.htm"},
        {HelpContext::Editor, "ajoutmessage.htm"},
        {HelpContext::Calendar, "calendrier.htm"},
        {HelpContext::Time, "heure.htm"},
        {HelpContext::Report, "apercu.htm"},
        {HelpContext::Note, "message.htm"},
        {HelpContext::Import, "importer.htm"},
        {HelpContext::CellValue, "valeurcellule.htm"},
    };
    for (const auto& [known, topic] : kTopics) {
        if (known == context)
            return QString::fromLatin1(topic);
    }
    return QString();
}

}  // namespace tavanote
