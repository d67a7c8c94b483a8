#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "common/Services.h"
#include "editor/frmAjoutMessage.h"
#include "import/frmImporter.h"

namespace tavanote {

class frmApropos;
class frmParametres;

// The single instances of the windows the main window opens (editor, settings, about; next the report and the
// import windows): created on first use, reused while open, closed together when the main window comes to the
// front, and gone with the main window. It is the host of each of them.
class SecondaryWindows : public QObject, public EditorHost, public ImportHost {
    Q_OBJECT
public:
    // saved: a message was written in the editor (its id); imported: messages were imported.
    SecondaryWindows(Services& services, std::function<void(qint64 id)> saved, std::function<void()> imported = {});
    ~SecondaryWindows() override;

    // The editor on a new message; an open editor is reused with what the user typed in it.
    void startNew();
    // The editor on message id; false (the user told) when it no longer exists.
    bool startEdit(qint64 id, const QString& title);
    void showSettings();
    void showAbout() override;
    void showImport();
    // The report window on a file, before its import.
    void previewFile(const QString& path) override;
    // Closes whichever is open, in the order settings, editor, report, about, import.
    void closeAll();

    frmAjoutMessage* editor() const { return m_editor; }
    frmImporter* importer() const { return m_import; }

private:
    void editorSaved(qint64 id) override;
    void messagesImported() override;
    frmAjoutMessage* openEditor();

    Services& m_services;
    std::function<void(qint64)> m_saved;
    std::function<void()> m_imported;
    QPointer<frmParametres> m_settings;
    QPointer<frmAjoutMessage> m_editor;
    QPointer<frmApropos> m_about;
    QPointer<frmImporter> m_import;
};

}  // namespace tavanote
