#include "salespage/OrderMessage.h"
#include "salespage/SalesPageFixture.h"
#include "support/PageBrowser.h"
#include "support/TestRegistry.h"

#include "salespage/PixCode.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>

using namespace SalesPageFixture;
namespace pb = PageBrowser;

// The sales page written by the window, used in headless Chromium as a buyer uses it.
class TestSalesPageBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void selectingReleasingAndSendingAnOrder();
    void soldTicketsAndPrizeTextsWithMarkup();
    void pixQrFollowsTheSelection();
    void zeroTicketOrderShowsNoAmountAndSendsNothing();
    void everyKeyKindReadByABankApp_data();
    void everyKeyKindReadByABankApp();
    void buyerFlowAlikeInWebKit();

private:
    QString generate(int mode, const QString &from, const QString &to);
    // A page of the block 1 to 750 with the PIX key of the kind at that index of the list.
    QString generateWithPix(int kind, const QString &key);
    static QString errors(const QJsonObject &out, const char *kind) {
        return out.value(QLatin1String(kind)).toVariant().toStringList().join(u'|');
    }
    static QString slotTexts(const QJsonValue &v) { return v.toVariant().toStringList().join(u'|'); }
    std::unique_ptr<TestInstallation> inst;
};

void TestSalesPageBrowser::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(addPhone(*inst, QStringLiteral("11"), QStringLiteral("987654321")));
    QVERIFY(inst->exec(QStringLiteral(
        "INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (4, 'Joana Vendedora da Praça')")));
}

void TestSalesPageBrowser::init() {
    inst->dialogs.clear();
}

void TestSalesPageBrowser::cleanup() {
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

QString TestSalesPageBrowser::generate(int mode, const QString &from, const QString &to) {
    Window w(*inst);
    w.list(mode, from, to);
    inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."),
                                BoxIcon::Information);
    w.click("BTN_Gerar");
    return inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"));
}

void TestSalesPageBrowser::selectingReleasingAndSendingAnOrder() {
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    const QString page = generate(2, QStringLiteral("1"), QStringLiteral("750"));

    const QString slotsNow =
        QStringLiteral("Array.from({length: 10}, (_, i) => document.getElementById('B' + (i + 1)))"
                       ".map(e => getComputedStyle(e).display == 'none' ? '-' : e.innerHTML)");
    auto select = [](int ticket) {
        return pb::click(pb::byId(QStringLiteral("C-%1").arg(ticket, 4, 10, QChar(u'0'))) + " button");
    };
    QJsonArray steps;
    steps << pb::eval(slotsNow);        // 0
    steps << pb::visible("#ModalForm"); // 1
    steps << pb::click("text=COMPRAR"); // 2: nothing chosen yet
    for (int t = 1; t <= 6; ++t)
        steps << select(t);                // 3..8
    steps << pb::eval(slotsNow);           // 9
    steps << pb::html(pb::byId("C-0002")); // 10
    steps << select(2);                    // 11: release the 2nd
    steps << pb::eval(slotsNow);           // 12
    steps << pb::html(pb::byId("C-0002")); // 13
    steps << select(4) << select(5);       // 14, 15
    steps << pb::text("#totalBil");        // 16: three chosen
    for (int t = 7; t <= 13; ++t)
        steps << select(t);           // 17..23: ten chosen
    steps << select(14);              // 24: the 11th
    steps << pb::eval("numSelClick"); // 25
    for (int t : {3, 6, 7, 9, 10, 11, 12, 13})
        steps << select(t);                                                // 26..33: 1 and 8 stay
    steps << pb::text("#totalBil");                                        // 34
    steps << pb::click("text=COMPRAR");                                    // 35
    steps << pb::visible("#ModalForm");                                    // 36
    steps << pb::type("#nomeCP", "maria da silva") << pb::blur("#nomeCP"); // 37, 38
    steps << pb::type("#enderecoCP", "Rua das Flores, 10 ");               // 39
    steps << pb::type("#cidadeCP", "Campinas") << pb::type("#ufCP", "sp") << pb::blur("#ufCP"); // 40-42
    steps << pb::type("#N_celularCP", "11987654321");                                           // 43
    steps << pb::value("#nomeCP") << pb::value("#ufCP") << pb::value("#N_celularCP");           // 44-46
    steps << pb::click("text=Copiar Pix");                                                      // 47
    steps << pb::click("button:has-text(\"Enviar\")");                                          // 48
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(1280, 900), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    QCOMPARE(r.size(), steps.size());
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(),
                 qPrintable(
                     QStringLiteral("step %1: %2").arg(i).arg(r.at(i).toObject().value("error").toString())));
    QVERIFY2(out.value("pageErrors").toArray().isEmpty(), qPrintable(errors(out, "pageErrors")));
    QVERIFY2(out.value("consoleErrors").toArray().isEmpty(), qPrintable(errors(out, "consoleErrors")));

    const QString nbsp3 = QStringLiteral("&nbsp;&nbsp;&nbsp;");
    QCOMPARE(slotTexts(r.at(0)), QStringLiteral("-|-|-|-|-|-|-|-|-|-"));
    QCOMPARE(r.at(1).toBool(), false);
    QCOMPARE(slotTexts(r.at(9)),
             QStringLiteral("C-0001|C-0002|C-0003|C-0004|C-0005|%1C-0006|-|-|-|-").arg(nbsp3));
    QVERIFY(r.at(10).toString().contains(QStringLiteral("<s>0002</s>")));
    QVERIFY(r.at(10).toString().contains(QStringLiteral(">Selecionado</button>")));
    QCOMPARE(slotTexts(r.at(12)), QStringLiteral("C-0001|C-0003|C-0004|C-0005|C-0006|-|-|-|-|-"));
    QVERIFY(r.at(13).toString().contains(QStringLiteral(">Selecionar</button>")));
    QVERIFY(!r.at(13).toString().contains(QStringLiteral("<s>")));
    QCOMPARE(r.at(16).toString(), QStringLiteral("R$ 7,50"));
    QCOMPARE(r.at(25).toInt(), 10);
    QCOMPARE(r.at(34).toString(), QStringLiteral("R$ 5,00"));
    QCOMPARE(r.at(36).toBool(), true);
    QCOMPARE(r.at(44).toString(), QStringLiteral("MARIA DA SILVA"));
    QCOMPARE(r.at(45).toString(), QStringLiteral("SP"));
    QCOMPARE(r.at(46).toString(), QStringLiteral("(11) 98765-4321"));

    QStringList alerts;
    for (const QJsonValue &d : out.value("dialogs").toArray())
        alerts << d.toObject().value("message").toString();
    QCOMPARE(alerts,
             QStringList(
                 {QStringLiteral("Você não selecionou Seus Controles de Bilhete!"),
                  QStringLiteral("Limite máximo de 10 Controle de Bilhetes podem ser selecionados para "
                                 "comprar. Caso precise de mais, conclua essa compra e depois pressione a "
                                 "tecla F5 para recomeçar!"),
                  QStringLiteral("Pix Copiado com Sucesso! Mas ENVIE antes os dados preenchidos aqui,  para "
                                 "em seguida COLAR o PIX no aplicativo e posteriormente enviar também o "
                                 "COMPROVANTE.")}));

    // The chat address: WhatsApp's endpoint, the receiving phone, and the order line by line.
    const QJsonArray opened = out.value("opened").toArray();
    QCOMPARE(opened.size(), 1);
    const QUrl url(opened.at(0).toString());
    QCOMPARE(url.host(), QStringLiteral("api.whatsapp.com"));
    QCOMPARE(url.path(), QStringLiteral("/send"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("phone")), QStringLiteral("5511987654321"));
    const QString message = query.queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded);
    const QStringList lines = message.split(u'\n');
    QCOMPARE(lines,
             QStringList(
                 {QStringLiteral("*Desejo Comprar Bilhetes:*"), QString(), QStringLiteral("C-0001"),
                  QStringLiteral("C-0008"), QStringLiteral(" *Nome:* MARIA DA SILVA"),
                  QStringLiteral(" *End.:* Rua das Flores, 10 "), QStringLiteral(" *Cidade:* Campinas/SP"),
                  QStringLiteral(" *Fone:* (11) 98765-4321"), QStringLiteral(" *TOTAL A PAGAR..:* R$ 5,00"),
                  QStringLiteral(" *Vend:* Nao Informar"), QStringLiteral(" *Bloco:* 1 ao 750")}));
    QCOMPARE(lines.size(), 11);
    QVERIFY(!message.endsWith(u'\n'));
    // The same order as the system's own builder writes it.
    OrderMessage order{{QStringLiteral("C-0001"), QStringLiteral("C-0008")},
                       QStringLiteral("MARIA DA SILVA"),
                       QStringLiteral("Rua das Flores, 10 "),
                       QStringLiteral("Campinas"),
                       QStringLiteral("SP"),
                       QStringLiteral("(11) 98765-4321"),
                       QStringLiteral("R$ 5,00"),
                       QStringLiteral("Nao Informar"),
                       QStringLiteral("1 ao 750")};
    QCOMPARE(order.text(), message);
}

void TestSalesPageBrowser::soldTicketsAndPrizeTextsWithMarkup() {
    Raffle raffle;
    raffle.name = QStringLiteral("Rifa \"Grande\" d'Ouro <1> & Cia");
    raffle.premios = QStringLiteral("Moto \"X\" d'A\n<b>Bike</b> & 'C'");
    raffle.regras = QStringLiteral("Sorteio \\ federal");
    raffle.tickets = 30;
    QVERIFY(chooseRaffle(*inst, raffle));
    QVERIFY(markTicket(*inst, 3, QStringLiteral("S")));
    const QString page = generate(3, QStringLiteral("1"), QStringLiteral("10"));

    QJsonArray steps;
    steps << pb::click(pb::byId("C-0003") + " button"); // 0: "Vendido"
    steps << pb::eval("numSelClick");                   // 1
    steps << pb::html(pb::byId("C-0003"));              // 2
    steps << pb::eval("SelecionarBil.toString().length > 0 && document.querySelectorAll('[id=\"C-0003\"] "
                      "button[onclick]').length");      // 3
    steps << pb::click("text=PREMIOS");                 // 4
    steps << pb::text("font[color=blue] b");            // 5
    steps << pb::click(pb::byId("C-0004") + " button"); // 6
    steps << pb::eval("numSelClick");                   // 7
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(360, 640), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(),
                 qPrintable(
                     QStringLiteral("step %1: %2").arg(i).arg(r.at(i).toObject().value("error").toString())));
    QVERIFY2(out.value("pageErrors").toArray().isEmpty(), qPrintable(errors(out, "pageErrors")));
    QVERIFY2(out.value("consoleErrors").toArray().isEmpty(), qPrintable(errors(out, "consoleErrors")));
    QCOMPARE(r.at(1).toInt(), 0);
    QVERIFY(r.at(2).toString().contains(QStringLiteral("Vendido")));
    QCOMPARE(r.at(3).toInt(), 0);
    QCOMPARE(r.at(5).toString(), raffle.name);
    QCOMPARE(r.at(7).toInt(), 1);
    const QJsonArray dialogs = out.value("dialogs").toArray();
    QCOMPARE(dialogs.size(), 1);
    // Each prize and rule line followed by a line break and a blank, as written.
    QCOMPARE(dialogs.at(0).toObject().value("message").toString(),
             QStringLiteral("Moto \"X\" d'A\n <b>Bike</b> & 'C'\n \n Sorteio \\ federal\n "));
}

namespace {

// What a banking app reads from a picture of the QR code.
QString decodeQr(const QString &png) {
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
    if (!zbar.waitForFinished(30000)) return QStringLiteral("(zbarimg did not finish)");
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

} // namespace

void TestSalesPageBrowser::pixQrFollowsTheSelection() {
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    QString page;
    {
        Window w(*inst);
        w.list(2, QStringLiteral("1"), QStringLiteral("750"));
        w.typeInto("ED_PIX", QStringLiteral("52998224725"));
        w.typeInto("ED_NomeRecebedor", QStringLiteral("Associação da Rifa"));
        w.typeInto("ED_CidadeRecebedor", QStringLiteral("Campinas"));
        inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."),
                                    BoxIcon::Information);
        w.click("BTN_Gerar");
        page = inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"));
    }
    auto expected = [](qint64 cents) {
        return PixCode::build({QStringLiteral("52998224725"), QStringLiteral("Associacao da Rifa"),
                               QStringLiteral("Campinas"), cents, QStringLiteral("RIFA1B1A750")});
    };
    QTemporaryDir shots;
    const QString three = shots.filePath(QStringLiteral("three.png")),
                  two = shots.filePath(QStringLiteral("two.png"));
    auto select = [](int ticket) {
        return pb::click(pb::byId(QStringLiteral("C-%1").arg(ticket, 4, 10, QChar(u'0'))) + " button");
    };
    const QString copyWatch = QStringLiteral(
        "document.addEventListener('copy', e => { const t = e.target.closest ? e.target : "
        "e.target.parentElement;"
        " window.copied = t.value !== undefined ? t.value.substring(t.selectionStart, t.selectionEnd)"
        " : String(getSelection()); }); true");
    const QString enviarInView = QStringLiteral(
        "(() => { const b = Array.from(document.querySelectorAll('button')).find(x => x.textContent == ' "
        "Enviar');"
        " const r = b.getBoundingClientRect();"
        " return r.top >= 0 && r.bottom <= innerHeight && r.left >= 0 && r.right <= innerWidth &&"
        " document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2) === b; })()");
    QJsonArray steps;
    steps << select(1) << select(2) << select(3);       // 0-2
    steps << pb::click("text=COMPRAR");                 // 3
    steps << pb::eval(copyWatch);                       // 4
    steps << pb::screenshot(three, "#PixQR3 svg");      // 5
    steps << pb::click("text=Copiar Pix Copia e Cola"); // 6
    steps << pb::eval("window.copied");                 // 7
    steps << pb::eval(enviarInView);                    // 8
    steps << pb::click("text=Voltar");                  // 9
    steps << select(2);                                 // 10: released
    steps << pb::click("text=COMPRAR");                 // 11
    steps << pb::screenshot(two, "#PixQR2 svg");        // 12
    steps << pb::value("#PixCopiaECola");               // 13
    steps << pb::eval(
        "[3, 4].map(i => getComputedStyle(document.getElementById('PixQR' + i)).display).join()"); // 14
    steps << pb::eval(enviarInView);                                                               // 15
    steps << pb::click("button:has-text(\"Enviar\")");                                             // 16
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(360, 640), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(),
                 qPrintable(
                     QStringLiteral("step %1: %2").arg(i).arg(r.at(i).toObject().value("error").toString())));
    QVERIFY2(out.value("pageErrors").toArray().isEmpty(), qPrintable(errors(out, "pageErrors")));

    const QString for750 = expected(750), for500 = expected(500);
    QVERIFY(for750.contains(QStringLiteral("54047.50")));
    QCOMPARE(decodeQr(three), for750);
    QCOMPARE(r.at(7).toString(), for750);
    QCOMPARE(r.at(8).toBool(), true);
    QCOMPARE(decodeQr(two), for500);
    QCOMPARE(r.at(13).toString(), for500);
    QCOMPARE(r.at(14).toString(), QStringLiteral("none,none"));
    QCOMPARE(r.at(15).toBool(), true);
    QCOMPARE(out.value("opened").toArray().size(), 1);
    // On a desktop screen too.
    const QJsonObject desk = pb::run(page, {select(1), pb::click("text=COMPRAR"), pb::eval(enviarInView)},
                                     QSize(1280, 800), &error);
    QVERIFY2(!desk.isEmpty(), qPrintable(error));
    QCOMPARE(desk.value("results").toArray().at(2).toBool(), true);
    QStringList alerts;
    for (const QJsonValue &d : out.value("dialogs").toArray())
        alerts << d.toObject().value("message").toString();
    QCOMPARE(alerts, QStringList{QStringLiteral(
                         "Pix Copia e Cola copiado! Cole no aplicativo do seu banco, em Pix Copia "
                         "e Cola, para pagar o valor exato do pedido. Mas ENVIE antes os dados "
                         "preenchidos aqui.")});
}

QString TestSalesPageBrowser::generateWithPix(int kind, const QString &key) {
    Window w(*inst);
    w.list(2, QStringLiteral("1"), QStringLiteral("750"));
    auto *kinds = w.child<QComboBox>("CMB_TIPO_PIX");
    kinds->setFocus();
    while (kinds->currentIndex() != kind) {
        inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
        QTest::keyClick(kinds, kinds->currentIndex() < kind ? Qt::Key_Down : Qt::Key_Up);
    }
    w.typeInto("ED_PIX", key);
    w.typeInto("ED_NomeRecebedor", QStringLiteral("Associação da Rifa"));
    w.typeInto("ED_CidadeRecebedor", QStringLiteral("Campinas"));
    inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."), BoxIcon::Information);
    w.click("BTN_Gerar");
    return inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"));
}

// The last ticket released behind the open form: no amount to pay, and "Enviar" sends nothing.
void TestSalesPageBrowser::zeroTicketOrderShowsNoAmountAndSendsNothing() {
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    const QString page = generateWithPix(0, QStringLiteral("52998224725"));
    const QString shownQrs = QStringLiteral(
        "Array.from(document.querySelectorAll('[id^=\"PixQR\"] svg')).filter(e => e.getBoundingClientRect()"
        ".height > 0).length");
    QJsonArray steps;
    steps << pb::click(pb::byId(QStringLiteral("C-0001")) + " button"); // 0
    steps << pb::click("text=COMPRAR");                                  // 1
    steps << pb::eval(shownQrs);                                         // 2
    steps << pb::eval("document.querySelector('[id=\"C-0001\"] button').click(); numSelClick"); // 3
    steps << pb::text("#totalBil");                                                             // 4
    steps << pb::eval(shownQrs);                                                                // 5
    steps << pb::visible("#PixQRCode");                                                         // 6
    steps << pb::value("#PixCopiaECola");                                                       // 7
    steps << pb::click("button:has-text(\"Enviar\")");                                          // 8
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(1280, 900), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(),
                 qPrintable(
                     QStringLiteral("step %1: %2").arg(i).arg(r.at(i).toObject().value("error").toString())));
    QVERIFY2(out.value("pageErrors").toArray().isEmpty(), qPrintable(errors(out, "pageErrors")));
    QCOMPARE(r.at(2).toInt(), 1);
    QCOMPARE(r.at(3).toInt(), 0);
    QCOMPARE(r.at(4).toString(), QStringLiteral("R$ 0,00"));
    QCOMPARE(r.at(5).toInt(), 0);
    QCOMPARE(r.at(6).toBool(), false);
    QCOMPARE(r.at(7).toString(), QString());
    QStringList alerts;
    for (const QJsonValue &d : out.value("dialogs").toArray())
        alerts << d.toObject().value("message").toString();
    QCOMPARE(alerts, QStringList{QStringLiteral("Você não selecionou Seus Controles de Bilhete!")});
    QVERIFY(out.value("opened").toArray().isEmpty());
}

void TestSalesPageBrowser::everyKeyKindReadByABankApp_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::newRow("CPF") << 0 << "52998224725"
                         << "52998224725";
    QTest::newRow("Celular") << 1 << "11987654321"
                             << "+5511987654321";
    QTest::newRow("E-mail") << 2 << "pix.rifa@exemplo.com.br"
                            << "pix.rifa@exemplo.com.br";
    QTest::newRow("CNPJ") << 3 << "11222333000181"
                          << "11222333000181";
    QTest::newRow("alphanumeric CNPJ") << 3 << "12abc34501de35"
                                       << "12ABC34501DE35";
    QTest::newRow("Chave aleatória") << 4 << "123e4567-e89b-12d3-a456-426614174000"
                                     << "123e4567-e89b-12d3-a456-426614174000";
}

// Each kind of key: the QR a buyer scans and the code he copies carry the key, the recipient and the
// order's amount as an independent BR Code parser reads them; the key field shows the whole key.
void TestSalesPageBrowser::everyKeyKindReadByABankApp() {
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    const QString page = generateWithPix(kind, typed);
    QTemporaryDir shots;
    const QString qr = shots.filePath(QStringLiteral("two.png"));
    QJsonArray steps;
    steps << pb::click(pb::byId(QStringLiteral("C-0001")) + " button");                       // 0
    steps << pb::click(pb::byId(QStringLiteral("C-0002")) + " button");                       // 1
    steps << pb::click("text=COMPRAR");                                                        // 2
    steps << pb::screenshot(qr, "#PixQR2 svg");                                                // 3
    steps << pb::value("#PixCopiaECola");                                                      // 4
    steps << pb::value("#ChavePix");                                                           // 5
    steps << pb::eval("(() => { const t = document.getElementById('ChavePix');"
                      " return t.scrollWidth <= t.clientWidth && t.cols >= t.value.length; })()"); // 6
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(375, 667), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(),
                 qPrintable(
                     QStringLiteral("step %1: %2").arg(i).arg(r.at(i).toObject().value("error").toString())));
    // The key as the field took it: a CNPJ in capitals, the others as typed.
    QCOMPARE(r.at(5).toString(), kind == 3 ? typed.toUpper() : typed);
    QCOMPARE(r.at(6).toBool(), true);
    const QString scanned = decodeQr(qr);
    QCOMPARE(scanned, r.at(4).toString());
    const QJsonArray read = pb::readPix({scanned}, &error);
    QVERIFY2(read.size() == 1, qPrintable(error));
    const QJsonObject pix = read.at(0).toObject();
    QVERIFY2(!pix.contains("error"), qPrintable(pix.value("error").toString()));
    QCOMPARE(pix.value("key").toString(), key);
    QCOMPARE(pix.value("name").toString(), QStringLiteral("Associacao da Rifa"));
    QCOMPARE(pix.value("city").toString(), QStringLiteral("Campinas"));
    QCOMPARE(pix.value("amount").toDouble(), 5.0);
}

// The buyer's road on a 375 x 667 screen in WebKit, the engine of every browser of the iPhone, and
// in Chromium: the same slots, total, PIX code, alerts and order address in both.
void TestSalesPageBrowser::buyerFlowAlikeInWebKit() {
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    const QString page = generateWithPix(0, QStringLiteral("52998224725"));
    const QString slotsNow =
        QStringLiteral("Array.from({length: 10}, (_, i) => document.getElementById('B' + (i + 1)))"
                       ".map(e => getComputedStyle(e).display == 'none' ? '-' : e.innerHTML).join('|')");
    auto select = [](int ticket) {
        return pb::click(pb::byId(QStringLiteral("C-%1").arg(ticket, 4, 10, QChar(u'0'))) + " button");
    };
    QJsonArray steps;
    steps << pb::click("text=COMPRAR");                      // 0: nothing chosen yet
    steps << select(1) << select(2) << select(3) << select(6); // 1-4
    steps << select(2);                                        // 5: released
    steps << pb::eval(slotsNow);                               // 6
    steps << pb::text("#totalBil");                            // 7
    steps << pb::click("text=COMPRAR");                        // 8
    steps << pb::visible("#ModalForm");                        // 9
    steps << pb::value("#PixCopiaECola");                      // 10
    steps << pb::type("#nomeCP", "maria da silva") << pb::blur("#nomeCP");                      // 11, 12
    steps << pb::type("#enderecoCP", "Rua das Flores, 10");                                     // 13
    steps << pb::type("#cidadeCP", "Campinas") << pb::type("#ufCP", "sp") << pb::blur("#ufCP"); // 14-16
    steps << pb::type("#N_celularCP", "11987654321");                                           // 17
    steps << pb::value("#N_celularCP");                                                         // 18
    steps << pb::eval("[innerWidth, innerHeight, document.getElementById('ModalForm')"
                      ".getBoundingClientRect().right <= innerWidth].join()");                  // 19
    steps << pb::click("button:has-text(\"Enviar\")");                                          // 20
    QString error;
    const QJsonObject chromium = pb::run(page, steps, QSize(375, 667), &error);
    QVERIFY2(!chromium.isEmpty(), qPrintable(error));
    const QJsonObject webkit = pb::run(page, steps, QSize(375, 667), &error, pb::Engine::WebKit);
    QVERIFY2(!webkit.isEmpty(), qPrintable(error));
    for (const QJsonObject &out : {chromium, webkit}) {
        const QJsonArray r = out.value("results").toArray();
        QCOMPARE(r.size(), steps.size());
        for (int i = 0; i < r.size(); ++i)
            QVERIFY2(!r.at(i).isObject(), qPrintable(QStringLiteral("step %1: %2")
                                                         .arg(i)
                                                         .arg(r.at(i).toObject().value("error").toString())));
        QVERIFY2(out.value("pageErrors").toArray().isEmpty(), qPrintable(errors(out, "pageErrors")));
        QCOMPARE(r.at(6).toString(), QStringLiteral("C-0001|C-0003|C-0006|-|-|-|-|-|-|-"));
        QCOMPARE(r.at(7).toString(), QStringLiteral("R$ 7,50"));
        QCOMPARE(r.at(9).toBool(), true);
        QCOMPARE(r.at(10).toString(),
                 PixCode::build({QStringLiteral("52998224725"), QStringLiteral("Associacao da Rifa"),
                                 QStringLiteral("Campinas"), 750, QStringLiteral("RIFA1B1A750")}));
        QCOMPARE(r.at(18).toString(), QStringLiteral("(11) 98765-4321"));
        QCOMPARE(r.at(19).toString(), QStringLiteral("375,667,true"));
        QStringList alerts;
        for (const QJsonValue &d : out.value("dialogs").toArray())
            alerts << d.toObject().value("message").toString();
        QCOMPARE(alerts, QStringList{QStringLiteral("Você não selecionou Seus Controles de Bilhete!")});
        const QJsonArray opened = out.value("opened").toArray();
        QCOMPARE(opened.size(), 1);
        const QUrl url(opened.at(0).toString());
        QCOMPARE(url.host() + url.path(), QStringLiteral("api.whatsapp.com/send"));
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("phone")), QStringLiteral("5511987654321"));
        OrderMessage order{{QStringLiteral("C-0001"), QStringLiteral("C-0003"), QStringLiteral("C-0006")},
                           QStringLiteral("MARIA DA SILVA"),
                           QStringLiteral("Rua das Flores, 10"),
                           QStringLiteral("Campinas"),
                           QStringLiteral("SP"),
                           QStringLiteral("(11) 98765-4321"),
                           QStringLiteral("R$ 7,50"),
                           QStringLiteral("Nao Informar"),
                           QStringLiteral("1 ao 750")};
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded), order.text());
    }
    QCOMPARE(webkit.value("results"), chromium.value("results"));
}

KORVANTE_TEST(TestSalesPageBrowser)
#include "TestSalesPageBrowser.moc"
