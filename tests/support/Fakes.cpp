#include "Fakes.h"

#include <QTest>
#include <QWidget>
#include <utility>

namespace tavanote::test {

double FakeRandom::next() {
    if (draws.empty())
        return 0.0;
    const double value = draws.front();
    draws.pop_front();
    return value;
}

void FakeDialogs::expect(Icon icon, const QString& text, Answer answer, const QString& title) {
    m_expected.push_back({icon, text, answer, title});
}

Answer FakeDialogs::message(QWidget*, const QString& text, Icon icon, Buttons buttons, const QString& title,
                            std::optional<Answer>) {
    shown.push_back({title, text, icon, buttons});
    if (whileNextBoxOpen)
        std::exchange(whileNextBoxOpen, nullptr)();
    const Answer refusal =
        buttons == Buttons::Ok ? Answer::Ok : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
    if (m_expected.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected box \"%1\": %2").arg(title, text)), __FILE__, __LINE__);
        return refusal;
    }
    const Expected expected = m_expected.front();
    m_expected.pop_front();
    if (expected.text != text || expected.icon != icon || expected.title != title) {
        QTest::qFail(qPrintable(QStringLiteral("box \"%1\" [icon %2]:\n%3\nexpected \"%4\" [icon %5]:\n%6")
                                    .arg(title)
                                    .arg(static_cast<int>(icon))
                                    .arg(text, expected.title)
                                    .arg(static_cast<int>(expected.icon))
                                    .arg(expected.text)),
                     __FILE__, __LINE__);
        return refusal;
    }
    return expected.answer;
}

QString FakeDialogs::openFileName(QWidget*, const QString&, const QString&, const QString&) {
    if (fileNames.empty())
        return QString();
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString FakeDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                                  QString* selected) {
    if (selected)
        *selected = chosenFilter;
    return openFileName(parent, caption, folder, filter);
}

bool FakeDialogs::print(QWidget*, QPrinter& printer, bool offerSelection) {
    return printing ? printing(printer, offerSelection) : printAnswer;
}

std::optional<QColor> FakeDialogs::color(QWidget*, const QColor&) {
    return colourAnswer;
}

bool FakeDialogs::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return openUrlAnswer;
}

Autostart::Outcome FakePlatform::applyAutostart(int value) {
    autostartCalls.append(value);
    if (autostartOutcomes.empty())
        return Autostart::Outcome::Done;
    const Autostart::Outcome outcome = autostartOutcomes.front();
    autostartOutcomes.pop_front();
    return outcome;
}

void FakeHelp::show(QWidget* window, HelpContext context) {
    shown.append({window ? window->objectName() : QString(), context});
}

}  // namespace tavanote::test
