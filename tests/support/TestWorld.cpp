#include "TestWorld.h"

#include <QApplication>

#include "common/TextRules.h"

namespace tavanote::test {

QStringList visibleWindows() {
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            names << window->objectName();
    return names;
}

QDateTime dateTime(const QString& text) {
    QDateTime when = QDateTime::fromString(text, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (!when.isValid())
        when = QDateTime::fromString(text, QStringLiteral("dd/MM/yyyy HH:mm"));
    return when;
}

TestWorld::TestWorld(const QString& now, bool withMessageFile)
    : clock(dateTime(now)),
      settingsStore(std::make_unique<SettingsStore>(dir.path() + QStringLiteral("/config/Tavanote.ini"))),
      m_services{clock, random,   scopedDialogs, *settingsStore, preferences,
                 store, platform, tray,          help,           programFolder()} {
    if (withMessageFile) {
        QString error;
        if (!MessageStore::createEmpty(storePath(), &error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    }
}

TestWorld::~TestWorld() = default;

void TestWorld::openStore() {
    if (store.isOpen())
        return;
    const StoreOpenResult result = store.open(storePath());
    if (!result.ok())
        QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(storePath(), result.detail)), __FILE__,
                     __LINE__);
}

SqlRows TestWorld::sql(const QString& statement) {
    openStore();
    return SqlProbe(storePath()).must(statement);
}

qint64 TestWorld::insert(const QString& titre, const QString& message, const QString& date, const QString& heure,
                         const QString& etat, const QString& periodicite, const QString& prochain,
                         const QString& dernier) {
    auto value = [](const QString& text) {
        return text.isNull() ? QStringLiteral("NULL") : QLatin1Char('\'') + QString(text).replace("'", "''") + '\'';
    };
    openStore();
    SqlProbe probe(storePath());
    probe.must(QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,"
                              "prochainaffichage,dernieraffichage) VALUES (%1,%2,%3,%4,%5,%6,%7,%8)")
                   .arg(value(titre), value(message), value(date), value(heure), value(etat), value(periodicite),
                        value(prochain), value(dernier)));
    SqlRows rs = probe.must(QStringLiteral("SELECT max(id) AS id FROM message"));
    rs.moveFirst();
    return rs.text(QStringLiteral("id")).toLongLong();
}

int TestWorld::count(const QString& where) {
    SqlRows rs = sql(QStringLiteral("SELECT count(*) AS n FROM message") +
                     (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
    rs.moveFirst();
    return rs.text(QStringLiteral("n")).toInt();
}

}  // namespace tavanote::test
