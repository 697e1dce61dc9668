#include "mainwindow/TForm_RIFA.h"
#include "reports/TForm_Consulta.h"
#include "sales/SalesFixture.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

// The ticket query on raffle 1, "0000 - 9999" with 10 numbers per ticket: 1,000 tickets in BS10_D,
// ticket t holding the numbers 10(t-1) .. 10(t-1)+9.
class TestTicketQuery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void drawnNumberFindsTheValidatedHolder();
    void drawnNumberOnUnvalidatedTicket();
    void controlNumberNeverValidated();
    void numbersBeyondTheModality_data();
    void numbersBeyondTheModality();
    void controlNumberBeyondTheRaffle_data();
    void controlNumberBeyondTheRaffle();
    void allTicketsShowTheMark_data();
    void allTicketsShowTheMark();
    void refusedInput_data();
    void refusedInput();
    void fieldTakesDigitsAndDashAndEnterQueries();
    void menuOpensTheQueryWithTheRaffle();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void chooseType(int downs) {
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(w<QComboBox>("CMB_TipoConsulta"), Qt::Key_Down);
    }
    void clickRadio(const char *name) {
        auto *r = w<QRadioButton>(name);
        QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2));
    }
    void query(const QString &typed) {
        QTest::keyClicks(w<QLineEdit>("Ed_numBilhete"), typed);
        QTest::mouseClick(w<QPushButton>("Button1"), Qt::LeftButton);
    }
    QStringList row(const char *grid) {
        QStringList cells;
        auto *g = w<QTableWidget>(grid);
        if (g->rowCount() == 0) return cells;
        for (int c = 0; c < g->columnCount(); ++c)
            if (!g->isColumnHidden(c)) cells << (g->item(0, c) ? g->item(0, c)->text() : QString());
        return cells;
    }
    QStringList titles(const char *grid) {
        QStringList t;
        auto *g = w<QTableWidget>(grid);
        for (int c = 0; c < g->columnCount(); ++c)
            if (!g->isColumnHidden(c)) t << g->horizontalHeaderItem(c)->text();
        return t;
    }
    void sell(int ticket, const QString &buyer) {
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NOMECOMP, CIDCOMP, "
                                          "FONECOMP, VALOR, NUMBILHETE, VALIDADO, AUT_DIGITAL_VAL, DATA_VAL, "
                                          "COD_VENDEDOR) VALUES (1, ?, 'CAMPINAS', '1133334444', 10, ?, "
                                          "'Sim', 'AB3ÇZ9K7Ã', '2026-12-01', 12)"),
                           {buyer, ticket}));
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS10_D SET VALID_R1='S' WHERE NUMBILHETE=?"), {ticket}));
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Consulta> form;
};

void TestTicketQuery::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS10_D"), 1000, 10));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE')")));
    QVERIFY(
        inst->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DO CARRO', MODALIDADE='0000 - 9999', "
                                  "USAR_QT_NUM='10 Números' WHERE CODRIFA=1")));
    QVERIFY(RaffleChooser::choose(inst->context(), 1));
    QCOMPARE(inst->raffle.TabelaBaseUsar, QStringLiteral("BS10_D"));
}

void TestTicketQuery::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS10_D SET VALID_R1=NULL WHERE VALID_R1 IS NOT NULL")));
    inst->dialogs.clear();
    form = std::make_unique<TForm_Consulta>(inst->context());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    w<QLineEdit>("Ed_numBilhete")->setFocus();
}

void TestTicketQuery::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestTicketQuery::drawnNumberFindsTheValidatedHolder() {
    sell(5, QStringLiteral("ANA MARIA"));
    chooseType(2);
    QCOMPARE(w<QLabel>("LBL_Campo")->text(), QStringLiteral("Nº Sorteado"));
    query(QStringLiteral("0042"));
    QCOMPARE(titles("DBGrid1"),
             (QStringList{"Nº BILHETE", "COMPRADOR", "CIDADE", "FONE", "PAGTO EM", "AUTENTIC", "VENDEDOR"}));
    QCOMPARE(row("DBGrid1"),
             (QStringList{"0005", "ANA MARIA", "CAMPINAS", "1133334444", "01/12/2026", "AB3ÇZ9K7Ã", "JOSE"}));
    QStringList numbers;
    for (int n = 40; n <= 49; ++n)
        numbers << QStringLiteral("00%1").arg(n);
    QCOMPARE(row("DBGrid2"), numbers);
    // Every column, the seller's last, lies within the grid without scrolling, its title whole.
    auto *grid = w<QTableWidget>("DBGrid1");
    const int sellerLeft = grid->columnViewportPosition(6), sellerWidth = grid->columnWidth(6);
    QVERIFY(sellerLeft >= 0 && sellerLeft + sellerWidth <= grid->viewport()->width());
    QVERIFY(sellerWidth >= grid->horizontalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("VENDEDOR")));
}

void TestTicketQuery::drawnNumberOnUnvalidatedTicket() {
    sell(6, QStringLiteral("OUTRO")); // a neighbour is sold, the holder of 42 is not
    chooseType(2);
    inst->dialogs.expectMessage(
        QStringLiteral("Não existe Bilhete Validado/Pago que contém o Número Sorteado!"), BoxIcon::Warning,
        QStringLiteral("Korvante"));
    query(QStringLiteral("0042"));
    QVERIFY(row("DBGrid1").isEmpty());
    QVERIFY(row("DBGrid2").isEmpty());
}

void TestTicketQuery::controlNumberNeverValidated() {
    sell(8, QStringLiteral("ANA"));
    chooseType(1);
    QCOMPARE(w<QLabel>("LBL_Campo")->text(), QStringLiteral("C.Bilhete Nº"));
    query(QStringLiteral("8"));
    QCOMPARE(row("DBGrid1").value(1), QStringLiteral("ANA"));
    QCOMPARE(row("DBGrid2").value(0), QStringLiteral("0070"));
    // A control number that was never validated empties both grids.
    inst->dialogs.expectMessage(
        QStringLiteral("Número do Bilhete não Localizado no Controle de Bilhetes Validados/Pagos!"),
        BoxIcon::Warning, QStringLiteral("Korvante"));
    w<QLineEdit>("Ed_numBilhete")->selectAll();
    query(QStringLiteral("7"));
    QVERIFY(row("DBGrid1").isEmpty());
    QVERIFY(row("DBGrid2").isEmpty());
}

void TestTicketQuery::numbersBeyondTheModality_data() {
    QTest::addColumn<bool>("general");
    QTest::addColumn<QString>("typed");
    QTest::newRow("validated, above the modality") << false << "10000";
    QTest::newRow("validated, negative") << false << "-3";
    QTest::newRow("all tickets, above the modality") << true << "10000";
    QTest::newRow("all tickets, beyond any integer") << true << "9999999999";
}

void TestTicketQuery::numbersBeyondTheModality() {
    QFETCH(bool, general);
    QFETCH(QString, typed);
    if (general) clickRadio("RB_Gerais");
    chooseType(2);
    inst->dialogs.expectMessage(
        QStringLiteral("Número informado não existe na Base de dados da Modalidade de "
                       "Rifa escolhida, de 0 até 9999"),
        BoxIcon::Warning);
    query(typed);
    QVERIFY(row("DBGrid1").isEmpty());
}

void TestTicketQuery::controlNumberBeyondTheRaffle_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("exists");
    // 0000-9999 with 10 numbers per ticket: tickets 1 to 1000.
    QTest::newRow("the last ticket") << "1000" << true;
    QTest::newRow("one past the last") << "1001" << false;
    QTest::newRow("5000") << "5000" << false;
}

void TestTicketQuery::controlNumberBeyondTheRaffle() {
    QFETCH(QString, typed);
    QFETCH(bool, exists);
    clickRadio("RB_Gerais");
    chooseType(1);
    if (!exists)
        inst->dialogs.expectMessage(
            QStringLiteral("Número do Bilhete não existe nesta Rifa! O C.Bilhete máximo é: 1000"), BoxIcon::Warning,
            QStringLiteral("Korvante"));
    query(typed);
    QCOMPARE(w<QTableWidget>("DBGrid1")->rowCount(), exists ? 1 : 0);
    QCOMPARE(row("DBGrid2").size(), exists ? 10 : 0);
    clickRadio("RB_Validados");
}

void TestTicketQuery::allTicketsShowTheMark_data() {
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mark"); // what VALID_R1 of the ticket holds
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unsold control number") << 1 << "7"
                                           << "" << QStringList{"0007", ""};
    QTest::newRow("reserved control number") << 1 << "7"
                                             << "R" << QStringList{"0007", "R"};
    QTest::newRow("drawn number on a sold ticket") << 2 << "0042"
                                                   << "S" << QStringList{"0005", "S"};
}

void TestTicketQuery::allTicketsShowTheMark() {
    QFETCH(int, downs);
    QFETCH(QString, typed);
    QFETCH(QString, mark);
    QFETCH(QStringList, expected);
    if (!mark.isEmpty())
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS10_D SET VALID_R1=? WHERE NUMBILHETE=?"),
                           {mark, expected.at(0).toInt()}));
    clickRadio("RB_Gerais");
    QCOMPARE(titles("DBGrid1"), (QStringList{"Nº BILHETE", "PAGO"}));
    chooseType(downs);
    query(typed);
    QCOMPARE(w<QTableWidget>("DBGrid1")->rowCount(), 1);
    QCOMPARE(row("DBGrid1"), expected);
    QCOMPARE(row("DBGrid2").size(), 10);
    const int first = (expected.at(0).toInt() - 1) * 10;
    QCOMPARE(row("DBGrid2").first(), QString::number(first).rightJustified(4, u'0'));
    // Back to the validated tickets: both grids are emptied.
    clickRadio("RB_Validados");
    QCOMPARE(titles("DBGrid1").size(), 7);
    QVERIFY(row("DBGrid1").isEmpty());
    QVERIFY(row("DBGrid2").isEmpty());
}

void TestTicketQuery::refusedInput_data() {
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    const QString invalid = QStringLiteral("Favor informe um número válido!");
    QTest::newRow("no query type") << 0 << "5"
                                   << "Defina o tipo de Consulta em [ CONSULTAR POR ]" << int(BoxIcon::Error);
    QTest::newRow("empty field") << 1 << "" << invalid << int(BoxIcon::Warning);
    QTest::newRow("lone dash") << 2 << "-" << invalid << int(BoxIcon::Warning);
    QTest::newRow("a range") << 1 << "1-2" << invalid << int(BoxIcon::Warning);
}

void TestTicketQuery::refusedInput() {
    QFETCH(int, downs);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, icon);
    sell(5, QStringLiteral("ANA"));
    chooseType(1);
    query(QStringLiteral("5"));
    QCOMPARE(row("DBGrid1").value(1), QStringLiteral("ANA"));
    // A refused query leaves the field as typed and the last result on screen.
    if (downs == 0) {
        form.reset();
        form = std::make_unique<TForm_Consulta>(inst->context());
        form->show();
        w<QLineEdit>("Ed_numBilhete")->setFocus();
    } else {
        chooseType(downs - 1);
    }
    w<QLineEdit>("Ed_numBilhete")->clear();
    inst->dialogs.expectMessage(message, BoxIcon(icon));
    query(typed);
    QCOMPARE(w<QLineEdit>("Ed_numBilhete")->text(), typed);
    if (downs != 0) QCOMPARE(row("DBGrid1").value(1), QStringLiteral("ANA"));
}

void TestTicketQuery::fieldTakesDigitsAndDashAndEnterQueries() {
    sell(5, QStringLiteral("ANA"));
    chooseType(1);
    QTest::keyClicks(w<QLineEdit>("Ed_numBilhete"), QStringLiteral("0a 0x5.,"));
    QCOMPARE(w<QLineEdit>("Ed_numBilhete")->text(), QStringLiteral("005"));
    QTest::keyClick(w("Ed_numBilhete"), Qt::Key_Return);
    QCOMPARE(row("DBGrid1").value(1), QStringLiteral("ANA"));
    QVERIFY(form->isVisible()); // Enter ran the query, it did not close the window
}

void TestTicketQuery::menuOpensTheQueryWithTheRaffle() {
    form.reset();
    TForm_RIFA menu(inst->services());
    QVERIFY(RaffleChooser::chooseInMenu(menu, 1));
    QString raffle, modality, title;
    QTimer::singleShot(0, [&] {
        if (auto *v = qobject_cast<TForm_Consulta *>(QApplication::activeModalWidget())) {
            raffle = v->findChild<QLabel *>(QStringLiteral("LBL_StatusBingo"))->text();
            modality = v->findChild<QLabel *>(QStringLiteral("LBL_Modal"))->text();
            title = v->windowTitle();
            v->reject();
        }
    });
    clickIn(menu, "Img_Consulta");
    QCOMPARE(title, QStringLiteral("Consulta Bilhetes"));
    QCOMPARE(raffle, QStringLiteral("RIFA DO CARRO"));
    QCOMPARE(modality, QStringLiteral("0000 - 9999"));
}

KORVANTE_TEST(TestTicketQuery)
#include "TestTicketQuery.moc"
