#include "mainwindow/TForm_RIFA.h"
#include "raffle/TForm_Cadastro.h"
#include "raffle/TForm_Usar.h"
#include "sales/TForm_Validacao.h"
#include "sellers/TForm_vendedor.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void entriesNeedARaffle_data();
    void entriesNeedARaffle();
    void hoverRecoloursUntilTheBackground();
    void closeAreaClosesWindowAndConnection();
    void printModuleBesideTakesOver();
    void windowsOpenCentredWithTheirOwnTitles();

private:
    void click(const QString &name);
    void hover(const QString &name);
    QColor colour(const QString &label);
    void showMenu();
    std::unique_ptr<WindowWatcher> watcher;
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_RIFA> form;
};

void TestMainWindow::init() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    form = std::make_unique<TForm_RIFA>(inst->services());
    // The chooser that opens at the first activation is left with "Escolher Depois".
    watcher = std::make_unique<WindowWatcher>();
    watcher->on(QStringLiteral("TForm_Usar"),
                [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
}

void TestMainWindow::showMenu() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTRY_COMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 1);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(form->findChild<QLabel *>(QStringLiteral("LBL_RifaUsar"))->text(),
             QStringLiteral("Não Definida"));
}

void TestMainWindow::cleanup() {
    form.reset();
    watcher.reset();
    inst.reset();
}

void TestMainWindow::click(const QString &name) {
    auto *w = form->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void TestMainWindow::hover(const QString &name) {
    auto *w = form->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    const QPointF at = w->rect().center();
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

QColor TestMainWindow::colour(const QString &label) {
    return form->findChild<QLabel *>(label)->palette().color(QPalette::WindowText);
}

void TestMainWindow::entriesNeedARaffle_data() {
    QTest::addColumn<QString>("control");
    for (const char *c : {"Img_Cadastro", "LBL_CADASTRAR", "Img_Person", "LBL_Personalizar", "Img_valida",
                          "LBL_Validacao", "Img_HTML", "Img_sorteio", "Img_Consulta"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestMainWindow::entriesNeedARaffle() {
    QFETCH(QString, control);
    showMenu();
    QVERIFY(!form->raffle().isChosen());
    inst->dialogs.expectMessage(QStringLiteral("Favor escolha uma Rifa a Trabalhar..."), BoxIcon::Warning,
                                QStringLiteral("KORVANTE"));
    click(control);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(inst->dialogs.shown.size(), 1);
}

void TestMainWindow::hoverRecoloursUntilTheBackground() {
    const QColor white(255, 255, 255), yellow(208, 210, 117), cyan(128, 255, 255);
    QCOMPARE(colour(QStringLiteral("LBL_CADASTRAR")), white);
    hover(QStringLiteral("Img_Cadastro"));
    QCOMPARE(colour(QStringLiteral("LBL_CADASTRAR")), yellow);
    QVERIFY(form->hoverFlag());
    // Straight from one entry to another: both stay highlighted.
    hover(QStringLiteral("LBL_Backup"));
    QCOMPARE(colour(QStringLiteral("LBL_Backup")), cyan);
    QCOMPARE(colour(QStringLiteral("LBL_CADASTRAR")), yellow);
    hover(QStringLiteral("LBL_Sorteio"));
    QCOMPARE(colour(QStringLiteral("LBL_Sorteio")), yellow);
    hover(QStringLiteral("IMG_FUNDO"));
    QVERIFY(!form->hoverFlag());
    for (const char *l : {"LBL_CADASTRAR", "LBL_Personalizar", "LBL_Validacao", "LBL_Vendedores",
                          "LBL_GerarHTML", "LBL_Sorteio", "LBL_Consulta", "LBL_Backup", "LBL_Ajuda"})
        QCOMPARE(colour(QString::fromLatin1(l)), white);
}

void TestMainWindow::closeAreaClosesWindowAndConnection() {
    showMenu();
    QCOMPARE(form->size(), QSize(970, 670));
    // The menu artwork is there, under the hot areas.
    const QPixmap art = form->findChild<QLabel *>(QStringLiteral("IMG_FUNDO"))->pixmap();
    QCOMPARE(art.size(), QSize(972, 680));
    const QImage image = art.toImage();
    QVERIFY(image.pixelColor(200, 230) != image.pixelColor(5, 5)); // the registration icon
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE 2.0"));
    QVERIFY(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    click(QStringLiteral("img_fechar"));
    QVERIFY(!form->isVisible());
    QVERIFY(!inst->tdm->CONEX_R().isOpen());
}

void TestMainWindow::printModuleBesideTakesOver() {
    // A stand-in print module that leaves a mark when the shell starts it.
    const QString module = inst->file(QStringLiteral("Korvante_PRINT"));
    const QString mark = inst->file(QStringLiteral("started"));
    QFile script(module);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    form->show();
    QTRY_VERIFY(!form->isVisible());
    QTRY_VERIFY(QFile::exists(mark));
    QCOMPARE(form->tag(), 0); // no raffle was chosen
    QCOMPARE(watcher->shown(QStringLiteral("TForm_Usar")), 0);
    QVERIFY(inst->dialogs.shown.isEmpty());
    // Both files were let go before the print module was started.
    QVERIFY(!inst->tdm->CONEX_R().isOpen());
    QVERIFY(!inst->tdm->CONEX_PRINT().isOpen());
}

void TestMainWindow::windowsOpenCentredWithTheirOwnTitles() {
    form->move(40, 30);
    showMenu();
    QCOMPARE(form->windowHandle()->title(), form->windowTitle());
    const QPoint centre = form->geometry().center();
    std::vector<std::unique_ptr<QDialog>> windows;
    windows.push_back(std::make_unique<TForm_Cadastro>(inst->context(), form.get()));
    windows.push_back(std::make_unique<TForm_vendedor>(inst->services(), form.get()));
    windows.push_back(std::make_unique<TForm_Validacao>(inst->context(), form.get()));
    windows.push_back(std::make_unique<TForm_Usar>(inst->context(), form.get()));
    inst->dialogs.setLenient(true);
    for (const auto &w : windows) {
        w->show();
        QTRY_VERIFY(w->isVisible() && w->windowHandle());
        // The title as the window system shows it: nothing appended.
        QCOMPARE(w->windowHandle()->title(), w->windowTitle());
        QVERIFY2(!w->windowTitle().contains(u'—'), qPrintable(w->windowTitle()));
        const QPoint offset = w->geometry().center() - centre;
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(w->objectName()));
        w->hide();
    }
}

KORVANTE_TEST(TestMainWindow)
#include "TestMainWindow.moc"
