#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "common/Services.h"
#include "common/WindowHost.h"

class QLineEdit;
class QPushButton;

namespace tavanote {

// The small window that edits one cell of the import grid. It is modeless: "OK" writes into the cell that is
// current in the grid at that moment, whichever it is.
class frmValeurCellule : public QWidget {
    Q_OBJECT
public:
    // currentText gives the text of the grid's current cell; write puts a text into it.
    frmValeurCellule(Services& services, WindowHost& host, std::function<QString()> currentText,
                     std::function<void(const QString&)> write, QWidget* parent = nullptr);

    void Form_Load();
    void Boutons_Click(int index);
    // Loaded and not closed: a closed window only waits to be deleted.
    bool isLoaded() const { return m_loaded; }

    QLineEdit* txtValeur;
    std::array<QPushButton*, 2> Boutons{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<QString()> m_currentText;
    std::function<void(const QString&)> m_write;
    bool m_loaded = false;
};

}  // namespace tavanote
