#include "data/TDM.h"
#include "mainwindow/TForm_RIFA.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/WidgetDialogs.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORVANTE"));
    QApplication::setApplicationDisplayName(QStringLiteral("KORVANTE"));

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

    TForm_RIFA form(AppServices{tdm, dialogs, clock, random, registry, folder});
    form.show();
    return app.exec();
}
