#include "PlatformChoice.h"

namespace tavanote {

QString chosenPlatform(const PlatformEnvironment& environment) {
    const bool wayland =
        environment.sessionType.trimmed().compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
        !environment.waylandDisplay.isEmpty();
    if (wayland && !environment.display.isEmpty() && environment.qtPlatform.isEmpty())
        return QStringLiteral("xcb");
    return QString();
}

void applyPlatformChoice() {
    const QString platform =
        chosenPlatform({qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("WAYLAND_DISPLAY"),
                        qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("QT_QPA_PLATFORM")});
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());
}

}  // namespace tavanote
