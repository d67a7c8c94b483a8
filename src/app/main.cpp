#include <QApplication>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/PlatformChoice.h"
#include "common/FileExists.h"
#include "common/Preferences.h"
#include "common/RealServices.h"
#include "common/SettingsStore.h"
#include "common/WindowHelpers.h"
#include "main_window/HelpSystem.h"
#include "store/MessageFile.h"
#include "store/MessageStore.h"

int main(int argc, char** argv) {
    // --version and --help answer before anything starts: no display, lock, settings or store is touched.
    if (const std::optional<int> status = tavanote::answerCommandLine(argc, argv))
        return *status;
    tavanote::applyPlatformChoice();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavanote"));
    QApplication::setDesktopFileName(QStringLiteral("tavanote"));
    // Notes and the splash come and go; only the quit procedure ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(tavanote::programIcon());
    tavanote::installFrenchTranslations();

    using namespace tavanote;
    SystemClock clock;
    SystemRandom random;
    QtDialogs boxes;
    ScopedDialogs dialogs(boxes);
    SettingsStore settings(SettingsStore::defaultPath());
    Preferences preferences(settings);
    MessageStore store;
    DesktopPlatform platform(QApplication::applicationFilePath());
    SystemTrayIcon tray;
    const QString folder = withTrailingSeparator(QApplication::applicationDirPath());
    const MessageFileChoice messageFile = chooseMessageFile(folder, userDataFolder(), isWritableFolder(folder));
    platform.setMessageFile(messageFile.path);
    HelpSystem help(dialogs, folder);
    Services services{clock,    random, dialogs, settings, preferences,      store,
                      platform, tray,   help,    folder,   messageFile.path, messageFile.perUser};

    Application program(services);
    if (!program.start())
        return 0;
    return QApplication::exec();
}
