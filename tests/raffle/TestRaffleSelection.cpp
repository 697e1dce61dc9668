#include "RaffleRows.h"
#include "data/WorkingRaffle.h"
#include "raffle/RaffleSelection.h"
#include "raffle/TForm_Usar.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>

// The chooser of the working raffle and the state it derives from the chosen row.
class TestRaffleSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void confirmingSetsTheWorkingRaffle();
    void tableForEveryModalityAndCount_data();
    void tableForEveryModalityAndCount();
    void prizeAndRulesLines_data();
    void prizeAndRulesLines();
    void longLinesBreakAtWordsToTheBoxWidth();
    void escolherDepoisKeepsTheTable();
    void inactiveRaffleIsRefusedAndNothingChanges();
    void noActiveRaffleLeavesOnlyEscolherDepois();

private:
    std::unique_ptr<TForm_Usar> openChooser();
    void select(TForm_Usar &chooser, int slot);
    std::unique_ptr<TestInstallation> inst;
};

void TestRaffleSelection::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

void TestRaffleSelection::init() {
    QVERIFY(resetRaffles(*inst));
    inst->raffle = WorkingRaffle{};
    inst->tdm->CDS_RIfaUSar.close();
    inst->dialogs.clear();
}

void TestRaffleSelection::cleanup() {
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

std::unique_ptr<TForm_Usar> TestRaffleSelection::openChooser() {
    auto chooser = std::make_unique<TForm_Usar>(inst->context());
    chooser->show();
    if (!QTest::qWaitForWindowExposed(chooser.get())) qWarning("chooser not exposed");
    return chooser;
}

void TestRaffleSelection::select(TForm_Usar &chooser, int slot) {
    WindowWatcher::pickRaffle(&chooser, slot);
}

void TestRaffleSelection::confirmingSetsTheWorkingRaffle() {
    CadastroRow r = completeRaffle(QStringLiteral("RIFA DO CARRO"), QStringLiteral("0000 - 9999"),
                                 QStringLiteral("4 Números"));
    r.price = 12.5;
    r.date = QDate(2026, 3, 30);
    r.link = QStringLiteral("https://instagram.com/rifadocarro");
    QVERIFY(writeRaffle(*inst, 3, r));
    CadastroRow inactive = completeRaffle(QStringLiteral("PARADA"));
    inactive.ativa = 0;
    QVERIFY(writeRaffle(*inst, 4, inactive));

    auto chooser = openChooser();
    QCOMPARE(chooser->windowTitle(), QStringLiteral("KORVANTE"));
    QCOMPARE(chooser->size(), QSize(375, 195));
    auto *list = chooser->findChild<QComboBox *>(QStringLiteral("CMB_RIFA"));
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    QCOMPARE(items, QStringList({QStringLiteral("001 - RIFA 1"), QStringLiteral("002 - RIFA 2"),
                                 QStringLiteral("003 - RIFA DO CARRO"), QStringLiteral("005 - RIFA 5")}));
    QCOMPARE(list->currentIndex(), 0);

    // Enter in the list only moves on to CONFIRMAR.
    chooser->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(chooser.get()));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), chooser->findChild<QPushButton *>(QStringLiteral("BTN_CONFIRMAR")));
    QVERIFY(chooser->isVisible());
    QVERIFY(!inst->raffle.isChosen());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!chooser->isVisible());
    QCOMPARE(chooser->result(), int(QDialog::Accepted));
    const WorkingRaffle &w = inst->raffle;
    QCOMPARE(w.CodRifaUsar, QStringLiteral("3"));
    QCOMPARE(w.TabelaBaseUsar, QStringLiteral("BS4_D"));
    QCOMPARE(w.MaiorNumero, 9999);
    QCOMPARE(int(w.QtNumBilhete), 4);
    QCOMPARE(w.TabelaCompradorUsar, QStringLiteral("DADOSCOMPRADOR_3"));
    QCOMPARE(w.ValorRifa, 12.5);
    QCOMPARE(w.ValorDataRifa, QStringLiteral("12,5-30/03/2026"));
    QCOMPARE(w.LinkSorteio, QStringLiteral("https://instagram.com/rifadocarro"));
    QCOMPARE(w.LBL_RifaUsar, QStringLiteral("RIFA DO CARRO"));
    QCOMPARE(w.TextoPremios, QStringLiteral("UMA MOTO\\n "));
    QCOMPARE(w.TextoRegras, QString());
    // The working raffle's row is the one the other windows read.
    QVERIFY(inst->tdm->CDS_RIfaUSar.isLoaded());
    QCOMPARE(inst->tdm->CDS_RIfaUSar.value(QStringLiteral("NOME_RIFA")).toString(),
             QStringLiteral("RIFA DO CARRO"));
    QVERIFY(inst->dialogs.shown.isEmpty());
}

void TestRaffleSelection::tableForEveryModalityAndCount_data() {
    QTest::addColumn<QString>("modalidade");
    QTest::addColumn<QString>("qtNum");
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("perTicket");
    QTest::addColumn<QString>("table");
    // Before each choice the state holds MaiorNumero 999 and a table named ANTERIOR.
    const QStringList modalities = {"00 - 99", "000 - 999", "0000 - 9999", "00000 - 99999",
                                    "000000 - 999999"};
    const QList<int> highest = {99, 999, 9999, 99999, 999999};
    const QStringList counts = {"1 Número", "2 Números", "4 Números", "5 Números", "10 Números"};
    const QList<int> perTicket = {1, 2, 4, 5, 10};
    const QStringList tables[] = {{"BS1_100G", "BS2_100G", "ANTERIOR", "ANTERIOR", "ANTERIOR"},
                                  {"BS1_M", "BS2_M", "BS4_M", "BS5_M", "BS10_M"},
                                  {"BS1_D", "BS2_D", "BS4_D", "BS5_D", "BS10_D"},
                                  {"BS1_C", "BS2_C", "BS4_C", "BS5_C", "BS10_C"},
                                  {"BS1_MISTURADO", "BS2_MILHAO", "BS4_MILHAO", "BS5_MILHAO", "BS10_MILHAO"}};
    for (int k = 0; k < 5; ++k)
        for (int j = 0; j < 5; ++j)
            QTest::addRow("%s, %s", qPrintable(modalities[k]), qPrintable(counts[j]))
                << modalities[k] << counts[j] << highest[k] << perTicket[j] << tables[k][j];
    QTest::newRow("unknown modality keeps the highest number") << "0 - 9"
                                                               << "5 Números" << 999 << 5 << "BS5_M";
    QTest::newRow("no count per ticket") << "0000 - 9999"
                                         << "" << 9999 << 0 << "ANTERIOR";
}

void TestRaffleSelection::tableForEveryModalityAndCount() {
    QFETCH(QString, modalidade);
    QFETCH(QString, qtNum);
    QFETCH(int, highest);
    QFETCH(int, perTicket);
    QFETCH(QString, table);
    QVERIFY(writeRaffle(*inst, 2, completeRaffle(QStringLiteral("RIFA X"), modalidade, qtNum)));
    inst->raffle.MaiorNumero = 999;
    inst->raffle.TabelaBaseUsar = QStringLiteral("ANTERIOR");
    RaffleSelection selection(*inst->tdm, inst->raffle);
    QString error;
    QCOMPARE(selection.confirm(QStringLiteral("002 - RIFA X"), QFont(), &error),
             RaffleSelection::Outcome::Chosen);
    QCOMPARE(inst->raffle.MaiorNumero, highest);
    QCOMPARE(int(inst->raffle.QtNumBilhete), perTicket);
    QCOMPARE(inst->raffle.TabelaBaseUsar, table);
    QCOMPARE(inst->raffle.TabelaCompradorUsar, QStringLiteral("DADOSCOMPRADOR_2"));
}

void TestRaffleSelection::prizeAndRulesLines_data() {
    QTest::addColumn<QString>("premios");
    QTest::addColumn<QString>("regras");
    QTest::addColumn<QString>("textoPremios");
    QTest::addColumn<QString>("textoRegras");
    QTest::newRow("two short lines each") << "1º CARRO\r\n2º MOTO"
                                          << "SORTEIO\r\nPELA LOTERIA"
                                          << "1º CARRO\\n 2º MOTO\\n "
                                          << "SORTEIO\\n PELA LOTERIA\\n ";
    QTest::newRow("empty texts") << ""
                                 << ""
                                 << "Prêmios Não Definidos. Consulte o Vendedor!"
                                 << "";
    QTest::newRow("break at the end opens no line") << "CARRO\r\n"
                                                    << "A\r\n"
                                                    << "CARRO\\n "
                                                    << "A\\n ";
    QTest::newRow("blank line inside is kept") << "CARRO\r\n\r\nMOTO"
                                               << ""
                                               << "CARRO\\n \\n MOTO\\n "
                                               << "";
}

void TestRaffleSelection::prizeAndRulesLines() {
    QFETCH(QString, premios);
    QFETCH(QString, regras);
    QFETCH(QString, textoPremios);
    QFETCH(QString, textoRegras);
    CadastroRow r = completeRaffle(QStringLiteral("RIFA T"));
    r.premios = premios;
    r.regras = regras;
    QVERIFY(writeRaffle(*inst, 5, r));
    RaffleSelection selection(*inst->tdm, inst->raffle);
    QCOMPARE(selection.confirm(QStringLiteral("005 - RIFA T"), QFont(), nullptr),
             RaffleSelection::Outcome::Chosen);
    QCOMPARE(inst->raffle.TextoPremios, textoPremios);
    QCOMPARE(inst->raffle.TextoRegras, textoRegras);
}

void TestRaffleSelection::longLinesBreakAtWordsToTheBoxWidth() {
    const QFont font = QApplication::font();
    const QFontMetrics fm(font);
    const int width = RaffleSelection::HiddenBoxTextWidth;
    QCOMPARE(width, 181);
    const QString line = QStringLiteral("PRIMEIRO PRÊMIO: UM CARRO ZERO QUILÔMETRO COM DOCUMENTAÇÃO PAGA E "
                                        "TANQUE CHEIO, ENTREGUE NA CONCESSIONÁRIA DA CIDADE");
    QVERIFY(fm.horizontalAdvance(line) > 2 * width);
    const QString text = RaffleSelection::TextoLinhas(line + QStringLiteral("\r\nFIM"), font);
    QVERIFY(text.endsWith(QStringLiteral("\\n FIM\\n ")));
    QStringList shown = text.split(QStringLiteral("\\n "));
    QCOMPARE(shown.takeLast(), QString());
    QCOMPARE(shown.takeLast(), QStringLiteral("FIM"));
    QVERIFY(shown.size() >= 3);
    QCOMPARE(shown.join(QString()), line); // nothing lost or added at the breaks
    for (int i = 0; i < shown.size(); ++i) {
        QVERIFY2(fm.horizontalAdvance(shown[i].trimmed()) <= width, qPrintable(shown[i]));
        if (i + 1 == shown.size()) break;
        // Broken after a blank, and the next word would not have fitted.
        QVERIFY2(shown[i].endsWith(u' '), qPrintable(shown[i]));
        const QString nextWord = shown[i + 1].section(u' ', 0, 0);
        QVERIFY2(fm.horizontalAdvance(shown[i] + nextWord) > width, qPrintable(shown[i] + nextWord));
    }
    // A word wider than the box is cut where it stops fitting.
    const QString word(60, u'W');
    const QStringList pieces =
        RaffleSelection::TextoLinhas(word, font).split(QStringLiteral("\\n "), Qt::SkipEmptyParts);
    QVERIFY(pieces.size() >= 2);
    QCOMPARE(pieces.join(QString()), word);
}

void TestRaffleSelection::escolherDepoisKeepsTheTable() {
    QVERIFY(writeRaffle(*inst, 3,
                        completeRaffle(QStringLiteral("RIFA C"), QStringLiteral("0000 - 9999"),
                                       QStringLiteral("4 Números"))));
    {
        auto chooser = openChooser();
        select(*chooser, 3);
        QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_CONFIRMAR")), Qt::LeftButton);
        QCOMPARE(inst->raffle.CodRifaUsar, QStringLiteral("3"));
    }
    auto chooser = openChooser();
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_ESCOLHER")), Qt::LeftButton);
    QVERIFY(!chooser->isVisible());
    QCOMPARE(inst->raffle.CodRifaUsar, QString());
    QVERIFY(!inst->raffle.isChosen());
    QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("Não Definida"));
    QCOMPARE(inst->raffle.TabelaBaseUsar, QStringLiteral("BS4_D"));
    QCOMPARE(inst->raffle.MaiorNumero, 9999);
}

void TestRaffleSelection::inactiveRaffleIsRefusedAndNothingChanges() {
    CadastroRow first = completeRaffle(QStringLiteral("RIFA UM"));
    first.premios = QStringLiteral("TV");
    QVERIFY(writeRaffle(*inst, 1, first));
    QVERIFY(
        writeRaffle(*inst, 2, completeRaffle(QStringLiteral("RIFA DOIS"), QStringLiteral("0000 - 9999"))));
    auto chooser = openChooser();
    select(*chooser, 1);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_CONFIRMAR")), Qt::LeftButton);
    const WorkingRaffle before = inst->raffle;
    QCOMPARE(before.TextoPremios, QStringLiteral("TV\\n "));

    // Listed while active, switched off before it is confirmed.
    chooser = openChooser();
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET RIFA_ATIVA=0 WHERE CODRIFA=2")));
    select(*chooser, 2);
    inst->dialogs.expectMessage(QStringLiteral("A Rifa Selecionada Não está ATIVA no Cadastro de Rifas!"),
                                BoxIcon::Error, QStringLiteral("KORVANTE"));
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_CONFIRMAR")), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(chooser->isVisible());
    QCOMPARE(inst->raffle.CodRifaUsar, QStringLiteral("1"));
    QCOMPARE(inst->raffle.TextoPremios, before.TextoPremios);
    QCOMPARE(inst->raffle.TabelaBaseUsar, before.TabelaBaseUsar);
    QCOMPARE(inst->raffle.MaiorNumero, before.MaiorNumero);
    QCOMPARE(inst->tdm->CDS_RIfaUSar.value(QStringLiteral("CODRIFA")).toInt(), 1);
}

void TestRaffleSelection::noActiveRaffleLeavesOnlyEscolherDepois() {
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET RIFA_ATIVA=0")));
    auto chooser = openChooser();
    auto *list = chooser->findChild<QComboBox *>(QStringLiteral("CMB_RIFA"));
    QCOMPARE(list->count(), 0);
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_CONFIRMAR")), Qt::LeftButton);
    QVERIFY(chooser->isVisible());
    QVERIFY(inst->dialogs.shown.isEmpty());
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("BTN_ESCOLHER")), Qt::LeftButton);
    QVERIFY(!chooser->isVisible());
    QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("Não Definida"));
}

KORVANTE_TEST(TestRaffleSelection)
#include "TestRaffleSelection.moc"
