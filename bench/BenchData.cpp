#include "BenchData.h"

#include <QDateTime>
#include <QFile>
#include <stdexcept>

#include "store/MessageStore.h"

namespace tavanote::bench {

void makeMessageFile(const QString& path, int count, const QString& start) {
    QFile::remove(path);
    QString error;
    if (!MessageStore::createEmpty(path, &error))
        throw std::runtime_error(error.toStdString());
    const QDateTime origin = QDateTime::fromString(start, QStringLiteral("dd/MM/yyyy HH:mm"));
    const char* const states[] = {"actif", "actif", "actif", "errone", "affiche"};
    MessageList messages;
    messages.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const bool overdueHourly = i % 10 == 0;
        const int code = overdueHourly ? 1 : (i % 9 == 0 ? 0 : 2 + i % 7);
        const QDateTime first = overdueHourly ? origin.addYears(-1) : origin.addSecs(3600LL * (1 + i % 5000));
        Message m;
        m.titre = QStringLiteral("Message %1").arg(i);
        m.message = QStringLiteral("Texte du message numéro %1\nsur deux lignes").arg(i);
        m.datemessage = first.toString(QStringLiteral("dd/MM/yyyy"));
        m.heuremessage = first.toString(QStringLiteral("HH:mm"));
        m.etat = QLatin1String(states[i % 5]);
        m.periodicite = QString::number(code);
        m.prochainaffichage = first.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        if (code != 0)
            m.dernieraffichage = origin.addYears(2).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        messages.push_back(std::move(m));
    }
    MessageStore store;
    if (!store.open(path).ok() || !store.insertAll(messages))
        throw std::runtime_error(store.lastError().toStdString());
}

}  // namespace tavanote::bench
