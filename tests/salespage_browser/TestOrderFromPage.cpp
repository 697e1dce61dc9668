#include "sales/TForm_Validacao.h"
#include "sales/WidgetWhatsAppOrder.h"
#include "salespage/SalesPageFixture.h"
#include "support/PageBrowser.h"
#include "support/TestRegistry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QUrl>
#include <QUrlQuery>

using namespace SalesPageFixture;
namespace pb = PageBrowser;

// An order sent from the sales page in a real browser, pasted into the validation window as
// WhatsApp shows it, validates exactly its tickets with the buyer's data.
class TestOrderFromPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void orderFromTheBrowserIsValidated();

private:
    std::unique_ptr<TestInstallation> inst;
};

void TestOrderFromPage::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(addPhone(*inst, QStringLiteral("11"), QStringLiteral("987654321")));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (4, 'Joana')")));
    QVERIFY(chooseRaffle(*inst, Raffle{}));
}

void TestOrderFromPage::orderFromTheBrowserIsValidated() {
    QString page;
    {
        Window w(*inst);
        w.list(2, QStringLiteral("1"), QStringLiteral("750"));
        inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."),
                                    BoxIcon::Information);
        w.click("BTN_Gerar");
        page = inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"));
    }
    QJsonArray steps;
    steps << pb::click(pb::byId("C-0041") + " button") << pb::click(pb::byId("C-0042") + " button");
    steps << pb::click("text=COMPRAR");
    steps << pb::type("#nomeCP", "joão d'ávila") << pb::blur("#nomeCP");
    steps << pb::type("#enderecoCP", "Rua das Flores, 10 ");
    steps << pb::type("#cidadeCP", "Campinas") << pb::type("#ufCP", "sp") << pb::blur("#ufCP");
    steps << pb::type("#N_celularCP", "11987654321");
    steps << QJsonObject{{"press", QJsonArray{"#vendCP", "ArrowDown"}}};
    steps << pb::value("#vendCP");
    steps << pb::click("button:has-text(\"Enviar\")");
    QString error;
    const QJsonObject out = pb::run(page, steps, QSize(1280, 900), &error);
    QVERIFY2(!out.isEmpty(), qPrintable(error));
    const QJsonArray r = out.value("results").toArray();
    for (int i = 0; i < r.size(); ++i)
        QVERIFY2(!r.at(i).isObject(), qPrintable(QStringLiteral("step %1: %2").arg(i).arg(
                                          r.at(i).toObject().value("error").toString())));
    QCOMPARE(r.at(steps.size() - 2).toString(), QStringLiteral("4"));
    const QJsonArray opened = out.value("opened").toArray();
    QCOMPARE(opened.size(), 1);
    const QString message =
        QUrlQuery(QUrl(opened.at(0).toString())).queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded);
    QVERIFY(message.contains(QStringLiteral(" *Vend:* 4")));

    // WhatsApp shows the asterisks as bold: the copied text is without them.
    QString copied = message;
    copied.remove(u'*');
    // Copied in WhatsApp; the person then clicks "Colar Dados".
    QGuiApplication::clipboard()->setText(copied);

    TForm_Validacao form(inst->context());
    form.setEvento(QStringLiteral("RIFA DA MOTO"));
    form.setValor(2.5);
    QList<WhatsAppHandOver> handOvers;
    form.whatsAppOrder()->setHandOver([&](const WhatsAppHandOver &h) { handOvers << h; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLabel *open = form.findChild<QLabel *>(QStringLiteral("IMM_ValidaMaisZap"));
    QTest::mouseClick(open, Qt::LeftButton, {}, open->rect().center());
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("BTN_Colar")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("BTN_ValidarDadosW")), Qt::LeftButton);

    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 2);
    for (int t : {41, 42}) {
        auto col = [&](const char *c) {
            return inst->scalar(QStringLiteral("SELECT %1 FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=?").arg(c), {t});
        };
        QCOMPARE(col("NOMECOMP").toString(), QStringLiteral("JOÃO D'ÁVILA"));
        QCOMPARE(col("ENDCOMP").toString(), QStringLiteral("Rua das Flores, 10"));
        QCOMPARE(col("CIDCOMP").toString(), QStringLiteral("CAMPINAS/SP"));
        QCOMPARE(col("FONECOMP").toString().trimmed(), QStringLiteral("11987654321"));
        QCOMPARE(col("COD_VENDEDOR").toInt(), 4);
        QCOMPARE(inst->scalar(QStringLiteral("SELECT VALID_R1 FROM BS4_D WHERE NUMBILHETE=?"), {t})
                     .toString()
                     .trimmed(),
                 QStringLiteral("S"));
    }
    QCOMPARE(handOvers.size(), 1);
    QCOMPARE(handOvers[0].tickets, QStringList({QStringLiteral("0041"), QStringLiteral("0042")}));
    QCOMPARE(handOvers[0].foneEnvio, QStringLiteral("11987654321"));
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

KORVANTE_TEST(TestOrderFromPage)
#include "TestOrderFromPage.moc"
