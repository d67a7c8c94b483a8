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

SecondaryWindows::SecondaryWindows(Services& services, std::function<void(qint64)> saved)
    : m_services(services), m_saved(std::move(saved)) {}

SecondaryWindows::~SecondaryWindows() {
    // The editor points back here: it goes first, unsaved.
    delete m_editor.data();
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

void SecondaryWindows::closeAll() {
    for (QWidget* window : std::initializer_list<QWidget*>{m_settings, m_editor, m_about}) {
        if (window && window->isVisible())
            window->close();
    }
}

void SecondaryWindows::editorSaved(qint64 id) {
    m_saved(id);
}

}  // namespace tavanote
