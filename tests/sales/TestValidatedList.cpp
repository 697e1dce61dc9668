#include "SalesFixture.h"
#include "sales/TForm_Validacao.h"
#include "support/TestRegistry.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>

namespace {

const QString kRetirar = QStringLiteral("Deseja Retirar a Validação desse Controle de Bilhete?");
const QString kZerar1 = QStringLiteral("Deseja REALMENTE ZERAR todas as validações da Rifa?");
const QString kZerar2 = QStringLiteral("Confirma ZERAR as Validações?");

struct Sale {
    int ticket;
    double price;
    QString city;
    QVariant seller;
    QDate date;
    QString buyer;
};

// Typing as a keyboard does, accented letters included (QTest::keyClicks knows ASCII only).
void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

} // namespace

// The validated list of the validation window: listing, filters, totals, withdrawal (row and F7) and
// "Zerar Validações", driven with the mouse and the keyboard.
class TestValidatedList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void resetAsksTwiceWithNoPreselected();
    void resetKeepsReservationsAndNumbersAgainFromTheStart();
    void failedResetLeavesEverything();
    void pesquisarNeedsAChoice();
    void intervalZeroToZeroIsEmpty();
    void listShowsRowsSortsAndNumbers();
    void totalsAddUpExactly_data();
    void totalsAddUpExactly();
    void manyRowsAreCountedAndSummedExactly();
    void scrollingShowsEveryRowInOrder();
    void rowDeepInTheListIsWithdrawn();
    void filter_data();
    void filter();
    void f7Withdrawal_data();
    void f7Withdrawal();
    void rowWithdrawalFromTheMenu();
    void rowsGoToTheWhatsAppGroupFromTheMenu();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void click(const char *name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    void sell(const Sale &s);
    void sellPlain(int ticket, double price = 10) { sell({ticket, price, {}, {}, QDate(2026, 12, 10), {}}); }
    void reserve(int ticket) {
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='R' WHERE NUMBILHETE=?"), {ticket}));
    }
    void listAll() {
        click("Btn_ver");
        click("RB_Todas");
        click("Button3");
    }
    QStringList listedTickets() {
        QAbstractItemModel *m = w<QTableView>("DBGrid3")->model();
        QStringList t;
        for (int r = 0; r < m->rowCount(); ++r)
            t << m->index(r, 0).data().toString();
        return t;
    }
    QString text(const char *label) { return w<QLabel>(label)->text(); }
    // Selects the row with a click, opens the list's menu with the right button and picks the entry.
    void chooseFromRowMenu(int row, const char *entry) {
        auto *grid = w<QTableView>("DBGrid3");
        const QPoint at = grid->visualRect(grid->model()->index(row, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QContextMenuEvent right(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &right);
        auto *menu = form->findChild<QMenu *>(QStringLiteral("Pop_Validadas"));
        QVERIFY(menu && menu->isVisible());
        QAction *action = menu->findChild<QAction *>(QLatin1String(entry));
        QVERIFY(action);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    }
    int buyers() { return inst->count(QStringLiteral("DADOSCOMPRADOR_1")); }
    // Tickets 1 to n sold at one price; buyer names "B000".."B<n-1>" in a scattered order (37 n mod n).
    void sellMany(int n, double price) {
        QVERIFY(inst->exec(
            QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, AUT_DIGITAL_VAL, "
                           "DATA_VAL, NOMECOMP) WITH RECURSIVE R (N) AS (SELECT 1 FROM RDB$DATABASE UNION ALL "
                           "SELECT N + 1 FROM R WHERE N < %1) SELECT 1, N, CAST(? AS DOUBLE PRECISION), 'Sim', "
                           "'ABC123XYZ', DATE '2026-12-10', 'B' || LPAD(MOD(N * 37, %1), 3, '0') FROM R")
                .arg(n),
            {price}));
    }
    static QString shown(int ticket) { return QString::number(ticket).rightJustified(2, u'0'); }
    QString currentTicket() {
        auto *grid = w<QTableView>("DBGrid3");
        return grid->model()->index(grid->currentIndex().row(), 0).data().toString();
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Validacao> form;
};

void TestValidatedList::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (7, 'ANA LIMA')")));
    QVERIFY(inst->exec(
        QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE SOUZA')")));
    // A failure the test can switch on for its own connection: any change of a ticket row fails.
    QVERIFY(inst->exec(QStringLiteral("CREATE EXCEPTION E_FALHA_TESTE 'falha forçada pelo teste'")));
    QVERIFY(inst->exec(QStringLiteral(
        "CREATE TRIGGER BS2_100G_FALHA FOR BS2_100G ACTIVE BEFORE UPDATE POSITION 9 AS\n"
        "BEGIN\n"
        "  IF (RDB$GET_CONTEXT('USER_SESSION', 'FALHAR') = '1') THEN EXCEPTION E_FALHA_TESTE;\n"
        "END")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
}

void TestValidatedList::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL")));
    inst->dialogs.clear();
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->setEvento(QStringLiteral("RIFA DO CARRO"));
    form->setValor(10);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestValidatedList::cleanup() {
    form.reset();
    inst->scalar(QStringLiteral("SELECT RDB$SET_CONTEXT('USER_SESSION', 'FALHAR', NULL) FROM RDB$DATABASE"));
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestValidatedList::sell(const Sale &s) {
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                  "AUT_DIGITAL_VAL, DATA_VAL, CIDCOMP, COD_VENDEDOR, NOMECOMP) "
                                  "VALUES (1, ?, ?, 'Sim', 'ABC123XYZ', ?, ?, ?, ?)"),
                   {s.ticket, s.price, s.date, s.city.isEmpty() ? QVariant() : QVariant(s.city),
                    s.seller.isValid() ? s.seller : QVariant(QMetaType::fromType<int>()),
                    s.buyer.isEmpty() ? QVariant() : QVariant(s.buyer)}));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=?"), {s.ticket}));
}

void TestValidatedList::resetAsksTwiceWithNoPreselected() {
    sellPlain(3);
    sellPlain(4);
    // The first question answered No: nothing else is asked or changed.
    inst->dialogs.expectQuestion(kZerar1, false);
    click("Button1");
    QCOMPARE(inst->dialogs.shown.size(), 1);
    // The second answered No.
    inst->dialogs.expectQuestion(kZerar1, true);
    inst->dialogs.expectQuestion(kZerar2, false);
    inst->dialogs.expectMessage(QStringLiteral("Processo Cancelado!"), BoxIcon::Information);
    click("Button1");
    QCOMPARE(inst->dialogs.shown.size(), 4);
    for (int i : {0, 1, 2}) {
        QVERIFY2(!inst->dialogs.shown[i].defaultYes, "one Enter must never wipe every sale");
        QCOMPARE(inst->dialogs.shown[i].title, QStringLiteral("KORVANTE"));
    }
    QCOMPARE(inst->dialogs.shown[2].icon, BoxIcon::Warning);
    QCOMPARE(buyers(), 2);
    QCOMPARE(SalesFixture::mark(*inst, 3), QStringLiteral("S"));
}

void TestValidatedList::resetKeepsReservationsAndNumbersAgainFromTheStart() {
    for (int t : {3, 4, 5})
        sellPlain(t);
    reserve(8);
    reserve(9);
    QVERIFY(inst->scalar(QStringLiteral("SELECT MAX(AUTOCOD) FROM DADOSCOMPRADOR_1")).toInt() > 1);
    inst->dialogs.expectQuestion(kZerar1, true);
    inst->dialogs.expectQuestion(kZerar2, true);
    inst->dialogs.expectMessage(QStringLiteral("Validações Zeradas com Sucesso!"), BoxIcon::Information);
    click("Button1");
    QCOMPARE(buyers(), 0);
    for (int t : {3, 4, 5})
        QCOMPARE(SalesFixture::mark(*inst, t), QString());
    QCOMPARE(SalesFixture::mark(*inst, 8), QStringLiteral("R"));
    QCOMPARE(SalesFixture::mark(*inst, 9), QStringLiteral("R"));

    w<QLineEdit>("ED_NUM_BILHETE")->setFocus();
    QTest::keyClicks(w("ED_NUM_BILHETE"), QStringLiteral("11"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT AUTOCOD FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=11")).toInt(),
             1);
    QCOMPARE(SalesFixture::mark(*inst, 11), QStringLiteral("S"));
}

void TestValidatedList::failedResetLeavesEverything() {
    // Rows numbered 1 to 3, then the generator is far ahead of them.
    for (int t : {3, 4, 5})
        sellPlain(t);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("ALTER SEQUENCE GEN_DADOSCOMPRADOR_1_ID RESTART WITH 0")));
    for (int t : {3, 4, 5})
        sellPlain(t);
    reserve(8);
    inst->scalar(QStringLiteral("SELECT RDB$SET_CONTEXT('USER_SESSION', 'FALHAR', '1') FROM RDB$DATABASE"));
    inst->dialogs.expectQuestion(kZerar1, true);
    inst->dialogs.expectQuestion(kZerar2, true);
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    click("Button1");
    QVERIFY2(inst->dialogs.shown.last().text.startsWith(QStringLiteral("Erro ao Validar. Detalhe do Erro: ")),
             qPrintable(inst->dialogs.shown.last().text));
    QVERIFY(inst->dialogs.shown.last().text.contains(QStringLiteral("falha forçada pelo teste")));
    QCOMPARE(buyers(), 3);
    for (int t : {3, 4, 5})
        QCOMPARE(SalesFixture::mark(*inst, t), QStringLiteral("S"));
    QCOMPARE(SalesFixture::mark(*inst, 8), QStringLiteral("R"));

    // The rows came back, so the numbering must not start again under them.
    inst->scalar(QStringLiteral("SELECT RDB$SET_CONTEXT('USER_SESSION', 'FALHAR', NULL) FROM RDB$DATABASE"));
    w<QLineEdit>("ED_NUM_BILHETE")->setFocus();
    QTest::keyClicks(w("ED_NUM_BILHETE"), QStringLiteral("12"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QCOMPARE(SalesFixture::buyerRows(*inst, 12), 1);
    QCOMPARE(SalesFixture::mark(*inst, 12), QStringLiteral("S"));
    QCOMPARE(buyers(), 4);
}

void TestValidatedList::pesquisarNeedsAChoice() {
    sellPlain(3);
    click("Btn_ver");
    QVERIFY(w("Panel_PeqVal")->isVisible());
    QVERIFY(w<QRadioButton>("RB_Todas")->isChecked());
    click("Img_FecharPeqVal");
    QVERIFY(!w("Panel_PeqVal")->isVisible());
    click("Btn_ver");
    inst->dialogs.expectMessage(QStringLiteral("Favor, marque uma das opções de Como Deseja Ver!"),
                                BoxIcon::Warning);
    click("Button3");
    QVERIFY(!w("Panel8")->isVisible());
}

void TestValidatedList::intervalZeroToZeroIsEmpty() {
    for (int t : {1, 2, 3})
        sellPlain(t);
    click("Btn_ver");
    click("RB_Intervalo");
    QCOMPARE(w<QLineEdit>("Ed_V_Inicial")->text(), QStringLiteral("0"));
    QCOMPARE(w<QLineEdit>("Ed_V_Final")->text(), QStringLiteral("0"));
    click("Button3");
    QVERIFY(w("Panel8")->isVisible());
    QVERIFY(!w("Panel_PeqVal")->isVisible());
    QCOMPARE(listedTickets(), QStringList());
    QCOMPARE(text("Lbl_N_Total"), QStringLiteral("0"));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 0,00"));

    // 2 to 3 typed over the zeros: both ends are in.
    click("Btn_ver");
    click("RB_Intervalo");
    for (const auto &[field, typed] : {std::pair{"Ed_V_Inicial", "2x"}, std::pair{"Ed_V_Final", "3"}}) {
        w<QLineEdit>(field)->setFocus();
        QTest::keyClick(w(field), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w(field), QString::fromLatin1(typed));
    }
    QCOMPARE(w<QLineEdit>("Ed_V_Inicial")->text(), QStringLiteral("2"));
    QTest::keyClick(w("Ed_V_Final"), Qt::Key_Return);
    QCOMPARE(listedTickets(), (QStringList{QStringLiteral("02"), QStringLiteral("03")}));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 20,00"));
    QCOMPARE(buyers(), 3);
}

void TestValidatedList::listShowsRowsSortsAndNumbers() {
    sell({4, 10, QStringLiteral("CAMPINAS"), 12, QDate(2026, 12, 1), QStringLiteral("ZECA")});
    sell({9, 10, QStringLiteral("SANTOS"), 7, QDate(2026, 12, 2), QStringLiteral("ANA")});
    sell({2, 12.5, {}, {}, QDate(2026, 12, 3), QStringLiteral("MARIA")});
    listAll();
    QCOMPARE(listedTickets(),
             (QStringList{QStringLiteral("02"), QStringLiteral("04"), QStringLiteral("09")}));
    QAbstractItemModel *m = w<QTableView>("DBGrid3")->model();
    QStringList titles;
    for (int c = 0; c < m->columnCount(); ++c)
        titles << m->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Nº C. BIlhete", "COMPRADOR", "FONE", "CIDCOMP", "PAGO", "DATA", "VALOR",
                                  "VENDEDOR", "AUT.DIGITAL"}));
    QStringList second;
    for (int c = 0; c < m->columnCount(); ++c)
        second << m->index(1, c).data().toString();
    QCOMPARE(second, (QStringList{"04", "ZECA", "", "CAMPINAS", "Sim", "01/12/2026", "R$ 10,00", "JOSE SOUZA",
                                  "ABC123XYZ"}));
    QCOMPARE(text("Lbl_N_Total"), QStringLiteral("3"));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 32,50"));

    // The first row is selected: its numbers show; a click on another row shows that ticket's.
    auto *numbers = w<QTableWidget>("DBGrid1");
    QCOMPARE(numbers->item(0, 0)->text(), QStringLiteral("02"));
    QCOMPARE(numbers->item(0, 1)->text(), QStringLiteral("03"));
    QCOMPARE(numbers->item(0, 2)->text(), QString());
    auto *grid = w<QTableView>("DBGrid3");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(2, 1)).center());
    QCOMPARE(numbers->item(0, 0)->text(), QStringLiteral("16"));
    QCOMPARE(numbers->item(0, 1)->text(), QStringLiteral("17"));

    // A click on the buyer title sorts by buyer; closing the list drops the sort.
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    QCOMPARE(listedTickets(),
             (QStringList{QStringLiteral("09"), QStringLiteral("02"), QStringLiteral("04")}));
    click("Img_FecharLista");
    QVERIFY(!w("Panel8")->isVisible());
    listAll();
    QCOMPARE(listedTickets(),
             (QStringList{QStringLiteral("02"), QStringLiteral("04"), QStringLiteral("09")}));
}

void TestValidatedList::totalsAddUpExactly_data() {
    QTest::addColumn<QList<double>>("prices");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("total");
    QList<double> cents(30, 0.7);
    cents << 0.005; // summed as doubles this gives 21,00
    QTest::newRow("thirty of 0,70 and half a cent") << cents << "31"
                                                    << "R$ 21,01";
    QTest::newRow("thousands") << QList<double>{1234.5} << "1"
                               << "R$ 1.234,50";
    QTest::newRow("a million") << QList<double>{999999.99, 0.01, 0.1, 0.2} << "4"
                               << "R$ 1.000.000,30";
}

void TestValidatedList::totalsAddUpExactly() {
    QFETCH(QList<double>, prices);
    QFETCH(QString, count);
    QFETCH(QString, total);
    for (int i = 0; i < prices.size(); ++i)
        sellPlain(i + 1, prices[i]);
    listAll();
    QCOMPARE(text("Lbl_N_Total"), count);
    QCOMPARE(text("Lbl_TotalVend"), total);
}

void TestValidatedList::manyRowsAreCountedAndSummedExactly() {
    // Far more rows than the first screen: the count and the sum are of every row, in whole
    // ten-thousandths (999 × 0,01 + 0,005 is 9,995, which a floating sum makes 9,99499…).
    sellMany(999, 0.01);
    sellPlain(1000, 0.005);
    listAll();
    QCOMPARE(text("Lbl_N_Total"), QStringLiteral("1000"));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 10,00"));
    QCOMPARE(w<QTableView>("DBGrid3")->model()->rowCount(), 1000);
}

void TestValidatedList::scrollingShowsEveryRowInOrder() {
    const int n = 173;
    sellMany(n, 2.5);
    listAll();
    QCOMPARE(text("Lbl_N_Total"), QString::number(n));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 432,50"));
    auto *grid = w<QTableView>("DBGrid3");
    QCOMPARE(currentTicket(), shown(1));

    // Page by page from the top: every ticket once, in order, to the last.
    QStringList paged{currentTicket()};
    for (int i = 0; i < 100 && grid->currentIndex().row() < n - 1; ++i) {
        QTest::keyClick(grid, Qt::Key_PageDown);
        for (int r = paged.size(); r <= grid->currentIndex().row(); ++r)
            paged << grid->model()->index(r, 0).data().toString();
    }
    QStringList expected;
    for (int t = 1; t <= n; ++t)
        expected << shown(t);
    QCOMPARE(paged, expected);

    // A new list, straight to its end and back: the jump shows the last rows, then every row is right.
    click("Img_FecharLista");
    listAll();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid->currentIndex().row(), n - 1);
    QCOMPARE(currentTicket(), shown(n));
    QCOMPARE(grid->model()->index(n - 2, 0).data().toString(), shown(n - 1));
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(currentTicket(), shown(1));
    QCOMPARE(listedTickets(), expected);

    // Sorted by buyer, the end first: the rows in buyer order, then the totals are the same.
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    QStringList byBuyer(n);
    for (int t = 1; t <= n; ++t)
        byBuyer[(t * 37) % n] = shown(t);
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(currentTicket(), byBuyer.last());
    QCOMPARE(grid->model()->index(n - 1, 1).data().toString(), QStringLiteral("B172"));
    QCOMPARE(listedTickets(), byBuyer);
    QCOMPARE(text("Lbl_N_Total"), QString::number(n));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 432,50"));
}

void TestValidatedList::rowDeepInTheListIsWithdrawn() {
    const int n = 130;
    sellMany(n, 10);
    listAll();
    auto *grid = w<QTableView>("DBGrid3");
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(currentTicket(), shown(121));
    inst->dialogs.expectQuestion(kRetirar, true, QStringLiteral("Korvante"));
    chooseFromRowMenu(grid->currentIndex().row(), "RetirarValidacao1");
    QTRY_COMPARE(SalesFixture::buyerRows(*inst, 121), 0);
    QCOMPARE(buyers(), n - 1);
    // The list is read again: the same place now holds the next ticket, and nothing else moved.
    QCOMPARE(grid->currentIndex().row(), 120);
    QCOMPARE(currentTicket(), shown(122));
    QCOMPARE(text("Lbl_N_Total"), QString::number(n - 1));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 1.290,00"));
    QStringList expected;
    for (int t = 1; t <= n; ++t)
        if (t != 121) expected << shown(t);
    QCOMPARE(listedTickets(), expected);
}

void TestValidatedList::filter_data() {
    QTest::addColumn<QString>("choice"); // typed into the choice list
    QTest::addColumn<QString>("typed");  // into the text field, or the seller list
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("tickets");
    QTest::addColumn<QString>("message");

    QTest::newRow("city typed in lower case") << "C"
                                              << "são paulo"
                                              << ""
                                              << "" << QStringList{"03", "05"} << "";
    QTest::newRow("city with a quote") << "C"
                                       << "d'ávila"
                                       << ""
                                       << "" << QStringList{"04"} << "";
    QTest::newRow("dates include both ends") << "D"
                                             << ""
                                             << "01/12/2026"
                                             << "10/12/2026" << QStringList{"03", "04", "05"} << "";
    QTest::newRow("dates typed as digits") << "D"
                                           << ""
                                           << "05122026"
                                           << "11122026" << QStringList{"04", "05", "06"} << "";
    QTest::newRow("seller") << "V"
                            << "1"
                            << ""
                            << "" << QStringList{"03", "06"} << "";
    QTest::newRow("validated ticket") << "N"
                                      << "4"
                                      << ""
                                      << "" << QStringList{"04"} << "";
    QTest::newRow("ticket not validated")
        << "N"
        << "8"
        << ""
        << "" << QStringList{} << "O Bilhete informado ainda não foi Validado!";
    QTest::newRow("no choice") << ""
                               << ""
                               << ""
                               << "" << QStringList{"03", "04", "05", "06"}
                               << "Favor, escolha uma das opções de Filtrar Por!";
}

void TestValidatedList::filter() {
    QFETCH(QString, choice);
    QFETCH(QString, typed);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, tickets);
    QFETCH(QString, message);
    sell({3, 10, QStringLiteral("SÃO PAULO"), 12, QDate(2026, 12, 1), {}});
    sell({4, 10, QStringLiteral("D'ÁVILA"), 7, QDate(2026, 12, 5), {}});
    sell({5, 10, QStringLiteral("SÃO PAULO"), {}, QDate(2026, 12, 10), {}});
    sell({6, 10, QStringLiteral("CAMPINAS"), 12, QDate(2026, 12, 11), {}});
    listAll();
    click("Button2");
    QVERIFY(w("Panel_FiltroValidar")->isVisible());
    auto *sellers = w<QComboBox>("cmb_vendedor");
    QCOMPARE(sellers->count(), 2);
    QCOMPARE(sellers->itemText(0), QStringLiteral("07-ANA LIMA"));
    if (!choice.isEmpty()) QTest::keyClicks(w("cmb_PesqValidada"), choice);
    if (choice == u"V") {
        QVERIFY(sellers->isVisible());
        QTest::keyClicks(sellers, typed);
        QCOMPARE(sellers->currentText(), QStringLiteral("12-JOSE SOUZA"));
    } else if (!typed.isEmpty()) {
        QVERIFY(w("Ed_CidVal")->isVisible());
        QCOMPARE(form->focusWidget(), w("Ed_CidVal"));
        typeText(w("Ed_CidVal"), typed);
    }
    for (const auto &[field, date] : {std::pair{"DateEdit_De", from}, std::pair{"DateEdit_Ate", to}})
        if (!date.isEmpty()) {
            w(field)->setFocus();
            QTest::keyClicks(w(field), date);
        }
    if (message.startsWith(u'O'))
        inst->dialogs.expectMessage(message, BoxIcon::Warning, QStringLiteral("Korvante"));
    else if (!message.isEmpty())
        inst->dialogs.expectMessage(message, BoxIcon::Warning);
    click("BitBtn1");
    QCOMPARE(listedTickets(), tickets);
    QCOMPARE(text("Lbl_N_Total"), QString::number(tickets.size()));
    QCOMPARE(text("Lbl_TotalVend"), tickets.isEmpty() ? QStringLiteral("R$ 0,00")
                                                      : QStringLiteral("R$ %1,00").arg(10 * tickets.size()));
    QCOMPARE(w("Panel_FiltroValidar")->isVisible(), choice.isEmpty());
}

void TestValidatedList::f7Withdrawal_data() {
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("marks"); // of 20, 21, 22 afterwards
    QTest::addColumn<QString>("field");

    const QString done = QStringLiteral("Bilhete Excluso com Sucesso!");
    const QString notFound = QStringLiteral("Não foi possível Localizar o Bilhete Informado!");
    QTest::newRow("range with one sold")
        << QVariant("20-22") << done << int(BoxIcon::Information) << QStringList{"", "", "R"} << "";
    QTest::newRow("one number") << QVariant("21") << done << int(BoxIcon::Information)
                                << QStringList{"", "", "R"} << "";
    QTest::newRow("never validated") << QVariant("30") << notFound << int(BoxIcon::Error)
                                     << QStringList{"", "S", "R"} << "30";
    QTest::newRow("range with none sold")
        << QVariant("22-25") << notFound << int(BoxIcon::Error) << QStringList{"", "S", "R"} << "22-25";
    QTest::newRow("cancelled") << QVariant() << "Invalidação Cancelada" << int(BoxIcon::None)
                               << QStringList{"", "S", "R"} << "";
    QTest::newRow("empty answer") << QVariant("") << "Invalidação Cancelada" << int(BoxIcon::None)
                                  << QStringList{"", "S", "R"} << "";
    QTest::newRow("not a number") << QVariant("2l") << "'2l' não é um número válido." << int(BoxIcon::Error)
                                  << QStringList{"", "S", "R"} << "2l";
    QTest::newRow("range without its end") << QVariant("21-") << "'21-' não é um número válido."
                                           << int(BoxIcon::Error) << QStringList{"", "S", "R"} << "21-";
}

void TestValidatedList::f7Withdrawal() {
    QFETCH(QVariant, answer);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QStringList, marks);
    QFETCH(QString, field);
    sellPlain(21);
    sellPlain(40);
    reserve(22);
    inst->dialogs.expectInput(answer);
    inst->dialogs.expectMessage(message, BoxIcon(icon));
    w("ED_NUM_BILHETE")->setFocus();
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_F7);
    QCOMPARE(inst->dialogs.shown.first().title, QStringLiteral("Retirar validação de Bilhete"));
    QCOMPARE(inst->dialogs.shown.first().text, QStringLiteral("Qual o Nº do Bilhete a Invalidar?"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 21), marks[1] == u"S" ? 1 : 0);
    QStringList now;
    for (int t : {20, 21, 22})
        now << SalesFixture::mark(*inst, t);
    QCOMPARE(now, marks);
    QCOMPARE(SalesFixture::buyerRows(*inst, 40), 1);
    QCOMPARE(SalesFixture::mark(*inst, 40), QStringLiteral("S"));
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), field);
}

void TestValidatedList::rowWithdrawalFromTheMenu() {
    for (int t : {3, 4, 5})
        sellPlain(t);
    listAll();
    auto *grid = w<QTableView>("DBGrid3");
    const QPoint at = grid->visualRect(grid->model()->index(1, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    // The right button: what the system sends to the list.
    QContextMenuEvent right(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &right);
    auto *menu = form->findChild<QMenu *>(QStringLiteral("Pop_Validadas"));
    QVERIFY(menu && menu->isVisible());
    QStringList entries;
    for (QAction *a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(entries, (QStringList{"                   :: OPÇÕES ::", "-", "Enviar por WhatsSapp", "-",
                                   "Agrupar Para Envio por WhatsApp...", "-", "", "-",
                                   "                Retirar Validação", "-"}));
    QVERIFY(!menu->actions().first()->isEnabled());
    QAction *retirar = menu->findChild<QAction *>(QStringLiteral("RetirarValidacao1"));
    QVERIFY(retirar);
    inst->dialogs.expectQuestion(kRetirar, true, QStringLiteral("Korvante"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(retirar).center());
    QTRY_COMPARE(SalesFixture::buyerRows(*inst, 4), 0);
    QCOMPARE(SalesFixture::mark(*inst, 4), QString());
    QCOMPARE(listedTickets(), (QStringList{QStringLiteral("03"), QStringLiteral("05")}));
    QCOMPARE(text("Lbl_N_Total"), QStringLiteral("2"));
    QCOMPARE(text("Lbl_TotalVend"), QStringLiteral("R$ 20,00"));

    // Answered No, nothing goes.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 1)).center());
    QApplication::sendEvent(grid->viewport(), &right);
    QVERIFY(menu->isVisible());
    inst->dialogs.expectQuestion(kRetirar, false, QStringLiteral("Korvante"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(retirar).center());
    QTRY_VERIFY(inst->dialogs.scriptDone());
    QCOMPARE(buyers(), 2);
}

void TestValidatedList::rowsGoToTheWhatsAppGroupFromTheMenu() {
    for (int t : {3, 4})
        sellPlain(t);
    QVERIFY(inst->exec(QStringLiteral("UPDATE DADOSCOMPRADOR_1 SET FONECOMP='(11) 98765-4321' WHERE NUMBILHETE=3")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE DADOSCOMPRADOR_1 SET FONECOMP='(21) 3333-4444' WHERE NUMBILHETE=4")));
    inst->raffle.QtBilhetesEnvio = 0;
    listAll();
    chooseFromRowMenu(1, "AgruparParaEnvio1");
    auto *group = w<QListWidget>("List_Agrupar");
    QVERIFY(w("Panel_Agrupa_Whats")->isVisible());
    QCOMPARE(w("Panel_Agrupa_Whats")->pos(), QPoint(574, 177));
    QCOMPARE(group->count(), 1);
    QCOMPARE(group->item(0)->text(), QStringLiteral("04"));
    QCOMPARE(inst->raffle.FoneEnvio, QStringLiteral("(21) 3333-4444"));
    // With the group open and filled, sending a row adds it to the group instead.
    chooseFromRowMenu(0, "EnviarporWhatsSapp1");
    QCOMPARE(group->count(), 2);
    QCOMPARE(group->item(1)->text(), QStringLiteral("03"));
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 2);
    QCOMPARE(inst->raffle.FoneEnvio, QStringLiteral("(11) 98765-4321"));
    QVERIFY(inst->dialogs.shown.isEmpty()); // no "not available" box
}

KORVANTE_TEST(TestValidatedList)
#include "TestValidatedList.moc"
