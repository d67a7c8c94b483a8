// The help viewer, and the about window's system information.
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "main_window/HelpSystem.h"
#include "main_window/frmApropos.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// Copies the help file compiled by the build (two levels above this test) into the program folder.
bool installHelpFile(TestWorld& w) {
    const QString built = qEnvironmentVariable("TAVANOTE_HELP_FILE");
    return QFile::copy(built.isEmpty() ? QCoreApplication::applicationDirPath() + "/../../aide.qch" : built,
                       w.programFolder() + "aide.qch");
}

}  // namespace

class tst_help : public QObject {
    Q_OBJECT
private slots:
    // A missing or unreadable file, or a context the file does not know, is told and opens no viewer.
    void missingUnreadableOrUnknownHelpIsTold() {
        TestWorld w;
        QFile file(w.programFolder() + "aide.qch");
        for (const int context : {10006, 10001, 10003}) {
            if (context == 10001)
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("pas un fichier d'aide") > 0);
            file.close();
            if (context == 10003)
                QVERIFY(file.remove() && installHelpFile(w));
            HelpSystem help(w.services());
            w.dialogs.expect(Icon::Exclamation,
                             "Le fichier d'aide [aide.qch] est introuvable.\nAssurez-vous que ce "
                             "fichier doit se trouver\ndans le dossier:\n" +
                                 w.programFolder());
            help.ShowHelp(nullptr, QStringLiteral("aide.htm"), context);
            QVERIFY(w.dialogs.allAnswered() && !help.viewer());
        }
    }
    // Each context opens its own page in the one viewer; Esc closes it, and the next call opens a new one.
    void everyContextOpensItsPageInTheOneViewer() {
        TestWorld w;
        QVERIFY(installHelpFile(w));
        HelpSystem help(w.services());
        help.ShowHelp(nullptr, QStringLiteral("gestionmessage.htm"), 10006);
        QPointer<frmAide> first = help.viewer();
        QVERIFY(first && first->isVisible());
        auto* page = ctl<QTextBrowser>(first, QStringLiteral("txtPage"));
        for (const auto& [context, topic, title] :
             {std::tuple(10001, "aide.htm", "Aide de Tavanote - Sommaire"),
              std::tuple(10002, "aproposde.htm", "A propos de Tavanote"),
              std::tuple(10006, "gestionmessage.htm", "La gestion des messages"),
              std::tuple(10007, "ajoutmessage.htm", "Créer ou modifier un message"),
              std::tuple(10011, "message.htm", "Le message affiché"),
              std::tuple(10013, "valeurcellule.htm", "Modifier la valeur d'une cellule")}) {
            help.ShowHelp(nullptr, QString::fromUtf8(topic), context);
            QCOMPARE(help.viewer(), first.data());
            QCOMPARE(page->documentTitle(), QString::fromUtf8(title));
        }
        QTest::keyClick(page, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first && !help.viewer());
        help.ShowHelp(nullptr, QStringLiteral("heure.htm"), 10009);
        QVERIFY(help.viewer() && w.dialogs.shown.empty());
    }
    // The first system information program found is started; with none, the user is told.
    void aboutWindowSystemInformation() {
        for (const QStringList& installed : {QStringList(), QStringList{"gnome-system-monitor", "hardinfo2"}}) {
            TestWorld w;
            for (const QString& name : installed)
                w.platform.programs[name] = "/usr/bin/" + name;
            QWidget owner;
            QPointer<frmApropos> about = new frmApropos(w.services(), &owner);
            about->Form_Load();
            about->show();
            if (installed.isEmpty())
                w.dialogs.expect(Icon::Information, "Les informations système ne sont pas disponibles actuellement");
            ctl<QPushButton>(about, "cmdSysInfo")->click();
            QVERIFY(w.dialogs.allAnswered());
            QCOMPARE(w.platform.started, installed.isEmpty() ? QStringList() : QStringList{"/usr/bin/hardinfo2"});
            ctl<QPushButton>(about, "cmdOK")->click();
            QVERIFY(!about->isVisible());
        }
    }
};

QTEST_MAIN(tst_help)
#include "tst_help.moc"
