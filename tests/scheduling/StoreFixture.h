#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/SettingsStore.h"
#include "common/DateText.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote::test {

// A message file made empty in a temporary folder and opened, and a settings file beside it: the store and the
// settings the scheduling rules work on, without any window.
class StoreFixture {
public:
    StoreFixture() : settings(std::make_unique<SettingsStore>(dir.path() + QStringLiteral("/config/Tavanote.ini"))) {
        const QString path = MessageStore::pathIn(dir.path());
        QString error;
        if (!MessageStore::createEmpty(path, &error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        const StoreOpenResult opened = store.open(path);
        if (!opened.ok())
            QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(path, opened.detail)), __FILE__, __LINE__);
    }

    void setSuppression(const QString& value) { settings->set(kParametres, QStringLiteral("suppression"), value); }

    // One row; a null text is written as SQL NULL.
    qint64 insert(const QString& titre, const QString& etat, const QString& periodicite, const QString& prochain,
                  const QString& dernier) {
        auto value = [](const QString& text) {
            return text.isNull() ? QStringLiteral("NULL")
                                 : QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
                                       QLatin1Char('\'');
        };
        run(QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,"
                           "prochainaffichage,dernieraffichage) VALUES (%1,%2,%3,%4,%5,%6,%7,%8)")
                .arg(value(titre), value(QStringLiteral("Texte de ") + titre), value(prochain.left(10)),
                     value(prochain.mid(11)), value(etat), value(periodicite), value(prochain), value(dernier)));
        Recordset rs = run(QStringLiteral("SELECT max(id) AS id FROM message"));
        rs.moveFirst();
        return rs.text(QStringLiteral("id")).toLongLong();
    }

    Recordset run(const QString& sql) {
        Recordset rs = store.run(sql);
        if (!rs.ok())
            QTest::qFail(qPrintable(sql + QStringLiteral(": ") + rs.error()), __FILE__, __LINE__);
        return rs;
    }

    bool exists(qint64 id) {
        return run(QStringLiteral("SELECT id FROM message WHERE id = %1").arg(id)).rowCount() == 1;
    }

    // A field of a row as the program reads it; empty when the row is gone.
    QString field(qint64 id, const QString& column) {
        Recordset rs = run(QStringLiteral("SELECT * FROM message WHERE id = %1").arg(id));
        if (rs.isEmpty())
            return QString();
        rs.moveFirst();
        return rs.text(column);
    }
    QString etat(qint64 id) { return field(id, QStringLiteral("etat")); }
    QString next(qint64 id) { return field(id, QStringLiteral("prochainaffichage")); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings;
    MessageStore store;
};

// An instant written "dd/mm/yyyy hh:mm"; fails the running test when the text cannot be read.
inline QDateTime at(const QString& text) {
    const std::optional<QDateTime> when = readInstant(text);
    if (!when)
        QTest::qFail(qPrintable(QStringLiteral("unreadable instant %1").arg(text)), __FILE__, __LINE__);
    return when.value_or(QDateTime());
}

// An outcome of the stepping rule as the user would read it: the next display, or "expired".
inline QString shown(const std::optional<QDateTime>& next) {
    return next ? formatDateTime(*next) : QStringLiteral("expired");
}

}  // namespace tavanote::test
