// The splash window's load and hand-over, the start-up entry's failure box, and the single-copy rule.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <cstdio>

#include "app/frmIntro.h"
#include "common/RealServices.h"
#include "support/TestWorld.h"

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
    if (!platform.claimSingleCopy()) {
        std::printf("refused\n");
        std::fflush(stdout);
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    // Holds the claim until killed (or until the test program goes away and closes our input).
    while (std::getchar() != EOF) {
    }
    return 0;
}

QString iniPath(const TestWorld& w) {
    return w.dir.path() + QStringLiteral("/config/Tavanote.ini");
}

}  // namespace

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void secondCopyIsToldAndNothingIsWritten();
    void loadShowsNameAndVersionAndPreparesSettings();
    void startWithComputerSettingIsApplied_data();
    void startWithComputerSettingIsApplied();
    void missingExecutableIsToldThenTheEntryRemoved();
    void otherRegistrationFailureShowsAnEmptyErrorBox();
    void secondTickUnloadsAndHandsOverOnce_data();
    void secondTickUnloadsAndHandsOverOnce();

    void secondClaimOnTheSameFolderIsRefused();
    void lockOfAKilledCopyDoesNotBlock();
};

void tst_Startup::secondCopyIsToldAndNothingIsWritten() {
    TestWorld w;
    w.platform.otherCopyRunning = true;
    int unloads = 0;
    frmIntro frm(w.services(), [&](bool) { ++unloads; });
    w.dialogs.expect(Icon::Information, QStringLiteral("Le programme est déjà en cours d'utilisation."));
    QVERIFY(!frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.dialogs.shown.at(0).title, QStringLiteral("Tavanote"));
    QCOMPARE(w.dialogs.shown.at(0).buttons, Buttons::Ok);

    const QFileInfo ini(iniPath(w));
    QVERIFY(!ini.exists() || ini.size() == 0);
    QCOMPARE(w.settingsStore->section(kParametres), (QList<QPair<QString, QString>>()));
    QVERIFY(w.platform.autostartCalls.isEmpty());
    QVERIFY(!frm.Timer1->isActive());
    QCOMPARE(unloads, 0);
    QVERIFY(!w.store.isOpen());
}

void tst_Startup::loadShowsNameAndVersionAndPreparesSettings() {
    TestWorld w("05/06/2026 09:00");
    frmIntro frm(w.services(), [](bool) {});
    QVERIFY(!frm.Timer1->isActive());
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.shown.empty());
    QCOMPARE(ctl<QLabel>(&frm, "lblTitre")->text(), QStringLiteral("Tavanote"));
    QCOMPARE(ctl<QLabel>(&frm, "lblVersion")->text(), QStringLiteral("Version 2.0.0"));
    QCOMPARE(ctl<QLabel>(&frm, "lblTitre")->toolTip(), QStringLiteral("Nom du programme"));
    QCOMPARE(ctl<QLabel>(&frm, "lblVersion")->toolTip(), QStringLiteral("Numéro de version du programme"));

    SettingsStore& settings = *w.settingsStore;
    QCOMPARE(settings.get(kParametres, "suppression"), QStringLiteral("0"));
    QCOMPARE(settings.get(kParametres, "demarrage pc"), QStringLiteral("1"));
    QCOMPARE(settings.get(kParametres, "fin programme"), QStringLiteral("1"));
    QCOMPARE(settings.get(kParametres, "couleur"), QStringLiteral("12648447"));
    QCOMPARE(settings.get(kParametres, "affichage"), QStringLiteral("3"));
    QCOMPARE(settings.get(kParametres, "confirmation fermeture"), QStringLiteral("1"));
    QCOMPARE(settings.get(kParametres, "version"), QStringLiteral("2.0.0"));
    QCOMPARE(settings.get(kParametres, "legende"), QStringLiteral("1"));
    QCOMPARE(settings.get(kParametres, "date de debut"), QStringLiteral("05/06/2026"));
    QCOMPARE(settings.get(kParametres, "dossier application"), w.programFolder());
    QVERIFY(w.programFolder().endsWith(QLatin1Char('/')));
    QVERIFY(QFileInfo(iniPath(w)).size() > 0);

    QCOMPARE(w.platform.autostartCalls, QList<int>{1});
    QVERIFY(!frm.newVersion());
    QVERIFY(frm.Timer1->isActive());
    QCOMPARE(frm.Timer1->interval(), 1000);
    // The splash does not open the message file: the main window does.
    QVERIFY(!w.store.isOpen());
}

void tst_Startup::startWithComputerSettingIsApplied_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("applied");
    QTest::newRow("off") << "0" << 0;
    QTest::newRow("on") << "1" << 1;
    QTest::newRow("5 counts as on") << "5" << 1;
}

void tst_Startup::startWithComputerSettingIsApplied() {
    QFETCH(QString, stored);
    QFETCH(int, applied);
    TestWorld w;
    w.settingsStore->set(kParametres, QStringLiteral("demarrage pc"), stored);
    frmIntro frm(w.services(), [](bool) {});
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.shown.empty());
    QCOMPARE(w.platform.autostartCalls, QList<int>{applied});
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("demarrage pc")), QString::number(applied));
}

void tst_Startup::missingExecutableIsToldThenTheEntryRemoved() {
    TestWorld w;
    w.platform.autostartOutcomes = {Autostart::Outcome::MissingExecutable};
    frmIntro frm(w.services(), [](bool) {});
    w.dialogs.expect(Icon::Information,
                     QStringLiteral("Fichier introuvable: tavanote n'a pas été trouvé.\n"
                                    "Celui-ci devrait se trouver dans le dossier: \n/opt/tavanote"),
                     Answer::Ok, QStringLiteral("ERREUR..."));
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.dialogs.shown.at(0).buttons, Buttons::Ok);
    QCOMPARE(w.platform.autostartCalls, (QList<int>{1, 0}));
    // The setting itself is not changed by this.
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("demarrage pc")), QStringLiteral("1"));
    QVERIFY(frm.Timer1->isActive());
}

void tst_Startup::otherRegistrationFailureShowsAnEmptyErrorBox() {
    TestWorld w;
    w.platform.autostartOutcomes = {Autostart::Outcome::Failed};
    w.dialogs.expect(Icon::Information, QString(), Answer::Ok, QStringLiteral("ERREUR..."));
    applyStartWithComputer(w.services(), nullptr, 1);
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.autostartCalls, (QList<int>{1, 0}));

    // A removal that goes well says nothing.
    TestWorld quiet;
    applyStartWithComputer(quiet.services(), nullptr, 0);
    QVERIFY(quiet.dialogs.shown.empty());
    QCOMPARE(quiet.platform.autostartCalls, QList<int>{0});
}

void tst_Startup::secondTickUnloadsAndHandsOverOnce_data() {
    QTest::addColumn<bool>("previousVersion");
    QTest::newRow("same version") << false;
    QTest::newRow("after version 1.0.0") << true;
}

void tst_Startup::secondTickUnloadsAndHandsOverOnce() {
    QFETCH(bool, previousVersion);
    TestWorld w;
    if (previousVersion)
        w.settingsStore->set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
    QList<bool> unloads;
    frmIntro frm(w.services(), [&](bool newVersion) { unloads << newVersion; });
    QVERIFY(frm.Form_Load());
    frm.show();
    QVERIFY(frm.isVisible());
    QCOMPARE(frm.newVersion(), previousVersion);

    QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
    QVERIFY(unloads.isEmpty());
    QVERIFY(frm.isVisible());
    QVERIFY(frm.Timer1->isActive());

    QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
    QCOMPARE(unloads, QList<bool>{previousVersion});
    QVERIFY(!frm.isVisible());
    QVERIFY(!frm.Timer1->isActive());
    QVERIFY(w.dialogs.shown.empty());
}

void tst_Startup::secondClaimOnTheSameFolderIsRefused() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("verrou"));
    QVERIFY(QDir().mkpath(folder));
    const QString executable = dir.filePath(QStringLiteral("tavanote"));
    const QString entry = dir.filePath(QStringLiteral("Tavanote.desktop"));
    {
        DesktopPlatform first(executable, entry, folder);
        QVERIFY(first.claimSingleCopy());
        // Asking again keeps the claim.
        QVERIFY(first.claimSingleCopy());
        DesktopPlatform second(executable, entry, folder);
        QVERIFY(!second.claimSingleCopy());
        QVERIFY(!second.claimSingleCopy());
        // Another folder is another lock.
        QTemporaryDir elsewhere;
        DesktopPlatform third(executable, entry, elsewhere.path());
        QVERIFY(third.claimSingleCopy());
    }
    // Once the first copy is gone, the next one may run.
    DesktopPlatform next(executable, entry, folder);
    QVERIFY(next.claimSingleCopy());
}

void tst_Startup::lockOfAKilledCopyDoesNotBlock() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("verrou"));
    QVERIFY(QDir().mkpath(folder));
    const QString executable = dir.filePath(QStringLiteral("tavanote"));
    const QString entry = dir.filePath(QStringLiteral("Tavanote.desktop"));

    for (int round = 0; round < 2; ++round) {
        QProcess copy;
        copy.setProgram(QCoreApplication::applicationFilePath());
        copy.setArguments({QLatin1String(kHoldLockArgument), dir.path()});
        copy.start();
        QVERIFY2(copy.waitForStarted(), qPrintable(copy.errorString()));
        QByteArray said;
        while (!said.contains("\n") && copy.state() == QProcess::Running) {
            copy.waitForReadyRead(30000);
            said += copy.readAllStandardOutput();
        }
        QCOMPARE(said, QByteArray("locked\n"));
        {
            DesktopPlatform meanwhile(executable, entry, folder);
            QVERIFY(!meanwhile.claimSingleCopy());
        }

        copy.kill();  // SIGKILL: the lock stays behind
        QVERIFY(copy.waitForFinished(30000));
        QCOMPARE(copy.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());

        DesktopPlatform next(executable, entry, folder);
        QVERIFY(next.claimSingleCopy());
    }
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
