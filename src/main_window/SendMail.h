#pragma once

#include <QString>

#include "common/Services.h"

class QWidget;

namespace tavanote {

// The "mailto:" target of a new mail: the values go in as they are, the first "&" made "?".
QString mailTarget(const QString& address, const QString& subject, const QString& body, const QString& cc,
                   const QString& bcc);

// Opens the user's mail program on a new message; false (the user told) when none can send it.
bool SendMail(Services& services, const QString& address, QWidget* window, const QString& subject, const QString& body,
              const QString& cc, const QString& bcc);

}  // namespace tavanote
