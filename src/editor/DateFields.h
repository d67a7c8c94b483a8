#pragma once

#include <QChar>
#include <QString>

namespace tavanote {

// What a date or time field does with one typed character.
struct KeyFilterResult {
    bool pass = false;  // the character goes into the field as usual
    bool beep = false;
    bool changed = false;  // the field's text and caret become text and cursor
    QString text;
    int cursor = 0;
};

// Date fields take digits and "/", time fields digits and ":". A typed separator is never put at the caret:
// when the field does not hold its full count of separators, one is added at the end.
KeyFilterResult filterDateKey(QChar typed, const QString& text, int cursor);
KeyFilterResult filterTimeKey(QChar typed, const QString& text, int cursor);

// "JJ/MM/AAAA" denoting a real date read day first. Years below 100 are refused: written with four digits
// they are no date a user means.
bool isDateText(const QString& text);
// "HH:MM", hours 00 to 23, minutes 00 to 59.
bool isTimeText(const QString& text);
// The shared checks of typed dates and times. Each trims text (the caller's variable receives it), then checks
// it. A fault gives false and, unless the text was empty (which fails silently), its explanation in fault.
bool CheckDateText(QString& text, QString* fault = nullptr);
bool CheckTimeText(QString& text, QString* fault = nullptr);
// True for "JJ/MM/AAAA HH:MM" denoting a real date and time.
bool CheckDateTimeText(QString& text);

}  // namespace tavanote
