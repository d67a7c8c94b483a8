#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

namespace tavanote {

// The status bar of the windows that show the date and the time: a panel of hints, then the date, then the
// time. The hints give way first when the window is narrow: the date and the clock stay whole.
class ClockStatusBar : public QStatusBar {
public:
    // hintTip: the first panel's tool tip; hints: watches the mouse over the panels (none: no hints of their own).
    ClockStatusBar(QWidget* window, const QString& hintTip, const QString& firstHint, QObject* hints = nullptr);

    void showDate(const QDateTime& now);
    void showTime(const QDateTime& now);

    std::array<QLabel*, 3> panels{};  // hints, date, time
};

}  // namespace tavanote
