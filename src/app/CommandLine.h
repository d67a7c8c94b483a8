#pragma once

#include <QStringList>
#include <optional>

namespace tavanote {

// What the command line asks before the program starts: nothing (start), the version, the usage, or a mistake.
struct CommandLineAnswer {
    bool start = true;     // false: print `text` and end with `status` without starting
    int status = 0;        // the exit status when not starting
    QString text;          // the text to print
    bool toError = false;  // on the error output rather than the standard output
};

// The answer to the program's arguments (the first being the program's name). Qt's own options, such as
// "-platform xcb" or "-style fusion", are left for the application object.
CommandLineAnswer readCommandLine(const QStringList& arguments);

// Reads argv, prints what the answer says, and returns the status to end with, or nothing to start the program.
std::optional<int> answerCommandLine(int argc, char** argv);

}  // namespace tavanote
