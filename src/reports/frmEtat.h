#pragma once

#include <QWidget>
#include <array>

#include "common/Services.h"
#include "store/Message.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPrinter;
class QTextEdit;

namespace tavanote {

class WindowHost;

// The report window: the report of a list, to read, search, print and export; or, for the import, a file shown
// as it is before it is imported.
class frmEtat : public QWidget {
    Q_OBJECT
public:
    // printer: the program's one printer, the one the main window sets up. host: shows the about window on F2.
    frmEtat(Services& services, QPrinter& printer, WindowHost* host, QWidget* parent = nullptr);

    void Form_Load();
    // Captions the window, then builds the report of list (0 active, 1 erroneous, 2 displayed) over messages, given
    // in title order.
    void BuildReport(const QString& caption, int list, MessageList messages);
    // The import preview: the file unchanged, read as RTF when its name ends in "rtf" and as text otherwise, and no
    // export. False (the user told) when the file cannot be read.
    bool previewFile(const QString& path);

    // 0 export, 1 printer set-up, 2 print, 3 find next, 4 help, 5 close.
    void Boutons_Click(int index);
    // 0 stops keeping the window on top, 1 keeps it on top.
    void cmdPlan_Click(int index);

    // Loaded and not closed: a closed window only waits to be deleted.
    bool isLoaded() const { return m_loaded; }
    // Successful finds since the search text last changed.
    qint32 FoundCount = 0;

    QTextEdit* RTF;
    std::array<QAbstractButton*, 6> Boutons{};
    std::array<QAbstractButton*, 2> cmdPlan{};
    QLabel* lblRecherche;
    QLineEdit* txtRecherche;

    static const QString kImportCaption;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Exporter();
    void print();
    // One print job; false (the user told) when it failed.
    bool printOnce();
    void findNext();
    bool writeFile(const QString& path, const QByteArray& bytes);
    void inform(const QString& text);

    Services& m_services;
    QPrinter& m_printer;
    QWidget* m_strip;
    MessageList m_messages;
    bool m_loaded = false;
};

}  // namespace tavanote
