#include "BenchData.h"

#include <sqlite3.h>

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
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,"
                       "prochainaffichage,dernieraffichage) VALUES (?,?,?,?,?,?,?,?)",
                       -1, &stmt, nullptr);
    const QDateTime origin = QDateTime::fromString(start, QStringLiteral("dd/MM/yyyy HH:mm"));
    const char* const states[] = {"actif", "actif", "actif", "errone", "affiche"};
    for (int i = 0; i < count; ++i) {
        const bool overdueHourly = i % 10 == 0;
        const int code = overdueHourly ? 1 : (i % 9 == 0 ? 0 : 2 + i % 7);
        const QDateTime first = overdueHourly ? origin.addYears(-1) : origin.addSecs(3600LL * (1 + i % 5000));
        const QByteArray fields[] = {
            QStringLiteral("Message %1").arg(i).toUtf8(),
            QStringLiteral("Texte du message numéro %1\nsur deux lignes").arg(i).toUtf8(),
            first.toString(QStringLiteral("dd/MM/yyyy")).toUtf8(),
            first.toString(QStringLiteral("HH:mm")).toUtf8(),
            QByteArray(states[i % 5]),
            QByteArray::number(code),
            first.toString(QStringLiteral("dd/MM/yyyy HH:mm")).toUtf8(),
            code == 0 ? QByteArray() : origin.addYears(2).toString(QStringLiteral("dd/MM/yyyy HH:mm")).toUtf8(),
        };
        for (int f = 0; f < 8; ++f)
            sqlite3_bind_text(stmt, f + 1, fields[f].constData(), static_cast<int>(fields[f].size()), SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}  // namespace tavanote::bench
