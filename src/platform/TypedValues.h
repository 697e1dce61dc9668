#pragma once

#include <QDate>
#include <QString>
#include <optional>

// What a person types into money and date fields, read the way a calculator and a form read it.
namespace TypedValues {

// A point or a comma is the decimal separator; at most one, with at most two decimals after it.
// "12.5", "12,5" and "R$ 12,50" are 1250 cents; "" is 0; "1.234,56" is refused.
std::optional<qint64> parseMoneyCents(const QString &typed);
// "R$ 1.234,50" (the money pattern "R$ #,##0.00").
QString moneyDisplay(qint64 cents);
// "1234,50": the text a person edits.
QString moneyEditable(qint64 cents);

// A control number, seller code and the like: ASCII digits only, nothing around them (callers trim
// where blanks are allowed), within an int.
std::optional<int> parseWholeNumber(const QString &typed);

// "20/12/2026", "2/1/2026" or "20122026"; an impossible date (31/02/2026) is refused.
// An empty text is a valid "no date" (a null QDate).
std::optional<QDate> parseDate(const QString &typed);

} // namespace TypedValues
