#include <QApplication>

#include "app/Application.h"
#include "common/FileExists.h"
#include "common/RealServices.h"
#include "common/SettingsStore.h"
#include "common/WindowHelpers.h"
#include "store/MessageStore.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavanote"));
    // Notes and the splash come and go; only the quit procedure ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(tavanote::programIcon());

    using namespace tavanote;
    SystemClock clock;
    SystemRandom random;
    QtDialogs dialogs;
    SettingsStore settings(SettingsStore::defaultPath());
    MessageStore store;
    DesktopPlatform platform(QApplication::applicationFilePath());
    SystemTrayIcon tray;
    Services services{clock, random,   dialogs, settings,
                      store, platform, tray,    withTrailingSeparator(QApplication::applicationDirPath())};

    Application program(services);
    if (!program.start())
        return 0;
    return QApplication::exec();
}
