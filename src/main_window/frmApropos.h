#pragma once

#include <QWidget>
#include <array>

#include "common/Services.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavanote {

// "A propos de...": the program's name, version and purpose, the links to its web site and mail address,
// and the system information.
class frmApropos : public QWidget {
    Q_OBJECT
public:
    explicit frmApropos(Services& services, QWidget* parent = nullptr);

    void Form_Load();
    void StartSysInfo();

    // The project's own addresses.
    static const QString kWebAddress;
    static const QString kMailAddress;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lblUrl_Click(int index);
    // Moving over the background takes the underline from both links.
    void mouseMoveEvent(QMouseEvent* event) override;
    void removeUnderlines();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QPlainTextEdit* txtInformations;
    QLabel* lblMessages;
    std::array<QLabel*, 2> lblUrl{};
    QPushButton* cmdSysInfo;
    QPushButton* cmdOK;

    Services& m_services;
};

}  // namespace tavanote
