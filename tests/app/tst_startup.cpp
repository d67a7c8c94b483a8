// The splash window's load and hand-over, the start-up entry's failure box, and the single-copy rule.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
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
    void secondCopyIsToldAndNothingIsWritten();
    void loadShowsNameAndVersionAndPreparesSettings();
    void startWithComputerSettingIsApplied();
    void missingExecutableIsToldThenTheEntryRemoved();
    void unwritableConfigurationIsToldOnce_data();
    void unwritableConfigurationIsToldOnce();
    void secondTickUnloadsAndHandsOverOnce();
    void singleCopyClaim();
};

void tst_Startup::secondCopyIsToldAndNothingIsWritten() {
    TestWorld w;
    w.platform.otherCopyRunning = true;
    int unloads = 0;
    frmIntro frm(w.services(), [&](bool) { ++unloads; });
    w.dialogs.expect(Icon::Information, QStringLiteral("Le programme est déjà en cours d'utilisation."));
    QVERIFY(!frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.at(0).buttons, Buttons::Ok);
    const QFileInfo ini(w.dir.path() + QStringLiteral("/config/Tavanote.ini"));
    QVERIFY(!ini.exists() || ini.size() == 0);
    QCOMPARE(w.settingsStore->section(kParametres), (QList<QPair<QString, QString>>()));
    QVERIFY(w.platform.autostartCalls.isEmpty());
    QVERIFY(!frm.Timer1->isActive());
    QCOMPARE(unloads, 0);
}

void tst_Startup::loadShowsNameAndVersionAndPreparesSettings() {
    TestWorld w("05/06/2026 09:00");
    frmIntro frm(w.services(), [](bool) {});
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.shown.empty());
    QCOMPARE(ctl<QLabel>(&frm, "lblTitre")->text(), QStringLiteral("Tavanote"));
    QCOMPARE(ctl<QLabel>(&frm, "lblVersion")->text(), QStringLiteral("Version 2.0.0"));
    // Every default written (their values are checked with the settings).
    QCOMPARE(w.settingsStore->section(kParametres).size(), 11);
    QCOMPARE(w.settingsStore->get(kParametres, "demarrage pc"), QStringLiteral("1"));
    QCOMPARE(w.settingsStore->get(kParametres, "date de debut"), QStringLiteral("05/06/2026"));
    QCOMPARE(w.settingsStore->get(kParametres, "version"), QStringLiteral("2.0.0"));
    QCOMPARE(w.settingsStore->get(kParametres, "dossier application"), w.programFolder());
    QCOMPARE(w.platform.autostartCalls, QList<int>{1});
    QVERIFY(!frm.newVersion());
    QCOMPARE(frm.Timer1->interval(), 1000);
    QVERIFY(!w.store.isOpen());  // the main window opens the message file, not the splash
}

void tst_Startup::startWithComputerSettingIsApplied() {
    for (const char* stored : {"0", "5"}) {
        TestWorld w;
        w.settingsStore->set(kParametres, QStringLiteral("demarrage pc"), QLatin1String(stored));
        frmIntro frm(w.services(), [](bool) {});
        QVERIFY(frm.Form_Load());
        const int applied = qstrcmp(stored, "0") == 0 ? 0 : 1;
        QCOMPARE(w.platform.autostartCalls, QList<int>{applied});
        QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("demarrage pc")), QString::number(applied));
    }
}

void tst_Startup::missingExecutableIsToldThenTheEntryRemoved() {
    TestWorld w;
    w.platform.autostartOutcomes = {Autostart::Outcome::MissingExecutable};
    frmIntro frm(w.services(), [](bool) {});
    w.dialogs.expect(Icon::Information,
                     QStringLiteral("Fichier introuvable: tavanote n'a pas été trouvé.\n"
                                    "Celui-ci devrait se trouver dans le dossier: \n/opt/tavanote"),
                     Answer::Ok, QStringLiteral("ERREUR..."));
    // The settings window's start-up box is unticked as if by the user, with its question.
    w.dialogs.expect(
        Icon::Question,
        QStringLiteral("Êtes-vous sûr(e) que le programme ne doit pas s'activer \npas au prochain démarrage "
                       "de l'ordinateur ?\n\nAttention:\nLes messages ne pourront pas s'afficher si le "
                       "programme\nn'est pas démarré."),
        Answer::Yes);
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.autostartCalls, (QList<int>{1, 0}));
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("demarrage pc")), QStringLiteral("1"));
    QVERIFY(frm.Timer1->isActive());
}

void tst_Startup::unwritableConfigurationIsToldOnce_data() {
    QTest::addColumn<QString>("where");  // settings, none (no home), entry (only the start-up entry fails)
    QTest::newRow("settings folder") << "settings";
    QTest::newRow("no home") << "none";
    QTest::newRow("start-up entry") << "entry";
}

// One box that says what cannot be saved and where, then the program goes on.
void tst_Startup::unwritableConfigurationIsToldOnce() {
    QFETCH(QString, where);
    TestWorld w;
    QString path = w.dir.filePath(QStringLiteral("config/Tavanote/Tavanote.ini"));
    if (where == QLatin1String("settings")) {
        QFile blocker(w.dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        path = blocker.fileName() + QStringLiteral("/Tavanote/Tavanote.ini");
    } else if (where == QLatin1String("none")) {
        path.clear();
    }
    SettingsStore settings(path);
    Preferences preferences(settings);
    Services services{w.clock, w.random,   w.scopedDialogs, settings, preferences,
                      w.store, w.platform, w.tray,          w.help,   w.programFolder()};
    if (where == QLatin1String("entry")) {
        w.platform.autostartOutcomes = {Autostart::Outcome::Failed};
        w.platform.autostartReason = QStringLiteral("Le dossier /home/lea/.config/autostart ne peut pas être créé.");
        w.dialogs.expect(Icon::Information,
                         QStringLiteral("Le démarrage avec la session n'a pas pu être enregistré dans:\n"
                                        "/home/lea/.config/autostart/Tavanote.desktop\n\n"
                                        "Le dossier /home/lea/.config/autostart ne peut pas être créé."),
                         Answer::Ok, QStringLiteral("ERREUR..."));
    } else {
        w.dialogs.expect(
            Icon::Exclamation,
            (path.isEmpty() ? QStringLiteral("Les paramètres ne peuvent pas être enregistrés: aucun dossier "
                                             "personnel n'est défini (ni HOME ni XDG_CONFIG_HOME).")
                            : QStringLiteral("Les paramètres ne peuvent pas être enregistrés dans:\n") + path +
                                  QStringLiteral("\n\nCe dossier n'est pas accessible en écriture.")) +
                QStringLiteral("\n\nLe programme utilise les paramètres par défaut; les changements "
                               "faits pendant cette session seront perdus à sa fin."));
    }
    frmIntro frm(services, [](bool) {});
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.autostartCalls, where == QLatin1String("entry") ? QList<int>{1} : QList<int>());
    QCOMPARE(settings.get(kParametres, QStringLiteral("couleur")), QStringLiteral("12648447"));
    QVERIFY(frm.Timer1->isActive());
}

// The first tick does nothing; the second hides the splash, stops the timer and hands over once.
void tst_Startup::secondTickUnloadsAndHandsOverOnce() {
    for (const bool previousVersion : {false, true}) {
        TestWorld w;
        if (previousVersion)
            w.settingsStore->set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
        QList<bool> unloads;
        frmIntro frm(w.services(), [&](bool newVersion) { unloads << newVersion; });
        QVERIFY(frm.Form_Load());
        frm.show();
        QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
        QVERIFY(unloads.isEmpty() && frm.isVisible() && frm.Timer1->isActive());
        QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
        QCOMPARE(unloads, QList<bool>{previousVersion});
        QVERIFY(!frm.isVisible() && !frm.Timer1->isActive());
        QVERIFY(w.dialogs.shown.empty());
    }
}

// A claim is refused while another holds it, even a copy in another process; once that one is gone, or was
// SIGKILLed and left its lock behind, the next copy may run.
void tst_Startup::singleCopyClaim() {
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

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kHoldLockArgument) == 0)
        return holdLock(argc, argv);
    QApplication app(argc, argv);
    tst_Startup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
