#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "common/Services.h"
#include "editor/frmAjoutMessage.h"
#include "import/frmImporter.h"
#include "store/Message.h"

namespace tavanote {

class frmApropos;
class frmEtat;
class frmParametres;

// The single instances of the windows the main window opens (editor, settings, report, about; next the import
// window): created on first use, reused while open, closed together when the main window comes to the
// front, and gone with the main window. It is the host of each of them.
class SecondaryWindows : public QObject, public EditorHost, public ImportHost {
    Q_OBJECT
public:
    // saved: a message was written in the editor (its id); imported: messages were imported (with their ids).
    SecondaryWindows(Services& services, std::function<void(qint64 id)> saved,
                     std::function<void(const MessageList&)> imported = {});
    ~SecondaryWindows() override;

    // The editor on a new message; an open editor is reused with what the user typed in it.
    void startNew();
    // The editor on message id; false (the user told) when it no longer exists.
    bool startEdit(qint64 id, const QString& title);
    void showSettings();
    void showAbout() override;
    void showImport();
    // The report of list (0 active, 1 erroneous, 2 displayed) in the report window, shown.
    void showReport(int list);
    // The report of list printed, or exported, through a report window that is never shown.
    void printReport(int list);
    void exportReport(int list);
    // The import window's file as it is, in the report window, before it is imported.
    void previewFile(const QString& path) override;
    // The program's one printer: the main window's printer set-up and the report window's print share it.
    QPrinter& printer();
    // Closes whichever is open, in the order settings, editor, report, about, import.
    void closeAll();

    frmAjoutMessage* editor() const { return m_editor; }
    frmImporter* importer() const { return m_import; }
    frmEtat* report() const;

private:
    void editorSaved(qint64 id) override;
    void messagesImported(const MessageList& stored) override;
    frmAjoutMessage* openEditor();
    frmEtat* openReport();
    // Builds the report of list in a report window never shown, runs one of its buttons, and unloads it.
    void runReport(int list, const QString& caption, int button);
    // The messages of list in title order; empty (the user told) when they cannot be read.
    std::optional<MessageList> reportMessages(int list);

    Services& m_services;
    std::function<void(qint64)> m_saved;
    std::function<void(const MessageList&)> m_imported;
    QPointer<frmParametres> m_settings;
    QPointer<frmAjoutMessage> m_editor;
    QPointer<frmApropos> m_about;
    QPointer<frmImporter> m_import;
    QPointer<frmEtat> m_report;
    std::unique_ptr<QPrinter> m_printer;
};

}  // namespace tavanote
