#include "WindowManagerRun.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

namespace WindowManagerRun {

bool inside() {
    return qgetenv("KORVANTE_UNDER_WM") == "1";
}

namespace {

// The window manager announces itself on the root window once it manages the screen.
bool managing(const QString &display) {
    QProcess probe;
    probe.start(QStringLiteral("xprop"), {QStringLiteral("-display"), display, QStringLiteral("-root"),
                                          QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    probe.waitForFinished(5000);
    return probe.readAllStandardOutput().contains("window id");
}

} // namespace

QString rerun(const QString &testClass, int timeoutMs) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) return QStringLiteral("Xvfb and openbox come from scripts/packages.txt");
    // A display of its own, so parallel tests never share one.
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    if (!server.waitForStarted()) return QStringLiteral("Xvfb did not start");
    const QDeadlineTimer serverReady(15000);
    while (!server.canReadLine() && !serverReady.hasExpired())
        server.waitForReadyRead(500);
    if (!server.canReadLine()) return QStringLiteral("Xvfb named no display");
    const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    QProcess wm;
    wm.setProcessEnvironment(env);
    wm.start(openbox, {});
    const auto stop = [&] {
        wm.terminate();
        server.terminate();
        wm.waitForFinished(5000);
        server.waitForFinished(5000);
    };
    const QDeadlineTimer wmReady(20000);
    bool ready = wm.waitForStarted();
    while (ready && !managing(display) && !wmReady.hasExpired())
        wm.waitForFinished(200);
    if (!ready || !managing(display)) {
        stop();
        return QStringLiteral("openbox did not take the display");
    }
    // openbox announces itself before it has finished starting; windows mapped in that moment are
    // placed by its start-up, not by the program.
    wm.waitForFinished(1000);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("KORVANTE_TEST_CLASS"), testClass);
    env.insert(QStringLiteral("KORVANTE_UNDER_WM"), QStringLiteral("1"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = run.waitForFinished(timeoutMs);
    const QString out = QString::fromLocal8Bit(run.readAll());
    if (!finished) run.kill();
    stop();
    if (!finished) return QStringLiteral("the run under the window manager did not finish\n") + out;
    if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
        return QStringLiteral("the run under the window manager failed\n") + out;
    return QString();
}

} // namespace WindowManagerRun
