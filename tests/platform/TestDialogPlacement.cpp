#include "platform/WidgetApplicationSetup.h"
#include "platform/WidgetDialogs.h"
#include "support/TestRegistry.h"
#include "support/WindowManagerRun.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

// Message boxes open centred over their owner whatever their size, with or without a window manager.
class TestDialogPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxesOpenCentredOverTheirOwner_data();
    void boxesOpenCentredOverTheirOwner();
    void noticeWithoutOwnerOpensCentredOnTheScreen();
    void underAWindowManager();

private:
    // Where the box opened, relative to its owner's centre.
    QPoint offsetOfBox(QWidget *owner, const std::function<void()> &openBox);
};

namespace {
// Under a window manager a frame's title bar is known only once the window is framed: half of it
// may be missing from the first placement.
int slackForFrames() {
    return qgetenv("QT_QPA_PLATFORM") == "xcb" ? 16 : 2;
}
} // namespace

QPoint TestDialogPlacement::offsetOfBox(QWidget *owner, const std::function<void()> &openBox) {
    QPoint offset(9999, 9999);
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        // Once the window system has placed it.
        if (!QTest::qWaitForWindowExposed(box)) return;
        // A window manager frames and places it in steps: the place it settles at is the one a person sees.
        const auto off = [&] { return box->frameGeometry().center() - owner->frameGeometry().center(); };
        const int slack = slackForFrames();
        (void)QTest::qWaitFor([&] { return qAbs(off().x()) <= slack && qAbs(off().y()) <= slack; },
                        qgetenv("QT_QPA_PLATFORM") == "xcb" ? 3000 : 0);
        offset = off();
        poll.stop();
        box->done(0);
    });
    poll.start();
    openBox();
    return offset;
}

void TestDialogPlacement::boxesOpenCentredOverTheirOwner_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("question");
    QStringList lines;
    for (int i = 1; i <= 14; ++i)
        lines << QStringLiteral("Linha %1 de um aviso longo.").arg(i);
    QTest::newRow("short") << "Dados Gravados com Sucesso!" << false;
    QTest::newRow("fourteen wrapped lines") << lines.join(u'\n') << false;
    QTest::newRow("wrapped question")
        << QStringLiteral("Um texto que não cabe numa linha só e que a caixa quebra em várias linhas antes de "
                          "se mostrar, de modo que o tamanho final dela só é conhecido quando ela aparece. "
                          "Deseja continuar?")
        << true;
}

void TestDialogPlacement::boxesOpenCentredOverTheirOwner() {
    QFETCH(QString, text);
    QFETCH(bool, question);
    // A window well away from the screen's centre, as a window a person moved aside.
    QDialog owner;
    owner.resize(700, 500);
    const QRect screen = owner.screen()->availableGeometry();
    owner.move(screen.left() + 20, screen.top() + 20);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    // Under a window manager, only once it has framed the owner (it may still be starting).
    if (WindowManagerRun::inside())
        QTRY_VERIFY_WITH_TIMEOUT(owner.frameGeometry() != owner.geometry(), 15000);
    owner.activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == &owner || qgetenv("QT_QPA_PLATFORM") == "offscreen");
    WidgetDialogs dialogs;
    const QPoint offset = offsetOfBox(&owner, [&] {
        if (question)
            dialogs.question(QStringLiteral("KORVANTE"), text, true);
        else
            dialogs.message(QStringLiteral("KORVANTE"), text, BoxIcon::Warning);
    });
    const int slack = slackForFrames();
    QVERIFY2(qAbs(offset.x()) <= slack && qAbs(offset.y()) <= slack,
             qPrintable(QStringLiteral("box off centre by %1,%2").arg(offset.x()).arg(offset.y())));
}

void TestDialogPlacement::noticeWithoutOwnerOpensCentredOnTheScreen() {
    QLabel notice(QStringLiteral("Conectando ao servidor de banco de dados servidor-da-loja..."));
    notice.setMargin(24);
    showCentredOnScreen(&notice);
    QVERIFY(QTest::qWaitForWindowExposed(&notice));
    QTest::qWait(qgetenv("QT_QPA_PLATFORM") == "xcb" ? 300 : 0);
    const QPoint offset = notice.frameGeometry().center() - notice.screen()->availableGeometry().center();
    const int slack = slackForFrames();
    QVERIFY2(qAbs(offset.x()) <= slack && qAbs(offset.y()) <= slack,
             qPrintable(QStringLiteral("notice off centre by %1,%2").arg(offset.x()).arg(offset.y())));
}

void TestDialogPlacement::underAWindowManager() {
    if (WindowManagerRun::inside()) QSKIP("this run is the one under the window manager");
    const QString failure = WindowManagerRun::rerun(QStringLiteral("TestDialogPlacement"), 120000);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

KORVANTE_TEST(TestDialogPlacement)
#include "TestDialogPlacement.moc"
