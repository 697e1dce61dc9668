#include "data/TDM.h"
#include "layout/TicketLayout.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QTest>

class TestTicketLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void neverLaidOutGivesTheDefaults();
    void storedPlacesComeBack();
    void placeholdersByModality_data();
    void placeholdersByModality();

private:
    QSqlRecord row(int slot);
    std::unique_ptr<TestInstallation> inst;
};

void TestTicketLayout::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
}

QSqlRecord TestTicketLayout::row(int slot) {
    QString error;
    if (!inst->tdm->loadRaffleRow(slot, &error)) qWarning() << error;
    return inst->tdm->CDS_RIfaUSar.record();
}

void TestTicketLayout::neverLaidOutGivesTheDefaults() {
    QVERIFY(
        inst->exec(QStringLiteral("UPDATE CADASTRO SET MODALIDADE='0000 - 9999', USAR_NUM_ID_BILHETE=2, "
                                  "USAR_CBARRA=2, USAR_TEXTO_BAS=1, USAR_TEXTO_BAS_C=1 WHERE CODRIFA=1")));
    TicketLayout l;
    QList<TicketLayout::Problem> problems;
    l.load(row(1), 10, &problems);
    QVERIFY(problems.isEmpty());
    QCOMPARE(l.outline, QSize(436, 245));
    QCOMPARE(l.bilheteNum[0].pos, QPoint(365, 31));
    QCOMPARE(l.bilheteNum[1].pos, QPoint(29, 31));
    QCOMPARE(l.codBarra[0].pos, QPoint(256, 272));
    QCOMPARE(l.codBarra[1].pos, QPoint(368, 272));
    QCOMPARE(l.texto.pos, QPoint(94, 31));
    QCOMPARE(l.texto.size, QSize(266, 224));
    QVERIFY(l.textoC.visible);
    QCOMPARE(l.textoC.pos, QPoint(31, 31));
    QCOMPARE(l.textoC.size, QSize(115, 178));
    QCOMPARE(l.traco.pos, QPoint(31 + 115 + 5, 31));
    QCOMPARE(l.tracoHeight, 178);
    for (int k = 1; k <= 10; ++k) {
        QVERIFY(l.numB[k - 1].visible);
        QCOMPARE(l.numB[k - 1].pos, TicketLayout::defaultNumberPos(k));
    }
    QVERIFY(!l.autentic.visible);
}

void TestTicketLayout::storedPlacesComeBack() {
    QVERIFY(inst->exec(
        QStringLiteral("UPDATE CADASTRO SET MODALIDADE='000 - 999', USAR_NUM_ID_BILHETE=1, "
                       "USAR_CBARRA=1, DIM_BILHETE_ALT=50, DIM_BILHETE_COMP=100, USAR_AUTENTIC='S', "
                       "TAM_FONTE_POS_N=14, COR_FONTE_POS_N=255 WHERE CODRIFA=2")));
    TicketLayout l;
    l.load(row(2), 4);
    QCOMPARE(l.outline, QSize(378, 189));
    // Never placed: option 1 and the authentication code show at their defaults, not at 0, 0.
    QCOMPARE(l.bilheteNum[0].pos, TicketLayout::DefaultTicketId);
    QCOMPARE(l.autentic.pos, TicketLayout::DefaultAuthCode);
    QVERIFY(l.numB[3].visible && !l.numB[4].visible);
    QCOMPARE(TicketLayout::colour(l.corFonteNum), QColor(Qt::red));

    l.numB[0].pos = QPoint(300, 80);
    l.codBarra[0].pos = QPoint(40, 150);
    l.codBarra[1].pos = QPoint(99, 99); // hidden: not stored
    l.bilheteNum[0].pos = QPoint(320, 25);
    l.autentic.pos = QPoint(50, 160);
    RaffleRow &t = inst->tdm->CDS_RIfaUSar;
    l.storeNumberPositions(t);
    l.storeBarcodePositions(t);
    l.storeIdPositions(t);
    l.storeAuthPosition(t);
    QString error;
    QVERIFY2(t.apply(&error), qPrintable(error));

    TicketLayout back;
    back.load(row(2), 4);
    QCOMPARE(back.numB[0].pos, QPoint(300, 80));
    QCOMPARE(back.numB[9].pos, TicketLayout::defaultNumberPos(10));
    QCOMPARE(back.codBarra[0].pos, QPoint(40, 150));
    QCOMPARE(back.codBarra[1].pos, TicketLayout::DefaultBarcode2);
    QCOMPARE(back.bilheteNum[0].pos, QPoint(320, 25));
    QCOMPARE(back.autentic.pos, QPoint(50, 160));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT POS_CBARRA2_L FROM CADASTRO WHERE CODRIFA=2")).isNull(),
             true);
}

void TestTicketLayout::placeholdersByModality_data() {
    QTest::addColumn<QString>("modality");
    QTest::addColumn<QString>("zeros");
    QTest::addColumn<QString>("ticket");
    QTest::addColumn<QString>("stub");
    QTest::newRow("00") << "00 - 99"
                        << "00"
                        << "C-01"
                        << "C-02";
    QTest::newRow("000") << "000 - 999"
                         << "000"
                         << "C-001"
                         << "C-002";
    QTest::newRow("0000") << "0000 - 9999"
                          << "0000"
                          << "C-0001"
                          << "C-0002";
    QTest::newRow("00000") << "00000 - 99999"
                           << "00000"
                           << "C-00001"
                           << "C-00001";
    QTest::newRow("000000") << "000000 - 999999"
                            << "000000"
                            << "C-000001"
                            << "C-000001";
}

void TestTicketLayout::placeholdersByModality() {
    QFETCH(QString, modality);
    QFETCH(QString, zeros);
    QFETCH(QString, ticket);
    QFETCH(QString, stub);
    QCOMPARE(TicketLayout::zeroString(modality), zeros);
    QCOMPARE(TicketLayout::ticketIdPlaceholder(modality), ticket);
    QCOMPARE(TicketLayout::stubIdPlaceholder(modality), stub);
}

KORVANTE_TEST(TestTicketLayout)
#include "TestTicketLayout.moc"
