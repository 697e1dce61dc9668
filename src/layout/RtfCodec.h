#pragma once

#include <QByteArray>

class QTextDocument;

// Rich Text Format for the ticket's two text boxes: what the formatting bar produces (fonts, sizes,
// colours, bold, italic, underline, alignment, paragraphs) written in Windows-1252 with \'hh and
// \uN escapes; the reader also takes the RTF of common word processors, skipping what it does not
// draw (style sheets, pictures, document information) without losing text.
namespace RtfCodec {
QByteArray write(const QTextDocument &document);
// Replaces the document's content. Bytes that are not RTF are taken as Windows-1252 plain text.
void read(const QByteArray &rtf, QTextDocument &document);
bool looksLikeRtf(const QByteArray &bytes);
} // namespace RtfCodec
