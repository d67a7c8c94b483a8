#include "RealServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <map>

#include "common/HandlerScope.h"
#include "common/TimerFdAlarm.h"

namespace tavanote {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

std::unique_ptr<WallAlarm> SystemClock::wallAlarm() const {
    return TimerFdAlarm::create();
}

double SystemRandom::next() {
    return QRandomGenerator::global()->generateDouble();
}

namespace {

QMessageBox::StandardButton toStandard(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon toStandard(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toStandard(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer answerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
    }
}

}  // namespace

Answer QtDialogs::message(QWidget* parent, const QString& text, Icon icon, Buttons buttons, const QString& title,
                          std::optional<Answer> defaultButton) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);  // user text (a title, a file name) is never read as markup
    box.setText(text);
    box.setIcon(toStandard(icon));
    box.setStandardButtons(toStandard(buttons));
    if (defaultButton)
        box.setDefaultButton(toStandard(*defaultButton));
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return answerOf(box.exec());
}

Answer QtDialogs::listMessage(QWidget* parent, const QString& before, const QString& list, const QString& after,
                              Icon icon, Buttons buttons) {
    // A message box grows with its text, past the screen's bottom with a long list: here the list alone scrolls.
    QDialog box(parent);
    box.setObjectName(QStringLiteral("listMessage"));
    box.setWindowTitle(kTitle);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* layout = new QGridLayout(&box);
    static const std::map<Icon, QStyle::StandardPixmap> pixmaps = {
        {Icon::Information, QStyle::SP_MessageBoxInformation},
        {Icon::Exclamation, QStyle::SP_MessageBoxWarning},
        {Icon::Question, QStyle::SP_MessageBoxQuestion},
        {Icon::Critical, QStyle::SP_MessageBoxCritical}};
    if (const auto found = pixmaps.find(icon); found != pixmaps.end()) {
        auto* iconLabel = new QLabel(&box);
        const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        iconLabel->setPixmap(box.style()->standardIcon(found->second, nullptr, &box).pixmap(size, size));
        layout->addWidget(iconLabel, 0, 0, 3, 1, Qt::AlignTop);
    }
    const auto label = [&box](const QString& text) {
        auto* shown = new QLabel(text.trimmed(), &box);
        shown->setTextFormat(Qt::PlainText);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return shown;
    };
    layout->addWidget(label(before), 0, 1);
    auto* items = new QPlainTextEdit(&box);
    items->setObjectName(QStringLiteral("list"));
    items->setReadOnly(true);
    items->setLineWrapMode(QPlainTextEdit::NoWrap);
    items->setPlainText(list.endsWith(QLatin1Char('\n')) ? list.chopped(1) : list);
    const int lines = std::clamp(static_cast<int>(list.count(QLatin1Char('\n'))) + 1, 3, 12);
    items->setMinimumHeight(items->fontMetrics().lineSpacing() * lines + 2 * items->frameWidth() + 8);
    layout->addWidget(items, 1, 1);
    layout->setRowStretch(1, 1);
    layout->addWidget(label(after), 2, 1);
    QMessageBox::StandardButtons standard = toStandard(buttons);
    auto* choices = new QDialogButtonBox(QDialogButtonBox::StandardButtons(int(standard)), &box);
    layout->addWidget(choices, 3, 0, 1, 2);
    QObject::connect(choices, &QDialogButtonBox::clicked, &box,
                     [&box, choices](QAbstractButton* button) { box.done(choices->standardButton(button)); });
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        box.setMaximumSize(screen->availableGeometry().size() * 9 / 10);
    box.resize(box.sizeHint().expandedTo(QSize(420, 0)));
    return answerOf(box.exec());
}

QString QtDialogs::openFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                                QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, folder, filter, selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<QColor> QtDialogs::color(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogs::print(QWidget* parent, QPrinter& printer, bool offerSelection) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offerSelection);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::pageSetup(QWidget* parent, QPrinter& printer) {
    // The printer first, then its page.
    const QString pdf = QStringLiteral("Fichier PDF");
    const QStringList printers = QPrinterInfo::availablePrinterNames() << pdf;
    const QString current = printer.outputFormat() == QPrinter::PdfFormat ? pdf : printer.printerName();
    bool chosen = false;
    const QString name =
        QInputDialog::getItem(parent, QStringLiteral("Configuration de l'imprimante"), QStringLiteral("Imprimante:"),
                              printers, std::max(0, int(printers.indexOf(current))), false, &chosen);
    if (!chosen)
        return false;
    if (name == pdf) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtDialogs::openFile(const QString& path, std::function<void()> noApplication) {
    // xdg-open says what became of the file by its exit status, which QDesktopServices keeps to itself: 3 no
    // application for that type, 4 the application failed. It may run as long as the application does.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener, [opener, noApplication](int code, QProcess::ExitStatus how) {
        if (how == QProcess::NormalExit && (code == 3 || code == 4))
            noApplication();
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, noApplication](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        noApplication();
        opener->deleteLater();
    });
    opener->start(QStringLiteral("xdg-open"), {path});
}

Answer ScopedDialogs::message(QWidget* parent, const QString& text, Icon icon, Buttons buttons, const QString& title,
                              std::optional<Answer> defaultButton) {
    HandlerScope scope;
    return m_shown.message(parent, text, icon, buttons, title, defaultButton);
}

QString ScopedDialogs::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) {
    HandlerScope scope;
    return m_shown.openFileName(parent, caption, folder, filter);
}

QString ScopedDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter, QString* selectedFilter) {
    HandlerScope scope;
    return m_shown.saveFileName(parent, caption, folder, filter, selectedFilter);
}

std::optional<QColor> ScopedDialogs::color(QWidget* parent, const QColor& initial) {
    HandlerScope scope;
    return m_shown.color(parent, initial);
}

bool ScopedDialogs::print(QWidget* parent, QPrinter& printer, bool offerSelection) {
    HandlerScope scope;
    return m_shown.print(parent, printer, offerSelection);
}

bool ScopedDialogs::pageSetup(QWidget* parent, QPrinter& printer) {
    HandlerScope scope;
    return m_shown.pageSetup(parent, printer);
}

bool ScopedDialogs::openUrl(const QUrl& url) {
    HandlerScope scope;
    return m_shown.openUrl(url);
}

void ScopedDialogs::openFile(const QString& path, std::function<void()> noApplication) {
    m_shown.openFile(path, std::move(noApplication));
}

Answer ScopedDialogs::listMessage(QWidget* parent, const QString& before, const QString& list, const QString& after,
                                  Icon icon, Buttons buttons) {
    HandlerScope scope;
    return m_shown.listMessage(parent, before, list, after, icon, buttons);
}

DesktopPlatform::DesktopPlatform(QString executablePath, QString autostartEntry, QString lockFolder)
    : m_autostart(autostartEntry.isEmpty() ? Autostart::defaultEntryPath() : autostartEntry,
                  std::move(executablePath)) {
    if (lockFolder.isEmpty())
        lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockFolder.isEmpty())
        lockFolder = QDir::tempPath();
    m_lockPath = lockFolder + QStringLiteral("/Tavanote.lock");
}

bool DesktopPlatform::claimSingleCopy() {
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock is stale only when the copy that took it is gone: however long a copy runs, its lock holds.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

Autostart::Outcome DesktopPlatform::applyAutostart(int value) {
    return m_autostart.apply(value);
}

void DesktopPlatform::endProgram(int status) {
    QApplication::exit(status);
}

void DesktopPlatform::beep() {
    QApplication::beep();
}

QString DesktopPlatform::findProgram(const QString& name) const {
    return QStandardPaths::findExecutable(name);
}

bool DesktopPlatform::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

SystemTrayIcon::SystemTrayIcon() = default;

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::add(const QString& toolTip, std::function<void(Click, const QPoint&)> clicked) {
    m_clicked = std::move(clicked);
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             Click click = Click::Left;
                             if (reason == QSystemTrayIcon::Context)
                                 click = Click::Right;
                             else if (reason == QSystemTrayIcon::DoubleClick)
                                 click = Click::Double;
                             else if (reason == QSystemTrayIcon::MiddleClick)
                                 click = Click::Middle;
                             if (m_clicked)
                                 m_clicked(click, QCursor::pos());
                         });
    }
    m_icon->setToolTip(toolTip);
    // Shown even without a notification area: the icon docks by itself when one appears.
    m_icon->show();
}

void SystemTrayIcon::setToolTip(const QString& toolTip) {
    if (m_icon)
        m_icon->setToolTip(toolTip);
}

void SystemTrayIcon::remove() {
    if (m_icon)
        m_icon->hide();
}

bool SystemTrayIcon::isAdded() const {
    return m_icon && m_icon->isVisible();
}

}  // namespace tavanote
