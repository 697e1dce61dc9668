#pragma once

#include <QString>
#include <QtGlobal>

// Amounts of money as whole ten-thousandths of a real, so that sums of many prices never drift.
namespace Money {
// A price as the database returns it (DOUBLE PRECISION), to the nearest ten-thousandth.
qint64 fromDouble(double value);
// "#,##0.00" in Brazilian form: 1234.5 gives "1.234,50"; halves of a cent round away from zero.
QString format(qint64 tenThousandths);
inline QString format(double value) {
    return format(fromDouble(value));
}
// "R$ " + format, as the totals of the listing show it.
inline QString currency(qint64 tenThousandths) {
    return QStringLiteral("R$ ") + format(tenThousandths);
}
} // namespace Money
