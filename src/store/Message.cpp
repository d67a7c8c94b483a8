#include "Message.h"

namespace tavanote {

const QStringList& Message::columnNames() {
    static const QStringList names = {QStringLiteral("id"),
                                      QStringLiteral("titre"),
                                      QStringLiteral("message"),
                                      QStringLiteral("datemessage"),
                                      QStringLiteral("heuremessage"),
                                      QStringLiteral("etat"),
                                      QStringLiteral("periodicite"),
                                      QStringLiteral("prochainaffichage"),
                                      QStringLiteral("dernieraffichage")};
    return names;
}

bool Message::breaksTableRules() const {
    // The engine counts characters, not UTF-16 units.
    return titre.toUcs4().size() > kTitleMaxLength;
}

}  // namespace tavanote
