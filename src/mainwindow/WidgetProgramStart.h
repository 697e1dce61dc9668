#pragma once

#include "backup/BackupService.h"
#include "data/AppContext.h"
#include "data/SchemaUpgrade.h"
#include "data/TDM.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/TerminationSignals.h"
#include "platform/WidgetApplicationSetup.h"
#include "platform/WidgetDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QSessionManager>
#include <memory>

// Start-up shared by both programs: application titled "KORVANTE", the data module connected,
// then the main window until it closes. A database that cannot be opened ends start-up. A logout,
// SIGTERM or SIGHUP ends every event loop, and the engine then closes both connections, rolling
// back whatever was left unfinished.
// The program that keeps the database brings it to its schema version before any window opens and
// refuses one written by a newer program; the print module takes a package as it comes.
enum class SchemaAtStart { Upgrade, AsItIs };

template <class MainWindow> int runProgram(int argc, char *argv[], SchemaAtStart schema) {
    TerminationSignals::holdInEveryThread();
    QApplication app(argc, argv);
    setUpApplication(app);

    WidgetDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry;
    const QString folder = QCoreApplication::applicationDirPath();

    TDM tdm(folder, dialogs);
    std::unique_ptr<QLabel> connecting;
    tdm.setConnectingNotice([&connecting](bool waiting, const QString &server) {
        if (!waiting) {
            connecting.reset();
            return;
        }
        connecting = std::make_unique<QLabel>(
            QStringLiteral("Conectando ao servidor de banco de dados %1...").arg(server));
        connecting->setObjectName(QStringLiteral("LBL_Conectando"));
        connecting->setWindowTitle(QStringLiteral("KORVANTE"));
        connecting->setMargin(24);
        showCentredOnScreen(connecting.get());
        QCoreApplication::processEvents();
    });
    // What a backup or restore that was killed left behind is put right before anything else.
    BackupService::recoverProgramFolder(folder);
    // Ends the open modal windows' loops too; code after them runs to its end, no new loop starts.
    // Before the main loop runs, only the notice of an unreachable server can be waiting: it is
    // closed and start-up ends there, before anything is connected.
    bool ended = false;
    bool running = false;
    const auto endRun = [&ended, &running] {
        ended = true;
        if (running) {
            QCoreApplication::exit(0);
        } else if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            box->done(QDialog::Rejected);
        }
    };
    // Taken over once the engine's first threads exist (they keep the signals held) and before the
    // databases are open or a person is waited for. The client library puts its own handler in place
    // at its first attach, which would shut the engine down under the windows.
    std::unique_ptr<TerminationSignals> termination;
    tdm.setUnreachableNotice([&](const QString &message) {
        termination = std::make_unique<TerminationSignals>(endRun);
        if (!ended) dialogs.notice(message);
        return !ended;
    });
    QString error;
    if (!tdm.open(&error)) {
        if (ended) return 0;
        dialogs.error(error);
        return 1;
    }
    BackupService(tdm, folder).recoverDestinations();
    if (schema == SchemaAtStart::Upgrade && !SchemaUpgrade::atStart(tdm.CONEX_R(), dialogs)) return 1;
    if (!termination) termination = std::make_unique<TerminationSignals>(endRun);
    running = true;
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, endRun);
    MainWindow form(AppServices{tdm, dialogs, clock, random, registry, folder});
    form.show();
    const int code = app.exec();
    // The engine closes every connection itself, rolling back whatever was not committed.
    if (ended) tdm.shutDownEngine();
    return code;
}
