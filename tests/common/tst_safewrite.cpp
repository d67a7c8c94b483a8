// A file is written whole or not at all: on a full disk, past a size limit or into a missing folder the older
// file stays as it was, nothing is left beside it, and the cause is told in French. A start-up entry is not
// written at all for a program path holding a control character (a line break would add an Exec line).
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/Autostart.h"
#include "common/SafeWrite.h"
#include "support/SizeLimit.h"

using namespace tavanote;
using tavanote::test::SizeLimit;

namespace {

QString g_smallDisk;  // a 64 KiB tmpfs of the test's own, when the system lets it mount one

// Mounts it in a mount namespace of this process alone (as root, or as a user in a user namespace).
bool mountSmallDisk(const QByteArray& where) {
    const QByteArray uid = QByteArray::number(geteuid()), gid = QByteArray::number(getegid());
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        for (const auto& [file, text] : {std::pair{"/proc/self/setgroups", QByteArray("deny")},
                                         {"/proc/self/uid_map", "0 " + uid + " 1"},
                                         {"/proc/self/gid_map", "0 " + gid + " 1"}}) {
            QFile f(QString::fromLatin1(file));
            if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
                return false;
        }
    }
    return mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("tavanote", where.constData(), "tmpfs", 0, "size=64k") == 0;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

}  // namespace

class tst_SafeWrite : public QObject {
    Q_OBJECT
private slots:
    void failureKeepsTheOldFile_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("cause");
        // 3000 bytes wait in Qt's buffer until the commit: the case a commit alone reports as written.
        QTest::newRow("disque plein") << "full" << 3000 << "Le disque est plein: libérez de la place";
        QTest::newRow("disque plein, gros fichier") << "full" << 300000 << "Le disque est plein: libérez de la place";
        QTest::newRow("taille limitée") << "limit" << 3000 << "Le disque n'a pas pu écrire le fichier";
        QTest::newRow("dossier absent") << "absent/sub" << 10 << "Le dossier du fichier n'existe pas";
    }
    void failureKeepsTheOldFile() {
        QFETCH(QString, where);
        QFETCH(int, bytes);
        QFETCH(QString, cause);
        if (where == QLatin1String("full") && g_smallDisk.isEmpty())
            QSKIP("no small disk could be mounted here");
        QTemporaryDir dir;
        const QDir folder(where == QLatin1String("full") ? g_smallDisk : dir.path());
        for (const QString& name : folder.entryList(QDir::Files))  // the small disk's files of the rows before
            QVERIFY(QFile::remove(folder.filePath(name)));
        QVERIFY(writeFileSafely(folder.filePath("liste.rtf"), "ancien contenu").ok());
        QFile filler(folder.filePath("remplissage"));
        QVERIFY(where != QLatin1String("full") || filler.open(QIODevice::WriteOnly));
        while (filler.isOpen() && filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        const QStringList before = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QString path = folder.filePath(where.startsWith("absent") ? where + "/liste.rtf" : "liste.rtf");
        const FileWriteResult result = [&] {
            SizeLimit limit(where == QLatin1String("limit") ? 100 : -1);
            return writeFileSafely(path, QByteArray(bytes, 'x'));
        }();
        const QString text = fileWriteFailureText(path, result);
        QVERIFY2(!result.ok() && text.startsWith("Impossible d'enregistrer le fichier [liste.rtf].\n\n" + cause),
                 qPrintable(text));
        QCOMPARE(contents(folder.filePath("liste.rtf")), "ancien contenu");
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    }

    void startupEntryRefusesControlCharacters() {
        QTemporaryDir dir;
        const QString entry = dir.filePath("autostart/Tavanote.desktop");
        const QString program = dir.filePath("a\nExec=touch pris/tavanote");
        for (const QString& path : {entry, program})
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && writeFileSafely(path, "Exec=/opt/ancien\n").ok());
        Autostart autostart(entry, program);
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Failed);
        QVERIFY2(autostart.failure().contains("caractère de contrôle") &&
                     autostart.failure().contains(dir.path() + "/a\\nExec=touch pris/tavanote"),
                 qPrintable(autostart.failure()));
        QCOMPARE(contents(entry), "Exec=/opt/ancien\n");
        QCOMPARE(QDir(dir.filePath("autostart")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Tavanote.desktop"});
    }
};

int main(int argc, char** argv) {
    // Before any thread starts: a user namespace takes a process of one thread.
    QByteArray where = QDir::tempPath().toLocal8Bit() + "/tavanote-petit-disque-XXXXXX";
    if (mkdtemp(where.data())) {
        if (mountSmallDisk(where))
            g_smallDisk = QString::fromLocal8Bit(where);
        else
            rmdir(where.constData());
    }
    QCoreApplication app(argc, argv);
    tst_SafeWrite test;
    const int status = QTest::qExec(&test, argc, argv);
    if (!g_smallDisk.isEmpty() && umount2(where.constData(), MNT_DETACH) == 0)
        rmdir(where.constData());
    return status;
}

#include "tst_safewrite.moc"
