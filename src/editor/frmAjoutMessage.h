#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>

#include "common/Services.h"
#include "common/WindowHost.h"
#include "editor/EditorRules.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QToolButton;

namespace tavanote {

class ClockStatusBar;

class frmCalendrier;
class frmHeure;

// What the editor asks of the window that opened it.
class EditorHost : public WindowHost {
public:
    // A message was written: refresh the lists and select it among the active messages.
    virtual void editorSaved(qint64 id) = 0;
};

// The window where a message is written or changed. It checks every field and writes one statement.
class frmAjoutMessage : public QMainWindow {
    Q_OBJECT
public:
    frmAjoutMessage(Services& services, EditorHost& host, QWidget* parent = nullptr);
    ~frmAjoutMessage() override;

    void Form_Load();
    // Caption "Créer un nouveau message", today's date, periodicity "once", the focus on the title; then shown.
    void startNew(const QDate& today);
    // Caption "Modifier le message <title>", the fields of message id; false (the user told, the window closed)
    // when it no longer exists.
    bool startEdit(qint64 id, const QString& title);
    // Fills the fields from the message SelectedId; false (the user told) when it no longer exists.
    bool LoadMessageIntoEditor();
    bool ValidateEditor();
    void Save();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cboPeriode_Click();
    void cmdCalendrier_Click(int index);
    void cmdHeure_Click();
    EditorFields typedFields() const;
    void showFields(const EditorFields& fields);

    // The message being modified, empty for a new one; after an insert, the new row's id.
    QString SelectedId;
    bool MessageSaved = false;

    QLineEdit* txtTitre;
    QPlainTextEdit* txtTexte;
    QFrame* Frame1;
    QLineEdit* txtDate;
    std::array<QToolButton*, 2> cmdCalendrier{};
    QLineEdit* txtHeure;
    QToolButton* cmdHeure;
    QComboBox* cboPeriode;
    QLineEdit* txtDateFin;
    std::array<QLabel*, 6> Label1{};
    QToolBar* Toolbar1;
    ClockStatusBar* StatusBar1;
    std::array<QLabel*, 3> StatusPanels{};
    QTimer* Timer1;
    QPointer<frmCalendrier> calendar;
    QPointer<frmHeure> timePicker;

    Services& m_services;
    EditorHost& m_host;
};

}  // namespace tavanote
