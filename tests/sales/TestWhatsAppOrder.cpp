#include "mainwindow/TForm_RIFA.h"
#include "sales/ReplacementChoices.h"
#include "sales/TForm_Validacao.h"
#include "sales/WidgetWhatsAppOrder.h"
#include "salespage/OrderMessage.h"
#include "salespage/SalesPageFixture.h"
#include "support/LayoutCheck.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"
#include "whatsapp/TForm_Whats.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTableView>
#include <QDir>
#include <QTextEdit>
#include <QTimer>

namespace {

// The order as the page sends it, with WhatsApp's bold asterisks.
QString sent(const QStringList &tickets, const QString &seller = QStringLiteral("Nao Informar"),
             const QString &block = QStringLiteral("1 ao 60"), const QString &name = QStringLiteral("MARIA DA SILVA")) {
    OrderMessage m{tickets,
                   name,
                   QStringLiteral("Rua das Flores, 10 "),
                   QStringLiteral("Campinas"),
                   QStringLiteral("SP"),
                   QStringLiteral("(11) 98765-4321"),
                   QStringLiteral("R$ 5,00"),
                   seller,
                   block};
    return m.text();
}

// The order as WhatsApp shows it: the asterisks are bold markup there, not copied text.
QString displayed(const QStringList &tickets, const QString &seller = QStringLiteral("Nao Informar"),
                  const QString &block = QStringLiteral("1 ao 60"),
                  const QString &name = QStringLiteral("MARIA DA SILVA")) {
    return sent(tickets, seller, block, name).remove(u'*');
}

struct HandOverSeen {
    WhatsAppHandOver handOver;
    QString orderText; // the panel's text when it was handed over
};

} // namespace

// The WhatsApp order panel of the validation window, worked as the organiser works it.
class TestWhatsAppOrder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void freeOrderValidatesEveryTicket_data();
    void freeOrderValidatesEveryTicket();
    void sellerFromMessageOrList_data();
    void sellerFromMessageOrList();
    void refusedOrdersValidateNothing_data();
    void refusedOrdersValidateNothing();
    void soldTicketReplacedFromTheBlock();
    void allSoldValidatesNothingAndOffersReplacements();
    void unreplacedTicketAsksOnSecondPass_data();
    void unreplacedTicketAsksOnSecondPass();
    void outsideListOffersReserveBeforeTheRaffle_data();
    void outsideListOffersReserveBeforeTheRaffle();
    void doubleClickNeverInsertsATicketTwice();
    void automaticPicksAmongTheOffered();
    void concludingWithTicketsLeftAsks();
    void groupPanelSendsAndIsCleared();
    void lastValidatedTicketSentAlone();
    void escClosesThePanel();
    void handOverDrawsThePicturesAndOpensTheSendingWindow_data();
    void handOverDrawsThePicturesAndOpensTheSendingWindow();
    void refusedLineIsTriedAgainAtTheNextPass();
    void handOverStepsAsideAndTheWindowGoesOn();
    void panelsShowEveryControlWhole();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void clickLabel(const char *name) {
        QLabel *l = w<QLabel>(name);
        QTest::mouseClick(l, Qt::LeftButton, {}, l->rect().center());
    }
    void click(const char *button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void paste(const QString &text) {
        // The order as copied from WhatsApp; the person then clicks "Colar Dados".
        QGuiApplication::clipboard()->setText(text);
        click("BTN_Colar");
    }
    void openAndPaste(const QString &text) {
        clickLabel("IMM_ValidaMaisZap");
        paste(text);
    }
    QString orderText() { return w<QTextEdit>("Rich_DadosW")->toPlainText(); }
    QString label(const char *name) { return w<QLabel>(name)->text(); }
    bool sell(int ticket) {
        return inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                         "AUT_DIGITAL_VAL, DATA_VAL) VALUES (1, ?, 2.5, 'Sim', 'ABC', ?)"),
                          {ticket, QDate(2026, 12, 1)}) &&
               SalesPageFixture::markTicket(*inst, ticket, QStringLiteral("S"));
    }
    QVariant column(const QString &col, int ticket) {
        return inst->scalar(QStringLiteral("SELECT %1 FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=?").arg(col), {ticket});
    }
    int buyerRows() { return inst->count(QStringLiteral("DADOSCOMPRADOR_1")); }
    QString mark(int ticket) {
        return inst->scalar(QStringLiteral("SELECT VALID_R1 FROM BS4_D WHERE NUMBILHETE=?"), {ticket})
            .toString()
            .trimmed();
    }
    // Double-clicks the row of a control number in one of the two lists.
    bool doubleClick(const char *gridName, int numBilhete) {
        auto *grid = w<QTableView>(gridName);
        auto *model = qobject_cast<ReplacementChoices *>(grid->model());
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->numBilhete(r) == numBilhete) {
                const QModelIndex i = model->index(r, 0);
                grid->scrollTo(i);
                const QPoint at = grid->visualRect(i).center();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
                return true;
            }
        return false;
    }
    QList<int> listed(const char *gridName) {
        auto *model = qobject_cast<ReplacementChoices *>(w<QTableView>(gridName)->model());
        QList<int> numbers;
        for (int r = 0; r < model->rowCount(); ++r)
            numbers << model->numBilhete(r);
        return numbers;
    }
    static QList<int> range(int from, int to, QList<int> except = {}) {
        QList<int> r;
        for (int n = from; n <= to; ++n)
            if (!except.contains(n)) r << n;
        return r;
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Validacao> form;
    QList<HandOverSeen> handOvers;
};

void TestWhatsAppOrder::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (4, 'JOANA')")));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE SOUZA')")));
    // "0000 - 9999" with 4 numbers per ticket: tickets C-0001 to C-2500.
    QVERIFY(SalesPageFixture::chooseRaffle(*inst, SalesPageFixture::Raffle{}));
    QCOMPARE(inst->raffle.TabelaBaseUsar, QStringLiteral("BS4_D"));
}

void TestWhatsAppOrder::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS4_D SET VALID_R1=NULL")));
    inst->raffle.QtBilhetesEnvio = 0;
    inst->raffle.FoneEnvio.clear();
    inst->dialogs.clear();
    handOvers.clear();
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->setEvento(QStringLiteral("RIFA DA MOTO"));
    form->setValor(2.5);
    form->whatsAppOrder()->setHandOver([this](const WhatsAppHandOver &h) { handOvers.append({h, orderText()}); });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestWhatsAppOrder::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestWhatsAppOrder::freeOrderValidatesEveryTicket_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("bold"); // copied with WhatsApp's asterisks
    QTest::newRow("plain name") << "MARIA DA SILVA" << "MARIA DA SILVA" << false;
    // Characters Windows-1252 cannot hold never abort the order.
    QTest::newRow("emoji in the name") << QStringLiteral("MARIA \U0001F600 ŁUCJA") << "MARIA ? ?UCJA" << false;
    QTest::newRow("bold asterisks kept") << "MARIA DA SILVA" << "MARIA DA SILVA" << true;
}

void TestWhatsAppOrder::freeOrderValidatesEveryTicket() {
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(bool, bold);
    clickLabel("IMM_ValidaMaisZap");
    QVERIFY(form->whatsAppPanelOpen());
    QVERIFY(w<QRadioButton>("RB_Sim")->isChecked()); // extra fields switched on
    QCOMPARE(w<QComboBox>("cmb_VendW")->currentIndex(), -1);
    QCOMPARE(w<QComboBox>("cmb_VendW")->itemText(2), QStringLiteral("12-JOSE SOUZA"));
    const QStringList tickets{QStringLiteral("C-0041"), QStringLiteral("C-0042")};
    paste(bold ? sent(tickets, QStringLiteral("4"), QStringLiteral("1 ao 60"), name)
               : displayed(tickets, QStringLiteral("4"), QStringLiteral("1 ao 60"), name));
    click("BTN_ValidarDadosW");

    QCOMPARE(buyerRows(), 2);
    for (int t : {41, 42}) {
        QCOMPARE(column("NOMECOMP", t).toString().trimmed(), stored);
        QCOMPARE(column("ENDCOMP", t).toString(), QStringLiteral("Rua das Flores, 10"));
        QCOMPARE(column("CIDCOMP", t).toString(), QStringLiteral("CAMPINAS/SP"));
        QCOMPARE(column("FONECOMP", t).toString().trimmed(), QStringLiteral("11987654321"));
        QCOMPARE(column("COD_VENDEDOR", t).toInt(), 4);
        QCOMPARE(column("DATA_VAL", t).toDate(), QDate(2026, 12, 10));
        QCOMPARE(column("VALOR", t).toDouble(), 2.5);
        QCOMPARE(mark(t), QStringLiteral("S"));
    }
    QCOMPARE(handOvers.size(), 1);
    const WhatsAppHandOver &h = handOvers[0].handOver;
    QCOMPARE(h.qtBilhetesEnvio, 2);
    QCOMPARE(h.tickets, QStringList({QStringLiteral("0041"), QStringLiteral("0042")}));
    QCOMPARE(h.foneEnvio, QStringLiteral("11987654321"));
    const QStringList lines = handOvers[0].orderText.split(u'\n');
    QCOMPARE(lines.mid(2, 2), QStringList({QStringLiteral("C-0041-OK"), QStringLiteral("C-0042-OK")}));
    QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("RIFA DA MOTO"));
    QVERIFY(!w("Panel_Sugestao")->isVisible());

    // The order text is gone: a second "VALIDAR" does nothing.
    QCOMPARE(orderText(), QString());
    click("BTN_ValidarDadosW");
    QCOMPARE(buyerRows(), 2);
    QCOMPARE(handOvers.size(), 1);
}

void TestWhatsAppOrder::sellerFromMessageOrList_data() {
    QTest::addColumn<QString>("inMessage");
    QTest::addColumn<int>("downs"); // keys pressed in the seller list; 0 = no choice
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("Nao Informar, no choice") << "Nao Informar" << 0 << QVariant();
    QTest::newRow("Nao Informar, Não Informar chosen") << "Nao Informar" << 1 << QVariant();
    QTest::newRow("Nao Informar, seller 12 chosen") << "Nao Informar" << 3 << QVariant(12);
    QTest::newRow("seller in the message wins") << "4" << 3 << QVariant(4);
}

void TestWhatsAppOrder::sellerFromMessageOrList() {
    QFETCH(QString, inMessage);
    QFETCH(int, downs);
    QFETCH(QVariant, stored);
    clickLabel("IMM_ValidaMaisZap");
    auto *list = w<QComboBox>("cmb_VendW");
    list->setFocus();
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    paste(displayed({QStringLiteral("C-0007")}, inMessage));
    click("BTN_ValidarDadosW");
    QCOMPARE(buyerRows(), 1);
    QCOMPARE(column("COD_VENDEDOR", 7).isNull(), stored.isNull());
    if (!stored.isNull()) QCOMPARE(column("COD_VENDEDOR", 7).toInt(), stored.toInt());
    // One ticket goes alone.
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.qtBilhetesEnvio, 1);
    QCOMPARE(handOvers[0].handOver.bilheteUnico, QStringLiteral("0007"));
}

void TestWhatsAppOrder::refusedOrdersValidateNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("extraFieldsOff");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    const QString bloco = QStringLiteral("Não foi possível identificar na Última Linha de dados Colada o campo BLOCO. "
                                         "Favor, selecione e cole os dados Novamente!");
    const QString two = displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")});
    QTest::newRow("ends with an empty line") << two + u'\n' << false << bloco << int(BoxIcon::Error) << "KORVANTE";
    QTest::newRow("not an order") << "Oi, tudo bem?" << false << bloco << int(BoxIcon::Error) << "KORVANTE";
    QTest::newRow("too short for its lines")
        << QStringLiteral("C-0041\n Vend: Nao Informar\n Bloco: 1 ao 60") << false
        << WidgetWhatsAppOrder::tooShortMessage() << int(BoxIcon::Error) << "KORVANTE";
    QStringList many;
    for (int t = 1; t <= 21; ++t)
        many << QStringLiteral("C-%1").arg(t, 4, 10, QChar(u'0'));
    QTest::newRow("21 tickets") << displayed(many) << false << WidgetWhatsAppOrder::tooManyMessage(21)
                                << int(BoxIcon::Error) << "KORVANTE";
    QTest::newRow("extra fields off")
        << two << true
        << "Para usar esse recurso ao opção ATIVAR CAMPOS EXTRAS deverá esta marcado com SIM"
        << int(BoxIcon::Information) << "Korvante";
}

void TestWhatsAppOrder::refusedOrdersValidateNothing() {
    QFETCH(QString, text);
    QFETCH(bool, extraFieldsOff);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QString, title);
    openAndPaste(text);
    if (extraFieldsOff) QTest::mouseClick(w<QRadioButton>("RB_Nao"), Qt::LeftButton);
    inst->dialogs.expectMessage(message, BoxIcon(icon), title);
    click("BTN_ValidarDadosW");
    QCOMPARE(buyerRows(), 0);
    QVERIFY(handOvers.isEmpty());
    QVERIFY(!orderText().contains(QStringLiteral("-OK")));
    QVERIFY(!w("Panel_Sugestao")->isVisible());
}

void TestWhatsAppOrder::soldTicketReplacedFromTheBlock() {
    QVERIFY(sell(42));
    QVERIFY(SalesPageFixture::markTicket(*inst, 50, QStringLiteral("R")));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
    click("BTN_ValidarDadosW");

    QCOMPARE(column("NOMECOMP", 41).toString(), QStringLiteral("MARIA DA SILVA"));
    QCOMPARE(buyerRows(), 2); // 41 now, 42 before
    QVERIFY(handOvers.isEmpty());
    QVERIFY(w("Panel_Sugestao")->isVisible());
    QCOMPARE(w<QPlainTextEdit>("Memo_NaoDisponivel")->toPlainText(), QStringLiteral("C-0042"));
    QCOMPARE(label("LBL_Vendidas"), QStringLiteral("1"));
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("1"));
    QCOMPARE(label("LBL_Faixa"), QStringLiteral(" Bloco: 1 ao 60"));
    QVERIFY(!orderText().contains(QStringLiteral("C-0042")));
    // The free tickets of the block: neither sold nor reserved.
    QCOMPARE(listed("DBGrid_Sugestao"), range(1, 60, {41, 42, 50}));
    QCOMPARE(w<QTableView>("DBGrid_Sugestao")->model()->index(0, 1).data().toString(), QStringLiteral("     Não"));
    QVERIFY(!w("BTN_MaisDisp")->isVisible());

    QVERIFY(doubleClick("DBGrid_Sugestao", 57));
    QCOMPARE(orderText().split(u'\n').at(2), QStringLiteral("C-0057"));
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
    auto *model = w<QTableView>("DBGrid_Sugestao")->model();
    const QModelIndex chosen = model->index(range(1, 60, {41, 42, 50}).indexOf(57), 0);
    QVERIFY(chosen.data(Qt::FontRole).value<QFont>().strikeOut());
    QCOMPARE(chosen.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(model->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    inst->dialogs.expectMessage(QStringLiteral("Esse Controle de Bilhete já está Selecionado!"), BoxIcon::Error);
    QVERIFY(doubleClick("DBGrid_Sugestao", 57));
    inst->dialogs.expectMessage(QStringLiteral("Todos os Bilhetes ja foram trocados. Conclua e efetue a Validação!"),
                                BoxIcon::Warning);
    QVERIFY(doubleClick("DBGrid_Sugestao", 58));

    click("BTN_ValidarDadosW");
    QCOMPARE(column("NOMECOMP", 57).toString(), QStringLiteral("MARIA DA SILVA"));
    QCOMPARE(mark(57), QStringLiteral("S"));
    QCOMPARE(buyerRows(), 3);
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.tickets, QStringList({QStringLiteral("0041"), QStringLiteral("0057")}));
    QCOMPARE(handOvers[0].handOver.qtBilhetesEnvio, 2);
    QVERIFY(!w("Panel_Sugestao")->isVisible());
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
}

void TestWhatsAppOrder::allSoldValidatesNothingAndOffersReplacements() {
    QVERIFY(sell(41));
    QVERIFY(sell(42));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QCOMPARE(buyerRows(), 2);
    QVERIFY(handOvers.isEmpty());
    QVERIFY(w("Panel_Sugestao")->isVisible());
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("2"));
    QCOMPARE(w<QPlainTextEdit>("Memo_NaoDisponivel")->toPlainText(), QStringLiteral("C-0041\nC-0042"));
    QCOMPARE(listed("DBGrid_Sugestao").size(), 58);
}

void TestWhatsAppOrder::unreplacedTicketAsksOnSecondPass_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes hands over the first pass") << true;
    QTest::newRow("No keeps the panel") << false;
}

void TestWhatsAppOrder::unreplacedTicketAsksOnSecondPass() {
    QFETCH(bool, yes);
    QVERIFY(sell(42));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
    click("BTN_ValidarDadosW");
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("1"));
    inst->dialogs.expectQuestion(QStringLiteral("Existem Controle de Bilhetes de Rifas repetidos e você não selecionou "
                                                "Novos Bilhetes para substituir. Deseja Validar só esses ainda "
                                                "disponíveis?"),
                                 yes);
    click("BTN_ValidarDadosW");
    QCOMPARE(inst->dialogs.shown.last().defaultYes, false);
    QCOMPARE(buyerRows(), 2);
    if (!yes) {
        QVERIFY(handOvers.isEmpty());
        QVERIFY(w("Panel_Sugestao")->isVisible());
        return;
    }
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.qtBilhetesEnvio, 1);
    QCOMPARE(handOvers[0].handOver.bilheteUnico, QStringLiteral("0041"));
    QVERIFY(!w("Panel_Sugestao")->isVisible());
}

void TestWhatsAppOrder::outsideListOffersReserveBeforeTheRaffle_data() {
    QTest::addColumn<bool>("reserve");
    QTest::newRow("reserve block 101 to 103") << true;
    QTest::newRow("no reserve block") << false;
}

void TestWhatsAppOrder::outsideListOffersReserveBeforeTheRaffle() {
    QFETCH(bool, reserve);
    for (int t : {1, 2, 3})
        QVERIFY(sell(t));
    if (reserve)
        for (int t : {101, 102, 103})
            QVERIFY(SalesPageFixture::markTicket(*inst, t, QStringLiteral("R")));
    openAndPaste(displayed({QStringLiteral("C-0002")}, QStringLiteral("Nao Informar"), QStringLiteral("1 ao 3")));
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QVERIFY(listed("DBGrid_Sugestao").isEmpty());
    QVERIFY(!w("BTN_MaisDisp")->isVisible());
    QVERIFY(w("Panel_ForaFaixa")->isVisible());
    if (reserve) {
        QCOMPARE(label("LBL_BlocoReserva"), QStringLiteral("Disponíveis do Bloco Reserva"));
        QCOMPARE(listed("DBGrid_Sugestao_ForaFaixa"), QList<int>({101, 102, 103}));
    } else {
        QCOMPARE(label("LBL_BlocoReserva"), QStringLiteral("Disponíveis Fora do Bloco"));
        // Every free ticket of the raffle, read as the list goes.
        QTRY_COMPARE_WITH_TIMEOUT(listed("DBGrid_Sugestao_ForaFaixa").size(), 2497, 20000);
        QCOMPARE(listed("DBGrid_Sugestao_ForaFaixa").mid(0, 2), QList<int>({4, 5}));
    }
    const int pick = reserve ? 102 : 9;
    QVERIFY(doubleClick("DBGrid_Sugestao_ForaFaixa", pick));
    QCOMPARE(orderText().split(u'\n').at(2), QStringLiteral("C-%1").arg(pick, 4, 10, QChar(u'0')));
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
    click("BTN_ValidarDadosW");
    QCOMPARE(mark(pick), QStringLiteral("S"));
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.bilheteUnico, QStringLiteral("%1").arg(pick, 4, 10, QChar(u'0')));
}

void TestWhatsAppOrder::doubleClickNeverInsertsATicketTwice() {
    for (int t : {1, 2})
        QVERIFY(sell(t));
    openAndPaste(displayed({QStringLiteral("C-0001"), QStringLiteral("C-0002")}, QStringLiteral("Nao Informar"),
                           QStringLiteral("1 ao 3")));
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QCOMPARE(listed("DBGrid_Sugestao"), QList<int>({3}));
    QVERIFY(w("BTN_MaisDisp")->isVisible()); // one free ticket for two sold ones
    inst->dialogs.expectMessage(
        QStringLiteral("Nessa condição especial, aonde não tinha Bilhetes disponíveis totalmente no Bloco, você deverá "
                       "escolher os novos Bilhetes Manualmente, dando Duplo Click na Nova Lista!"),
        BoxIcon::Warning);
    click("BTN_Automatico");
    QVERIFY(doubleClick("DBGrid_Sugestao", 3));
    click("BTN_MaisDisp");
    QCOMPARE(label("LBL_BlocoReserva"), QStringLiteral("Disponíveis Fora do Bloco"));
    inst->dialogs.expectMessage(QStringLiteral("Esse bilhete ja foi selecionado na Bloco disponível anterior!"),
                                BoxIcon::Error);
    QVERIFY(doubleClick("DBGrid_Sugestao_ForaFaixa", 3));
    QVERIFY(doubleClick("DBGrid_Sugestao_ForaFaixa", 5));
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
    QVERIFY(!w("BTN_MaisDisp")->isVisible());
    inst->dialogs.expectMessage(QStringLiteral("Esses Controle de Bilhete já está Selecionado!"), BoxIcon::Error);
    QVERIFY(doubleClick("DBGrid_Sugestao_ForaFaixa", 5));
    QStringList lines = orderText().split(u'\n');
    QCOMPARE(lines.mid(2, 2), QStringList({QStringLiteral("C-0005"), QStringLiteral("C-0003")}));
    QCOMPARE(orderText().count(QStringLiteral("C-0003")), 1);
    click("BTN_ValidarDadosW");
    QCOMPARE(mark(3), QStringLiteral("S"));
    QCOMPARE(mark(5), QStringLiteral("S"));
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.tickets, QStringList({QStringLiteral("0005"), QStringLiteral("0003")}));
}

void TestWhatsAppOrder::automaticPicksAmongTheOffered() {
    const QList<int> offered{3, 4, 5, 6, 8, 9, 11, 12};
    for (int t : {1, 2, 7})
        QVERIFY(sell(t));
    QVERIFY(SalesPageFixture::markTicket(*inst, 10, QStringLiteral("R")));
    openAndPaste(displayed({QStringLiteral("C-0001"), QStringLiteral("C-0002")}, QStringLiteral("Nao Informar"),
                           QStringLiteral("1 ao 12")));
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QCOMPARE(listed("DBGrid_Sugestao"), offered);
    click("BTN_Automatico");
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
    QVERIFY(listed("DBGrid_Sugestao").isEmpty()); // the block list is closed
    const QStringList lines = orderText().split(u'\n');
    QSet<int> picked;
    for (const QString &l : lines.mid(2, 2)) {
        QVERIFY2(l.startsWith(QStringLiteral("C-00")), qPrintable(l));
        picked.insert(l.mid(2).toInt());
    }
    QCOMPARE(picked.size(), 2);
    for (int n : picked)
        QVERIFY2(offered.contains(n), qPrintable(QString::number(n)));
    click("BTN_ValidarDadosW");
    QCOMPARE(handOvers.size(), 1);
    for (int n : picked)
        QCOMPARE(mark(n), QStringLiteral("S"));
    QCOMPARE(mark(10), QStringLiteral("R"));
}

void TestWhatsAppOrder::concludingWithTicketsLeftAsks() {
    QVERIFY(sell(42));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
    click("BTN_ValidarDadosW");
    const QString question = QStringLiteral("Você não trocou todas as Rifas ja Vendidas por novas Rifas Disponíveis."
                                            "\r\rVocê deseja realmente fechar essa Tela sem Concluir a Troca "
                                            "Completa?");
    inst->dialogs.expectQuestion(question, false);
    click("BTN_Concluir");
    QCOMPARE(inst->dialogs.shown.last().defaultYes, false);
    QVERIFY(w("Panel_Sugestao")->isVisible());
    inst->dialogs.expectQuestion(question, true);
    click("BTN_Concluir");
    QVERIFY(!w("Panel_Sugestao")->isVisible());
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("0"));
    QVERIFY(listed("DBGrid_Sugestao").isEmpty());
    // The next "VALIDAR" starts a new send list: the lines done before are not handed over again.
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QCOMPARE(buyerRows(), 2);
    QVERIFY(handOvers.isEmpty());
}

void TestWhatsAppOrder::groupPanelSendsAndIsCleared() {
    auto *panel = form->whatsAppOrder();
    panel->AgruparParaEnvio(41, QStringLiteral("11987654321"));
    panel->AgruparParaEnvio(42, QStringLiteral("11987654321"));
    QVERIFY(w("Panel_Agrupa_Whats")->isVisible());
    auto *list = w<QListWidget>("List_Agrupar");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("0041"));
    // With the group open, "Enviar por WhatsSapp" adds to it.
    panel->EnviarPorWhatsApp(43, QStringLiteral("11987654321"));
    QCOMPARE(list->count(), 3);
    QVERIFY(handOvers.isEmpty());
    clickLabel("Img_EnviarAgrupados");
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.tickets,
             QStringList({QStringLiteral("0041"), QStringLiteral("0042"), QStringLiteral("0043")}));
    QCOMPARE(handOvers[0].handOver.qtBilhetesEnvio, 3);
    QCOMPARE(handOvers[0].handOver.foneEnvio, QStringLiteral("11987654321"));
    QVERIFY(!w("Panel_Agrupa_Whats")->isVisible());
    QCOMPARE(list->count(), 0);
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0);
    QVERIFY(panel->sendList().isEmpty());

    // Closed by its image: asked first, No preselected.
    panel->AgruparParaEnvio(7, QStringLiteral("1133334444"));
    const QString question = QStringLiteral("Deseja fechar esse Painel? Ao fechar o sistema limpa os BIlhtes ja "
                                            "Agrupados... Confirma fechamento?");
    inst->dialogs.expectQuestion(question, false, QStringLiteral("Quelmaro"));
    clickLabel("Img_FecharAgrupa");
    QCOMPARE(inst->dialogs.shown.last().defaultYes, false);
    QCOMPARE(list->count(), 1);
    inst->dialogs.expectQuestion(question, true, QStringLiteral("Quelmaro"));
    clickLabel("Img_FecharAgrupa");
    QCOMPARE(list->count(), 0);
    QVERIFY(!w("Panel_Agrupa_Whats")->isVisible());
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0);

    // A single ticket from the validated list goes alone.
    panel->EnviarPorWhatsApp(9, QStringLiteral("1133334444"));
    QCOMPARE(handOvers.size(), 2);
    QCOMPARE(handOvers[1].handOver.bilheteUnico, QStringLiteral("9"));
    QCOMPARE(handOvers[1].handOver.qtBilhetesEnvio, 1);
    QCOMPARE(handOvers[1].handOver.foneEnvio, QStringLiteral("1133334444"));

    // No more than a send list holds.
    for (int t = 1; t <= 20; ++t)
        panel->AgruparParaEnvio(t, QStringLiteral("1133334444"));
    inst->dialogs.expectMessage(QStringLiteral("O grupo já tem 20 Bilhetes, o máximo de um envio por WhatsApp. Envie "
                                               "esse grupo antes de agrupar outros Bilhetes."),
                                BoxIcon::Error);
    panel->AgruparParaEnvio(21, QStringLiteral("1133334444"));
    QCOMPARE(list->count(), 20);
}

void TestWhatsAppOrder::lastValidatedTicketSentAlone() {
    const QString refusal =
        QStringLiteral("Envia por Whatsapp 1 único Bilhete, mas não está mostrando o último número Validado!");
    inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    clickLabel("img_whats");
    auto *field = w<QLineEdit>("ED_NUM_BILHETE");
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("7"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(label("LBL_ULTIMA_VALID"), QStringLiteral("7"));
    clickLabel("img_whats");
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].handOver.bilheteUnico, QStringLiteral("7"));
    // A sequence is not one ticket.
    QTest::keyClicks(field, QStringLiteral("8-9"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(label("LBL_ULTIMA_VALID"), QStringLiteral("8-9"));
    inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    clickLabel("img_whats");
    QCOMPARE(handOvers.size(), 1);
}

void TestWhatsAppOrder::escClosesThePanel() {
    QVERIFY(sell(42));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
    click("BTN_ValidarDadosW");
    QVERIFY(w("Panel_Sugestao")->isVisible());
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Escape);
    QVERIFY(!form->whatsAppPanelOpen());
    QVERIFY(!w("Panel_Sugestao")->isVisible());
    QVERIFY(form->isVisible());
    QVERIFY(w<QRadioButton>("RB_Nao")->isChecked());
    QCOMPARE(orderText(), QString());
    // Opened again, a new order counts its sold tickets from zero.
    openAndPaste(displayed({QStringLiteral("C-0042")}));
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"), BoxIcon::Warning);
    click("BTN_ValidarDadosW");
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("1"));
}

void TestWhatsAppOrder::handOverDrawsThePicturesAndOpensTheSendingWindow_data() {
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("pictures");
    QTest::newRow("two tickets") << QStringList{"C-0041", "C-0042"}
                                 << QStringList{"Bilhete_0041.jpg", "Bilhete_0042.jpg"};
    QTest::newRow("one ticket") << QStringList{"C-0007"} << QStringList{"Bilhete_0007.jpg"};
}

void TestWhatsAppOrder::handOverDrawsThePicturesAndOpensTheSendingWindow() {
    QFETCH(QStringList, order);
    QFETCH(QStringList, pictures);
    // A 100 x 50 mm ticket with its control number.
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET DIM_BILHETE_COMP=100, DIM_BILHETE_ALT=50, "
                                      "USAR_NUM_ID_BILHETE=1 WHERE CODRIFA=1")));
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(1, &error), qPrintable(error));
    form = std::make_unique<TForm_Validacao>(inst->context()); // with its own hand-over
    form->setEvento(QStringLiteral("RIFA DA MOTO"));
    form->setValor(2.5);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    openAndPaste(displayed(order));

    QStringList entries;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *whats = qobject_cast<TForm_Whats *>(QApplication::activeModalWidget());
        if (!whats) return;
        poll.stop();
        auto *list = whats->findChild<QListWidget *>(QStringLiteral("List_IMG"));
        for (int i = 0; i < list->count(); ++i)
            entries << list->item(i)->text();
        inst->dialogs.expectQuestion(QStringLiteral("Você não não Tomou alguma Ação nessa Tela, como COPIAR e COLAR "
                                                    "no WhatsApp do Comprador. Realmente deseja Fechar essa tela?"),
                                     true);
        whats->close();
    });
    poll.start();
    click("BTN_ValidarDadosW");
    poll.stop();
    QCOMPARE(entries.size(), pictures.size());
    QDir folder(inst->file(QStringLiteral("RifaWhatsApp")));
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), pictures);
    QVERIFY(!QImage(folder.filePath(pictures.first())).isNull());
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0); // the sending window sets it back
    QCOMPARE(orderText(), QString());
    QVERIFY(form->isVisible());
}

// A line the validation refuses keeps no "-OK": the next "VALIDAR" tries it again and skips the sold ones.
void TestWhatsAppOrder::refusedLineIsTriedAgainAtTheNextPass() {
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-3000"), QStringLiteral("C-0042")}));
    const QString beyond = QStringLiteral("Esse Nº de Controle de Bilhete está além do último Bilhete da Rifa "
                                          "Escolhida. O C.Bilhete máximo que pode ser digitado é até: 2500");
    for (int pass = 0; pass < 2; ++pass) {
        inst->dialogs.expectMessage(beyond, BoxIcon::Error);
        click("BTN_ValidarDadosW");
        QVERIFY(inst->dialogs.scriptDone());
        QCOMPARE(orderText().split(u'\n').mid(2, 3),
                 QStringList({QStringLiteral("C-0041-OK"), QStringLiteral("C-3000"), QStringLiteral("C-0042")}));
        QCOMPARE(buyerRows(), 1);
        QCOMPARE(column("NOMECOMP", 41).toString().trimmed(), QStringLiteral("MARIA DA SILVA"));
        QVERIFY(handOvers.isEmpty());
    }
}

// The real hand-over from the validation window opened by the menu: the window steps aside while the
// sending window is open, comes back with its exec() still running and validates the next order.
void TestWhatsAppOrder::handOverStepsAsideAndTheWindowGoesOn() {
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET DIM_BILHETE_COMP=100, DIM_BILHETE_ALT=50, "
                                      "USAR_NUM_ID_BILHETE=1 WHERE CODRIFA=1")));
    form.reset();
    TForm_RIFA menu(inst->services());
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Usar"),
               [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QTRY_COMPARE(watcher.shown(QStringLiteral("TForm_Usar")), 1);
    menu.raffle() = inst->raffle;

    QList<bool> asideWhileSending;
    QStringList phones;
    watcher.on(QStringLiteral("TForm_Whats"), [&](QWidget *whats) {
        bool aside = !menu.isVisible();
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == u"TForm_Validacao") aside &= !top->isVisible();
        asideWhileSending << aside;
        phones << whats->findChild<QLineEdit *>(QStringLiteral("Ed_DDD"))->text() +
                      whats->findChild<QLineEdit *>(QStringLiteral("Ed_telefone"))->text();
        QTest::mouseClick(whats->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
        whats->close();
    });
    bool stillRunning = false, firstOrderDone = false;
    watcher.on(QStringLiteral("TForm_Validacao"), [&](QWidget *window) {
        if (std::exchange(firstOrderDone, true)) return; // shown again after the sending
        auto *v = static_cast<TForm_Validacao *>(window);
        auto order = [v](const QString &text) {
            QGuiApplication::clipboard()->setText(text);
            QTest::mouseClick(v->findChild<QPushButton *>(QStringLiteral("BTN_Colar")), Qt::LeftButton);
            QTest::mouseClick(v->findChild<QPushButton *>(QStringLiteral("BTN_ValidarDadosW")), Qt::LeftButton);
        };
        auto *open = v->findChild<QLabel *>(QStringLiteral("IMM_ValidaMaisZap"));
        QTest::mouseClick(open, Qt::LeftButton, {}, open->rect().center());
        order(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042")}));
        // Once this action is over, the window's own loop must still be there.
        QTimer::singleShot(200, v, [&, v, order] {
            stillRunning = v->isVisible() && QApplication::activeModalWidget() == v;
            OrderMessage second{{QStringLiteral("C-0043")}, QStringLiteral("JOSE"), QStringLiteral("Rua A"),
                                QStringLiteral("Santos"), QStringLiteral("SP"), QStringLiteral("(13) 96666-5555"),
                                QStringLiteral("R$ 2,50"), QStringLiteral("Nao Informar"),
                                QStringLiteral("1 ao 60")};
            order(second.text().remove(u'*'));
            v->close();
        });
    });
    auto *valida = menu.findChild<QWidget *>(QStringLiteral("Img_valida"));
    QTest::mouseClick(valida, Qt::LeftButton, {}, valida->rect().center());
    QVERIFY(stillRunning);
    QCOMPARE(asideWhileSending, QList<bool>({true, true}));
    QCOMPARE(phones, QStringList({QStringLiteral("11987654321"), QStringLiteral("13966665555")}));
    QCOMPARE(buyerRows(), 3);
    QCOMPARE(column("NOMECOMP", 43).toString().trimmed(), QStringLiteral("JOSE"));
    QVERIFY(menu.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    watcher.on(QStringLiteral("TForm_vendedor"), [](QWidget *w) { w->close(); });
    auto *sellers = menu.findChild<QWidget *>(QStringLiteral("Img_Vendedor"));
    QTest::mouseClick(sellers, Qt::LeftButton, {}, sellers->rect().center());
    QCOMPARE(watcher.shown(QStringLiteral("TForm_vendedor")), 1);
}

// The order panel and the suggestion panel: nothing covered, no text cut, and each counter sits in
// the blank gap its caption leaves for it.
void TestWhatsAppOrder::panelsShowEveryControlWhole() {
    QVERIFY(sell(42));
    QVERIFY(sell(43));
    openAndPaste(displayed({QStringLiteral("C-0041"), QStringLiteral("C-0042"), QStringLiteral("C-0043")}));
    click("BTN_ValidarDadosW");
    QCOMPARE(label("LBL_TotalRep"), QStringLiteral("2"));
    QVERIFY(w("Panel_Sugestao")->isVisible());
    // Nothing covered or cut in the window with both panels open; the counters may lie on their
    // captions, in the gap checked below.
    auto *suggestion = w("Panel_Sugestao");
    QList<QLabel *> captions;
    for (const char *counter : {"LBL_Vendidas", "LBL_TotalRep"}) {
        auto *c = w<QLabel>(counter);
        QLabel *caption = nullptr;
        for (auto *l : suggestion->findChildren<QLabel *>())
            if (l != c && l->isVisible() && l->geometry().intersects(c->geometry())) caption = l;
        QVERIFY2(caption, counter);
        captions << caption;
        // The digits lie between the caption's words, on its first line.
        const QString first = caption->text().section(u'\r', 0, 0);
        const qsizetype gapStart = first.indexOf(QStringLiteral("  "));
        const qsizetype gapEnd = first.indexOf(QRegularExpression(QStringLiteral("\\S")), gapStart);
        const QFontMetrics fm = caption->fontMetrics();
        const int left = caption->x() + fm.horizontalAdvance(first.left(gapStart));
        const int right = caption->x() + fm.horizontalAdvance(first.left(gapEnd));
        const int digitsLeft = c->x() + c->contentsRect().x();
        const int digitsRight = digitsLeft + c->fontMetrics().horizontalAdvance(QStringLiteral("20"));
        QVERIFY2(digitsLeft >= left && digitsRight <= right,
                 qPrintable(QStringLiteral("%1: %2..%3 in %4..%5")
                                .arg(counter)
                                .arg(digitsLeft)
                                .arg(digitsRight)
                                .arg(left)
                                .arg(right)));
        QVERIFY(c->y() >= caption->y() && c->y() + c->height() <= caption->y() + fm.height() + 4);
    }
    QCOMPARE(captions[0]->objectName(), QStringLiteral("LBL_VendidasLegenda"));
    QCOMPARE(captions[1]->objectName(), QStringLiteral("LBL_TotalRepLegenda"));
    const QStringList faults = LayoutCheck::faults(
        form.get(), {{QStringLiteral("Panel_validarW"), QStringLiteral("Panel_Sugestao")},
                     {{QStringLiteral("LBL_Vendidas"), QStringLiteral("LBL_VendidasLegenda")},
                      {QStringLiteral("LBL_TotalRep"), QStringLiteral("LBL_TotalRepLegenda")}}});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

KORVANTE_TEST(TestWhatsAppOrder)
#include "TestWhatsAppOrder.moc"
