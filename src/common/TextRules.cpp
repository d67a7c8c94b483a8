#include "TextRules.h"

#include <limits>

namespace tavanote {

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString fieldText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    return trimBlanks(value.toString());
}

qint64 leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;  // a longer run of digits is out of every range the program uses
        value = value * 10 + (text.at(i).unicode() - '0');
    }
    return value;
}

}  // namespace tavanote
