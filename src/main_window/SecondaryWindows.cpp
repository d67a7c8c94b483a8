#include "SecondaryWindows.h"

#include "app/frmParametres.h"
#include "main_window/frmApropos.h"

namespace tavanote {

namespace {

template <typename Window>
void bringForward(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

SecondaryWindows::SecondaryWindows(Services& services, std::function<void(qint64)> saved,
                                   std::function<void()> imported)
    : m_services(services), m_saved(std::move(saved)), m_imported(std::move(imported)) {}

SecondaryWindows::~SecondaryWindows() {
    // The editor and the import window point back here: they go first, unsaved.
    delete m_editor.data();
    delete m_import.data();
    delete m_settings.data();
    delete m_about.data();
}

frmAjoutMessage* SecondaryWindows::openEditor() {
    if (!m_editor) {
        m_editor = new frmAjoutMessage(m_services, *this);
        m_editor->Form_Load();
    }
    return m_editor;
}

void SecondaryWindows::startNew() {
    openEditor()->startNew(m_services.clock.now().date());
}

bool SecondaryWindows::startEdit(qint64 id, const QString& title) {
    return openEditor()->startEdit(id, title);
}

void SecondaryWindows::showSettings() {
    if (!m_settings) {
        m_settings = new frmParametres(m_services, *this);
        m_settings->Form_Load();
    }
    m_settings->show();
    m_settings->raise();
}

void SecondaryWindows::showAbout() {
    if (!m_about) {
        m_about = new frmApropos(m_services);
        m_about->Form_Load();
    }
    bringForward(m_about.data());
}

void SecondaryWindows::showImport() {
    if (!m_import) {
        m_import = new frmImporter(m_services, *this, *this);
        m_import->Form_Load();
    }
    bringForward(m_import.data());
}

void SecondaryWindows::previewFile(const QString&) {}

void SecondaryWindows::closeAll() {
    for (QWidget* window : std::initializer_list<QWidget*>{m_settings, m_editor, m_about, m_import}) {
        if (window && window->isVisible())
            window->close();
    }
}

void SecondaryWindows::editorSaved(qint64 id) {
    m_saved(id);
}

void SecondaryWindows::messagesImported() {
    if (m_imported)
        m_imported();
}

}  // namespace tavanote
