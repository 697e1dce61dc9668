#include "platform/Cp1252.h"
#include "platform/ProfileFile.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cp1252_data();
    void cp1252();
    void cp1252DecodesEveryByte();
    void profileWriteKeepsOtherLines();
    void profileCreatesFile();
    void profileReadsLikeWindows_data();
    void profileReadsLikeWindows();

private:
    static QByteArray readAll(const QString &path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void writeAll(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

void TestPlatform::cp1252_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("RIFA 1") << QByteArray("RIFA 1");
    QTest::newRow("latin letters") << QStringLiteral("ÇÃÕÑçãõñé")
                                   << QByteArray("\xC7\xC3\xD5\xD1\xE7\xE3\xF5\xF1\xE9");
    QTest::newRow("0x80 block differs from latin-1")
        << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")
        << QByteArray(
               "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99"
               "\x9A\x9B\x9C\x9E\x9F");
    QTest::newRow("outside the page") << QStringLiteral("a中łb") << QByteArray("a??b");
    QTest::newRow("emoji is one character") << QStringLiteral("ok 😀!") << QByteArray("ok ?!");
}

void TestPlatform::cp1252() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1252::encode(text), bytes);
    QCOMPARE(Cp1252::encode(Cp1252::decode(bytes)), bytes);
}

void TestPlatform::cp1252DecodesEveryByte() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(Cp1252::encode(Cp1252::decode(all)).size(), 256);
    // The five undefined bytes come back as themselves too.
    QCOMPARE(Cp1252::encode(Cp1252::decode(all)), all);
}

void TestPlatform::profileWriteKeepsOtherLines() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    writeAll(path, "; comentario\r\n[BANCO]\r\nNOME_SERVIDOR=SRV\r\nCAMINHO_BD_MAQ=C:\\Rifas\r\n\r\n"
                   "[EXTRA]\r\nPIX=Jos\xE9\r\n");
    ProfileFile ini(path);
    QVERIFY(
        ini.writeString(QStringLiteral("BANCO"), QStringLiteral("nome_servidor"), QStringLiteral("OUTRO")));
    QVERIFY(ini.writeString(QStringLiteral("EXTRA"), QStringLiteral("TIPO_PIX"), QStringLiteral("2")));
    QVERIFY(ini.writeString(QStringLiteral("NOVA"), QStringLiteral("X"), QStringLiteral("ç")));
    QCOMPARE(readAll(path),
             QByteArray("; comentario\r\n[BANCO]\r\nnome_servidor=OUTRO\r\nCAMINHO_BD_MAQ=C:\\Rifas\r\n"
                        "\r\n[EXTRA]\r\nPIX=Jos\xE9\r\nTIPO_PIX=2\r\n[NOVA]\r\nX=\xE7\r\n"));
    QCOMPARE(ini.readString(QStringLiteral("extra"), QStringLiteral("PIX")), QStringLiteral("José"));
    QCOMPARE(ini.readString(QStringLiteral("BANCO"), QStringLiteral("CAMINHO_BD_MAQ")),
             QStringLiteral("C:\\Rifas"));
}

void TestPlatform::profileCreatesFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("novo.ini"));
    ProfileFile ini(path);
    QVERIFY(!ini.exists());
    QVERIFY(ini.writeString(QStringLiteral("BANCO"), QStringLiteral("NOME_SERVIDOR"), QString()));
    QVERIFY(ini.writeString(QStringLiteral("BANCO"), QStringLiteral("CAMINHO_BD_MAQ"), QString()));
    QCOMPARE(readAll(path), QByteArray("[BANCO]\r\nNOME_SERVIDOR=\r\nCAMINHO_BD_MAQ=\r\n"));
}

void TestPlatform::profileReadsLikeWindows_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("blanks around") << QByteArray("[A]\n  K  =  v 1  \n") << "A"
                                   << "K"
                                   << "v 1";
    QTest::newRow("quotes dropped") << QByteArray("[A]\nK=\"x y\"\n") << "A"
                                    << "K"
                                    << "x y";
    QTest::newRow("other section") << QByteArray("[A]\nK=1\n[B]\nK=2\n") << "B"
                                   << "K"
                                   << "2";
    QTest::newRow("missing key gives default") << QByteArray("[A]\nJ=1\n") << "A"
                                               << "K"
                                               << "def";
    QTest::newRow("backslashes kept") << QByteArray("[A]\nK=\\\\SRV\\C:\\x\n") << "A"
                                      << "K"
                                      << "\\\\SRV\\C:\\x";
    QTest::newRow("value with equals") << QByteArray("[A]\nK=a=b\n") << "A"
                                       << "K"
                                       << "a=b";
}

void TestPlatform::profileReadsLikeWindows() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    writeAll(path, content);
    QCOMPARE(ProfileFile(path).readString(section, key, QStringLiteral("def")), value);
}

KORVANTE_TEST(TestPlatform)
#include "TestPlatform.moc"
