#pragma once

#include <QMap>
#include <QPoint>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "common/HelpContext.h"
#include "common/Services.h"
#include "common/WindowHost.h"

namespace tavanote::test {

// A clock that only moves when the test moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime now) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now;
};

// Gives the queued draws in turn, then 0.
class FakeRandom : public Random {
public:
    double next() override;
    std::deque<double> draws;
};

struct ShownBox {
    QString title;
    QString text;
    Icon icon;
    Buttons buttons;
};

// Answers boxes from a queue of expectations and records every box shown. A box nobody expected fails the
// running test and answers No (or Cancel, or OK), so that a test never blocks on a box.
class FakeDialogs : public Dialogs {
public:
    // The next box must have this icon and text (and title); it is answered with answer.
    void expect(Icon icon, const QString& text, Answer answer = Answer::Ok, const QString& title = kTitle);
    bool allAnswered() const { return m_expected.empty(); }

    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons, const QString& title,
                   std::optional<Answer> defaultButton) override;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, QString* selected) override;
    std::optional<QColor> color(QWidget*, const QColor&) override;
    bool print(QWidget*, QPrinter& printer, bool offerSelection) override;
    bool pageSetup(QWidget*, QPrinter&) override { return printAnswer; }
    bool openUrl(const QUrl& url) override;
    void openFile(const QString& path, std::function<void()> noApplication) override {
        if (!openUrl(QUrl::fromLocalFile(path)))
            noApplication();
    }

    // Runs while the next box is open, as the events of its nested loop would (a timer tick, a click).
    std::function<void()> whileNextBoxOpen;
    std::vector<ShownBox> shown;
    std::deque<QString> fileNames;  // answers of the file dialogs, in turn; none left means cancel
    QString chosenFilter;           // the filter chosen in the save dialog
    std::optional<QColor> colourAnswer;
    bool printAnswer = false;
    // When set, answers the print dialog instead of printAnswer, choosing on the printer as a user would.
    std::function<bool(QPrinter& printer, bool offerSelection)> printing;
    QList<QUrl> openedUrls;
    bool openUrlAnswer = true;  // false: no application opens what is asked

private:
    struct Expected {
        Icon icon;
        QString text;
        Answer answer;
        QString title;
    };
    std::deque<Expected> m_expected;
};

class FakePlatform : public Platform {
public:
    bool claimSingleCopy() override { return !otherCopyRunning; }
    Autostart::Outcome applyAutostart(int value) override;
    QString autostartEntry() const override { return QStringLiteral("/home/lea/.config/autostart/Tavanote.desktop"); }
    QString autostartFailure() const override { return autostartReason; }
    QString executablePath() const override { return executable; }
    void endProgram(int status) override {
        ++endCount;
        endStatus = status;
    }
    void beep() override { ++beeps; }
    QString findProgram(const QString& name) const override { return programs.value(name); }
    bool startProgram(const QString& path) override {
        started.append(path);
        return true;
    }

    bool otherCopyRunning = false;
    QString executable = QStringLiteral("/opt/tavanote/tavanote");
    std::deque<Autostart::Outcome> autostartOutcomes;  // queued outcomes; none left means Done
    QList<int> autostartCalls;
    QString autostartReason;
    int endCount = 0;
    int endStatus = -1;
    int beeps = 0;
    QMap<QString, QString> programs;  // name -> path of the programs "installed"
    QStringList started;
};

// A notification area the test clicks on.
class FakeTray : public TrayIcon {
public:
    bool available() const override { return present; }
    void add(const QString& tip, std::function<void(Click, const QPoint&)> onClick) override {
        added = true;
        toolTip = tip;
        clicked = std::move(onClick);
    }
    void setToolTip(const QString& tip) override { toolTip = tip; }
    void remove() override { added = false; }
    bool isAdded() const override { return added; }
    void click(Click button) { clicked(button, QPoint(100, 100)); }

    bool present = true;
    bool added = false;
    QString toolTip;
    std::function<void(Click, const QPoint&)> clicked;
};

// Records the help pages asked for: the window's name and the context.
class FakeHelp : public Help {
public:
    void show(QWidget* window, HelpContext context) override;
    QList<std::pair<QString, HelpContext>> shown;
};

// The window that opened a secondary window: counts the about windows asked for.
class FakeHost : public WindowHost {
public:
    void showAbout() override {}
};

}  // namespace tavanote::test
