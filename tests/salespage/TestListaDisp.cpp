#include "salespage/SalesPageFixture.h"
#include "support/LayoutCheck.h"
#include "support/TestRegistry.h"

#include <QAbstractItemModel>
#include <QDesktopServices>
#include <QTableView>

using namespace SalesPageFixture;

// The sales-page window over a 0000-9999 raffle with 4 numbers per ticket (2500 tickets):
// ticket 3 sold, ticket 5 reserved, ticket 7 with a blank mark (for sale).
class TestListaDisp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void headerAndStart();
    void ateLimit_data();
    void ateLimit();
    void entreZeroRefusedInEveryMode_data();
    void entreZeroRefusedInEveryMode();
    void entreAboveAteListsNothing();
    void soldTicketsOnlyInTheBlockMode_data();
    void soldTicketsOnlyInTheBlockMode();
    void outputNames_data();
    void outputNames();
    void defaultOutputNameCannotBeDeleted();
    void phonesAreAddedAndTheListRefilled();
    void pixKeyTakesDigitsUnlessEmail();
    void everyControlShowsWhole_data();
    void everyControlShowsWhole();


public Q_SLOTS:
    void ignoreUrl(const QUrl &) {} // the folder "Como Enviar..." opens

private:
    QStringList listedIds();
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<Window> w;
};

void TestListaDisp::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(chooseRaffle(*inst, Raffle{}));
    QCOMPARE(inst->raffle.TabelaBaseUsar, TicketTables::nameFor(9999, 4));
    QVERIFY(markTicket(*inst, 3, QStringLiteral("S")));
    QVERIFY(markTicket(*inst, 5, QStringLiteral("R")));
    QVERIFY(markTicket(*inst, 7, QStringLiteral(" ")));
}

void TestListaDisp::init() {
    inst->dialogs.clear();
    w = std::make_unique<Window>(*inst);
}

void TestListaDisp::cleanup() {
    w.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
    inst->exec(QStringLiteral("DELETE FROM LIST_ARQUIVOS WHERE NOME_ARQUIVO<>'vendorifas'"));
    inst->exec(QStringLiteral("DELETE FROM TELEFONE"));
}

QStringList TestListaDisp::listedIds() {
    QAbstractItemModel *m = w->child<QTableView>("DBGrid1")->model();
    QStringList ids;
    for (int r = 0; r < m->rowCount(); ++r)
        ids << m->data(m->index(r, 0)).toString();
    return ids;
}

void TestListaDisp::headerAndStart() {
    TForm_ListaDisp &f = w->form;
    QCOMPARE(f.windowTitle(), QStringLiteral("Gerando HTML de Rifas para Vendas Por WhatsApp"));
    QCOMPARE(w->child<QLabel>("LBL_StatusBingo")->text(), QStringLiteral("RIFA DA MOTO"));
    QCOMPARE(w->child<QLabel>("LBL_Modal")->text(), QStringLiteral("9999"));
    QVERIFY(w->child<QRadioButton>("RadioButton1")->isChecked());
    QVERIFY(!w->child<QFrame>("Panel_Bloco")->isVisible());
    QCOMPARE(w->child<QLineEdit>("Entre_1")->text(), QStringLiteral("1"));
    QCOMPARE(w->child<QLineEdit>("Entre_2")->text(), QStringLiteral("1"));
    QCOMPARE(w->total(), QStringLiteral("000000"));
    // The only page name is chosen; the grid's first column is the control number.
    QCOMPARE(w->child<QComboBox>("CMB_NomeArq")->currentText(), QStringLiteral("vendorifas"));
    QAbstractItemModel *m = w->child<QTableView>("DBGrid1")->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nº C. BILHETE"));
    w->chooseMode(3);
    QVERIFY(w->child<QFrame>("Panel_Bloco")->isVisible());
    w->chooseMode(1);
    QVERIFY(!w->child<QFrame>("Panel_Bloco")->isVisible());
}

void TestListaDisp::ateLimit_data() {
    QTest::addColumn<QString>("ate");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("the last ticket") << "2500" << QString();
    QTest::newRow("one past it") << "2501"
                                 << QStringLiteral(
                                        "O valor do campo ATÉ passa do último C.Bilhete desta Rifa.\n"
                                        "O C.Bilhete máximo que pode ser digitado é até: 2500");
}

void TestListaDisp::ateLimit() {
    QFETCH(QString, ate);
    QFETCH(QString, refusal);
    if (!refusal.isEmpty()) inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    w->list(2, QStringLiteral("2490"), ate);
    if (refusal.isEmpty()) {
        QCOMPARE(w->total(), QStringLiteral("11"));
        QCOMPARE(listedIds().last(), QStringLiteral("2500"));
    } else {
        QCOMPARE(w->total(), QStringLiteral("000000"));
    }
}

void TestListaDisp::entreZeroRefusedInEveryMode_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("Todos") << 1;
    QTest::newRow("Bloco Não Comprados") << 2;
    QTest::newRow("Bloco Comprados ou Não") << 3;
}

void TestListaDisp::entreZeroRefusedInEveryMode() {
    QFETCH(int, mode);
    inst->dialogs.expectMessage(QStringLiteral("O campo ENTRE deverá iniciar com o número maior que ZERO!"),
                                BoxIcon::Error);
    w->list(mode, QStringLiteral("0"), QStringLiteral("10"));
    QCOMPARE(w->total(), QStringLiteral("000000"));
    QVERIFY(!w->form.CDS_ListarBIlhete().isOpen());
}

void TestListaDisp::entreAboveAteListsNothing() {
    w->list(2, QStringLiteral("20"), QStringLiteral("10"));
    QCOMPARE(w->total(), QStringLiteral("0"));
    QVERIFY(inst->dialogs.shown.isEmpty());
    QCOMPARE(w->child<QTableView>("DBGrid1")->model()->rowCount(), 0);
}

void TestListaDisp::soldTicketsOnlyInTheBlockMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("firstIds");
    QTest::addColumn<QString>("total");
    const QStringList free{"0001", "0002", "0004", "0006", "0007", "0008"};
    QTest::newRow("Todos") << 1 << free << "2498";
    QTest::newRow("Bloco Não Comprados") << 2 << free << "7";
    QTest::newRow("Bloco Comprados ou Não")
        << 3 << QStringList{"0001", "0002", "0003", "0004", "0006", "0007"} << "8";
}

void TestListaDisp::soldTicketsOnlyInTheBlockMode() {
    QFETCH(int, mode);
    QFETCH(QStringList, firstIds);
    QFETCH(QString, total);
    w->list(mode, QStringLiteral("1"), QStringLiteral("9"));
    QCOMPARE(w->total(), total);
    const QStringList ids = listedIds();
    QCOMPARE(ids.mid(0, 6), firstIds);
    if (mode == 1) {
        // Every ticket for sale, in order, read page by page with only a few pages held.
        QStringList expected;
        for (int t = 1; t <= 2500; ++t)
            if (t != 3 && t != 5) expected << QStringLiteral("%1").arg(t, 4, 10, QChar(u'0'));
        QCOMPARE(ids, expected);
        QVERIFY(w->form.CDS_ListarBIlhete().heldPages() <= 12);
    }
    // The numbers of ticket 4 in the modality's format, one column each.
    QAbstractItemModel *m = w->child<QTableView>("DBGrid1")->model();
    const int row = int(listedIds().indexOf(QStringLiteral("0004")));
    QStringList numbers;
    for (int c = 1; c <= 10; ++c)
        numbers << m->data(m->index(row, c)).toString();
    QCOMPARE(numbers, QStringList({"0012", "0013", "0014", "0015", "", "", "", "", "", ""}));
}

void TestListaDisp::outputNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    const QString extension =
        QStringLiteral("Não precisa informar a extensão .HTML ou conter pontos, digite só "
                       "letras de A até Z ou letras com números de 0 até 9");
    const QString special =
        QStringLiteral("Não use espaços ou caracteres especiais para formar o nome. Digite só "
                       "letras de A até Z ou letras com números de 0 até 9");
    QTest::newRow("a dot") << "pagina.nova" << extension;
    QTest::newRow("html in lower case") << "paginahtml" << extension;
    QTest::newRow("a blank") << "pagina nova" << special;
    QTest::newRow("a slash") << "pagina/nova" << special;
    QTest::newRow("an at sign") << "pagina@nova" << special;
    QTest::newRow("HTML in capitals") << "PAGINAHTML" << QString();
    QTest::newRow("31 characters")
        << QString(31, u'a') << "O Nome do Arquivo pode ter no máximo 30 caracteres! Nada foi gravado.";
    QTest::newRow("30 characters") << QString(30, u'a') << QString();
}

void TestListaDisp::outputNames() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    w->clickLabel("Label12");
    QVERIFY(w->child<QFrame>("Panel_ARQ_SAIDA")->isVisible());
    inst->dialogs.expectInput(name);
    if (refusal.isEmpty())
        inst->dialogs.expectMessage(QStringLiteral("O Nome do Arquivo foi Adicionado com Sucesso!"),
                                    BoxIcon::Information);
    else
        inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    w->click("BTN_NOVO_ARQ_SAIDA");
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM LIST_ARQUIVOS WHERE NOME_ARQUIVO=?"), {name})
                 .toInt(),
             refusal.isEmpty() ? 1 : 0);
    // Closing the panel refills the list, with nothing chosen.
    w->clickLabel("Image1");
    QComboBox *names = w->child<QComboBox>("CMB_NomeArq");
    QCOMPARE(names->count(), refusal.isEmpty() ? 2 : 1);
    QCOMPARE(names->currentIndex(), -1);
}

void TestListaDisp::defaultOutputNameCannotBeDeleted() {
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO LIST_ARQUIVOS (NOME_ARQUIVO) VALUES ('outra')")));
    w->clickLabel("Label12");
    QTableView *grid = w->child<QTableView>("GridArquivos");
    auto clickRow = [&](const QString &text) {
        const QModelIndexList found = grid->model()->match(grid->model()->index(0, 0), Qt::DisplayRole, text);
        QVERIFY(!found.isEmpty());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(found.first()).center());
    };
    clickRow(QStringLiteral("vendorifas"));
    inst->dialogs.expectMessage(
        QStringLiteral("Esse nome de Arquivo é PADRÃO do Sistema, não pode ser excluído!"), BoxIcon::Error);
    w->click("Button3");
    QCOMPARE(inst->count(QStringLiteral("LIST_ARQUIVOS")), 2);
    // Another name asks first; No keeps it.
    clickRow(QStringLiteral("outra"));
    inst->dialogs.expectQuestion(QStringLiteral("Deseja realmente Excluir esse Nome de Arquivo: outra?"),
                                 false);
    inst->dialogs.expectMessage(QStringLiteral("Processo cancelado!"), BoxIcon::Information);
    w->click("Button3");
    QCOMPARE(inst->count(QStringLiteral("LIST_ARQUIVOS")), 2);
    clickRow(QStringLiteral("outra"));
    inst->dialogs.expectQuestion(QStringLiteral("Deseja realmente Excluir esse Nome de Arquivo: outra?"),
                                 true);
    w->click("Button3");
    QCOMPARE(inst->count(QStringLiteral("LIST_ARQUIVOS")), 1);
    QCOMPARE(grid->model()->rowCount(), 1);
}

void TestListaDisp::phonesAreAddedAndTheListRefilled() {
    w->clickLabel("LBL_MaisFone");
    QVERIFY(w->child<QFrame>("Panel_Telefone")->isVisible());
    inst->dialogs.expectInput(QString());
    inst->dialogs.expectMessage(QStringLiteral("DDD deve ser informado!"), BoxIcon::Error);
    w->click("BTN_Novo");
    inst->dialogs.expectInput(QStringLiteral("11"));
    inst->dialogs.expectInput(QVariant()); // cancelled
    inst->dialogs.expectMessage(QStringLiteral("O Número do Telefone deve ser informado!"), BoxIcon::Error);
    w->click("BTN_Novo");
    QCOMPARE(inst->count(QStringLiteral("TELEFONE")), 0);
    // Answers longer than their columns are refused, never stored cut.
    inst->dialogs.expectInput(QStringLiteral("0119"));
    inst->dialogs.expectInput(QStringLiteral("9876543210"));
    inst->dialogs.expectMessage(QStringLiteral("O DDD pode ter no máximo 3 dígitos! Nada foi gravado."),
                                BoxIcon::Error);
    w->click("BTN_Novo");
    inst->dialogs.expectInput(QStringLiteral("011"));
    inst->dialogs.expectInput(QStringLiteral("98765432109"));
    inst->dialogs.expectMessage(
        QStringLiteral("O Número do Telefone pode ter no máximo 10 dígitos! Nada foi gravado."), BoxIcon::Error);
    w->click("BTN_Novo");
    QCOMPARE(inst->count(QStringLiteral("TELEFONE")), 0);
    inst->dialogs.expectInput(QStringLiteral("011"));
    inst->dialogs.expectInput(QStringLiteral("9876543210"));
    inst->dialogs.expectMessage(QStringLiteral("Número telefone adicionado com Sucesso!"),
                                BoxIcon::Information);
    w->click("BTN_Novo");
    QCOMPARE(inst->scalar(QStringLiteral("SELECT DDD || '|' || TELEFONE FROM TELEFONE")).toString(),
             QStringLiteral("011|9876543210"));
    w->clickLabel("Img_Fechar");
    QComboBox *phones = w->child<QComboBox>("CMB_TELEFONE");
    QCOMPARE(phones->count(), 1);
    QCOMPARE(phones->itemText(0), QStringLiteral("011 9876543210"));
    QCOMPARE(phones->currentIndex(), -1);
    // Deleting asks with the phone in the question.
    w->clickLabel("LBL_MaisFone");
    inst->dialogs.expectQuestion(QStringLiteral("Deseja realmente Excluir esse Telefone: 011 9876543210?"),
                                 true);
    w->click("BTN_Excluir");
    QCOMPARE(inst->count(QStringLiteral("TELEFONE")), 0);
}

void TestListaDisp::pixKeyTakesDigitsUnlessEmail() {
    QComboBox *type = w->child<QComboBox>("CMB_TIPO_PIX");
    QLineEdit *key = w->child<QLineEdit>("ED_PIX");
    QCOMPARE(type->currentText(), QStringLiteral("CPF")); // config.ini has no TIPO_PIX: entry 0
    w->typeInto("ED_PIX", QStringLiteral("123.456-7a9"));
    QCOMPARE(key->text(), QStringLiteral("12345679"));
    inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
    w->pickWithKeys("CMB_TIPO_PIX", 2);
    QCOMPARE(type->currentText(), QStringLiteral("E-mail"));
    w->typeInto("ED_PIX", QStringLiteral("pix.rifa@exemplo.com.br"));
    QCOMPARE(key->text(), QStringLiteral("pix.rifa@exemplo.com.br"));
}

void TestListaDisp::everyControlShowsWhole_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("panel"); // a list opened over the window, or none
    QTest::newRow("everything for sale") << 1 << "";
    QTest::newRow("block not sold") << 2 << "";
    QTest::newRow("block sold or not") << 3 << "";
    QTest::newRow("phone list open") << 3 << "LBL_MaisFone";
    QTest::newRow("output names open") << 2 << "Label12";
}

// No control lies under another and every text fits: "Como Enviar..." takes a mouse click.
void TestListaDisp::everyControlShowsWhole() {
    QFETCH(int, mode);
    QFETCH(QString, panel);
    w->chooseMode(mode);
    if (!panel.isEmpty()) w->clickLabel(panel.toLatin1().constData());
    const QStringList overlays{QStringLiteral("Panel_Telefone"), QStringLiteral("Panel_ARQ_SAIDA")};
    const QStringList faults = LayoutCheck::faults(&w->form, {overlays, {}});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    if (panel.isEmpty()) {
        // The click lands on the button itself.
        auto *how = w->child<QPushButton>("Button2");
        QCOMPARE(w->form.childAt(how->mapTo(&w->form, how->rect().center())), how);
        inst->dialogs.expectMessage(
            QStringLiteral("O arquivo gerado está na pasta HTML que o sistema vai mostrar agora pra você. Depois, "
                           "abra o WhatsApp Web e chame o Cliente ou Grupo que deseja mandar o arquivo HTML e "
                           "anexe o arquivo gerado no zap dele ou do Grupo"),
            BoxIcon::Warning);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "ignoreUrl");
        w->click("Button2");
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }
}

KORVANTE_TEST(TestListaDisp)
#include "TestListaDisp.moc"
