#pragma once

#include <QFont>
#include <QStringList>

// The lines of a text as a multi-line text box shows them.
namespace TextLines {
// Lines as stored (CR LF, LF or CR between them); a break at the very end opens no further line.
QStringList stored(const QString &text);
// The stored lines, each longer than width pixels in the font broken at word boundaries (a word
// wider than the box is broken where it no longer fits).
QStringList displayed(const QString &text, const QFont &font, int width);
} // namespace TextLines
