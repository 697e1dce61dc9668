#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Texts from the database or typed by a person, made safe for the places of the sales page they
// are written into. The page is Latin-1: what Latin-1 cannot hold is written as a reference.
namespace PageText {
// Element content or a double-quoted attribute: & < > " ' escaped, characters beyond Latin-1 as &#N;.
QString html(const QString &text);
// The inside of a single-quoted script string, in a script element or an event attribute: quotes,
// backslashes, line breaks and markup characters as escapes, characters beyond Latin-1 as \uXXXX.
QString script(const QString &text);
// A text whose lines are already separated by backslash, n, blank (the prize and rule texts):
// each line escaped, the separators kept, so an alert still breaks the lines where they were.
QString scriptLines(const QString &text);
// Lines joined by CR LF, one byte per character; anything beyond Latin-1 left over as &#N;.
QByteArray latin1File(const QStringList &lines);
} // namespace PageText
