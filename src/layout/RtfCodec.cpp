#include "layout/RtfCodec.h"

#include "platform/Cp1252.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cctype>

namespace {

// ---------- writing ----------

QString familyOf(const QTextCharFormat &f, const QTextDocument &doc) {
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
    return doc.defaultFont().family();
}

double pointSizeOf(const QTextCharFormat &f, const QTextDocument &doc) {
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0) return f.fontPointSize();
    const QFont d = doc.defaultFont();
    return d.pointSizeF() > 0 ? d.pointSizeF() : 12.0;
}

void appendText(QByteArray &out, const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == u'\n' || u == u'\r') {
            out += "\\line ";
        } else if (u == QChar::Nbsp) {
            out += "\\~";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            continue;
        } else if (Cp1252::canEncode(c)) {
            out += "\\'" +
                   QByteArray::number(uchar(Cp1252::encode(QString(c)).at(0)), 16).rightJustified(2, '0');
        } else {
            // \uN takes a signed 16-bit value; the '?' is what readers without Unicode show.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
}

const char *alignmentWord(Qt::Alignment a) {
    if (a & Qt::AlignHCenter) return "\\qc";
    if (a & Qt::AlignRight) return "\\qr";
    if (a & Qt::AlignJustify) return "\\qj";
    return "\\ql";
}

// ---------- reading ----------

enum class Destination { Text, FontTable, ColorTable, Skip };

struct State {
    Destination dest = Destination::Text;
    int font = -1;
    int halfPoints = 24;
    int colour = 0;
    bool bold = false, italic = false, underline = false, strike = false;
    int skipAfterUnicode = 1;
    Qt::Alignment align = Qt::AlignLeft;
};

class Reader {
public:
    Reader(const QByteArray &in, QTextDocument &doc) : m_in(in), m_doc(doc), m_cursor(&doc) {}

    void run() {
        m_doc.clear();
        m_cursor = QTextCursor(&m_doc);
        m_cursor.beginEditBlock();
        m_stack.push_back(State{});
        const qsizetype n = m_in.size();
        while (m_pos < n) {
            const char c = m_in.at(m_pos);
            if (c == '{') {
                flush();
                m_stack.push_back(m_stack.back());
                ++m_pos;
            } else if (c == '}') {
                flush();
                endGroup();
                ++m_pos;
            } else if (c == '\\') {
                controlWord();
            } else if (c == '\r' || c == '\n') {
                ++m_pos;
            } else {
                plainChar(uchar(c));
                ++m_pos;
            }
        }
        flush();
        m_cursor.endEditBlock();
    }

private:
    State &st() { return m_stack.back(); }

    void endGroup() {
        if (m_stack.size() <= 1) return;
        const State closing = m_stack.back();
        m_stack.pop_back();
        if (closing.dest == Destination::FontTable && m_stack.back().dest != Destination::FontTable)
            finishFontName();
    }

    void finishFontName() {
        QString name = m_fontName.trimmed();
        if (name.endsWith(u';')) name.chop(1);
        if (m_fontId >= 0 && !name.isEmpty() && !m_fonts.contains(m_fontId)) m_fonts.insert(m_fontId, name);
        m_fontName.clear();
    }

    void plainChar(uchar c) {
        if (m_unicodeSkip > 0) {
            --m_unicodeSkip;
            return;
        }
        addChar(Cp1252::decode(QByteArray(1, char(c))).at(0));
    }

    void addChar(QChar ch) {
        State &s = st();
        switch (s.dest) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (ch == u';') {
                finishFontName();
                m_fontId = -1;
            } else {
                m_fontName += ch;
            }
            return;
        case Destination::ColorTable:
            if (ch == u';') {
                m_colours.append(m_haveColour ? m_colour : QColor());
                m_colour = QColor(0, 0, 0);
                m_haveColour = false;
            }
            return;
        case Destination::Text:
            break;
        }
        // A control character (a raw byte, \'01 or \u1) draws nothing and the writer leaves it out:
        // kept, it would be printed as a box and lost at the next save.
        if (ch.unicode() < 0x20 && ch != u'\t') return;
        if (m_pendingText.isEmpty() || !sameFormat(m_pendingState, s)) {
            flush();
            m_pendingState = s;
        }
        m_pendingText += ch;
    }

    static bool sameFormat(const State &a, const State &b) {
        return a.font == b.font && a.halfPoints == b.halfPoints && a.colour == b.colour && a.bold == b.bold &&
               a.italic == b.italic && a.underline == b.underline && a.strike == b.strike;
    }

    QTextCharFormat formatFor(const State &s) const {
        QTextCharFormat f;
        const int font = s.font >= 0 ? s.font : m_defaultFont;
        if (m_fonts.contains(font)) f.setFontFamilies(QStringList{m_fonts.value(font)});
        f.setFontPointSize(s.halfPoints / 2.0);
        if (s.colour > 0 && s.colour < m_colours.size() && m_colours.at(s.colour).isValid())
            f.setForeground(m_colours.at(s.colour));
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontStrikeOut(s.strike);
        return f;
    }

    void flush() {
        if (m_pendingText.isEmpty()) return;
        applyAlignment();
        m_cursor.insertText(m_pendingText, formatFor(m_pendingState));
        m_pendingText.clear();
    }

    void applyAlignment() {
        QTextBlockFormat bf = m_cursor.blockFormat();
        if (bf.alignment() != st().align || !bf.hasProperty(QTextFormat::BlockAlignment)) {
            bf.setAlignment(st().align);
            m_cursor.setBlockFormat(bf);
        }
    }

    void newParagraph() {
        if (st().dest != Destination::Text) return;
        flush();
        applyAlignment();
        // The new block starts with the formatting in force, so an empty line keeps its size.
        m_cursor.insertBlock(m_cursor.blockFormat(), formatFor(st()));
    }

    void controlWord() {
        ++m_pos; // backslash
        if (m_pos >= m_in.size()) return;
        const char c = m_in.at(m_pos);
        if (!std::isalpha(uchar(c))) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(uchar(m_in.at(m_pos))))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        int param = 0;
        if (m_pos < m_in.size() && (m_in.at(m_pos) == '-' || std::isdigit(uchar(m_in.at(m_pos))))) {
            const qsizetype p0 = m_pos;
            if (m_in.at(m_pos) == '-') ++m_pos;
            while (m_pos < m_in.size() && std::isdigit(uchar(m_in.at(m_pos))))
                ++m_pos;
            param = m_in.mid(p0, m_pos - p0).toInt(&hasParam);
        }
        if (m_pos < m_in.size() && m_in.at(m_pos) == ' ') ++m_pos;
        apply(word, hasParam, param);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            plainChar(uchar(c));
            break;
        case '\'': {
            const QByteArray hex = m_in.mid(m_pos, 2);
            m_pos += hex.size();
            bool ok = false;
            const int b = hex.toInt(&ok, 16);
            if (ok) plainChar(uchar(b));
            break;
        }
        case '~':
            addSymbol(QChar::Nbsp);
            break;
        case '_':
            addSymbol(QChar(0x2011));
            break;
        case '*': // an optional destination: skipped unless the reader knows it
            st().dest = Destination::Skip;
            break;
        case '\r':
        case '\n':
            newParagraph();
            break;
        default: // \- optional hyphen, \| \: index marks
            break;
        }
    }

    void addSymbol(QChar ch) {
        if (m_unicodeSkip > 0) {
            --m_unicodeSkip;
            return;
        }
        addChar(ch);
    }

    void apply(const QByteArray &w, bool hasParam, int param) {
        static const QSet<QByteArray> skipped = {"stylesheet",
                                                 "info",
                                                 "pict",
                                                 "object",
                                                 "header",
                                                 "headerl",
                                                 "headerr",
                                                 "headerf",
                                                 "footer",
                                                 "footerl",
                                                 "footerr",
                                                 "footerf",
                                                 "footnote",
                                                 "fldinst",
                                                 "listtable",
                                                 "listoverridetable",
                                                 "rsidtbl",
                                                 "generator",
                                                 "themedata",
                                                 "colorschememapping",
                                                 "latentstyles",
                                                 "datastore",
                                                 "pgdsctbl",
                                                 "revtbl",
                                                 "filetbl",
                                                 "xmlnstbl",
                                                 "mmathPr",
                                                 "listtext",
                                                 "pntext",
                                                 "pntxta",
                                                 "pntxtb",
                                                 "bkmkstart",
                                                 "bkmkend",
                                                 "author",
                                                 "operator",
                                                 "title",
                                                 "subject",
                                                 "comment",
                                                 "keywords",
                                                 "doccomm",
                                                 "annotation",
                                                 "atnid",
                                                 "atnauthor",
                                                 "nonshppict",
                                                 "shppict",
                                                 "sp",
                                                 "sn",
                                                 "sv",
                                                 "fontemb",
                                                 "fontfile",
                                                 "panose",
                                                 "falt",
                                                 "userprops",
                                                 "docvar",
                                                 "wgrffmtfilter",
                                                 "pgptbl",
                                                 "template",
                                                 "protusertbl",
                                                 "defchp",
                                                 "defpap",
                                                 "ud"};
        State &s = st();
        if (s.dest == Destination::Skip) {
            if (w == "bin" && hasParam && param > 0) m_pos += param;
            return;
        }
        // Unicode skip counting applies only to the characters right after \uN.
        if (w == "u") {
            if (hasParam) {
                const char16_t u = char16_t(param < 0 ? param + 65536 : param);
                if (m_unicodeSkip > 0) m_unicodeSkip = 0;
                addChar(QChar(u));
                m_unicodeSkip = s.skipAfterUnicode;
            }
            return;
        }
        m_unicodeSkip = 0;
        if (skipped.contains(w)) {
            s.dest = Destination::Skip;
            return;
        }
        if (w == "fonttbl") {
            s.dest = Destination::FontTable;
            m_fontId = -1;
            m_fontName.clear();
        } else if (w == "colortbl") {
            s.dest = Destination::ColorTable;
            m_colour = QColor(0, 0, 0);
            m_haveColour = false;
        } else if (w == "red" || w == "green" || w == "blue") {
            if (s.dest != Destination::ColorTable) return;
            m_haveColour = true;
            const int v = qBound(0, param, 255);
            if (w == "red")
                m_colour.setRed(v);
            else if (w == "green")
                m_colour.setGreen(v);
            else
                m_colour.setBlue(v);
        } else if (w == "f") {
            if (s.dest == Destination::FontTable) {
                finishFontName();
                m_fontId = param;
            } else {
                s.font = param;
            }
        } else if (w == "deff") {
            m_defaultFont = param;
        } else if (w == "fs") {
            s.halfPoints = hasParam && param > 0 ? param : 24;
        } else if (w == "cf") {
            s.colour = param;
        } else if (w == "b") {
            s.bold = !hasParam || param != 0;
        } else if (w == "i") {
            s.italic = !hasParam || param != 0;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth") {
            s.underline = !hasParam || param != 0;
        } else if (w == "ulnone") {
            s.underline = false;
        } else if (w == "strike") {
            s.strike = !hasParam || param != 0;
        } else if (w == "plain") {
            const State keep = s;
            s = State{};
            s.dest = keep.dest;
            s.align = keep.align;
            s.skipAfterUnicode = keep.skipAfterUnicode;
        } else if (w == "pard") {
            s.align = Qt::AlignLeft;
        } else if (w == "ql") {
            s.align = Qt::AlignLeft;
        } else if (w == "qc") {
            s.align = Qt::AlignHCenter;
        } else if (w == "qr") {
            s.align = Qt::AlignRight;
        } else if (w == "qj") {
            s.align = Qt::AlignJustify;
        } else if (w == "uc") {
            s.skipAfterUnicode = qMax(0, param);
        } else if (w == "par" || w == "sect" || w == "row" || w == "page") {
            newParagraph();
        } else if (w == "line") {
            addChar(QChar::LineSeparator);
        } else if (w == "tab" || w == "cell") {
            addChar(u'\t');
        } else if (w == "bullet") {
            addChar(QChar(0x2022));
        } else if (w == "lquote") {
            addChar(QChar(0x2018));
        } else if (w == "rquote") {
            addChar(QChar(0x2019));
        } else if (w == "ldblquote") {
            addChar(QChar(0x201C));
        } else if (w == "rdblquote") {
            addChar(QChar(0x201D));
        } else if (w == "endash") {
            addChar(QChar(0x2013));
        } else if (w == "emdash") {
            addChar(QChar(0x2014));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            addChar(u' ');
        } else if (w == "bin" && hasParam && param > 0) {
            m_pos += param; // binary data belongs to a skipped picture or object
        }
    }

    const QByteArray &m_in;
    QTextDocument &m_doc;
    QTextCursor m_cursor;
    qsizetype m_pos = 0;
    QList<State> m_stack;
    QMap<int, QString> m_fonts;
    int m_defaultFont = 0;
    int m_fontId = -1;
    QString m_fontName;
    QList<QColor> m_colours;
    QColor m_colour{0, 0, 0};
    bool m_haveColour = false;
    int m_unicodeSkip = 0;
    QString m_pendingText;
    State m_pendingState;
};

} // namespace

namespace RtfCodec {

bool looksLikeRtf(const QByteArray &bytes) {
    return bytes.trimmed().startsWith("{\\rtf");
}

QByteArray write(const QTextDocument &doc) {
    QStringList fonts;
    QList<QColor> colours;
    auto fontIndex = [&](const QString &family) {
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts << family;
            i = fonts.size() - 1;
        }
        return int(i);
    };
    auto colourIndex = [&](const QColor &c) {
        const QColor rgb = QColor(c.rgb());
        qsizetype i = colours.indexOf(rgb);
        if (i < 0) {
            colours << rgb;
            i = colours.size() - 1;
        }
        return int(i) + 1; // 0 is the automatic colour
    };
    fontIndex(doc.defaultFont().family());

    QByteArray body;
    bool firstBlock = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (!firstBlock) body += "\\par\n";
        firstBlock = false;
        body += "\\pard";
        body += alignmentWord(block.blockFormat().alignment());
        body += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            const QTextCharFormat f = frag.charFormat();
            body += "{\\f" + QByteArray::number(fontIndex(familyOf(f, doc)));
            body += "\\fs" + QByteArray::number(qRound(pointSizeOf(f, doc) * 2));
            if (f.foreground().style() != Qt::NoBrush)
                body += "\\cf" + QByteArray::number(colourIndex(f.foreground().color()));
            if (f.fontWeight() >= QFont::Bold) body += "\\b";
            if (f.fontItalic()) body += "\\i";
            if (f.fontUnderline()) body += "\\ul";
            if (f.fontStrikeOut()) body += "\\strike";
            body += ' ';
            appendText(body, frag.text());
            body += '}';
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        appendText(out, fonts.at(i));
        out += ";}";
    }
    out += "}{\\colortbl ;";
    for (const QColor &c : colours)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
               QByteArray::number(c.blue()) + ';';
    out += "}\n\\viewkind4";
    out += body;
    out += "}\n";
    return out;
}

void read(const QByteArray &rtf, QTextDocument &document) {
    if (!looksLikeRtf(rtf)) {
        // Control characters are left out here too; line breaks and tabs stay.
        QString text = Cp1252::decode(rtf);
        text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'; });
        document.setPlainText(text);
        return;
    }
    Reader(rtf, document).run();
}

} // namespace RtfCodec
