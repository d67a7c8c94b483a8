#pragma once

#include <QPointer>
#include <QString>

#include "common/HelpContext.h"
#include "common/Services.h"
#include "main_window/frmAide.h"

class QWidget;

namespace tavanote {

class frmAide;  // main_window/frmAide.h

// The program's help: one compiled help file, "aide.qch", in the program folder, whose pages are found by the
// context number of each window.
class HelpSystem : public Help {
public:
    HelpSystem(Dialogs& dialogs, QString programFolder);
    explicit HelpSystem(Services& services) : HelpSystem(services.dialogs, services.programFolder) {}
    ~HelpSystem() override;
    HelpSystem(const HelpSystem&) = delete;
    HelpSystem& operator=(const HelpSystem&) = delete;

    QString helpFilePath() const;
    // Opens the page of the context in the help viewer; a context of 0 opens the topic's own file with the
    // desktop's application. Faults are told in the program's words.
    void ShowHelp(QWidget* window, const QString& topic, int context);
    void show(QWidget* window, HelpContext context) override;
    // The one help viewer, while it is open.
    frmAide* viewer() const { return m_viewer; }

private:
    Dialogs& m_dialogs;
    QString m_programFolder;
    QPointer<frmAide> m_viewer;
};

}  // namespace tavanote
