// A program folder whose name holds a control character: no start-up entry is written (a line break would add
// an Exec line of its own), the entry already there stays as it was, and the reason shows where the character is.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/Autostart.h"

using namespace tavanote;

class tst_AutostartEntry : public QObject {
    Q_OBJECT
private slots:
    void controlCharactersAreRefused_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("shown");
        QTest::newRow("line break") << QStringLiteral("a\nExec=touch pris") << QStringLiteral("a\\nExec=touch pris");
        QTest::newRow("carriage return") << QStringLiteral("a\rb") << QStringLiteral("a\\u000db");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a\\tb");
    }
    void controlCharactersAreRefused() {
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString executable = dir.filePath(folder + QStringLiteral("/tavanote"));
        QVERIFY(QDir().mkpath(QFileInfo(executable).absolutePath()));
        QFile program(executable);
        QVERIFY(program.open(QIODevice::WriteOnly) && program.write("#!/bin/sh\n") > 0);
        program.close();
        const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("autostart"))));
        QFile old(entry);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("[Desktop Entry]\nExec=/opt/ancien\n") > 0);
        old.close();

        Autostart autostart(entry, executable);
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Failed);
        QVERIFY2(autostart.failure().contains(QStringLiteral("caractère de contrôle")) &&
                     autostart.failure().contains(dir.path() + QLatin1Char('/') + shown + QStringLiteral("/tavanote")),
                 qPrintable(autostart.failure()));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("[Desktop Entry]\nExec=/opt/ancien\n"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Tavanote.desktop")});
    }
};

QTEST_GUILESS_MAIN(tst_AutostartEntry)
#include "tst_autostartentry.moc"
