#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "common/Services.h"
#include "common/WindowHost.h"

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavanote {

// The time picker: an hour and a minute chosen from two lists or typed, written "hh:mm" into the editor's
// time field.
class frmHeure : public QWidget {
    Q_OBJECT
public:
    frmHeure(Services& services, WindowHost& host, QLineEdit* timeField, QWidget* parent = nullptr);

    // Opens on the current hour and minute, the window on top.
    void Form_Load();
    // Insérer: checks the hour and minute, writes them and closes; a fault is told and the window stays.
    void ReturnTime();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The typing rule of both lists: digits only, two at most unless they replace a selection.
    bool refuseKey(QLineEdit* edit, const QKeyEvent* key);
    // Trims, rewrites with two digits at least and checks one list; false after telling the fault.
    bool checkList(QComboBox* list, int highest, const QString& emptyText, const QString& rangeText);
    void tell(const QString& text);

    std::array<QLabel*, 2> Label1{};
    QComboBox* cboHeure;
    QComboBox* cboMinute;
    std::array<QPushButton*, 1> Bouton{};
    QFrame* Line1;
    QFrame* Line2;

    Services& m_services;
    QPointer<QLineEdit> m_timeField;
};

}  // namespace tavanote
