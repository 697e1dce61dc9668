#include "sellers/TForm_vendedor.h"
#include "support/Contrast.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QImage>
#include <QMap>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

// The seller window over a few sellers written straight into CAD_VENDEDOR.
class TestSellers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void windowAndStateList();
    void newSellerIsShownWithItsCodeAsLastRow();
    void enterWalksTheFieldsToGravar();
    void editingSwitchesButtonsAndEscCancels();
    void editIsSaved();
    void sellerChangedElsewhereIsNotOverwritten();
    void emptiedFieldIsSavedAgainWithoutConflict();
    void leadingBlankIsKeptAndSavedAgain();
    void search_data();
    void search();
    void deleteAsksFirst();
    void codeIsReadable();
    void sellerWithoutNameIsRefused();
    void cancelDiscardsEveryPendingEdit();
    void enterPressesTheFocusedButton();
    void savedSellerShowsWhatWasStored_data();
    void savedSellerShowsWhatWasStored();
    void fieldsHoldTheirColumns();

private:
    QLineEdit *edit(const char *name) { return form->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *button(const char *name) { return form->findChild<QPushButton *>(QLatin1String(name)); }
    QString nameInDb(int code) {
        return inst->scalar(QStringLiteral("SELECT NOME_VEND FROM CAD_VENDEDOR WHERE COD_VEND=?"), {code})
            .toString();
    }
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_vendedor> form;
};

void TestSellers::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

void TestSellers::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM CAD_VENDEDOR")));
    const struct {
        int code;
        const char *name;
    } sellers[] = {{3, "123 Vendas Ltda"}, {5, "Maria da Silva"}, {12, "José Souza"}, {20, "marcos pereira"}};
    for (const auto &s : sellers)
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND, UF_VEND, FONE1) "
                                          "VALUES (?, ?, 'SP', '1133334444')"),
                           {s.code, QString::fromUtf8(s.name)}));
    QVERIFY(inst->exec(QStringLiteral("ALTER TABLE CAD_VENDEDOR ALTER COLUMN COD_VEND RESTART WITH 40")));
    inst->dialogs.clear();
    form = std::make_unique<TForm_vendedor>(inst->services());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestSellers::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestSellers::windowAndStateList() {
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE - Cadastro de Vendedores"));
    QCOMPARE(form->size(), QSize(826, 255));
    auto *uf = form->findChild<QComboBox *>(QStringLiteral("DBC_UF"));
    QStringList items;
    for (int i = 0; i < uf->count(); ++i)
        items << uf->itemText(i);
    QCOMPARE(items,
             QStringList({"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
                          "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"}));
    QVERIFY(!uf->isEditable());
    // Letters do not jump through the list.
    QTest::keyClick(uf, Qt::Key_R);
    QCOMPARE(uf->currentText(), QStringLiteral("SP"));
    // The first seller, its code with two digits.
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("03"));
    QVERIFY(!edit("dbcod")->isEnabled());
    QCOMPARE(edit("dbnome")->text(), QStringLiteral("123 Vendas Ltda"));
    QCOMPARE(edit("dbnome")->maxLength(), 30);
    QCOMPARE(edit("dbfone")->text(), QStringLiteral("1133334444")); // CHAR(15) without its padding
    QVERIFY(button("Btn_novo")->isEnabled());
    QVERIFY(button("btn_localizar")->isEnabled());
    QVERIFY(button("btn_excluir")->isEnabled());
    QVERIFY(!button("btn_gravar")->isEnabled());
    QVERIFY(!button("btn_cancelar")->isEnabled());
}

void TestSellers::newSellerIsShownWithItsCodeAsLastRow() {
    QTest::mouseClick(button("Btn_novo"), Qt::LeftButton);
    QVERIFY(button("btn_gravar")->isEnabled());
    QVERIFY(button("btn_cancelar")->isEnabled());
    QVERIFY(!button("Btn_novo")->isEnabled());
    QVERIFY(!button("btn_localizar")->isEnabled());
    QVERIFY(!button("btn_excluir")->isEnabled());
    QCOMPARE(form->focusWidget(), edit("dbnome"));
    QCOMPARE(edit("dbnome")->text(), QString());
    QTest::keyClicks(edit("dbnome"), QStringLiteral("Ana L"));
    edit("dbnome")->insert(QStringLiteral("úcia")); // typed text beyond ASCII
    QTest::keyClicks(edit("dbcidade"), QStringLiteral("Campinas"));
    auto *uf = form->findChild<QComboBox *>(QStringLiteral("DBC_UF"));
    uf->setFocus();
    while (uf->currentText() != u"SP")
        QTest::keyClick(uf, Qt::Key_Down);

    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 5);
    const int code = inst->scalar(QStringLiteral("SELECT MAX(COD_VEND) FROM CAD_VENDEDOR")).toInt();
    QVERIFY(code > 20); // given by the database
    QCOMPARE(nameInDb(code), QStringLiteral("Ana Lúcia"));
    QCOMPARE(
        inst->scalar(QStringLiteral("SELECT TRIM(UF_VEND) || CID_VEND FROM CAD_VENDEDOR WHERE COD_VEND=?"),
                     {code}),
        QVariant(QStringLiteral("SPCampinas")));
    QVERIFY(
        inst->scalar(QStringLiteral("SELECT END_VEND FROM CAD_VENDEDOR WHERE COD_VEND=?"), {code}).isNull());
    QCOMPARE(edit("dbcod")->text(), QString::number(code));
    QCOMPARE(edit("dbnome")->text(), QStringLiteral("Ana Lúcia"));
    QCOMPARE(form->CDS_VENDEDOR().current(), form->CDS_VENDEDOR().rowCount() - 1);
    QVERIFY(!button("btn_gravar")->isEnabled());
    QVERIFY(button("Btn_novo")->isEnabled());
}

void TestSellers::enterWalksTheFieldsToGravar() {
    const char *order[] = {"dbnome", "dbdocumento", "dbfone", "dbende", "dbbairro", "dbcidade"};
    edit("dbnome")->setFocus();
    for (int i = 1; i < 6; ++i) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Return);
        QCOMPARE(form->focusWidget()->objectName(), QLatin1String(order[i]));
    }
    QTest::keyClick(form->focusWidget(), Qt::Key_Return);
    QCOMPARE(form->focusWidget()->objectName(), QStringLiteral("DBC_UF"));
    // "Gravar" is disabled while browsing: Enter stays in the list.
    QTest::keyClick(form->focusWidget(), Qt::Key_Return);
    QCOMPARE(form->focusWidget()->objectName(), QStringLiteral("DBC_UF"));
    QTest::mouseClick(button("Btn_novo"), Qt::LeftButton);
    form->findChild<QComboBox *>(QStringLiteral("DBC_UF"))->setFocus();
    QTest::keyClick(form->focusWidget(), Qt::Key_Enter);
    QCOMPARE(form->focusWidget(), button("btn_gravar"));
    QVERIFY(form->isVisible()); // Enter never closed the window
}

void TestSellers::editingSwitchesButtonsAndEscCancels() {
    QTest::keyClicks(edit("dbnome"), QStringLiteral(" Junior"));
    QVERIFY(button("btn_gravar")->isEnabled());
    QVERIFY(!button("Btn_novo")->isEnabled());
    QTest::keyClick(edit("dbnome"), Qt::Key_Escape);
    QCOMPARE(edit("dbnome")->text(), QStringLiteral("123 Vendas Ltda"));
    QVERIFY(!button("btn_gravar")->isEnabled());
    QVERIFY(button("Btn_novo")->isEnabled());
    QVERIFY(form->isVisible());
    // A new seller cancelled leaves nothing and shows the seller of before.
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_next")), Qt::LeftButton);
    QTest::mouseClick(button("Btn_novo"), Qt::LeftButton);
    QTest::keyClicks(edit("dbnome"), QStringLiteral("Fulano"));
    QTest::mouseClick(button("btn_cancelar"), Qt::LeftButton);
    QCOMPARE(form->CDS_VENDEDOR().rowCount(), 4);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 4);
    QCOMPARE(nameInDb(3), QStringLiteral("123 Vendas Ltda"));
}

void TestSellers::editIsSaved() {
    form->findChild<QWidget *>(QStringLiteral("nav_last"))->setFocus();
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("20"));
    edit("dbbairro")->setFocus();
    QTest::keyClicks(edit("dbbairro"), QStringLiteral("Centro"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT BAIRRO_VEND FROM CAD_VENDEDOR WHERE COD_VEND=20")),
             QVariant(QStringLiteral("Centro")));
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("20"));
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 4);
}

void TestSellers::sellerChangedElsewhereIsNotOverwritten() {
    QVERIFY(inst->exec(QStringLiteral("UPDATE CAD_VENDEDOR SET NOME_VEND='Outro Nome' WHERE COD_VEND=3")));
    QTest::keyClicks(edit("dbnome"), QStringLiteral("X"));
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QVERIFY(
        inst->dialogs.shown.last().text.contains(QStringLiteral("alterado ou excluído em outro computador")));
    QCOMPARE(nameInDb(3), QStringLiteral("Outro Nome"));
    QVERIFY(button("btn_gravar")->isEnabled()); // the change is still there to correct or cancel
}

void TestSellers::emptiedFieldIsSavedAgainWithoutConflict() {
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    // A field typed into and emptied again is written as NULL and must be found as NULL next time.
    QTest::keyClicks(edit("dbbairro"), QStringLiteral("C"));
    QTest::keyClick(edit("dbbairro"), Qt::Key_Backspace);
    QTest::keyClicks(edit("dbnome"), QStringLiteral(" Filho"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QTest::keyClicks(edit("dbnome"), QStringLiteral(" Neto"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(nameInDb(20), QStringLiteral("marcos pereira Filho Neto"));
    QVERIFY(inst->scalar(QStringLiteral("SELECT BAIRRO_VEND FROM CAD_VENDEDOR WHERE COD_VEND=20")).isNull());
}

void TestSellers::leadingBlankIsKeptAndSavedAgain() {
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    edit("dbnome")->selectAll();
    QTest::keyClicks(edit("dbnome"), QStringLiteral(" JOSE"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    // Opened again, the row is found by the value as the database holds it, leading blank included.
    form = std::make_unique<TForm_vendedor>(inst->services());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    QCOMPARE(edit("dbnome")->text(), QStringLiteral(" JOSE"));
    QTest::keyClicks(edit("dbbairro"), QStringLiteral("Centro"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(nameInDb(20), QStringLiteral(" JOSE"));
    QCOMPARE(
        inst->scalar(QStringLiteral("SELECT BAIRRO_VEND FROM CAD_VENDEDOR WHERE COD_VEND=20")).toString(),
        QStringLiteral("Centro"));
}

void TestSellers::search_data() {
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shownCode");
    QTest::newRow("a number is a code, not a name start") << QVariant("12") << QString() << "12";
    QTest::newRow("name start ignores case") << QVariant("MAR") << QString() << "05";
    QTest::newRow("cancelled box matches the first seller") << QVariant() << QString() << "03";
    QTest::newRow("unknown name") << QVariant("Zé") << "Vendedor não encontrado"
                                  << "20";
    QTest::newRow("unknown code stays silently") << QVariant("99") << QString() << "20";
}

void TestSellers::search() {
    QFETCH(QVariant, answer);
    QFETCH(QString, message);
    QFETCH(QString, shownCode);
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    inst->dialogs.expectInput(answer);
    if (!message.isEmpty()) inst->dialogs.expectMessage(message, BoxIcon::None);
    QTest::mouseClick(button("btn_localizar"), Qt::LeftButton);
    QCOMPARE(inst->dialogs.shown.first().title, QStringLiteral("Pesquisa Vendedor"));
    QCOMPARE(inst->dialogs.shown.first().text, QStringLiteral("Digite o código ou o início do nome"));
    QCOMPARE(edit("dbcod")->text(), shownCode);
}

void TestSellers::deleteAsksFirst() {
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_next")), Qt::LeftButton);
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("05"));
    inst->dialogs.expectQuestion(QStringLiteral("Deseja Excluir esse Vendedor"), false);
    inst->dialogs.expectMessage(QStringLiteral("Processo Cancelado!"), BoxIcon::None);
    QTest::mouseClick(button("btn_excluir"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 4);
    QVERIFY2(!inst->dialogs.shown.first().defaultYes, "Enter alone must not delete a seller");

    inst->dialogs.expectQuestion(QStringLiteral("Deseja Excluir esse Vendedor"), true);
    inst->dialogs.expectMessage(QStringLiteral("Vendedor Excluído com Sucesso!"), BoxIcon::None);
    QTest::mouseClick(button("btn_excluir"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 3);
    QVERIFY(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM CAD_VENDEDOR WHERE COD_VEND=5")).toInt() == 0);
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("12"));
}

void TestSellers::codeIsReadable() {
    QLineEdit *code = edit("dbcod");
    QCOMPARE(code->text(), QStringLiteral("03"));
    const QImage shot = code->grab().toImage();
    const double contrast = Contrast::ofText(shot, shot.pixelColor(shot.width() - 4, shot.height() / 2));
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
}

void TestSellers::sellerWithoutNameIsRefused() {
    QTest::mouseClick(button("Btn_novo"), Qt::LeftButton);
    QTest::keyClicks(edit("dbcidade"), QStringLiteral("Campinas"));
    inst->dialogs.expectMessage(QStringLiteral("Favor informe o Nome do Vendedor!"), BoxIcon::Error);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 4);
    QCOMPARE(form->focusWidget(), edit("dbnome"));
    // A name of blanks is no name either; an existing seller emptied is refused the same way.
    QTest::keyClicks(edit("dbnome"), QStringLiteral("   "));
    inst->dialogs.expectMessage(QStringLiteral("Favor informe o Nome do Vendedor!"), BoxIcon::Error);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 4);
    QTest::keyClicks(edit("dbnome"), QStringLiteral("Ana"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(inst->count(QStringLiteral("CAD_VENDEDOR")), 5);
}

void TestSellers::cancelDiscardsEveryPendingEdit() {
    auto retype = [&](const QString &text) {
        QLineEdit *name = edit("dbnome");
        name->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(name, Qt::Key_End);
        QTest::keyClicks(name, text);
    };
    retype(QStringLiteral(" X")); // seller 03, left unsaved
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_next")), Qt::LeftButton);
    retype(QStringLiteral(" Y")); // seller 05
    QTest::mouseClick(button("btn_cancelar"), Qt::LeftButton);
    QCOMPARE(edit("dbnome")->text(), QStringLiteral("Maria da Silva"));
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_first")), Qt::LeftButton);
    QCOMPARE(edit("dbnome")->text(), QStringLiteral("123 Vendas Ltda"));
    // The next save of another seller writes only that seller.
    QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("nav_last")), Qt::LeftButton);
    retype(QStringLiteral(" Z"));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    QCOMPARE(nameInDb(20), QStringLiteral("marcos pereira Z"));
    QCOMPARE(nameInDb(3), QStringLiteral("123 Vendas Ltda"));
    QCOMPARE(nameInDb(5), QStringLiteral("Maria da Silva"));
}

void TestSellers::enterPressesTheFocusedButton() {
    button("Btn_novo")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button("Btn_novo"), Qt::Key_Return);
    QVERIFY(button("btn_gravar")->isEnabled());
    button("btn_cancelar")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button("btn_cancelar"), Qt::Key_Enter);
    QVERIFY(!button("btn_gravar")->isEnabled());
    QCOMPARE(edit("dbcod")->text(), QStringLiteral("03"));
}

void TestSellers::savedSellerShowsWhatWasStored_data() {
    QTest::addColumn<bool>("newSeller");
    QTest::newRow("seller edited") << false;
    QTest::newRow("new seller") << true;
}

void TestSellers::savedSellerShowsWhatWasStored() {
    // A character the code page lacks is stored as '?': after the save the window shows just that.
    QFETCH(bool, newSeller);
    if (newSeller) QTest::mouseClick(button("Btn_novo"), Qt::LeftButton);
    auto *nome = edit("dbnome");
    nome->setFocus();
    QTest::keyClick(nome, Qt::Key_End);
    QTest::keyClicks(nome, QStringLiteral(" Ana "));
    // As an emoji keyboard or a paste puts it in.
    QTest::sendKeyEvent(QTest::Click, nome, Qt::Key_unknown, QStringLiteral("😀"), Qt::NoModifier);
    QVERIFY(nome->text().endsWith(QStringLiteral("😀")));
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    const int code = newSeller ? inst->scalar(QStringLiteral("SELECT MAX(COD_VEND) FROM CAD_VENDEDOR")).toInt() : 3;
    const QString stored = nameInDb(code);
    QCOMPARE(stored, newSeller ? QStringLiteral(" Ana ?") : QStringLiteral("123 Vendas Ltda Ana ?"));
    QCOMPARE(edit("dbcod")->text(), SellerRegistry::codeText(code));
    QCOMPARE(nome->text(), stored);
    QVERIFY(!button("btn_gravar")->isEnabled());
}

void TestSellers::fieldsHoldTheirColumns() {
    // Every text field saved to a column takes no more than the column holds, so what the person
    // sees is what is stored.
    const struct {
        const char *field;
        const char *column;
    } fields[] = {{"dbnome", "NOME_VEND"},    {"dbdocumento", "CPF_VEND"},   {"dbfone", "FONE1"},
                  {"dbende", "END_VEND"},     {"dbbairro", "BAIRRO_VEND"}, {"dbcidade", "CID_VEND"}};
    QMap<QString, QString> shown;
    for (const auto &f : fields) {
        const int length =
            inst->scalar(QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R JOIN "
                                        "RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE "
                                        "R.RDB$RELATION_NAME = 'CAD_VENDEDOR' AND R.RDB$FIELD_NAME = ?"),
                         {QString::fromLatin1(f.column)})
                .toInt();
        QVERIFY2(length > 0, f.column);
        QLineEdit *e = edit(f.field);
        QVERIFY2(e->maxLength() <= length, f.field);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_End);
        while (!e->text().isEmpty())
            QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, QStringLiteral("1234567890").repeated(12));
        QCOMPARE(e->text().size(), qMin(e->maxLength(), 120));
        QVERIFY2(e->text().size() <= length, f.field);
        shown.insert(QLatin1String(f.column), e->text());
    }
    inst->dialogs.expectMessage(QStringLiteral("Dados gravados com sucesso!"), BoxIcon::Information);
    QTest::mouseClick(button("btn_gravar"), Qt::LeftButton);
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        QCOMPARE(inst->scalar(QStringLiteral("SELECT TRIM(%1) FROM CAD_VENDEDOR WHERE COD_VEND=3").arg(it.key()))
                     .toString(),
                 it.value());
}

KORVANTE_TEST(TestSellers)
#include "TestSellers.moc"
