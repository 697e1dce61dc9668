#include "salespage/SalesPageFixture.h"
#include "salespage/SalesPageWriter.h"
#include "support/TestRegistry.h"

#include <QRegularExpression>

using namespace SalesPageFixture;

// "Gerar Arquivo HTML" on the 0000-9999 raffle with 4 numbers per ticket, price 2,50, one order phone.
class TestSalesPageGenerator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void sizeOfThePage_data();
    void sizeOfThePage();
    void refusals_data();
    void refusals();
    void pageFileAndHeader();
    void blockFieldsAsTheyReadNow();
    void soldTicketsOfTheBlockAreShownSold();
    void idsAndNumberCells_data();
    void idsAndNumberCells();
    void controlNumberWiderThanTheFormat();
    void textsFromTheDatabaseAreEscaped();
    void pixKeyRefusedWithARecipient_data();
    void pixKeyRefusedWithARecipient();
    void withoutRecipientThePageIsThePlainOne();
    void withRecipientThePageCarriesTheTenCodes();

private:
    QString page() const { return inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html")); }
    void expectWritten() {
        inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."),
                                    BoxIcon::Information);
    }
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<Window> w;
};

void TestSalesPageGenerator::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(addPhone(*inst, QStringLiteral("11"), QStringLiteral("987654321")));
}

void TestSalesPageGenerator::init() {
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    QFile::remove(page());
    inst->dialogs.clear();
    w = std::make_unique<Window>(*inst);
    // config.ini is there without the page's keys: the first phone is chosen.
    QCOMPARE(w->child<QComboBox>("CMB_TELEFONE")->currentText(), QStringLiteral("11 987654321"));
}

void TestSalesPageGenerator::cleanup() {
    w.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestSalesPageGenerator::sizeOfThePage_data() {
    QTest::addColumn<QString>("ate");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("written");
    QTest::newRow("750: no question") << "750" << false << false << true;
    QTest::newRow("1500: asked, Yes") << "1500" << true << true << true;
    QTest::newRow("1500: asked, No") << "1500" << true << false << false;
    QTest::newRow("1501: refused without asking") << "1501" << false << false << false;
}

void TestSalesPageGenerator::sizeOfThePage() {
    QFETCH(QString, ate);
    QFETCH(bool, asked);
    QFETCH(bool, answerYes);
    QFETCH(bool, written);
    w->list(2, QStringLiteral("1"), ate);
    QCOMPARE(w->total(), ate);
    if (asked)
        inst->dialogs.expectQuestion(
            QStringLiteral(
                "É ideal que cada Página HMTL a ser gerada tenha até 750 Controles de Bilhetes e depois "
                "você vai formando outros Blocos em intervalos diferentes para gerar.\r\rMesmo assim, "
                "deseja continuar a Gerar essa Quantidade?"),
            answerYes);
    if (ate == QLatin1String("1501"))
        inst->dialogs.expectMessage(
            QStringLiteral("Não é permitido gerar Página HTML de um total de Bilhetes superior a 1500"),
            BoxIcon::Error);
    if (written) expectWritten();
    w->click("BTN_Gerar");
    QCOMPARE(QFile::exists(page()), written);
    if (written) QCOMPARE(readFile(page()).count("',0)\">Selecionar</button>"), ate.toInt());
}

void TestSalesPageGenerator::refusals_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("clearName");
    QTest::addColumn<bool>("clearPhone");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    const QString noName = QStringLiteral("Você precisa informar o Nome de Arquivo a Gerar");
    const QString todos =
        QStringLiteral("Só é permitido Gerar Bilhetes para fazer Página HTML se o Modelo de Pesquisa "
                       "for POR BLOCOS DE BILHETES");
    const QString noList = QStringLiteral("Você precisa Mostrar uma Lista de Rifas para Gerar!");
    const QString noPhone =
        QStringLiteral("É obrigatório informar o Telefone que tenha WhatsApp ativo da pessoa que "
                       "Receberá os Pedidos da Rifa");
    QTest::newRow("no page name") << 2 << true << true << false << noName << int(BoxIcon::None);
    QTest::newRow("no page name, Todos") << 1 << true << true << false << noName << int(BoxIcon::None);
    QTest::newRow("Todos") << 1 << true << false << false << todos << int(BoxIcon::Warning);
    QTest::newRow("Todos, no phone") << 1 << true << false << true << todos << int(BoxIcon::Warning);
    QTest::newRow("Todos, never listed") << 1 << false << false << false << todos << int(BoxIcon::Warning);
    QTest::newRow("never listed") << 2 << false << false << false << noList << int(BoxIcon::Error);
    QTest::newRow("empty listing") << 3 << true << false << false << noList << int(BoxIcon::Error);
    QTest::newRow("no phone") << 2 << true << false << true << noPhone << int(BoxIcon::Error);
}

void TestSalesPageGenerator::refusals() {
    QFETCH(int, mode);
    QFETCH(bool, listed);
    QFETCH(bool, clearName);
    QFETCH(bool, clearPhone);
    QFETCH(QString, message);
    QFETCH(int, icon);
    // Few enough tickets for a page even when every ticket for sale is listed.
    w.reset();
    Raffle few;
    few.tickets = 40;
    QVERIFY(chooseRaffle(*inst, few));
    w = std::make_unique<Window>(*inst);
    if (listed) {
        if (QTest::currentDataTag() == QLatin1String("empty listing"))
            w->list(mode, QStringLiteral("9"), QStringLiteral("2"));
        else
            w->list(mode, QStringLiteral("1"), QStringLiteral("20"));
    } else {
        w->chooseMode(mode);
    }
    // Closing a panel leaves its list with nothing chosen.
    if (clearName) {
        w->clickLabel("Label12");
        w->clickLabel("Image1");
    }
    if (clearPhone) {
        w->clickLabel("LBL_MaisFone");
        w->clickLabel("Img_Fechar");
    }
    inst->dialogs.expectMessage(message, BoxIcon(icon));
    w->click("BTN_Gerar");
    QVERIFY(!QFile::exists(page()));
    if (message.contains(QStringLiteral("Nome de Arquivo")))
        QCOMPARE(w->form.focusWidget(), w->child<QComboBox>("CMB_NomeArq"));
}

void TestSalesPageGenerator::pageFileAndHeader() {
    QVERIFY(QDir(inst->file(QStringLiteral("RifaWhatsApp"))).removeRecursively());
    w->list(2, QStringLiteral("1"), QStringLiteral("750"));
    expectWritten();
    w->click("BTN_Gerar");
    const QByteArray bytes = readFile(page());
    // An empty first line, CR LF after every line and nowhere else, one byte per character.
    QVERIFY(bytes.startsWith("\r\n<!DOCTYPE html>\r\n"));
    QVERIFY(bytes.endsWith("</html>\r\n"));
    QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
    QCOMPARE(bytes.count("\r"), bytes.count("\r\n"));
    QVERIFY(bytes.contains("<meta charset=\"ISO-8859-1\">"));
    QVERIFY(bytes.contains("Atualiza Bilhetes Dispon\xEDveis"));
    QVERIFY(!bytes.contains("\xC3")); // no UTF-8 sequences
    QVERIFY(bytes.contains("Data Sorteio: <b>24/12/2026</b>&nbsp;&nbsp;Valor: <b>2,50</b>"));
    QVERIFY(bytes.contains("  Mostrando Bloco de Bilhetes: 1 ao 750 de 10000</font>"));
    QVERIFY(bytes.contains("var PrecoBil = '02.50';"));
    QVERIFY(bytes.contains("var BlocoBilhete = '1 ao 750';"));
    QVERIFY(bytes.contains("https://api.whatsapp.com/send?phone=55\" + encodeURIComponent('11987654321')"));
    QVERIFY(bytes.contains("onclick=\"SelecionarBil('C-0001',0)\""));
    QVERIFY(bytes.contains("onclick=\"SelecionarBil('C-0750',0)\""));
    QVERIFY(!bytes.contains("C-0751"));
    // The key line: the key type's text, then the key.
    QVERIFY(bytes.contains("<b>CPF: </b><textarea id=\"ChavePix\""));
}

void TestSalesPageGenerator::blockFieldsAsTheyReadNow() {
    w->list(2, QStringLiteral("1"), QStringLiteral("5"));
    w->typeInto("Entre_1", QStringLiteral("7"));
    w->typeInto("Entre_2", QStringLiteral("9"));
    expectWritten();
    w->click("BTN_Gerar");
    const QByteArray bytes = readFile(page());
    QCOMPARE(bytes.count("',0)\">Selecionar</button>"), 5);
    QVERIFY(bytes.contains("SelecionarBil('C-0005',0)"));
    QVERIFY(!bytes.contains("C-0007"));
    QVERIFY(bytes.contains("Mostrando Bloco de Bilhetes: 7 ao 9 de 10000</font>"));
    QVERIFY(bytes.contains("var BlocoBilhete = '7 ao 9';"));
}

void TestSalesPageGenerator::soldTicketsOfTheBlockAreShownSold() {
    QVERIFY(markTicket(*inst, 2, QStringLiteral("S")));
    QVERIFY(markTicket(*inst, 4, QStringLiteral("R")));
    w->list(3, QStringLiteral("1"), QStringLiteral("5"));
    expectWritten();
    w->click("BTN_Gerar");
    const QByteArray bytes = readFile(page());
    QCOMPARE(bytes.count("',0)\">Selecionar</button>"), 3);
    QCOMPARE(bytes.count(">Vendido</button>"), 1);
    QVERIFY(!bytes.contains("SelecionarBil('C-0002'"));
    QVERIFY(!bytes.contains("C-0004")); // reserved: on no page
    const int at = int(bytes.indexOf("id=\"C-0002\""));
    QVERIFY(at > 0);
    const QByteArray line = bytes.mid(at, bytes.indexOf("\r\n", at) - at);
    QVERIFY(line.contains("color: green;"));
    QVERIFY(line.contains("C.Bilhete: 0002 <button class=\"newBotao\""));
}

void TestSalesPageGenerator::idsAndNumberCells_data() {
    QTest::addColumn<QString>("modalidade");
    QTest::addColumn<QString>("qtNum");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("00-99, 1 number") << "00 - 99"
                                     << "1 Número"
                                     << "C-07" << QStringList{"<td>06</td>"};
    QTest::newRow("0000-9999, 5 numbers")
        << "0000 - 9999"
        << "5 Números"
        << "C-0007" << QStringList{"<td>0030</td><td>0031</td><td>0032</td><td>0033</td><td>0034</td>"};
    QTest::newRow("000000-999999, 10 numbers")
        << "000000 - 999999"
        << "10 Números"
        << "C-000007"
        << QStringList{"<td>000060</td><td>000061</td><td>000062</td><td>000063</td><td>000064</td>",
                       "<td>000065</td><td>000066</td><td>000067</td><td>000068</td><td>000069</td>"};
}

void TestSalesPageGenerator::idsAndNumberCells() {
    QFETCH(QString, modalidade);
    QFETCH(QString, qtNum);
    QFETCH(QString, id);
    QFETCH(QStringList, rows);
    w.reset();
    Raffle r;
    r.modalidade = modalidade;
    r.qtNum = qtNum;
    r.tickets = 10;
    QVERIFY(chooseRaffle(*inst, r));
    w = std::make_unique<Window>(*inst);
    w->list(2, QStringLiteral("1"), QStringLiteral("10"));
    QCOMPARE(w->total(), QStringLiteral("10"));
    expectWritten();
    w->click("BTN_Gerar");
    const QStringList lines = QString::fromLatin1(readFile(page())).split(QStringLiteral("\r\n"));
    const int at = int(lines.indexOf(QRegularExpression(QStringLiteral(".*id=\"%1\".*").arg(id))));
    QVERIFY2(at > 0, qPrintable(id));
    QVERIFY(lines.at(at).contains(QStringLiteral("SelecionarBil('%1',0)").arg(id)));
    QStringList cells;
    for (int i = at + 1; lines.at(i).startsWith(QStringLiteral("<tr style=\"background-color: black")); ++i)
        cells << lines.at(i).mid(lines.at(i).indexOf(QStringLiteral("\">")) + 2).chopped(5);
    QCOMPARE(cells, rows);
}

void TestSalesPageGenerator::controlNumberWiderThanTheFormat() {
    // Control numbers are never cut to the modality's width.
    SalesPageInput in;
    in.format = ModalityFormat::fromModalidade(QStringLiteral("00 - 99"));
    in.qtNumBilhete = 1;
    in.maiorNumero = 99;
    in.tickets = {ListedTicket{123, {QVariant(5)}, QString()}};
    const QString page = QString::fromLatin1(SalesPageWriter::bytes(in));
    QVERIFY(page.contains(QStringLiteral("id=\"C-123\"")));
    QVERIFY(page.contains(QStringLiteral("C.Bilhete: <font color=\"red\">123</font>")));
    QVERIFY(page.contains(QStringLiteral("<td>05</td>")));
}

void TestSalesPageGenerator::textsFromTheDatabaseAreEscaped() {
    SalesPageInput in;
    in.format = ModalityFormat(4);
    in.qtNumBilhete = 1;
    in.raffleName = QStringLiteral("Rifa \"A\" d'B <C> & D ł");
    in.textoPremios = QStringLiteral("Moto 'X' \"Y\"\\n </script>\\n ");
    in.textoRegras = QStringLiteral("Regra \\ 1\\n ");
    in.entre1 = QStringLiteral("1'");
    in.entre2 = QStringLiteral("2");
    in.pixKey = QStringLiteral("<b>chave</b>");
    in.sellers = {SalesPageSeller{3, QStringLiteral("Zé \"Rifa\" <Vendas>")}};
    const QByteArray bytes = SalesPageWriter::bytes(in);
    QVERIFY(bytes.contains("<b>Rifa &quot;A&quot; d&#39;B &lt;C&gt; &amp; D &#322;</b>"));
    QVERIFY(bytes.contains("onclick=\"mostrarPremios('Moto \\'X\\' \\x22Y\\x22\\n \\x3C/script\\x3E\\n \\n "
                           "Regra \\\\ 1\\n ')\""));
    QVERIFY(bytes.contains("var BlocoBilhete = '1\\' ao 2';"));
    QVERIFY(bytes.contains("Mostrando Bloco de Bilhetes: 1&#39; ao 2 de 1</font>"));
    QVERIFY(bytes.contains(">&lt;b&gt;chave&lt;/b&gt;</textarea>"));
    QVERIFY(bytes.contains("<option value=\"3\">3-Z\xE9 &quot;Rifa&quot; &lt;V</option>"));
    QCOMPARE(bytes.count("</script>"), 1);
}

void TestSalesPageGenerator::pixKeyRefusedWithARecipient_data() {
    QTest::addColumn<int>("type"); // downs from CPF
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("CPF, wrong check digit")
        << 0 << "52998224724"
        << "Campinas"
        << QStringLiteral("A chave PIX informada não é um CPF válido: confira os 11 números do CPF.");
    QTest::newRow("phone without DDD")
        << 1 << "987654321"
        << "Campinas"
        << QStringLiteral("A chave PIX de Celular deve ter o DDD e o número: 10 ou 11 "
                          "números.");
    QTest::newRow("e-mail without @")
        << 2 << "pix.rifa.exemplo.com"
        << "Campinas" << QStringLiteral("A chave PIX de E-mail deve conter o sinal @.");
    QTest::newRow("no city") << 0 << "52998224725"
                             << ""
                             << QStringLiteral("Informe a Cidade do Recebedor do PIX para gerar o QR Code de "
                                               "pagamento.");
}

void TestSalesPageGenerator::pixKeyRefusedWithARecipient() {
    QFETCH(int, type);
    QFETCH(QString, key);
    QFETCH(QString, city);
    QFETCH(QString, refusal);
    w->list(2, QStringLiteral("1"), QStringLiteral("10"));
    for (int i = 0; i < type; ++i)
        inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
    w->pickWithKeys("CMB_TIPO_PIX", type);
    w->typeInto("ED_PIX", key);
    w->typeInto("ED_NomeRecebedor", QStringLiteral("Maria"));
    w->typeInto("ED_CidadeRecebedor", city);
    inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    w->click("BTN_Gerar");
    QVERIFY(!QFile::exists(page()));
}

void TestSalesPageGenerator::withoutRecipientThePageIsThePlainOne() {
    w->list(2, QStringLiteral("1"), QStringLiteral("20"));
    w->typeInto("ED_PIX", QStringLiteral("52998224725"));
    expectWritten();
    w->click("BTN_Gerar");
    const QByteArray plain = readFile(page());
    QVERIFY(!plain.contains("PixQR"));
    QVERIFY(!plain.contains("<svg"));
    QVERIFY(!plain.contains("Copia e Cola"));
    // A name typed and erased again: the same bytes.
    QLineEdit *name = w->child<QLineEdit>("ED_NomeRecebedor");
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Ana"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(name, Qt::Key_Backspace);
    QVERIFY(name->text().isEmpty());
    QFile::remove(page());
    expectWritten();
    w->click("BTN_Gerar");
    QCOMPARE(readFile(page()), plain);
}

void TestSalesPageGenerator::withRecipientThePageCarriesTheTenCodes() {
    w->list(2, QStringLiteral("1"), QStringLiteral("750"));
    w->typeInto("ED_PIX", QStringLiteral("529.982.247-25"));
    w->typeInto("ED_NomeRecebedor", QStringLiteral("Associação Rifa São José"));
    w->typeInto("ED_CidadeRecebedor", QStringLiteral("São Paulo"));
    expectWritten();
    w->click("BTN_Gerar");
    const QByteArray bytes = readFile(page());
    for (int n = 1; n <= 10; ++n)
        QVERIFY(bytes.contains(
            QStringLiteral("<div id=\"PixQR%1\" style=\"display: none;\"><svg").arg(n).toLatin1()));
    QVERIFY(!bytes.contains("PixQR11"));
    // Price times count, in cents; the recipient in plain letters; the raffle and block as reference.
    for (const char *amount : {"54042.50", "54045.00", "54047.50", "540525.00"})
        QVERIFY2(bytes.contains(amount), amount);
    QVERIFY(bytes.contains("5924Associacao Rifa Sao Jose6009Sao Paulo"));
    QVERIFY(bytes.contains("011152998224725"));
    QVERIFY(bytes.contains("0511RIFA1B1A750"));
    QVERIFY(bytes.contains("Copiar Pix Copia e Cola"));
    // The page's own parts are all still there.
    QVERIFY(bytes.contains("onclick=\"CopiarPix()\">&nbsp;Copiar Pix&nbsp;</button>"));
    QVERIFY(bytes.contains("SelecionarBil('C-0750',0)"));
    QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
}

KORVANTE_TEST(TestSalesPageGenerator)
#include "TestSalesPageGenerator.moc"
