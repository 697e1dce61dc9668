#pragma once

#include "data/AppContext.h"
#include "data/TDM.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/WidgetApplicationSetup.h"
#include "platform/WidgetDialogs.h"

#include <QApplication>

// Start-up shared by both programs: application titled "KORVANTE", the data module connected,
// then the main window until it closes. A database that cannot be opened ends start-up.
template <class MainWindow> int runProgram(int argc, char *argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);

    WidgetDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry;
    const QString folder = QCoreApplication::applicationDirPath();

    TDM tdm(folder, dialogs);
    QString error;
    if (!tdm.open(&error)) {
        dialogs.error(error);
        return 1;
    }
    MainWindow form(AppServices{tdm, dialogs, clock, random, registry, folder});
    form.show();
    return app.exec();
}
