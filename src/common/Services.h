#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "common/Autostart.h"

class QWidget;
class QPrinter;
class QPoint;

namespace tavanote {

class Help;
class MessageStore;
class Preferences;
class SettingsStore;

// Rings at an instant of the wall clock, following the wall clock rather than the time the computer was awake:
// when the computer wakes after the instant it rings at once, and when the wall clock is set it rings at once too
// (the instant no longer means what it did).
class WallAlarm {
public:
    virtual ~WallAlarm() = default;
    // Rings once at this instant; arming again replaces it.
    virtual void armAt(const QDateTime& at) = 0;
    virtual void disarm() = 0;
    // Called when the instant came or passed, or the wall clock was set.
    std::function<void()> ringing;
};

// The current date and time; windows and timers read it here, never from the system directly.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // An alarm on this clock; nothing when the system has none (timers then follow the computer's awake time).
    virtual std::unique_ptr<WallAlarm> wallAlarm() const { return nullptr; }
};

// Draws in [0, 1).
class Random {
public:
    virtual ~Random() = default;
    virtual double next() = 0;
};

enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

inline const QString kTitle = QStringLiteral("Tavanote");

// Every box, file, colour and print dialog the windows show, and the opening of a file or web address.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                           const QString& title = kTitle, std::optional<Answer> defaultButton = std::nullopt) = 0;
    // An empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // Never asks about replacing a file: the caller does. selectedFilter receives the filter the user chose.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                                 QString* selectedFilter = nullptr) = 0;
    virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
    // False when the user cancels. offerSelection: printing only the selected text is one of the choices.
    virtual bool print(QWidget* parent, QPrinter& printer, bool offerSelection) = 0;
    virtual bool pageSetup(QWidget* parent, QPrinter& printer) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens a file with the application the desktop associates with its type; noApplication runs, maybe later,
    // when there is none or it could not open the file.
    virtual void openFile(const QString& path, std::function<void()> noApplication) = 0;
    // A box around a list that may be long (one item a line): the text before it and the question after it stay
    // on screen with the buttons, and the list scrolls. By default, one box with the three texts in turn.
    virtual Answer listMessage(QWidget* parent, const QString& before, const QString& list, const QString& after,
                               Icon icon, Buttons buttons) {
        return message(parent, before + list + after, icon, buttons);
    }
};

// What the program asks of the desktop it runs on.
class Platform {
public:
    virtual ~Platform() = default;
    // True when no other copy of the program runs; the claim holds until the program ends.
    virtual bool claimSingleCopy() = 0;
    virtual Autostart::Outcome applyAutostart(int value) = 0;
    // Where the start-up entry lives, and why the last applyAutostart() failed (in French).
    virtual QString autostartEntry() const = 0;
    virtual QString autostartFailure() const = 0;
    virtual QString executablePath() const = 0;
    // Ends the program at once with this exit status: no window's close handling runs.
    virtual void endProgram(int status) = 0;
    // The system beep of a refused key.
    virtual void beep() = 0;
    // The full path of a program found on the PATH, or empty.
    virtual QString findProgram(const QString& name) const = 0;
    // Starts a program on its own; false when it could not start.
    virtual bool startProgram(const QString& path) = 0;
};

// The program's icon in the notification area.
class TrayIcon {
public:
    enum class Click { Left, Right, Double, Middle };
    virtual ~TrayIcon() = default;
    // False when the desktop has no notification area: the program then keeps its main window on screen.
    virtual bool available() const = 0;
    // Adds the icon; clicked receives every click on it. Adding twice keeps one icon.
    virtual void add(const QString& toolTip, std::function<void(Click, const QPoint& at)> clicked) = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    virtual void remove() = 0;
    virtual bool isAdded() const = 0;
};

// What every window receives from outside.
struct Services {
    Clock& clock;
    Random& random;
    Dialogs& dialogs;
    SettingsStore& settings;   // the whole settings area, the previous version's sections included
    Preferences& preferences;  // the program's own keys, typed
    MessageStore& store;
    Platform& platform;
    TrayIcon& tray;
    Help& help;
    QString programFolder;  // the executable's folder
    // The messages file in use: messages.fdm in the program folder, or in the user's data folder when the
    // program folder holds none and cannot be written. Empty: the one in the program folder.
    QString messageFile{};
    bool perUserMessageFile = false;  // made empty at the first start when missing
};

}  // namespace tavanote
