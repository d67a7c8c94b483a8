#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace tavanote {

class Dialogs;
class Platform;

// The ending of the last date or time check message, naming the field concerned.
extern QString CheckContext;

// Trims text (the caller's variable receives it), then checks it. With showMessages, a fault is explained in
// a box naming the field, and the field gets the focus with its text selected from the caret on. An empty text
// fails silently.
bool CheckDateText(Dialogs& dialogs, QString& text, QLineEdit* field, bool showMessages);
bool CheckTimeText(Dialogs& dialogs, QString& text, QLineEdit* field, bool showMessages);

// Filters the keys typed in a date ("/") or time (":") field.
class DateTimeKeyFilter : public QObject {
    Q_OBJECT
public:
    enum Kind { Date, Time };
    DateTimeKeyFilter(Kind kind, Platform& platform, QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Kind m_kind;
    Platform& m_platform;
};

}  // namespace tavanote
