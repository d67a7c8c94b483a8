// The command line read before the program starts, and the Qt platform chosen from the environment.
#include <QTest>

#include "app/CommandLine.h"
#include "app/PlatformChoice.h"

using namespace tavanote;

class tst_CommandLine : public QObject {
    Q_OBJECT
private slots:
    void argumentsDecideWhetherToStart_data();
    void argumentsDecideWhetherToStart();
    void platformFollowsTheSession_data();
    void platformFollowsTheSession();
};

void tst_CommandLine::argumentsDecideWhetherToStart_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("start");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firstLine");
    const QString usage = QStringLiteral("Usage : tavanote [option]");
    QTest::newRow("none") << QStringList{} << true << 0 << QString();
    QTest::newRow("Qt's platform") << QStringList{"-platform", "offscreen"} << true << 0 << QString();
    QTest::newRow("Qt's style, joined") << QStringList{"--style=fusion", "-reverse"} << true << 0 << QString();
    QTest::newRow("version") << QStringList{"--version"} << false << 0 << QStringLiteral("Tavanote 2.0.0");
    QTest::newRow("version, short") << QStringList{"-v"} << false << 0 << QStringLiteral("Tavanote 2.0.0");
    QTest::newRow("help wins") << QStringList{"--version", "-h"} << false << 0 << usage;
    QTest::newRow("unknown") << QStringList{"--bogus"} << false << 2 << QStringLiteral("Option inconnue : --bogus");
    QTest::newRow("unknown with a value")
        << QStringList{"-x=1"} << false << 2 << QStringLiteral("Option inconnue : -x");
    QTest::newRow("missing value") << QStringList{"-platform"} << false << 2
                                   << QStringLiteral("Option incomplète : il manque sa valeur.");
    QTest::newRow("argument") << QStringList{"notes.txt"} << false << 2
                              << QStringLiteral("Argument inattendu : notes.txt");
}

void tst_CommandLine::argumentsDecideWhetherToStart() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, start);
    QFETCH(int, status);
    QFETCH(QString, firstLine);
    const CommandLineAnswer answer = readCommandLine(QStringList{QStringLiteral("tavanote")} + arguments);
    QCOMPARE(answer.start, start);
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.toError, status != 0);
    QCOMPARE(answer.text.section(QLatin1Char('\n'), 0, 0), firstLine);
    if (status != 0)
        QVERIFY(answer.text.contains(QStringLiteral("Usage : tavanote [option]")));
}

void tst_CommandLine::platformFollowsTheSession_data() {
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("qtPlatform");
    QTest::addColumn<QString>("chosen");
    const QString xcb = QStringLiteral("xcb");
    QTest::newRow("Wayland session with XWayland") << "wayland"
                                                   << "wayland-0"
                                                   << ":0"
                                                   << "" << xcb;
    QTest::newRow("session type alone") << "wayland"
                                        << ""
                                        << ":1"
                                        << "" << xcb;
    QTest::newRow("Wayland display alone") << ""
                                           << "wayland-1"
                                           << ":0"
                                           << "" << xcb;
    QTest::newRow("session type in capitals") << "Wayland"
                                              << ""
                                              << ":0"
                                              << "" << xcb;
    QTest::newRow("no X display") << "wayland"
                                  << "wayland-0"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("platform chosen by the user") << "wayland"
                                                 << "wayland-0"
                                                 << ":0"
                                                 << "wayland"
                                                 << "";
    QTest::newRow("X11 session") << "x11"
                                 << ""
                                 << ":0"
                                 << ""
                                 << "";
    QTest::newRow("console") << "tty"
                             << ""
                             << ""
                             << ""
                             << "";
}

void tst_CommandLine::platformFollowsTheSession() {
    QFETCH(QString, sessionType);
    QFETCH(QString, waylandDisplay);
    QFETCH(QString, display);
    QFETCH(QString, qtPlatform);
    QFETCH(QString, chosen);
    QCOMPARE(chosenPlatform({sessionType, waylandDisplay, display, qtPlatform}), chosen);
}

QTEST_GUILESS_MAIN(tst_CommandLine)

#include "tst_commandline.moc"
