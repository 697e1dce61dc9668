#include "data/SchemaScript.h"

#include "data/SchemaSteps.h"
#include "data/TicketTables.h"

namespace {

const char *const kMarks =
    "VALID_R1 CHAR(1), VALID_R2 CHAR(1), VALID_R3 CHAR(1), VALID_R4 CHAR(1), VALID_R5 CHAR(1)";

// Generator and before-insert trigger that fill a key left null.
QStringList autoNumber(const QString &table, const QString &key) {
    const QString gen = QStringLiteral("GEN_%1_ID").arg(table);
    return {QStringLiteral("CREATE SEQUENCE %1").arg(gen),
            QStringLiteral("CREATE TRIGGER %1_BI FOR %1 ACTIVE BEFORE INSERT POSITION 0 AS\n"
                           "BEGIN\n"
                           "  IF (NEW.%2 IS NULL) THEN NEW.%2 = GEN_ID(%3, 1);\n"
                           "END")
                .arg(table, key, gen)};
}

// Columns that CADASTRO and cadastro_temp share, in table order, up to DIM_TEXTO_BAS_COMP.
QString raffleColumnsUpToTextWidth() {
    return QStringLiteral(
        "DATA_EVENTO DATE, RIFA_ATIVA SMALLINT, PREMIOS VARCHAR(2048), REGRAS_SORT VARCHAR(2048), "
        "LINK_SORT VARCHAR(256), NOME_RIFA VARCHAR(35), VLR_RIFA DOUBLE PRECISION, MODALIDADE VARCHAR(20), "
        "USAR_QT_NUM VARCHAR(15), USAR_NUM_ID_BILHETE SMALLINT, POS_NUMBILHETE_L INTEGER, "
        "POS_NUMBILHETE_T INTEGER, POS_NUMCANHOTO_L INTEGER, POS_NUMCANHOTO_T INTEGER, "
        "ART_FUNDO VARCHAR(300), ART_EXTENDIDA CHAR(1), POS_ARTFUNDO_L INTEGER, POS_ARTFUNDO_T INTEGER, "
        "IMG_LIVRE1 VARCHAR(300), IMG_LIVRE2 VARCHAR(300), IMG_LIVRE1_L INTEGER, IMG_LIVRE1_T INTEGER, "
        "IMG_LIVRE2_L INTEGER, IMG_LIVRE2_T INTEGER, TEXTO_BASICO BLOB SUB_TYPE 0, POS_TEXTO_BAS_L INTEGER, "
        "POS_TEXTO_BAS_T INTEGER, DIM_TEXTO_BAS_ALT INTEGER, TEXTO_BASICO_C BLOB SUB_TYPE 0, "
        "DIM_TEXTO_BAS_COMP INTEGER");
}

QString cadastroTable() {
    QString numbers;
    for (int i = 1; i <= 10; ++i)
        numbers += QStringLiteral("POS_N%1_L INTEGER, POS_N%1_T INTEGER, ").arg(i);
    return QStringLiteral("CREATE TABLE CADASTRO (CODRIFA INTEGER NOT NULL PRIMARY KEY, ") +
           raffleColumnsUpToTextWidth() +
           QStringLiteral(
               ", POS_TEXTO_BAS_C_L INTEGER, POS_TEXTO_BAS_C_T INTEGER, DIM_TEXTO_BAS_C_ALT INTEGER, "
               "DIM_TEXTO_BAS_C_COMP INTEGER, ART_BASICA VARCHAR(300), ") +
           numbers +
           QStringLiteral("USAR_CBARRA SMALLINT, POS_CBARRA1_L INTEGER, POS_CBARRA1_T INTEGER, "
                          "POS_CBARRA2_L INTEGER, POS_CBARRA2_T INTEGER, DIM_BILHETE_ALT INTEGER, "
                          "DIM_BILHETE_COMP INTEGER, USAR_TEXTO_BAS SMALLINT, USAR_TEXTO_BAS_C SMALLINT, "
                          "TAM_FONTE_POS_N INTEGER, COR_FONTE_POS_N INTEGER, TAM_FONTE_ID_BILH INTEGER, "
                          "COR_FONTE_ID_BILH INTEGER, "
                          // SMALLINT: the print module reads it as 16-bit, the main program as 32-bit.
                          "QT_COL_FOLHA SMALLINT, "
                          "POS_COD_AUTENTIC_L INTEGER, POS_COD_AUTENTIC_T INTEGER, USAR_AUTENTIC CHAR(10))");
}

QStringList slotRows(const QString &table) {
    QStringList rows;
    for (int k = 1; k <= 5; ++k)
        rows << QStringLiteral("INSERT INTO %1 (CODRIFA) VALUES (%2)").arg(table).arg(k);
    return rows;
}

// A new installation must be able to choose a raffle, or "Cadastrar" (which needs one) could never open.
QStringList newRaffleSlots() {
    QStringList rows;
    for (int k = 1; k <= 5; ++k)
        rows << QStringLiteral(
                    "INSERT INTO CADASTRO (CODRIFA, RIFA_ATIVA, NOME_RIFA) VALUES (%1, 1, 'RIFA %1')")
                    .arg(k);
    return rows;
}

} // namespace

namespace SchemaScript {

QStringList ticketTable(const QString &name) {
    const auto table = TicketTables::find(name);
    if (!table) return {};
    QString numbers;
    for (int i = 1; i <= table->perTicket; ++i)
        numbers += QStringLiteral("N%1 INTEGER, ").arg(i);
    QStringList s{QStringLiteral("CREATE TABLE %1 (NUMBILHETE INTEGER NOT NULL PRIMARY KEY, %2%3)")
                      .arg(table->name, numbers, QLatin1String(kMarks))};
    s << autoNumber(table->name, QStringLiteral("NUMBILHETE"));
    for (int i = 1; i <= table->perTicket; ++i)
        s << QStringLiteral("CREATE INDEX IX_%1_N%2 ON %1 (N%2)").arg(table->name).arg(i);
    return s;
}

QStringList mainDatabase() {
    QStringList s;
    s << cadastroTable() << newRaffleSlots();

    s << QStringLiteral(
             "CREATE TABLE BS1 (NUMBILHETE INTEGER NOT NULL PRIMARY KEY, N1 INTEGER, INC SMALLINT, %1)")
             .arg(QLatin1String(kMarks));
    s << autoNumber(QStringLiteral("BS1"), QStringLiteral("NUMBILHETE"));

    for (const TicketTable &t : TicketTables::all())
        s << ticketTable(t.name);

    for (int n = 1; n <= 5; ++n) {
        const QString table = TicketTables::buyerTable(n);
        s << QStringLiteral(
                 "CREATE TABLE %1 (AUTOCOD INTEGER NOT NULL PRIMARY KEY, NUM_CAD_RIFA SMALLINT, "
                 "NOMECOMP VARCHAR(40), ENDCOMP VARCHAR(50), CIDCOMP VARCHAR(30), UFCOMP CHAR(2), "
                 "FONECOMP VARCHAR(15), VALOR DOUBLE PRECISION, NUMBILHETE INTEGER, VALIDADO CHAR(3), "
                 "AUT_DIGITAL_VAL CHAR(15), DATA_VAL DATE, COD_VENDEDOR INTEGER, VIAZAP VARCHAR(3))")
                 .arg(table);
        s << autoNumber(table, QStringLiteral("AUTOCOD"));
        // One buyer row per ticket: a ticket can never be sold twice, not even from two computers at once.
        s << QStringLiteral("CREATE UNIQUE INDEX UQ_%1_NUMBILHETE ON %1 (NUMBILHETE)").arg(table);
    }

    s << QStringLiteral(
        "CREATE TABLE CAD_VENDEDOR (COD_VEND INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
        "NOME_VEND VARCHAR(50), END_VEND VARCHAR(100), BAIRRO_VEND VARCHAR(30), CID_VEND VARCHAR(30), "
        "UF_VEND CHAR(2), CPF_VEND VARCHAR(16), FONE1 CHAR(15), FONE2 CHAR(15))");
    s << QStringLiteral(
        "CREATE TABLE TELEFONE (AUTOCOD_FONE INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
        "DDD VARCHAR(3), TELEFONE VARCHAR(10))");
    s << QStringLiteral("CREATE TABLE LIST_ARQUIVOS (NOME_ARQUIVO VARCHAR(30) NOT NULL PRIMARY KEY)");
    s << QStringLiteral("INSERT INTO LIST_ARQUIVOS (NOME_ARQUIVO) VALUES ('vendorifas')");
    s << QStringLiteral("CREATE TABLE BACKUP (CAMINHO VARCHAR(512), STATUS VARCHAR(30))");
    // What arrived after the delivered schema, then the version that says so.
    for (const SchemaStep &step : SchemaSteps::all()) {
        for (const SchemaObject &object : step.objects)
            s << object.ddl;
        s << step.data;
    }
    s << SchemaSteps::createVersionTable(SchemaSteps::currentVersion());
    return s;
}

QStringList printDatabase() {
    QStringList s;
    s << QStringLiteral(
        "CREATE TABLE TAB_PRN (AUTOCOD INTEGER NOT NULL PRIMARY KEY, N1 INTEGER, N2 INTEGER, "
        "N3 INTEGER, N4 INTEGER, N5 INTEGER, BASE VARCHAR(15), NUMBILHETE INTEGER, CODBARRA INTEGER, "
        "AUT_DIGITAL VARCHAR(15), N6 INTEGER, N7 INTEGER, N8 INTEGER, N9 INTEGER, N10 INTEGER)");
    s << autoNumber(QStringLiteral("TAB_PRN"), QStringLiteral("AUTOCOD"));
    s << QStringLiteral("CREATE TABLE CADASTRO_TEMP (CODRIFA INTEGER NOT NULL PRIMARY KEY, ") +
             raffleColumnsUpToTextWidth() + u')';
    s << slotRows(QStringLiteral("CADASTRO_TEMP"));
    return s;
}

QString asText(const QStringList &statements) {
    QString text = QStringLiteral("SET TERM ^ ;\n");
    for (const QString &st : statements)
        text += st + QStringLiteral("^\n\n");
    return text + QStringLiteral("SET TERM ; ^\n");
}

} // namespace SchemaScript
