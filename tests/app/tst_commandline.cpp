// The Qt platform chosen from the environment before the program starts (the command line's answers are checked
// on the built program by command_line.sh).
#include <QTest>

#include "app/PlatformChoice.h"

using namespace tavanote;

class tst_CommandLine : public QObject {
    Q_OBJECT
private slots:
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
