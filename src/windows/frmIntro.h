#pragma once

#include <QWidget>
#include <functional>

#include "common/Services.h"

class QLabel;
class QTimer;

namespace tavanote {

// The splash window: refuses a second copy, puts the settings in order, then after two ticks of its timer
// unloads itself and hands over to the main window.
class frmIntro : public QWidget {
    Q_OBJECT
public:
    frmIntro(Services& services, std::function<void(bool newVersion)> unloaded, QWidget* parent = nullptr);

    // False when another copy runs: the user was told, and nothing was touched.
    bool Form_Load();
    bool newVersion() const { return m_newVersion; }

    QLabel* lblTitre;
    QLabel* lblVersion;
    QTimer* Timer1;

private:
    void Timer1_Timer();

    Services& m_services;
    std::function<void(bool)> m_unloaded;
    int m_ticks = 0;
    bool m_newVersion = false;
};

}  // namespace tavanote
