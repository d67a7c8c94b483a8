#pragma once

#include <QTemporaryDir>
#include <QTest>

#include "common/DateText.h"
#include "common/SettingsStore.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"
#include "support/SqlProbe.h"

namespace tavanote::test {

// An empty message file opened in a temporary folder, and the "suppression" setting read as the program does.
struct StoreFixture {
    explicit StoreFixture(const QString& suppression = QStringLiteral("0")) {
        const QString path = MessageStore::pathIn(dir.path());
        if (!MessageStore::createEmpty(path, nullptr) || !store.open(path).ok())
            QTest::qFail(qPrintable(QStringLiteral("cannot make ") + path), __FILE__, __LINE__);
        settings.set(kParametres, QStringLiteral("suppression"), suppression);
        expiry = Preferences(settings).expiry();
    }
    // One row, its date and hour taken from prochain; a null text is written as SQL NULL.
    qint64 insert(const QString& titre, const QString& etat, const QString& code, const QString& prochain,
                  const QString& dernier) {
        auto v = [](const QString& text) {
            return text.isNull() ? QStringLiteral("NULL") : '\'' + QString(text).replace("'", "''") + '\'';
        };
        query(QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,"
                             "prochainaffichage,dernieraffichage) VALUES (%1,%2,%3,%4,%5,%6,%7,%8)")
                  .arg(v(titre), v(QStringLiteral("Texte de ") + titre), v(prochain.left(10)), v(prochain.mid(11)),
                       v(etat), v(code), v(prochain), v(dernier)));
        return query(QStringLiteral("SELECT max(id) FROM message")).toLongLong();
    }
    // The first value the statement gives, empty when none; fails the test when the statement fails.
    QString query(const QString& sql) { return SqlProbe(MessageStore::pathIn(dir.path())).must(sql).text(0); }
    QString row(qint64 id) {  // "etat prochainaffichage", or "gone"
        const QString r =
            query("SELECT etat || ' ' || ifnull(prochainaffichage, '') FROM message WHERE id = " + QString::number(id));
        return r.isEmpty() ? QStringLiteral("gone") : r;
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/config/Tavanote.ini")};
    Expiry expiry = Expiry::Delete;
    MessageStore store;
};

// An instant written "dd/mm/yyyy hh:mm" (a test's own text: always readable).
inline QDateTime at(const QString& text) {
    return readInstant(text).value_or(QDateTime());
}

// A stepping outcome as the user reads it: the next display, or "expired".
inline QString shown(const std::optional<QDateTime>& next) {
    return next ? formatDateTime(*next) : QStringLiteral("expired");
}

}  // namespace tavanote::test
