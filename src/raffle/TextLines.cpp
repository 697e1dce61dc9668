#include "raffle/TextLines.h"

#include <QRegularExpression>
#include <QTextLayout>

namespace TextLines {

QStringList stored(const QString &text) {
    if (text.isEmpty()) return {};
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList displayed(const QString &text, const QFont &font, int width) {
    QStringList result;
    for (const QString &line : stored(text)) {
        if (line.isEmpty()) {
            result << line;
            continue;
        }
        QTextLayout layout(line, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine())
            l.setLineWidth(width);
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine l = layout.lineAt(i);
            result << line.mid(l.textStart(), l.textLength());
        }
    }
    return result;
}

} // namespace TextLines
