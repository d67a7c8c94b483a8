#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>

#include "common/Version.h"

namespace tavanote {

namespace {

const QString kUsage = QStringLiteral(
    "Usage : tavanote [option]\n"
    "Tavanote affiche vos messages à l'écran, sous forme de notes, au moment voulu.\n"
    "Sans option, le programme démarre et se place dans la zone de notification.\n"
    "\n"
    "Options :\n"
    "  -h, --help     affiche cette aide et s'arrête\n"
    "  -v, --version  affiche la version du programme et s'arrête\n");

// Options the application object reads itself (QGuiApplication and QApplication).
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "display",       "session", "style",
    "stylesheet",  "geometry",           "qmljsdebugger"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "sync", "nograb", "dograb"};

// The unknown option as the user typed it ("--bogus", "-x"), found back among the arguments.
QString typedOption(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        while (bare.startsWith(QLatin1Char('-')))
            bare.remove(0, 1);
        if (bare == name)
            return argument.section(QLatin1Char('='), 0, 0);
    }
    return name;
}

}  // namespace

CommandLineAnswer readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options take one dash ("-platform xcb"), so a single dash starts a long option, as for Qt itself.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kQtValueOptions)
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("valeur")));
    for (const char* name : kQtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    CommandLineAnswer answer;
    QString mistake;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        mistake = unknown.isEmpty()
                      ? QStringLiteral("Option incomplète : il manque sa valeur.")
                      : QStringLiteral("Option inconnue : %1").arg(typedOption(arguments, unknown.first()));
    } else if (!parser.positionalArguments().isEmpty()) {
        mistake = QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments().first());
    }
    if (!mistake.isEmpty()) {
        answer.start = false;
        answer.status = 2;
        answer.toError = true;
        answer.text = mistake + QStringLiteral("\n\n") + kUsage;
    } else if (parser.isSet(help)) {
        answer.start = false;
        answer.text = kUsage;
    } else if (parser.isSet(version)) {
        answer.start = false;
        answer.text = QStringLiteral("Tavanote %1\n").arg(versionText());
    }
    return answer;
}

std::optional<int> answerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineAnswer answer = readCommandLine(arguments);
    if (answer.start)
        return std::nullopt;
    std::fputs(answer.text.toLocal8Bit().constData(), answer.toError ? stderr : stdout);
    return answer.status;
}

}  // namespace tavanote
