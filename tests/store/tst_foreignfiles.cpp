// A program path holding a control character writes no start-up entry (a line break would add an Exec line) and
// leaves the old one as it was (message tables written by other tools: tst_messagestore).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/Autostart.h"

using namespace tavanote;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class tst_ForeignFiles : public QObject {
    Q_OBJECT
private slots:
    void startupEntry() {
        QTemporaryDir dir;
        const QString entry = dir.filePath("autostart/Tavanote.desktop");
        const QByteArray old("[Desktop Entry]\nExec=/opt/ancien\n");
        for (const auto& [path, bytes] :
             {std::pair(entry, old), std::pair(dir.filePath("a\nExec=touch pris/tavanote"), old)}) {
            QFile file(path);
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
        Autostart autostart(entry, dir.filePath("a\nExec=touch pris/tavanote"));
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Failed);
        QVERIFY2(autostart.failure().contains("caractère de contrôle") &&
                     autostart.failure().contains(dir.path() + "/a\\nExec=touch pris/tavanote"),
                 qPrintable(autostart.failure()));
        QCOMPARE(contents(entry), old);
        QCOMPARE(QDir(dir.filePath("autostart")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Tavanote.desktop"});
    }
};

QTEST_GUILESS_MAIN(tst_ForeignFiles)
#include "tst_foreignfiles.moc"
