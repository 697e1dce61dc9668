#pragma once

#include <QByteArray>
#include <QString>

// The Windows-1252 code page (Qt 6 has no codec for it). Characters it cannot hold become '?'.
namespace Cp1252 {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// The text as the code page can hold it: what would reach a WIN1252 column unchanged.
QString representable(const QString &text);
bool canEncode(QChar c);
} // namespace Cp1252
