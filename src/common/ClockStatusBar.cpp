#include "ClockStatusBar.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>

namespace tavanote {

ClockStatusBar::ClockStatusBar(QWidget* window, const QString& hintTip, const QString& firstHint, QObject* hints)
    : QStatusBar(window) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    const QString tips[3] = {hintTip, QStringLiteral("Date actuelle"), QStringLiteral("Heure actuelle")};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(tips[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        if (hints) {
            panel->setMouseTracking(true);
            panel->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
            panel->installEventFilter(hints);
        }
        if (i == 0) {
            // A long hint is cut rather than pushing the clock out of the window.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(panel, 1);
        } else {
            addPermanentWidget(panel);
        }
        panels[static_cast<size_t>(i)] = panel;
    }
    panels[0]->setText(firstHint);
}

void ClockStatusBar::showDate(const QDateTime& now) {
    panels[1]->setText(QLocale(QLocale::French).toString(now.date(), QStringLiteral("  dddd d MMMM yyyy  ")));
    showTime(now);
}

void ClockStatusBar::showTime(const QDateTime& now) {
    panels[2]->setText(now.toString(QStringLiteral("  HH:mm:ss  ")));
}

}  // namespace tavanote
