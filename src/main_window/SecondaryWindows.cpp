#include "SecondaryWindows.h"

#include <QPrinter>

#include "main_window/frmApropos.h"
#include "reports/frmEtat.h"
#include "store/MessageStore.h"
#include "windows/frmParametres.h"

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
                                   std::function<void(const MessageList&)> imported)
    : m_services(services), m_saved(std::move(saved)), m_imported(std::move(imported)) {}

SecondaryWindows::~SecondaryWindows() {
    // The editor and the import window point back here: they go first, unsaved.
    delete m_editor.data();
    delete m_import.data();
    delete m_settings.data();
    delete m_report.data();
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

QPrinter& SecondaryWindows::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

std::optional<MessageList> SecondaryWindows::reportMessages(int list) {
    static const QString states[3] = {kStateActif, kStateErrone, kStateAffiche};
    std::optional<MessageList> messages =
        m_services.store.withState(states[std::clamp(list, 0, 2)], MessageOrder::ByTitle, FieldText::AsStored);
    if (!messages)
        m_services.dialogs.message(nullptr, QStringLiteral("Impossible de lire les messages du rapport."),
                                   Icon::Exclamation, Buttons::Ok);
    return messages;
}

frmEtat* SecondaryWindows::report() const {
    return m_report;
}

frmEtat* SecondaryWindows::openReport() {
    // A report window closed a moment ago is on its way out: a new one takes its place.
    if (!m_report || !m_report->isLoaded()) {
        m_report = new frmEtat(m_services, printer(), this);
        m_report->setAttribute(Qt::WA_DeleteOnClose);
        m_report->Form_Load();
    }
    return m_report;
}

void SecondaryWindows::showReport(int list) {
    std::optional<MessageList> messages = reportMessages(list);
    if (!messages)
        return;
    openReport()->BuildReport(QStringLiteral("Aperçu avant l'impression/l'exportation"), list, std::move(*messages));
    bringForward(m_report.data());
}

void SecondaryWindows::runReport(int list, const QString& caption, int button) {
    std::optional<MessageList> messages = reportMessages(list);
    if (!messages)
        return;
    frmEtat report(m_services, printer(), this);
    report.Form_Load();
    report.BuildReport(caption, list, std::move(*messages));
    report.Boutons_Click(button);
    report.close();
}

void SecondaryWindows::printReport(int list) {
    runReport(list, QStringLiteral("Aperçu avant l'impression"), 2);
}

void SecondaryWindows::exportReport(int list) {
    runReport(list, QStringLiteral("Aperçu avant l'exportation"), 0);
}

void SecondaryWindows::previewFile(const QString& path) {
    frmEtat* report = openReport();
    if (report->previewFile(path))
        bringForward(report);
    else
        report->close();
}

void SecondaryWindows::closeAll() {
    for (QWidget* window : std::initializer_list<QWidget*>{m_settings, m_editor, m_report, m_about, m_import}) {
        if (window && window->isVisible())
            window->close();
    }
}

void SecondaryWindows::editorSaved(qint64 id) {
    m_saved(id);
}

void SecondaryWindows::messagesImported(const MessageList& stored) {
    if (m_imported)
        m_imported(stored);
}

}  // namespace tavanote
