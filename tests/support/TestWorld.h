#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "common/Preferences.h"
#include "common/RealServices.h"
#include "common/SettingsStore.h"
#include "store/MessageStore.h"
#include "support/Fakes.h"
#include "support/SqlProbe.h"

namespace tavanote::test {

// A fresh world for one test: a fake clock set to a "dd/mm/yyyy hh:mm" text, fake dialogs, random and
// platform, a settings file and a program folder in a temporary directory. The message file is made empty in
// the program folder unless told otherwise; the store is not opened (the main window opens it at load).
class TestWorld {
public:
    explicit TestWorld(const QString& now = QStringLiteral("05/06/2026 09:00"), bool withMessageFile = true);
    ~TestWorld();

    Services& services() { return m_services; }
    QString programFolder() const { return dir.path() + QLatin1Char('/'); }
    QString storePath() const { return MessageStore::pathIn(dir.path()); }

    // Opens the store on the program folder's file (for tests that fill it before building a window).
    void openStore();
    // Inserts one row with the eight given fields (null fields written as SQL NULL) and returns its id.
    qint64 insert(const QString& titre, const QString& message, const QString& date, const QString& heure,
                  const QString& etat, const QString& periodicite, const QString& prochain, const QString& dernier);
    // Runs one statement on the message file beside the program's store (opened when needed) and fails the test
    // when it fails.
    SqlRows sql(const QString& statement);
    int count(const QString& where = QString());

    QTemporaryDir dir;
    FakeClock clock;
    FakeRandom random;
    FakeDialogs dialogs;
    ScopedDialogs scopedDialogs{dialogs};  // as the program shows its boxes: no tick runs inside one
    FakeHelp help;
    FakeHost host;
    FakePlatform platform;
    FakeTray tray;
    std::unique_ptr<SettingsStore> settingsStore;
    Preferences preferences{*settingsStore};
    MessageStore store;

private:
    Services m_services;
};

QDateTime dateTime(const QString& text);  // "dd/mm/yyyy hh:mm" or "dd/mm/yyyy hh:mm:ss"
QStringList visibleWindows();             // the names of the windows on screen

// The child of parent named name, of type T; fails the running test when there is none.
template <typename T>
T* ctl(QObject* parent, const QString& name) {
    T* child = parent->findChild<T*>(name);
    if (!child)
        QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(name)), __FILE__, __LINE__);
    return child;
}

}  // namespace tavanote::test
