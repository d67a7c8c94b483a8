// The files in the user's configuration. The settings: each key's rule, reads at each use, one write per save, edits
// made outside kept, unusable paths, links, the start's tidying, and the messages of version 1.0.0 brought over into
// the store. The start-up entry: what it runs, when it is written, removed or refused. The Qt platform chosen.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <map>

#include "app/PlatformChoice.h"
#include "common/Autostart.h"
#include "common/Preferences.h"
#include "common/SettingsStore.h"
#include "common/StartupSettings.h"
#include "messages/Recovery.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

const QString kEnding = QStringLiteral(" à partir de l'ancienne version.");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

bool makeExecutable(const QString& path) {
    return writeFile(path, "#!/bin/sh\n") && QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

PreparedSettings prepare(SettingsStore& settings) {
    return prepareSettings(settings, QStringLiteral("/opt/tavanote"), QDate(2026, 6, 5));
}

QString joined(const QList<QPair<QString, QString>>& pairs) {
    QStringList out;
    for (const auto& [key, value] : pairs)
        out << key + '=' + value;
    out.sort();
    return out.join('|');
}

// What the program makes of a key, in a word.
QString reading(const Preferences& p, const QString& key) {
    const NotePlace place = p.notePlace();
    const QString fixed = place.kind == NotePlace::Kind::Fixed ? QString::number(place.fixed) : "system";
    const std::map<QString, QString> readings = {
        {"suppression", p.expiry() == Expiry::Delete ? "delete" : "keep"},
        {"position", place.kind == NotePlace::Kind::Random ? "random" : fixed},
        {"couleur", p.noteColour() ? QString::number(*p.noteColour()) : "random"},
        {"affichage", QString(p.noteStamp().date ? "d" : "-") + (p.noteStamp().time ? "t" : "-")},
        {"demarrage pc", QString::number(p.startWithComputer())},
        {"confirmation fermeture", QString::number(p.askBeforeClosingNote())},
        {"fin programme", QString::number(p.askBeforeQuitting())},
        {"legende", QString::number(p.showLegend())},
        {"date de debut", p.firstStartDate()}};
    return readings.at(key);
}

}  // namespace

class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void everyKeyByItsRule_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("line");  // the line as typed in the file; empty: no line
        QTest::addColumn<QString>("read");
        // The first value stands for the absent key.
        const auto add = [](const char* key, const char* values, const char* readings) {
            const QStringList v = QString(values).split('|'), r = QString(readings).split('|');
            for (int i = 0; i < v.size(); ++i) {
                const QByteArray line =
                    i == 0 ? QByteArray() : QUrl::toPercentEncoding(key) + "=\"" + v[i].toUtf8() + '"';
                QTest::addRow("%s %s", key, i == 0 ? "absent" : qPrintable('"' + v[i] + '"')) << key << line << r[i];
            }
        };
        add("suppression", "-||0|1| 0|00", "keep|keep|delete|keep|keep|keep");
        add("position", "-||0|8|9|05|-1", "random|random|0|8|system|system|system");
        add("couleur", "-||12648447|255|abc|16777471|255 rouge", "random|random|12648447|255|0|255|255");
        add("affichage", "-||0|1|2|3|7", "dt|dt|--|d-|-t|dt|dt");
        add("demarrage pc", "-||0|1| 0 |00|abc|5", "1|1|0|1|0|0|0|1");
        add("confirmation fermeture", "-||0|1| 1", "0|0|0|1|0");
        add("fin programme", "-||0|1|oui", "0|0|0|1|0");
        add("legende", "-||0|1|2|x", "0|0|0|1|1|0");
        add("date de debut", "-|05/06/2026", "|05/06/2026");
    }
    // Read from a file typed by hand (the key escaped as QSettings writes it), through the one rule of each key.
    void everyKeyByItsRule() {
        QFETCH(QString, key);
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("Tavanote.ini"), "[parametres]\nautre=1\n" + line + '\n'));
        SettingsStore settings(dir.filePath("Tavanote.ini"));
        QTEST(reading(Preferences(settings), key), "read");
    }
    // A key changed by hand counts at its next use; a save merges over the file as it is, keeping what others wrote.
    // Names and values QSettings would take apart round-trip.
    void editsMadeOutsideAreReadAndKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
        const QString odd = QStringLiteral("Cours 1/2: C:\\été 100% %2F [a] = #1; @Variant");
        SettingsStore settings(path);
        Preferences preferences(settings);
        prepare(settings);
        QVERIFY(preferences.askBeforeQuitting() && preferences.showLegend());
        preferences.setShowLegend(false);
        settings.set(odd, odd, odd + QStringLiteral(", \"x\"\r\nligne 2\t"));
        // Typed by another program (QSettings objects of this process would share what they know of the file).
        QByteArray edited = readAll(path);
        QVERIFY(
            writeFile(path, edited.replace("fin%20programme=1\n", "fin%20programme=0\n") + "[autre]\ncle=gardée\n"));
        QVERIFY(!preferences.askBeforeQuitting());
        QVERIFY(settings.save() && settings.writes() == 2);
        QSettings written(path, QSettings::IniFormat);
        QCOMPARE(written.value("parametres/fin programme").toString() + written.value("parametres/legende").toString() +
                     written.value("autre/cle").toString(),
                 "00gardée");
        QCOMPARE(joined(SettingsStore(path).section(odd)), odd + '=' + odd + QStringLiteral(", \"x\"\r\nligne 2\t"));
    }
    // One write for the whole start, none when nothing changed. Of version 1.0.0's sections only its own go. People
    // keep their configuration in a folder of links: the link stays, its target keeps its owner and mode.
    void startWritesOnceThroughALink() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("dotfiles/Tavanote.ini"));
        const QString path = dir.filePath(QStringLiteral("config/Tavanote/Tavanote.ini"));
        QVERIFY(writeFile(target, "[autre]\na=1\n") && QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(QFile::link(target, path));
        const QByteArray native = QFile::encodeName(target);
        const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();  // as root, someone else's file
        QVERIFY(::chmod(native.constData(), 0640) == 0 && ::chown(native.constData(), owner, gid_t(-1)) == 0);
        SettingsStore settings(path);
        QVERIFY(!prepare(settings).newVersion && settings.writes() == 1);
        QVERIFY2(settings.canSave(), qPrintable(settings.faultText()));
        QCOMPARE(joined(SettingsStore(path).section(kParametres)),
                 "affichage=3|confirmation fermeture=1|couleur=12648447|date de debut=05/06/2026|demarrage pc=1|"
                 "dossier application=/opt/tavanote/|fin programme=1|legende=1|position=|suppression=0|version=2.0.0");
        struct stat info {};
        QVERIFY(QFileInfo(path).isSymLink() && readAll(target).contains("[autre]") && ::stat(native, &info) == 0);
        QVERIFY(info.st_uid == owner && (info.st_mode & 07777) == 0640);
        const QByteArray bytes = readAll(path);
        SettingsStore again(path);
        prepare(again);
        QVERIFY(again.writes() == 0 && readAll(path) == bytes);

        QByteArray old = "[parametres]\ndate%20de%20debut=14/03/2019\n";
        for (const char* section :
             {"demarrage%20GEST", "demarrage%20OS", "etat", "fin%20GEST", "fin%20MESS", "liste", "etats", "Etat"})
            old += QByteArray("[") + section + "]\na=1\n";
        QVERIFY(writeFile(path, old));
        QVERIFY(prepare(again).newVersion && again.writes() == 1);
        SettingsStore reread(path);
        QCOMPARE(reread.get(kParametres, QStringLiteral("date de debut")), QStringLiteral("14/03/2019"));
        QVERIFY(!prepare(reread).newVersion);
        QCOMPARE(QSettings(path, QSettings::IniFormat).childGroups(),
                 QStringList({"Etat", "etats", "liste", "parametres"}));
    }
    // Never opened (a pipe would block, a huge file fill the memory) or never written: one text says why and where,
    // the defaults hold for the run, and nothing is written there.
    void pathsThatCannotBeUsed() {
        const QString unread = QStringLiteral("Les paramètres ne peuvent pas être lus dans:\n%1\n\n");
        const std::pair<const char*, QString> rows[] = {
            // what is at the path, the text (%1: the path)
            {"fifo", unread + "Ce n'est pas un fichier ordinaire"},
            {"huge", unread + "Ce fichier est trop grand pour un fichier de paramètres"},
            {"loop", unread + "Ce lien symbolique ne mène à aucun fichier"},
            {"blocker",
             "Les paramètres ne peuvent pas être enregistrés dans:\n%1\n\nCe dossier n'est pas "
             "accessible en écriture."},
            {"none", "Les paramètres ne peuvent pas être enregistrés: aucun dossier personnel"}};
        for (const auto& [kind, text] : rows) {
            QTemporaryDir dir;
            QString path = dir.filePath(QStringLiteral("Tavanote.ini"));
            if (qstrcmp(kind, "fifo") == 0)
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else if (qstrcmp(kind, "loop") == 0)
                QVERIFY(QFile::link(path, path));
            else if (qstrcmp(kind, "huge") == 0)
                QVERIFY(writeFile(path, "[parametres]\n") && QFile::resize(path, 2 * 1024 * 1024));
            else if (qstrcmp(kind, "blocker") == 0)
                QVERIFY(writeFile(std::exchange(path, path + QStringLiteral("/Tavanote/Tavanote.ini")), ""));
            else
                path.clear();
            const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
            SettingsStore settings(path);
            prepare(settings);
            QVERIFY2(!settings.canSave() && settings.faultText().startsWith(text.arg(path)), kind);
            QCOMPARE(settings.get(kParametres, QStringLiteral("couleur")), QStringLiteral("12648447"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
            QVERIFY(qstrcmp(kind, "huge") != 0 || QFileInfo(path).size() == 2 * 1024 * 1024);
        }
    }
    // The entry runs the executable (blanks, quotes, "$", "%" and "\" escaped), twice applied is one identical entry
    // that the desktop's own checker accepts; 0 removes it. A missing executable, or one whose path holds a control
    // character (told with the character shown), writes nothing.
    void startupEntry() {
        QTemporaryDir dir;
        const QString executable = dir.filePath(QStringLiteral("l'été \"100%\"/a`b\\c $prix/tavanote"));
        const QString entry = dir.filePath(QStringLiteral("autostart/Tavanote.desktop"));
        Autostart autostart(entry, executable);
        QVERIFY(QDir().mkpath(executable));  // a folder of that name
        QCOMPARE(autostart.apply(1), Autostart::Outcome::MissingExecutable);
        Autostart control(entry, dir.filePath("a\nExec=touch pris/tavanote"));
        QVERIFY(makeExecutable(control.executablePath()));
        QCOMPARE(control.apply(1), Autostart::Outcome::Failed);
        QVERIFY2(control.failure().contains(dir.path() + "/a\\nExec=touch pris/tavanote"),
                 qPrintable(control.failure()));
        QVERIFY(!QFileInfo::exists(entry) && !autostart.isRegistered());
        QVERIFY(QDir(executable).removeRecursively() && makeExecutable(executable));
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
        const QByteArray first = readAll(entry);
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Done);
        QCOMPARE(readAll(entry), first);
        const QString exec =
            QString::fromUtf8("Exec=\"%1/l'été \\\\\"100%%\\\\\"/a\\\\`b\\\\\\\\c \\\\$prix/tavanote\"")
                .arg(dir.path());
        QCOMPARE(QString::fromUtf8(first).split('\n').filter(QRegularExpression("^Exec=")), QStringList{exec});
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY2(validate.waitForFinished(60000), "desktop-file-validate is needed");
        const QString said = QString::fromUtf8(validate.readAll());
        QVERIFY2(validate.exitCode() == 0 && !said.contains(QLatin1String("error"), Qt::CaseInsensitive),
                 qPrintable(said));
        QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
        QVERIFY(!QFileInfo::exists(entry));
        QCOMPARE(autostart.apply(0), Autostart::Outcome::Done);
        // A file where the folder should be.
        Autostart blocked(executable + QStringLiteral("/autostart/Tavanote.desktop"), executable);
        QCOMPARE(blocked.apply(1), Autostart::Outcome::Failed);
        QCOMPARE(blocked.failure(), QStringLiteral("Le dossier %1/autostart ne peut pas être créé.").arg(executable));
    }
    void recovers_data() {
        QTest::addColumn<QStringList>("left");  // each "name|value in liste|jour:|heure:|texte:"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");  // each "titre|message|datemessage|heuremessage"
        // Old values are data, never statement text: an apostrophe in a date or a title stays where it was typed.
        const QString date = QStringLiteral("0'5/06/2026'); DELETE FROM message; --");
        QTest::newRow("plural, bound") << QStringList{"Alpha|EN COURS|05/06/2026|09:30|Salle 2",
                                                      "Beta|EN COURS|5/6/2026|9:05:40|B",
                                                      "x','y|EN COURS|" + date + "|09:30|t"}
                                       << "3 messages ont été récupérés" + kEnding
                                       << QStringList{"Alpha|Salle 2|05/06/2026|09:30", "Beta|B|05/06/2026|09:05",
                                                      "x','y|t|" + date + "|09:30"};
        QTest::newRow("singular, apostrophes")
            << QStringList{" L'heure |EN COURS|01/02/2026|08:00|C'est l''heure "}
            << "1 message a été récupéré" + kEnding << QStringList{"L'heure|C'est l''heure|01/02/2026|08:00"};
        QTest::newRow("no list") << QStringList() << "Il n'existe aucun message a récupérer" + kEnding << QStringList();
        QTest::newRow("lower case") << QStringList{"Vieux|en cours|01/02/2026|08:00|x",
                                                   "Fini|TERMINE|01/02/2026|08:00|y"}
                                    << "Aucun message n'a été récupéré" + kEnding << QStringList();
        QTest::newRow("unreadable") << QStringList{"Demain|EN COURS|demain|7:15|z", "Vide|EN COURS|||"}
                                    << "2 messages ont été récupérés" + kEnding
                                    << QStringList{"Demain|z|demain|07:15", "Vide|||"};
        // A title the store cannot hold, or the name of one of the program's sections, is left and listed.
        const QString longName = QString(31, QLatin1Char('T'));
        QTest::newRow("unstorable names")
            << QStringList{"Alpha|EN COURS|05/06/2026|09:30|a", longName + "|EN COURS|05/06/2026|09:30|b",
                           "parametres|EN COURS|05/06/2026|09:30|c", "liste|EN COURS|05/06/2026|09:30|d"}
            << "1 message a été récupéré" + kEnding +
                   "\n\nCes messages n'ont pas pu être récupérés: leur titre a plus de 30 caractères ou est le nom "
                   "d'une section du programme. Ils restent dans le fichier des paramètres.\n" +
                   longName + "\nliste\nparametres"
            << QStringList{"Alpha|a|05/06/2026|09:30"};
    }
    // Recovered as one-time active messages; what is recovered leaves the settings file, with the list; what is not,
    // and the program's own keys, stay.
    void recovers() {
        QFETCH(QStringList, left);
        QFETCH(QStringList, rows);
        QTemporaryDir dir;
        MessageStore store;
        QString error;
        QVERIFY2(MessageStore::createEmpty(dir.filePath("messages.fdm"), &error), qPrintable(error));
        QVERIFY(store.open(dir.filePath("messages.fdm")).ok());
        SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
        settings.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
        if (!left.isEmpty())
            settings.set("liste", QStringLiteral("nombre"), QString::number(left.size()));
        for (const QString& message : left) {
            const QStringList f = message.split(QLatin1Char('|'));
            settings.set("liste", f[0], f[1]);
            if (f[0] != "liste") {
                settings.set(f[0], QStringLiteral("jour:"), f[2]);
                settings.set(f[0], QStringLiteral("heure:"), f[3]);
                settings.set(f[0], QStringLiteral("texte:"), f[4]);
            }
        }
        QVERIFY(settings.save());
        const RecoveryResult r = RecoverOldMessages(store, settings);
        QVERIFY(!r.failed);
        QTEST(r.text, "text");
        QCOMPARE(r.refreshLists, !rows.isEmpty());
        QStringList stored;
        for (const Message& m : store.all().value_or(MessageList())) {
            // One-time, active, due when typed.
            QCOMPARE(m.etat + '|' + m.periodicite + '|' + m.dernieraffichage + '|' + m.prochainaffichage,
                     "actif|0||" + (m.datemessage + ' ' + m.heuremessage).trimmed());
            stored << QStringList{m.titre, m.message, m.datemessage, m.heuremessage}.join('|');
        }
        QCOMPARE(stored, rows);
        SettingsStore reread(settings.fileName());
        QVERIFY(reread.section("liste").isEmpty());
        QCOMPARE(reread.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
        for (const QString& message : left) {
            const QString name = message.section(QLatin1Char('|'), 0, 0);
            const bool recovered = std::any_of(
                rows.begin(), rows.end(), [&](const QString& row) { return row.startsWith(name.trimmed() + '|'); });
            QVERIFY2(reread.section(name).isEmpty() == (recovered || name == "liste"), qPrintable(name));
        }
    }
    // Under Wayland with XWayland, X11: notes are placed where asked. The user's own choice wins.
    void platformFollowsTheSession() {
        const QStringList rows[] = {// XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM, the platform chosen
                                    {"wayland", "wayland-0", ":0", "", "xcb"},
                                    {"Wayland", "", ":0", "", "xcb"},
                                    {"wayland", "wayland-0", "", "", ""},
                                    {"wayland", "wayland-0", ":0", "wayland", ""},
                                    {"tty", "", "", "", ""}};
        for (const QStringList& row : rows)
            QVERIFY2(chosenPlatform({row[0], row[1], row[2], row[3]}) == row[4], qPrintable(row.join(',')));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
