#include "SqlDialect.h"

#include <QRegularExpression>

namespace tavanote {

const char* const kValueColumns =
    "titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,dernieraffichage";

QString mapStatement(const QString& sql) {
    static const QRegularExpression deleteStar(QStringLiteral(R"(^\s*DELETE\s+\*\s+FROM\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression valueInsert(QStringLiteral(R"(^\s*INSERT\s+INTO\s+message\s+VALUES\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orderByTitre(QStringLiteral(R"(\bORDER\s+BY\s+titre\b(?!\s+COLLATE))"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QString mapped = sql;
    QRegularExpressionMatch m = deleteStar.match(mapped);
    if (m.hasMatch())
        mapped.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("DELETE FROM"));
    m = valueInsert.match(mapped);
    if (m.hasMatch()) {
        mapped.replace(m.capturedStart(), m.capturedLength(),
                       QStringLiteral("INSERT INTO message (%1) VALUES").arg(QLatin1String(kValueColumns)));
    }
    // Only outside quoted texts: a title typed by the user may read "order by titre" too.
    QString result;
    result.reserve(mapped.size() + 16);
    qsizetype segmentStart = 0;
    bool inQuote = false;
    auto flushSegment = [&](qsizetype end) {
        QString segment = mapped.mid(segmentStart, end - segmentStart);
        if (!inQuote)
            segment.replace(orderByTitre, QStringLiteral("ORDER BY titre COLLATE FRENCH"));
        result += segment;
        segmentStart = end;
    };
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        if (mapped.at(i) == QLatin1Char('\'')) {
            flushSegment(inQuote ? i + 1 : i);
            inQuote = !inQuote;
        }
    }
    flushSegment(mapped.size());
    return result;
}

}  // namespace tavanote
