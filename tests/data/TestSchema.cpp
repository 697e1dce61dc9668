#include "data/DatabaseFiles.h"
#include "data/SchemaScript.h"
#include "data/TicketTables.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

// Both database files as a new installation gets them.
class TestSchema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void tablesLiveInTheirFile_data();
    void tablesLiveInTheirFile();
    void columnTypes_data();
    void columnTypes();
    void everyTicketTableHasItsColumnsAndGenerator();
    void initialContent();
    void restartedGeneratorGivesOne_data();
    void restartedGeneratorGivesOne();
    void mixedCaseNamesReachTheSameTables();
    void authenticationCodeRoundTripsByteExact();
    void ticketCannotBeSoldTwice();
    void nullAndBlankMarksAreForSale();
    void creationRefusesExistingFiles();

private:
    QStringList relations(const QSqlDatabase &db);
    std::unique_ptr<TestInstallation> inst;
};

void TestSchema::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

QStringList TestSchema::relations(const QSqlDatabase &db) {
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0"));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

void TestSchema::tablesLiveInTheirFile_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("inPrintFile");
    for (const char *t : {"CADASTRO", "BS1", "CAD_VENDEDOR", "TELEFONE", "LIST_ARQUIVOS", "BACKUP"})
        QTest::newRow(t) << QString::fromLatin1(t) << false;
    for (int n = 1; n <= 5; ++n)
        QTest::newRow(qPrintable(TicketTables::buyerTable(n))) << TicketTables::buyerTable(n) << false;
    for (const TicketTable &t : TicketTables::all())
        QTest::newRow(qPrintable(t.name)) << t.name << false;
    QTest::newRow("TAB_PRN") << QStringLiteral("TAB_PRN") << true;
    QTest::newRow("CADASTRO_TEMP") << QStringLiteral("CADASTRO_TEMP") << true;
}

void TestSchema::tablesLiveInTheirFile() {
    QFETCH(QString, table);
    QFETCH(bool, inPrintFile);
    QCOMPARE(relations(inst->tdm->CONEX_PRINT()).contains(table), inPrintFile);
    QCOMPARE(relations(inst->tdm->CONEX_R()).contains(table), !inPrintFile);
}

void TestSchema::columnTypes_data() {
    QTest::addColumn<bool>("printFile");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns"); // in table order, NAME:TYPE as the engine reports them
    const QString cadastroCopy = QStringLiteral(
        "CODRIFA:INTEGER DATA_EVENTO:DATE RIFA_ATIVA:SMALLINT PREMIOS:VARCHAR(2048) "
        "REGRAS_SORT:VARCHAR(2048) LINK_SORT:VARCHAR(256) NOME_RIFA:VARCHAR(35) VLR_RIFA:DOUBLE "
        "MODALIDADE:VARCHAR(20) USAR_QT_NUM:VARCHAR(15) USAR_NUM_ID_BILHETE:SMALLINT "
        "POS_NUMBILHETE_L:INTEGER POS_NUMBILHETE_T:INTEGER POS_NUMCANHOTO_L:INTEGER "
        "POS_NUMCANHOTO_T:INTEGER ART_FUNDO:VARCHAR(300) ART_EXTENDIDA:CHAR(1) POS_ARTFUNDO_L:INTEGER "
        "POS_ARTFUNDO_T:INTEGER IMG_LIVRE1:VARCHAR(300) IMG_LIVRE2:VARCHAR(300) IMG_LIVRE1_L:INTEGER "
        "IMG_LIVRE1_T:INTEGER IMG_LIVRE2_L:INTEGER IMG_LIVRE2_T:INTEGER TEXTO_BASICO:BLOB "
        "POS_TEXTO_BAS_L:INTEGER POS_TEXTO_BAS_T:INTEGER DIM_TEXTO_BAS_ALT:INTEGER TEXTO_BASICO_C:BLOB "
        "DIM_TEXTO_BAS_COMP:INTEGER ");
    QTest::newRow("CADASTRO")
        << false << "CADASTRO"
        << cadastroCopy +
               QStringLiteral(
                   "POS_TEXTO_BAS_C_L:INTEGER POS_TEXTO_BAS_C_T:INTEGER DIM_TEXTO_BAS_C_ALT:INTEGER "
                   "DIM_TEXTO_BAS_C_COMP:INTEGER ART_BASICA:VARCHAR(300) POS_N1_L:INTEGER POS_N1_T:INTEGER "
                   "POS_N2_L:INTEGER POS_N2_T:INTEGER POS_N3_L:INTEGER POS_N3_T:INTEGER POS_N4_L:INTEGER "
                   "POS_N4_T:INTEGER POS_N5_L:INTEGER POS_N5_T:INTEGER POS_N6_L:INTEGER POS_N6_T:INTEGER "
                   "POS_N7_L:INTEGER POS_N7_T:INTEGER POS_N8_L:INTEGER POS_N8_T:INTEGER POS_N9_L:INTEGER "
                   "POS_N9_T:INTEGER POS_N10_L:INTEGER POS_N10_T:INTEGER USAR_CBARRA:SMALLINT "
                   "POS_CBARRA1_L:INTEGER "
                   "POS_CBARRA1_T:INTEGER POS_CBARRA2_L:INTEGER POS_CBARRA2_T:INTEGER "
                   "DIM_BILHETE_ALT:INTEGER "
                   "DIM_BILHETE_COMP:INTEGER USAR_TEXTO_BAS:SMALLINT USAR_TEXTO_BAS_C:SMALLINT "
                   "TAM_FONTE_POS_N:INTEGER COR_FONTE_POS_N:INTEGER TAM_FONTE_ID_BILH:INTEGER "
                   "COR_FONTE_ID_BILH:INTEGER QT_COL_FOLHA:SMALLINT POS_COD_AUTENTIC_L:INTEGER "
                   "POS_COD_AUTENTIC_T:INTEGER USAR_AUTENTIC:CHAR(10) ");
    QTest::newRow("BS1") << false << "BS1"
                         << "NUMBILHETE:INTEGER N1:INTEGER INC:SMALLINT VALID_R1:CHAR(1) VALID_R2:CHAR(1) "
                            "VALID_R3:CHAR(1) VALID_R4:CHAR(1) VALID_R5:CHAR(1)";
    for (int n = 1; n <= 5; ++n)
        QTest::newRow(qPrintable(TicketTables::buyerTable(n)))
            << false << TicketTables::buyerTable(n)
            << "AUTOCOD:INTEGER NUM_CAD_RIFA:SMALLINT NOMECOMP:VARCHAR(40) ENDCOMP:VARCHAR(50) "
               "CIDCOMP:VARCHAR(30) "
               "UFCOMP:CHAR(2) FONECOMP:VARCHAR(15) VALOR:DOUBLE NUMBILHETE:INTEGER VALIDADO:CHAR(3) "
               "AUT_DIGITAL_VAL:CHAR(15) DATA_VAL:DATE COD_VENDEDOR:INTEGER VIAZAP:VARCHAR(3)";
    QTest::newRow("CAD_VENDEDOR") << false << "CAD_VENDEDOR"
                                  << "COD_VEND:INTEGER NOME_VEND:VARCHAR(50) END_VEND:VARCHAR(100) "
                                     "BAIRRO_VEND:VARCHAR(30) CID_VEND:VARCHAR(30) UF_VEND:CHAR(2) "
                                     "CPF_VEND:VARCHAR(16) FONE1:CHAR(15) FONE2:CHAR(15)";
    QTest::newRow("TELEFONE") << false << "TELEFONE"
                              << "AUTOCOD_FONE:INTEGER DDD:VARCHAR(3) TELEFONE:VARCHAR(10)";
    QTest::newRow("LIST_ARQUIVOS") << false << "LIST_ARQUIVOS"
                                   << "NOME_ARQUIVO:VARCHAR(30)";
    QTest::newRow("BACKUP") << false << "BACKUP"
                            << "CAMINHO:VARCHAR(512) STATUS:VARCHAR(30)";
    QTest::newRow("TAB_PRN")
        << true << "TAB_PRN"
        << "AUTOCOD:INTEGER N1:INTEGER N2:INTEGER N3:INTEGER N4:INTEGER N5:INTEGER "
           "BASE:VARCHAR(15) NUMBILHETE:INTEGER CODBARRA:INTEGER AUT_DIGITAL:VARCHAR(15) "
           "N6:INTEGER N7:INTEGER N8:INTEGER N9:INTEGER N10:INTEGER";
    QTest::newRow("CADASTRO_TEMP") << true << "CADASTRO_TEMP" << cadastroCopy.trimmed();
}

void TestSchema::columnTypes() {
    QFETCH(bool, printFile);
    QFETCH(QString, table);
    QFETCH(QString, columns);
    QSqlQuery q(printFile ? inst->tdm->CONEX_PRINT() : inst->tdm->CONEX_R());
    q.prepare(QStringLiteral(
        "SELECT TRIM(R.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$CHARACTER_LENGTH, F.RDB$CHARACTER_SET_ID "
        "FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
        "WHERE R.RDB$RELATION_NAME = ? ORDER BY R.RDB$FIELD_POSITION"));
    q.addBindValue(table);
    QVERIFY(q.exec());
    QStringList got;
    while (q.next()) {
        const int code = q.value(1).toInt();
        QString type;
        switch (code) {
        case 7:
            type = QStringLiteral("SMALLINT");
            break;
        case 8:
            type = QStringLiteral("INTEGER");
            break;
        case 12:
            type = QStringLiteral("DATE");
            break;
        case 27:
            type = QStringLiteral("DOUBLE");
            break;
        case 14:
            type = QStringLiteral("CHAR(%1)").arg(q.value(2).toInt());
            break;
        case 37:
            type = QStringLiteral("VARCHAR(%1)").arg(q.value(2).toInt());
            break;
        case 261:
            type = QStringLiteral("BLOB");
            break;
        default:
            type = QString::number(code);
        }
        if ((code == 14 || code == 37) && q.value(3).toInt() != 53) type += QStringLiteral("-not-WIN1252");
        got << q.value(0).toString() + u':' + type;
    }
    QCOMPARE(got, columns.simplified().split(u' '));
}

void TestSchema::everyTicketTableHasItsColumnsAndGenerator() {
    QSqlQuery q(inst->tdm->CONEX_R());
    for (const TicketTable &t : TicketTables::all()) {
        QVERIFY2(q.exec(QStringLiteral("SELECT * FROM %1").arg(t.name)), qPrintable(t.name));
        QStringList cols;
        for (int i = 0; i < q.record().count(); ++i)
            cols << q.record().fieldName(i);
        QStringList expected{QStringLiteral("NUMBILHETE")};
        for (int i = 1; i <= t.perTicket; ++i)
            expected << QStringLiteral("N%1").arg(i);
        for (int k = 1; k <= 5; ++k)
            expected << TicketTables::markColumn(k);
        QCOMPARE(cols, expected);
        QCOMPARE(
            inst->scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?"),
                         {QStringLiteral("GEN_%1_ID").arg(t.name)})
                .toInt(),
            1);
    }
    for (const char *g : {"GEN_BS1_ID", "GEN_DADOSCOMPRADOR_1_ID", "GEN_DADOSCOMPRADOR_5_ID"})
        QCOMPARE(
            inst->scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?"),
                         {QString::fromLatin1(g)})
                .toInt(),
            1);
    QSqlQuery p(inst->tdm->CONEX_PRINT());
    QVERIFY(p.exec(
        QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'GEN_TAB_PRN_ID'")));
    QVERIFY(p.next());
    QCOMPARE(p.value(0).toInt(), 1);
}

void TestSchema::initialContent() {
    QCOMPARE(inst->scalar(QStringLiteral(
                              "SELECT LIST(CODRIFA, ',') FROM (SELECT CODRIFA FROM CADASTRO ORDER BY 1)"))
                 .toString(),
             QStringLiteral("1,2,3,4,5"));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT LIST(TRIM(NOME_ARQUIVO)) FROM LIST_ARQUIVOS")).toString(),
             QStringLiteral("vendorifas"));
    QSqlQuery p(inst->tdm->CONEX_PRINT());
    QVERIFY(p.exec(
        QStringLiteral("SELECT LIST(CODRIFA, ',') FROM (SELECT CODRIFA FROM cadastro_temp ORDER BY 1)")));
    QVERIFY(p.next());
    QCOMPARE(p.value(0).toString(), QStringLiteral("1,2,3,4,5"));
    for (const char *t : {"BS1", "BS2_100G", "DADOSCOMPRADOR_1", "CAD_VENDEDOR", "TELEFONE", "BACKUP"})
        QCOMPARE(inst->count(QString::fromLatin1(t)), 0);
}

void TestSchema::restartedGeneratorGivesOne_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("key");
    QTest::newRow("ticket table") << "BS2_D"
                                  << "INSERT INTO BS2_D (N1, N2) VALUES (3, 4)"
                                  << "NUMBILHETE";
    QTest::newRow("master table") << "BS1"
                                  << "INSERT INTO BS1 (N1) VALUES (0)"
                                  << "NUMBILHETE";
    QTest::newRow("buyer table") << "DADOSCOMPRADOR_2"
                                 << "INSERT INTO DADOSCOMPRADOR_2 (NUMBILHETE) VALUES (9)"
                                 << "AUTOCOD";
}

void TestSchema::restartedGeneratorGivesOne() {
    QFETCH(QString, table);
    QFETCH(QString, insert);
    QFETCH(QString, key);
    QVERIFY(inst->exec(QStringLiteral("SELECT GEN_ID(GEN_%1_ID, 5) FROM RDB$DATABASE").arg(table)));
    QVERIFY(inst->exec(QStringLiteral("ALTER SEQUENCE GEN_%1_ID RESTART WITH 0").arg(table)));
    QVERIFY(inst->exec(insert));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(key, table)).toInt(), 1);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM %1").arg(table)));
}

void TestSchema::mixedCaseNamesReachTheSameTables() {
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO TELEFONE (DDD, TELEFONE) VALUES ('11', '999990000')")));
    QCOMPARE(inst->scalar(QStringLiteral("select count(*) from Telefone")).toInt(), 1);
    QCOMPARE(inst->scalar(QStringLiteral("select * from Telefone")).toInt(), 1); // first key is 1
    QSqlQuery p(inst->tdm->CONEX_PRINT());
    QVERIFY(p.exec(QStringLiteral("INSERT INTO TAB_PRN (NUMBILHETE) VALUES (7)")));
    QVERIFY(p.exec(QStringLiteral("Select * from Tab_PRN")));
    QVERIFY(p.next());
    QCOMPARE(p.value(QStringLiteral("NUMBILHETE")).toInt(), 7);
    QVERIFY(p.exec(QStringLiteral("DELETE FROM TAB_PRN")));
    QVERIFY(inst->exec(QStringLiteral("delete from Telefone")));
}

void TestSchema::authenticationCodeRoundTripsByteExact() {
    const QString code = QStringLiteral("ÇÃ9ÕÑx€Zõ");
    QCOMPARE(code.size(), 9);
    QVERIFY(inst->exec(
        QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUMBILHETE, AUT_DIGITAL_VAL) VALUES (1, ?)"), {code}));
    QCOMPARE(inst->scalar(QStringLiteral(
                              "SELECT TRIM(AUT_DIGITAL_VAL) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE = 1"))
                 .toString(),
             code);
    // Stored in the single-byte page: one byte per character, the page's own bytes.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE "
                                         "CAST(TRIM(AUT_DIGITAL_VAL) AS VARCHAR(15) CHARACTER SET OCTETS) = "
                                         "x'C7C339D5D178805AF5'"))
                 .toInt(),
             1);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
}

void TestSchema::ticketCannotBeSoldTwice() {
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_4 (NUMBILHETE, VALIDADO) VALUES (12, 'Sim')")));
    QSqlQuery q(inst->tdm->CONEX_R());
    QVERIFY(
        !q.exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_4 (NUMBILHETE, VALIDADO) VALUES (12, 'Sim')")));
    QVERIFY(q.lastError().text().contains(QStringLiteral("UQ_DADOSCOMPRADOR_4_NUMBILHETE")));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_4")), 1);
    // Another raffle's buyer table is independent.
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_5 (NUMBILHETE, VALIDADO) VALUES (12, 'Sim')")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_4")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_5")));
}

void TestSchema::nullAndBlankMarksAreForSale() {
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_100G (N1, VALID_R2) VALUES (0, NULL)")));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_100G (N1, VALID_R2) VALUES (1, ' ')")));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_100G (N1, VALID_R2) VALUES (2, 'S')")));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_100G (N1, VALID_R2) VALUES (3, 'R')")));
    QCOMPARE(inst->scalar(QStringLiteral(
                              "SELECT LIST(N1, ',') FROM (SELECT N1 FROM BS1_100G WHERE %1 ORDER BY N1)")
                              .arg(TicketTables::forSaleCondition(2)))
                 .toString(),
             QStringLiteral("0,1"));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS1_100G")));
}

void TestSchema::creationRefusesExistingFiles() {
    TestInstallation second(false);
    QVERIFY(second.ok());
    QFile stray(second.file(QStringLiteral("ID_BASE.FDB")));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("not a database");
    stray.close();
    QString error;
    QVERIFY(!DatabaseFiles::createInFolder(second.folder(), &error));
    QVERIFY(error.contains(QStringLiteral("ID_BASE.FDB")));
    QVERIFY(!QFile::exists(second.file(QStringLiteral("CRF.XML"))));
    QCOMPARE(QFile(second.file(QStringLiteral("ID_BASE.FDB"))).size(), qint64(14));
}

KORVANTE_TEST(TestSchema)
#include "TestSchema.moc"
