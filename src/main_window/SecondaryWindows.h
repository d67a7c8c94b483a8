#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "common/Services.h"
#include "editor/frmAjoutMessage.h"

namespace tavanote {

class frmApropos;
class frmParametres;

// The single instances of the windows the main window opens (editor, settings, about; next the report and the
// import windows): created on first use, reused while open, closed together when the main window comes to the
// front, and gone with the main window. It is the host of each of them.
class SecondaryWindows : public QObject, public EditorHost {
    Q_OBJECT
public:
    // saved: a message was written in the editor (its id).
    SecondaryWindows(Services& services, std::function<void(qint64 id)> saved);
    ~SecondaryWindows() override;

    // The editor on a new message; an open editor is reused with what the user typed in it.
    void startNew();
    // The editor on message id; false (the user told) when it no longer exists.
    bool startEdit(qint64 id, const QString& title);
    void showSettings();
    void showAbout() override;
    // Closes whichever is open, in the order settings, editor, report, about, import.
    void closeAll();

    frmAjoutMessage* editor() const { return m_editor; }

private:
    void editorSaved(qint64 id) override;
    frmAjoutMessage* openEditor();

    Services& m_services;
    std::function<void(qint64)> m_saved;
    QPointer<frmParametres> m_settings;
    QPointer<frmAjoutMessage> m_editor;
    QPointer<frmApropos> m_about;
};

}  // namespace tavanote
