#include "RaffleRows.h"
#include "mainwindow/TForm_RIFA.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The chooser and the registration as the main window opens them.
class TestRaffleMenu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void chooserOpensOncePerRun();
    void registrationEditOfWorkingRaffleRebuildsIt();

private:
    void click(const QString &name);
    QString raffleLabel() { return form->findChild<QLabel *>(QStringLiteral("LBL_RifaUsar"))->text(); }
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<WindowWatcher> watcher;
    std::unique_ptr<TForm_RIFA> form;
};

void TestRaffleMenu::init() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    watcher = std::make_unique<WindowWatcher>();
    form = std::make_unique<TForm_RIFA>(inst->services());
}

void TestRaffleMenu::cleanup() {
    form.reset();
    watcher.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
    inst.reset();
}

void TestRaffleMenu::click(const QString &name) {
    auto *w = form->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void TestRaffleMenu::chooserOpensOncePerRun() {
    QVERIFY(writeRaffle(*inst, 2, completeRaffle(QStringLiteral("RIFA DA TV"))));
    watcher->on(QStringLiteral("TForm_Usar"),
                [](QWidget *chooser) { WindowWatcher::chooseRaffle(chooser, 2); });
    QCOMPARE(raffleLabel(), QStringLiteral("---"));
    form->show();
    QTRY_COMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 1);
    QTRY_COMPARE(raffleLabel(), QStringLiteral("RIFA DA TV"));
    QCOMPARE(form->raffle().CodRifaUsar, QStringLiteral("2"));
    QCOMPARE(form->tag(), 1);

    // Later activations do not open it again.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form.get(), &activate);
    QCoreApplication::processEvents(); // where the first activation opens it
    QCOMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 1);

    // The raffle bar does.
    watcher->on(QStringLiteral("TForm_Usar"),
                [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
    click(QStringLiteral("IMG_EscolherRifa"));
    QCOMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 2);
    QCOMPARE(raffleLabel(), QStringLiteral("Não Definida"));
    QVERIFY(!form->raffle().isChosen());
    QCOMPARE(form->raffle().TabelaBaseUsar, QStringLiteral("BS2_M"));
}

void TestRaffleMenu::registrationEditOfWorkingRaffleRebuildsIt() {
    QVERIFY(writeRaffle(*inst, 1, completeRaffle(QStringLiteral("RIFA DA TV"))));
    watcher->on(QStringLiteral("TForm_Usar"),
                [](QWidget *chooser) { WindowWatcher::chooseRaffle(chooser, 1); });
    form->show();
    QTRY_COMPARE(raffleLabel(), QStringLiteral("RIFA DA TV"));

    watcher->on(QStringLiteral("TForm_Cadastro"), [](QWidget *registration) {
        auto *name = registration->findChild<QLineEdit *>(QStringLiteral("DBEdit1"));
        QCOMPARE(name->text(), QStringLiteral("1")); // opened on the working raffle
        auto *edit = registration->findChild<QLineEdit *>(QStringLiteral("DBEdit3"));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("rifa do som"));
        WindowWatcher::click(registration, QStringLiteral("Button1"));
        registration->close();
    });
    inst->dialogs.expectMessage(QStringLiteral("Dados Gravados com Sucesso!"), BoxIcon::None);
    inst->dialogs.expectMessage(
        QStringLiteral("Você fez alteração da RIFA em Andamento e assim, deverá escolher "
                       "novamente a RIFA A TRABALHAR!"),
        BoxIcon::Warning);
    click(QStringLiteral("Img_Cadastro"));
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(watcher->shown(QStringLiteral("TForm_Cadastro")), 1);
    QCOMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 2);
    QCOMPARE(raffleLabel(), QStringLiteral("RIFA DO SOM"));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT NOME_RIFA FROM CADASTRO WHERE CODRIFA=1")).toString(),
             QStringLiteral("RIFA DO SOM"));
}

KORVANTE_TEST(TestRaffleMenu)
#include "TestRaffleMenu.moc"
