#include "layout/Code128.h"
#include "support/TestRegistry.h"

#include <QImage>
#include <QMap>
#include <QPainter>
#include <QTest>

// Module patterns of the standard Code 128 table, written as bars (1) and spaces (0).
namespace {
const char *kStartA = "11010000100";
const char *kStop = "1100011101011";
QString pattern(int value) {
    static const QMap<int, QString> known = {
        {15, QStringLiteral("10111001100")}, {16, QStringLiteral("10011101100")},
        {17, QStringLiteral("10011100110")}, {18, QStringLiteral("11001110010")},
        {19, QStringLiteral("11001011100")}, {20, QStringLiteral("11001001110")},
        {21, QStringLiteral("11011100100")}, {22, QStringLiteral("11001110100")},
        {23, QStringLiteral("11101101110")}, {56, QStringLiteral("11100010110")}};
    return known.value(value);
}
} // namespace

class TestCode128 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void renderedPixelsReadBack_data();
    void renderedPixelsReadBack();
};

void TestCode128::renderedPixelsReadBack_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QList<int>>("data"); // data characters then the check character
    QTest::newRow("7") << "7" << QList<int>{23, 23};
    QTest::newRow("42") << "42" << QList<int>{20, 18, 56};
    QTest::newRow("123456") << "123456" << QList<int>{17, 18, 19, 20, 21, 22, 15};
}

void TestCode128::renderedPixelsReadBack() {
    QFETCH(QString, value);
    QFETCH(QList<int>, data);
    QString expected = QLatin1String(kStartA);
    for (int v : data)
        expected += pattern(v);
    expected += QLatin1String(kStop);
    if (value == QLatin1String("123456")) QCOMPARE(expected.size(), 101);

    QImage img(200, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        Code128::paint(p, 1, 5, value);
    }
    auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    for (int y : {5, 18, 32}) {
        QString read;
        for (int x = 1; x < 1 + expected.size(); ++x)
            read += dark(x, y) ? u'1' : u'0';
        QCOMPARE(read, expected);
    }
    // No quiet-zone ink, no text, exactly 28 pixels high.
    for (int x = 0; x < img.width(); ++x) {
        QVERIFY(!dark(x, 4));
        QVERIFY(!dark(x, 33));
    }
    QVERIFY(!dark(0, 18));
    QVERIFY(!dark(1 + int(expected.size()), 18));
    for (int x = 2 + int(expected.size()); x < img.width(); ++x)
        QVERIFY(!dark(x, 18));
}

KORVANTE_TEST(TestCode128)
#include "TestCode128.moc"
