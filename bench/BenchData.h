#pragma once

#include <QString>

namespace tavanote::bench {

// Fills a new message file at path with count messages of every state and periodicity, in one transaction.
// Every tenth message is hourly and due a year before start; the others are due after start.
void makeMessageFile(const QString& path, int count, const QString& start = QStringLiteral("06/12/2026 10:00"));

}  // namespace tavanote::bench
