#include "salespage/PixCode.h"
#include "support/TestRegistry.h"

#include <QMap>
#include <QTest>

namespace {

// An independent CRC16/CCITT-FALSE, table driven (the builder computes it bit by bit).
quint16 crcByTable(const QByteArray &data) {
    static quint16 table[256];
    static bool ready = false;
    if (!ready) {
        for (int i = 0; i < 256; ++i) {
            quint16 v = quint16(i << 8);
            for (int b = 0; b < 8; ++b)
                v = (v & 0x8000) ? quint16((v << 1) ^ 0x1021) : quint16(v << 1);
            table[i] = v;
        }
        ready = true;
    }
    quint16 crc = 0xFFFF;
    for (char c : data)
        crc = quint16((crc << 8) ^ table[((crc >> 8) ^ quint8(c)) & 0xFF]);
    return crc;
}

// The code's fields by id (the account and reference templates opened one level).
QMap<QString, QString> fieldsOf(const QString &code) {
    QMap<QString, QString> fields;
    int at = 0;
    while (at + 4 <= code.size()) {
        const QString id = code.mid(at, 2);
        const int length = code.mid(at + 2, 2).toInt();
        const QString value = code.mid(at + 4, length);
        fields.insert(id, value);
        if (id == QLatin1String("26") || id == QLatin1String("62"))
            for (auto [k, v] : fieldsOf(value).asKeyValueRange())
                fields.insert(id + u'.' + k, v);
        at += 4 + length;
    }
    return fields;
}

} // namespace

// The static PIX code: the manual's example, amounts in cents, keys and names prepared for it.
class TestPixCode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void manualExample();
    void independentCrcChecksItself();
    void codes_data();
    void codes();
    void keys_data();
    void keys();
};

void TestPixCode::manualExample() {
    PixCode::Input in;
    in.key = QStringLiteral("123e4567-e12b-12d1-a456-426655440000");
    in.name = QStringLiteral("Fulano de Tal");
    in.city = QStringLiteral("BRASILIA");
    in.reference = QStringLiteral("***");
    QCOMPARE(PixCode::build(in),
             QStringLiteral(
                 "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR"
                 "5913Fulano de Tal6008BRASILIA62070503***63041D3D"));
    in.cents = 750;
    in.reference = QStringLiteral("RIFA2B1A750");
    const QString withAmount = PixCode::build(in);
    QVERIFY(withAmount.contains(QStringLiteral("54047.50")));
    QVERIFY(withAmount.endsWith(QStringLiteral("630406B9")));
}

void TestPixCode::independentCrcChecksItself() {
    QCOMPARE(crcByTable("123456789"), quint16(0x29B1));
    QCOMPARE(PixCode::crc16("123456789"), quint16(0x29B1));
}

void TestPixCode::codes_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("city");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("reference");
    QTest::newRow("ten tickets of 0,10") << "52998224725"
                                         << "Maria"
                                         << "CAMPINAS" << qint64(10 * 10) << "1.00"
                                         << "RIFA1B1A750";
    QTest::newRow("three of 2,50, phone key") << "+5511987654321"
                                              << "Joao da Silva"
                                              << "SAO PAULO" << qint64(3 * 250) << "7.50"
                                              << "RIFA3B101A200";
    QTest::newRow("large amount, e-mail key") << "pix.rifa@exemplo.com.br"
                                              << "Associacao Beneficente Sa"
                                              << "RIO DE JANEIRO" << qint64(123456789) << "1234567.89"
                                              << "***";
    QTest::newRow("no amount") << "52998224725"
                               << "A"
                               << "B" << qint64(-1) << ""
                               << "RIFA5B1A10";
}

void TestPixCode::codes() {
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, city);
    QFETCH(qint64, cents);
    QFETCH(QString, amount);
    QFETCH(QString, reference);
    PixCode::Input in{key, name, city, cents < 0 ? std::nullopt : std::optional<qint64>(cents), reference};
    const QString code = PixCode::build(in);
    QVERIFY(!code.isEmpty());
    QCOMPARE(code.right(4),
             QStringLiteral("%1").arg(crcByTable(code.chopped(4).toUtf8()), 4, 16, QChar(u'0')).toUpper());
    const QMap<QString, QString> f = fieldsOf(code);
    QCOMPARE(f.value("00"), QStringLiteral("01"));
    QCOMPARE(f.value("26.00"), QStringLiteral("br.gov.bcb.pix"));
    QCOMPARE(f.value("26.01"), key);
    QCOMPARE(f.value("52"), QStringLiteral("0000"));
    QCOMPARE(f.value("53"), QStringLiteral("986"));
    QCOMPARE(f.contains("54"), cents >= 0);
    QCOMPARE(f.value("54"), amount);
    QCOMPARE(f.value("58"), QStringLiteral("BR"));
    QCOMPARE(f.value("59"), name);
    QCOMPARE(f.value("60"), city);
    QCOMPARE(f.value("62.05"), reference);
    QCOMPARE(f.value("63").size(), 4);
}

void TestPixCode::keys_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("refusal");
    const QString cpf =
        QStringLiteral("A chave PIX informada não é um CPF válido: confira os 11 números do CPF.");
    const QString phone =
        QStringLiteral("A chave PIX de Celular deve ter o DDD e o número: 10 ou 11 números.");
    const QString email = QStringLiteral("A chave PIX de E-mail deve conter o sinal @.");
    QTest::newRow("CPF with its dots") << "CPF"
                                       << "529.982.247-25"
                                       << "52998224725" << QString();
    QTest::newRow("CPF, wrong check digit") << "CPF"
                                            << "52998224724" << QString() << cpf;
    QTest::newRow("CPF, ten digits") << "CPF"
                                     << "5299822472" << QString() << cpf;
    QTest::newRow("CPF, all the same digit") << "CPF"
                                             << "11111111111" << QString() << cpf;
    QTest::newRow("mobile phone") << "Celular"
                                  << "(11) 98765-4321"
                                  << "+5511987654321" << QString();
    QTest::newRow("landline") << "Celular"
                              << "1133334444"
                              << "+551133334444" << QString();
    QTest::newRow("phone without DDD") << "Celular"
                                       << "987654321" << QString() << phone;
    QTest::newRow("phone with country code") << "Celular"
                                             << "5511987654321" << QString() << phone;
    QTest::newRow("e-mail in lower case") << "E-mail"
                                          << " Pix.Rifa@Exemplo.COM "
                                          << "pix.rifa@exemplo.com" << QString();
    QTest::newRow("e-mail without @") << "E-mail"
                                      << "pix.rifa.exemplo.com" << QString() << email;
    // Keys the bank's directory does not take: the page would show a code no app can pay.
    const QString emailChars = QStringLiteral("A chave PIX de E-mail só pode ter letras sem acento, números e os "
                                              "sinais . _ - + antes do @, sem espaços.");
    QTest::newRow("e-mail with a blank") << "E-mail"
                                         << "pix rifa@exemplo.com" << QString() << emailChars;
    QTest::newRow("e-mail with an accent") << "E-mail"
                                           << "joão@exemplo.com" << QString() << emailChars;
    QTest::newRow("e-mail with a control character") << "E-mail" << QStringLiteral("pix\trifa@exemplo.com")
                                                     << QString() << emailChars;
    QTest::newRow("e-mail with two @") << "E-mail"
                                       << "pix@rifa@exemplo.com" << QString() << emailChars;
    QTest::newRow("e-mail with plus and hyphen") << "E-mail"
                                                 << "pix+rifa@minha-loja.com.br"
                                                 << "pix+rifa@minha-loja.com.br" << QString();
    const QString cnpj =
        QStringLiteral("A chave PIX informada não é um CNPJ válido: confira os 14 caracteres do CNPJ.");
    const QString random = QStringLiteral("A Chave aleatória deve ter 36 caracteres no formato 8-4-4-4-12: "
                                          "números, letras de a até f e hífens, como o banco mostra.");
    QTest::newRow("CNPJ with its punctuation") << "CNPJ"
                                               << "11.222.333/0001-81"
                                               << "11222333000181" << QString();
    QTest::newRow("alphanumeric CNPJ") << "CNPJ"
                                       << "12.abc.345/01de-35"
                                       << "12ABC34501DE35" << QString();
    QTest::newRow("CNPJ, wrong first check digit") << "CNPJ"
                                                   << "11222333000171" << QString() << cnpj;
    QTest::newRow("CNPJ, wrong second check digit") << "CNPJ"
                                                    << "12ABC34501DE36" << QString() << cnpj;
    QTest::newRow("CNPJ, a letter among the check digits") << "CNPJ"
                                                           << "12ABC34501DE3A" << QString() << cnpj;
    QTest::newRow("CNPJ, thirteen characters") << "CNPJ"
                                               << "1222333000181" << QString() << cnpj;
    QTest::newRow("CNPJ, all the same digit") << "CNPJ"
                                              << "00000000000000" << QString() << cnpj;
    QTest::newRow("random key") << "Chave aleatória"
                                << "123E4567-E89B-12D3-A456-426614174000"
                                << "123e4567-e89b-12d3-a456-426614174000" << QString();
    QTest::newRow("random key, groups moved") << "Chave aleatória"
                                              << "123e4567e-89b-12d3-a456-426614174000" << QString() << random;
    QTest::newRow("random key without hyphens") << "Chave aleatória"
                                                << "123e4567e89b12d3a456426614174000" << QString() << random;
    QTest::newRow("random key with a g") << "Chave aleatória"
                                         << "123e4567-e89b-12d3-a456-42661417400g" << QString() << random;
    QTest::newRow("no key type") << ""
                                 << "52998224725" << QString()
                                 << QStringLiteral(
                                        "Escolha o tipo da chave PIX: CPF, Celular, E-mail, CNPJ ou Chave aleatória.");
}

void TestPixCode::keys() {
    QFETCH(QString, type);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, refusal);
    QString why;
    QCOMPARE(PixCode::prepareKey(type, typed, &why), key);
    QCOMPARE(why, refusal);
    // Names and cities: plain letters, cut to their limits.
    QCOMPARE(PixCode::plainText(QStringLiteral("Associação Beneficente São João"), 25),
             QStringLiteral("Associacao Beneficente Sa"));
    QCOMPARE(PixCode::plainText(QStringLiteral("São José dos Campos"), 15),
             QStringLiteral("Sao Jose dos Ca"));
    QCOMPARE(PixCode::reference(QStringLiteral("RIFA2B1 A750/")), QStringLiteral("RIFA2B1A750"));
}

KORVANTE_TEST(TestPixCode)
#include "TestPixCode.moc"
