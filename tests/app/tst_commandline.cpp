// The command line read before the program starts, and the Qt platform chosen from the environment. The program's
// own answers to --version, --help, an unknown option and an argument are checked on the built program by
// command_line.sh.
#include <QTest>

#include "app/CommandLine.h"
#include "app/PlatformChoice.h"

using namespace tavanote;

class tst_CommandLine : public QObject {
    Q_OBJECT
private slots:
    void argumentsDecideWhetherToStart_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");  // -1: the program starts
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("none") << QStringList{} << -1 << QString();
        QTest::newRow("Qt's platform") << QStringList{"-platform", "offscreen"} << -1 << QString();
        QTest::newRow("help wins") << QStringList{"--version", "-h"} << 0
                                   << QStringLiteral("Usage : tavanote [option]");
        QTest::newRow("unknown with a value") << QStringList{"-x=1"} << 2 << QStringLiteral("Option inconnue : -x");
        QTest::newRow("missing value") << QStringList{"-platform"} << 2
                                       << QStringLiteral("Option incomplète : il manque sa valeur.");
    }
    void argumentsDecideWhetherToStart() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, firstLine);
        const CommandLineAnswer answer = readCommandLine(QStringList{QStringLiteral("tavanote")} + arguments);
        QCOMPARE(answer.start, status < 0);
        QCOMPARE(answer.status, qMax(status, 0));
        QCOMPARE(answer.toError, status > 0);
        QCOMPARE(answer.text.section(QLatin1Char('\n'), 0, 0), firstLine);
        if (status > 0)
            QVERIFY(answer.text.contains(QStringLiteral("Usage : tavanote [option]")));
    }
    void platformFollowsTheSession_data() {
        QTest::addColumn<QStringList>("environment");  // XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM
        QTest::addColumn<QString>("chosen");
        const auto row = [](const char* name, const char* session, const char* wayland, const char* display,
                            const char* qt, const char* chosen) {
            QTest::newRow(name) << QStringList{session, wayland, display, qt} << QString::fromLatin1(chosen);
        };
        row("Wayland session with XWayland", "wayland", "wayland-0", ":0", "", "xcb");
        row("session type in capitals", "Wayland", "", ":0", "", "xcb");
        row("no X display", "wayland", "wayland-0", "", "", "");
        row("platform chosen by the user", "wayland", "wayland-0", ":0", "wayland", "");
        row("console", "tty", "", "", "", "");
    }
    void platformFollowsTheSession() {
        QFETCH(QStringList, environment);
        QFETCH(QString, chosen);
        QCOMPARE(chosenPlatform({environment[0], environment[1], environment[2], environment[3]}), chosen);
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)

#include "tst_commandline.moc"
