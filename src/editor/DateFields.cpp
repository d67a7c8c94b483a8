#include "DateFields.h"

#include <QDate>

#include "common/TextRules.h"

namespace tavanote {

namespace {

KeyFilterResult filterKey(QChar typed, const QString& text, QChar separator, int separators) {
    KeyFilterResult result;
    if (typed == QChar(8) || (typed.isDigit() && typed.unicode() < 128)) {
        result.pass = true;
        return result;
    }
    if (typed != separator) {
        result.beep = true;
        return result;
    }
    if (text.count(separator) != separators) {
        result.changed = true;
        result.text = text + separator;
        result.cursor = static_cast<int>(result.text.size());
    }
    return result;
}

bool digitsAt(const QString& text, std::initializer_list<int> positions) {
    for (const int i : positions) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool shapedDate(const QString& text) {
    return text.size() == 10 && text.at(2) == QLatin1Char('/') && text.at(5) == QLatin1Char('/') &&
           digitsAt(text, {0, 1, 3, 4, 6, 7, 8, 9});
}

bool realDate(const QString& text) {
    const int year = text.mid(6, 4).toInt();
    return year >= 100 && QDate(year, text.mid(3, 2).toInt(), text.mid(0, 2).toInt()).isValid();
}

bool shapedTime(const QString& text) {
    return text.size() == 5 && text.at(2) == QLatin1Char(':') && digitsAt(text, {0, 1, 3, 4}) &&
           text.left(2).toInt() <= 23 && text.mid(3, 2).toInt() <= 59;
}

}  // namespace

KeyFilterResult filterDateKey(QChar typed, const QString& text, int) {
    return filterKey(typed, text, QLatin1Char('/'), 2);
}

KeyFilterResult filterTimeKey(QChar typed, const QString& text, int) {
    return filterKey(typed, text, QLatin1Char(':'), 1);
}

bool isDateText(const QString& text) {
    return shapedDate(text) && realDate(text);
}

bool isTimeText(const QString& text) {
    return shapedTime(text);
}

namespace {

bool check(QString& text, bool (*valid)(const QString&), const char* explanation, QString* fault) {
    text = trimBlanks(text);
    if (valid(text))
        return true;
    if (fault)
        *fault = text.isEmpty() ? QString() : QString::fromUtf8(explanation);
    return false;
}

}  // namespace

bool CheckDateText(QString& text, QString* fault) {
    return check(text, isDateText, "Vous devez spécifier une date valide au format JJ/MM/AAAA ", fault);
}

bool CheckTimeText(QString& text, QString* fault) {
    return check(text, isTimeText, "Vous devez spécifier une heure valide au format HH:MM ", fault);
}

bool CheckDateTimeText(QString& text) {
    text = trimBlanks(text);
    return text.size() == 16 && text.at(10) == QLatin1Char(' ') && isDateText(text.left(10)) &&
           isTimeText(text.mid(11));
}

}  // namespace tavanote
