#include "RaffleRows.h"
#include "data/WorkingRaffle.h"
#include "raffle/RaffleRegistration.h"
#include "raffle/TForm_Cadastro.h"
#include "raffle/TextLines.h"
#include "support/Contrast.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <cmath>

// The registration of the five raffle slots.
class TestRaffleRegistration : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void opensOnTheWorkingRaffle();
    void checksRunInOrderAndNothingIsWrittenUntilAllPass();
    void onlyLettersAToZAreUpperCased();
    void lineLimitOnLeavingEitherBox_data();
    void lineLimitOnLeavingEitherBox();
    void wrappedRulesLinesCountAsShown();
    void workingRaffleKeepsModalityWhileValidated_data();
    void workingRaffleKeepsModalityWhileValidated();
    void typedTextStaysWithItsRow_data();
    void typedTextStaysWithItsRow();
    void everyWrittenRowIsChecked();
    void savingWithoutChangeShowsNothing();
    void sizeLabels_data();
    void sizeLabels();
    void sizeLabelsFollowTheLists();
    void closingAfterEditOfWorkingRaffleChoosesAgain();
    void typedPrice_data();
    void typedPrice();
    void typedDrawDate_data();
    void typedDrawDate();
    void calendarOfAnEmptyDateOpensAtThisMonth();
    void lineLimitIsCheckedBySavingItself();
    void fiveInactiveRafflesAreRefused();
    void pastedTextStopsAtTheColumnSize();
    void windowShowsWhatWasStored();
    void chooserLeftWithEscFollowsTheStoredRow_data();
    void chooserLeftWithEscFollowsTheStoredRow();
    void labelsFitAndDoNotOverlap();
    void dealingFingerprintOfTheTableIsShown();
    void listsDropDownUnderTheirControlAndStayReadable();
    void raffleNumberIsReadable();

private:
    void openForm();
    void save();
    void leave(QTextEdit *memo);
    // Clicks into the box, selects what it holds and types the lines over it.
    void typeLines(QTextEdit *memo, const QString &text);
    template <class T> T *control(const char *name) {
        T *c = form->findChild<T *>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    void navigate(const char *button) { QTest::mouseClick(control<QToolButton>(button), Qt::LeftButton); }
    void typeName(const QString &text);
    // Clicks into a field, selects what it holds and types over it, as a person does.
    void typeInto(QLineEdit *edit, const QString &text);
    // Chooses an item of a fixed list with the keyboard.
    void pick(const char *list, int index);
    QVariant stored(int slot, const char *column) {
        return inst->scalar(
            QStringLiteral("SELECT %1 FROM CADASTRO WHERE CODRIFA=?").arg(QLatin1String(column)), {slot});
    }
    bool addValidation(int slot);
    bool fillTicketTable(const QString &table, int perTicket, int rows);
    // Closes the window after an edit of the working raffle: the notice, then the chooser, driven by
    // inChooser.
    void closeAndChooseAgain(const std::function<void(QWidget *)> &inChooser);

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Cadastro> form;
};

void TestRaffleRegistration::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

void TestRaffleRegistration::init() {
    QVERIFY(resetRaffles(*inst));
    for (int k = 1; k <= 5; ++k)
        QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_%1").arg(k)));
    for (const char *t : {"BS4_M", "BS10_M"})
        QVERIFY(inst->exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(t))));
    inst->dialogs.clear();
    inst->raffle = WorkingRaffle{};
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
}

void TestRaffleRegistration::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

void TestRaffleRegistration::openForm() {
    form = std::make_unique<TForm_Cadastro>(inst->context());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestRaffleRegistration::save() {
    QTest::mouseClick(control<QPushButton>("Button1"), Qt::LeftButton);
}

void TestRaffleRegistration::typeName(const QString &text) {
    QLineEdit *edit = control<QLineEdit>("DBEdit3");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Key by key, as typed; letters outside ASCII come as text of their own key.
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void TestRaffleRegistration::closeAndChooseAgain(const std::function<void(QWidget *)> &inChooser) {
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Usar"), inChooser);
    inst->dialogs.expectMessage(
        QStringLiteral("Você fez alteração da RIFA em Andamento e assim, deverá escolher "
                       "novamente a RIFA A TRABALHAR!"),
        BoxIcon::Warning, QStringLiteral("KORVANTE"));
    form->close();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(watcher.shown(QStringLiteral("TForm_Usar")), 1);
}

void TestRaffleRegistration::typeInto(QLineEdit *edit, const QString &text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void TestRaffleRegistration::pick(const char *list, int index) {
    auto *combo = control<QComboBox>(list);
    combo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), index);
}

void TestRaffleRegistration::leave(QTextEdit *memo) {
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    memo->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_Tab);
}

void TestRaffleRegistration::typeLines(QTextEdit *memo, const QString &text) {
    QTest::mouseClick(memo->viewport(), Qt::LeftButton);
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, lines[i]);
    }
}

bool TestRaffleRegistration::addValidation(int slot) {
    return inst->exec(
        QStringLiteral("INSERT INTO DADOSCOMPRADOR_%1 (NUM_CAD_RIFA, NOMECOMP, VALOR, NUMBILHETE, "
                       "VALIDADO, AUT_DIGITAL_VAL, DATA_VAL) VALUES (?, ?, ?, ?, ?, ?, ?)")
            .arg(slot),
        {slot, QStringLiteral("JOSE"), 10.0, 7, QStringLiteral("Sim"), QStringLiteral("ABCDEFGHI"),
         QDate(2026, 12, 1)});
}

bool TestRaffleRegistration::fillTicketTable(const QString &table, int perTicket, int rows) {
    QStringList columns;
    for (int i = 1; i <= perTicket; ++i)
        columns << QStringLiteral("N%1").arg(i);
    for (int t = 0; t < rows; ++t) {
        QVariantList numbers;
        QStringList marks;
        for (int i = 0; i < perTicket; ++i) {
            numbers << t * perTicket + i;
            marks << QStringLiteral("?");
        }
        if (!inst->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(u','), marks.join(u',')),
                        numbers))
            return false;
    }
    return true;
}

void TestRaffleRegistration::opensOnTheWorkingRaffle() {
    QVERIFY(writeRaffle(*inst, 3,
                        completeRaffle(QStringLiteral("RIFA DO CARRO"), QStringLiteral("0000 - 9999"),
                                       QStringLiteral("1 Número"))));
    inst->raffle.CodRifaUsar = QStringLiteral("3");
    openForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE - CADASTRO DA RIFA"));
    QCOMPARE(form->size(), QSize(870, 498));
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("3"));
    QVERIFY(!control<QLineEdit>("DBEdit1")->isEnabled());
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), QStringLiteral("RIFA DO CARRO"));
    QCOMPARE(control<QComboBox>("DBC_Modal")->currentText(), QStringLiteral("0000 - 9999"));
    QCOMPARE(control<QLabel>("LBL_TotalNmeros")->text(), QStringLiteral("[10.000 números]"));
    QCOMPARE(control<QLabel>("LBL_PorBIlhete")->text(), QStringLiteral("10.000 Bilhetes"));
    QCOMPARE(control<QTextEdit>("DBMemo1")->toPlainText(), QStringLiteral("UMA MOTO"));
    QStringList modal, counts;
    for (int i = 0; i < 5; ++i) {
        modal << control<QComboBox>("DBC_Modal")->itemText(i);
        counts << control<QComboBox>("DBC_NumBilhete")->itemText(i);
    }
    QCOMPARE(modal, RaffleRegistration::modalities());
    QCOMPARE(counts, QStringList({"1 Número", "2 Números", "4 Números", "5 Números", "10 Números"}));
    QCOMPARE(control<QComboBox>("DBC_Modal")->count(), 5);
    QCOMPARE(control<QComboBox>("DBC_NumBilhete")->count(), 5);
}

void TestRaffleRegistration::checksRunInOrderAndNothingIsWrittenUntilAllPass() {
    openForm(); // raffle 1 as a new installation has it: only its name
    auto refused = [&](const QString &text) {
        inst->dialogs.expectMessage(text, BoxIcon::Error, QStringLiteral("KORVANTE"));
        save();
        QVERIFY2(inst->dialogs.scriptDone(), qPrintable(text));
        QCOMPARE(stored(1, "NOME_RIFA").toString(), QStringLiteral("RIFA 1"));
        QVERIFY(stored(1, "MODALIDADE").isNull());
    };
    typeName(QString());
    refused(QStringLiteral("Favor informe o Nome da Rifa!"));
    typeName(QStringLiteral("rifa da moto"));
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), QStringLiteral("RIFA DA MOTO"));
    refused(QStringLiteral("Favor informe a Modalidade da Rifa!"));
    pick("DBC_Modal", 0); // "00 - 99"
    refused(QStringLiteral("Favor informe Quantos Números por Bilhete será usado nesta Rifa!"));
    pick("DBC_NumBilhete", 1);
    inst->dialogs.expectMessage(QStringLiteral("Rifas de 0 a 99, só pode ter até 2 números por Bilhete!"),
                                BoxIcon::Warning, QStringLiteral("KORVANTE"));
    QTest::keyClick(control<QComboBox>("DBC_NumBilhete"), Qt::Key_Down); // "4 Números": warned, still chosen
    QVERIFY(inst->dialogs.scriptDone());
    refused(QStringLiteral("Favor informe o Valor da Rifa!"));
    typeInto(control<QLineEdit>("RxDBCalcEdit1"), QStringLiteral("15,5"));
    refused(QStringLiteral("Favor informe a Data Provável da Rifa. Você pode altear posteriormente!"));
    typeInto(control<QLineEdit>("DBDateEdit1"), QStringLiteral("24/12/2026"));
    refused(QStringLiteral("Rifas de 0 a 99, só pode ter até 2 números por Bilhete!"));
    // Everything typed is still there after the refusals.
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), QStringLiteral("RIFA DA MOTO"));
    QCOMPARE(control<QComboBox>("DBC_NumBilhete")->currentText(), QStringLiteral("4 Números"));

    pick("DBC_NumBilhete", 1); // "2 Números"
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None,
                                QStringLiteral("KORVANTE"));
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(stored(1, "NOME_RIFA").toString(), QStringLiteral("RIFA DA MOTO"));
    QCOMPARE(stored(1, "MODALIDADE").toString(), QStringLiteral("00 - 99"));
    QCOMPARE(stored(1, "USAR_QT_NUM").toString(), QStringLiteral("2 Números"));
    QCOMPARE(stored(1, "VLR_RIFA").toDouble(), 15.5);
    QCOMPARE(stored(1, "DATA_EVENTO").toDate(), QDate(2026, 12, 24));
    QVERIFY(form->workingRaffleEdited());
    // The print database holds the same row.
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(
        q.exec(QStringLiteral("SELECT NOME_RIFA, MODALIDADE, VLR_RIFA FROM CADASTRO_TEMP WHERE CODRIFA=1")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("RIFA DA MOTO"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("00 - 99"));
    QCOMPARE(q.value(2).toDouble(), 15.5);
}

void TestRaffleRegistration::onlyLettersAToZAreUpperCased() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA"))));
    openForm();
    typeName(QStringLiteral("ação"));
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), QStringLiteral("AçãO"));
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QCOMPARE(stored(1, "NOME_RIFA").toString(), QStringLiteral("AçãO"));
}

void TestRaffleRegistration::lineLimitOnLeavingEitherBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("message");
    QTest::newRow("prizes") << "DBMemo1" << RaffleRegistration::premiosLimitMessage();
    QTest::newRow("rules") << "DBMemo2" << RaffleRegistration::regrasLimitMessage();
}

void TestRaffleRegistration::lineLimitOnLeavingEitherBox() {
    QFETCH(QString, box);
    QFETCH(QString, message);
    QVERIFY(message.contains(QStringLiteral("é de até 14 linhas!\r\rObs. Apague linhas em branco")));
    openForm();
    auto *prizes = control<QTextEdit>("DBMemo1");
    auto *rules = control<QTextEdit>("DBMemo2");
    auto *memo = box == QLatin1String("DBMemo1") ? prizes : rules;
    auto lines = [](int n) {
        QStringList l;
        for (int i = 1; i <= n; ++i)
            l << QStringLiteral("LINHA %1").arg(i);
        return l.join(u'\n');
    };
    // 7 + 7 lines are allowed.
    typeLines(prizes, lines(7));
    typeLines(rules, lines(7));
    leave(memo);
    QCoreApplication::processEvents(); // the check of the box left runs once the focus has moved
    QVERIFY(inst->dialogs.shown.isEmpty());
    QVERIFY(QApplication::focusWidget() != memo);
    QTest::mouseClick(control<QLineEdit>("DBEdit2"), Qt::LeftButton); // out of both boxes
    QCoreApplication::processEvents();
    QVERIFY(inst->dialogs.shown.isEmpty());

    typeLines(memo, lines(8));
    inst->dialogs.expectMessage(message, BoxIcon::Error, QStringLiteral("KORVANTE"));
    leave(memo);
    QTRY_VERIFY(inst->dialogs.scriptDone());
    QTRY_COMPARE(QApplication::focusWidget(), memo);
    // The text stays as typed.
    QCOMPARE(memo->toPlainText(), lines(8));
}

void TestRaffleRegistration::wrappedRulesLinesCountAsShown() {
    openForm();
    auto *prizes = control<QTextEdit>("DBMemo1");
    auto *rules = control<QTextEdit>("DBMemo2");
    prizes->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8"));
    // 5 short lines and one that needs two lines of the box: 8 + 7 shown lines.
    QString longLine;
    const QFontMetrics fm(rules->font());
    while (fm.horizontalAdvance(longLine) < RaffleRegistration::RulesTextWidth + 40)
        longLine += QStringLiteral("SORTEIO ");
    rules->setPlainText(QStringLiteral("A\nB\nC\nD\nE\n") + longLine.trimmed());
    const int counted = int(
        TextLines::displayed(rules->toPlainText(), rules->font(), RaffleRegistration::RulesTextWidth).size());
    QCOMPARE(counted, 7);
    // The box shows the lines it counts.
    int shownInBox = 0;
    rules->document()->documentLayout(); // lays the document out
    for (QTextBlock b = rules->document()->begin(); b.isValid(); b = b.next())
        shownInBox += b.layout()->lineCount();
    QCOMPARE(shownInBox, counted);

    inst->dialogs.expectMessage(RaffleRegistration::regrasLimitMessage(), BoxIcon::Error);
    leave(rules);
    QTRY_VERIFY(inst->dialogs.scriptDone());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rules));
}

void TestRaffleRegistration::workingRaffleKeepsModalityWhileValidated_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("index");
    QTest::newRow("modality") << "DBC_Modal" << 2;
    QTest::newRow("numbers per ticket") << "DBC_NumBilhete" << 3;
}

void TestRaffleRegistration::workingRaffleKeepsModalityWhileValidated() {
    QFETCH(QString, list);
    QFETCH(int, index);
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    QVERIFY(writeRaffle(*inst, 2, completeRaffle(QStringLiteral("RIFA DOIS"))));
    QVERIFY(addValidation(1));
    QVERIFY(addValidation(2));
    openForm();
    auto *combo = form->findChild<QComboBox *>(list);
    const QString before = combo->currentText();
    pick(qPrintable(list), index);
    typeName(QStringLiteral("NOVO NOME"));
    inst->dialogs.expectMessage(RaffleRegistration::validationsMessage(), BoxIcon::Error,
                                QStringLiteral("KORVANTE"));
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(combo->currentText(), before);
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), QStringLiteral("RIFA UM")); // every unsaved edit dropped
    QCOMPARE(stored(1, "MODALIDADE").toString(), QStringLiteral("000 - 999"));
    QCOMPARE(stored(1, "USAR_QT_NUM").toString(), QStringLiteral("2 Números"));
    QCOMPARE(stored(1, "NOME_RIFA").toString(), QStringLiteral("RIFA UM"));
    QVERIFY(!form->workingRaffleEdited());

    // Another slot, inactive and not the working raffle, whose own buyer table holds sales: its sold
    // tickets point at control numbers of its table, so the change is refused as well.
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET RIFA_ATIVA=0 WHERE CODRIFA=2")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    form.reset();
    openForm();
    navigate("nbNext");
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("2"));
    combo = form->findChild<QComboBox *>(list);
    pick(qPrintable(list), index);
    inst->dialogs.expectMessage(RaffleRegistration::validationsMessage(), BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("2"));
    QCOMPARE(combo->currentText(), before);
    QCOMPARE(stored(2, "MODALIDADE").toString(), QStringLiteral("000 - 999"));
    QCOMPARE(stored(2, "USAR_QT_NUM").toString(), QStringLiteral("2 Números"));

    // Raffle 1 has no sale left: its change is saved.
    navigate("nbPrior");
    pick(qPrintable(list), index);
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(stored(1, list == QLatin1String("DBC_Modal") ? "MODALIDADE" : "USAR_QT_NUM").toString(),
             combo->itemText(index));
}

void TestRaffleRegistration::typedTextStaysWithItsRow_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("bad");       // typed keys; '<' is a backspace
    QTest::addColumn<QString>("shownBad");  // the field's text, as typed, when the row is shown again
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("good");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("price with two separators")
        << "RxDBCalcEdit1" << "1.234,56" << "1.234,56"
        << "Valor do Bilhete inválido na RIFA Nº 2! Digite o valor com uma única vírgula (ou ponto) antes "
           "dos centavos, por exemplo 12,50."
        << "7,5" << QVariant(7.5);
    QTest::newRow("date that passed through a valid one")
        << "DBDateEdit1" << "31/01/2027<" << "31/01/202"
        << "Favor informe uma Data do Sorteio válida ( dd/mm/aaaa ) na RIFA Nº 2!"
        << "05032027" << QVariant(QDate(2027, 3, 5));
}

void TestRaffleRegistration::typedTextStaysWithItsRow() {
    QFETCH(QString, field);
    QFETCH(QString, bad);
    QFETCH(QString, shownBad);
    QFETCH(QString, refusal);
    QFETCH(QString, good);
    QFETCH(QVariant, stored);
    const char *column = field == QLatin1String("RxDBCalcEdit1") ? "VLR_RIFA" : "DATA_EVENTO";
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    QVERIFY(writeRaffle(*inst, 2, completeRaffle(QStringLiteral("RIFA DOIS"))));
    const QVariant before = this->stored(2, column);
    openForm();
    navigate("nbNext");
    auto *edit = control<QLineEdit>(qPrintable(field));
    typeInto(edit, bad.chopped(bad.endsWith(u'<') ? 1 : 0));
    if (bad.endsWith(u'<')) QTest::keyClick(edit, Qt::Key_Backspace);
    // Raffle 1 edited and saved: raffle 2's text refuses the whole save and is shown as typed.
    navigate("nbPrior");
    typeName(QStringLiteral("RIFA NOVA"));
    inst->dialogs.expectMessage(refusal, BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("2"));
    QCOMPARE(edit->text(), shownBad);
    QCOMPARE(this->stored(2, column), before);
    QCOMPARE(this->stored(1, "NOME_RIFA").toString(), QStringLiteral("RIFA UM"));

    // Corrected, the save writes both rows as shown.
    typeInto(edit, good);
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    if (stored.typeId() == QMetaType::Double)
        QCOMPARE(this->stored(2, column).toDouble(), stored.toDouble());
    else
        QCOMPARE(this->stored(2, column).toDate(), stored.toDate());
    QCOMPARE(this->stored(1, "NOME_RIFA").toString(), QStringLiteral("RIFA NOVA"));
}

void TestRaffleRegistration::everyWrittenRowIsChecked() {
    for (int k = 1; k <= 3; ++k)
        QVERIFY(writeRaffle(*inst, k, completeRaffle(QStringLiteral("RIFA %1").arg(k))));
    QVERIFY(addValidation(1));
    openForm();

    // The working raffle's modality changed, then saved from another slot: still refused.
    pick("DBC_Modal", 3);
    navigate("nbNext");
    typeName(QStringLiteral("RIFA DOIS"));
    inst->dialogs.expectMessage(RaffleRegistration::validationsMessage(), BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("1")); // shows the raffle concerned
    QCOMPARE(control<QComboBox>("DBC_Modal")->currentText(), QStringLiteral("000 - 999"));
    QCOMPARE(stored(1, "MODALIDADE").toString(), QStringLiteral("000 - 999"));
    QCOMPARE(stored(2, "NOME_RIFA").toString(), QStringLiteral("RIFA 2"));

    // A slot left with an empty name is not written behind the back of the checks.
    navigate("nbNext");
    typeName(QString());
    navigate("nbNext");
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("3"));
    QTest::mouseClick(control<QLineEdit>("DBEdit2"), Qt::LeftButton);
    QTest::keyClick(control<QLineEdit>("DBEdit2"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control<QLineEdit>("DBEdit2"), QStringLiteral("https://exemplo.com"));
    inst->dialogs.expectMessage(QStringLiteral("Favor informe o Nome da Rifa!"), BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(control<QLineEdit>("DBEdit1")->text(), QStringLiteral("2"));
    QCOMPARE(stored(2, "NOME_RIFA").toString(), QStringLiteral("RIFA 2"));
    QCOMPARE(stored(3, "LINK_SORT").toString(), QStringLiteral("https://example.com/sorteio"));

    // Fixed, both rows are written by one press, and the print copy follows both.
    typeName(QStringLiteral("RIFA DOIS"));
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(stored(2, "NOME_RIFA").toString(), QStringLiteral("RIFA DOIS"));
    QCOMPARE(stored(3, "LINK_SORT").toString(), QStringLiteral("https://exemplo.com"));
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(q.exec(QStringLiteral("SELECT LINK_SORT FROM CADASTRO_TEMP WHERE CODRIFA=3")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("https://exemplo.com"));
    QVERIFY(!form->workingRaffleEdited());
}

void TestRaffleRegistration::savingWithoutChangeShowsNothing() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    openForm();
    navigate("nbNext");
    navigate("nbPrior");
    save();
    QVERIFY(inst->dialogs.shown.isEmpty());
    QVERIFY(!form->workingRaffleEdited());
    form->close(); // no warning: nothing of the working raffle was written
    QVERIFY(inst->dialogs.shown.isEmpty());
}

void TestRaffleRegistration::sizeLabels_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("j");
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QString>("tickets"); // empty: the label keeps its text
    QTest::newRow("no modality") << -1 << 1 << "[0 números]"
                                 << "";
    QTest::newRow("no count is one number") << 0 << -1 << "[100 números]"
                                            << "100 Bilhetes";
    QTest::newRow("one number counts the modality") << 1 << 0 << "[1.000 números]"
                                                    << "1.000 Bilhetes";
    QTest::newRow("million") << 4 << 0 << "[1.000.000 números]"
                             << "1.000.000 Bilhetes";
    QTest::newRow("counted in an empty base") << 3 << 1 << "[100.000 números]"
                                              << "0 Bilhetes";
    QTest::newRow("0..99 has no base of 5") << 0 << 3 << "[100 números]"
                                            << "";
    QTest::newRow("complete base of 10 numbers") << 1 << 4 << "[1.000 números]"
                                                 << "100 Bilhetes";
}

void TestRaffleRegistration::sizeLabels() {
    QFETCH(int, k);
    QFETCH(int, j);
    QFETCH(QString, numbers);
    QFETCH(QString, tickets);
    QVERIFY(fillTicketTable(QStringLiteral("BS10_M"), 10, 100));
    RaffleRegistration reg(*inst->tdm, inst->raffle);
    QString error;
    const auto labels = reg.AtualizarTotais(k, j, &error);
    QCOMPARE(error, QString());
    QCOMPARE(labels.numbers, numbers);
    QCOMPARE(labels.tickets.value_or(QString()), tickets);
}

void TestRaffleRegistration::sizeLabelsFollowTheLists() {
    QVERIFY(fillTicketTable(QStringLiteral("BS4_M"), 4, 3));
    QVERIFY(fillTicketTable(QStringLiteral("BS10_M"), 10, 100));
    QVERIFY(writeRaffle(
        *inst, 1,
        completeRaffle(QStringLiteral("UM"), QStringLiteral("000 - 999"), QStringLiteral("4 Números"))));
    QVERIFY(writeRaffle(
        *inst, 2,
        completeRaffle(QStringLiteral("DOIS"), QStringLiteral("00000 - 99999"), QStringLiteral("1 Número"))));
    openForm();
    auto *numbers = control<QLabel>("LBL_TotalNmeros");
    auto *tickets = control<QLabel>("LBL_PorBIlhete");
    QCOMPARE(tickets->text(), QStringLiteral("3 Bilhetes"));
    // "00 - 99" beside "4 Números": the ticket label keeps its text.
    pick("DBC_Modal", 0);
    QCOMPARE(numbers->text(), QStringLiteral("[100 números]"));
    QCOMPARE(tickets->text(), QStringLiteral("3 Bilhetes"));
    pick("DBC_Modal", 1);
    pick("DBC_NumBilhete", 4);
    QCOMPARE(numbers->text(), QStringLiteral("[1.000 números]"));
    QCOMPARE(tickets->text(), QStringLiteral("100 Bilhetes"));
    // Moving to another row shows its sizes.
    navigate("nbNext");
    QCOMPARE(numbers->text(), QStringLiteral("[100.000 números]"));
    QCOMPARE(tickets->text(), QStringLiteral("100.000 Bilhetes"));
    navigate("nbFirst");
    QCOMPARE(tickets->text(), QStringLiteral("100 Bilhetes")); // the edit is kept in the row left
    QVERIFY(inst->dialogs.shown.isEmpty());
}

void TestRaffleRegistration::closingAfterEditOfWorkingRaffleChoosesAgain() {
    for (int k = 1; k <= 3; ++k)
        QVERIFY(writeRaffle(*inst, k, completeRaffle(QStringLiteral("RIFA %1").arg(k))));
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.LBL_RifaUsar = QStringLiteral("RIFA 1");
    openForm();
    typeName(QStringLiteral("RIFA NOVA"));
    pick("DBC_NumBilhete", 4); // no validations: allowed
    navigate("nbNext");
    navigate("nbNext");
    // Saved from another slot, the working raffle's row is written too.
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(form->workingRaffleEdited());

    closeAndChooseAgain([](QWidget *chooser) { WindowWatcher::chooseRaffle(chooser, 1); });
    QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("RIFA NOVA"));
    QCOMPARE(int(inst->raffle.QtNumBilhete), 10);
    QCOMPARE(inst->raffle.TabelaBaseUsar, QStringLiteral("BS10_M"));
}

void TestRaffleRegistration::typedPrice_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("keypadSeparator"); // the typed '|' stands for the keypad's decimal key
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point") << "12.5" << false << 12.5 << "R$ 12,50";
    QTest::newRow("comma") << "12,5" << false << 12.5 << "R$ 12,50";
    QTest::newRow("keypad decimal key") << "12|5" << true << 12.5 << "R$ 12,50";
    QTest::newRow("whole") << "1234" << false << 1234.0 << "R$ 1.234,00";
    QTest::newRow("cents") << "0,05" << false << 0.05 << "R$ 0,05";
    QTest::newRow("two separators") << "1.234,56" << false << -1.0 << "1.234,56";
    QTest::newRow("three decimals") << "12,555" << false << -1.0 << "12,555";
}

void TestRaffleRegistration::typedPrice() {
    QFETCH(QString, typed);
    QFETCH(bool, keypadSeparator);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    openForm();
    auto *price = control<QLineEdit>("RxDBCalcEdit1");
    QCOMPARE(price->text(), QStringLiteral("R$ 10,00"));
    if (keypadSeparator) {
        const QStringList parts = typed.split(u'|');
        typeInto(price, parts[0]);
        QTest::keyClick(price, Qt::Key_Period, Qt::KeypadModifier);
        QTest::keyClicks(price, parts[1]);
    } else {
        typeInto(price, typed);
    }
    if (stored < 0)
        inst->dialogs.expectMessage(
            QStringLiteral("Valor do Bilhete inválido na RIFA Nº 1! Digite o valor com uma única "
                           "vírgula (ou ponto) antes dos centavos, por exemplo 12,50."),
            BoxIcon::Error);
    else
        inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(this->stored(1, "VLR_RIFA").toDouble(), stored < 0 ? 10.0 : stored);
    QCOMPARE(price->text(), shown); // a refused amount stays as typed, to be corrected
}

void TestRaffleRegistration::typedDrawDate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("stored"); // invalid: refused
    QTest::newRow("with slashes") << "20/12/2026" << QDate(2026, 12, 20);
    QTest::newRow("without slashes") << "20122026" << QDate(2026, 12, 20);
    QTest::newRow("31 of February") << "31/02/2026" << QDate();
    QTest::newRow("month 13") << "10/13/2026" << QDate();
}

void TestRaffleRegistration::typedDrawDate() {
    QFETCH(QString, typed);
    QFETCH(QDate, stored);
    CadastroRow row = completeRaffle(QStringLiteral("RIFA UM"));
    row.date = QDate(); // an empty date field
    QVERIFY(writeRaffle(*inst, 1, row));
    openForm();
    auto *date = control<QLineEdit>("DBDateEdit1");
    QVERIFY(date->text().isEmpty());
    typeInto(date, typed);
    if (stored.isValid())
        inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    else
        inst->dialogs.expectMessage(
            QStringLiteral("Favor informe uma Data do Sorteio válida ( dd/mm/aaaa ) na RIFA Nº 1!"), BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    if (stored.isValid()) {
        QCOMPARE(this->stored(1, "DATA_EVENTO").toDate(), stored);
        QCOMPARE(date->text(), stored.toString(QStringLiteral("dd/MM/yyyy")));
    } else {
        QVERIFY(this->stored(1, "DATA_EVENTO").isNull());
        QCOMPARE(date->text(), typed); // left as typed, to be corrected
    }
}

void TestRaffleRegistration::calendarOfAnEmptyDateOpensAtThisMonth() {
    CadastroRow row = completeRaffle(QStringLiteral("RIFA UM"));
    row.date = QDate();
    QVERIFY(writeRaffle(*inst, 1, row));
    openForm();
    auto *button = form->findChild<QToolButton *>(QStringLiteral("DBDateEdit1_Calendario"));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    auto *calendar = form->findChild<QCalendarWidget *>(QStringLiteral("DBDateEdit1_Calendario_Popup"));
    QVERIFY(calendar);
    QTRY_VERIFY(calendar->isVisible());
    const QDate today = inst->clock.today();
    QCOMPARE(calendar->monthShown(), today.month());
    QCOMPARE(calendar->yearShown(), today.year());
    QCOMPARE(calendar->locale().monthName(12), QStringLiteral("dezembro"));
    QTest::keyClick(calendar, Qt::Key_Escape);
}

void TestRaffleRegistration::lineLimitIsCheckedBySavingItself() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    openForm();
    auto *prizes = control<QTextEdit>("DBMemo1");
    auto *rules = control<QTextEdit>("DBMemo2");
    QTest::mouseClick(prizes->viewport(), Qt::LeftButton);
    QTest::keyClick(prizes, Qt::Key_A, Qt::ControlModifier);
    auto typeLines = [](QTextEdit *memo, const QString &letters) {
        for (int i = 0; i < letters.size(); ++i) {
            if (i > 0) QTest::keyClick(memo, Qt::Key_Return);
            QTest::keyClicks(memo, letters.mid(i, 1));
        }
    };
    typeLines(prizes, QStringLiteral("12345678"));
    QTest::mouseClick(rules->viewport(), Qt::LeftButton);
    typeLines(rules, QStringLiteral("ABCDEFGHIJ"));
    // Press and release on the button arrive together, before the box is left.
    inst->dialogs.expectMessage(RaffleRegistration::regrasLimitMessage(), BoxIcon::Error);
    save();
    QCoreApplication::processEvents(); // and the check of the box left, had it been started
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(inst->dialogs.shown.size(), 1);
    QCOMPARE(stored(1, "PREMIOS").toString(), QStringLiteral("UMA MOTO"));
    QVERIFY(stored(1, "REGRAS_SORT").isNull());
}

void TestRaffleRegistration::fiveInactiveRafflesAreRefused() {
    for (int k = 1; k <= 5; ++k) {
        CadastroRow row = completeRaffle(QStringLiteral("RIFA %1").arg(k));
        row.ativa = k == 1 || k == 3 ? 1 : 0;
        QVERIFY(writeRaffle(*inst, k, row));
    }
    openForm();
    QTest::mouseClick(control<QRadioButton>("DBRadioGroup1_Inativa"), Qt::LeftButton);
    navigate("nbNext");
    navigate("nbNext");
    QTest::mouseClick(control<QRadioButton>("DBRadioGroup1_Inativa"), Qt::LeftButton); // raffle 3, pending
    inst->dialogs.expectMessage(RaffleRegistration::allInactiveMessage(), BoxIcon::Error);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(stored(1, "RIFA_ATIVA").toInt(), 1);
    QCOMPARE(stored(3, "RIFA_ATIVA").toInt(), 1);
    // One of them active again: the save goes through.
    QTest::mouseClick(control<QRadioButton>("DBRadioGroup1_Ativa"), Qt::LeftButton);
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QCOMPARE(stored(1, "RIFA_ATIVA").toInt(), 0);
    QCOMPARE(stored(3, "RIFA_ATIVA").toInt(), 1);
}

void TestRaffleRegistration::pastedTextStopsAtTheColumnSize() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    openForm();
    auto *prizes = control<QTextEdit>("DBMemo1");
    QTest::mouseClick(prizes->viewport(), Qt::LeftButton);
    QTest::keyClick(prizes, Qt::Key_A, Qt::ControlModifier);
    // Copied in another program; the person pastes it here.
    QGuiApplication::clipboard()->setText(QStringLiteral("CARRO\n") + QString(3000, u'x'));
    QTest::keyClick(prizes, Qt::Key_V, Qt::ControlModifier);
    // The line break is stored as CR LF: two characters of the column.
    QCOMPARE(prizes->toPlainText(), QStringLiteral("CARRO\n") + QString(2041, u'x'));
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(stored(1, "PREMIOS").toString(), QStringLiteral("CARRO\r\n") + QString(2041, u'x'));
}

void TestRaffleRegistration::windowShowsWhatWasStored() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA UM"))));
    openForm();
    typeName(QStringLiteral("SORTEIO "));
    // Copied in another program; the person pastes it here.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral(" ŁÓDŹ"));
    QTest::keyClick(control<QLineEdit>("DBEdit3"), Qt::Key_V, Qt::ControlModifier);
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();
    QVERIFY(inst->dialogs.scriptDone());
    const QString stored = this->stored(1, "NOME_RIFA").toString();
    QCOMPARE(stored, QStringLiteral("SORTEIO ? ?ÓD?"));
    QCOMPARE(control<QLineEdit>("DBEdit3")->text(), stored);
}

void TestRaffleRegistration::chooserLeftWithEscFollowsTheStoredRow_data() {
    QTest::addColumn<bool>("madeInactive");
    QTest::newRow("still active") << false;
    QTest::newRow("made inactive") << true;
}

void TestRaffleRegistration::chooserLeftWithEscFollowsTheStoredRow() {
    QFETCH(bool, madeInactive);
    for (int k = 1; k <= 2; ++k)
        QVERIFY(writeRaffle(*inst, k, completeRaffle(QStringLiteral("RIFA %1").arg(k))));
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.LBL_RifaUsar = QStringLiteral("RIFA 1");
    inst->raffle.ValorRifa = 10;
    openForm();
    typeName(QStringLiteral("RIFA NOVA"));
    typeInto(control<QLineEdit>("RxDBCalcEdit1"), QStringLiteral("2,5"));
    if (madeInactive) QTest::mouseClick(control<QRadioButton>("DBRadioGroup1_Inativa"), Qt::LeftButton);
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    save();

    closeAndChooseAgain([](QWidget *chooser) {
        QTest::keyClick(chooser->findChild<QComboBox *>(QStringLiteral("CMB_RIFA")), Qt::Key_Escape);
    });
    if (madeInactive) {
        QVERIFY(!inst->raffle.isChosen());
        QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("Não Definida"));
    } else {
        QCOMPARE(inst->raffle.CodRifaUsar, QStringLiteral("1"));
        QCOMPARE(inst->raffle.LBL_RifaUsar, QStringLiteral("RIFA NOVA"));
        QCOMPARE(inst->raffle.ValorRifa, 2.5);
        QVERIFY(inst->raffle.ValorDataRifa.startsWith(QStringLiteral("2,5-")));
    }
}

void TestRaffleRegistration::dealingFingerprintOfTheTableIsShown() {
    const QString hash(64, u'a');
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO HASH_TABELAS (TABELA, HASH, ORIGEM) VALUES ('BS4_M', ?, 'gerar')"),
                       {hash}));
    QVERIFY(writeRaffle(
        *inst, 1, completeRaffle(QStringLiteral("UM"), QStringLiteral("000 - 999"), QStringLiteral("4 Números"))));
    openForm();
    auto *label = control<QLabel>("LBL_HashTabela");
    QCOMPARE(label->text(), QStringLiteral("Impressão digital (SHA-256) da distribuição, BS4_M: ") + hash);
    // Another count of numbers per ticket: the other table, which has none kept.
    pick("DBC_NumBilhete", 4);
    QCOMPARE(label->text(), QStringLiteral("Impressão digital (SHA-256) da distribuição, BS10_M: ainda não guardada "
                                           "(será calculada no encerramento das vendas)"));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM HASH_TABELAS")));
}

void TestRaffleRegistration::labelsFitAndDoNotOverlap() {
    QVERIFY(writeRaffle(*inst, 1,
                        completeRaffle(QStringLiteral("RIFA UM"), QStringLiteral("000000 - 999999"),
                                       QStringLiteral("1 Número"))));
    openForm();
    // The widest size texts the labels can take.
    QCOMPARE(control<QLabel>("LBL_TotalNmeros")->text(), QStringLiteral("[1.000.000 números]"));
    const QList<QLabel *> labels = form->findChildren<QLabel *>();
    QList<QWidget *> others;
    for (QWidget *w : form->findChildren<QWidget *>())
        if (w->isVisible() && w->parentWidget() == form.get() && !qobject_cast<QLabel *>(w)) others << w;
    for (QLabel *l : labels) {
        if (!l->isVisible() || l->text().isEmpty()) continue;
        const QFontMetrics fm(l->font());
        const QRect needed =
            fm.boundingRect(l->contentsRect(), int(l->alignment()) | Qt::TextSingleLine, l->text());
        QVERIFY2(fm.horizontalAdvance(l->text()) <= l->contentsRect().width(),
                 qPrintable(QStringLiteral("%1: %2 > %3")
                                .arg(l->text())
                                .arg(fm.horizontalAdvance(l->text()))
                                .arg(l->contentsRect().width())));
        QVERIFY2(fm.height() <= l->contentsRect().height(), qPrintable(l->text()));
        QVERIFY2(l->contentsRect().contains(needed), qPrintable(l->text()));
        const QRect r(l->mapTo(form.get(), QPoint(0, 0)), l->size());
        for (QLabel *m : labels) {
            if (m == l || !m->isVisible() || m->text().isEmpty()) continue;
            const QRect o(m->mapTo(form.get(), QPoint(0, 0)), m->size());
            QVERIFY2(!r.intersects(o), qPrintable(l->text() + QStringLiteral(" / ") + m->text()));
        }
        if (l->parentWidget() != form.get()) continue;
        for (QWidget *w : others)
            QVERIFY2(!r.intersects(w->geometry()) || w->isAncestorOf(l),
                     qPrintable(l->text() + QStringLiteral(" / ") + w->objectName()));
    }
}

void TestRaffleRegistration::listsDropDownUnderTheirControlAndStayReadable() {
    QVERIFY(writeRaffle(
        *inst, 1,
        completeRaffle(QStringLiteral("RIFA UM"), QStringLiteral("000 - 999"), QStringLiteral("5 Números"))));
    openForm();
    for (const char *name : {"DBC_Modal", "DBC_NumBilhete"}) {
        const bool yellow = QByteArray(name) == "DBC_NumBilhete";
        auto *combo = control<QComboBox>(name);
        QTest::mouseClick(combo, Qt::LeftButton);
        QWidget *popup = combo->view()->window();
        QTRY_VERIFY(popup->isVisible());
        const int below = combo->mapToGlobal(QPoint(0, combo->height())).y();
        QVERIFY2(popup->geometry().top() >= below - 1, name);
        // The highlighted item: its text against its background.
        QAbstractItemView *view = combo->view();
        const QRect item = view->visualRect(view->currentIndex());
        const QImage shot = view->viewport()->grab(item).toImage();
        const double contrast = Contrast::ofText(shot, shot.pixelColor(shot.width() - 2, shot.height() / 2));
        if (yellow) QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());
    }
}

void TestRaffleRegistration::raffleNumberIsReadable() {
    openForm();
    QLineEdit *number = control<QLineEdit>("DBEdit1");
    QVERIFY(!number->isEnabled()); // display only, and still to be read
    QCOMPARE(number->text(), QStringLiteral("1"));
    const QImage shot = number->grab().toImage();
    const double contrast = Contrast::ofText(shot, shot.pixelColor(shot.width() - 4, shot.height() / 2));
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
}

KORVANTE_TEST(TestRaffleRegistration)
#include "TestRaffleRegistration.moc"
