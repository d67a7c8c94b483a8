// Which messages file a run uses: the program folder's own, or one per user when the program folder holds none
// and cannot be written; never another file in place of a protected one.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "store/MessageFile.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

enum class File { None, Writable, ReadOnly };

void make(const QString& folder, File file) {
    if (file == File::None)
        return;
    QVERIFY(QDir().mkpath(folder));
    const QString path = MessageStore::pathIn(folder);
    QVERIFY(MessageStore::createEmpty(path, nullptr));
    if (file == File::ReadOnly)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

}  // namespace

class MessageFileTest : public QObject {
    Q_OBJECT
private slots:
    void choice_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<File>("programFile");
        QTest::addColumn<File>("userFile");
        QTest::addColumn<bool>("perUser");
        QTest::addColumn<StoreFault>("fault");
        // A program folder holding a file keeps it, writable or not, whatever the user's folder holds.
        QTest::newRow("writable folder, protected file")
            << true << File::ReadOnly << File::Writable << false << StoreFault::ReadOnly;
        QTest::newRow("protected folder, file") << false << File::Writable << File::None << false << StoreFault::None;
        // A writable program folder without a file: missing, as ever; nothing is made anywhere.
        QTest::newRow("writable folder, no file")
            << true << File::None << File::Writable << false << StoreFault::Missing;
        // A protected program folder without a file: the user's own, made at the first start, kept after.
        QTest::newRow("first start") << false << File::None << File::None << true << StoreFault::None;
        QTest::newRow("next start") << false << File::None << File::Writable << true << StoreFault::None;
        QTest::newRow("protected user file") << false << File::None << File::ReadOnly << true << StoreFault::ReadOnly;
    }
    void choice() {
        QFETCH(bool, folderWritable);
        QFETCH(File, programFile);
        QFETCH(File, userFile);
        QFETCH(bool, perUser);
        QFETCH(StoreFault, fault);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("lib/tavanote"));
        const QString user = dir.filePath(QStringLiteral("home/.local/share/Tavanote"));
        QVERIFY(QDir().mkpath(program));
        make(program, programFile);
        make(user, userFile);
        const MessageFileChoice choice = chooseMessageFile(program, user, folderWritable);
        QCOMPARE(choice.perUser, perUser);
        QCOMPARE(choice.folder(), perUser ? user : program);
        if (choice.perUser)
            QCOMPARE(makePerUserMessageFile(choice.path), QString());
        MessageStore store;
        QCOMPARE(store.open(choice.path).fault, fault);
        // Nothing is ever made in the program folder.
        QCOMPARE(QFileInfo::exists(MessageStore::pathIn(program)), programFile != File::None);
    }

    void userWithoutHome() {
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", "");
        QCOMPARE(userDataFolder(), QString());
        QVERIFY(makePerUserMessageFile(QString()).contains(QStringLiteral("HOME")));
        qputenv("HOME", "/home/anne");
        QCOMPARE(userDataFolder(), QStringLiteral("/home/anne/.local/share/Tavanote"));
        qputenv("XDG_DATA_HOME", "/data/anne");
        QCOMPARE(userDataFolder(), QStringLiteral("/data/anne/Tavanote"));
    }
};

QTEST_GUILESS_MAIN(MessageFileTest)
#include "tst_messagefile.moc"
