// The start-up entry: what it runs, when it is written, removed or left, and its failures.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "common/Autostart.h"

using namespace tavanote;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool makeExecutable(const QString& path) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write("#!/bin/sh\n") > 0 && file.setPermissions(file.permissions() | QFile::ExeOwner);
}

}  // namespace

class tst_Autostart : public QObject {
    Q_OBJECT

private slots:
    // The entry runs the executable (blanks, quotes, "$", "%" and "\" escaped), twice applied is one identical entry,
    // and the desktop's own checker accepts it.
    void registeringWritesAValidEntry() {
        QTemporaryDir dir;
        const QString executable = dir.filePath(QStringLiteral("l'été \"100%\"/a`b\\c $prix/tavanote"));
        QVERIFY(makeExecutable(executable));
        const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
        Autostart autostart(entry, executable);
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
        const QByteArray first = readAll(entry);
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
        QCOMPARE(readAll(entry), first);
        const QString exec =
            QString::fromUtf8("Exec=\"%1/l'été \\\\\"100%%\\\\\"/a\\\\`b\\\\\\\\c \\\\$prix/tavanote\"")
                .arg(dir.path());
        QCOMPARE(QString::fromUtf8(first).split('\n').filter(QRegularExpression("^Exec=")), QStringList{exec});
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY2(validate.waitForFinished(60000), "desktop-file-validate is needed");
        const QString said = QString::fromUtf8(validate.readAll());
        QVERIFY2(validate.exitCode() == 0 && !said.contains(QLatin1String("error"), Qt::CaseInsensitive),
                 qPrintable(said));
    }
    void autostartValues() {
        QTemporaryDir dir;
        const QString executable = dir.filePath(QStringLiteral("bin/tavanote"));
        const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
        Autostart autostart(entry, executable);
        // A missing executable, or a folder of that name, writes nothing.
        QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
        QVERIFY(QDir().mkpath(executable));
        QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
        QVERIFY(!QFileInfo::exists(entry) && !autostart.isRegistered());
        QVERIFY(QDir(executable).removeRecursively() && makeExecutable(executable));
        // 0 removes the entry, and passes without one.
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
        QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
        QVERIFY(!QFileInfo::exists(entry) && !autostart.isRegistered());
        QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
        // A file where the folder should be.
        Autostart blocked(executable + QStringLiteral("/autostart/Tavanote.desktop"), executable);
        QCOMPARE(blocked.apply(1), Autostart::Outcome::Failed);
        QCOMPARE(blocked.failure(), QStringLiteral("Le dossier %1/autostart ne peut pas être créé.").arg(executable));
    }
};

QTEST_GUILESS_MAIN(tst_Autostart)

#include "tst_autostart.moc"
