#include <QFile>
#include <QTest>
#include <QTextBrowser>

#include "main_window/HelpSystem.h"
#include "main_window/SendMail.h"
#include "main_window/frmAide.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// The help file compiled by the build, in the build folder two levels above this test.
QString builtHelpFile() {
    const QString fromEnvironment = qEnvironmentVariable("TAVANOTE_HELP_FILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../aide.qch");
}

bool installHelpFile(TestWorld& w) {
    return QFile::copy(builtHelpFile(), w.programFolder() + QStringLiteral("aide.qch"));
}

void expectMissingHelp(TestWorld& w) {
    w.dialogs.expect(Icon::Exclamation,
                     "Le fichier d'aide [aide.qch] est introuvable.\nAssurez-vous que ce fichier "
                     "doit se trouver\ndans le dossier:\n" +
                         w.programFolder());
}

}  // namespace

class tst_help : public QObject {
    Q_OBJECT
private slots:
    void missingUnreadableOrUnknownHelpIsTold() {
        TestWorld w;
        HelpSystem help(w.services());
        expectMissingHelp(w);
        help.ShowHelp(nullptr, QStringLiteral("gestionmessage.htm"), 10006);
        QFile file(w.programFolder() + QStringLiteral("aide.qch"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("pas un fichier d'aide");
        file.close();
        expectMissingHelp(w);
        help.ShowHelp(nullptr, QStringLiteral("aide.htm"), 10001);
        // With a good file, an unknown context is told the same way.
        QVERIFY(file.remove() && installHelpFile(w));
        HelpSystem installed(w.services());
        expectMissingHelp(w);
        installed.ShowHelp(nullptr, QStringLiteral("aide.htm"), 10003);
        QVERIFY(w.dialogs.allAnswered());
        QVERIFY(!help.viewer() && !installed.viewer());
    }
    void everyContextOpensItsPageInTheOneViewer() {
        const std::pair<int, const char*> topics[] = {{10001, "aide.htm:Aide de Tavanote - Sommaire"},
                                                      {10002, "aproposde.htm:A propos de Tavanote"},
                                                      {10006, "gestionmessage.htm:La gestion des messages"},
                                                      {10007, "ajoutmessage.htm:Créer ou modifier un message"},
                                                      {10011, "message.htm:Le message affiché"},
                                                      {10013, "valeurcellule.htm:Modifier la valeur d'une cellule"}};
        TestWorld w;
        QVERIFY(installHelpFile(w));
        HelpSystem help(w.services());
        help.ShowHelp(nullptr, QStringLiteral("gestionmessage.htm"), 10006);
        QPointer<frmAide> first = help.viewer();
        QVERIFY(first && first->isVisible());
        auto* page = ctl<QTextBrowser>(first, QStringLiteral("txtPage"));
        for (const auto& [context, text] : topics) {
            const QString topic = QString::fromUtf8(text).section(':', 0, 0),
                          title = QString::fromUtf8(text).section(':', 1);
            help.ShowHelp(nullptr, topic, context);
            QCOMPARE(help.viewer(), first.data());
            QCOMPARE(page->documentTitle(), title);
        }
        // Esc closes the viewer, and the next call opens a new one.
        QTest::keyClick(page, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first && !help.viewer());
        help.ShowHelp(nullptr, QStringLiteral("heure.htm"), 10009);
        QVERIFY(help.viewer() && w.dialogs.shown.empty());
    }
    // The mail is handed to the desktop; without an application for it, the user is told.
    void sendMail() {
        const QString address = QStringLiteral("contact@tavanote.org");
        TestWorld d;
        QVERIFY(SendMail(d.services(), address, nullptr, QStringLiteral("Objet"), {}, {}, {}));
        QCOMPARE(d.dialogs.openedUrls.value(0).scheme(), QStringLiteral("mailto"));
        d.dialogs.openUrlAnswer = false;
        d.dialogs.expect(Icon::Information,
                         QStringLiteral("Aucune application ne permet d'envoyer un e-mail à l'adresse :\n") + address);
        QVERIFY(!SendMail(d.services(), address, nullptr, QStringLiteral("Objet"), QStringLiteral("Texte"), {}, {}));
        QVERIFY(d.dialogs.allAnswered());
    }
};

QTEST_MAIN(tst_help)
#include "tst_help.moc"
