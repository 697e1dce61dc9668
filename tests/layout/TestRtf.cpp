#include "layout/RtfCodec.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

struct Run {
    QString text, family;
    double size;
    QColor colour;
    bool bold, italic, underline;
};

// What a reader of the box sees: the runs of each paragraph with their look, and the alignment.
QStringList describe(const QTextDocument &doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString line =
            QStringLiteral("[align %1]").arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QFont font = f.font();
            line += QStringLiteral(" <%1|%2|%3|%4|%5%6%7>")
                        .arg(it.fragment().text(), font.family())
                        .arg(font.pointSizeF())
                        .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto")
                                                                   : f.foreground().color().name())
                        .arg(QString(font.bold() ? u'B' : u'-'))
                        .arg(QString(font.italic() ? u'I' : u'-'))
                        .arg(QString(font.underline() ? u'U' : u'-'));
        }
        out << line;
    }
    return out;
}

QString plain(const QTextDocument &doc) {
    return doc.toPlainText();
}

QByteArray fixture(const char *name) {
    QFile f(QStringLiteral(LAYOUT_FIXTURES "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formattedTextSurvivesWriteAndRead();
    void wordProcessorFilesKeepTheirText_data();
    void wordProcessorFilesKeepTheirText();
    void plainTextBlobIsReadAsWindows1252();
    void controlCharactersAreLeftOut();
};

void TestRtf::formattedTextSurvivesWriteAndRead() {
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    auto put = [&](const QString &text, const QString &family, double size, const QColor &colour, bool bold,
                   bool italic, bool underline) {
        QTextCharFormat f;
        f.setFontFamilies(QStringList{family}); // what QTextEdit's setFontFamily gives
        f.setFontPointSize(size);
        if (colour.isValid()) f.setForeground(colour);
        f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(italic);
        f.setFontUnderline(underline);
        c.insertText(text, f);
    };
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    put(QStringLiteral("RIFA DA AÇÃO SOCIAL"), QStringLiteral("Arial"), 16, Qt::red, true, false, false);
    c.insertBlock();
    QTextBlockFormat left;
    left.setAlignment(Qt::AlignLeft);
    c.setBlockFormat(left);
    put(QStringLiteral("Prêmio: "), QStringLiteral("Times New Roman"), 10, QColor(0, 0, 255), false, false,
        true);
    put(QStringLiteral("moto 0km — €5 {x} \\ ñ"), QStringLiteral("Courier New"), 8.5, QColor(0, 128, 0), true,
        true, true);
    c.insertText(QString(QChar::LineSeparator));
    put(QStringLiteral("Sorteio: 30/03 ✓ 中"), QStringLiteral("Liberation Sans"), 11, QColor(), false, true,
        false);
    c.insertBlock();
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.setBlockFormat(right);
    put(QStringLiteral("Boa sorte!"), QStringLiteral("Arial"), 12, QColor(128, 0, 128), false, false, false);

    const QByteArray rtf = RtfCodec::write(doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    for (char ch : rtf)
        QVERIFY2(uchar(ch) < 0x80, "RTF must be 7-bit: other characters are escaped");
    QVERIFY(rtf.contains("\\'c7\\'c3O")); // ÇÃO in the code page
    QVERIFY(rtf.contains("\\u10003?"));   // ✓ outside it

    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    RtfCodec::read(rtf, back);
    QCOMPARE(describe(back), describe(doc));
    QCOMPARE(plain(back), plain(doc));
    // Writing what was read gives the same bytes: saving a box twice changes nothing.
    QCOMPARE(RtfCodec::write(back), rtf);
}

void TestRtf::wordProcessorFilesKeepTheirText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("looks"); // fragments that must carry a look: text|family|size|colour|BIU
    QTest::newRow("word") << QByteArray("word.rtf")
                          << QStringLiteral(
                                 "RIFA BENEFICENTE\nPrêmio: uma moto 0km – sorteio em 30/03 pela Loteria "
                                 "Federal. Valor R$ 10,00\nApoio: Associação dos Moradores “Vila Nova”\n")
                          << QStringList{QStringLiteral("<RIFA BENEFICENTE|Arial|14|#ff0000|B-->"),
                                         QStringLiteral("<Valor R$ 10,00|Calibri|11|auto|--U>")};
    QTest::newRow("wordpad") << QByteArray("wordpad.rtf") << QStringLiteral("Sorteio dia 30\nCódigo: fim\n")
                             << QStringList{QStringLiteral("<Sorteio dia 30|Calibri|11|#00b050|-I->"),
                                            QStringLiteral("Código: fim|Courier New|11|auto|--->")};
}

void TestRtf::wordProcessorFilesKeepTheirText() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QStringList, looks);
    const QByteArray rtf = fixture(file.constData());
    QVERIFY(!rtf.isEmpty());
    QTextDocument doc;
    RtfCodec::read(rtf, doc);
    QCOMPARE(plain(doc), text);
    const QString all = describe(doc).join(u'\n');
    for (const QString &look : looks)
        QVERIFY2(all.contains(look), qPrintable(all));
}

void TestRtf::plainTextBlobIsReadAsWindows1252() {
    QTextDocument doc;
    RtfCodec::read(QByteArray("Pr\xeamio: R$ 5\x80"), doc);
    QCOMPARE(plain(doc), QStringLiteral("Prêmio: R$ 5€"));
}

// A control character in a pasted or damaged RTF draws nothing; kept in the box it would print as a
// box and vanish at the next save, so the box shows only what is stored.
void TestRtf::controlCharactersAreLeftOut() {
    QTextDocument doc;
    // A raw byte 01, an escaped byte 00 and \u2 are left out; tabs, raw or escaped, stay.
    RtfCodec::read(QByteArray("{\\rtf1\\ansi Pr\x01\xea\\'00mio:\\u2? R$\t5\\'09,00}"), doc);
    QCOMPARE(plain(doc), QStringLiteral("Prêmio: R$\t5\t,00"));
    QTextDocument back;
    RtfCodec::read(RtfCodec::write(doc), back);
    QCOMPARE(plain(back), plain(doc));
    // The same in a blob that is not RTF.
    RtfCodec::read(QByteArray("Pr\x01\xeamio:\tR$ 5\r\nFim"), doc);
    QCOMPARE(plain(doc), QStringLiteral("Prêmio:\tR$ 5\nFim"));
}

KORVANTE_TEST(TestRtf)
#include "TestRtf.moc"
