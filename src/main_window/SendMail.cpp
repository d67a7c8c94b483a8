#include "SendMail.h"

#include <QUrl>

namespace tavanote {

QString mailTarget(const QString& address, const QString& subject, const QString& body, const QString& cc,
                   const QString& bcc) {
    QString query;
    if (!subject.isEmpty())
        query += QStringLiteral("&Subject=") + subject;
    if (!body.isEmpty())
        query += QStringLiteral("&Body=") + body;
    if (!cc.isEmpty())
        query += QStringLiteral("&CC=") + cc;
    if (!bcc.isEmpty())
        query += QStringLiteral("&BCC=") + bcc;
    if (query.startsWith(QLatin1Char('&')))
        query[0] = QLatin1Char('?');
    return QStringLiteral("mailto:") + address + query;
}

bool SendMail(Services& services, const QString& address, QWidget* window, const QString& subject, const QString& body,
              const QString& cc, const QString& bcc) {
    const QUrl target(mailTarget(address, subject, body, cc, bcc), QUrl::TolerantMode);
    if (services.dialogs.openUrl(target))
        return true;
    services.dialogs.message(
        window, QStringLiteral("Aucune application ne permet d'envoyer un e-mail à l'adresse :\n") + address,
        Icon::Information, Buttons::Ok);
    return false;
}

}  // namespace tavanote
