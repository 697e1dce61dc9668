#include "data/SchemaUpgrade.h"
#include "draw/TForm_Ata.h"
#include "draw/TForm_SORTEIO.h"
#include "sales/SalesClosing.h"
#include "mainwindow/TForm_RIFA.h"
#include "printmodule/TForm_RIFAPrint.h"
#include "sales/SalesFixture.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRegularExpression>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidget>
#include <QTimer>

// The draw by the Loteria Federal typed into the draw window, its record and its "Ata do Sorteio".
// Raffle 1 on "000 - 999", one number per ticket (BS1_M), holding only the tickets the cases need.
class TestDrawRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void federalDrawIsRecordedOnceAndPrinted();
    void noWinnerIsRecordedAndPrinted();
    void refusedInputRecordsNothing();
    void federalOptionJoinsTheOthers();
    void ownDrawIsRecorded();
    void failedRecordLeavesTheDrawOnScreen();
    void sameExtractionCannotGiveAnotherWinner();
    void annulledRecordStaysListedAndPrinted();
    void ataStatesNearestNumberTieAndFingerprints();
    void longPrizeTextIsPrintedWhole_data();
    void longPrizeTextIsPrintedWhole();
    void sameRecordGivesTheSameBytes();
    void federalDrawNeedsClosedSales();
    void olderDatabaseGainsTheTableAtItsFirstConnection(); // last: it takes the connections away

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void clickOption(const char *name) {
        auto *c = w<QCheckBox>(name);
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(8, c->height() / 2));
    }
    void type(const char *field, const QString &text) {
        w(field)->setFocus();
        QTest::keyClicks(w<QLineEdit>(field), text);
    }
    void typeResult(const QStringList &prizes) {
        type("Ed_Extracao", QStringLiteral("5123"));
        type("Ed_DataExtracao", QStringLiteral("10122026")); // digits only, as many people type a date
        for (int i = 0; i < 5; ++i)
            type(QByteArray("Ed_Premio" + QByteArray::number(i + 1)).constData(), prizes.at(i));
    }
    QStringList gridRow(int row) {
        QStringList cells;
        auto *g = w<QTableWidget>("Grid_Premios");
        for (int c = 0; c < g->columnCount(); ++c)
            cells << (g->item(row, c) ? g->item(row, c)->text() : QString());
        return cells;
    }
    QSqlRecord lastRecord() {
        QSqlQuery q(inst->tdm->CONEX_R());
        q.exec(QStringLiteral("SELECT FIRST 1 * FROM SORTEIOS ORDER BY ID DESC"));
        return q.next() ? q.record() : QSqlRecord();
    }
    // The "Ata" of the record in the given row of the Ata window (the latest first) saved as PDF;
    // returns its text as read back from the file.
    QString saveAta(const QString &name, int row = 0) {
        const QString path = inst->file(name);
        TForm_Ata ata(inst->context(), 0);
        ata.show();
        auto *grid = ata.findChild<QTableWidget *>(QStringLiteral("Grid_Sorteios"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, 1)).center());
        inst->dialogs.expectFileChoice(QStringLiteral("save"), path);
        inst->dialogs.expectMessage(QStringLiteral("Ata do Sorteio gravada em: ") + path,
                                    BoxIcon::Information);
        QTest::mouseClick(ata.findChild<QPushButton *>(QStringLiteral("BTN_AtaPDF")), Qt::LeftButton);
        return pdfText(path);
    }
    QString pdfText(const QString &path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_SORTEIO> form;
    void federalDraw(const QStringList &prizes, int ruleDowns = 0) {
        if (!w<QCheckBox>("CHK_Federal")->isChecked()) clickOption("CHK_Federal");
        w<QComboBox>("CMB_Regra")->setFocus();
        QTest::keyClick(w<QComboBox>("CMB_Regra"), Qt::Key_Home);
        w<QLineEdit>("Ed_Extracao")->clear();
        w<QLineEdit>("Ed_DataExtracao")->clear();
        for (int i = 0; i < 5; ++i)
            w<QLineEdit>(QByteArray("Ed_Premio" + QByteArray::number(i + 1)).constData())->clear();
        typeResult(prizes);
        for (int i = 0; i < ruleDowns; ++i)
            QTest::keyClick(w<QComboBox>("CMB_Regra"), Qt::Key_Down);
        QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    }

    const QStringList m_result{"035162", "48001", "90211", "77777", "00542"};
};

void TestDrawRecords::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->exec(
        QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DO CARRO', MODALIDADE='000 - 999', "
                       "USAR_QT_NUM='1 Número', DATA_EVENTO='2026-12-12', PREMIOS=? WHERE CODRIFA=1"),
        {QStringLiteral("1º Prêmio: Um carro 0 km\r\n2º Prêmio: Uma moto")}));
    WorkingRaffle &r = inst->raffle;
    r.CodRifaUsar = QStringLiteral("1");
    r.MaiorNumero = 999;
    r.QtNumBilhete = 1;
    r.TabelaBaseUsar = QStringLiteral("BS1_M");
    r.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
}

void TestDrawRecords::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS1_M")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM SORTEIOS")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET PREMIOS=? WHERE CODRIFA=1"),
                       {QStringLiteral("1º Prêmio: Um carro 0 km\r\n2º Prêmio: Uma moto")}));
    // 162 unsold, 001 paid and bought by ANA MARIA, 211 reserved, 777 unsold; nobody holds 542.
    for (const auto &[ticket, number, mark] : {std::tuple{500, 162, ""}, std::tuple{17, 1, "S"},
                                               std::tuple{903, 211, "R"}, std::tuple{44, 777, ""}})
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_M (NUMBILHETE, N1, VALID_R1) VALUES (?, ?, ?)"),
                           {ticket, number, *mark ? QVariant(QString::fromLatin1(mark)) : QVariant()}));
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NOMECOMP, CIDCOMP, UFCOMP, "
                                  "FONECOMP, VALOR, NUMBILHETE, VALIDADO, AUT_DIGITAL_VAL, DATA_VAL) VALUES "
                                  "(1, 'ANA MARIA', 'CAMPINAS', 'SP', '11987654321', 10, 17, 'Sim', ?, "
                                  "'2026-12-01')"),
                   {QStringLiteral("AB3ÇZ9K7Ã")}));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM HASH_TABELAS")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM VENDAS_EVENTOS")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=NULL")));
    // Sales closed at 09:00 in Brasília on the day of extraction 5123 (10/12/2026 19:00); the draw is
    // made the next morning.
    inst->clock.set(QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC));
    const ClosingOutcome closed = SalesClosing(inst->context()).close();
    QVERIFY2(closed.ok, qPrintable(closed.message));
    inst->clock.set(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    inst->dialogs.clear();
    form = std::make_unique<TForm_SORTEIO>(inst->context());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestDrawRecords::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestDrawRecords::federalDrawIsRecordedOnceAndPrinted() {
    clickOption("CHK_Federal");
    QVERIFY(w("Panel_FEDERAL")->isVisible());
    typeResult(m_result);
    QCOMPARE(w<QComboBox>("CMB_Regra")->currentText(), QStringLiteral("passa para o próximo prêmio"));
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(gridRow(0), (QStringList{"1º", "35162", "162", "C-500", "Não"}));
    QCOMPARE(gridRow(1), (QStringList{"2º", "48001", "001", "C-017", "Sim"}));
    QCOMPARE(gridRow(2), (QStringList{"3º", "90211", "211", "C-903", "Não"}));
    QCOMPARE(gridRow(4), (QStringList{"5º", "00542", "542", "-", "-"}));
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-017"));
    QCOMPARE(w<QLabel>("LBL_PAGO_AMPLI")->text(), QStringLiteral("Sim"));
    QCOMPARE(w<QLabel>("LBL_NUM_SORT_AMPLIAR")->text(), QStringLiteral("001"));

    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1);
    const QSqlRecord r = lastRecord();
    auto text = [&](const char *c) { return r.value(QLatin1String(c)).toString().trimmed(); };
    QCOMPARE(text("MODO"), QStringLiteral("FEDERAL"));
    QCOMPARE(text("REGRA"), QStringLiteral("PROXIMO"));
    QCOMPARE(text("EXTRACAO"), QStringLiteral("5123"));
    QCOMPARE(r.value(QStringLiteral("DATA_EXTRACAO")).toDate(), QDate(2026, 12, 10));
    QCOMPARE(text("PREMIO1"), QStringLiteral("35162"));
    QCOMPARE(r.value(QStringLiteral("BIL_PREMIO1")).toInt(), 500);
    QCOMPARE(text("PAGO_PREMIO1"), QStringLiteral("N"));
    QVERIFY(r.value(QStringLiteral("BIL_PREMIO5")).isNull());
    QCOMPARE(r.value(QStringLiteral("NUMBILHETE")).toInt(), 17);
    QCOMPARE(text("NUMEROS"), QStringLiteral("001"));
    QCOMPARE(text("AUT_DIGITAL_VAL"), QStringLiteral("AB3ÇZ9K7Ã"));
    QCOMPARE(text("NOMECOMP"), QStringLiteral("ANA MARIA"));
    QCOMPARE(text("FONE_MASCARA"), QStringLiteral("(11) 98765-43**"));
    QCOMPARE(text("NOME_RIFA"), QStringLiteral("RIFA DO CARRO"));
    QCOMPARE(r.value(QStringLiteral("REGISTRADO_EM")).toDateTime(), inst->clock.now());

    // The sale is withdrawn after the draw: the record, and so the "Ata", keep the buyer.
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS1_M SET VALID_R1=NULL")));
    const QString pdf = saveAta(QStringLiteral("ata.pdf"));
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1); // printing records nothing
    for (const char *item :
         {"ATA DO SORTEIO", "RIFA DO CARRO", "1º Prêmio: Um carro 0 km", "2º Prêmio: Uma moto",
          "Data do Sorteio: 12/12/2026", "Pela Loteria Federal - Extração nº 5123 de 10/12/2026",
          "Se o número não foi vendido: passa para o próximo prêmio", "1º 35162 162 C-500 não pago",
          "2º 48001 001 C-017 pago", "3º 90211 211 C-903 não pago", "5º 00542 542 nenhum sem Bilhete",
          "Bilhete Ganhador: C-017", "Números do Bilhete: 001", "Autenticação: AB3ÇZ9K7Ã",
          "Comprador: ANA MARIA", "Cidade: CAMPINAS/SP", "Fone: (11) 98765-43**",
          "Registrado em 11/12/2026 às 10:00:00", "Vendido em: 01/12/2026",
          "Extração nº 5123 de 10/12/2026 às 19:00 (horário de Brasília)",
          "Vendas encerradas em 10/12/2026 às 09:00:00 (horário de Brasília) - 1 Bilhetes vendidos."})
        QVERIFY2(pdf.contains(QString::fromUtf8(item)), item);
    QVERIFY(!pdf.contains(QStringLiteral("11987654321")));

    // One A4 page, and the picture of it carries the black title bar and the text.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {inst->file(QStringLiteral("ata.pdf"))});
    info.waitForFinished(30000);
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QProcess image;
    image.start(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), inst->file(QStringLiteral("ata.pdf")),
                 inst->file(QStringLiteral("ata"))});
    QVERIFY(image.waitForFinished(30000));
    const QImage page(inst->file(QStringLiteral("ata.png")));
    QVERIFY(!page.isNull());
    QVERIFY(qAbs(page.width() - 413) <= 1 && qAbs(page.height() - 585) <= 1); // A4 at 50 dpi
    QCOMPARE(QColor(page.pixel(60, 50)), QColor(Qt::black)); // the title bar, 20-32 mm from the top
    int dark = 0;
    for (int y = 100; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    QVERIFY(dark > 2000);
}

void TestDrawRecords::noWinnerIsRecordedAndPrinted() {
    clickOption("CHK_Federal");
    typeResult(m_result);
    QTest::keyClick(w<QComboBox>("CMB_Regra"), Qt::Key_Down);
    QTest::keyClick(w<QComboBox>("CMB_Regra"), Qt::Key_Down);
    QCOMPARE(w<QComboBox>("CMB_Regra")->currentText(), QStringLiteral("o prêmio fica com a organização"));
    inst->dialogs.expectMessage(
        QStringLiteral("O número do 1º prêmio da Extração 5123 não está em um Bilhete pago "
                       "desta Rifa: o prêmio fica com a organização. Resultado "
                       "registrado: sem ganhador."),
        BoxIcon::Warning);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("-"));
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1);
    const QSqlRecord r = lastRecord();
    QVERIFY(r.value(QStringLiteral("NUMBILHETE")).isNull());
    QCOMPARE(r.value(QStringLiteral("REGRA")).toString().trimmed(), QStringLiteral("ORGANIZACAO"));
    QString preview;
    int listed = 0;
    QTimer::singleShot(0, [&] {
        if (auto *d = QApplication::activeModalWidget()) {
            preview = d->windowTitle();
            if (auto *g = d->findChild<QTableWidget *>(QStringLiteral("Grid_Sorteios"))) listed = g->rowCount();
            d->close();
        }
    });
    QTest::mouseClick(w<QPushButton>("BTN_Ata"), Qt::LeftButton);
    QCOMPARE(preview, QStringLiteral("KORVANTE - Ata do Sorteio"));
    QCOMPARE(listed, 1);
    const QString pdf = saveAta(QStringLiteral("sem.pdf"));
    QVERIFY(pdf.contains(QStringLiteral("SEM GANHADOR")));
    QVERIFY(pdf.contains(QStringLiteral("Se o número não foi vendido: o prêmio fica com a organização")));
    QVERIFY(!pdf.contains(QStringLiteral("Bilhete Ganhador")));
}

void TestDrawRecords::refusedInputRecordsNothing() {
    clickOption("CHK_Federal");
    typeResult({"3516", "48001", "90211", "77777", "00542"});
    inst->dialogs.expectMessage(
        QStringLiteral("Informe o 1º prêmio da Loteria Federal com 5 algarismos, como "
                       "publicado (6 algarismos somente com zero à esquerda)."),
        BoxIcon::Warning);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 0);
    QCOMPARE(w<QLineEdit>("Ed_Premio1")->text(), QStringLiteral("3516")); // left as typed
    inst->dialogs.expectMessage(
        QStringLiteral("Ainda não existe Sorteio registrado desta Rifa para a Ata do Sorteio."),
        BoxIcon::Warning);
    TForm_Ata ata(inst->context(), 0);
    ata.show();
    QTest::mouseClick(ata.findChild<QPushButton *>(QStringLiteral("BTN_AtaPDF")), Qt::LeftButton);
}

void TestDrawRecords::federalOptionJoinsTheOthers() {
    auto checked = [this] {
        QStringList on;
        for (const char *n : {"CHK_Todos", "CHK_Pagos", "CHK_Controle", "CHK_Federal"})
            if (w<QCheckBox>(n)->isChecked()) on << QLatin1String(n);
        return on;
    };
    clickOption("CHK_Todos");
    clickOption("CHK_Federal");
    QCOMPARE(checked(), QStringList{"CHK_Federal"});
    QVERIFY(w("Panel_FEDERAL")->isVisible());
    clickOption("CHK_Pagos");
    QCOMPARE(checked(), QStringList{"CHK_Pagos"});
    QVERIFY(!w("Panel_FEDERAL")->isVisible());
    clickOption("CHK_Federal");
    clickOption("CHK_Federal");
    QVERIFY(checked().isEmpty());
    inst->dialogs.expectMessage(
        QStringLiteral(
            "Favor, informe como será o Sorteio marcando uma das Opções Abaixo desse botão SORTEAR!"),
        BoxIcon::Warning);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    // Hiding "Pago:" hides each prize's paid state too.
    QTest::mouseDClick(w("LBL_AvisoPago"), Qt::LeftButton);
    clickOption("CHK_Federal");
    typeResult(m_result);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-017"));
    QVERIFY(w<QTableWidget>("Grid_Premios")->isColumnHidden(4));
    QVERIFY(!w("LBL_PAGO_AMPLI")->isVisible());
}

void TestDrawRecords::ownDrawIsRecorded() {
    clickOption("CHK_Controle");
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-017"), 10000);
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1);
    const QSqlRecord r = lastRecord();
    QCOMPARE(r.value(QStringLiteral("MODO")).toString().trimmed(), QStringLiteral("CONTROLE"));
    QCOMPARE(r.value(QStringLiteral("SORTEADO")).toString().trimmed(), QStringLiteral("C-017"));
    QCOMPARE(r.value(QStringLiteral("NUMEROS")).toString().trimmed(), QStringLiteral("001"));
    QCOMPARE(r.value(QStringLiteral("PAGO")).toString().trimmed(), QStringLiteral("S"));
    const QString pdf = saveAta(QStringLiteral("giro.pdf"));
    QVERIFY(pdf.contains(QStringLiteral("Giro da Sorte")));
    QVERIFY(pdf.contains(QStringLiteral("Controle sorteado: C-017")));
}

void TestDrawRecords::failedRecordLeavesTheDrawOnScreen() {
    // A table that refuses the record.
    QVERIFY(inst->exec(QStringLiteral("CREATE EXCEPTION E_SEM_ATA 'registro recusado pelo teste'")));
    QVERIFY(inst->exec(QStringLiteral("CREATE TRIGGER SORTEIOS_FALHA FOR SORTEIOS ACTIVE BEFORE INSERT AS\n"
                                      "BEGIN\n  EXCEPTION E_SEM_ATA;\nEND")));
    clickOption("CHK_Federal");
    typeResult(m_result);
    inst->dialogs.expectMessage({}, BoxIcon::Error); // the failed record, whatever the engine says
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QVERIFY(inst->dialogs.shown.last().text.startsWith(QStringLiteral(
        "O resultado do Sorteio não pôde ser registrado para a Ata do Sorteio. Detalhe do Erro: ")));
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-017"));
    QCOMPARE(w<QLabel>("LBL_PAGO_AMPLI")->text(), QStringLiteral("Sim"));
    form.reset();
    QVERIFY(inst->exec(QStringLiteral("DROP TRIGGER SORTEIOS_FALHA")));
    QVERIFY(inst->exec(QStringLiteral("DROP EXCEPTION E_SEM_ATA")));
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 0);
}

void TestDrawRecords::olderDatabaseGainsTheTableAtItsFirstConnection() {
    form.reset();
    inst->tdm.reset(); // the connections are named: only one installation can hold them
    TestInstallation older;
    QVERIFY2(older.ok() && older.openTdm(), qPrintable(older.error()));
    QVERIFY(older.exec(QStringLiteral("DROP TABLE SORTEIOS")));
    QVERIFY(older.exec(QStringLiteral("DROP TABLE VERSAO_BANCO")));
    QVERIFY(older.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA ANTIGA' WHERE CODRIFA=2")));
    QVERIFY(older.exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('JOSE')")));
    QVERIFY(older.exec(
        QStringLiteral("INSERT INTO BS2_100G (NUMBILHETE, N1, N2, VALID_R3) VALUES (1, 7, 9, 'S')")));
    // Every user table with all its rows, as text.
    auto snapshot = [&] {
        QStringList all;
        QSqlQuery names(older.tdm->CONEX_R());
        names.exec(
            QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0 "
                           "AND RDB$RELATION_NAME NOT IN ('SORTEIOS', 'VERSAO_BANCO') ORDER BY 1"));
        while (names.next()) {
            const QString table = names.value(0).toString();
            QSqlQuery rows(older.tdm->CONEX_R());
            rows.exec(QStringLiteral("SELECT * FROM ") + table);
            all << table;
            while (rows.next()) {
                QStringList cells;
                for (int i = 0; i < rows.record().count(); ++i)
                    cells << rows.value(i).toString();
                all << cells.join(u'|');
            }
        }
        return all;
    };
    const QStringList before = snapshot();
    QVERIFY(before.contains(QStringLiteral("CADASTRO")) && before.size() > 40);
    auto hasTable = [&] {
        return older
                   .scalar(QStringLiteral(
                       "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'SORTEIOS'"))
                   .toInt() == 1;
    };
    {
        TForm_RIFAPrint printModule(older.services()); // the print module never creates it
    }
    QVERIFY(!hasTable());
    // The main program's start-up, before its window.
    QVERIFY(SchemaUpgrade::atStart(older.tdm->CONEX_R(), older.dialogs));
    QVERIFY(hasTable());
    QCOMPARE(snapshot(), before);
    QCOMPARE(older.count(QStringLiteral("SORTEIOS")), 0);
}

void TestDrawRecords::sameExtractionCannotGiveAnotherWinner() {
    federalDraw(m_result);
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-017"));
    const int id = lastRecord().value(QStringLiteral("ID")).toInt();
    // Other prizes for extraction 5123: refused, naming what is recorded.
    inst->dialogs.expectMessage(
        QStringLiteral("A Extração 5123 já está registrada para esta Rifa (Registro nº %1) com os prêmios 35162, "
                       "48001, 90211, 77777, 00542 e a regra \"passa para o próximo prêmio\". Outro resultado para "
                       "a mesma Extração não é aceito; um erro de digitação se corrige anulando aquele registro na "
                       "Ata do Sorteio.")
            .arg(id),
        BoxIcon::Warning);
    federalDraw({"35162", "48001", "90211", "77777", "00544"});
    // Another rule, the same prizes: refused as well.
    inst->dialogs.expectMessage(QString(), BoxIcon::Warning);
    federalDraw(m_result, 1);
    QVERIFY(inst->dialogs.shown.last().text.startsWith(QStringLiteral("A Extração 5123 já está registrada")));
    // The same result again: nothing new to record.
    inst->dialogs.expectMessage(QStringLiteral("A Extração 5123 já está registrada para esta Rifa com este mesmo "
                                               "resultado (Registro nº %1): imprima a Ata desse registro.")
                                    .arg(id),
                                BoxIcon::Warning);
    federalDraw(m_result);
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1);
}

void TestDrawRecords::annulledRecordStaysListedAndPrinted() {
    // A typing mistake in the 1st prize; the record is annulled and the right result recorded.
    federalDraw({"35161", "48001", "90211", "77777", "00542"});
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 1);
    const int typo = lastRecord().value(QStringLiteral("ID")).toInt();
    {
        TForm_Ata ata(inst->context(), 0);
        ata.show();
        auto *grid = ata.findChild<QTableWidget *>(QStringLiteral("Grid_Sorteios"));
        QCOMPARE(grid->rowCount(), 1);
        inst->dialogs.expectQuestion(QStringLiteral("Deseja ANULAR o Registro nº %1 (Extração 5123)? O registro "
                                                    "anulado continua listado e é impresso na Ata como ANULADO; a "
                                                    "mesma Extração pode então ser registrada de novo.")
                                         .arg(typo),
                                     true);
        inst->dialogs.expectMessage(QStringLiteral("Registro nº %1 anulado.").arg(typo), BoxIcon::Information);
        QTest::mouseClick(ata.findChild<QPushButton *>(QStringLiteral("BTN_Anular")), Qt::LeftButton);
        QVERIFY(!inst->dialogs.shown[inst->dialogs.shown.size() - 2].defaultYes);
        QVERIFY(grid->item(0, 4)->text().startsWith(QStringLiteral("ANULADO em 11/12/2026")));
    }
    federalDraw(m_result);
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 2);
    const QString right = saveAta(QStringLiteral("certo.pdf"), 0);
    QVERIFY(right.contains(QStringLiteral("1º 35162 162 C-500 não pago")));
    QVERIFY(!right.contains(QStringLiteral("ANULADO")));
    const QString annulled = saveAta(QStringLiteral("anulado.pdf"), 1);
    QVERIFY(annulled.contains(QStringLiteral("REGISTRO ANULADO em 11/12/2026")));
    QVERIFY(annulled.contains(QStringLiteral("ESTE REGISTRO FOI ANULADO")));
    QVERIFY(annulled.contains(QStringLiteral("1º 35161 161 nenhum sem Bilhete")));
    QVERIFY(annulled.contains(QStringLiteral("Registro nº %1").arg(typo)));
}

void TestDrawRecords::ataStatesNearestNumberTieAndFingerprints() {
    // 161 and 163 sold, equally near 162 (the 1st prize, on the unsold C-500); the sales closed again.
    for (const auto &[ticket, number] : {std::pair{600, 163}, std::pair{601, 161}}) {
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS1_M (NUMBILHETE, N1, VALID_R1) VALUES (?, ?, 'S')"),
                           {ticket, number}));
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, VALOR, NUMBILHETE, VALIDADO, "
                                          "DATA_VAL) VALUES (1, 10, ?, 'Sim', '2026-12-05')"),
                           {ticket}));
    }
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=NULL")));
    inst->clock.set(QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC));
    QVERIFY(SalesClosing(inst->context()).close().ok);
    inst->clock.set(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    federalDraw(m_result, 1);
    QCOMPARE(w<QLabel>("LBL_BIL")->text(), QStringLiteral("C-600"));

    const QString pdf = saveAta(QStringLiteral("proximo.pdf"));
    const QString salesHash =
        inst->scalar(QStringLiteral("SELECT HASH_VENDAS FROM VENDAS_ENCERRAMENTO WHERE CODRIFA=1")).toString();
    const QString dealingHash =
        inst->scalar(QStringLiteral("SELECT HASH FROM HASH_TABELAS WHERE TABELA='BS1_M'")).toString();
    QCOMPARE(salesHash.size(), 64);
    for (const QString &item :
         {QStringLiteral("O número do 1º prêmio, 162, não está em um Bilhete pago: vale o número vendido mais "
                         "próximo dele, 163 (Bilhete C-600)."),
          QStringLiteral("Empate: 161 e 163 estão igualmente próximos de 162; pela regra vence o número acima, 163."),
          QStringLiteral("em empate, vence o número acima (o maior)."), QStringLiteral("Vendido em: 05/12/2026"),
          QStringLiteral("Vendas encerradas em 10/12/2026 às 09:00:00 (horário de Brasília) - 3 Bilhetes vendidos."),
          salesHash, dealingHash, QStringLiteral("distribuição dos números (tabela BS1_M)"),
          QStringLiteral("Calculada no encerramento das vendas"),
          QStringLiteral("Encerradas em 10/12/2026 às 09:00:00 (horário de Brasília) (1 vendidos"),
          QStringLiteral("Encerradas em 10/12/2026 às 09:00:00 (horário de Brasília) (3 vendidos")})
        QVERIFY2(pdf.contains(item), qPrintable(item));
}

void TestDrawRecords::longPrizeTextIsPrintedWhole_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("longLines");
    QTest::addColumn<int>("pages"); // at least
    QTest::newRow("14 long lines") << 14 << true << 0;
    QTest::newRow("80 short lines go on further pages") << 80 << false << 2;
}

void TestDrawRecords::longPrizeTextIsPrintedWhole() {
    QFETCH(int, lines);
    QFETCH(bool, longLines);
    QFETCH(int, pages);
    QStringList text;
    for (int i = 1; i <= lines; ++i)
        text << (longLines ? QStringLiteral("%1º Prêmio: um jogo de panelas de aço inoxidável com tampas de vidro "
                                            "temperado, cabos que não esquentam e garantia de cinco anos, item %1")
                                 .arg(i)
                           : QStringLiteral("%1º Prêmio: vale-compra").arg(i));
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET PREMIOS=? WHERE CODRIFA=1"),
                       {text.join(QStringLiteral("\r\n"))}));
    federalDraw(m_result);
    const QString pdf = saveAta(QStringLiteral("premios.pdf"));
    for (const QString &line : text)
        QVERIFY2(pdf.contains(line), qPrintable(line));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {inst->file(QStringLiteral("premios.pdf"))});
    info.waitForFinished(30000);
    const QString shownInfo = QString::fromUtf8(info.readAllStandardOutput());
    const auto count = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n")).match(shownInfo);
    QVERIFY2(count.hasMatch() && count.captured(1).toInt() >= qMax(1, pages), qPrintable(shownInfo));
    QVERIFY(pdf.contains(QStringLiteral("Bilhete Ganhador: C-017")));
    QVERIFY(pdf.contains(QStringLiteral("página 1 de")));
}

void TestDrawRecords::sameRecordGivesTheSameBytes() {
    federalDraw(m_result);
    saveAta(QStringLiteral("um.pdf"));
    // Another second on the clock of the computer.
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    QTRY_VERIFY(QDateTime::currentSecsSinceEpoch() > second);
    saveAta(QStringLiteral("dois.pdf"));
    QFile one(inst->file(QStringLiteral("um.pdf"))), two(inst->file(QStringLiteral("dois.pdf")));
    QVERIFY(one.open(QIODevice::ReadOnly) && two.open(QIODevice::ReadOnly));
    const QByteArray a = one.readAll(), b = two.readAll();
    QVERIFY(a.size() > 1000);
    QVERIFY(a == b);
}

void TestDrawRecords::federalDrawNeedsClosedSales() {
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(),
             QStringLiteral("Vendas encerradas em 10/12/2026 às 09:00:00 (horário de Brasília) - 1 Bilhetes vendidos"));
    QCOMPARE(w<QLineEdit>("Ed_HoraExtracao")->text(), QStringLiteral("19:00"));
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=NULL")));
    inst->dialogs.expectMessage(FederalDraw::notClosedMessage(), BoxIcon::Warning);
    federalDraw(m_result);
    // Closed after the extraction (the next morning): refused too.
    QVERIFY(SalesClosing(inst->context()).close().ok);
    inst->dialogs.expectMessage(
        QStringLiteral("As vendas foram encerradas em 11/12/2026 às 07:00:00 (horário de Brasília), depois da "
                       "Extração 5123 de 10/12/2026 às 19:00 (horário de Brasília): o encerramento das vendas "
                       "precisa ser anterior à extração."),
        BoxIcon::Warning);
    federalDraw(m_result);
    QCOMPARE(inst->count(QStringLiteral("SORTEIOS")), 0);
    form.reset();
    form = std::make_unique<TForm_SORTEIO>(inst->context());
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=NULL")));
    form->show();
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(), QStringLiteral("Vendas abertas (não encerradas)"));
}

KORVANTE_TEST(TestDrawRecords)
#include "TestDrawRecords.moc"
