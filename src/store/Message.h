#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tavanote {

// The most characters a title holds, as the table's CHECK rule says.
constexpr int kTitleMaxLength = 30;

// The three states a message goes through.
inline const QString kStateActif = QStringLiteral("actif");
inline const QString kStateAffiche = QStringLiteral("affiche");
inline const QString kStateErrone = QStringLiteral("errone");

// One row of the table message. Every field but the id is held as its text, read by the field-to-text rule:
// a Null field is the empty text, anything else its text trimmed of blanks.
struct Message {
    qint64 id = 0;
    QString titre;
    QString message;
    QString datemessage;        // "dd/mm/yyyy"
    QString heuremessage;       // "hh:mm"
    QString etat;               // actif, affiche, errone
    QString periodicite;        // one digit, "0" to "9"
    QString prochainaffichage;  // "dd/mm/yyyy hh:mm", or empty
    QString dernieraffichage;   // the end of the series, "dd/mm/yyyy hh:mm", or empty

    // The column names in table order, as a report or an export names them.
    static const QStringList& columnNames();
    // True when the file would refuse to write the row as it is (another tool wrote it past the table's rules: a
    // title over 30 characters).
    bool breaksTableRules() const;
};

using MessageList = std::vector<Message>;

// Which rows a list read gives, and in which order.
enum class MessageOrder { ById, ByTitle };  // ByTitle: French title order, case and accents folded

// How a read gives the fields: by the field-to-text rule, or exactly as stored (Null still the empty text).
enum class FieldText { Trimmed, AsStored };

}  // namespace tavanote
