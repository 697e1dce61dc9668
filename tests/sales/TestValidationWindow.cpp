#include "SalesFixture.h"
#include "mainwindow/TForm_RIFA.h"
#include "sales/TForm_Validacao.h"
#include "platform/TerminationSignals.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QTimer>
#include <csignal>

namespace {

class RecordingBeep : public Beep {
public:
    void play(int hertz, int milliseconds) override { played << qMakePair(hertz, milliseconds); }
    QList<QPair<int, int>> played;
};

} // namespace

// The validation window offscreen: keys, notices, extra fields, seller and city helpers.
class TestValidationWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void ticketFieldTakesDigitsAndDash();
    void enterValidatesAtOnceWithoutExtraFields();
    void enterWalksTheExtraFields();
    void singleValidationClearsBuyerAndBlinks();
    void sequenceShowsWithoutBlinking();
    void typingStopsTheNotice();
    void sequenceLetsTheWindowRunButNotASecondValidation();
    void refusalLeavesTheFieldAsTyped();
    void alreadyValidatedClearsTheField();
    void unknownSellerIsClearedAndNotStored();
    void invalidSellerStillTypedIsRefused();
    void fixedSellerSurvivesValidation();
    void f5SwitchesTheSellerField();
    void extraFieldsColours();
    void defaultCity();
    void soundOption();
    void autoDateOption();
    void helpBox();
    void placedEntriesAnswer();
    void menuOpensWindowWithRaffleNameAndPrice();
    void runningSequenceCanBeStopped_data();
    void runningSequenceCanBeStopped();
    void sequencePastTheLastTicketShowsWhatItValidated();
    void typedSaleDateMustBeReal();
    void greyedOutDateFieldIsNeverAskedFor();
    void sequenceHoldsEveryOtherControl();
    void sequenceStoppedBySoldTicketShowsWhatItValidated();
    void ticketRefusalsNameWhatWasTyped_data();
    void ticketRefusalsNameWhatWasTyped();
    void buyerFieldsHoldTheirColumns_data();
    void buyerFieldsHoldTheirColumns();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void type(const char *field, const QString &text) {
        w<QLineEdit>(field)->setFocus();
        QTest::keyClicks(w<QLineEdit>(field), text);
    }
    void validate(const QString &ticket) { validateIn(form.get(), ticket); }
    // Types the ticket over what the field holds and clicks "Validar".
    static void validateIn(QWidget *window, const QString &ticket) {
        auto *field = window->findChild<QLineEdit *>(QStringLiteral("ED_NUM_BILHETE"));
        field->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(field, Qt::Key_End);
        while (!field->text().isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, ticket);
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BTN_Validar")), Qt::LeftButton);
    }
    void extras(bool on) { QTest::mouseClick(w<QRadioButton>(on ? "RB_Sim" : "RB_Nao"), Qt::LeftButton); }
    QColor base(const char *name) { return w(name)->palette().color(QPalette::Base); }
    QVariant column(const QString &col, int ticket) {
        return inst->scalar(QStringLiteral("SELECT %1 FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=?").arg(col),
                            {ticket});
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Validacao> form;
    RecordingBeep beep;
};

void TestValidationWindow::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(inst->exec(
        QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE SOUZA')")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
}

void TestValidationWindow::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL")));
    inst->dialogs.clear();
    beep.played.clear();
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->setBeep(&beep);
    form->setEvento(QStringLiteral("RIFA DO CARRO"));
    form->setValor(10);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestValidationWindow::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestValidationWindow::ticketFieldTakesDigitsAndDash() {
    QCOMPARE(form->windowTitle(), QStringLiteral("Korvante"));
    QCOMPARE(w<QLabel>("LBL_EVENTO")->text(), QStringLiteral("RIFA DO CARRO"));
    QCOMPARE(w<QLineEdit>("CurrencyEdit1")->text(), QStringLiteral("10,00"));
    QVERIFY(w<QLineEdit>("CurrencyEdit1")->isReadOnly());
    type("ED_NUM_BILHETE", QStringLiteral("1a 0-x2.,3"));
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), QStringLiteral("10-23"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Backspace);
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), QStringLiteral("10-2"));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
}

void TestValidationWindow::enterValidatesAtOnceWithoutExtraFields() {
    type("ED_NUM_BILHETE", QStringLiteral("4"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QCOMPARE(SalesFixture::buyerRows(*inst, 4), 1);
    type("ED_NUM_BILHETE", QStringLiteral("5"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Tab);
    QCOMPARE(SalesFixture::buyerRows(*inst, 5), 1);
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("5"));
    QVERIFY(form->isVisible());
}

void TestValidationWindow::enterWalksTheExtraFields() {
    extras(true);
    type("ED_NUM_BILHETE", QStringLiteral("6"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0); // not yet: the buyer comes first
    QCOMPARE(form->focusWidget(), w("DateEdit1"));
    QCOMPARE(w<QLineEdit>("DateEdit1")->text(), QStringLiteral("10/12/2026"));
    for (const char *next :
         {"ed_comprador", "Mask_telefone", "ed_endereco", "ed_cidade", "ed_CodVend", "BTN_Validar"}) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Return);
        QCOMPARE(form->focusWidget()->objectName(), QLatin1String(next));
    }
    w("Mask_telefone")->setFocus();
    QTest::keyClick(w("Mask_telefone"), Qt::Key_Tab);
    QCOMPARE(form->focusWidget(), w("ed_endereco"));
    // Enter on "Validar" validates.
    w("BTN_Validar")->setFocus();
    QTest::keyClick(w("BTN_Validar"), Qt::Key_Return);
    QCOMPARE(SalesFixture::buyerRows(*inst, 6), 1);
}

void TestValidationWindow::singleValidationClearsBuyerAndBlinks() {
    extras(true);
    type("ed_comprador", QStringLiteral("Ana Maria"));
    type("Mask_telefone", QStringLiteral("11987654321"));
    type("ed_endereco", QStringLiteral("Rua A, 10"));
    type("ed_cidade", QStringLiteral("campinas-sp"));
    type("DateEdit1", QStringLiteral("01/12/2026"));
    type("ed_CodVend", QStringLiteral("12"));
    w("ed_comprador")->setFocus(); // leaving the seller field looks it up
    QCOMPARE(w<QLineEdit>("ed_nomVend")->text(), QStringLiteral("JOSE SOUZA"));
    validate(QStringLiteral("7"));
    QCOMPARE(column(QStringLiteral("NOMECOMP"), 7).toString(), QStringLiteral("Ana Maria"));
    QCOMPARE(column(QStringLiteral("FONECOMP"), 7).toString(), QStringLiteral("11987654321"));
    QCOMPARE(column(QStringLiteral("CIDCOMP"), 7).toString(), QStringLiteral("CAMPINAS-SP"));
    QCOMPARE(column(QStringLiteral("COD_VENDEDOR"), 7).toInt(), 12);
    QCOMPARE(column(QStringLiteral("DATA_VAL"), 7).toDate(), QDate(2026, 12, 10));
    QCOMPARE(column(QStringLiteral("VALOR"), 7).toDouble(), 10.0);
    for (const char *f :
         {"ed_comprador", "ed_endereco", "ed_cidade", "ed_CodVend", "ed_nomVend", "ED_NUM_BILHETE"})
        QVERIFY2(w<QLineEdit>(f)->text().isEmpty(), f);
    QCOMPARE(w<QLineEdit>("DateEdit1")->text(), QStringLiteral("01/12/2026")); // the date stays
    QCOMPARE(w<QLabel>("LBL_CartValid")->text(), QStringLiteral("[ 7 ]"));
    QVERIFY(w<QLabel>("LBL_CartValid")->isVisible());
    auto *timer = w<QTimer>("Timer2");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 500);
    QTRY_VERIFY(w<QLabel>("LBL_AvisoValidada1")->isVisible());
    QVERIFY(w<QLabel>("LBL_AvisoValidada2")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 3000);
    QCOMPARE(timer->interval(), 0);
    QVERIFY(!w<QLabel>("LBL_AvisoValidada1")->isVisible());
    QVERIFY(!w<QLabel>("LBL_AvisoValidada2")->isVisible());
    QVERIFY(!w<QLabel>("LBL_CartValid")->isVisible());
    QVERIFY(beep.played.isEmpty()); // "Som" is off
}

void TestValidationWindow::sequenceShowsWithoutBlinking() {
    validate(QStringLiteral("7-7"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 7), 1);
    QVERIFY(w<QTimer>("Timer2")->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!w<QTimer>("Timer2")->isActive(), 3000);

    validate(QStringLiteral("10-12"));
    for (int t : {10, 11, 12})
        QCOMPARE(SalesFixture::mark(*inst, t), QStringLiteral("S"));
    QVERIFY(!w<QTimer>("Timer2")->isActive());
    QCOMPARE(w<QLabel>("LBL_CartValid")->text(), QStringLiteral("[ 10-12 ]"));
    QVERIFY(w<QLabel>("LBL_CartValid")->isVisible());
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("10-12"));
    QVERIFY(w<QLineEdit>("ED_NUM_BILHETE")->text().isEmpty());
    QTest::qWait(700);
    QVERIFY(w<QLabel>("LBL_CartValid")->isVisible()); // stays until a later single validation has blinked
    validate(QStringLiteral("20"));
    QTRY_VERIFY_WITH_TIMEOUT(!w<QLabel>("LBL_CartValid")->isVisible(), 3000);
}

void TestValidationWindow::typingStopsTheNotice() {
    validate(QStringLiteral("8"));
    QVERIFY(w<QTimer>("Timer2")->isActive());
    type("ED_NUM_BILHETE", QStringLiteral("9"));
    QVERIFY(!w<QTimer>("Timer2")->isActive());
    QVERIFY(!w<QLabel>("LBL_CartValid")->isVisible());
    QVERIFY(!w<QLabel>("LBL_AvisoValidada1")->isVisible());
}

void TestValidationWindow::sequenceLetsTheWindowRunButNotASecondValidation() {
    // Pending events run between the tickets; a click among them does not start a second validation.
    bool ran = false;
    QTimer::singleShot(0, form.get(), [&] {
        ran = true;
        QTest::mouseClick(w<QPushButton>("BTN_Validar"), Qt::LeftButton);
    });
    type("ED_NUM_BILHETE", QStringLiteral("1-5"));
    QTest::mouseClick(w<QPushButton>("BTN_Validar"), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 5);
    QCOMPARE(w<QLabel>("LBL_CartValid")->text(), QStringLiteral("[ 1-5 ]"));
}

void TestValidationWindow::refusalLeavesTheFieldAsTyped() {
    inst->dialogs.expectMessage(
        QStringLiteral("Esse Nº de Controle de Bilhete está além do último Bilhete da Rifa "
                       "Escolhida. O C.Bilhete máximo que pode ser digitado é até: 50"),
        BoxIcon::Error);
    validate(QStringLiteral("51"));
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), QStringLiteral("51"));
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
    // A sequence whose first ticket is sold wrote nothing: the field stays as typed.
    validate(QStringLiteral("10"));
    inst->dialogs.expectMessage(
        QStringLiteral("Esse Bilhete [10] na Sequencia informada, já foi Validado anteriormente!"),
        BoxIcon::Error);
    validate(QStringLiteral("10-12"));
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), QStringLiteral("10-12"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 11), 0);
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("10"));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);
}

void TestValidationWindow::alreadyValidatedClearsTheField() {
    validate(QStringLiteral("9"));
    inst->dialogs.expectMessage(QStringLiteral("Bilhete [ 9 ] já foi Validado anteriormente!"),
                                BoxIcon::Error, QStringLiteral("Korvante"));
    validate(QStringLiteral("9"));
    QVERIFY(w<QLineEdit>("ED_NUM_BILHETE")->text().isEmpty());
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);
    // While a file is imported the user may stop there; No also clears the buyer fields.
    extras(true);
    form->ModoImportacao = true;
    type("ed_comprador", QStringLiteral("Ana"));
    inst->dialogs.expectMessage(QStringLiteral("Bilhete [ 9 ] já foi Validado anteriormente!"),
                                BoxIcon::Error, QStringLiteral("Korvante"));
    inst->dialogs.expectQuestion(QStringLiteral("Deseja prosseguir para tentar validar os demais bilhetes?"),
                                 false);
    validate(QStringLiteral("9"));
    QVERIFY(!form->ModoImportacao);
    QVERIFY(w<QLineEdit>("ed_comprador")->text().isEmpty());
}

void TestValidationWindow::unknownSellerIsClearedAndNotStored() {
    extras(true);
    type("ed_CodVend", QStringLiteral("77"));
    inst->dialogs.expectMessage(QStringLiteral("Código de Vendedor não encontrado..."), BoxIcon::Error);
    w("ed_comprador")->setFocus();
    QVERIFY(w<QLineEdit>("ed_CodVend")->text().isEmpty());
    QVERIFY(w<QLineEdit>("ed_nomVend")->text().isEmpty());
    QVERIFY(form->VendedorInvalido());
    QTRY_COMPARE(form->focusWidget(), w("ed_CodVend")); // the focus goes back to the seller
    type("ed_comprador", QStringLiteral("Ana"));
    validate(QStringLiteral("8"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 8), 1);
    QVERIFY(column(QStringLiteral("COD_VENDEDOR"), 8).isNull());
    QCOMPARE(column(QStringLiteral("NOMECOMP"), 8).toString(), QStringLiteral("Ana"));
    QVERIFY(!form->VendedorInvalido());
}

void TestValidationWindow::invalidSellerStillTypedIsRefused() {
    extras(true);
    type("ed_CodVend", QStringLiteral("77"));
    inst->dialogs.expectMessage(QStringLiteral("Código de Vendedor não encontrado..."), BoxIcon::Error);
    w("ed_comprador")->setFocus();
    w<QLineEdit>("ed_CodVend")->setText(QStringLiteral("78")); // typed again, not yet looked up
    inst->dialogs.expectMessage(QStringLiteral("Favor informe um Vendedor Válido!"), BoxIcon::Error);
    w<QLineEdit>("ED_NUM_BILHETE")->setText(QStringLiteral("8"));
    form->BTN_ValidarClick();
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
    QCOMPARE(form->focusWidget(), w("ed_CodVend"));
}

void TestValidationWindow::fixedSellerSurvivesValidation() {
    extras(true);
    inst->dialogs.expectMessage(QStringLiteral("Favor informar antes o código do Vendedor!"), BoxIcon::None);
    QTest::mouseClick(w<QCheckBox>("chk_fixarVend"), Qt::LeftButton);
    QVERIFY(!w<QCheckBox>("chk_fixarVend")->isChecked());
    QCOMPARE(form->focusWidget(), w("ed_CodVend"));
    type("ed_CodVend", QStringLiteral("12"));
    w("ed_comprador")->setFocus();
    QTest::mouseClick(w<QCheckBox>("chk_fixarVend"), Qt::LeftButton);
    QVERIFY(w<QCheckBox>("chk_fixarVend")->isChecked());
    validate(QStringLiteral("13"));
    validate(QStringLiteral("14"));
    QCOMPARE(w<QLineEdit>("ed_CodVend")->text(), QStringLiteral("12"));
    QCOMPARE(w<QLineEdit>("ed_nomVend")->text(), QStringLiteral("JOSE SOUZA"));
    QCOMPARE(column(QStringLiteral("COD_VENDEDOR"), 14).toInt(), 12);
}

void TestValidationWindow::f5SwitchesTheSellerField() {
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_F5); // extra fields off: nothing
    extras(true);
    type("ed_CodVend", QStringLiteral("12"));
    w("ed_comprador")->setFocus();
    inst->dialogs.expectMessage(
        QStringLiteral(
            "O Campo de Controle de Vendedores na validação será Desabilitado Temporariamente. Caso queira "
            "reabilitar, pressione novamente a Tecla F5 Novamente!"),
        BoxIcon::Warning, QStringLiteral("Quelmaro"));
    QTest::keyClick(w("ed_comprador"), Qt::Key_F5);
    QVERIFY(!w("ed_CodVend")->isEnabled());
    QCOMPARE(base("ed_CodVend"), QColor(195, 195, 195));
    QCOMPARE(w<QLabel>("Label12")->text(), QStringLiteral("F4 - Pesquisar     F5-Validar Com Vendedor"));
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
    // "Validar sem Vendedor": the code still in the disabled field is not stored.
    validate(QStringLiteral("21"));
    QVERIFY(column(QStringLiteral("COD_VENDEDOR"), 21).isNull());
    QTest::keyClick(w<QCheckBox>("Chk_som"), Qt::Key_F5); // anywhere in the window
    QVERIFY(w("ed_CodVend")->isEnabled());
    QCOMPARE(base("ed_CodVend"), QColor(255, 255, 255));
    QCOMPARE(w<QLabel>("Label12")->text(), QStringLiteral("F5-Valldar sem Vendedor"));
}

void TestValidationWindow::extraFieldsColours() {
    const char *inputs[] = {"DateEdit1",   "ed_comprador", "Mask_telefone",
                            "ed_endereco", "ed_cidade",    "ed_CodVend"};
    QVERIFY(w<QRadioButton>("RB_Nao")->isChecked());
    for (const char *i : inputs) {
        QVERIFY2(!w(i)->isEnabled(), i);
        QCOMPARE(base(i), QColor(221, 219, 217));
    }
    QVERIFY(!w("CHK_UsarDataAutom")->isEnabled());
    QVERIFY(!w("chk_fixarVend")->isEnabled());
    extras(true);
    for (const char *i : inputs) {
        QVERIFY2(w(i)->isEnabled(), i);
        QCOMPARE(base(i), QColor(255, 255, 255));
    }
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
    // Text left in the fields is not stored once they are off.
    type("ed_comprador", QStringLiteral("Ana"));
    type("ed_CodVend", QStringLiteral("12"));
    extras(false);
    validate(QStringLiteral("3"));
    QVERIFY(column(QStringLiteral("NOMECOMP"), 3).isNull());
    QVERIFY(column(QStringLiteral("COD_VENDEDOR"), 3).isNull());
}

void TestValidationWindow::defaultCity() {
    extras(true);
    inst->dialogs.expectMessage(
        QStringLiteral("Você não tem Cidade Padrão Definida. Pressione a tecla F10 para "
                       "Alterar/Cadastrar uma Cidade!"),
        BoxIcon::Warning, QStringLiteral("Quelmaro"));
    type("ed_cidade", QString());
    QTest::keyClick(w("ed_cidade"), Qt::Key_F9);
    QTest::keyClick(w("ed_cidade"), Qt::Key_F10);
    QVERIFY(w("Panel_CidPadrao")->isVisible());
    QCOMPARE(form->focusWidget(), w("ed_cidpadrao"));
    QTest::keyClicks(w("ed_cidpadrao"), QStringLiteral("SÃO PAULO-SP"));
    inst->dialogs.expectMessage(
        QStringLiteral("Cidade Padrão Criada com Sucesso. Pressione F9 toda vez que desejar "
                       "usar essa cidade!"),
        BoxIcon::None);
    QTest::mouseClick(w<QPushButton>("BTN_ConfirmarCid"), Qt::LeftButton);
    QVERIFY(!w("Panel_CidPadrao")->isVisible());
    QCOMPARE(w<QLineEdit>("ed_cidade")->text(), QStringLiteral("SÃO PAULO-SP"));
    QCOMPARE(form->focusWidget(), w("ed_cidade"));
    QCOMPARE(inst->registry->value(QStringLiteral("CidPadrao")).toString(), QStringLiteral("SÃO PAULO-SP"));

    // The next window reads it back; F9 fills the city.
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->show();
    QCOMPARE(w<QLineEdit>("ed_cidpadrao")->text(), QStringLiteral("SÃO PAULO-SP"));
    extras(true);
    type("ed_cidade", QString());
    QTest::keyClick(w("ed_cidade"), Qt::Key_F9);
    QCOMPARE(w<QLineEdit>("ed_cidade")->text(), QStringLiteral("SÃO PAULO-SP"));
    // The panel's close picture only hides it.
    QTest::keyClick(w("ed_cidade"), Qt::Key_F10);
    QTest::mouseClick(w("Img_FecharCid"), Qt::LeftButton);
    QVERIFY(!w("Panel_CidPadrao")->isVisible());
    QCOMPARE(form->focusWidget(), w("ed_cidade"));
}

void TestValidationWindow::soundOption() {
    validate(QStringLiteral("16"));
    QVERIFY(beep.played.isEmpty());
    inst->dialogs.expectMessage(
        QStringLiteral("Um pequeno aviso sono como esse,  será emitido quando um Bilhete for Validado!"),
        BoxIcon::None);
    QTest::mouseClick(w<QCheckBox>("Chk_som"), Qt::LeftButton);
    QCOMPARE(beep.played, (QList<QPair<int, int>>{{250, 300}}));
    validate(QStringLiteral("17"));
    validate(QStringLiteral("18-19"));
    QCOMPARE(beep.played.size(), 3);
    QTest::mouseClick(w<QCheckBox>("Chk_som"), Qt::LeftButton); // unticking says nothing
    QCOMPARE(beep.played.size(), 3);
    // The real tone is silent (and harmless) on a machine without an audio output.
    ToneBeep tone;
    tone.play(250, 300);
}

void TestValidationWindow::autoDateOption() {
    extras(true);
    QTest::mouseClick(w<QCheckBox>("CHK_UsarDataAutom"), Qt::LeftButton);
    QVERIFY(w<QLineEdit>("DateEdit1")->text().isEmpty());
    inst->dialogs.expectMessage(QStringLiteral("Favor informe uma Data de Venda válida ( dd/mm/aaaa )!"),
                                BoxIcon::Error);
    validate(QStringLiteral("22"));
    QCOMPARE(form->focusWidget(), w("DateEdit1"));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
    type("DateEdit1", QStringLiteral("05/11/2026"));
    validate(QStringLiteral("22"));
    QCOMPARE(column(QStringLiteral("DATA_VAL"), 22).toDate(), QDate(2026, 11, 5));
    QTest::mouseClick(w<QCheckBox>("CHK_UsarDataAutom"), Qt::LeftButton);
    QCOMPARE(w<QLineEdit>("DateEdit1")->text(), QStringLiteral("10/12/2026"));
}

void TestValidationWindow::helpBox() {
    QCOMPARE(w("LBL_Ajuda")->toolTip(), QStringLiteral("Dicas & Ajuda sobre Validação..."));
    inst->dialogs.expectMessage(
        QStringLiteral(
            "Para Validar C.Bilhetes em seqüência, use \"-\" ( hífem ) entre os números. Ex.: [1 - 30] "
            "Validará 30 C.Bilhetes de uma só vez\r\rF7 - Para Retirar uma Validação de Rifa ou Click em "
            "Ver Validadas e com o Botão direito em uma Delas você poderá Excluir!\r\rCaso você tenha gerado "
            "Página HTML de vendas click no [ Botão Validar Várias Rifas Vinda do WhatsApp ] para Validar e "
            "Retornar as Validadas para o Comprador."),
        BoxIcon::Information, QStringLiteral("Quelmaro"));
    QTest::mouseClick(w("LBL_Ajuda"), Qt::LeftButton);
}

void TestValidationWindow::placedEntriesAnswer() {
    QCOMPARE(w<QPushButton>("Btn_ver")->text(), QStringLiteral("Ver validadas"));
    QCOMPARE(w<QPushButton>("Button1")->text(), QStringLiteral("Zerar Validações"));
    QCOMPARE(w<QPushButton>("BTN_Mais")->text(), QStringLiteral("Mais..."));
    QStringList options;
    for (QAction *a : w<QWidget>("Pop_Opcoes")->actions())
        options << a->text();
    QCOMPARE(options, QStringList({"  *** OPÇÕES ***", "Exportar Validações", "Importar Validações",
                                   "Marcar Blocos Reservas"}));
    QCOMPARE(w("IMM_ValidaMaisZap")->toolTip(), QStringLiteral("Efetuar Validação Via dados do WhasApp"));
    QVERIFY(!form->whatsAppPanelOpen());
}

void TestValidationWindow::menuOpensWindowWithRaffleNameAndPrice() {
    form.reset();
    QVERIFY(inst->exec(
        QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DA MOTO', VLR_RIFA=12.5 WHERE CODRIFA=1")));
    TForm_RIFA menu(inst->services());
    QVERIFY(SalesFixture::chooseRaffleInMenu(*inst, menu));
    QString caption, price;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto *v = qobject_cast<TForm_Validacao *>(QApplication::activeModalWidget());
        if (!v) return;
        opened = true;
        caption = v->findChild<QLabel *>(QStringLiteral("LBL_EVENTO"))->text();
        price = v->findChild<QLineEdit *>(QStringLiteral("CurrencyEdit1"))->text();
        v->reject();
    });
    clickIn(menu, "Img_valida");
    QVERIFY(opened);
    QCOMPARE(caption, QStringLiteral("RIFA DA MOTO"));
    QCOMPARE(price, QStringLiteral("12,50"));
    bool sellers = false;
    QTimer::singleShot(0, [&] {
        if (auto *v = QApplication::activeModalWidget()) {
            sellers = v->objectName() == u"TForm_vendedor";
            v->close();
        }
    });
    clickIn(menu, "Img_Vendedor");
    QVERIFY(sellers);
}

void TestValidationWindow::runningSequenceCanBeStopped_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Parar") << "Parar";
    QTest::newRow("closing the window") << "window";
    QTest::newRow("closing the main window") << "main window";
    QTest::newRow("SIGTERM (logout, shutdown)") << "SIGTERM";
}

void TestValidationWindow::runningSequenceCanBeStopped() {
    QFETCH(QString, how);
    // The program takes the signals as it does once started; it is there before the window opens.
    std::unique_ptr<TerminationSignals> termination;
    if (how == u"SIGTERM") {
        form.reset();
        termination = std::make_unique<TerminationSignals>([] {});
        form = std::make_unique<TForm_Validacao>(inst->context());
        form->setValor(10);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    inst->dialogs.expectMessage(QString(), BoxIcon::Information); // its text is checked below
    std::unique_ptr<TForm_RIFA> menu;
    QWidget *window = form.get();
    // Asked to stop while the first ticket is being validated.
    auto stop = [&] {
        QTimer::singleShot(0, window, [&, window] {
            if (how == u"Parar") {
                auto *parar = window->findChild<QPushButton *>(QStringLiteral("BTN_Parar"));
                QVERIFY(parar->isVisible());
                QTest::mouseClick(parar, Qt::LeftButton);
            } else if (how == u"window") {
                window->close();
            } else if (how == u"SIGTERM") {
                ::raise(SIGTERM);
            } else {
                menu->close();
            }
        });
    };
    if (how == u"main window") {
        form.reset();
        menu = std::make_unique<TForm_RIFA>(inst->services());
        QVERIFY(SalesFixture::chooseRaffleInMenu(*inst, *menu));
        QTimer::singleShot(0, menu.get(), [&] {
            window = QApplication::activeModalWidget();
            QVERIFY(qobject_cast<TForm_Validacao *>(window));
            stop();
            validateIn(window, QStringLiteral("1-50"));
        });
        clickIn(*menu, "Img_valida");
        // The connection closes only once the sequence has ended.
        QTRY_VERIFY(!inst->tdm->CONEX_R().isOpen());
        QSqlDatabase main = inst->tdm->CONEX_R();
        QVERIFY(main.open());
    } else {
        stop();
        validate(QStringLiteral("1-50"));
    }
    const int rows = inst->count(QStringLiteral("DADOSCOMPRADOR_1"));
    QVERIFY2(rows >= 1 && rows < 50, qPrintable(QString::number(rows)));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT MAX(NUMBILHETE) FROM DADOSCOMPRADOR_1")).toInt(), rows);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS2_100G WHERE VALID_R1='S'")).toInt(), rows);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(inst->dialogs.shown.size(), 1);
    const QString validated = rows == 1 ? QStringLiteral("1") : QStringLiteral("1 a %1").arg(rows);
    QCOMPARE(inst->dialogs.shown.first().text,
             QStringLiteral("Validação em sequência interrompida. Bilhetes validados: %1.").arg(validated));
    if (how == u"Parar" || how == u"SIGTERM") {
        QVERIFY(form->isVisible());
        QVERIFY(!w("BTN_Parar")->isVisible());
        QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("1-%1").arg(rows));
    } else if (form) {
        QTRY_VERIFY(!form->isVisible());
    }
    // Nothing keeps selling afterwards.
    QTest::qWait(100);
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), rows);
}

void TestValidationWindow::sequencePastTheLastTicketShowsWhatItValidated() {
    inst->dialogs.expectMessage(
        QStringLiteral("Esse Nº de Controle de Bilhete está além do último Bilhete da Rifa "
                       "Escolhida. O C.Bilhete máximo que pode ser digitado é até: 50"),
        BoxIcon::Error);
    validate(QStringLiteral("45-60"));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 6);
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("45-50"));
    QCOMPARE(w<QLabel>("LBL_CartValid")->text(), QStringLiteral("[ 45-50 ]"));
    QVERIFY(w<QLineEdit>("ED_NUM_BILHETE")->text().isEmpty());
}

void TestValidationWindow::typedSaleDateMustBeReal() {
    extras(true);
    QTest::mouseClick(w<QCheckBox>("CHK_UsarDataAutom"), Qt::LeftButton);
    for (const QString &typed : {QStringLiteral("31/02/2026"), QStringLiteral("00/13/2026")}) {
        auto *date = w<QLineEdit>("DateEdit1");
        date->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(date, Qt::Key_End);
        while (!date->text().isEmpty())
            QTest::keyClick(date, Qt::Key_Backspace);
        QTest::keyClicks(date, typed);
        inst->dialogs.expectMessage(QStringLiteral("Favor informe uma Data de Venda válida ( dd/mm/aaaa )!"),
                                    BoxIcon::Error);
        validate(QStringLiteral("22"));
        QVERIFY(inst->dialogs.scriptDone());
        QCOMPARE(form->focusWidget(), w("DateEdit1"));
        QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
    }
}

void TestValidationWindow::greyedOutDateFieldIsNeverAskedFor() {
    extras(true);
    QTest::mouseClick(w<QCheckBox>("CHK_UsarDataAutom"), Qt::LeftButton); // clears the date field
    QVERIFY(w<QLineEdit>("DateEdit1")->text().isEmpty());
    extras(false);
    QVERIFY(!w("DateEdit1")->isEnabled());
    validate(QStringLiteral("22"));
    QVERIFY(inst->dialogs.shown.isEmpty());
    QCOMPARE(column(QStringLiteral("DATA_VAL"), 22).toDate(), QDate(2026, 12, 10));
}

void TestValidationWindow::sequenceHoldsEveryOtherControl() {
    // While "1-50" sells, a person tries the reset, the listing, the menu, F7, the WhatsApp panel and
    // the ticket field: nothing answers but "Parar"; any box would fail the test.
    const char *held[] = {"ED_NUM_BILHETE", "BTN_Validar", "Btn_ver",   "Button1", "BTN_Mais", "IMM_ValidaMaisZap",
                          "img_whats",      "Panel_validarW", "DBGrid3", "Pop_Opcoes", "Pop_Validadas", "RB_Sim"};
    QStringList live;
    bool tried = false;
    QTimer::singleShot(0, form.get(), [&] {
        tried = true;
        for (const char *name : held)
            if (w(name)->isEnabled()) live << QLatin1String(name);
        QVERIFY(w("BTN_Parar")->isEnabled());
        QTest::mouseClick(w<QPushButton>("Button1"), Qt::LeftButton);
        QTest::mouseClick(w<QPushButton>("Btn_ver"), Qt::LeftButton);
        QTest::mouseClick(w<QPushButton>("BTN_Mais"), Qt::LeftButton);
        QTest::mouseClick(w("IMM_ValidaMaisZap"), Qt::LeftButton);
        QTest::mouseClick(w("img_whats"), Qt::LeftButton);
        QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_F7);
        QTest::keyClicks(w("ED_NUM_BILHETE"), QStringLiteral("7"));
        QTest::keyClick(form.get(), Qt::Key_F5);
    });
    validate(QStringLiteral("1-50"));
    QVERIFY(tried);
    QCOMPARE(live, QStringList());
    QVERIFY(inst->dialogs.shown.isEmpty());
    QVERIFY(!w("Panel_PeqVal")->isVisible());
    QVERIFY(!w<QWidget>("Pop_Opcoes")->isVisible());
    QVERIFY(!form->whatsAppPanelOpen());
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 50);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS2_100G WHERE VALID_R1='S'")).toInt(), 50);
    // Afterwards every control is back.
    for (const char *name : held)
        QVERIFY2(w(name)->isEnabled(), name);
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
    QVERIFY(w<QLineEdit>("ED_NUM_BILHETE")->text().isEmpty());
}

void TestValidationWindow::sequenceStoppedBySoldTicketShowsWhatItValidated() {
    validate(QStringLiteral("12"));
    QTRY_VERIFY_WITH_TIMEOUT(!w<QTimer>("Timer2")->isActive(), 3000);
    validate(QStringLiteral("40-42"));
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("40-42"));
    inst->dialogs.expectMessage(
        QStringLiteral("Esse Bilhete [12] na Sequencia informada, já foi Validado anteriormente!"),
        BoxIcon::Error);
    validate(QStringLiteral("10-12"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 10), 1);
    QCOMPARE(SalesFixture::buyerRows(*inst, 11), 1);
    QCOMPARE(w<QLabel>("LBL_CartValid")->text(), QStringLiteral("[ 10-11 ]"));
    QVERIFY(w<QLabel>("LBL_CartValid")->isVisible());
    QCOMPARE(w<QLabel>("LBL_ULTIMA_VALID")->text(), QStringLiteral("10-11"));
    QVERIFY(w<QLineEdit>("ED_NUM_BILHETE")->text().isEmpty());
    QCOMPARE(form->focusWidget(), w("ED_NUM_BILHETE"));
}

void TestValidationWindow::ticketRefusalsNameWhatWasTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString range =
        QStringLiteral("Número de Bilhete informado fora do Limite do Modelo de Rifa Escolhido. ");
    QTest::newRow("sequence without its end") << "1-" << "'1-' não é um número válido.";
    QTest::newRow("leading dash") << "-1" << "'-1' não é um número válido.";
    QTest::newRow("more digits than a number holds") << "99999999999"
                                                     << range + "Digite números entre [ 1 e 100 ]";
    QTest::newRow("sequence to more digits than a number holds")
        << "1-99999999999" << range + "Digite números máximo entre [ 1 e 100 ]";
}

void TestValidationWindow::ticketRefusalsNameWhatWasTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    type("ED_NUM_BILHETE", typed);
    inst->dialogs.expectMessage(message, BoxIcon::Error);
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(w<QLineEdit>("ED_NUM_BILHETE")->text(), typed);
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
}

void TestValidationWindow::buyerFieldsHoldTheirColumns_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("column");
    QTest::newRow("buyer") << "ed_comprador" << "NOMECOMP";
    QTest::newRow("address") << "ed_endereco" << "ENDCOMP";
    QTest::newRow("city") << "ed_cidade" << "CIDCOMP";
}

void TestValidationWindow::buyerFieldsHoldTheirColumns() {
    // Every text field saved to a column takes no more than the column holds, so what the person
    // sees is what is stored.
    QFETCH(QString, field);
    QFETCH(QString, column);
    const int length =
        inst->scalar(QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F "
                                    "ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = "
                                    "'DADOSCOMPRADOR_1' AND R.RDB$FIELD_NAME = ?"),
                     {column})
            .toInt();
    QVERIFY(length > 0);
    extras(true);
    auto *edit = w<QLineEdit>(field.toLatin1().constData());
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(edit, QStringLiteral("ABCDEFGHIJ").repeated(7));
    QCOMPARE(edit->text().size(), length);
    const QString shown = edit->text();
    validate(QStringLiteral("30"));
    QVERIFY(inst->dialogs.shown.isEmpty());
    QCOMPARE(column == u"CIDCOMP" ? shown.toUpper() : shown,
             inst->scalar(QStringLiteral("SELECT %1 FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=30").arg(column))
                 .toString());
}

KORVANTE_TEST(TestValidationWindow)
#include "TestValidationWindow.moc"
