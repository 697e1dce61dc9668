#include "DrawFixture.h"
#include "draw/TForm_SORTEIO.h"
#include "mainwindow/TForm_RIFA.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

// The draw window offscreen, driven by clicks; the draws run on their real timers.
class TestDrawWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void digitLabelsFollowTheModality_data();
    void digitLabelsFollowTheModality();
    void optionsAreExclusive();
    void lotteryDigitsNameUnpaidTickets_data();
    void lotteryDigitsNameUnpaidTickets();
    void noPaidTicketsEndsWithTheError_data();
    void noPaidTicketsEndsWithTheError();
    void paidNumbersShowTheWinnerPanel();
    void hiddenPaidStateStaysHiddenUntilReopened();
    void menuOpensTheDraw();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void open() {
        form = std::make_unique<TForm_SORTEIO>(inst->context());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void clickOption(const char *name) {
        auto *c = w<QCheckBox>(name);
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(8, c->height() / 2));
    }
    QString text(const char *name) { return w<QLabel>(name)->text(); }
    bool drawEnded() { return text("LBL_BIL") != u"-"; }
    QColor colour(const char *name) { return w(name)->palette().color(QPalette::WindowText); }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_SORTEIO> form;
};

void TestDrawWindow::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(DrawFixture::prepare(*inst));
}

void TestDrawWindow::init() {
    QVERIFY(DrawFixture::clearSales(*inst));
    QVERIFY(DrawFixture::choose00to99(*inst));
    inst->dialogs.clear();
    open();
}

void TestDrawWindow::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestDrawWindow::digitLabelsFollowTheModality_data() {
    QTest::addColumn<int>("maior");
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("firstLeft");
    QTest::newRow("00-99") << 99 << 2 << 348;
    QTest::newRow("000-999") << 999 << 3 << 348;
    QTest::newRow("0000-9999") << 9999 << 4 << 302;
    QTest::newRow("00000-99999") << 99999 << 5 << 265;
    QTest::newRow("000000-999999") << 999999 << 6 << 230;
}

void TestDrawWindow::digitLabelsFollowTheModality() {
    QFETCH(int, maior);
    QFETCH(int, digits);
    QFETCH(int, firstLeft);
    form.reset();
    inst->raffle.MaiorNumero = maior;
    open();
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE - SORTEIO"));
    QCOMPARE(text("LBL_NOME_RIFA"), QStringLiteral("RIFA DO CARRO"));
    for (int i = 1; i <= 6; ++i) {
        const QByteArray name = "LN_" + QByteArray::number(i);
        QCOMPARE(w(name.constData())->isVisible(), i <= digits);
        if (i <= digits) {
            QCOMPARE(w(name.constData())->x(), firstLeft + (i - 1) * 74);
            QCOMPARE(text(name.constData()), QStringLiteral("0"));
            QCOMPARE(colour(name.constData()), QColor(29, 28, 27));
        }
    }
    QCOMPARE(text("LBL_NUM_SORT_AMPLIAR"), QString(digits, u'0'));
    QVERIFY(!w("LBL_NUM_SORT_AMPLIAR")->isVisible());
    QCOMPARE(text("LBL_BIL"), QStringLiteral("-"));
    QCOMPARE(text("LBL_PAGO_AMPLI"), QStringLiteral("-"));
    QVERIFY(!w("Panel_GANHADOR")->isVisible());
}

void TestDrawWindow::optionsAreExclusive() {
    auto checked = [this] {
        QStringList on;
        for (const char *n : {"CHK_Todos", "CHK_Pagos", "CHK_Controle"})
            if (w<QCheckBox>(n)->isChecked()) on << QLatin1String(n);
        return on;
    };
    clickOption("CHK_Todos");
    QCOMPARE(checked(), QStringList{"CHK_Todos"});
    QVERIFY(!w("LBL_NUM_SORT_AMPLIAR")->isVisible());
    clickOption("CHK_Pagos");
    QCOMPARE(checked(), QStringList{"CHK_Pagos"});
    QVERIFY(w("LBL_NUM_SORT_AMPLIAR")->isVisible());
    QCOMPARE(text("LBL_NUM_SORT_AMPLIAR"), QStringLiteral("00"));
    clickOption("CHK_Controle");
    QCOMPARE(checked(), QStringList{"CHK_Controle"});
    clickOption("CHK_Todos");
    QCOMPARE(checked(), QStringList{"CHK_Todos"});
    QVERIFY(!w("LBL_NUM_SORT_AMPLIAR")->isVisible());
    clickOption("CHK_Todos"); // clicking the checked option unchecks it
    QVERIFY(checked().isEmpty());
    inst->dialogs.expectMessage(
        QStringLiteral(
            "Favor, informe como será o Sorteio marcando uma das Opções Abaixo desse botão SORTEAR!"),
        BoxIcon::Warning);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    for (const char *t : {"Timer1", "Timer2", "Timer3"})
        QVERIFY(!w<QTimer>(t)->isActive());
}

void TestDrawWindow::lotteryDigitsNameUnpaidTickets_data() {
    QTest::addColumn<QString>("mark");
    QTest::newRow("unsold tickets") << QString();
    QTest::newRow("reserved tickets") << QStringLiteral("R");
}

void TestDrawWindow::lotteryDigitsNameUnpaidTickets() {
    QFETCH(QString, mark);
    if (!mark.isEmpty()) QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=?"), {mark}));
    clickOption("CHK_Todos");
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    auto *timer = w<QTimer>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 75);
    QVERIFY(!w("LBL_NUM_SORT_AMPLIAR")->isVisible());
    // A second SORTEAR while the digits spin is refused.
    QTRY_COMPARE(colour("LN_1"), QColor(Qt::yellow));
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QVERIFY(!w<QTimer>("Timer2")->isActive() && !w<QTimer>("Timer3")->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(drawEnded(), 10000);
    QVERIFY(!timer->isActive());
    const int drawn = (text("LN_1") + text("LN_2")).toInt();
    QCOMPARE(text("LBL_BIL"), QStringLiteral("C-%1").arg(drawn / 2 + 1, 2, 10, QChar(u'0')));
    QCOMPARE(text("LBL_PAGO_AMPLI"), QStringLiteral("Não"));
    QCOMPARE(colour("LN_2"), QColor(Qt::yellow));
    // The winner never bought: no buyer row to show.
    inst->dialogs.expectMessage(
        QStringLiteral("Não foi possível localizar esse Bilhete no Cadastro de Validações!"),
        BoxIcon::Warning);
    QTest::mouseDClick(w("LBL_BIL"), Qt::LeftButton);
    QVERIFY(!w("Panel_GANHADOR")->isVisible());
}

void TestDrawWindow::noPaidTicketsEndsWithTheError_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("timer");
    QTest::addColumn<QString>("message");
    QTest::newRow("numbers of paid tickets")
        << "CHK_Pagos"
        << "Timer2"
        << "O sistema não identificou Bilhetes Validados nessa Rifa ativa!";
    QTest::newRow("Giro da Sorte") << "CHK_Controle"
                                   << "Timer3"
                                   << "O sistema não identificou C.Bilhetes Validados nessa Rifa ativa!";
}

void TestDrawWindow::noPaidTicketsEndsWithTheError() {
    QFETCH(QString, option);
    QFETCH(QString, timer);
    QFETCH(QString, message);
    QVERIFY(DrawFixture::reserve(*inst, 2));
    clickOption(option.toLatin1().constData());
    inst->dialogs.expectMessage(message, BoxIcon::Error);
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w<QTimer>(timer.toLatin1().constData())->interval(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(inst->dialogs.scriptDone(), 3000);
    QVERIFY(!w<QTimer>(timer.toLatin1().constData())->isActive());
    QCOMPARE(text("LBL_BIL"), QStringLiteral("-"));
    QCOMPARE(text("LBL_NUM_SORT_AMPLIAR"), QStringLiteral("00"));
    QVERIFY(w("BitBtn1")->isEnabled()); // a new draw can start
}

void TestDrawWindow::paidNumbersShowTheWinnerPanel() {
    QVERIFY(DrawFixture::sell(*inst, 3, QStringLiteral("ANA MARIA"), QStringLiteral("CAMPINAS"),
                              QStringLiteral("(11) 3333-4444")));
    QVERIFY(DrawFixture::reserve(*inst, 4));
    clickOption("CHK_Pagos");
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w<QTimer>("Timer2")->interval(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(drawEnded(), 10000);
    QCOMPARE(text("LBL_BIL"), QStringLiteral("C-03"));
    QCOMPARE(text("LBL_PAGO_AMPLI"), QStringLiteral("Sim"));
    QVERIFY(QStringList({"04", "05"}).contains(text("LBL_NUM_SORT_AMPLIAR")));
    QTest::mouseDClick(w("LBL_BIL"), Qt::LeftButton);
    QVERIFY(w("Panel_GANHADOR")->isVisible());
    QCOMPARE(w("Panel_GANHADOR")->pos(), QPoint(60, 208));
    QCOMPARE(text("LBL_ID"), QStringLiteral("ANA MARIA"));
    QCOMPARE(text("LBL_CID"), QStringLiteral("CAMPINAS"));
    QCOMPARE(text("LBL_FONE"), QStringLiteral("(11) 3333-44**"));
    QTest::mouseClick(w("IMG_FecharGanhador"), Qt::LeftButton);
    QVERIFY(!w("Panel_GANHADOR")->isVisible());
}

void TestDrawWindow::hiddenPaidStateStaysHiddenUntilReopened() {
    QVERIFY(DrawFixture::sell(*inst, 17)); // no name, city or state
    QTest::mouseDClick(w("LBL_AvisoPago"), Qt::LeftButton);
    for (const char *n : {"LBL_AvisoPago", "Shape_Pago", "LBL_PAGO_AMPLI"})
        QVERIFY2(!w(n)->isVisible(), n);
    clickOption("CHK_Controle");
    QTest::mouseClick(w<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w<QTimer>("Timer3")->interval(), 200);
    QCOMPARE(colour("LBL_NUM_SORT_AMPLIAR"), QColor(0, 255, 255));
    QTRY_VERIFY_WITH_TIMEOUT(drawEnded(), 10000);
    QCOMPARE(text("LBL_BIL"), QStringLiteral("C-17"));
    QCOMPARE(text("LBL_NUM_SORT_AMPLIAR"), QStringLiteral("17"));
    QCOMPARE(text("LBL_PAGO_AMPLI"), QStringLiteral("Sim")); // computed, still hidden
    QVERIFY(!w("LBL_PAGO_AMPLI")->isVisible());
    inst->dialogs.expectMessage(QStringLiteral("Não existe informações dos Dados do Ganhador Registrado"),
                                BoxIcon::Warning);
    QTest::mouseDClick(w("LBL_BIL"), Qt::LeftButton);
    QVERIFY(!w("Panel_GANHADOR")->isVisible());
    form.reset();
    open();
    QVERIFY(w("LBL_PAGO_AMPLI")->isVisible());
    QVERIFY(w("LBL_AvisoPago")->isVisible());
}

void TestDrawWindow::menuOpensTheDraw() {
    form.reset();
    TForm_RIFA menu(inst->services());
    QVERIFY(RaffleChooser::chooseInMenu(menu, 1));
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *v = QApplication::activeModalWidget()) {
            title = v->windowTitle();
            QTest::mouseClick(v->findChild<QWidget *>(QStringLiteral("IMG_Fechar")), Qt::LeftButton);
        }
    });
    clickIn(menu, "Img_sorteio");
    QCOMPARE(title, QStringLiteral("KORVANTE - SORTEIO"));
}

KORVANTE_TEST(TestDrawWindow)
#include "TestDrawWindow.moc"
