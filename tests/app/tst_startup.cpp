// The splash window's load and hand-over, the start-up entry's failure box, and the single-copy rule.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "common/Preferences.h"
#include "common/RealServices.h"
#include "support/TestWorld.h"
#include "windows/frmIntro.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// Started with this argument and a folder, the test program becomes a copy that claims the lock and waits.
const char* const kHoldLockArgument = "--hold-lock";

int holdLock(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    DesktopPlatform platform(folder + QStringLiteral("/tavanote"), folder + QStringLiteral("/Tavanote.desktop"),
                             folder + QStringLiteral("/verrou"));
    std::printf(platform.claimSingleCopy() ? "locked\n" : "refused\n");
    std::fflush(stdout);
    // Holds the claim until killed (or until the test program goes away and closes our input).
    while (std::getchar() != EOF) {
    }
    return 0;
}

}  // namespace

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void secondCopyIsToldAndNothingIsWritten() {
        TestWorld w;
        w.platform.otherCopyRunning = true;
        int unloads = 0;
        frmIntro frm(w.services(), [&](bool) { ++unloads; });
        w.dialogs.expect(Icon::Information, QStringLiteral("Le programme est déjà en cours d'utilisation."));
        QVERIFY(!frm.Form_Load());
        QVERIFY(w.dialogs.allAnswered());
        const QFileInfo ini(w.dir.path() + QStringLiteral("/config/Tavanote.ini"));
        QVERIFY(!ini.exists() || ini.size() == 0);
        QVERIFY(w.settingsStore->section(kParametres).isEmpty() && w.platform.autostartCalls.isEmpty());
        QVERIFY(!frm.Timer1->isActive() && unloads == 0);
    }

    // The start-up entry follows the stored choice (any value but 0 is 1), written back; a missing executable is
    // told, then the entry removed as the settings window's box would; an entry not written is told once, one
    // not removed is not.
    void startupEntryAtLoad_data() {
        QTest::addColumn<QString>("stored");  // empty: no key
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QList<int>>("calls");
        QTest::newRow("default") << "" << int(Autostart::Outcome::Done) << QList<int>{1};
        QTest::newRow("0, removal failing silently") << "0" << int(Autostart::Outcome::Failed) << QList<int>{0};
        QTest::newRow("missing executable") << "1" << int(Autostart::Outcome::MissingExecutable) << QList<int>{1, 0};
        QTest::newRow("entry not written") << "1" << int(Autostart::Outcome::Failed) << QList<int>{1};
    }
    void startupEntryAtLoad() {
        QFETCH(QString, stored);
        QFETCH(int, outcome);
        QFETCH(QList<int>, calls);
        TestWorld w;
        if (!stored.isEmpty())
            w.settingsStore->set(kParametres, QStringLiteral("demarrage pc"), stored);
        w.platform.autostartOutcomes = {Autostart::Outcome(outcome)};
        w.platform.autostartReason = QStringLiteral("Le dossier /home/lea/.config/autostart ne peut pas être créé.");
        if (outcome == int(Autostart::Outcome::Failed) && calls[0] == 1)
            w.dialogs.expect(Icon::Information,
                             QStringLiteral("Le démarrage avec la session n'a pas pu être enregistré dans:\n"
                                            "/home/lea/.config/autostart/Tavanote.desktop\n\n") +
                                 w.platform.autostartReason,
                             Answer::Ok, QStringLiteral("ERREUR..."));
        if (outcome == int(Autostart::Outcome::MissingExecutable)) {
            w.dialogs.expect(Icon::Information,
                             QStringLiteral("Fichier introuvable: tavanote n'a pas été trouvé.\n"
                                            "Celui-ci devrait se trouver dans le dossier: \n/opt/tavanote"),
                             Answer::Ok, QStringLiteral("ERREUR..."));
            w.dialogs.expect(Icon::Question,
                             QStringLiteral("Êtes-vous sûr(e) que le programme ne doit pas s'activer \npas au "
                                            "prochain démarrage de l'ordinateur ?\n\nAttention:\nLes messages ne "
                                            "pourront pas s'afficher si le programme\nn'est pas démarré."),
                             Answer::Yes);
        }
        frmIntro frm(w.services(), [](bool) {});
        QVERIFY(frm.Form_Load());
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.platform.autostartCalls, calls);
        QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("demarrage pc")), QString::number(calls[0]));
        QVERIFY(frm.Timer1->isActive() && !w.store.isOpen());  // the main window opens the message file
    }

    // Settings that cannot be saved: one box says why and where, then the program goes on with the defaults.
    void unwritableSettingsAreToldOnce() {
        TestWorld w;
        QFile blocker(w.dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        SettingsStore settings(blocker.fileName() + QStringLiteral("/Tavanote/Tavanote.ini"));
        Preferences preferences(settings);
        Services services{w.clock, w.random,   w.scopedDialogs, settings, preferences,
                          w.store, w.platform, w.tray,          w.help,   w.programFolder()};
        w.dialogs.expect(Icon::Exclamation, "Les paramètres ne peuvent pas être enregistrés dans:\n" +
                                                settings.fileName() +
                                                "\n\nCe dossier n'est pas accessible en écriture.\n\nLe programme "
                                                "utilise les paramètres par défaut; les changements faits pendant "
                                                "cette session seront perdus à sa fin.");
        frmIntro frm(services, [](bool) {});
        QVERIFY(frm.Form_Load());
        QVERIFY(w.dialogs.allAnswered() && w.platform.autostartCalls.isEmpty());
        QCOMPARE(settings.get(kParametres, QStringLiteral("couleur")), QStringLiteral("12648447"));
        QVERIFY(frm.Timer1->isActive());
    }

    // The first tick does nothing; the second hides the splash, stops the timer and hands over once, telling
    // whether an older version ran before.
    void secondTickUnloadsAndHandsOverOnce() {
        for (const bool previousVersion : {false, true}) {
            TestWorld w;
            if (previousVersion)
                w.settingsStore->set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
            QList<bool> unloads;
            frmIntro frm(w.services(), [&](bool newVersion) { unloads << newVersion; });
            QVERIFY(frm.Form_Load());
            frm.show();
            QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
            QVERIFY(unloads.isEmpty() && frm.isVisible());
            QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
            QCOMPARE(unloads, QList<bool>{previousVersion});
            QVERIFY(!frm.isVisible() && !frm.Timer1->isActive());
        }
    }

    // A claim is refused while another holds it, even a copy in another process; once that one is gone, or was
    // SIGKILLed and left its lock behind, the next copy may run.
    void singleCopyClaim() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("verrou"));
        QVERIFY(QDir().mkpath(folder));
        const auto platform = [&](const QString& lockFolder) {
            return std::make_unique<DesktopPlatform>(dir.filePath(QStringLiteral("tavanote")),
                                                     dir.filePath(QStringLiteral("Tavanote.desktop")), lockFolder);
        };
        {
            auto first = platform(folder);
            QVERIFY(first->claimSingleCopy());
            QVERIFY(first->claimSingleCopy());  // asking again keeps the claim
            QVERIFY(!platform(folder)->claimSingleCopy());
            QTemporaryDir elsewhere;
            QVERIFY(platform(elsewhere.path())->claimSingleCopy());
        }
        QVERIFY(platform(folder)->claimSingleCopy());

        QProcess copy;
        copy.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHoldLockArgument), dir.path()});
        QVERIFY(copy.waitForStarted());
        QByteArray said;
        while (!said.contains("\n") && copy.state() == QProcess::Running && copy.waitForReadyRead(30000))
            said += copy.readAllStandardOutput();
        QCOMPARE(said, QByteArray("locked\n"));
        QVERIFY(!platform(folder)->claimSingleCopy());
        copy.kill();  // SIGKILL: the lock stays behind
        QVERIFY(copy.waitForFinished(30000));
        QVERIFY(!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(platform(folder)->claimSingleCopy());
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kHoldLockArgument) == 0)
        return holdLock(argc, argv);
    QApplication app(argc, argv);
    tst_Startup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
