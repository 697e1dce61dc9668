#include "platform/WidgetApplicationSetup.h"
#include "platform/WidgetDialogs.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
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
        QTest::qWait(qEnvironmentVariableIsSet("DISPLAY") && qgetenv("QT_QPA_PLATFORM") == "xcb" ? 300 : 0);
        offset = box->frameGeometry().center() - owner->frameGeometry().center();
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
    if (qgetenv("KORVANTE_UNDER_WM") == "1")
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
    if (qgetenv("KORVANTE_UNDER_WM") == "1") QSKIP("this run is the one under the window manager");
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    QVERIFY2(!xvfb.isEmpty() && !openbox.isEmpty(), "Xvfb and openbox come from scripts/packages.txt");
    // A display of its own, so parallel tests never share one.
    QTemporaryDir dir;
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 15000);
    const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    QProcess wm;
    wm.setProcessEnvironment(env);
    wm.start(openbox, {});
    QVERIFY(wm.waitForStarted());
    // The window manager announces itself on the root window once it manages the screen.
    const auto managing = [&] {
        QProcess probe;
        probe.start(QStringLiteral("xprop"), {QStringLiteral("-display"), display, QStringLiteral("-root"),
                                              QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        probe.waitForFinished(5000);
        return probe.readAllStandardOutput().contains("window id");
    };
    QTRY_VERIFY_WITH_TIMEOUT(managing(), 20000);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("KORVANTE_TEST_CLASS"), QStringLiteral("TestDialogPlacement"));
    env.insert(QStringLiteral("KORVANTE_UNDER_WM"), QStringLiteral("1"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = run.waitForFinished(120000);
    const QByteArray out = run.readAll();
    wm.terminate();
    server.terminate();
    wm.waitForFinished(5000);
    server.waitForFinished(5000);
    QVERIFY2(finished, out.constData());
    QVERIFY2(run.exitCode() == 0, out.constData());
}

KORVANTE_TEST(TestDialogPlacement)
#include "TestDialogPlacement.moc"
