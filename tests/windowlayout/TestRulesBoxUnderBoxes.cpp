#include "platform/WidgetDialogs.h"
#include "raffle/RaffleRegistration.h"
#include "raffle/TForm_Cadastro.h"
#include "raffle/TForm_Usar.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowManagerRun.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

// The registration's rules box keeps its text while a message box or the raffle chooser is over the
// window. Read from the screen as a person sees it, under a real window manager.
class TestRulesBoxUnderBoxes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void rulesStayDrawn_data();
    void rulesStayDrawn();
    void underAWindowManager();

private:
    std::unique_ptr<TestInstallation> inst;
};

namespace {

// The rules box's viewport as the screen shows it.
QImage onScreen(QTextEdit *box) {
    QWidget *view = box->viewport();
    const QPoint origin = view->mapToGlobal(QPoint(0, 0));
    QImage shot =
        view->screen()->grabWindow(0, origin.x(), origin.y(), view->width(), view->height()).toImage();
    shot.setDevicePixelRatio(1);
    return shot.scaled(view->size());
}

// The dark pixels of the text as first shown, now: still drawn, or gone with the box's white
// background in their place. Where a window lies over the box (the pixels that changed to anything
// but that white) nothing counts, wherever the window manager put the window.
struct Ink {
    int kept = 0;
    int erased = 0;
};
Ink compare(const QImage &alone, const QImage &now) {
    auto white = [](QRgb p) { return qGray(p) >= 250; };
    QRect covered;
    for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x)
            if (now.pixel(x, y) != alone.pixel(x, y) && !white(now.pixel(x, y))) covered |= QRect(x, y, 1, 1);
    covered.adjust(-2, -2, 2, 2);
    Ink ink;
    for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x) {
            if (qGray(alone.pixel(x, y)) >= 100 || covered.contains(x, y)) continue;
            if (now.pixel(x, y) == alone.pixel(x, y)) ++ink.kept;
            else if (white(now.pixel(x, y))) ++ink.erased;
        }
    return ink;
}

const QString kRules = QStringLiteral("O sorteio será pela Loteria Federal do sábado seguinte.\r\n"
                                      "Se o número sorteado não foi vendido, passa ao próximo.\r\n"
                                      "Retirada do prêmio em até 90 dias, com documento.\r\n"
                                      "Bilhete rasurado ou sem autenticação não vale prêmio.");

} // namespace

void TestRulesBoxUnderBoxes::initTestCase() {
    if (!WindowManagerRun::inside()) return;
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DA MOTO', MODALIDADE='00 - 99', "
                                      "USAR_QT_NUM='1 Número', RIFA_ATIVA=1, VLR_RIFA=10, "
                                      "DATA_EVENTO='2026-12-24', REGRAS_SORT=? WHERE CODRIFA=1"),
                       {kRules}));
}

void TestRulesBoxUnderBoxes::rulesStayDrawn_data() {
    QTest::addColumn<QString>("over");
    QTest::newRow("message box") << QStringLiteral("message");
    QTest::newRow("question") << QStringLiteral("question");
    QTest::newRow("raffle chooser") << QStringLiteral("chooser");
    QTest::newRow("saved, typing in the box") << QStringLiteral("save");
    QTest::newRow("too many lines") << QStringLiteral("limit");
    QTest::newRow("closing after an edit") << QStringLiteral("close");
    QTest::newRow("long rules, message box") << QStringLiteral("long");
    QTest::newRow("long rules, chooser") << QStringLiteral("longchooser");
}

void TestRulesBoxUnderBoxes::rulesStayDrawn() {
    if (!WindowManagerRun::inside()) QSKIP("runs under the window manager (underAWindowManager)");
    QFETCH(QString, over);
    QString text = kRules;
    if (over.startsWith(u"long"))
        for (int i = 0; i < 9; ++i)
            text += QStringLiteral("\r\nRegra complementar número %1 do sorteio.").arg(i + 1);
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET REGRAS_SORT=? WHERE CODRIFA=1"), {text}));
    WidgetDialogs dialogs;
    AppServices services = inst->services();
    AppContext ctx(
        {services.tdm, dialogs, services.clock, services.random, services.registry, services.programFolder},
        inst->raffle);
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    TForm_Cadastro form(ctx);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    auto *rules = form.findChild<QTextEdit *>(QStringLiteral("DBMemo2"));
    QVERIFY(rules);
    QVERIFY(rules->toPlainText().contains(QStringLiteral("Loteria Federal")));
    if (over.startsWith(u"long")) {
        QTest::mouseClick(rules->viewport(), Qt::LeftButton, {}, QPoint(300, 60));
        QTest::keyClick(rules, Qt::Key_End, Qt::ControlModifier);
    }
    auto *prizes = form.findChild<QTextEdit *>(QStringLiteral("DBMemo1"));
    if (over == u"save" || over == u"close") {
        QTest::mouseClick(rules->viewport(), Qt::LeftButton, {}, QPoint(300, 60));
        QTest::keyClick(rules, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(rules, QStringLiteral(" Boa sorte!"));
    } else if (over == u"limit") {
        // The prizes take the lines the rules leave, and one more.
        QTest::mouseClick(prizes->viewport(), Qt::LeftButton, {}, QPoint(100, 20));
        for (int i = 0; i < RaffleRegistration::MaxTextLines - 3; ++i) {
            QTest::keyClicks(prizes, QStringLiteral("Premio %1").arg(i + 1));
            QTest::keyClick(prizes, Qt::Key_Return);
        }
    }
    QTest::qWait(300);
    const QImage alone = onScreen(rules);

    // Every window that opens over the registration is read once framed and painted, then closed.
    QStringList faults;
    int seen = 0;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *top = QApplication::activeModalWidget();
        if (!top || top == &form || !top->isVisible() || top->property("korvanteRead").toBool() ||
            !QTest::qWaitForWindowExposed(top))
            return;
        top->setProperty("korvanteRead", true);
        ++seen;
        // Given the time to be framed, placed and painted: a box that stays blank stays so.
        Ink ink;
        for (int wait = 0; wait < 20 && (wait == 0 || ink.erased > 0); ++wait) {
            QTest::qWait(100);
            ink = compare(alone, onScreen(rules));
        }
        if (ink.kept + ink.erased < 150)
            faults << QStringLiteral("%1 hides the rules box").arg(QString::fromLatin1(top->metaObject()->className()));
        else if (ink.erased > (ink.kept + ink.erased) / 20)
            faults << QStringLiteral("with %1 \"%2\" over the window the rules box lost %3 of %4 dark pixels")
                          .arg(QString::fromLatin1(top->metaObject()->className()), top->windowTitle())
                          .arg(ink.erased)
                          .arg(ink.kept + ink.erased);
        if (auto *d = qobject_cast<QDialog *>(top)) d->reject();
    });
    poll.start();
    if (over == u"message" || over == u"long") {
        dialogs.message(QStringLiteral("KORVANTE"), QStringLiteral("Dados Gravados com Sucesso!"),
                        BoxIcon::None);
    } else if (over == u"question") {
        dialogs.question(QStringLiteral("KORVANTE"), QStringLiteral("Deseja continuar?"), false);
    } else if (over == u"chooser" || over == u"longchooser") {
        TForm_Usar chooser(ctx, &form);
        chooser.exec();
    } else if (over == u"save" || over == u"close") {
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        if (over == u"close") form.reject(); // Esc: a notice, then the chooser
    } else {
        QTest::keyClick(prizes, Qt::Key_Tab);
        QTest::qWait(200);
    }
    QTRY_VERIFY(seen > 0);
    QTest::qWait(200);
    poll.stop();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestRulesBoxUnderBoxes::underAWindowManager() {
    if (WindowManagerRun::inside()) QSKIP("this run is the one under the window manager");
    const QString failure = WindowManagerRun::rerun(QStringLiteral("TestRulesBoxUnderBoxes"), 180000);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

KORVANTE_TEST(TestRulesBoxUnderBoxes)
#include "TestRulesBoxUnderBoxes.moc"
