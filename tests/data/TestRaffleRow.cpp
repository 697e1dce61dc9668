#include "data/RaffleRow.h"
#include "data/TDM.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

// The working raffle's row: edits held until stored, stored in the database, and every change
// announced to whoever shows the row.
class TestRaffleRow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void storedEditReachesTheDatabaseAndTheReaders();
    void rowChangedElsewhereStoresNothing();
    void noRaffleReadsEmptyAndClosingAnnouncesOnce();

private:
    QString storedName(int codRifa);
    std::unique_ptr<TestInstallation> inst;
};

void TestRaffleRow::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DA ESCOLA', VLR_RIFA=2.5, "
                                      "MODALIDADE='0000 - 9999', RIFA_ATIVA=1 WHERE CODRIFA=3")));
}

QString TestRaffleRow::storedName(int codRifa) {
    return inst->scalar(QStringLiteral("SELECT NOME_RIFA FROM CADASTRO WHERE CODRIFA=?"), {codRifa})
        .toString()
        .trimmed();
}

void TestRaffleRow::storedEditReachesTheDatabaseAndTheReaders() {
    RaffleRow &row = inst->tdm->CDS_RIfaUSar;
    // A reader that follows the row, as a window showing the raffle's name does.
    QStringList seen;
    const auto follow = connect(&row, &RaffleRow::changed, this, [&] { seen << row.nomeRifa(); });
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(3, &error), qPrintable(error));
    QCOMPARE(seen, QStringList{QStringLiteral("RIFA DA ESCOLA")});
    QCOMPARE(row.codRifa(), 3);
    QCOMPARE(row.valor(), 2.5);
    QCOMPARE(row.modalidade(), QStringLiteral("0000 - 9999"));
    QVERIFY(row.isActive());

    row.setValue(QStringLiteral("NOME_RIFA"), QStringLiteral("RIFA DO BAIRRO"));
    QCOMPARE(seen.last(), QStringLiteral("RIFA DO BAIRRO"));
    QVERIFY(row.isModified());
    QCOMPARE(storedName(3), QStringLiteral("RIFA DA ESCOLA")); // held, not yet stored

    QVERIFY2(row.apply(&error), qPrintable(error));
    QCOMPARE(storedName(3), QStringLiteral("RIFA DO BAIRRO"));
    QVERIFY(!row.isModified());
    QCOMPARE(seen.size(), 3);
    // Nothing held: storing again writes nothing and announces nothing.
    QVERIFY(row.apply(&error));
    QCOMPARE(seen.size(), 3);
    disconnect(follow);
}

void TestRaffleRow::rowChangedElsewhereStoresNothing() {
    RaffleRow &row = inst->tdm->CDS_RIfaUSar;
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(3, &error), qPrintable(error));
    QVERIFY(inst->execElsewhere(
        QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='OUTRO COMPUTADOR' WHERE CODRIFA=3")));
    row.setValue(QStringLiteral("NOME_RIFA"), QStringLiteral("DESTE COMPUTADOR"));
    QSignalSpy changed(&row, &RaffleRow::changed);
    QVERIFY(!row.apply(&error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(storedName(3), QStringLiteral("OUTRO COMPUTADOR"));
    // The edit is kept for the person to decide, not lost.
    QCOMPARE(row.nomeRifa(), QStringLiteral("DESTE COMPUTADOR"));
    QVERIFY(row.isModified());
}

void TestRaffleRow::noRaffleReadsEmptyAndClosingAnnouncesOnce() {
    RaffleRow &row = inst->tdm->CDS_RIfaUSar;
    QString error;
    QSignalSpy changed(&row, &RaffleRow::changed);
    QVERIFY2(inst->tdm->loadRaffleRow(99, &error), qPrintable(error));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!row.isLoaded());
    QVERIFY(row.nomeRifa().isEmpty() && row.modalidade().isEmpty() && !row.isActive());
    // An edit of no row goes nowhere.
    row.setValue(QStringLiteral("NOME_RIFA"), QStringLiteral("NINGUÉM"));
    QVERIFY(!row.isModified());
    QCOMPARE(changed.count(), 1);

    QVERIFY2(inst->tdm->loadRaffleRow(3, &error), qPrintable(error));
    QVERIFY(row.isLoaded());
    row.close();
    row.close();
    QCOMPARE(changed.count(), 3);
    QVERIFY(!row.isLoaded());
}

KORVANTE_TEST(TestRaffleRow)
#include "TestRaffleRow.moc"
