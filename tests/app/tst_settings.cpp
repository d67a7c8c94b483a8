// The settings area, the settings put in order at start, the quit question and the start-up entry.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/Autostart.h"
#include "app/SettingsStore.h"
#include "app/Startup.h"

using namespace tavanote;

namespace {

using Pairs = QList<QPair<QString, QString>>;

Pairs sorted(Pairs pairs) {
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool makeExecutable(const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n");
    file.close();
    return file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

// The program an Exec line runs, read back as a desktop launcher reads it: first the string escapes of the
// entry file, then the quoting of the command line.
QString programOfExec(const QString& exec) {
    QString unescaped;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec.at(i) == QLatin1Char('\\') && i + 1 < exec.size()) {
            const QChar next = exec.at(++i);
            if (next == QLatin1Char('s'))
                unescaped += QLatin1Char(' ');
            else if (next == QLatin1Char('n'))
                unescaped += QLatin1Char('\n');
            else if (next == QLatin1Char('t'))
                unescaped += QLatin1Char('\t');
            else if (next == QLatin1Char('r'))
                unescaped += QLatin1Char('\r');
            else
                unescaped += next;
        } else {
            unescaped += exec.at(i);
        }
    }
    unescaped.replace(QLatin1String("%%"), QLatin1String("%"));
    if (unescaped.size() < 2 || !unescaped.startsWith(QLatin1Char('"')) || !unescaped.endsWith(QLatin1Char('"')))
        return QStringLiteral("<not one quoted argument: %1>").arg(exec);
    QString program;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        QChar c = unescaped.at(i);
        if (c == QLatin1Char('\\') && i + 2 < unescaped.size())
            c = unescaped.at(++i);
        else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            return QStringLiteral("<unescaped %1 in %2>").arg(c).arg(exec);
        program += c;
    }
    return program;
}

QStringList entryLines(const QString& path, const QString& prefix) {
    QStringList found;
    const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            found << line.mid(prefix.size());
    }
    return found;
}

const QString Q = QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?");
const QString kThreeActive = QStringLiteral(
    "\n\nAttention:\nIl existe des messages actifs à afficher [3 message(s)]\n"
    "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");

}  // namespace

class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void defaultPathsAreInTheUserConfigFolder();
    void missingKeyReadsEmpty();
    void namesAndValuesRoundTrip_data();
    void namesAndValuesRoundTrip();
    void sectionGivesItsPairs();
    void removeSectionRemovesOnlyThatSection();

    void firstStartWritesEveryDefault();
    void existingValuesAreKept();
    void previousVersionIsRecognisedAndItsSectionsRemoved();
    void oldSectionsWithoutAStartDateAreNotAPreviousVersion();
    void startWithComputerIsRepaired_data();
    void startWithComputerIsRepaired();

    void quitQuestion_data();
    void quitQuestion();

    void registeringWritesAnEntryRunningTheExecutable_data();
    void registeringWritesAnEntryRunningTheExecutable();
    void registeringTwiceLeavesOneEntry();
    void zeroRemovesTheEntry();
    void otherValuesDoNothing();
    void missingExecutableWritesNothing();
};

void tst_Settings::defaultPathsAreInTheUserConfigFolder() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QCOMPARE(SettingsStore::defaultPath(), config + QStringLiteral("/Tavanote/Tavanote.ini"));
    QCOMPARE(Autostart::defaultEntryPath(), config + QStringLiteral("/autostart/Tavanote.desktop"));
}

void tst_Settings::missingKeyReadsEmpty() {
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
    QCOMPARE(settings.get(kParametres, QStringLiteral("suppression")), QString());
    settings.set(kParametres, QStringLiteral("position"), QString());
    settings.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("position")), QString());
    QCOMPARE(settings.get(kParametres, QStringLiteral("affichage")), QString());
    QCOMPARE(settings.get(QStringLiteral("liste"), QStringLiteral("nombre")), QString());
    QCOMPARE(settings.get(QStringLiteral("liste"), QStringLiteral("couleur")), QString());
    QCOMPARE(settings.section(QStringLiteral("liste")), Pairs());
}

void tst_Settings::namesAndValuesRoundTrip_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("blanks") << "demarrage GEST"
                            << "date de debut"
                            << "05/06/2026";
    QTest::newRow("accents") << "Réunion à l'école"
                             << "clé"
                             << "Été, hiver";
    QTest::newRow("colon") << "Rappel: dentiste"
                           << "jour:"
                           << "05/06/2026";
    QTest::newRow("slash") << "Cours 1/2"
                           << "a/b"
                           << "1/2";
    QTest::newRow("backslash") << "Software\\Microsoft\\Windows"
                               << "C:\\Tavanote\\"
                               << "C:\\Program Files\\";
    QTest::newRow("percent") << "100% bio"
                             << "%2F%25"
                             << "50%";
    QTest::newRow("ini punctuation") << "[liste] = #1; ok"
                                     << "a=b;c#d[e]"
                                     << "x = y ; z # w";
    QTest::newRow("commas") << "liste"
                            << "Courses, marché"
                            << "pain, lait, œufs";
    QTest::newRow("quotes") << "liste"
                            << "\"citation\""
                            << "Il a dit \"bonjour\" et 'au revoir'";
    QTest::newRow("at sign first") << "liste"
                                   << "@Variant"
                                   << "@Variant(\\0\\0\\0\\x7f)";
    QTest::newRow("lone at sign") << "liste"
                                  << "@"
                                  << "@";
    QTest::newRow("line breaks") << "liste"
                                 << "texte:"
                                 << "Ligne 1\r\nLigne 2\nLigne 3\n";
    QTest::newRow("blanks around value") << "liste"
                                         << "espace"
                                         << "  deux blancs  ";
    QTest::newRow("blanks around names") << " Réunion "
                                         << " nom "
                                         << "EN COURS";
}

void tst_Settings::namesAndValuesRoundTrip() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    {
        SettingsStore settings(path);
        settings.set(section, key, value);
        settings.set(section, QStringLiteral("voisin"), QStringLiteral("1"));
        QCOMPARE(settings.get(section, key), value);
    }
    // Read back from the file by a new store, as at the next start.
    SettingsStore settings(path);
    QCOMPARE(settings.get(section, key), value);
    QCOMPARE(sorted(settings.section(section)), sorted(Pairs{{key, value}, {QStringLiteral("voisin"), "1"}}));
}

void tst_Settings::sectionGivesItsPairs() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    {
        SettingsStore settings(path);
        settings.set(QStringLiteral("liste"), QStringLiteral("nombre"), QStringLiteral("3"));
        settings.set(QStringLiteral("liste"), QStringLiteral("Réunion"), QStringLiteral("EN COURS"));
        settings.set(QStringLiteral("liste"), QStringLiteral("L'heure"), QStringLiteral("EN COURS"));
        settings.set(QStringLiteral("liste"), QStringLiteral("Vieux 1/2"), QStringLiteral("TERMINE"));
        settings.set(QStringLiteral("Réunion"), QStringLiteral("jour:"), QStringLiteral("05/06/2026"));
        settings.set(QStringLiteral("liste/Réunion"), QStringLiteral("nombre"), QStringLiteral("9"));
        settings.set(kParametres, QStringLiteral("liste"), QStringLiteral("1"));
    }
    SettingsStore settings(path);
    const Pairs expected = {
        {"nombre", "3"}, {"Réunion", "EN COURS"}, {"L'heure", "EN COURS"}, {"Vieux 1/2", "TERMINE"}};
    QCOMPARE(sorted(settings.section(QStringLiteral("liste"))), sorted(expected));
    QCOMPARE(settings.section(QStringLiteral("Réunion")), (Pairs{{"jour:", "05/06/2026"}}));
    QCOMPARE(settings.section(QStringLiteral("liste/Réunion")), (Pairs{{"nombre", "9"}}));
    QCOMPARE(settings.section(QStringLiteral("absente")), Pairs());
}

void tst_Settings::removeSectionRemovesOnlyThatSection() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    {
        SettingsStore settings(path);
        for (const QString& section : {QStringLiteral("etat"), QStringLiteral("etats"), QStringLiteral("Etat"),
                                       QStringLiteral("etat/1"), QStringLiteral("fin GEST"), QStringLiteral("fin")}) {
            settings.set(section, QStringLiteral("a"), section);
            settings.set(section, QStringLiteral("b"), QStringLiteral("2"));
        }
        settings.set(kParametres, QStringLiteral("etat"), QStringLiteral("garde"));
        settings.removeSection(QStringLiteral("etat"));
        settings.removeSection(QStringLiteral("fin GEST"));
        settings.removeSection(QStringLiteral("absente"));
        QCOMPARE(settings.section(QStringLiteral("etat")), Pairs());
    }
    SettingsStore settings(path);
    QCOMPARE(settings.section(QStringLiteral("etat")), Pairs());
    QCOMPARE(settings.get(QStringLiteral("etat"), QStringLiteral("a")), QString());
    QCOMPARE(settings.section(QStringLiteral("fin GEST")), Pairs());
    for (const QString& section :
         {QStringLiteral("etats"), QStringLiteral("Etat"), QStringLiteral("etat/1"), QStringLiteral("fin")}) {
        QCOMPARE(sorted(settings.section(section)), (Pairs{{"a", section}, {"b", "2"}}));
    }
    QCOMPARE(settings.get(kParametres, QStringLiteral("etat")), QStringLiteral("garde"));
}

void tst_Settings::firstStartWritesEveryDefault() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    {
        SettingsStore settings(path);
        const PreparedSettings prepared = prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
        QVERIFY(!prepared.newVersion);
        QCOMPARE(prepared.startWithComputer, 1);
    }
    SettingsStore settings(path);
    const Pairs expected = {
        {"suppression", "0"},
        {"demarrage pc", "1"},
        {"fin programme", "1"},
        {"position", ""},
        {"couleur", "12648447"},
        {"affichage", "3"},
        {"confirmation fermeture", "1"},
        {"version", "2.0.0"},
        {"legende", "1"},
        {"dossier application", "/opt/tavanote/"},
        {"date de debut", "05/06/2026"},
    };
    QCOMPARE(sorted(settings.section(kParametres)), sorted(expected));
    // Only the program's own section is written.
    QTemporaryDir other;
    SettingsStore second(other.filePath(QStringLiteral("Tavanote.ini")));
    prepareSettings(second, QStringLiteral("/opt/tavanote/"), QDate(2026, 12, 31));
    QCOMPARE(second.get(kParametres, QStringLiteral("dossier application")), QStringLiteral("/opt/tavanote/"));
    QCOMPARE(second.get(kParametres, QStringLiteral("date de debut")), QStringLiteral("31/12/2026"));
}

void tst_Settings::existingValuesAreKept() {
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
    const Pairs chosen = {
        {"suppression", "1"},
        {"demarrage pc", "0"},
        {"fin programme", "0"},
        {"position", "4"},
        {"couleur", "255"},
        {"affichage", "0"},
        {"confirmation fermeture", "0"},
        {"legende", "0"},
        {"date de debut", "14/03/2019"},
    };
    for (const auto& [key, value] : chosen)
        settings.set(kParametres, key, value);
    settings.set(kParametres, QStringLiteral("version"), QStringLiteral("1.9.9"));
    settings.set(kParametres, QStringLiteral("dossier application"), QStringLiteral("/ancien/dossier/"));

    const PreparedSettings prepared = prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
    QVERIFY(!prepared.newVersion);
    QCOMPARE(prepared.startWithComputer, 0);
    for (const auto& [key, value] : chosen)
        QCOMPARE(settings.get(kParametres, key), value);
    // These two always say the running program.
    QCOMPARE(settings.get(kParametres, QStringLiteral("version")), QStringLiteral("2.0.0"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("dossier application")), QStringLiteral("/opt/tavanote/"));
}

void tst_Settings::previousVersionIsRecognisedAndItsSectionsRemoved() {
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
    settings.set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
    settings.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
    const QStringList old = {"demarrage GEST", "demarrage OS", "etat", "fin GEST", "fin MESS"};
    for (const QString& section : old)
        settings.set(section, QStringLiteral("valeur"), QStringLiteral("1"));
    settings.set(QStringLiteral("liste"), QStringLiteral("nombre"), QStringLiteral("1"));
    settings.set(QStringLiteral("liste"), QStringLiteral("Réunion"), QStringLiteral("EN COURS"));
    settings.set(QStringLiteral("Réunion"), QStringLiteral("jour:"), QStringLiteral("05/06/2026"));

    const PreparedSettings prepared = prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
    QVERIFY(prepared.newVersion);
    for (const QString& section : old)
        QVERIFY2(settings.section(section).isEmpty(), qPrintable(section));
    QCOMPARE(sorted(settings.section(QStringLiteral("liste"))),
             sorted(Pairs{{"nombre", "1"}, {"Réunion", "EN COURS"}}));
    QCOMPARE(settings.get(QStringLiteral("Réunion"), QStringLiteral("jour:")), QStringLiteral("05/06/2026"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("date de debut")), QStringLiteral("14/03/2019"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("suppression")), QStringLiteral("0"));

    // From then on "suppression" exists: the next start is not a new version any more.
    QVERIFY(!prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 6)).newVersion);
}

void tst_Settings::oldSectionsWithoutAStartDateAreNotAPreviousVersion() {
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
    settings.set(QStringLiteral("etat"), QStringLiteral("valeur"), QStringLiteral("1"));
    const PreparedSettings prepared = prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
    QVERIFY(!prepared.newVersion);
    QCOMPARE(settings.get(QStringLiteral("etat"), QStringLiteral("valeur")), QStringLiteral("1"));
}

void tst_Settings::startWithComputerIsRepaired_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("repaired");
    QTest::newRow("5") << "5"
                       << "1";
    QTest::newRow("2") << "2"
                       << "1";
    QTest::newRow("not a number") << "oui"
                                  << "1";
    QTest::newRow("0 stays") << "0"
                             << "0";
    QTest::newRow("1 stays") << "1"
                             << "1";
}

void tst_Settings::startWithComputerIsRepaired() {
    QFETCH(QString, stored);
    QFETCH(QString, repaired);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
    settings.set(kParametres, QStringLiteral("demarrage pc"), stored);
    const PreparedSettings prepared = prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
    QCOMPARE(settings.get(kParametres, QStringLiteral("demarrage pc")), repaired);
    QCOMPARE(QString::number(prepared.startWithComputer), repaired);
}

void tst_Settings::quitQuestion_data() {
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("displayed");
    QTest::addColumn<QString>("question");
    QTest::newRow("nothing") << 0 << 0 << Q;
    QTest::newRow("3 active") << 3 << 0 << Q + kThreeActive;
    QTest::newRow("1 active") << 1 << 0
                              << Q + QStringLiteral(
                                         "\n\nAttention:\nIl existe des messages actifs à afficher [1 message(s)]\n"
                                         "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas "
                                         "démarré.");
    QTest::newRow("2 displayed") << 0 << 2
                                 << Q + QStringLiteral(
                                            "\n\nAttention:\nIl existe des messages actuellement affichés [2 "
                                            "messages]\nCeux-ci ne seront plus affichés si vous quittez le programme.");
    QTest::newRow("1 displayed") << 0 << 1
                                 << Q + QStringLiteral(
                                            "\n\nAttention:\nIl existe un message actuellement affiché.\n"
                                            "Celui-ci ne sera plus affiché si vous quittez le programme.");
    QTest::newRow("3 active, 1 displayed") << 3 << 1
                                           << Q + kThreeActive +
                                                  QStringLiteral(
                                                      "\nDe plus, 1 message est actuellement affiché.\n"
                                                      "Celui-ci ne sera plus affiché si vous quittez le programme.");
    QTest::newRow("3 active, 4 displayed") << 3 << 4
                                           << Q + kThreeActive +
                                                  QStringLiteral(
                                                      "\nDe plus, 4 messages sont actuellement affichés.\n"
                                                      "Ceux-ci ne seront plus affichés si vous quittez le programme.");
}

void tst_Settings::quitQuestion() {
    QFETCH(int, active);
    QFETCH(int, displayed);
    QFETCH(QString, question);
    QCOMPARE(tavanote::quitQuestion(active, displayed), question);
    QCOMPARE(Q + quitWarning(active, displayed), question);
}

void tst_Settings::registeringWritesAnEntryRunningTheExecutable_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("blank and dollar") << "dossier avec espace/$prix";
    QTest::newRow("quotes, backslash, percent") << "l'été \"100%\"/a`b\\c";
}

void tst_Settings::registeringWritesAnEntryRunningTheExecutable() {
    QFETCH(QString, folder);
    QTemporaryDir dir;
    const QString executable = dir.filePath(folder + QStringLiteral("/tavanote"));
    QVERIFY(makeExecutable(executable));
    const QString entry = dir.filePath(QStringLiteral("config/autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    QVERIFY(!autostart.isRegistered());

    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    QVERIFY(autostart.isRegistered());
    const QStringList exec = entryLines(entry, QStringLiteral("Exec="));
    QCOMPARE(exec.size(), 1);
    QCOMPARE(programOfExec(exec.at(0)), executable);
    if (QTest::currentDataTag() == QLatin1String("blank and dollar")) {
        QCOMPARE(exec.at(0), QStringLiteral("\"%1/dossier avec espace/\\\\$prix/tavanote\"").arg(dir.path()));
    }
    QCOMPARE(entryLines(entry, QStringLiteral("Type=")), QStringList{QStringLiteral("Application")});
    QCOMPARE(entryLines(entry, QStringLiteral("Name=")), QStringList{QStringLiteral("Tavanote")});

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {entry});
    QVERIFY(validate.waitForFinished(60000));
    const QString said = QString::fromUtf8(validate.readAll());
    QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0, qPrintable(said));
    QVERIFY2(!said.contains(QLatin1String("error"), Qt::CaseInsensitive), qPrintable(said));
}

void tst_Settings::registeringTwiceLeavesOneEntry() {
    QTemporaryDir dir;
    const QString executable = dir.filePath(QStringLiteral("bin/tavanote"));
    QVERIFY(makeExecutable(executable));
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    const QByteArray first = readAll(entry);
    QVERIFY(!first.isEmpty());
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    QCOMPARE(readAll(entry), first);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Tavanote.desktop")});
    // A second object on the same entry sees it.
    QVERIFY(Autostart(entry, executable).isRegistered());
}

void tst_Settings::zeroRemovesTheEntry() {
    QTemporaryDir dir;
    const QString executable = dir.filePath(QStringLiteral("bin/tavanote"));
    QVERIFY(makeExecutable(executable));
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    QVERIFY(QFileInfo::exists(entry));
    QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(!autostart.isRegistered());
    // Nothing to remove passes silently.
    QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
    QCOMPARE(Autostart(dir.filePath(QStringLiteral("nulle part/Tavanote.desktop")), executable).apply(0),
             Autostart::Outcome::Done);
    QVERIFY(QFileInfo::exists(executable));
}

void tst_Settings::otherValuesDoNothing() {
    QTemporaryDir dir;
    const QString executable = dir.filePath(QStringLiteral("bin/tavanote"));
    QVERIFY(makeExecutable(executable));
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    for (const int value : {5, 2, -1}) {
        QCOMPARE(autostart.apply(value), Autostart::Outcome::Done);
        QVERIFY(!QFileInfo::exists(entry));
    }
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("autostart"))));
    // An existing entry is left as it is.
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("autostart"))));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nName=Autre\nExec=autre\n");
    file.close();
    const QByteArray before = readAll(entry);
    QCOMPARE(autostart.apply(5), Autostart::Outcome::Done);
    QCOMPARE(readAll(entry), before);
}

void tst_Settings::missingExecutableWritesNothing() {
    QTemporaryDir dir;
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, dir.filePath(QStringLiteral("bin/tavanote")));
    QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(!autostart.isRegistered());
    // A folder of that name is not the executable either.
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("bin/tavanote"))));
    QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
    QVERIFY(!QFileInfo::exists(entry));
}

QTEST_GUILESS_MAIN(tst_Settings)

#include "tst_settings.moc"
