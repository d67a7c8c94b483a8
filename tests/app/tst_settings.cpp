// The settings file, the settings put in order at start, the quit question and the start-up entry.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "common/Autostart.h"
#include "common/SettingsStore.h"
#include "common/StartupSettings.h"

using namespace tavanote;

namespace {

using Pairs = QList<QPair<QString, QString>>;

Pairs sorted(Pairs pairs) {
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names as the program hands them to QSettings.
QString qsettingsName(QString name) {
    return name.replace('%', "%25").replace('/', "%2F").replace('\\', "%5C");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

bool makeExecutable(const QString& path) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write("#!/bin/sh\n") > 0 && file.setPermissions(file.permissions() | QFile::ExeOwner);
}

PreparedSettings prepare(SettingsStore& settings) {
    return prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
}

// Pairs written "key=value|key=value".
Pairs pairs(const char* text) {
    Pairs out;
    for (const QString& pair : QString::fromUtf8(text).split(QLatin1Char('|')))
        out << qMakePair(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    return out;
}

const Pairs kDefaults = pairs(
    "suppression=0|demarrage pc=1|fin programme=1|position=|couleur=12648447|affichage=3|confirmation fermeture=1|"
    "version=2.0.0|legende=1|dossier application=/opt/tavanote/|date de debut=05/06/2026");

}  // namespace

class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void namesAndValuesRoundTrip_data();
    void namesAndValuesRoundTrip();
    void otherToolsSectionsAreKept();
    void linesAddedAfterOddEndsReadBack_data();
    void linesAddedAfterOddEndsReadBack();
    void firstStartWritesEveryDefault();
    void previousVersionSectionsAreRemoved();
    void registeringWritesAValidEntry_data();
    void registeringWritesAValidEntry();
    void autostartValues();
    void unwritablePlacesSayWhere();
};

void tst_Settings::namesAndValuesRoundTrip_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const auto add = [](const char* tag, const char* section, const char* key, const char* value) {
        QTest::newRow(tag) << QString::fromUtf8(section) << QString::fromUtf8(key) << QString::fromUtf8(value);
    };
    add("blanks", "demarrage GEST", "date de debut", "05/06/2026");
    add("accents", "Réunion à l'école", "clé €", "Été, hiver 😀");
    add("slash, colon", "Cours 1/2: maths", "a/b:", "1/2");
    add("backslash", "Software\\Microsoft", "C:\\Tavanote\\", "C:\\Program Files\\");
    add("percent", "100% bio", "%2F%25%U00E9", "50%");
    add("ini punctuation", "[liste] = #1; ok", "a=b;c#d[e]", "x = y ; z # w");
    add("commas and quotes", "General", "\"Courses\", marché", "Il a dit \"bonjour\", 'au revoir'");
    add("leading at sign", "@liste", "@Variant", "@Variant(\\0\\0\\0\\x7f)");
    add("line breaks, controls", "liste", "texte:",
        "Ligne 1\r\nLigne 2\n\t\x01"
        "9\x7f\n");
    add("blanks around", " Réunion ", " nom ", "  deux blancs  ");
}

// Written, then read back by a new store, as at the next start; QSettings, which wrote the files of earlier
// versions, reads what the program writes, and the program reads what it wrote.
void tst_Settings::namesAndValuesRoundTrip() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("Tavanote.ini"));
    SettingsStore(ours).set(section, key, value);
    SettingsStore(ours).set(section, QStringLiteral("voisin"), QStringLiteral("1"));
    const QString theirs = dir.filePath(QStringLiteral("earlier.ini"));
    {
        QSettings earlier(theirs, QSettings::IniFormat);
        earlier.setValue(qsettingsName(section) + '/' + qsettingsName(key), value);
        earlier.setValue(qsettingsName(section) + QStringLiteral("/voisin"), QStringLiteral("1"));
        QSettings reader(ours, QSettings::IniFormat);
        QCOMPARE(reader.value(qsettingsName(section) + '/' + qsettingsName(key)).toString(), value);
        QCOMPARE(reader.value(qsettingsName(section) + QStringLiteral("/voisin")).toString(), QStringLiteral("1"));
    }
    for (const QString& path : {ours, theirs}) {
        SettingsStore settings(path);
        QCOMPARE(settings.get(section, key), value);
        QCOMPARE(sorted(settings.section(section)), sorted(Pairs{{key, value}, {QStringLiteral("voisin"), "1"}}));
    }
}

// Sections, keys and comments the program does not write stay byte for byte, in their place, start after start;
// they are read as QSettings read them.
void tst_Settings::otherToolsSectionsAreKept() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    const QByteArray foreign =
        "\xEF\xBB\xBF; made by hand\r\nracine = 1\r\n[a/b]\r\nk=1\r\n[]\r\nx = y\r\n\r\n[General]\r\ng=\"a;b\"\r\n"
        "[odd]\r\nb\\k=2\r\n%zz=3\r\n  key with spaces = \" v \" ; note\r\ndup=1\r\nligne=\"un\r\ndeux\"\r\n"
        "liste=a , \"b,c\" ,d\r\ndup=2\r\nno equals sign\r\n[parametres]\r\nautre\\cle=1\r\ncouleur = 255\r\n";
    writeFile(path, foreign);
    {
        SettingsStore settings(path);
        QSettings earlier(path, QSettings::IniFormat);
        earlier.beginGroup(QStringLiteral("odd"));
        Pairs read;
        for (const QString& key : earlier.childKeys())
            read << qMakePair(key, earlier.value(key).toStringList().join(','));
        QCOMPARE(read.size(), 5);
        QCOMPARE(sorted(settings.section(QStringLiteral("odd"))), read);
        QCOMPARE(settings.get(QStringLiteral("a/b"), QStringLiteral("k")), QString());
        QCOMPARE(settings.get(QStringLiteral("a"), QStringLiteral("b/k")), QString());
        prepare(settings);
        settings.set(QStringLiteral("odd"), QStringLiteral("dup"), QStringLiteral("3"));
        settings.set(QStringLiteral("neuve"), QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(settings.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
    }
    const QByteArray saved = readAll(path);
    // Of a repeated key the last line is rewritten, the others dropped.
    QByteArray expected = foreign;
    expected.replace("dup=1\r\n", "").replace("dup=2", "dup=3");
    QVERIFY2(saved.startsWith(expected.chopped(2) + "\r\ndossier%20application=/opt/tavanote/\r\n"), saved.constData());
    QVERIFY(saved.endsWith("\r\n\r\n[neuve]\r\na=b\r\n"));
    QCOMPARE(SettingsStore(path).get(QStringLiteral("odd"), QStringLiteral("dup")), QStringLiteral("3"));
    {
        SettingsStore again(path);
        prepare(again);
    }
    QCOMPARE(readAll(path), saved);
}

void tst_Settings::linesAddedAfterOddEndsReadBack_data() {
    QTest::addColumn<QByteArray>("foreign");
    QTest::addColumn<QString>("value");
    QTest::newRow("quote left open") << QByteArray("[z]\nk=\"ouvert\nl=2") << QStringLiteral("v");
    QTest::newRow("backslash at the end") << QByteArray("[z]\r\nk=fin\\") << QStringLiteral("v");
    QTest::newRow("comments only, BOM") << QByteArray("\xEF\xBB\xBF; seul") << QStringLiteral("v");
    QTest::newRow("value starting with U+FEFF") << QByteArray("[z]\n") << QStringLiteral("\uFEFFa\uFEFF");
}

// A line added after what another tool left unfinished reads back as written; what was there reads the same.
void tst_Settings::linesAddedAfterOddEndsReadBack() {
    QFETCH(QByteArray, foreign);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    writeFile(path, foreign);
    const Pairs before = SettingsStore(path).section(QStringLiteral("z"));
    SettingsStore(path).set(kParametres, QStringLiteral("clé"), value);
    SettingsStore settings(path);
    QCOMPARE(settings.get(kParametres, QStringLiteral("clé")), value);
    QCOMPARE(settings.section(QStringLiteral("z")), before);
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("parametres/clé")).toString(), value);
    QVERIFY(readAll(path).startsWith(foreign.left(3)));
}

void tst_Settings::firstStartWritesEveryDefault() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    {
        SettingsStore settings(path);
        const PreparedSettings prepared = prepare(settings);
        QVERIFY(!prepared.newVersion);
        QCOMPARE(prepared.startWithComputer, 1);
    }
    QCOMPARE(sorted(SettingsStore(path).section(kParametres)), sorted(kDefaults));

    // Values already there are kept, but for the two that say the running program; "demarrage pc" is read as a
    // number and written back as 0 or 1.
    SettingsStore settings(path);
    for (const auto& [key, value] : kDefaults)
        settings.set(kParametres, key, key == QLatin1String("demarrage pc") ? "5" : "0");
    QCOMPARE(prepare(settings).startWithComputer, 1);
    for (const auto& [key, value] : kDefaults) {
        const bool running = key == QLatin1String("version") || key == QLatin1String("dossier application");
        QCOMPARE(settings.get(kParametres, key), running || key == QLatin1String("demarrage pc") ? value : "0");
    }
    for (const char* zero : {"00", "abc"}) {
        settings.set(kParametres, QStringLiteral("demarrage pc"), QLatin1String(zero));
        QCOMPARE(prepare(settings).startWithComputer, 0);
        QCOMPARE(settings.get(kParametres, QStringLiteral("demarrage pc")), QStringLiteral("0"));
    }
}

// Only the old sections go, not those of like names; the next start is no new version any more.
void tst_Settings::previousVersionSectionsAreRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
    const QStringList old = {"demarrage GEST", "demarrage OS", "etat", "fin GEST", "fin MESS"};
    const QStringList kept = {"liste", "etats", "Etat", "etat/1"};
    {
        SettingsStore settings(path);
        // Old sections alone, without a start date, are not a previous version.
        settings.set(QStringLiteral("etat"), QStringLiteral("a"), QStringLiteral("1"));
        QVERIFY(!prepare(settings).newVersion);
        QCOMPARE(settings.get(QStringLiteral("etat"), QStringLiteral("a")), QStringLiteral("1"));
        settings.removeSection(kParametres);
        settings.set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
        settings.set(kParametres, QStringLiteral("etat"), QStringLiteral("garde"));
        for (const QString& section : old + kept)
            settings.set(section, QStringLiteral("a"), section);
        QVERIFY(prepare(settings).newVersion);
        settings.removeSection(QStringLiteral("absente"));
    }
    SettingsStore settings(path);
    for (const QString& section : old)
        QVERIFY2(settings.section(section).isEmpty(), qPrintable(section));
    for (const QString& section : kept)
        QCOMPARE(settings.section(section), (Pairs{{"a", section}}));
    QCOMPARE(settings.get(kParametres, QStringLiteral("etat")), QStringLiteral("garde"));
    QCOMPARE(settings.get(kParametres, QStringLiteral("date de debut")), QStringLiteral("14/03/2019"));
    QVERIFY(!prepare(settings).newVersion);
}

void tst_Settings::registeringWritesAValidEntry_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("inExec");  // the folder as the Exec line must write it
    QTest::newRow("blank and dollar") << QStringLiteral("dossier avec espace/$prix")
                                      << QStringLiteral(R"(dossier avec espace/\\$prix)");
    QTest::newRow("quotes, backslash, percent")
        << QStringLiteral("l'été \"100%\"/a`b\\c") << QStringLiteral(R"(l'été \\"100%%\\"/a\\`b\\\\c)");
}

// The entry runs the executable, twice applied is one identical entry, and the desktop's own checker accepts it.
void tst_Settings::registeringWritesAValidEntry() {
    QFETCH(QString, folder);
    QFETCH(QString, inExec);
    QTemporaryDir dir;
    const QString executable = dir.filePath(folder + QStringLiteral("/tavanote"));
    QVERIFY(makeExecutable(executable));
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    QVERIFY(!autostart.isRegistered());
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    const QByteArray first = readAll(entry);
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    QCOMPARE(readAll(entry), first);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Tavanote.desktop")});
    const QStringList lines = QString::fromUtf8(first).split(QLatin1Char('\n'));
    QCOMPARE(lines.filter(QRegularExpression("^Exec=")),
             QStringList{QStringLiteral("Exec=\"%1/%2/tavanote\"").arg(dir.path(), inExec)});
    QVERIFY(lines.contains(QStringLiteral("Type=Application")) && lines.contains(QStringLiteral("Name=Tavanote")));

    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY2(validate.waitForFinished(60000), "desktop-file-validate is needed");
    const QString said = QString::fromUtf8(validate.readAll());
    QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0, qPrintable(said));
    QVERIFY2(!said.contains(QLatin1String("error"), Qt::CaseInsensitive), qPrintable(said));
}

void tst_Settings::autostartValues() {
    QTemporaryDir dir;
    const QString executable = dir.filePath(QStringLiteral("bin/tavanote"));
    const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
    Autostart autostart(entry, executable);
    // A missing executable, or a folder of that name, writes nothing.
    QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
    QVERIFY(QDir().mkpath(executable));
    QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
    QVERIFY(!QFileInfo::exists(entry) && !autostart.isRegistered());
    QVERIFY(QDir(executable).removeRecursively() && makeExecutable(executable));

    // Values other than 0 and 1 do nothing, with or without an entry.
    for (const int value : {5, 2, -1})
        QCOMPARE(autostart.apply(value), Autostart::Outcome::Done);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("autostart"))));
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
    const QByteArray written = readAll(entry);
    QCOMPARE(autostart.apply(5), Autostart::Outcome::Done);
    QCOMPARE(readAll(entry), written);

    // 0 removes the entry; with none it passes silently.
    QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
    QVERIFY(!QFileInfo::exists(entry) && !autostart.isRegistered());
    QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
    QVERIFY(QFileInfo::exists(executable));
}

// A configuration folder that cannot be made (a file stands in its place), or no home at all: the settings hold
// for the run and say they cannot be saved; the start-up entry fails with its reason.
void tst_Settings::unwritablePlacesSayWhere() {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("config"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    SettingsStore settings(blocker + QStringLiteral("/Tavanote/Tavanote.ini"));
    prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
    QVERIFY(!settings.canSave());
    QCOMPARE(settings.get(kParametres, QStringLiteral("suppression")), QStringLiteral("0"));

    const QString executable = dir.filePath(QStringLiteral("tavanote"));
    QVERIFY(makeExecutable(executable));
    Autostart autostart(blocker + QStringLiteral("/autostart/Tavanote.desktop"), executable);
    QCOMPARE(autostart.apply(1), Autostart::Outcome::Failed);
    QCOMPARE(autostart.failure(),
             QStringLiteral("Le dossier %1/autostart ne peut pas être créé.").arg(QDir::toNativeSeparators(blocker)));

    const QByteArray home = qgetenv("HOME");
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const QString settingsPath = SettingsStore::defaultPath();
    const QString entryPath = Autostart::defaultEntryPath();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", xdg);
    QCOMPARE(settingsPath, QString());
    QCOMPARE(entryPath, QString());
    SettingsStore nowhere(settingsPath);
    nowhere.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
    QVERIFY(!nowhere.canSave());
    QCOMPARE(nowhere.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
    Autostart homeless(entryPath, executable);
    QCOMPARE(homeless.apply(1), Autostart::Outcome::Failed);
    QVERIFY(!homeless.failure().isEmpty());
    QVERIFY(settingsUnsavedText(QString()).contains(QStringLiteral("aucun dossier personnel")));
}

QTEST_GUILESS_MAIN(tst_Settings)

#include "tst_settings.moc"
