#include "platform/Money.h"

#include <cmath>

qint64 Money::fromDouble(double value) {
    return qint64(std::llround(value * 10000.0));
}

QString Money::format(qint64 tenThousandths) {
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = negative ? quint64(-tenThousandths) : quint64(tenThousandths);
    const quint64 cents = (magnitude + 50) / 100;
    QString whole = QString::number(cents / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u'.');
    const QString text = whole + u',' + QString::number(cents % 100).rightJustified(2, u'0');
    return negative && cents != 0 ? u'-' + text : text;
}
