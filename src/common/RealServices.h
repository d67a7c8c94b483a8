#pragma once

#include <QLockFile>
#include <QSystemTrayIcon>
#include <memory>

#include "common/Services.h"

namespace tavanote {

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    std::unique_ptr<WallAlarm> wallAlarm() const override;
};

class SystemRandom : public Random {
public:
    double next() override;
};

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons, const QString& title,
                   std::optional<Answer> defaultButton) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                         QString* selectedFilter) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
    bool print(QWidget* parent, QPrinter& printer, bool offerSelection) override;
    bool pageSetup(QWidget* parent, QPrinter& printer) override;
    bool openUrl(const QUrl& url) override;
    void openFile(const QString& path, std::function<void()> noApplication) override;
    Answer listMessage(QWidget* parent, const QString& before, const QString& list, const QString& after, Icon icon,
                       Buttons buttons) override;
};

// Shows its boxes and dialogs through another Dialogs, each inside a handler scope: a timer tick that falls while
// one is open waits until it closes, whichever handler opened it.
class ScopedDialogs : public Dialogs {
public:
    explicit ScopedDialogs(Dialogs& shown) : m_shown(shown) {}
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons, const QString& title,
                   std::optional<Answer> defaultButton) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                         QString* selectedFilter) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
    bool print(QWidget* parent, QPrinter& printer, bool offerSelection) override;
    bool pageSetup(QWidget* parent, QPrinter& printer) override;
    bool openUrl(const QUrl& url) override;
    void openFile(const QString& path, std::function<void()> noApplication) override;
    Answer listMessage(QWidget* parent, const QString& before, const QString& list, const QString& after, Icon icon,
                       Buttons buttons) override;

private:
    Dialogs& m_shown;
};

class DesktopPlatform : public Platform {
public:
    // lockFolder: where the single-copy lock lives (the user's runtime folder by default).
    explicit DesktopPlatform(QString executablePath, QString autostartEntry = QString(),
                             QString lockFolder = QString());
    bool claimSingleCopy() override;
    // The messages file the start-up entry names, for whoever reads it.
    void setMessageFile(const QString& path) { m_autostart.setMessageFile(path); }
    Autostart::Outcome applyAutostart(int value) override;
    QString autostartEntry() const override { return m_autostart.entryPath(); }
    QString autostartFailure() const override { return m_autostart.failure(); }
    QString executablePath() const override { return m_autostart.executablePath(); }
    void endProgram(int status) override;
    void beep() override;
    QString findProgram(const QString& name) const override;
    bool startProgram(const QString& path) override;

private:
    Autostart m_autostart;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
};

class SystemTrayIcon : public TrayIcon {
public:
    SystemTrayIcon();
    ~SystemTrayIcon() override;
    bool available() const override;
    void add(const QString& toolTip, std::function<void(Click, const QPoint&)> clicked) override;
    void setToolTip(const QString& toolTip) override;
    void remove() override;
    bool isAdded() const override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::function<void(Click, const QPoint&)> m_clicked;
};

}  // namespace tavanote
